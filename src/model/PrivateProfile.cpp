// Private-profile files: parsing, lookup and in-place update.
#include "model/PrivateProfile.h"

#include "model/TextEncoding.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

bool IsBlankLine(std::string_view line)
{
    return TrimBlanks(line).empty();
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

// The name of a "[name]" header line (leading blanks allowed, the name trimmed,
// anything after the first ']' ignored); nullopt for any other line.
std::optional<std::string_view> HeaderName(std::string_view line)
{
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    if (start >= line.size() || line[start] != '[')
        return std::nullopt;
    const size_t close = line.find(']', start + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(line.substr(start + 1, close - start - 1));
}

struct KeyLine
{
    std::string_view key;   // trimmed
    std::string_view value; // everything after the first '=', untrimmed
};

// A "key=value" line; nullopt for comments (first non-blank ';') and lines without '='.
std::optional<KeyLine> SplitKeyLine(std::string_view line)
{
    const std::string_view trimmed = TrimBlanks(line);
    if (!trimmed.empty() && trimmed.front() == ';')
        return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{TrimBlanks(line.substr(0, equals)), line.substr(equals + 1)};
}

// Lines of one section: its header and the index of the next header (or the end).
struct SectionRange
{
    size_t header;
    size_t end;
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines, std::string_view section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = HeaderName(lines[i]);
        if (!name || !EqualNoCase(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !HeaderName(lines[end]))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

// Names and values handed to Set are expected in UTF-8; anything else is taken
// as Windows-1251 so the file stays UTF-8 and its other lines are not re-read
// in a different encoding.
std::string AsUtf8(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : DecodeWindows1251(text);
}

} // namespace

// ---- value rules -----------------------------------------------------------

namespace profile {

std::string CleanValue(std::string_view raw)
{
    std::string_view value = TrimBlanks(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

int32_t LeadingInt(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Magnitudes beyond 2^31 all saturate alike, so stop growing there.
    constexpr int64_t kCap = int64_t{1} << 31;
    int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        magnitude = std::min(kCap, magnitude * 10 + (text[pos] - '0'));
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

std::string ToUtf8(std::string_view bytes, bool* hadUtf8Bom)
{
    if (hadUtf8Bom)
        *hadUtf8Bom = false;
    if (bytes.starts_with(kUtf8Bom)) {
        if (hadUtf8Bom)
            *hadUtf8Bom = true;
        // The mark says UTF-8, so stray bad bytes are replaced rather than the
        // whole text being reinterpreted.
        return RepairUtf8(bytes.substr(kUtf8Bom.size()));
    }
    if (bytes.starts_with("\xFF\xFE"))
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return DecodeUtf16(bytes.substr(2), true);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return DecodeWindows1251(bytes);
}

bool IsWritableName(std::string_view section, std::string_view key)
{
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.find_first_of("]\r\n") != std::string_view::npos)
        return false;
    if (key.empty() || key.find_first_of("=\r\n") != std::string_view::npos)
        return false;
    return key.front() != ';' && key.front() != '[';
}

} // namespace profile

// ---- ProfileText -----------------------------------------------------------

ProfileText ProfileText::Parse(std::string_view bytes)
{
    ProfileText result;
    const std::string text = profile::ToUtf8(bytes, &result.m_bUtf8Bom);
    size_t crLfEndings = 0;
    size_t lfEndings = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t newline = text.find('\n', start);
        if (newline == std::string::npos) {
            result.m_lines.emplace_back(text, start);
            result.m_bFinalNewline = false;
            break;
        }
        size_t end = newline;
        if (end > start && text[end - 1] == '\r') {
            --end;
            ++crLfEndings;
        } else {
            ++lfEndings;
        }
        result.m_lines.emplace_back(text, start, end - start);
        start = newline + 1;
    }
    // A file that mixes both is written back with the ending most of its lines had.
    result.m_bCrLf = crLfEndings > lfEndings;
    return result;
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const
{
    key = TrimBlanks(key);
    const auto range = FindSection(m_lines, TrimBlanks(section));
    if (!range)
        return std::nullopt;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const auto line = SplitKeyLine(m_lines[i]);
        if (line && EqualNoCase(line->key, key))
            return std::string(line->value);
    }
    return std::nullopt;
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value)
{
    if (!profile::IsWritableName(section, key))
        return;
    const std::string sectionName = AsUtf8(TrimBlanks(section));
    const std::string keyName = AsUtf8(TrimBlanks(key));
    std::string keyLine = keyName + "=" + AsUtf8(value);
    std::replace(keyLine.begin(), keyLine.end(), '\r', ' ');
    std::replace(keyLine.begin(), keyLine.end(), '\n', ' ');

    const auto range = FindSection(m_lines, sectionName);
    if (range) {
        for (size_t i = range->header + 1; i < range->end; ++i) {
            const auto line = SplitKeyLine(m_lines[i]);
            if (line && EqualNoCase(line->key, keyName)) {
                m_lines[i] = std::move(keyLine);
                return;
            }
        }
        // After the section's last non-blank line, so blank lines that separate
        // it from the next section stay where they are.
        size_t insertAt = range->header + 1;
        for (size_t i = range->end; i > range->header + 1; --i) {
            if (!IsBlankLine(m_lines[i - 1])) {
                insertAt = i;
                break;
            }
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
        if (insertAt + 1 == m_lines.size())
            m_bFinalNewline = true;
        return;
    }

    // A new section goes at the end, one blank line after the text before it.
    if (!m_lines.empty() && !IsBlankLine(m_lines.back()))
        m_lines.emplace_back();
    m_lines.push_back("[" + sectionName + "]");
    m_lines.push_back(std::move(keyLine));
    m_bFinalNewline = true;
}

std::string ProfileText::Serialise() const
{
    const std::string_view ending = m_bCrLf ? "\r\n" : "\n";
    size_t size = kUtf8Bom.size();
    for (const auto& line : m_lines)
        size += line.size() + ending.size();
    std::string out;
    out.reserve(size);
    // A first line that itself starts with U+FEFF needs a mark in front of it,
    // or reading the file back would take that character for the mark.
    if (m_bUtf8Bom || (!m_lines.empty() && m_lines.front().starts_with(kUtf8Bom)))
        out += kUtf8Bom;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i];
        if (i + 1 < m_lines.size() || m_bFinalNewline)
            out += ending;
    }
    return out;
}

// ---- PrivateProfile ----------------------------------------------------------

PrivateProfile::PrivateProfile(std::filesystem::path path) : m_path(std::move(path)) {}

ProfileText PrivateProfile::Load() const
{
    const FileReadResult file = ReadWholeFile(m_path);
    if (file.status != FileReadStatus::Read)
        return ProfileText{};
    return ProfileText::Parse(file.bytes);
}

int32_t PrivateProfile::GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const
{
    const auto raw = Load().Find(section, key);
    if (!raw)
        return defaultValue;
    const std::string value = profile::CleanValue(*raw);
    return value.empty() ? defaultValue : profile::LeadingInt(value);
}

std::string PrivateProfile::GetString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    const auto raw = Load().Find(section, key);
    return raw ? profile::CleanValue(*raw) : std::string(defaultValue);
}

bool PrivateProfile::WriteString(std::string_view section, std::string_view key, std::string_view value) const
{
    if (!profile::IsWritableName(section, key))
        return false;
    const FileReadResult file = ReadWholeFile(m_path);
    // A file that exists but cannot be read must not be replaced by one that
    // holds only the new key.
    if (file.status == FileReadStatus::Unreadable)
        return false;
    ProfileText text = file.status == FileReadStatus::Read ? ProfileText::Parse(file.bytes) : ProfileText{};
    text.Set(section, key, value);
    return WriteFileAtomically(m_path, text.Serialise());
}
