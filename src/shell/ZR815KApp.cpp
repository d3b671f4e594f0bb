#include "shell/ZR815KApp.h"

#include "base/Language.h"
#include "library/FormMemory.h"
#include "model/CommandIds.h"
#include "model/LanguageChoice.h"
#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/SafeFile.h"
#include "model/ZR815KDoc.h"
#include "shell/AboutDlg.h"
#include "library/FormMemory.h"
#include "cablelib/FormKU.h"
#include "shell/MainFrame.h"
#include "shell/core/CommandLine.h"

#include <QScreen>
#include <QSocketNotifier>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The socket pair of the ending signals: the handler writes [0], the event
// loop reads [1]. Set up once per process.
int g_signalSockets[2] = {-1, -1};

// Only async-signal-safe calls here: one byte into a non-blocking socket (a
// full socket already holds a wake-up, so a lost byte loses nothing).
void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSockets[0], &byte, 1);
    errno = saved;
}

} // namespace

CZR815KApp::CZR815KApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // QApplication has removed the arguments it understood from argv.
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        m_fileArguments.emplace_back(argv[i]);
    }
    // Qt takes the locale from the environment; every number of this program uses '.'.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName("Ondalis");
    setApplicationVersion("5.0");
}

CZR815KApp::~CZR815KApp() { ExitInstance(); }

bool CZR815KApp::InitInstance(bool show)
{
    if (!CatchEndingSignals()) {
        qWarning("ondalis: the ending signals cannot be caught; settings are written only on a normal close");
    }
    // Temporaries that a killed run left in the program's own folders go first.
    // The settings file may be a link into another folder: that folder too.
    const std::string folder = ProgramFolder();
    RemoveStaleTemporariesOnce(folder);
    RemoveStaleTemporariesOnce(folder + "Save/");
    std::error_code ec;
    if (const auto settings = std::filesystem::weakly_canonical(folder + "param.ini", ec); !ec) {
        RemoveStaleTemporariesOnce(settings.parent_path());
    }
    // The window's language: the choice in the settings, else the desktop's.
    InstallTranslations(*this,
                        PrivateProfile(folder + "param.ini").GetString(kSettingsSection, kLanguageKey, ""));
    m_pDoc = std::make_unique<CZR815KDoc>(folder + "param.ini");
    m_pFrame = std::make_unique<CMainFrame>(*m_pDoc);
    m_pFrame->SetApplicationCommands([this](int id) { return OnAppCommand(id); });
    m_pFrame->InitialUpdate();
    if (show) {
        // Without a window manager (a bare X server) maximising does nothing:
        // start with the screen's available area so the window fills it anyway.
        if (const QScreen* screen = primaryScreen()) {
            m_pFrame->setGeometry(screen->availableGeometry());
        }
        m_pFrame->showMaximized();
    }
    OpenFileArguments();
    return true;
}

// A file manager hands over every file it was given. The first waveform opens
// in M1 with its folder listed, the next ones go into the free channels as a
// drop does (the rest reported); a site grid opens on its page, a library in
// its panel. What cannot be opened is reported over the window and changes
// nothing.
void CZR815KApp::OpenFileArguments()
{
    std::vector<std::filesystem::path> waveforms;
    for (const std::string& file : m_fileArguments) {
        switch (KindOfOpenedFile(file)) {
        case OpenedFile::SiteGrid:
            m_pFrame->GetLibraryForm()->OpenSiteGridFile(file);
            break;
        case OpenedFile::CableLibrary:
            m_pFrame->GetCableForm()->OpenLibraryFile(file);
            break;
        case OpenedFile::Waveform:
            waveforms.emplace_back(file);
            break;
        }
    }
    if (!waveforms.empty()) {
        m_pFrame->GetLibraryForm()->OpenWaveformFile(waveforms.front().string());
        waveforms.erase(waveforms.begin());
    }
    if (!waveforms.empty()) {
        m_pFrame->DropFiles(waveforms);
    }
}

bool CZR815KApp::CatchEndingSignals()
{
    if (g_signalSockets[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalSockets) != 0) {
        g_signalSockets[0] = g_signalSockets[1] = -1;
        return false;
    }
    if (m_pSignalNotifier == nullptr) {
        m_pSignalNotifier = new QSocketNotifier(g_signalSockets[1], QSocketNotifier::Read, this);
        connect(m_pSignalNotifier, &QSocketNotifier::activated, this, &CZR815KApp::OnEndingSignal);
    }
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool ok = true;
    for (const int signal : kEndingSignals) {
        ok = ::sigaction(signal, &action, nullptr) == 0 && ok;
    }
    return ok;
}

void CZR815KApp::OnEndingSignal()
{
    char bytes[16];
    while (::read(g_signalSockets[1], bytes, sizeof bytes) > 0) {
    }
    // A second signal while shutting down ends the program at once.
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) {
        ::sigaction(signal, &action, nullptr);
    }
    // As the user's close: the windows close (an open dialog is rejected), the
    // event loops end, and main tears the window and the document down.
    m_bEndRequested = true;
    closeAllWindows();
    quit();
}

void CZR815KApp::ExitInstance()
{
    // The windows hand their keys to the document, which writes them with its
    // own in one replacement of the settings file.
    if (m_pDoc) {
        m_pDoc->HoldSettingsUntilClose();
    }
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
