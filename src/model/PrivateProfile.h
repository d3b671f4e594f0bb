// Settings files of sections and key=value lines (param.ini, .pie site grids),
// read and written with the rules Windows' private-profile functions follow:
// - sections and keys match without regard to case; the first match counts;
// - GetInt gives the default for a missing or empty value, else the signed
//   decimal number at the start of the value (0 when it starts with none);
// - GetString trims blanks and one pair of enclosing quotes;
// - WriteString replaces a value in place, or adds the key at the end of its
//   section (creating the section and the file as needed), and keeps every
//   other line exactly as it was.
// Every PrivateProfile call reads the file afresh, so several owners can share
// one file; Load reads it once for several lookups, and Update writes several
// keys with one read and one replacement.
//
// Encodings are decided line by line, since hand edits and older tools leave
// files that mix them: a line that is valid UTF-8 is UTF-8, any other line is
// Windows-1251 to the text readers (GetString, Find). Lines are kept as the
// bytes they were read as, so every line a write does not change is written
// back byte for byte, and values are written as the bytes they are given. A
// path value (GetPath/SetPath) is those bytes exactly, whatever they are, so a
// folder whose name is not UTF-8 reads back as itself. A UTF-16 file with its
// byte-order mark is understood too, and is rewritten as UTF-8.
// LF and CR LF both read; each line keeps its own ending when rewritten, new
// lines take the ending most of the file's lines have, and new files use LF.
// Every write replaces the file atomically (temporary file beside it, flushed,
// renamed), so a crash never leaves it half written.
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

    // The value of section/key as UTF-8 text, untrimmed (a line that is not
    // UTF-8 read as Windows-1251); nullopt when absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The value's bytes as they stand in the file, untrimmed.
    std::optional<std::string> FindBytes(std::string_view section, std::string_view key) const;

    // PrivateProfile's readers on this text.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // A path: the value's bytes, trimmed as GetString trims. A value on a line
    // that is not UTF-8 is taken as it stands when something exists at that
    // path, else as Windows-1251 text when that names something (a file edited
    // in a Windows-1251 editor naming a folder whose name is UTF-8), else again
    // as it stands.
    std::string GetPath(std::string_view section, std::string_view key, std::string_view defaultValue) const;

    // Sets section/key to value as WritePrivateProfileString's writer does:
    // the value's bytes are written as they are, line breaks in them turned
    // into blanks so a value can never add lines of its own. Names are expected
    // in UTF-8 (others are taken as Windows-1251). False, the text unchanged,
    // for names a file could not hold (see profile::IsWritableName).
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Sets a path so that GetPath gives back exactly its bytes: quoted when its
    // ends would otherwise be trimmed. False, the text unchanged, for a path
    // holding a line break (no line can hold it) or names Set refuses.
    bool SetPath(std::string_view section, std::string_view key, std::string_view path);
    // True once a Set or SetPath on this text was refused.
    bool Refused() const { return m_bRefused; }

    // The file content to write back: the lines as read or set, each with its
    // own ending, and the UTF-8 mark the file had.
    std::string Serialise() const;

    // The lines' bytes, without their endings.
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    enum class Ending : uint8_t { None, Lf, CrLf };
    void Insert(size_t at, std::string line);

    std::vector<std::string> m_lines; // bytes as read (UTF-8 when the file was UTF-16)
    std::vector<Ending> m_endings;    // one for each line
    Ending m_newEnding = Ending::Lf;  // for lines added
    bool m_bUtf8Bom = false;
    bool m_bRefused = false;
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

    // The file parsed once, for several lookups; empty when it is missing or
    // cannot be read.
    ProfileText Load() const;

    int32_t GetInt(std::string_view section, std::string_view key, int32_t defaultValue) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    std::string GetPath(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // False when the file cannot be written (read-only file or folder, missing
    // folder), when an existing file cannot be read (rewriting it would lose its
    // other lines), or when the names are not writable.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;
    // As WriteString, with ProfileText::SetPath's rules.
    bool WritePath(std::string_view section, std::string_view key, std::string_view path) const;
    // Several keys at once: the file is read once, edit sets keys on its text,
    // and the file is replaced once. False when the file cannot be read or
    // written as for WriteString, or when the edit had a Set refused (the keys
    // it did set are written all the same, as separate writes would have).
    template <typename Edit> bool Update(Edit&& edit) const
    {
        std::optional<ProfileText> text = LoadForWrite();
        if (!text)
            return false;
        edit(*text);
        return Replace(*text) && !text->Refused();
    }

private:
    std::optional<ProfileText> LoadForWrite() const;
    bool Replace(const ProfileText& text) const;
    std::filesystem::path m_path;
};
