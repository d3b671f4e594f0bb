// The application: one document built from param.ini in the program's folder,
// the main window shown maximised, and the application's own commands.
// Shutting down destroys the window, whose panes write their keys, and then
// the document, which writes its settings. SIGTERM, SIGINT and SIGHUP (log-out,
// kill, Ctrl+C, a closed terminal) close the windows and end the event loop as
// the user's close does, so the settings are written then too.
#pragma once

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

class CZR815KDoc;
class CMainFrame;
class QSocketNotifier;

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

    // An ending signal arrived. Caught before the main event loop runs (while
    // a message of the start-up is open), quit() cannot reach that loop: main
    // then skips it.
    bool IsEndRequested() const { return m_bEndRequested; }

private:
    bool OnAppCommand(int id);
    // Routes the ending signals into the event loop (a socket pair written by
    // the handler, read by a notifier); false when that cannot be set up.
    bool CatchEndingSignals();
    void OnEndingSignal();

    std::unique_ptr<CZR815KDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    QSocketNotifier* m_pSignalNotifier = nullptr;
    bool m_bEndRequested = false;
    // Opens the files named on the command line (InitInstance).
    void OpenFileArguments();

    // The arguments left after Qt took its own, bytes as the system gave them
    // (a file name need not be UTF-8): the files to open.
    std::vector<std::string> m_fileArguments;
};
