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

// Text of a line, or of a name or value taken from one, that is not UTF-8 is
// Windows-1251.
std::string AsUtf8(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : DecodeWindows1251(text);
}

// A section or key name as it stands in the file against the UTF-8 name asked
// for. The name decides its encoding by itself, so a UTF-8 name still matches on
// a line whose value holds bytes that are not UTF-8 (the folder of a path).
bool NameMatches(std::string_view fileName, std::string_view wanted)
{
    return IsValidUtf8(fileName) ? EqualNoCase(fileName, wanted) : EqualNoCase(DecodeWindows1251(fileName), wanted);
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
        if (!name || !NameMatches(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !HeaderName(lines[end]))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

// The index of the first line of section that holds key; nullopt when none.
// Both names are UTF-8 and trimmed.
std::optional<size_t> FindKeyLine(const std::vector<std::string>& lines, std::string_view section,
                                  std::string_view key)
{
    const auto range = FindSection(lines, section);
    if (!range)
        return std::nullopt;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const auto line = SplitKeyLine(lines[i]);
        if (line && NameMatches(line->key, key))
            return i;
    }
    return std::nullopt;
}

std::string_view ValueOf(std::string_view line)
{
    return line.substr(line.find('=') + 1);
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
    // UTF-16 is turned into UTF-8 lines; any other file keeps its bytes.
    std::string decoded;
    std::string_view text = bytes;
    if (text.starts_with(kUtf8Bom)) {
        result.m_bUtf8Bom = true;
        text.remove_prefix(kUtf8Bom.size());
    } else if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        decoded = profile::ToUtf8(text);
        text = decoded;
    }
    size_t crLfEndings = 0;
    size_t lfEndings = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t newline = text.find('\n', start);
        if (newline == std::string_view::npos) {
            result.m_lines.emplace_back(text.substr(start));
            result.m_endings.push_back(Ending::None);
            break;
        }
        size_t end = newline;
        if (end > start && text[end - 1] == '\r') {
            --end;
            ++crLfEndings;
            result.m_endings.push_back(Ending::CrLf);
        } else {
            ++lfEndings;
            result.m_endings.push_back(Ending::Lf);
        }
        result.m_lines.emplace_back(text.substr(start, end - start));
        start = newline + 1;
    }
    result.m_newEnding = crLfEndings > lfEndings ? Ending::CrLf : Ending::Lf;
    return result;
}

std::optional<std::string> ProfileText::FindBytes(std::string_view section, std::string_view key) const
{
    const auto index = FindKeyLine(m_lines, AsUtf8(TrimBlanks(section)), AsUtf8(TrimBlanks(key)));
    if (!index)
        return std::nullopt;
    return std::string(ValueOf(m_lines[*index]));
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const
{
    const auto index = FindKeyLine(m_lines, AsUtf8(TrimBlanks(section)), AsUtf8(TrimBlanks(key)));
    if (!index)
        return std::nullopt;
    // The line decides the encoding of its value.
    const std::string& line = m_lines[*index];
    const std::string_view value = ValueOf(line);
    return IsValidUtf8(line) ? std::string(value) : DecodeWindows1251(value);
}

int32_t ProfileText::GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const
{
    const auto raw = FindBytes(section, key);
    if (!raw)
        return defaultValue;
    const std::string value = profile::CleanValue(*raw);
    return value.empty() ? defaultValue : profile::LeadingInt(value);
}

std::string ProfileText::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const
{
    const auto value = Find(section, key);
    return value ? profile::CleanValue(*value) : std::string(defaultValue);
}

std::string ProfileText::GetPath(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const
{
    const auto raw = FindBytes(section, key);
    if (!raw)
        return std::string(defaultValue);
    std::string path = profile::CleanValue(*raw);
    if (IsValidUtf8(path))
        return path;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::path(path), ec))
        return path;
    std::string text = DecodeWindows1251(path);
    return std::filesystem::exists(std::filesystem::path(text), ec) ? text : path;
}

void ProfileText::Insert(size_t at, std::string line)
{
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    m_endings.insert(m_endings.begin() + static_cast<std::ptrdiff_t>(at), m_newEnding);
}

bool ProfileText::Set(std::string_view section, std::string_view key, std::string_view value)
{
    if (!profile::IsWritableName(section, key)) {
        m_bRefused = true;
        return false;
    }
    const std::string sectionName = AsUtf8(TrimBlanks(section));
    const std::string keyName = AsUtf8(TrimBlanks(key));
    std::string keyLine = keyName + "=";
    keyLine += value;
    std::replace(keyLine.begin(), keyLine.end(), '\r', ' ');
    std::replace(keyLine.begin(), keyLine.end(), '\n', ' ');

    const auto range = FindSection(m_lines, sectionName);
    if (range) {
        if (const auto index = FindKeyLine(m_lines, sectionName, keyName)) {
            m_lines[*index] = std::move(keyLine);
            return true;
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
        Insert(insertAt, std::move(keyLine));
        return true;
    }

    // A new section goes at the end, one blank line after the text before it.
    if (!m_lines.empty() && !IsBlankLine(m_lines.back()))
        Insert(m_lines.size(), std::string());
    Insert(m_lines.size(), "[" + sectionName + "]");
    Insert(m_lines.size(), std::move(keyLine));
    return true;
}

bool ProfileText::SetPath(std::string_view section, std::string_view key, std::string_view path)
{
    if (path.find_first_of("\r\n") != std::string_view::npos) {
        m_bRefused = true;
        return false;
    }
    // GetString's trimming takes blanks and one pair of quotes off the ends; a
    // path it would change is quoted, so that the pair it takes off is ours.
    if (profile::CleanValue(path) != path)
        return Set(section, key, "\"" + std::string(path) + "\"");
    return Set(section, key, path);
}

std::string ProfileText::Serialise() const
{
    size_t size = kUtf8Bom.size();
    for (const auto& line : m_lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    // A first line that itself starts with U+FEFF needs a mark in front of it,
    // or reading the file back would take that character for the mark.
    if (m_bUtf8Bom || (!m_lines.empty() && m_lines.front().starts_with(kUtf8Bom)))
        out += kUtf8Bom;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i];
        // Only the last line may go without an ending: one that had none gets
        // one when lines are added after it.
        Ending ending = m_endings[i];
        if (ending == Ending::None && i + 1 < m_lines.size())
            ending = m_newEnding;
        if (ending == Ending::CrLf)
            out += "\r\n";
        else if (ending == Ending::Lf)
            out += '\n';
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
    return Load().GetInt(section, key, defaultValue);
}

std::string PrivateProfile::GetString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const
{
    return Load().GetString(section, key, defaultValue);
}

std::string PrivateProfile::GetPath(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const
{
    return Load().GetPath(section, key, defaultValue);
}

std::optional<ProfileText> PrivateProfile::LoadForWrite() const
{
    const FileReadResult file = ReadWholeFile(m_path);
    // A file that exists but cannot be read must not be replaced by one that
    // holds only the new keys.
    if (file.status == FileReadStatus::Unreadable)
        return std::nullopt;
    return file.status == FileReadStatus::Read ? ProfileText::Parse(file.bytes) : ProfileText{};
}

bool PrivateProfile::Replace(const ProfileText& text) const
{
    return WriteFileAtomically(m_path, text.Serialise());
}

bool PrivateProfile::WriteString(std::string_view section, std::string_view key, std::string_view value) const
{
    if (!profile::IsWritableName(section, key))
        return false;
    return Update([&](ProfileText& text) { text.Set(section, key, value); });
}

bool PrivateProfile::WritePath(std::string_view section, std::string_view key, std::string_view path) const
{
    if (!profile::IsWritableName(section, key) || path.find_first_of("\r\n") != std::string_view::npos)
        return false;
    return Update([&](ProfileText& text) { text.SetPath(section, key, path); });
}
