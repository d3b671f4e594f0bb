#include "model/SafeFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

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
