#include "model/SafeFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

mode_t ModeBits(const fs::path& path)
{
    struct stat info = {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// Sets the process's umask for one scope.
class ScopedUmask
{
public:
    explicit ScopedUmask(mode_t mask) : m_old(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_old); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t m_old;
};

} // namespace

TEST(ReadWholeFile, MissingIsToldApartFromUnreadable)
{
    TempDir dir;
    dir.WriteFile("a.txt", "abc");
    EXPECT_EQ(ReadWholeFile(dir / "nothing").status, FileReadStatus::Missing);
    EXPECT_EQ(ReadWholeFile(dir / "a.txt" / "below").status, FileReadStatus::Missing)
        << "a file where a folder should be";
    fs::create_symlink("nothing", dir / "dangling");
    EXPECT_EQ(ReadWholeFile(dir / "dangling").status, FileReadStatus::Missing);

    fs::create_directory(dir / "folder");
    EXPECT_EQ(ReadWholeFile(dir / "folder").status, FileReadStatus::Unreadable);

    fs::create_symlink("a.txt", dir / "link");
    const FileReadResult linked = ReadWholeFile(dir / "link");
    EXPECT_EQ(linked.status, FileReadStatus::Read);
    EXPECT_EQ(linked.bytes, "abc");
}

TEST(ReadWholeFile, NeverBlocksOnFifosOrDevices)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(dir / "fifo").status, FileReadStatus::Unreadable);
    if (fs::exists("/dev/zero")) {
        EXPECT_EQ(ReadWholeFile("/dev/zero").status, FileReadStatus::Unreadable);
    }
}

TEST(ReadWholeFile, CapIsInclusive)
{
    TempDir dir;
    const std::string big(70000, 'x'); // more than one read's buffer
    dir.WriteFile("big", big);
    const FileReadResult whole = ReadWholeFile(dir / "big", big.size());
    EXPECT_EQ(whole.status, FileReadStatus::Read);
    EXPECT_EQ(whole.bytes, big);
    const FileReadResult over = ReadWholeFile(dir / "big", big.size() - 1);
    EXPECT_EQ(over.status, FileReadStatus::Unreadable);
    EXPECT_TRUE(over.bytes.empty());

    dir.WriteFile("empty", "");
    EXPECT_EQ(ReadWholeFile(dir / "empty", 0).status, FileReadStatus::Read);
}

TEST(ReadWholeFile, FileWithoutReadPermission)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    TempDir dir;
    dir.WriteFile("locked", "abc");
    fs::permissions(dir / "locked", fs::perms::none);
    EXPECT_EQ(ReadWholeFile(dir / "locked").status, FileReadStatus::Unreadable);
}

TEST(WriteFileAtomically, NewFilesFollowTheUmask)
{
    TempDir dir;
    {
        const ScopedUmask mask(027);
        ASSERT_TRUE(WriteFileAtomically(dir / "a", "1"));
    }
    EXPECT_EQ(ModeBits(dir / "a"), 0640u);
    {
        const ScopedUmask mask(002);
        ASSERT_TRUE(WriteFileAtomically(dir / "b", "2", Durability::Unflushed));
    }
    EXPECT_EQ(ModeBits(dir / "b"), 0664u);
    EXPECT_EQ(dir.ReadFile("b"), "2");
}

TEST(WriteFileAtomically, ReadOnlyFolderLeavesTheOldFileAndNoTemporary)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder";
    }
    TempDir dir;
    fs::create_directory(dir / "sub");
    {
        std::ofstream(dir / "sub" / "a") << "old";
    }
    fs::permissions(dir / "sub", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteFileAtomically(dir / "sub" / "a", "new"));
    fs::permissions(dir / "sub", fs::perms::owner_all);
    EXPECT_EQ(dir.ReadFile("sub/a"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "sub"), fs::directory_iterator()), 1);
}

namespace {

// Sets a file's (or, with followLink false, a link's own) last write to
// seconds ago.
void MakeOld(const fs::path& path, int seconds, bool followLink = true)
{
    struct timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const struct timespec times[2] = {{now.tv_sec - seconds, 0}, {now.tv_sec - seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, followLink ? 0 : AT_SYMLINK_NOFOLLOW);
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(StaleTemporaries, OnlyOurOwnOldRegularFilesGo)
{
    EXPECT_TRUE(IsTemporaryName(".ondalis-tmp-aZ09xY"));
    EXPECT_FALSE(IsTemporaryName(".ondalis-tmp-aZ09x")) << "five characters";
    EXPECT_FALSE(IsTemporaryName(".ondalis-tmp-aZ09xYz")) << "seven characters";
    EXPECT_FALSE(IsTemporaryName(".ondalis-tmp-aZ_9xY"));
    EXPECT_FALSE(IsTemporaryName("x.ondalis-tmp-aZ09xY"));
    EXPECT_FALSE(IsTemporaryName(".ondalis-tmp-aZ09xY.tdr"));

    TempDir dir;
    // Both sides of the age limit: a minute past it goes, a second short of it
    // stays (it may be another instance's write in progress).
    for (const auto& [name, age] : std::vector<std::pair<std::string, int>>{{".ondalis-tmp-old001", 660},
                                                                            {".ondalis-tmp-old002", 601},
                                                                            {".ondalis-tmp-young1", 599},
                                                                            {".ondalis-tmp-fresh1", 0},
                                                                            {".ondalis-tmp-future", -3600},
                                                                            {".ondalis-tmp-toolong", 9000},
                                                                            {".ondalis-tmp-a", 9000},
                                                                            {"user.txt", 9000}}) {
        dir.WriteFile(name, "partial");
        MakeOld(dir / name, age);
    }
    // Old things with our names that are not regular files, and one below.
    fs::create_directory(dir / ".ondalis-tmp-folder");
    MakeOld(dir / ".ondalis-tmp-folder", 9000);
    dir.WriteFile("precious", "keep");
    MakeOld(dir / "precious", 9000);
    fs::create_symlink("precious", dir / ".ondalis-tmp-link01");
    MakeOld(dir / ".ondalis-tmp-link01", 9000, false);
    fs::create_directory(dir / "below");
    dir.WriteFile("below/.ondalis-tmp-deep01", "partial");
    MakeOld(dir / "below" / ".ondalis-tmp-deep01", 9000);

    EXPECT_EQ(RemoveStaleTemporaries(dir.Path()), 2u);
    EXPECT_EQ(Names(dir.Path()),
              (std::vector<std::string>{".ondalis-tmp-a", ".ondalis-tmp-folder", ".ondalis-tmp-fresh1",
                                        ".ondalis-tmp-future", ".ondalis-tmp-link01", ".ondalis-tmp-toolong",
                                        ".ondalis-tmp-young1", "below", "precious", "user.txt"}));
    EXPECT_EQ(dir.ReadFile("precious"), "keep");
    EXPECT_TRUE(fs::exists(dir / "below" / ".ondalis-tmp-deep01"));
    EXPECT_EQ(RemoveStaleTemporaries(dir / "missing"), 0u);

    // A shorter limit takes the younger ones too.
    EXPECT_EQ(RemoveStaleTemporaries(dir.Path(), std::chrono::seconds(10)), 1u);
    EXPECT_FALSE(fs::exists(dir / ".ondalis-tmp-young1"));
}

TEST(StaleTemporaries, TheFirstWriteIntoAFolderCleansItOnce)
{
    TempDir dir;
    dir.WriteFile(".ondalis-tmp-stale1", "partial");
    MakeOld(dir / ".ondalis-tmp-stale1", 3600);
    dir.WriteFile(".ondalis-tmp-young1", "another instance writing");
    MakeOld(dir / ".ondalis-tmp-young1", 60);

    ASSERT_TRUE(WriteFileAtomically(dir / "a.txt", "1", Durability::Unflushed));
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{".ondalis-tmp-young1", "a.txt"}));

    // Later writes into the same folder, under any spelling of it, do not scan it again.
    dir.WriteFile(".ondalis-tmp-stale2", "partial");
    MakeOld(dir / ".ondalis-tmp-stale2", 3600);
    ASSERT_TRUE(WriteFileAtomically(dir / "b.txt", "2", Durability::Unflushed));
    ASSERT_TRUE(WriteFileAtomically(dir.Folder() + "./c.txt", "3", Durability::Unflushed));
    EXPECT_TRUE(fs::exists(dir / ".ondalis-tmp-stale2"));
    RemoveStaleTemporariesOnce(dir.Folder());
    EXPECT_TRUE(fs::exists(dir / ".ondalis-tmp-stale2"));

    // Another folder is cleaned on its own first write.
    fs::create_directory(dir / "sub");
    dir.WriteFile("sub/.ondalis-tmp-stale3", "partial");
    MakeOld(dir / "sub" / ".ondalis-tmp-stale3", 3600);
    ASSERT_TRUE(WriteFileAtomically(dir / "sub" / "d.txt", "4", Durability::Unflushed));
    EXPECT_EQ(Names(dir / "sub"), (std::vector<std::string>{"d.txt"}));
}
