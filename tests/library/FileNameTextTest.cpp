#include "library/core/FileNameText.h"

#include <gtest/gtest.h>

namespace {

TEST(FileNameText, Utf8AsItIsOtherBytesAsWindows1251)
{
    EXPECT_EQ(ReadableFileName("wave 01"), "wave 01");
    EXPECT_EQ(ReadableFileName("Яма"), "Яма");
    EXPECT_EQ(ReadableFileName(""), "");
    // "Папка" written by an old Windows tool; 0xFF alone is "я".
    EXPECT_EQ(ReadableFileName("\xCF\xE0\xEF\xEA\xE0"), "Папка");
    EXPECT_EQ(ReadableFileName("bad\xFF"), "bad\xD1\x8F");
    // One stray byte makes the whole name Windows-1251, UTF-8 letters included.
    EXPECT_EQ(ReadableFileName("\xD0\xAF\xFF"), "РЇя");
    // The byte Windows-1251 leaves unassigned, at either end and twice in a row.
    EXPECT_EQ(ReadableFileName("\x98x\x98\x98"), "\\x98x\\x98\\x98");
    EXPECT_EQ(ReadableFileName("a\xFF\x98"), "aя\\x98");
}

TEST(FileNameText, PathsComponentByComponent)
{
    EXPECT_EQ(ReadablePath("/tmp/Папка/bad\xFF.tdr"), "/tmp/Папка/badя.tdr");
    EXPECT_EQ(ReadablePath("/\xCF\xE0/x//y/"), "/Па/x//y/");
    EXPECT_EQ(ReadablePath("relative\xFF"), "relativeя");
    EXPECT_EQ(ReadablePath(""), "");
}

// Every C0 byte and DEL, and nothing else, shows as '?'; a Windows-1251 name
// still reads as letters.
TEST(FileNameText, ControlBytesAsQuestionMarks)
{
    EXPECT_EQ(PrintableText(std::string("\0\x01\x1B[2J\x1F \x7E\x7F\n\r\t", 13)), "???[2J? ~????");
    EXPECT_EQ(PrintableText("Яма\x80"), "Яма\x80");
    EXPECT_EQ(TerminalPath("/d\xFF/a\x1B\n.tdr"), "/dя/a??.tdr");
}

// A path longer than a message shows keeps its start and end around "…",
// cut between characters; 200 characters are shown whole.
TEST(FileNameText, LongTextsAreShortenedAroundAnEllipsis)
{
    const std::string exact(200, 'a');
    EXPECT_EQ(ShortenedText(exact), exact);
    EXPECT_EQ(ShortenedText(std::string(99, 'h') + "xy" + std::string(100, 't')),
              std::string(99, 'h') + "…" + std::string(100, 't'));
    std::string letters; // 201 two-byte letters: the cuts fall between them
    for (int i = 0; i < 201; ++i) {
        letters += i < 100 ? "Я" : "ж";
    }
    EXPECT_EQ(ShortenedText(letters, 5), "ЯЯ…жж");
    EXPECT_EQ(ShortenedText(letters).size(), 199u * 2 + 3);

    const std::string huge = "/" + std::string(1 << 20, 'd') + "/lib.tku";
    const std::string shown = MessagePath(huge);
    EXPECT_EQ(shown.substr(0, 4), "/ddd");
    EXPECT_EQ(shown.substr(shown.size() - 9), "d/lib.tku");
    EXPECT_EQ(shown.size(), 199u + 3);
}

} // namespace
