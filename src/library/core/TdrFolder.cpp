#include "library/core/TdrFolder.h"

#include "model/WaveformRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kExtension = ".tdr";

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

bool IsWaveformFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_size == static_cast<off_t>(kTdrFileSize);
}

// Folds ASCII and Cyrillic letters to capitals in place. The Cyrillic small
// letters are the two-byte sequences D0 B0..D0 BF (а..п), D1 80..D1 8F (р..я)
// and D1 90..D1 9F (ѐ..џ); their capitals are D0 90..D0 AF and D0 80..D0 8F,
// so the length never changes.
void FoldInPlace(char* text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 'a' && c <= 'z') {
            text[i] = static_cast<char>(c - 'a' + 'A');
            continue;
        }
        if ((c == 0xD0 || c == 0xD1) && i + 1 < size &&
            IsContinuation(static_cast<unsigned char>(text[i + 1]))) {
            const unsigned char next = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xD0 && next >= 0xB0) {
                text[i + 1] = static_cast<char>(next - 0x20);
            } else if (c == 0xD1 && next <= 0x8F) {
                text[i] = static_cast<char>(0xD0);
                text[i + 1] = static_cast<char>(next + 0x20);
            } else if (c == 0xD1 && next <= 0x9F) {
                text[i] = static_cast<char>(0xD0);
                text[i + 1] = static_cast<char>(next - 0x10);
            }
            ++i;
        }
    }
}

} // namespace

bool HasTdrExtension(std::string_view fileName)
{
    if (fileName.size() <= kExtension.size()) {
        return false;
    }
    const std::string_view tail = fileName.substr(fileName.size() - kExtension.size());
    for (std::size_t i = 0; i < kExtension.size(); ++i) {
        if (LowerAscii(tail[i]) != kExtension[i]) {
            return false;
        }
    }
    return true;
}

std::string WaveformNameOf(std::string_view fileName)
{
    return std::string(fileName.substr(0, fileName.size() < 4 ? 0 : fileName.size() - 4));
}

std::string FoldedName(std::string_view name)
{
    std::string out(name);
    FoldInPlace(out.data(), out.size());
    return out;
}

bool NameOrderLess(std::string_view a, std::string_view b)
{
    const std::string fa = FoldedName(a);
    const std::string fb = FoldedName(b);
    if (fa != fb) {
        return fa < fb;
    }
    return a < b;
}

void NameOrderSort::Add(std::string_view name)
{
    Key key;
    key.m_nOffset = static_cast<uint32_t>(m_raw.size());
    key.m_nLength = static_cast<uint32_t>(name.size());
    key.m_nIndex = static_cast<uint32_t>(m_keys.size());
    m_raw.append(name);
    m_folded.append(name);
    char* folded = m_folded.data() + key.m_nOffset;
    FoldInPlace(folded, name.size());
    for (std::size_t i = 0; i < 8; ++i) {
        key.m_nPrefix <<= 8;
        key.m_nPrefix |= i < name.size() ? static_cast<unsigned char>(folded[i]) : 0u;
    }
    m_keys.push_back(key);
}

std::vector<uint32_t> NameOrderSort::Order() const
{
    // Bytes compared as unsigned, as std::string compares them.
    const auto compare = [](const char* a, std::size_t an, const char* b, std::size_t bn) {
        const int c = std::memcmp(a, b, std::min(an, bn));
        return c != 0 ? c : (an < bn ? -1 : an > bn ? 1 : 0);
    };
    std::vector<Key> keys = m_keys;
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.m_nPrefix != b.m_nPrefix) {
            return a.m_nPrefix < b.m_nPrefix;
        }
        // Most names differ in their first 8 bytes; the rest compare whole.
        const int c =
            compare(m_folded.data() + a.m_nOffset, a.m_nLength, m_folded.data() + b.m_nOffset, b.m_nLength);
        if (c != 0) {
            return c < 0;
        }
        return compare(m_raw.data() + a.m_nOffset, a.m_nLength, m_raw.data() + b.m_nOffset, b.m_nLength) < 0;
    });
    std::vector<uint32_t> order;
    order.reserve(keys.size());
    for (const Key& key : keys) {
        order.push_back(key.m_nIndex);
    }
    return order;
}

int OpenForReading(int folderFd, const char* name)
{
    int fd;
    do {
        fd = ::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

TdrFolderScan::TdrFolderScan(const std::filesystem::path& folder)
{
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return;
    }
    // The directory stream gets its own descriptor, so the folder stays open
    // for the checks after the stream is closed.
    const int streamFd = ::dup(folderFd);
    DIR* dir = streamFd < 0 ? nullptr : ::fdopendir(streamFd);
    if (dir == nullptr) {
        if (streamFd >= 0) {
            ::close(streamFd);
        }
        ::close(folderFd);
        return;
    }
    m_nFolderFd = folderFd;
    while (const dirent* entry = ::readdir(dir)) {
        // Only regular files and links (which may point at one) can qualify;
        // a file system that does not report the type is asked by stat later.
        const bool regular = entry->d_type == DT_REG;
        if (!regular && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
            continue;
        }
        const std::string_view name = entry->d_name;
        if (!HasTdrExtension(name)) {
            continue;
        }
        m_candidates.push_back({static_cast<uint32_t>(m_names.size()), static_cast<uint32_t>(name.size()), regular});
        m_names.append(name);
        m_names.push_back('\0');
    }
    ::closedir(dir); // closes streamFd
}

TdrFolderScan::~TdrFolderScan()
{
    if (m_nFolderFd >= 0) {
        ::close(m_nFolderFd);
    }
}

bool TdrFolderScan::Check(std::size_t index, bool openFile, TdrFolderEntry& entry) const
{
    const Candidate& candidate = m_candidates[index];
    const char* name = m_names.data() + candidate.m_nOffset;
    struct stat info = {};
    // A regular file is safe to open, and the size of the open file is what
    // counts, so it is not looked up twice.
    if (!(openFile && candidate.m_bRegular)) {
        if (::fstatat(m_nFolderFd, name, &info, 0) != 0 || !IsWaveformFile(info)) {
            return false;
        }
    }
    entry.m_nFolderFd = m_nFolderFd;
    entry.m_pName = name;
    entry.m_nFileFd = -1;
    if (openFile) {
        entry.m_nFileFd = OpenForReading(m_nFolderFd, name);
        if (entry.m_nFileFd < 0) {
            return false;
        }
        if (::fstat(entry.m_nFileFd, &info) != 0 || !IsWaveformFile(info)) {
            ::close(entry.m_nFileFd);
            entry.m_nFileFd = -1;
            return false;
        }
    }
    entry.m_nWriteSeconds = info.st_mtim.tv_sec;
    entry.m_nWriteNanos = info.st_mtim.tv_nsec;
    return true;
}

bool ForEachTdrFile(const std::filesystem::path& folder, bool openFiles,
                    const std::function<void(const TdrFolderEntry&)>& visit)
{
    const TdrFolderScan scan(folder);
    if (!scan.IsOpen()) {
        return false;
    }
    for (std::size_t i = 0; i < scan.Count(); ++i) {
        TdrFolderEntry entry;
        if (!scan.Check(i, openFiles, entry)) {
            continue;
        }
        visit(entry);
        if (entry.m_nFileFd >= 0) {
            ::close(entry.m_nFileFd);
        }
    }
    return true;
}
