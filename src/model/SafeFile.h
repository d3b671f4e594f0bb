// Whole files read and replaced safely: a read never blocks on a FIFO or a
// device and can be capped in size; a write replaces the file in one atomic
// step, so nobody ever sees it half written.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

// Missing: nothing at the path (or a part of it is not a folder). Unreadable:
// something is there but is not a regular file, cannot be opened or read, or is
// larger than the cap. Read: bytes holds the whole file.
enum class FileReadStatus { Missing, Unreadable, Read };

struct FileReadResult
{
    FileReadStatus status = FileReadStatus::Missing;
    std::string bytes; // empty unless status is Read
};

inline constexpr std::size_t kNoReadLimit = std::numeric_limits<std::size_t>::max();

// Reads the regular file at path (through symbolic links) whole, as long as it
// holds at most maxBytes; a file that grows past the cap while being read is
// Unreadable too.
FileReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes = kNoReadLimit);

// Replaces path with bytes atomically: a temporary file in the same folder (see
// below) is
// written, flushed and renamed over it; through a symbolic link the file it
// points at is replaced. An existing file keeps its permissions (and its owner
// where the process may keep it); a new file gets 0666 less the umask. A
// read-only existing file, a folder or other non-regular file at the path, and a
// missing folder are refused. False on any failure, in which case the old file
// is left as it was and no temporary file remains. Flushed writes the file and
// its folder to the disk before and after the rename (settings files);
// Unflushed still never shows a half written file, but a power cut may lose the
// newest version (bulk outputs such as text exports, where the flushes would
// dominate). The first write into a folder in a process first removes the stale
// temporaries there (RemoveStaleTemporariesOnce).
enum class Durability { Flushed, Unflushed };
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         Durability durability = Durability::Flushed);

// The temporaries WriteFileAtomically makes are named kTemporaryPrefix and six
// letters or digits: hidden, and without any extension a listing looks for.
inline constexpr std::string_view kTemporaryPrefix = ".ondalis-tmp-";
bool IsTemporaryName(std::string_view name);

// A write that is killed (or loses its power) leaves its temporary behind. One
// that has not been written to for this long belongs to no write still going on,
// in this process or another; younger ones may, and are left alone.
inline constexpr std::chrono::seconds kStaleTemporaryAge{600};

// Removes from folder (not below it) the temporaries last written more than
// maxAge ago: names of that form only, regular files only (a link of that name
// is neither followed nor removed). The number removed; 0 for a folder that
// cannot be read.
std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder,
                                   std::chrono::seconds maxAge = kStaleTemporaryAge);

// RemoveStaleTemporaries once per folder and process: a thousand writes into
// one folder scan it once. Safe to call from several threads.
void RemoveStaleTemporariesOnce(const std::filesystem::path& folder);
