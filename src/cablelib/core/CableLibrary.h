// The library of cable velocity factors: the .tku file and its table's cell texts.
// The file is UTF-16LE text without byte-order mark, header, count or
// terminator. A line is its characters followed by U+000A; an entry is two
// lines, the cable's name and then its factor as PR in decimal text with '.'
// ("1.500"); the entries follow one another. Reading is lenient: U+000D also
// ends a line and takes the one code unit after it along (so CR LF reads as one
// line end), the last line may lack its end, a last entry without its value line
// gets an empty value, an odd last byte is ignored and a surrogate without its
// partner reads as U+FFFD. Any bytes decode, in time and memory proportional to
// their length. Writing replaces each CR and LF inside a name or value with a
// blank, so a text can never add lines and shift the entries after it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct CableEntry
{
    std::string m_strName;  // the entry's first line, UTF-8
    std::string m_strValue; // its second line, the PR as text, UTF-8
};

// The file's bytes for entries. Text that is not UTF-8 is written as U+FFFD, one for each bad byte.
std::string EncodeCableLibrary(const std::vector<CableEntry>& entries);

// The entries of a file's bytes; none for an empty file. Names and values never
// hold a CR or LF, so encoding the result and decoding it again gives it back.
std::vector<CableEntry> DecodeCableLibrary(std::string_view bytes);

// Files larger than this are not read: a library of a few hundred cables takes
// some kilobytes, and the cap keeps a huge or endless file from filling memory.
inline constexpr std::size_t kMaxCableLibraryBytes = 16 * 1024 * 1024;

// Missing: nothing at the path. Unreadable: something is there but it is not a
// regular file (a folder, a FIFO, a device), cannot be opened or read, or is
// larger than kMaxCableLibraryBytes. Read: entries holds the file's entries.
enum class CableReadStatus { Missing, Unreadable, Read };

struct CableReadResult
{
    CableReadStatus status = CableReadStatus::Missing;
    std::vector<CableEntry> entries;
};

// Reads a library file; never opens anything but a regular file.
CableReadResult ReadCableLibraryFile(const std::filesystem::path& path);

// The entries of the library file at path; nullopt when no readable regular
// file is there (ReadCableLibraryFile tells the reasons apart).
std::optional<std::vector<CableEntry>> ReadCableLibrary(const std::filesystem::path& path);

// Replaces the file at path with entries in one atomic, flushed write (see
// WriteFileAtomically). False when it cannot, the old file then left as it was:
// a read-only file or folder, a missing folder, a folder at the path.
bool WriteCableLibrary(const std::filesystem::path& path, const std::vector<CableEntry>& entries);

// The value column's cell for a stored value line: the text itself in the PR
// presentation; in V/2 "%.1f" of 300 / (2 x PR) ("1.500" gives "100.0"), and an
// empty cell when the stored text does not start with a positive number or the
// V/2 is not finite.
std::string CableCellText(const std::string& storedValue, bool showHalfVelocity);

// The value line to store for a cell: the text itself in the PR presentation;
// in V/2 "%.3f" of 300 / (2 x V/2) ("100.0" gives "1.500"), and an empty line
// when the cell does not start with a positive number or the PR is not finite.
std::string CableStoredText(const std::string& cellText, bool showHalfVelocity);
