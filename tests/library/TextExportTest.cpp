#include "library/core/TextExport.h"
#include "support/TdrBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::string Repeat(const std::string& line, std::size_t times)
{
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += line;
    }
    return out;
}

std::vector<std::string> FolderNames(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(TextExport, WritesTheSamplesByteForByte)
{
    TempDir dir;
    TdrBytes wave;
    wave.Word(0, 0x31313131).Word(2, 99).Word(127, -1); // the header is neither checked nor exported
    wave.Sample(0, 0x80).Sample(1, 0x7F).Sample(2, 0x00).Sample(3, 0xFF).Sample(4, 10).Sample(7999, 0x9C);
    dir.WriteFile("w.tdr", wave.Bytes());
    dir.WriteFile("zero.tdr", TdrBytes().Bytes());

    const TextExportResult result = ExportFolderText(dir.Path());
    EXPECT_EQ(result.m_nWritten, 2u);
    EXPECT_TRUE(result.m_failed.empty());
    EXPECT_FALSE(result.m_bCancelled);
    EXPECT_EQ(dir.ReadFile("w.txt"), "-128\r\n127\r\n0\r\n-1\r\n10\r\n" + Repeat("0\r\n", 7994) + "-100\r\n");
    EXPECT_EQ(dir.ReadFile("zero.txt").size(), 24000u);

    std::vector<int8_t> samples;
    std::string expected;
    for (int value = -128; value < 128; ++value) {
        samples.push_back(static_cast<int8_t>(value));
        expected += std::to_string(value) + "\r\n";
    }
    EXPECT_EQ(WaveformText(samples), expected);
    EXPECT_EQ(WaveformText(std::vector<int8_t>(8000, -128)).size(), 48000u);
}

TEST(TextExport, WhichFilesAndWhatNames)
{
    TempDir dir;
    EXPECT_TRUE(ListTextExportJobs(dir / "missing").empty());
    const std::string wave = TdrBytes().Bytes();
    dir.WriteFile("a.b.tdr", wave);
    dir.WriteFile("X.TDR", wave);
    dir.WriteFile("small.tdr", std::string(100, '\0'));
    dir.WriteFile("big.tdr", wave + "\n");
    dir.WriteFile("other.dat", wave);
    std::filesystem::create_directory(dir / "dir.tdr");
    dir.WriteFile("old.tdr", wave);
    dir.WriteFile("old.txt", std::string(30000, '#'));

    const std::vector<TextExportJob> jobs = ListTextExportJobs(dir.Path());
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].m_strTarget, "a.b.txt");
    EXPECT_EQ(jobs[2].m_strSource, "X.TDR");
    EXPECT_EQ(jobs[2].m_strTarget, "X.txt");

    EXPECT_EQ(ExportFolderText(dir.Path()).m_nWritten, 3u);
    EXPECT_EQ(FolderNames(dir),
              (std::vector<std::string>{"X.TDR", "X.txt", "a.b.tdr", "a.b.txt", "big.tdr", "dir.tdr",
                                        "old.tdr", "old.txt", "other.dat", "small.tdr"}));
    EXPECT_EQ(dir.ReadFile("old.txt"), Repeat("0\r\n", 8000)) << "an existing export is replaced whole";
}

TEST(TextExport, FailuresAreReportedAndTheRestGoesOn)
{
    TempDir dir;
    const std::string wave = TdrBytes().Sample(0, 5).Bytes();
    for (const char* name : {"a.tdr", "b.tdr", "c.tdr", "gone.tdr", "grown.tdr"}) {
        dir.WriteFile(name, wave);
    }
    std::filesystem::create_directory(dir / "a.txt"); // a folder where the export would go
    dir.WriteFile("b.txt", "kept");
    ::chmod((dir / "b.txt").c_str(), 0444); // no write bit: refused even to root

    // Sources that vanish or change size after the jobs were listed fail too.
    const std::vector<TextExportJob> jobs = ListTextExportJobs(dir.Path());
    ASSERT_EQ(jobs.size(), 5u);
    std::filesystem::remove(dir / "gone.tdr");
    dir.WriteFile("grown.tdr", wave + wave);
    std::vector<std::string> failed;
    for (const TextExportJob& job : jobs) {
        if (!ExportWaveformText(dir.Path(), job)) {
            failed.push_back(job.m_strSource);
        }
    }
    EXPECT_EQ(failed, (std::vector<std::string>{"a.tdr", "b.tdr", "gone.tdr", "grown.tdr"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a.txt"));
    EXPECT_EQ(dir.ReadFile("b.txt"), "kept");
    EXPECT_EQ(dir.ReadFile("c.txt"), "5\r\n" + Repeat("0\r\n", 7999));
    // Nothing half written, no temporary files left behind.
    EXPECT_EQ(FolderNames(dir),
              (std::vector<std::string>{"a.tdr", "a.txt", "b.tdr", "b.txt", "c.tdr", "c.txt", "grown.tdr"}));
    EXPECT_EQ(ExportFolderText(dir.Path()).m_failed, (std::vector<std::string>{"a.tdr", "b.tdr"}));
}

TEST(TextExport, LinkedTargetsAreReplacedByFilesAndWhatTheyPointAtIsLeftAlone)
{
    TempDir dir;
    TempDir elsewhere;
    elsewhere.WriteFile("precious", "precious");
    std::filesystem::create_directory(elsewhere / "folder");
    const std::string wave = TdrBytes().Sample(0, 7).Bytes();
    const std::string text = "7\r\n" + Repeat("0\r\n", 7999);
    for (const char* name : {"file.tdr", "dangling.tdr", "folder.tdr", "plain.tdr", "fresh.tdr"}) {
        dir.WriteFile(name, wave);
    }
    std::filesystem::create_symlink(elsewhere / "precious", dir / "file.txt");
    std::filesystem::create_symlink(elsewhere / "gone", dir / "dangling.txt");
    std::filesystem::create_symlink(elsewhere / "folder", dir / "folder.txt");
    dir.WriteFile("plain.txt", "old");
    ::chmod((dir / "plain.txt").c_str(), 0604);

    const mode_t oldMask = ::umask(027);
    const TextExportResult result = ExportFolderText(dir.Path());
    ::umask(oldMask);
    EXPECT_EQ(result.m_nWritten, 5u);
    EXPECT_TRUE(result.m_failed.empty());
    for (const char* name : {"file.txt", "dangling.txt", "folder.txt", "plain.txt", "fresh.txt"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / name))) << name;
        EXPECT_EQ(dir.ReadFile(name), text) << name;
    }
    EXPECT_EQ(elsewhere.ReadFile("precious"), "precious");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(elsewhere / "gone")));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere / "folder"));
    // A replaced file keeps its permissions; new files, and files in place of a
    // link, get the default ones less the umask.
    struct stat info = {};
    ASSERT_EQ(::stat((dir / "plain.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    for (const char* name : {"fresh.txt", "file.txt"}) {
        ASSERT_EQ(::stat((dir / name).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u) << name;
    }
}

TEST(TextExport, NamesThatAreNotUtf8KeepTheirBytes)
{
    TempDir dir;
    dir.WriteFile("bad\xFF.tdr", TdrBytes().Sample(0, 3).Bytes());
    const TextExportResult result = ExportFolderText(dir.Path());
    EXPECT_EQ(result.m_nWritten, 1u);
    EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{"bad\xFF.tdr", "bad\xFF.txt"}));
    EXPECT_EQ(dir.ReadFile("bad\xFF.txt").substr(0, 6), "3\r\n0\r\n");
}

// An export into a folder first removes the temporaries a killed export left
// there long ago, and leaves alone the fresh ones another running export owns.
TEST(TextExport, StaleTemporariesOfTheFolderGoFreshOnesStay)
{
    TempDir dir;
    dir.WriteFile("w.tdr", TdrBytes().Bytes());
    dir.WriteFile(".ondalis-tmp-Old123", "0\r\n1\r\n");
    dir.WriteFile(".ondalis-tmp-New456", "0\r\n");
    const std::time_t old = std::time(nullptr) - 3600;
    const struct timespec times[2] = {{old, 0}, {old, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / ".ondalis-tmp-Old123").c_str(), times, 0), 0);

    EXPECT_EQ(ExportFolderText(dir.Path()).m_nWritten, 1u);
    EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{".ondalis-tmp-New456", "w.tdr", "w.txt"}));
}

TEST(TextExport, NamesEqualButForTheExtensionCaseDoNotOverwriteEachOther)
{
    TempDir dir;
    dir.WriteFile("x.tdr", TdrBytes().Sample(0, 1).Bytes());
    dir.WriteFile("x.TDR", TdrBytes().Sample(0, 2).Bytes());
    const std::vector<TextExportJob> jobs = ListTextExportJobs(dir.Path());
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].m_strSource, "x.TDR");
    EXPECT_TRUE(jobs[1].m_bTargetTaken);
    EXPECT_EQ(ExportFolderText(dir.Path()).m_failed, std::vector<std::string>{"x.tdr"});
    EXPECT_EQ(dir.ReadFile("x.txt").substr(0, 3), "2\r\n");
}

TEST(TextExport, ProgressCountsAndCancels)
{
    TempDir dir;
    for (const char* name : {"1.tdr", "2.tdr", "3.tdr", "4.tdr"}) {
        dir.WriteFile(name, TdrBytes().Bytes());
    }
    std::vector<std::size_t> calls;
    TextExportResult result = ExportFolderText(dir.Path(), [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(total, 4u);
        calls.push_back(done);
        return done < 2;
    });
    EXPECT_TRUE(result.m_bCancelled);
    EXPECT_EQ(result.m_nWritten, 2u);
    EXPECT_EQ(calls, (std::vector<std::size_t>{1, 2}));
    EXPECT_FALSE(std::filesystem::exists(dir / "3.txt"));

    // Declining after the last file is no cancel: nothing was left undone.
    result = ExportFolderText(dir.Path(), [](std::size_t done, std::size_t total) { return done < total; });
    EXPECT_FALSE(result.m_bCancelled);
    EXPECT_EQ(result.m_nWritten, 4u);
}

} // namespace
