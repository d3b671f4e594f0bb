// A plain one-line edit field that posts the edit-enter event to its parent
// when Enter is pressed; the waveform library edits list cells in place with it.
#pragma once

#include <QLineEdit>

class CEditText : public QLineEdit
{
    Q_OBJECT
public:
    CEditText(QWidget* parent, int id);
    int GetControlId() const { return m_nId; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_nId;
};
