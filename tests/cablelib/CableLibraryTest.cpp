#include "cablelib/core/CableLibrary.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// File bytes of UTF-16 units, little-endian.
std::string Le(std::u16string_view units)
{
    std::string bytes;
    for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs AsPairs(const std::vector<CableEntry>& entries)
{
    Pairs pairs;
    for (const CableEntry& entry : entries)
        pairs.emplace_back(entry.m_strName, entry.m_strValue);
    return pairs;
}

Pairs Decoded(std::u16string_view units)
{
    return AsPairs(DecodeCableLibrary(Le(units)));
}

const std::string kExample("\x6E\x00\x61\x00\x6D\x00\x65\x00\x0A\x00\x31\x00\x2E\x00\x35\x00\x30\x00\x30\x00\x0A\x00",
                           22);

} // namespace

TEST(CableFile, TheExampleBothWays)
{
    EXPECT_EQ(EncodeCableLibrary({{"name", "1.500"}}), kExample);
    EXPECT_EQ(AsPairs(DecodeCableLibrary(kExample)), (Pairs{{"name", "1.500"}}));
    EXPECT_EQ(EncodeCableLibrary({}), "");
    EXPECT_EQ(EncodeCableLibrary({{"a", "1"}, {"", ""}}), Le(u"a\n1\n\n\n")) << "empty lines are lines too";
}

TEST(CableFile, LineEnds)
{
    EXPECT_EQ(Decoded(u"a\r\n1.5\r\nb\r\n1.6\r\n"), (Pairs{{"a", "1.5"}, {"b", "1.6"}}));
    // A lone CR ends the line and swallows the unit after it, here 'X'.
    EXPECT_EQ(Decoded(u"ab\rXcd\n1\n"), (Pairs{{"ab", "cd"}, {"1", ""}}));
    // CR LF LF: a line, then an empty one.
    EXPECT_EQ(Decoded(u"a\r\n\nb\n2\n"), (Pairs{{"a", ""}, {"b", "2"}}));
    EXPECT_EQ(Decoded(u"a\n1\r"), (Pairs{{"a", "1"}})) << "a CR as the very last unit";
    EXPECT_EQ(Decoded(u"\n\n"), (Pairs{{"", ""}}));
}

TEST(CableFile, ShortEndings)
{
    EXPECT_EQ(Decoded(u"n\n1.5"), (Pairs{{"n", "1.5"}})) << "last line without its end";
    EXPECT_EQ(Decoded(u"n1\n1.5\nn2\n"), (Pairs{{"n1", "1.5"}, {"n2", ""}})) << "value line missing";
    EXPECT_EQ(Decoded(u"n1\n1.5\nn2"), (Pairs{{"n1", "1.5"}, {"n2", ""}}));
    EXPECT_EQ(Decoded(u"no line end at all"), (Pairs{{"no line end at all", ""}}));
    EXPECT_TRUE(DecodeCableLibrary("").empty());

    // An odd last byte is no unit, not even a line end.
    EXPECT_EQ(AsPairs(DecodeCableLibrary(kExample + "\x31")), (Pairs{{"name", "1.500"}}));
    EXPECT_EQ(AsPairs(DecodeCableLibrary(Le(u"n") + "\x0A")), (Pairs{{"n", ""}}));
    EXPECT_TRUE(DecodeCableLibrary("\x0A").empty());
}

TEST(CableFile, SurrogatesWithoutPartners)
{
    EXPECT_EQ(Decoded(u"a\xD800" u"b\n1\n"), (Pairs{{"a\uFFFD" "b", "1"}}));
    EXPECT_EQ(Decoded(u"\xDE00\n\xD83D"), (Pairs{{"\uFFFD", "\uFFFD"}})) << "low first; high at the end";
    EXPECT_EQ(Decoded(u"\xD83D\n\xDE00\n"), (Pairs{{"\uFFFD", "\uFFFD"}})) << "a line end splits the pair";
    // The CR swallows the high half of a pair, which leaves the low half alone.
    EXPECT_EQ(Decoded(u"x\r\xD83D\xDE00y\n"), (Pairs{{"x", "\uFFFDy"}}));
}

TEST(CableFile, CyrillicAndNonBmpNamesRoundTrip)
{
    const std::vector<CableEntry> entries = {{"Кабель ТПП 10×2×0,4", "1.520"}, {"Линия 😀 №2", "1.6"}, {"", "x"}};
    const std::string bytes = EncodeCableLibrary(entries);
    EXPECT_EQ(bytes.substr(0, 4), Le(u"Ка"));
    EXPECT_NE(bytes.find(Le(u"\xD83D\xDE00")), std::string::npos) << "U+1F600 as its surrogate pair";
    EXPECT_EQ(AsPairs(DecodeCableLibrary(bytes)), AsPairs(entries));
}

TEST(CableFile, TextsCannotAddLines)
{
    // Each CR and LF becomes a blank; the entry after it keeps its place.
    const std::string bytes = EncodeCableLibrary({{"a\nb\r\nc", "1.5\n"}, {"z", "2"}});
    EXPECT_EQ(bytes, Le(u"a b  c\n1.5 \nz\n2\n"));
    EXPECT_EQ(AsPairs(DecodeCableLibrary(bytes)), (Pairs{{"a b  c", "1.5 "}, {"z", "2"}}));
    // Bytes that are not UTF-8 go out as U+FFFD rather than vanish.
    EXPECT_EQ(EncodeCableLibrary({{"a\xFF", "1"}}), Le(u"a\xFFFD\n1\n"));
}

TEST(CableCells, HalfVelocityCellsOfStoredValues)
{
    EXPECT_EQ(CableCellText("1.500", true), "100.0");
    EXPECT_EQ(CableCellText("1.234", true), "121.6") << "121.555... rounds up";
    EXPECT_EQ(CableCellText("1.6", true), "93.8") << "93.75, a tie, goes to the even digit";
    EXPECT_EQ(CableCellText("1.5 m/us", true), "100.0") << "the number at the start counts";
    for (const char* refused : {"", "abc", "0", "0.000", "-1.5", "1e-320", "1e400"})
        EXPECT_EQ(CableCellText(refused, true), "") << refused;
    for (const char* kept : {"1.500", "", "abc", "-1"})
        EXPECT_EQ(CableCellText(kept, false), kept) << "PR shows the line as it is";
}

TEST(CableCells, StoredValuesOfHalfVelocityCells)
{
    EXPECT_EQ(CableStoredText("100.0", true), "1.500");
    EXPECT_EQ(CableStoredText("121.6", true), "1.234") << "1.23355... rounds down";
    EXPECT_EQ(CableStoredText("93.8", true), "1.599");
    EXPECT_EQ(CableStoredText(CableCellText("1.500", true), true), "1.500");
    for (const char* refused : {"", "V/2", "0", "-100.0", "inf", "1e-320"})
        EXPECT_EQ(CableStoredText(refused, true), "") << refused;
    for (const char* kept : {"1.5", "", "x"})
        EXPECT_EQ(CableStoredText(kept, false), kept);
}

TEST(CableLibraryFile, WriteThenRead)
{
    TempDir dir;
    const std::vector<CableEntry> entries = {{"name", "1.500"}, {"Кабель", "1.6"}};
    ASSERT_TRUE(WriteCableLibrary(dir / "a.tku", entries));
    EXPECT_EQ(dir.ReadFile("a.tku"), kExample + Le(u"Кабель\n1.6\n"));
    const auto read = ReadCableLibrary(dir / "a.tku");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(AsPairs(*read), AsPairs(entries));

    // An empty library is a file that reads, unlike no file at all.
    ASSERT_TRUE(WriteCableLibrary(dir / "a.tku", {}));
    const CableReadResult empty = ReadCableLibraryFile(dir / "a.tku");
    EXPECT_EQ(empty.status, CableReadStatus::Read);
    EXPECT_TRUE(empty.entries.empty());
}

TEST(CableLibraryFile, NothingToRead)
{
    TempDir dir;
    EXPECT_EQ(ReadCableLibrary(dir / "missing.tku"), std::nullopt);
    EXPECT_EQ(ReadCableLibraryFile(dir / "missing.tku").status, CableReadStatus::Missing);

    fs::create_directory(dir / "folder.tku");
    EXPECT_EQ(ReadCableLibrary(dir / "folder.tku"), std::nullopt);
    EXPECT_EQ(ReadCableLibraryFile(dir / "folder.tku").status, CableReadStatus::Unreadable);

    ASSERT_EQ(::mkfifo((dir / "fifo.tku").c_str(), 0600), 0);
    EXPECT_EQ(ReadCableLibraryFile(dir / "fifo.tku").status, CableReadStatus::Unreadable)
        << "returns at once instead of waiting for a writer";

    dir.WriteFile("huge.tku", "");
    fs::resize_file(dir / "huge.tku", kMaxCableLibraryBytes + 2);
    EXPECT_EQ(ReadCableLibraryFile(dir / "huge.tku").status, CableReadStatus::Unreadable);
}

TEST(CableLibraryFile, FileWithoutReadPermission)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    TempDir dir;
    dir.WriteFile("locked.tku", kExample);
    fs::permissions(dir / "locked.tku", fs::perms::none);
    EXPECT_EQ(ReadCableLibraryFile(dir / "locked.tku").status, CableReadStatus::Unreadable);
    EXPECT_EQ(ReadCableLibrary(dir / "locked.tku"), std::nullopt);
}

TEST(CableLibraryFile, FailedWritesLeaveTheOldFile)
{
    TempDir dir;
    const std::vector<CableEntry> entries = {{"new", "2.000"}};

    fs::create_directory(dir / "folder.tku");
    EXPECT_FALSE(WriteCableLibrary(dir / "folder.tku", entries));
    EXPECT_TRUE(fs::is_empty(dir / "folder.tku"));

    EXPECT_FALSE(WriteCableLibrary(dir / "missing" / "a.tku", entries));
    EXPECT_FALSE(fs::exists(dir / "missing"));

    dir.WriteFile("ro.tku", kExample);
    fs::permissions(dir / "ro.tku", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(WriteCableLibrary(dir / "ro.tku", entries));
    EXPECT_EQ(dir.ReadFile("ro.tku"), kExample);

    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2)
        << "no temporary file is left behind";
}

TEST(CableLibraryFile, ReadOnlyFolderLeavesTheOldFile)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder";
    }
    TempDir dir;
    fs::create_directory(dir / "sub");
    ASSERT_TRUE(WriteCableLibrary(dir / "sub" / "a.tku", {{"name", "1.500"}}));
    fs::permissions(dir / "sub", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteCableLibrary(dir / "sub" / "a.tku", {{"new", "2.000"}}));
    fs::permissions(dir / "sub", fs::perms::owner_all);
    EXPECT_EQ(dir.ReadFile("sub/a.tku"), kExample);
}
