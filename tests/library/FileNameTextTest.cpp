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

} // namespace
