#include "shell/ZR815KApp.h"

#include "model/CommandIds.h"
#include "model/ProgramFolder.h"
#include "model/ZR815KDoc.h"
#include "shell/AboutDlg.h"
#include "library/FormMemory.h"
#include "shell/MainFrame.h"

#include <QScreen>
#include <clocale>

CZR815KApp::CZR815KApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // Qt takes the locale from the environment; every number of this program uses '.'.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName("Ondalis");
    setApplicationVersion("5.0");
}

CZR815KApp::~CZR815KApp() { ExitInstance(); }

bool CZR815KApp::InitInstance(bool show)
{
    m_pDoc = std::make_unique<CZR815KDoc>(ProgramFolder() + "param.ini");
    m_pFrame = std::make_unique<CMainFrame>(*m_pDoc);
    m_pFrame->SetApplicationCommands([this](int id) { return OnAppCommand(id); });
    m_pFrame->InitialUpdate();
    // A waveform named on the command line opens in M1, its folder listed.
    const QStringList args = arguments();
    if (args.size() > 1 && args[1].endsWith(".tdr", Qt::CaseInsensitive)) {
        m_pFrame->GetLibraryForm()->OpenWaveformFile(args[1].toStdString());
    }
    if (show) {
        // Without a window manager (a bare X server) maximising does nothing:
        // start with the screen's available area so the window fills it anyway.
        if (const QScreen* screen = primaryScreen()) {
            m_pFrame->setGeometry(screen->availableGeometry());
        }
        m_pFrame->showMaximized();
    }
    return true;
}

void CZR815KApp::ExitInstance()
{
    m_pFrame.reset();
    m_pDoc.reset();
}

bool CZR815KApp::OnAppCommand(int id)
{
    if (id == ID_APP_ABOUT) {
        CAboutDlg about(m_pFrame.get());
        about.exec();
        return true;
    }
    return false;
}
