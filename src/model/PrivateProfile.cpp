// Private-profile files: parsing, lookup, in-place update and atomic writing.
#include "model/PrivateProfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

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

// ---- encodings -------------------------------------------------------------

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

// Length of the well-formed UTF-8 sequence starting at text[pos], 0 when the
// bytes there are not one (overlong forms, surrogates and values above
// U+10FFFF are rejected).
size_t Utf8SequenceLength(std::string_view text, size_t pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length)
        return 0;
    const unsigned char second = byte(pos + 1);
    if (second < low || second > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if ((byte(pos + i) & 0xC0) != 0x80)
            return 0;
    return length;
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

// UTF-8 with every byte that starts no well-formed sequence replaced by U+FFFD.
std::string RepairUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            AppendUtf8(out, kReplacement);
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
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u);
    }
    if (bytes.size() % 2 != 0)
        AppendUtf8(out, kReplacement);
    return out;
}

// Windows-1251, bytes 0x80..0xFF. 0x98 is not assigned in the code page.
constexpr std::array<char16_t, 128> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // F8
};

std::string DecodeWindows1251(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            AppendUtf8(out, kCp1251High[b - 0x80]);
    }
    return out;
}

// Names and values handed to Set are expected in UTF-8; anything else is taken
// as Windows-1251 so the file stays UTF-8 and its other lines are not re-read
// in a different encoding.
std::string AsUtf8(std::string_view text)
{
    return IsValidUtf8(text) ? std::string(text) : DecodeWindows1251(text);
}

// ---- files -----------------------------------------------------------------

enum class ReadResult {
    Ok,
    Missing,
    Failed,
};

ReadResult ReadWholeFile(const std::filesystem::path& path, std::string& bytes)
{
    bytes.clear();
    // Non-blocking open so that a FIFO in place of the file cannot stall us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    if (info.st_size > 0)
        bytes.reserve(static_cast<size_t>(info.st_size));
    std::array<char, 65536> buffer;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            bytes.clear();
            return ReadResult::Failed;
        }
        if (got == 0)
            break;
        bytes.append(buffer.data(), static_cast<size_t>(got));
    }
    ::close(fd);
    return ReadResult::Ok;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

// The process's file-creation mask, read without changing it (umask() can only
// be queried by setting it, which would race with other threads).
mode_t CurrentUmask()
{
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value & 0777);
                break;
            }
        }
        std::fclose(status);
    }
    return mask;
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
    std::string bytes;
    if (ReadWholeFile(m_path, bytes) != ReadResult::Ok)
        return ProfileText{};
    return ProfileText::Parse(bytes);
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
    std::string bytes;
    const ReadResult read = ReadWholeFile(m_path, bytes);
    // A file that exists but cannot be read must not be replaced by one that
    // holds only the new key.
    if (read == ReadResult::Failed)
        return false;
    ProfileText text = read == ReadResult::Ok ? ProfileText::Parse(bytes) : ProfileText{};
    text.Set(section, key, value);
    return WriteFileAtomically(m_path, text.Serialise());
}

// ---- atomic replacement --------------------------------------------------------

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, Durability durability)
{
    const bool flushed = durability == Durability::Flushed;
    namespace fs = std::filesystem;
    std::error_code ec;

    // Through a symbolic link the file it points at is replaced, not the link.
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        target = fs::weakly_canonical(path, ec);
        if (ec)
            return false;
    }

    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    struct stat folderInfo = {};
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode))
        return false;

    struct stat oldInfo = {};
    const bool exists = ::stat(target.c_str(), &oldInfo) == 0;
    if (exists) {
        if (!S_ISREG(oldInfo.st_mode))
            return false;
        // A file without any write bit counts as read-only even for root, whom
        // access() lets write anything.
        if (::access(target.c_str(), W_OK) != 0 || (oldInfo.st_mode & 0222) == 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }

    // Hidden and without the target's extension, so folder listings never show it.
    std::string pattern = (folder / ".ondalis-tmp-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    const auto fail = [&](bool open) {
        if (open)
            ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    };

    if (!WriteAll(fd, bytes))
        return fail(true);
    const mode_t mode = exists ? (oldInfo.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0)
        return fail(true);
    if (exists && (oldInfo.st_uid != ::geteuid() || oldInfo.st_gid != ::getegid())) {
        // Keep the owner when we may (root writing a user's file); others
        // cannot give files away, and the new file stays theirs.
        [[maybe_unused]] const int kept = ::fchown(fd, oldInfo.st_uid, oldInfo.st_gid);
    }
    if (flushed && ::fsync(fd) != 0)
        return fail(true);
    if (::close(fd) != 0)
        return fail(false);
    if (::rename(pattern.c_str(), target.c_str()) != 0)
        return fail(false);

    if (!flushed)
        return true;
    // Make the rename itself durable.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}
