// The settings-like files under kill -9: a helper process rewrites param.ini, a
// site grid and a velocity-factor library in a loop through the program's own
// writers, and is killed at random moments, again and again. After every kill
// each file must read back as one whole state the writers can leave between two
// of their atomic replacements (never empty, never torn), and at most one
// temporary file may be left behind per kill. The next start leaves the fresh
// temporaries alone (another instance may be writing them) and removes them
// once they are old.
#include "cablelib/core/CableLibrary.h"
#include "library/core/SiteGridFile.h"
#include "model/PrivateProfile.h"
#include "model/SafeFile.h"
#include "settings-writer/WriterContents.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
namespace sw = settings_writer;

namespace {

constexpr int kKills = 240;
constexpr const char* kTempPrefix = ".ondalis-tmp-";

std::string Bytes(const fs::path& path)
{
    const FileReadResult read = ReadWholeFile(path);
    return read.status == FileReadStatus::Read ? read.bytes : std::string();
}

// Every byte content a file of the round's sequence can hold once a write has
// completed, labelled: "A", "B" for a whole content, "A.1" for a grid with one
// of its sections added, and so on. Made by running the same writers here.
struct KnownStates
{
    std::map<std::string, std::string> grid;    // bytes -> label
    std::map<std::string, std::string> library; // bytes -> label
};

KnownStates MakeKnownStates()
{
    TempDir scratch;
    KnownStates known;
    for (int variant = 0; variant < 2; ++variant) {
        const std::string name = variant == 0 ? "A" : "B";
        const fs::path grid = scratch / sw::kGridName;
        EXPECT_TRUE(CreateSiteGridFile(grid, sw::GridScale(variant)));
        const std::vector<double> factors = sw::GridFactors(variant);
        known.grid[Bytes(grid)] = name + ".0";
        for (std::size_t i = 0; i < factors.size(); ++i) {
            EXPECT_TRUE(AddSiteGridSection(grid, factors[i]));
            known.grid[Bytes(grid)] = i + 1 == factors.size() ? name : name + "." + std::to_string(i + 1);
        }
        const fs::path library = scratch / sw::kLibraryName;
        EXPECT_TRUE(WriteCableLibrary(library, sw::Library(variant)));
        known.library[Bytes(library)] = name;
    }
    return known;
}

// The state of param.ini: its keys in writing order, each with the content
// (0 or 1) its value belongs to. The file must be exactly what the writer
// makes of such keys; nullopt for a file that is not.
std::optional<std::vector<int>> ReadIniState(const fs::path& path, std::string& why)
{
    const std::string bytes = Bytes(path);
    const ProfileText text = ProfileText::Parse(bytes);
    const auto keys = sw::IniKeys();
    const std::vector<std::string>& lines = text.Lines();
    if (lines.empty() || lines[0] != "[KLM-204]" || lines.size() > keys.size() + 1) {
        why = "unexpected lines, " + std::to_string(bytes.size()) + " bytes";
        return std::nullopt;
    }
    std::vector<int> state;
    std::string expected = "[KLM-204]\n";
    const PrivateProfile ini(path);
    for (std::size_t j = 1; j < lines.size(); ++j) {
        const auto& [key, values] = keys[j - 1];
        int which = -1;
        for (int v = 0; v < 2; ++v) {
            if (lines[j] == key + "=" + values[static_cast<std::size_t>(v)]) {
                which = v;
            }
        }
        if (which < 0 || ini.GetString(kSettingsSection, key, "<none>") != values[static_cast<std::size_t>(which)]) {
            why = "key " + key + " holds neither content";
            return std::nullopt;
        }
        state.push_back(which);
        expected += lines[j] + "\n";
    }
    if (bytes != expected) {
        why = "bytes differ from the lines they parse to";
        return std::nullopt;
    }
    return state;
}

std::vector<std::string> Temporaries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kTempPrefix)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The writer, started with its stdout on a pipe.
class Writer
{
public:
    // first: the content of its first round (0 for A, 1 for B); rounds: how
    // many it writes before it ends, 0 for no end.
    Writer(const fs::path& folder, int first, int rounds = 0)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const std::string program = SETTINGS_WRITER;
        const std::string where = folder.string();
        const std::string start = std::to_string(first);
        const std::string count = std::to_string(rounds);
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(where.c_str()),
                        const_cast<char*>(start.c_str()), rounds > 0 ? const_cast<char*>(count.c_str()) : nullptr,
                        nullptr};
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Writer()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) {
            ::close(m_out);
        }
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool Started() const { return m_pid > 0; }
    // The next line it prints (up to ten seconds), without its end; empty
    // when none comes.
    std::string NextLine()
    {
        while (m_buffer.find('\n') == std::string::npos) {
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) {
                return {};
            }
            char buffer[256];
            const ssize_t got = ::read(m_out, buffer, sizeof buffer);
            if (got <= 0) {
                return {};
            }
            m_buffer.append(buffer, static_cast<std::size_t>(got));
        }
        const std::size_t end = m_buffer.find('\n');
        std::string line = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 1);
        return line;
    }
    // Kills it; true when it was still running (died of the signal).
    bool Kill()
    {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
};

TEST(KillNine, SettingsFilesAreAlwaysWholeAndTemporariesStayFew)
{
    const KnownStates known = MakeKnownStates();
    ASSERT_EQ(known.grid.size(), 7u);
    ASSERT_EQ(known.library.size(), 2u);

    TempDir dir;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> pause(0, 20000);
    std::map<std::string, int> iniOutcomes, gridOutcomes, libraryOutcomes;
    bool sawIni = false, sawAllKeys = false, sawGrid = false, sawLibrary = false;
    std::size_t temporaries = 0;
    int mostPerKill = 0;
    const auto start = std::chrono::steady_clock::now();

    for (int kill = 0; kill < kKills; ++kill) {
        // Writers start with A and B in turn; two in eight are let finish a
        // round first, so that whole contents are on disk however slow the
        // machine is, and the kill lands in the round after it.
        Writer writer(dir.Path(), kill % 2);
        ASSERT_TRUE(writer.Started()) << SETTINGS_WRITER;
        ASSERT_EQ(writer.NextLine(), "ready") << "kill " << kill;
        if (kill % 8 >= 6) {
            ASSERT_EQ(writer.NextLine(), "done") << "kill " << kill;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ASSERT_TRUE(writer.Kill()) << "the writer stopped by itself before kill " << kill;

        // param.ini: a prefix of the keys, each holding A or B; once all keys
        // were there they stay.
        const fs::path ini = dir / sw::kIniName;
        if (fs::exists(ini)) {
            sawIni = true;
            std::string why;
            const auto state = ReadIniState(ini, why);
            ASSERT_TRUE(state.has_value()) << "param.ini after kill " << kill << ": " << why;
            if (state->size() == sw::IniKeys().size()) {
                sawAllKeys = true;
            }
            ASSERT_TRUE(!sawAllKeys || state->size() == sw::IniKeys().size()) << "kill " << kill;
            ASSERT_FALSE(state->empty()) << "kill " << kill;
            std::string label;
            for (int v : *state) {
                label += v == 0 ? 'A' : 'B';
            }
            const bool whole = state->size() == sw::IniKeys().size() &&
                               (label.find('A') == std::string::npos || label.find('B') == std::string::npos);
            ++iniOutcomes[whole ? std::string(1, label[0]) : "keys of both"];
        } else {
            ASSERT_FALSE(sawIni) << "param.ini vanished at kill " << kill;
            ++iniOutcomes["missing"];
        }

        // The grid: a whole grid or one with some of its sections added, read by
        // the program's readers as well.
        const fs::path grid = dir / sw::kGridName;
        if (fs::exists(grid)) {
            sawGrid = true;
            const std::string bytes = Bytes(grid);
            const auto found = known.grid.find(bytes);
            ASSERT_NE(found, known.grid.end()) << "torn grid after kill " << kill << ", " << bytes.size()
                                               << " bytes:\n"
                                               << bytes;
            const std::string& label = found->second;
            const std::size_t sections = ReadSiteGridSections(grid).size();
            const std::size_t whole = sw::GridFactors(label[0] == 'A' ? 0 : 1).size();
            EXPECT_EQ(sections, label.size() == 1 ? whole : std::stoul(label.substr(2))) << label;
            ++gridOutcomes[label.size() == 1 ? label : "partial"];
        } else {
            ASSERT_FALSE(sawGrid) << "the grid vanished at kill " << kill;
            ++gridOutcomes["missing"];
        }

        // The library: A or B, nothing else.
        const fs::path library = dir / sw::kLibraryName;
        if (fs::exists(library)) {
            sawLibrary = true;
            const auto found = known.library.find(Bytes(library));
            ASSERT_NE(found, known.library.end()) << "torn library after kill " << kill;
            const auto entries = ReadCableLibrary(library);
            ASSERT_TRUE(entries.has_value());
            EXPECT_EQ(entries->size(), sw::Library(found->second == "A" ? 0 : 1).size());
            ++libraryOutcomes[found->second];
        } else {
            ASSERT_FALSE(sawLibrary) << "the library vanished at kill " << kill;
            ++libraryOutcomes["missing"];
        }

        // One write was in flight: at most one new temporary file.
        const std::size_t now = Temporaries(dir.Path()).size();
        ASSERT_GE(now, temporaries) << "a temporary file went away";
        ASSERT_LE(now - temporaries, 1u) << "kill " << kill;
        mostPerKill = std::max(mostPerKill, static_cast<int>(now - temporaries));
        temporaries = now;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // The next start, as a writer that makes one round: its first write into
    // the folder cleans it. Right after the kills every temporary is fresh and
    // stays; a quarter of an hour later (their times set back) none is left.
    const auto nextStart = [&] {
        Writer next(dir.Path(), 0, 1);
        ASSERT_TRUE(next.Started());
        ASSERT_EQ(next.NextLine(), "ready");
        ASSERT_EQ(next.NextLine(), "done");
    };
    const std::vector<std::string> left = Temporaries(dir.Path());
    nextStart();
    EXPECT_EQ(Temporaries(dir.Path()), left) << "fresh temporaries of a writer that may still run are kept";
    const timespec quarterHourAgo = {std::time(nullptr) - 15 * 60, 0};
    const timespec times[2] = {quarterHourAgo, quarterHourAgo};
    for (const std::string& name : left) {
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }
    nextStart();
    EXPECT_TRUE(Temporaries(dir.Path()).empty()) << "stale temporaries outlive the next start";

    // Both whole contents must have come up, or the check above saw too little.
    EXPECT_TRUE(sawAllKeys);
    for (const char* whole : {"A", "B"}) {
        EXPECT_GT(iniOutcomes[whole], 0) << whole;
        EXPECT_GT(gridOutcomes[whole], 0) << whole;
        EXPECT_GT(libraryOutcomes[whole], 0) << whole;
    }

    const auto print = [](const char* name, const std::map<std::string, int>& outcomes) {
        std::cout << "  " << name << ":";
        for (const auto& [label, count] : outcomes) {
            std::cout << " " << label << "=" << count;
        }
        std::cout << "\n";
    };
    std::cout << "kills: " << kKills << " in " << seconds << " s\n";
    print("param.ini", iniOutcomes);
    print("grid.pie", gridOutcomes);
    print("cables.tku", libraryOutcomes);
    std::cout << "temporary files left (" << kTempPrefix << "*): " << temporaries << ", at most " << mostPerKill
              << " per kill; after the next start a quarter of an hour later: " << Temporaries(dir.Path()).size()
              << "\n";
}

} // namespace
