#include "model/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The bytes of a literal that may hold NULs, without its terminator.
template <size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

std::string Utf8Of(char32_t cp)
{
    std::string out;
    AppendUtf8(out, cp);
    return out;
}

} // namespace

TEST(Utf8, WellFormedAtTheEdgesOfEachForm)
{
    for (const char32_t cp : {0x00u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFDu, 0xFFFFu,
                              0x10000u, 0x10FFFFu})
        EXPECT_TRUE(IsValidUtf8(Utf8Of(cp))) << std::hex << static_cast<uint32_t>(cp);

    EXPECT_FALSE(IsValidUtf8("\xC1\xBF")) << "overlong two-byte form";
    EXPECT_FALSE(IsValidUtf8("\xE0\x9F\xBF")) << "overlong three-byte form";
    EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF")) << "overlong four-byte form";
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")) << "a surrogate";
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")) << "above U+10FFFF";
    EXPECT_FALSE(IsValidUtf8("\xF5\x80\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\xD0")) << "cut short at the end";
    EXPECT_FALSE(IsValidUtf8("\xE2\x82x")) << "cut short by another character";
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(Utf8, RepairReplacesEachBadByteAndKeepsTheRest)
{
    EXPECT_EQ(RepairUtf8("Ёж"), "Ёж");
    // A cut-short sequence is two bad bytes; the character after it survives.
    EXPECT_EQ(RepairUtf8("a\xE2\x82" "b\xFF"), "a\uFFFD\uFFFD" "b\uFFFD");
    EXPECT_EQ(RepairUtf8(Bytes("\0\xD0\xB6")), Bytes("\0ж"));
}

TEST(Utf16, EveryCodePointSurvivesEncodeAndDecode)
{
    // A stride that is prime to the plane size visits every form and both
    // halves of the surrogate arithmetic.
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += 97) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const std::string utf8 = Utf8Of(cp);
        const std::string units = EncodeUtf16Le(utf8);
        ASSERT_EQ(units.size(), cp < 0x10000 ? 2u : 4u) << std::hex << static_cast<uint32_t>(cp);
        ASSERT_EQ(DecodeUtf16(units, false), utf8) << std::hex << static_cast<uint32_t>(cp);
    }
}

TEST(Utf16, UnitsAndByteOrder)
{
    // U+1F600 is the pair D83D DE00.
    EXPECT_EQ(EncodeUtf16Le("Ж😀"), Bytes("\x16\x04\x3D\xD8\x00\xDE"));
    EXPECT_EQ(DecodeUtf16(Bytes("\x04\x16\xD8\x3D\xDE\x00"), true), "Ж😀");
    EXPECT_EQ(DecodeUtf16(Bytes("\x16\x04\x3D\xD8\x00\xDE"), false), "Ж😀");
    // Bad UTF-8 goes out as one U+FFFD a byte, so the text cannot get shorter or shift.
    EXPECT_EQ(EncodeUtf16Le("a\xE2\x82" "b"), Bytes("a\0\xFD\xFF\xFD\xFF" "b\0"));
    EXPECT_EQ(EncodeUtf16Le(""), "");
}

TEST(Utf16, SurrogatesWithoutPartners)
{
    EXPECT_EQ(DecodeUtf16(Bytes("\x00\xDCx\0"), false), "\uFFFDx") << "low surrogate first";
    EXPECT_EQ(DecodeUtf16(Bytes("\x3D\xD8\x3D\xD8\x00\xDE"), false), "\uFFFD😀") << "high then a pair";
    EXPECT_EQ(DecodeUtf16(Bytes("\x3D\xD8"), false), "\uFFFD") << "high at the end";
    EXPECT_EQ(DecodeUtf16(Bytes("A\0B"), false), "A\uFFFD") << "odd last byte";
}

TEST(Windows1251, LettersAndSymbols)
{
    // Both ends of the letter block, the letters outside it and a few symbols.
    EXPECT_EQ(DecodeWindows1251("\xC0\xDF\xE0\xFF"), "АЯая");
    EXPECT_EQ(DecodeWindows1251("\xA8\xB8\xAA\xBA\xAF\xBF\xB2\xB3\xA5\xB4"), "ЁёЄєЇїІіҐґ");
    EXPECT_EQ(DecodeWindows1251("\x80\x88\x96\xB9\xA0"), "Ђ€–№\u00A0");
    EXPECT_EQ(DecodeWindows1251("\x98"), "\uFFFD");
    EXPECT_EQ(DecodeWindows1251(Bytes("a\0~")), Bytes("a\0~"));
}
