// Conversions between the encodings the program's files come in and the UTF-8
// the program works in: UTF-16 (profiles with a byte-order mark, cable
// libraries) and Windows-1251 (profiles written by older tools). Every decoder
// takes any bytes and gives valid UTF-8; what does not decode becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of a code point (at most U+10FFFF; surrogates are
// written as they are, so callers pass U+FFFD in their place).
void AppendUtf8(std::string& out, char32_t codePoint);

// True when text is well-formed UTF-8: no overlong forms, no surrogates, nothing
// above U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view text);

// text with every byte that starts no well-formed sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

// UTF-16 code units, little- or big-endian, as UTF-8. Surrogate pairs join;
// a surrogate without its partner and an odd last byte each give U+FFFD.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian);

// UTF-8 as UTF-16LE code units, characters beyond U+FFFF as surrogate pairs.
// Bytes that are not UTF-8 are written as U+FFFD, one for each.
std::string EncodeUtf16Le(std::string_view utf8);

// Windows-1251 bytes as UTF-8; the one unassigned byte, 0x98, gives U+FFFD.
std::string DecodeWindows1251(std::string_view bytes);
