// The application: one document built from param.ini in the program's folder,
// the main window shown maximised, and the application's own commands.
// Shutting down destroys the window, whose panes write their keys, and then
// the document, which writes its settings.
#pragma once

#include <QApplication>
#include <memory>

class CZR815KDoc;
class CMainFrame;

class CZR815KApp : public QApplication
{
    Q_OBJECT
public:
    CZR815KApp(int& argc, char** argv);
    ~CZR815KApp() override;

    // Builds the document and the main window; false when that fails.
    bool InitInstance(bool show = true);

    CZR815KDoc* GetDocument() const { return m_pDoc.get(); }
    CMainFrame* GetMainFrame() const { return m_pFrame.get(); }

    // Tears the window and the document down now, writing their settings.
    void ExitInstance();

private:
    bool OnAppCommand(int id);

    std::unique_ptr<CZR815KDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
};
