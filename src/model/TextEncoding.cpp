// Text encodings: UTF-8 checks and repair, UTF-16 both ways, Windows-1251.
#include "model/TextEncoding.h"

#include <algorithm>
#include <array>

namespace {

// Well-formed UTF-8 by its lead byte: the sequence's length and the range its
// second byte must lie in (which rules out overlong forms, surrogates and values
// above U+10FFFF); any further bytes lie in 80..BF.
struct Utf8Lead
{
    unsigned char first;
    unsigned char last;
    size_t length;
    unsigned char low;
    unsigned char high;
};

constexpr std::array<Utf8Lead, 8> kUtf8Leads = {{
    {0xC2, 0xDF, 2, 0x80, 0xBF},
    {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F},
    {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF},
    {0xF4, 0xF4, 4, 0x80, 0x8F},
}};

// Length of the well-formed UTF-8 sequence starting at text[pos], 0 when the
// bytes there are not one.
size_t Utf8SequenceLength(std::string_view text, size_t pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    const auto form = std::find_if(kUtf8Leads.begin(), kUtf8Leads.end(), [&](const Utf8Lead& candidate) {
        return lead >= candidate.first && lead <= candidate.last;
    });
    if (form == kUtf8Leads.end() || text.size() - pos < form->length)
        return 0;
    const unsigned char second = byte(pos + 1);
    if (second < form->low || second > form->high)
        return 0;
    for (size_t i = 2; i < form->length; ++i)
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
    return form->length;
}

// The code point of the well-formed sequence of `length` bytes at text[pos].
char32_t DecodeUtf8Sequence(std::string_view text, size_t pos, size_t length)
{
    const auto byte = [&](size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(text[pos + i]));
    };
    if (length == 1)
        return byte(0);
    char32_t cp = byte(0) & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (byte(i) & 0x3F);
    return cp;
}

void AppendUtf16Le(std::string& out, char32_t unit)
{
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

// Windows-1251, bytes 0x80..0xBF; 0x98 is not assigned in the code page. Bytes
// 0xC0..0xFF are А..я, U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kCp1251Symbols = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

} // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = Utf8SequenceLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string RepairUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            AppendUtf8(out, kReplacementCharacter);
            ++pos;
        } else {
            out.append(text.substr(pos, length));
            pos += length;
        }
    }
    return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    const size_t units = bytes.size() / 2;
    const auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? static_cast<char32_t>((a << 8) | b) : static_cast<char32_t>((b << 8) | a);
    };
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (size_t i = 0; i < units; ++i) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t next = unit(i + 1);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacementCharacter : u);
    }
    if (bytes.size() % 2 != 0)
        AppendUtf8(out, kReplacementCharacter);
    return out;
}

std::string DecodeWindows1251(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xC0)
            AppendUtf8(out, kCp1251Symbols[b - 0x80]);
        else
            AppendUtf8(out, 0x0410 + (b - 0xC0));
    }
    return out;
}

std::string EncodeUtf16Le(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    for (size_t pos = 0; pos < utf8.size();) {
        const size_t length = Utf8SequenceLength(utf8, pos);
        const char32_t cp = length == 0 ? kReplacementCharacter : DecodeUtf8Sequence(utf8, pos, length);
        pos += length == 0 ? 1 : length;
        if (cp < 0x10000) {
            AppendUtf16Le(out, cp);
        } else {
            AppendUtf16Le(out, 0xD800 + ((cp - 0x10000) >> 10));
            AppendUtf16Le(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
}
