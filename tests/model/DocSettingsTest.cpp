#include "model/PrivateProfile.h"
#include "model/ProgramFolder.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string_view>
#include <utility>

#include <sys/inotify.h>
#include <unistd.h>

#include <memory>
#include <sstream>

namespace {

const char* const kDocKeys[] = {"SCALE", "PULSE", "MOUSE", "VFACTOR", "GAIN", "AVERAGE", "CURSOR1", "CURSOR2",
                                "Y_P1", "Y_P2", "Y_P3", "APPOXIMATION", "MARKER", "SPEED", "RL"};

std::string Setting(const std::filesystem::path& ini, const char* key)
{
    return PrivateProfile(ini).GetString(kSettingsSection, key, "<missing>");
}

TEST(DocSettings, MissingFileGivesDefaultsAndIsCreatedWithAllKeysInOrder)
{
    TempDir dir;
    const auto ini = dir / "param.ini";
    {
        CZR815KDoc doc(ini);
        EXPECT_DOUBLE_EQ(doc.m_dScale, 62.5);
        EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.5);
        EXPECT_EQ(doc.m_nMouseMode, 0);
        EXPECT_TRUE(doc.m_bApproximation);
        EXPECT_FALSE(doc.m_bReturnLoss);
        EXPECT_FALSE(doc.m_bShowHalfVelocity);
        EXPECT_FALSE(doc.m_bShowMarkers);
        EXPECT_EQ(doc.m_dCursor1, 0);
        EXPECT_EQ(doc.m_dCursor2, 0);
        EXPECT_EQ(doc.m_nZoom, 0);
        EXPECT_EQ(doc.m_pZoomAnchor, &doc.m_dCursor1);
        EXPECT_EQ(doc.m_memory[0].m_crColor, (Colour{200, 0, 0}));
        EXPECT_EQ(doc.m_memory[1].m_crColor, (Colour{255, 153, 0}));
        EXPECT_EQ(doc.m_memory[2].m_crColor, (Colour{200, 0, 200}));
        EXPECT_EQ(doc.m_crCursor1, (Colour{200, 200, 255}));
        EXPECT_EQ(doc.m_crCursor2, (Colour{200, 200, 0}));
        for (const WaveformRecord& r : doc.m_memory) {
            EXPECT_EQ(r.m_nShift, 0);
            EXPECT_FALSE(r.m_bOn);
        }
        EXPECT_FALSE(std::filesystem::exists(ini)) << "nothing is written before the end";
    }
    const std::string text = dir.ReadFile("param.ini");
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[KLM-204]");
    for (const char* key : kDocKeys) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line.substr(0, line.find('=')), key);
    }
    EXPECT_EQ(Setting(ini, "SCALE"), "0");
    EXPECT_EQ(Setting(ini, "PULSE"), "0");
    EXPECT_EQ(Setting(ini, "VFACTOR"), "1500");
    EXPECT_EQ(Setting(ini, "APPOXIMATION"), "1");
    EXPECT_EQ(Setting(ini, "MARKER"), "0");
}

// An installed copy keeps its settings in the user's folder even when it could
// write its own (root could write /usr/bin); a copy elsewhere keeps them beside it.
TEST(DocSettings, AnInstalledProgramKeepsItsSettingsInTheUsersFolder)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "data");
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string before = saved != nullptr ? saved : "";
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    const std::string bin = (dir / "bin").string();
    EXPECT_EQ(ProgramFolderOf(bin, bin + "/"), (dir / "data").string() + "/ondalis/");
    EXPECT_EQ(ProgramFolderOf(bin, (dir / "data").string()), bin + "/");
    EXPECT_EQ(ProgramFolderOf(bin, ""), bin + "/");
    if (saved != nullptr) {
        ::setenv("XDG_DATA_HOME", before.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

TEST(DocSettings, ValuesReadAndWrittenBack)
{
    TempDir dir;
    dir.WriteFile("param.ini", "[KLM-204]\nSCALE=11\nMOUSE=6\nVFACTOR=1600\nGAIN=3\nAVERAGE=4\n"
                               "CURSOR1=12345\nCURSOR2=700000\nY_P1=-37\nY_P2=15\nY_P3=0\n"
                               "APPOXIMATION=0\nMARKER=1\nSPEED=1\nRL=7\n");
    const auto ini = dir / "param.ini";
    {
        CZR815KDoc doc(ini);
        EXPECT_DOUBLE_EQ(doc.m_dScale, 128000);
        EXPECT_EQ(doc.m_nMouseMode, 6);
        EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.6);
        EXPECT_EQ(doc.m_nGain, 3);
        EXPECT_EQ(doc.m_nAverage, 4);
        EXPECT_DOUBLE_EQ(doc.m_dCursor1, 12.345);
        EXPECT_DOUBLE_EQ(doc.m_dCursor2, 700);
        EXPECT_EQ(doc.m_memory[0].m_nShift, -37);
        EXPECT_EQ(doc.m_memory[1].m_nShift, 15);
        EXPECT_FALSE(doc.m_bApproximation);
        EXPECT_FALSE(doc.m_bShowMarkers) << "MARKER is never read";
        EXPECT_TRUE(doc.m_bShowHalfVelocity);
        EXPECT_TRUE(doc.m_bReturnLoss) << "any non-zero value is true";
    }
    EXPECT_EQ(Setting(ini, "SCALE"), "11");
    EXPECT_EQ(Setting(ini, "PULSE"), "11");
    EXPECT_EQ(Setting(ini, "VFACTOR"), "1600");
    EXPECT_EQ(Setting(ini, "CURSOR1"), "12345");
    EXPECT_EQ(Setting(ini, "Y_P1"), "-37");
    EXPECT_EQ(Setting(ini, "MARKER"), "0") << "rewritten from the flag";
    EXPECT_EQ(Setting(ini, "RL"), "1");
}

TEST(DocSettings, ChangesReachTheFileTruncatedToThousandths)
{
    TempDir dir;
    const auto ini = dir / "param.ini";
    {
        CZR815KDoc doc(ini);
        doc.m_dCursor1 = 12.3456;
        doc.m_dCursor2 = 0.0009;
        doc.m_dFactor = 1.001;
        doc.m_bShowMarkers = true;
        doc.SetScale(7);
    }
    EXPECT_EQ(Setting(ini, "CURSOR1"), "12345");
    EXPECT_EQ(Setting(ini, "CURSOR2"), "0");
    EXPECT_EQ(Setting(ini, "VFACTOR"), "1001");
    EXPECT_EQ(Setting(ini, "MARKER"), "1");
    EXPECT_EQ(Setting(ini, "SCALE"), "7");
    EXPECT_EQ(Setting(ini, "PULSE"), "7");
}

TEST(DocSettings, ThousandthsSurviveRepeatedRuns)
{
    TempDir dir;
    const auto ini = dir / "param.ini";
    for (const char* value : {"1001", "1457", "2999", "1000", "3000", "1", "123456789"}) {
        const bool factor = std::string_view(value).size() == 4;
        PrivateProfile(ini).WriteString(kSettingsSection, "VFACTOR", factor ? value : "1500");
        PrivateProfile(ini).WriteString(kSettingsSection, "CURSOR1", value);
        for (int run = 0; run < 3; ++run) {
            CZR815KDoc doc(ini);
        }
        EXPECT_EQ(Setting(ini, "VFACTOR"), factor ? value : "1500");
        EXPECT_EQ(Setting(ini, "CURSOR1"), value);
    }
}

TEST(DocSettings, OutOfRangeAndGarbageFallBackSafely)
{
    TempDir dir;
    dir.WriteFile("param.ini", "[klm-204]\nscale=12\nVFACTOR=-1500\nCURSOR1=-5\nCURSOR2=abc\n"
                               "MOUSE=\nAPPOXIMATION=xyz\nY_P2=99999\nGAIN=12abc\n");
    CZR815KDoc doc(dir / "param.ini");
    EXPECT_DOUBLE_EQ(doc.m_dScale, 62.5);
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.5);
    EXPECT_EQ(doc.m_dCursor1, 0);
    EXPECT_EQ(doc.m_dCursor2, 0);
    EXPECT_EQ(doc.m_nMouseMode, 0);
    EXPECT_FALSE(doc.m_bApproximation) << "a value with no number reads as 0";
    EXPECT_EQ(doc.m_memory[1].m_nShift, 200);
    EXPECT_EQ(doc.m_nGain, 12);

    TempDir zero;
    zero.WriteFile("param.ini", "[KLM-204]\nVFACTOR=0\nSCALE=-1\n");
    CZR815KDoc other(zero / "param.ini");
    EXPECT_DOUBLE_EQ(other.m_dFactor, 1.5);
    EXPECT_DOUBLE_EQ(other.m_dScale, 62.5);
}

TEST(DocSettings, AFactorOutsideTheFieldsRangeIsHeldToIt)
{
    // The field offers PR 1..3: a stored 0.001 or 3.001 would be used while the
    // field shows the held value.
    for (const auto& [stored, held] : {std::pair{"1", 1.0}, std::pair{"999", 1.0}, std::pair{"1000", 1.0},
                                       std::pair{"3000", 3.0}, std::pair{"3001", 3.0}}) {
        TempDir dir;
        dir.WriteFile("param.ini", std::string("[KLM-204]\nVFACTOR=") + stored + "\n");
        CZR815KDoc doc(dir / "param.ini");
        EXPECT_EQ(doc.m_dFactor, held) << stored;
    }
}

TEST(DocSettings, OtherSectionsCommentsAndKeysAreKept)
{
    TempDir dir;
    const std::string before = "; settings of the viewer\r\n"
                               "[Other]\r\n"
                               "SCALE=9\r\n"
                               "\r\n"
                               "[KLM-204]\r\n"
                               "OPEN=/home/техник/замеры/\r\n"
                               "SCALE=3\r\n"
                               "TWOSCREEN=1\r\n"
                               "\r\n"
                               "[Tail]\r\n"
                               "X=1\r\n";
    dir.WriteFile("param.ini", before);
    {
        CZR815KDoc doc(dir / "param.ini");
        EXPECT_DOUBLE_EQ(doc.m_dScale, 500);
    }
    const std::string after = dir.ReadFile("param.ini");
    EXPECT_EQ(after.substr(0, after.find("SCALE=3")), before.substr(0, before.find("SCALE=3")));
    EXPECT_NE(after.find("OPEN=/home/техник/замеры/\r\n"), std::string::npos);
    EXPECT_NE(after.find("TWOSCREEN=1\r\n"), std::string::npos);
    EXPECT_NE(after.find("RL=0\r\n"), std::string::npos) << "new keys keep the file's CR LF";
    EXPECT_LT(after.find("RL=0"), after.find("[Tail]")) << "new keys stay inside their section";
    EXPECT_NE(after.find("[Tail]\r\nX=1\r\n"), std::string::npos);
    EXPECT_NE(after.find("[Other]\r\nSCALE=9\r\n"), std::string::npos);
    EXPECT_EQ(PrivateProfile(dir / "param.ini").GetString(kSettingsSection, "OPEN", ""), "/home/техник/замеры/");
}

TEST(DocSettings, ReadOnlySettingsFileIsLeftAlone)
{
    TempDir dir;
    const std::string before = "[KLM-204]\nSCALE=2\n";
    dir.WriteFile("param.ini", before);
    std::filesystem::permissions(dir / "param.ini", std::filesystem::perms::owner_read);
    {
        CZR815KDoc doc(dir / "param.ini");
        EXPECT_DOUBLE_EQ(doc.m_dScale, 250);
        doc.SetScale(5);
    }
    EXPECT_EQ(dir.ReadFile("param.ini"), before);
}

TEST(DocSettings, MixedEncodingsSurviveARunByteForByte)
{
    TempDir dir;
    // UTF-8 lines, a Windows-1251 line ("Ж") in another section, a folder whose
    // name holds 0xFF, a UTF-8 mark and both line endings; the document's keys
    // already hold what it writes back, so the run must leave every byte.
    const std::string before = "\xEF\xBB\xBF[KLM-204]\n"
                               "OPEN=/tmp/Папка/\n"
                               "OPEN_PIECE=/tmp/bad\xFF/\r\n"
                               "SCALE=3\nPULSE=3\nMOUSE=0\nVFACTOR=1500\nGAIN=0\nAVERAGE=0\nCURSOR1=0\n"
                               "CURSOR2=0\nY_P1=0\nY_P2=0\nY_P3=0\nAPPOXIMATION=1\nMARKER=0\nSPEED=0\nRL=0\n"
                               "\n"
                               "[Other]\n"
                               "Y=\xC6\n";
    dir.WriteFile("param.ini", before);
    for (int run = 0; run < 2; ++run) {
        CZR815KDoc doc(dir / "param.ini");
        EXPECT_DOUBLE_EQ(doc.m_dScale, 500);
    }
    EXPECT_EQ(dir.ReadFile("param.ini"), before);
    const PrivateProfile ini(dir / "param.ini");
    EXPECT_EQ(ini.GetString(kSettingsSection, "OPEN", ""), "/tmp/Папка/");
    EXPECT_EQ(ini.GetPath(kSettingsSection, "OPEN_PIECE", ""), "/tmp/bad\xFF/");
    EXPECT_EQ(ini.GetString("Other", "Y", ""), "Ж");
}

// Counts what happens to the files of a folder, as the kernel reports it.
class FolderWatch
{
public:
    explicit FolderWatch(const std::filesystem::path& folder)
    {
        m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd >= 0)
            m_watch = ::inotify_add_watch(m_fd, folder.c_str(), IN_OPEN | IN_CREATE | IN_MOVED_TO);
    }
    ~FolderWatch()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool Ok() const { return m_watch >= 0; }
    // The events since the last call: "open NAME", "create NAME", "rename-to NAME".
    std::vector<std::string> Events()
    {
        std::vector<std::string> events;
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                return events;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                const std::string name = event->len > 0 ? event->name : "";
                const bool temporary = name.starts_with(".ondalis-tmp-");
                const std::string shown = temporary ? "<temporary>" : name;
                if (event->mask & IN_OPEN)
                    events.push_back("open " + shown);
                if (event->mask & IN_CREATE)
                    events.push_back("create " + shown);
                if (event->mask & IN_MOVED_TO)
                    events.push_back("rename-to " + shown);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int m_fd = -1;
    int m_watch = -1;
};

TEST(DocSettings, StartReadsTheFileOnceAndTheExitSaveReplacesItOnce)
{
    TempDir dir;
    dir.WriteFile("param.ini", "[KLM-204]\nSCALE=3\nOPEN=/x/\n");
    FolderWatch watch(dir.Path());
    ASSERT_TRUE(watch.Ok());
    {
        auto doc = std::make_unique<CZR815KDoc>(dir / "param.ini");
        EXPECT_EQ(watch.Events(), (std::vector<std::string>{"open param.ini"}));
        doc->SetScale(5);
        doc.reset();
    }
    // Whatever else it opens, the save makes one temporary and renames it once.
    std::vector<std::string> writes;
    for (const std::string& event : watch.Events())
        if (!event.starts_with("open "))
            writes.push_back(event);
    EXPECT_EQ(writes, (std::vector<std::string>{"create <temporary>", "rename-to param.ini"}));
    EXPECT_EQ(Setting(dir / "param.ini", "SCALE"), "5");
    EXPECT_EQ(Setting(dir / "param.ini", "RL"), "0");
    EXPECT_EQ(Setting(dir / "param.ini", "OPEN"), "/x/");
}

// A view that records what it was told.
class RecordingView : public CDocView
{
public:
    RecordingView(std::vector<std::pair<int, int>>& log, int id)
        : m_log(log), m_id(id)
    {
    }
    void OnUpdate(CDocView* /*sender*/, int hint) override { m_log.emplace_back(m_id, hint); }

private:
    std::vector<std::pair<int, int>>& m_log;
    int m_id;
};

TEST(DocViews, UpdatesReachEveryViewButTheSenderInOrder)
{
    TempDir dir;
    CZR815KDoc doc(dir / "param.ini");
    std::vector<std::pair<int, int>> log;
    RecordingView a(log, 1), b(log, 2), c(log, 3);
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&c);
    doc.AddView(&b); // registering twice changes nothing
    doc.UpdateAllViews(&b, HINT_MEMORY);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{1, 4}, {3, 4}}));
    log.clear();
    doc.RemoveView(&a);
    doc.SetScale(3);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{2, 2}, {3, 2}}));
}

// A view that answers an update with another update, as panels do.
class RelayView : public CDocView
{
public:
    RelayView(CZR815KDoc& doc, std::vector<int>& hints)
        : m_doc(doc), m_hints(hints)
    {
    }
    void OnUpdate(CDocView*, int hint) override
    {
        m_hints.push_back(hint);
        if (hint == HINT_MEMORY) {
            m_doc.UpdateAllViews(this, HINT_REDRAW);
        }
    }

private:
    CZR815KDoc& m_doc;
    std::vector<int>& m_hints;
};

TEST(DocViews, NestedUpdatesRunSynchronously)
{
    TempDir dir;
    CZR815KDoc doc(dir / "param.ini");
    std::vector<int> relayed;
    std::vector<std::pair<int, int>> log;
    RelayView relay(doc, relayed);
    RecordingView other(log, 9);
    doc.AddView(&relay);
    doc.AddView(&other);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(relayed, std::vector<int>{4});
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{9, 0}, {9, 4}}));
}

} // namespace
