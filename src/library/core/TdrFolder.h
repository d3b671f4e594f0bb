// Waveform files of one folder as the library panel sees them: names ending in
// ".tdr" in any case, regular files of exactly 8512 bytes, in case-insensitive
// name order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// True when the name ends in ".tdr", letters in any case, and has something
// before that extension (a bare ".tdr" is a hidden file without a name).
bool HasTdrExtension(std::string_view fileName);

// The name a waveform is listed under: the file name less its last four
// characters (the extension), so "a.b.tdr" lists as "a.b".
std::string WaveformNameOf(std::string_view fileName);

// The name with ASCII and Cyrillic letters folded to upper case, the way a
// case-insensitive file system compares names. UTF-8 in, UTF-8 of the same
// length out; bytes that are not letters (or not valid UTF-8) stay as they are.
std::string FoldedName(std::string_view name);

// Case-insensitive name order: folded names compared, ties broken by the bytes.
bool NameOrderLess(std::string_view a, std::string_view b);

// Puts many names into name order fast: names are added one by one (numbered
// from 0) and Order() gives their numbers in NameOrderLess order. Keys are kept
// in one buffer and compared by an 8-byte prefix first, so sorting a folder of
// thousands of files moves and compares little.
class NameOrderSort
{
  public:
    void Add(std::string_view name);
    std::vector<uint32_t> Order() const;

  private:
    struct Key
    {
        uint64_t m_nPrefix = 0; // first 8 folded bytes, big-endian, zero padded
        uint32_t m_nOffset = 0; // of the name in both buffers
        uint32_t m_nLength = 0;
        uint32_t m_nIndex = 0;
    };
    std::string m_folded;
    std::string m_raw;
    std::vector<Key> m_keys;
};

// One candidate file met while enumerating a folder.
struct TdrFolderEntry
{
    int m_nFolderFd = -1;        // open descriptor of the folder
    const char* m_pName = "";    // file name inside the folder
    int m_nFileFd = -1;          // the file opened for reading, when asked for; else -1
    int64_t m_nWriteSeconds = 0; // last write, UTC seconds since 1970
    int64_t m_nWriteNanos = 0;
};

// The candidate files of a folder, read in one directory pass: every entry
// whose name has the .tdr extension and which is a regular file, a symbolic
// link (which may point at one) or of a type the file system does not report.
// The folder stays open while the object lives, so the candidates can be
// checked and opened afterwards, from several threads at once.
class TdrFolderScan
{
  public:
    explicit TdrFolderScan(const std::filesystem::path& folder);
    ~TdrFolderScan();
    TdrFolderScan(const TdrFolderScan&) = delete;
    TdrFolderScan& operator=(const TdrFolderScan&) = delete;

    // False when the folder cannot be opened; there are no candidates then.
    bool IsOpen() const { return m_nFolderFd >= 0; }
    std::size_t Count() const { return m_candidates.size(); }
    // The name of candidate `index`, as the folder holds it.
    std::string_view Name(std::size_t index) const
    {
        const Candidate& candidate = m_candidates[index];
        return std::string_view(m_names).substr(candidate.m_nOffset, candidate.m_nLength);
    }

    // Checks candidate `index`: true when it is a regular file of exactly 8512
    // bytes (symbolic links are followed), with entry filled in. With openFile
    // the file is handed over open for reading in entry.m_nFileFd (the caller
    // closes it) and a file that cannot be opened fails. Only entries known to
    // be regular files are opened before their size is checked; anything else
    // is stat'ed first, so no special file is ever opened.
    bool Check(std::size_t index, bool openFile, TdrFolderEntry& entry) const;

  private:
    struct Candidate
    {
        uint32_t m_nOffset = 0; // of the name, ended by a NUL, in m_names
        uint32_t m_nLength = 0;
        bool m_bRegular = false;
    };
    int m_nFolderFd = -1;
    std::string m_names;
    std::vector<Candidate> m_candidates;
};

// Calls visit once per regular file of exactly 8512 bytes whose name has the
// .tdr extension (symbolic links are followed), in the folder's own order, after
// one directory pass. With openFiles each file is handed over open for reading
// (closed after visit returns) and a file that cannot be opened is skipped.
// Returns false when the folder cannot be opened; nothing is visited then.
bool ForEachTdrFile(const std::filesystem::path& folder, bool openFiles,
                    const std::function<void(const TdrFolderEntry&)>& visit);

// Opens a file for reading without blocking on special files. -1 on failure.
int OpenForReading(int folderFd, const char* name);
