// The About box: the program's name and version, the maker's lines and OK.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Ondalis 5.0 v. 1.128";
    explicit CAboutDlg(QWidget* parent = nullptr);
};
