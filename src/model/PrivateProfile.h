// Settings files of sections and key=value lines (param.ini, .pie site grids),
// read and written with the rules Windows' private-profile functions follow:
// - sections and keys match without regard to case; the first match counts;
// - GetInt gives the default for a missing or empty value, else the signed
//   decimal number at the start of the value (0 when it starts with none);
// - GetString trims blanks and one pair of enclosing quotes;
// - WriteString replaces a value in place, or adds the key at the end of its
//   section (creating the section and the file as needed), and keeps every
//   other line exactly as it was.
// Every call reads the file afresh, so several owners can share one file.
// Files are read as UTF-8; a file that is not valid UTF-8 is read as
// Windows-1251, and a UTF-16 file with its byte-order mark is understood too.
// LF and CR LF both read; a file keeps its line ending when rewritten, and new
// files use LF. Every write replaces the file atomically (temporary file beside
// it, flushed, renamed), so a crash never leaves it half written.
#pragma once

#include "model/SafeFile.h" // WriteFileAtomically, for the writer and for users of this header

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The parsed text of one profile file. Parsing never fails: any byte sequence
// yields lines, sections and keys.
class ProfileText
{
public:
    // Parses file bytes (any encoding handled as above) into lines.
    static ProfileText Parse(std::string_view bytes);

    // The raw value of section/key, untrimmed; nullopt when absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Sets section/key to value as GetPrivateProfile's writer does. Names that
    // a file could not hold (see profile::IsWritableName) leave the text as it
    // is; line breaks in the value become blanks, so a value can never add
    // lines of its own; text that is not UTF-8 is taken as Windows-1251.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The file content to write back, UTF-8.
    std::string Serialise() const;

    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines; // without line endings, UTF-8
    bool m_bCrLf = false;
    bool m_bFinalNewline = true;
    bool m_bUtf8Bom = false;
};

// Value rules shared by the file reader and its tests.
namespace profile {
// Blanks trimmed, then one pair of matching enclosing quotes removed.
std::string CleanValue(std::string_view raw);
// The signed decimal number at the start of text (0 when none), saturated to int32.
int32_t LeadingInt(std::string_view text);
// Text converted to UTF-8: kept when valid UTF-8 (a BOM dropped), decoded from
// UTF-16LE/BE when it starts with that byte-order mark, else read as Windows-1251.
std::string ToUtf8(std::string_view bytes, bool* hadUtf8Bom = nullptr);
// True when section and key, blanks trimmed, read back as themselves once
// written: the section holds no ']' or line break; the key is not empty, holds
// no '=' or line break and starts with neither ';' nor '['.
bool IsWritableName(std::string_view section, std::string_view key);
} // namespace profile

class PrivateProfile
{
public:
    explicit PrivateProfile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return m_path; }

    int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // False when the file cannot be written (read-only file or folder, missing
    // folder), when an existing file cannot be read (rewriting it would lose its
    // other lines), or when the names are not writable.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

private:
    ProfileText Load() const;
    std::filesystem::path m_path;
};
