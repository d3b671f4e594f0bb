// The program's start with a file named on its command line, and its end by a
// signal: both must leave the user's settings right.
#include "library/FormMemory.h"
#include "model/ZR815KDoc.h"
#include "shell/MainFrame.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

// --- a file named on the command line ------------------------------------------------------

class CommandLineFile : public ::testing::Test
{
protected:
    CommandLineFile()
    {
        waves.WriteFile("alpha.tdr", TdrBytes().Word(6, 1500).Bytes());
        other.WriteFile("small.tdr", std::string(100, '\0'));
        other.WriteFile("notes.txt", TdrBytes().Bytes()); // a waveform's bytes, but not its name
        settings.WriteFile("param.ini", "[KLM-204]\nOPEN=" + waves.Folder() + "\n");
        doc = std::make_unique<CZR815KDoc>(settings / "param.ini");
        frame = std::make_unique<CMainFrame>(*doc);
        frame->GetLibraryForm()->SetErrorBox([this](const QString& text) { errors << text; });
        frame->resize(1280, 900);
        frame->InitialUpdate();
    }
    // Ends the run as the program does: the panes and then the document write.
    std::string SettingsAfterExit()
    {
        frame.reset();
        doc.reset();
        return settings.ReadFile("param.ini");
    }
    CFormMemory& Library() { return *frame->GetLibraryForm(); }

    TempDir waves;
    TempDir other;
    TempDir settings;
    std::unique_ptr<CZR815KDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    QStringList errors;
};

TEST_F(CommandLineFile, AFileThatCannotBeOpenedIsNamedAndChangesNoSetting)
{
    const std::vector<std::string> bad = {"/no/such/dir/x.tdr", (other / "small.tdr").string(),
                                          (other / "notes.txt").string(), other.Folder()};
    for (const std::string& path : bad) {
        errors.clear();
        EXPECT_FALSE(Library().OpenWaveformFile(path)) << path;
        ASSERT_EQ(errors.size(), 1) << path;
        EXPECT_TRUE(errors[0].contains(QString::fromStdString(path))) << errors[0].toStdString();
        EXPECT_EQ(Library().GetWaveFolder(), waves.Folder());
        EXPECT_FALSE(doc->m_memory[0].m_bOn);
    }
    EXPECT_TRUE(errors[0].contains("not a waveform")) << errors[0].toStdString();
    EXPECT_NE(SettingsAfterExit().find("OPEN=" + waves.Folder() + "\n"), std::string::npos);
}

TEST_F(CommandLineFile, AWaveformOpensInM1AndItsFolderIsRemembered)
{
    EXPECT_TRUE(Library().OpenWaveformFile((waves / "alpha.tdr").string()));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(doc->m_memory[0].m_bOn);
    EXPECT_EQ(doc->m_memory[0].m_strName, "alpha");
    errors.clear();
    other.WriteFile("beta.tdr", TdrBytes().Bytes());
    EXPECT_TRUE(Library().OpenWaveformFile((other / "beta.tdr").string()));
    EXPECT_NE(SettingsAfterExit().find("OPEN=" + other.Folder() + "\n"), std::string::npos);
}

// --- ending signals, with the real program ---------------------------------------------------

// Whether the process has a handler for the signal (its SigCgt mask in /proc).
bool Catches(qint64 pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return ((mask >> (signal - 1)) & 1ULL) != 0;
        }
    }
    return false;
}

class RealProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        program = QCoreApplication::applicationDirPath() + "/ondalis";
        if (!QFileInfo(program).isExecutable()) {
            GTEST_SKIP() << "the program is not built beside the tests";
        }
        waves.WriteFile("alpha.tdr", TdrBytes().Bytes());
        home.WriteFile("param.ini", Ini());
    }
    std::string Ini() const { return "[KLM-204]\nSCALE=3\nOPEN=" + waves.Folder() + "\n"; }

    // Starts the program and waits until it catches its ending signals.
    bool Start(const QStringList& args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ONDALIS_HOME", QString::fromStdString(home.Path().string()));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, args);
        if (!process.waitForStarted(10000)) {
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 15000) {
            if (Catches(process.processId(), SIGTERM) && Catches(process.processId(), SIGINT) &&
                Catches(process.processId(), SIGHUP)) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }
    // Sends the signal and waits for the end; true when the program ended by itself.
    bool EndWith(int signal)
    {
        ::kill(static_cast<pid_t>(process.processId()), signal);
        if (!process.waitForFinished(20000)) {
            process.kill();
            process.waitForFinished(5000);
            return false;
        }
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    ~RealProgram() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    QString program;
    TempDir home;
    TempDir waves;
    QProcess process;
};

// How many times a file of the folder was replaced by a rename since the watch began.
class RenameCount
{
public:
    RenameCount(const std::filesystem::path& folder, std::string name)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), m_name(std::move(name))
    {
        m_ok = m_fd >= 0 && ::inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO) >= 0;
    }
    ~RenameCount() { ::close(m_fd); }
    bool Ok() const { return m_ok; }
    int Count()
    {
        alignas(inotify_event) char buffer[8192];
        ssize_t got = 0;
        while ((got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                m_count += event->len > 0 && m_name == event->name ? 1 : 0;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return m_count;
    }

private:
    int m_fd;
    bool m_ok = false;
    std::string m_name;
    int m_count = 0;
};

TEST_F(RealProgram, TermIntAndHupWriteTheSettingsAsAClose)
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        home.WriteFile("param.ini", Ini());
        ASSERT_TRUE(Start()) << "signal " << signal;
        RenameCount replacements(home.Path(), "param.ini");
        ASSERT_TRUE(replacements.Ok());
        EXPECT_TRUE(EndWith(signal)) << "signal " << signal;
        // Every window's keys and the document's go in one replacement.
        EXPECT_EQ(replacements.Count(), 1) << "signal " << signal;
        const std::string ini = home.ReadFile("param.ini");
        EXPECT_NE(ini.find("SCALE=3\n"), std::string::npos) << ini;
        EXPECT_NE(ini.find("CURSOR1=0\n"), std::string::npos) << ini; // written by the document
        EXPECT_NE(ini.find("RL=0\n"), std::string::npos) << ini;
        EXPECT_NE(ini.find("TWOSCREEN="), std::string::npos) << ini; // written by the window
        EXPECT_NE(ini.find("OPEN=" + waves.Folder() + "\n"), std::string::npos) << ini;
    }
}

TEST_F(RealProgram, KillWritesNothing)
{
    ASSERT_TRUE(Start());
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(home.ReadFile("param.ini"), Ini());
}

// Temporaries a killed run left in the program's folder and its Save folder
// go at the next start; a fresh one, which another running instance may be
// writing, stays.
TEST_F(RealProgram, StartRemovesStaleTemporariesOnly)
{
    std::filesystem::create_directory(home / "Save");
    const timespec hourAgo = {std::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    for (const char* name : {".ondalis-tmp-stale1", "Save/.ondalis-tmp-stale2", ".ondalis-tmp-fresh1"}) {
        home.WriteFile(name, "partial");
        if (std::string_view(name).find("stale") != std::string_view::npos) {
            ASSERT_EQ(::utimensat(AT_FDCWD, (home / name).c_str(), times, 0), 0);
        }
    }
    ASSERT_TRUE(Start());
    EXPECT_TRUE(EndWith(SIGTERM));
    EXPECT_FALSE(std::filesystem::exists(home / ".ondalis-tmp-stale1"));
    EXPECT_FALSE(std::filesystem::exists(home / "Save" / ".ondalis-tmp-stale2"));
    EXPECT_TRUE(std::filesystem::exists(home / ".ondalis-tmp-fresh1"));
}

// The message about a missing file is open when the signal comes: it closes,
// the settings are written, and the folder the user had stays.
TEST_F(RealProgram, AMissingFileOnTheCommandLineKeepsTheFolder)
{
    ASSERT_TRUE(Start({"/no/such/dir/x.tdr"}));
    QThread::msleep(300); // let the message come up
    EXPECT_TRUE(EndWith(SIGTERM));
    const std::string ini = home.ReadFile("param.ini");
    EXPECT_NE(ini.find("OPEN=" + waves.Folder() + "\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("CURSOR1=0\n"), std::string::npos) << ini;
}

// A bare "--" ends the options: a waveform named like an option opens in M1.
TEST_F(RealProgram, AFileAfterADoubleDashOpensInTheWindow)
{
    TempDir other;
    other.WriteFile("--x.tdr", TdrBytes().Bytes());
    process.setWorkingDirectory(QString::fromStdString(other.Path().string()));
    ASSERT_TRUE(Start({"--", "--x.tdr"}));
    EXPECT_TRUE(EndWith(SIGTERM));
    const std::string ini = home.ReadFile("param.ini");
    EXPECT_NE(ini.find("OPEN=" + other.Folder() + "\n"), std::string::npos) << ini;
}

// The runs without a window need no display: with neither a display nor a
// platform named, the program picks the offscreen one itself.
TEST_F(RealProgram, HeadlessRunsNeedNoDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        env.remove(name);
    }
    env.insert("ONDALIS_HOME", QString::fromStdString(home.Path().string()));
    process.setProcessEnvironment(env);
    const QString png = QString::fromStdString((waves / "p.png").string());
    process.start(program, {"--png", png, "--size", "300x200", QString::fromStdString((waves / "alpha.tdr").string())});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(png).isFile());

    process.start(program, {"--png", png});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().startsWith("ondalis: --png needs one to three waveform files\nUsage:"));

    process.start(program, {"--version"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), "Ondalis 5.0 v. 1.128\n");
    EXPECT_EQ(home.ReadFile("param.ini"), Ini());
}

} // namespace
