#include "library/core/TextExport.h"

#include "library/core/TdrFolder.h"
#include "model/SafeFile.h"
#include "model/WaveformRecord.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The line of every byte value, "\r\n" included, padded to a fixed stride so a
// line is copied with one fixed-size move.
struct LineTable
{
    static constexpr std::size_t kStride = 8;
    std::array<char, 256 * kStride> m_text{};
    std::array<uint8_t, 256> m_length{};

    LineTable()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const int value = byte < 128 ? byte : byte - 256;
            char* out = &m_text[static_cast<std::size_t>(byte) * kStride];
            std::size_t n = 0;
            int magnitude = value;
            if (value < 0) {
                out[n++] = '-';
                magnitude = -value;
            }
            if (magnitude >= 100) {
                out[n++] = static_cast<char>('0' + magnitude / 100);
            }
            if (magnitude >= 10) {
                out[n++] = static_cast<char>('0' + magnitude / 10 % 10);
            }
            out[n++] = static_cast<char>('0' + magnitude % 10);
            out[n++] = '\r';
            out[n++] = '\n';
            m_length[static_cast<std::size_t>(byte)] = static_cast<uint8_t>(n);
        }
    }
};

const LineTable& Lines()
{
    static const LineTable table;
    return table;
}

// Reads the samples of a .tdr file, which must be a regular file of 8512 bytes.
bool ReadSamples(int folderFd, const std::string& name, std::array<uint8_t, kTdrSampleCount>& samples)
{
    const int fd = OpenForReading(folderFd, name.c_str());
    if (fd < 0) {
        return false;
    }
    struct stat info = {};
    bool ok =
        ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == static_cast<off_t>(kTdrFileSize);
    std::size_t done = 0;
    while (ok && done < samples.size()) {
        const ssize_t got = ::pread(fd, samples.data() + done, samples.size() - done,
                                    static_cast<off_t>(kTdrHeaderBytes + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        ok = got > 0;
        done += ok ? static_cast<std::size_t>(got) : 0;
    }
    ::close(fd);
    return ok;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

// Creates a new temporary file in the folder, named with the prefix every
// temporary file of the program has (hidden, so no listing shows it, and known
// to the cleaning of stale ones), mode 0666 less the umask. A name given is
// tried first: one exporter reuses its name, freed by each rename, which keeps
// the folder's index from growing a new entry per file. -1 on failure.
int CreateTemporary(int folderFd, std::string& name)
{
    if (!name.empty()) {
        const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random(static_cast<std::minstd_rand::result_type>(
        std::random_device()() ^ static_cast<unsigned>(::getpid())));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = kTemporaryPrefix;
        for (int i = 0; i < 6; ++i) {
            name += kLetters[random() % (sizeof kLetters - 1)];
        }
        const int fd = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Replaces `name` in the folder with bytes by a temporary file renamed over it;
// see TextExportFolder::Export. The target is looked at without following a
// link, and the rename replaces the link itself.
bool ReplaceTarget(int folderFd, const std::string& name, std::string_view bytes, std::string& temporary)
{
    struct stat old = {};
    bool replacesFile = false;
    if (::fstatat(folderFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISREG(old.st_mode)) {
            // A file without any write bit counts as read-only even for root,
            // whom access() lets write anything.
            static const uid_t realUser = ::getuid();
            const bool ownWritable = old.st_uid == realUser && (old.st_mode & S_IWUSR) != 0;
            if ((old.st_mode & 0222) == 0 || (!ownWritable && ::faccessat(folderFd, name.c_str(), W_OK, 0) != 0)) {
                return false;
            }
            replacesFile = true;
        } else if (!S_ISLNK(old.st_mode)) {
            return false; // a folder or a special file
        }
    } else if (errno != ENOENT) {
        return false;
    }
    const int fd = CreateTemporary(folderFd, temporary);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    if (ok && replacesFile) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        static const uid_t user = ::geteuid();
        static const gid_t group = ::getegid();
        if (ok && (old.st_uid != user || old.st_gid != group)) {
            // Keep the owner when we may (root writing a user's file); others
            // cannot give files away, and the new file stays theirs.
            [[maybe_unused]] const int kept = ::fchown(fd, old.st_uid, old.st_gid);
        }
    }
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::renameat(folderFd, temporary.c_str(), folderFd, name.c_str()) == 0;
    if (!ok) {
        ::unlinkat(folderFd, temporary.c_str(), 0);
    }
    return ok;
}

} // namespace

std::vector<TextExportJob> ListTextExportJobs(const std::filesystem::path& folder)
{
    std::vector<TextExportJob> found;
    NameOrderSort sort;
    ForEachTdrFile(folder, false, [&](const TdrFolderEntry& entry) {
        TextExportJob& job = found.emplace_back();
        job.m_strSource = entry.m_pName;
        job.m_strTarget = WaveformNameOf(job.m_strSource) + ".txt";
        sort.Add(job.m_strSource);
    });
    std::vector<TextExportJob> jobs;
    jobs.reserve(found.size());
    std::set<std::string> targets;
    for (const uint32_t index : sort.Order()) {
        TextExportJob& job = jobs.emplace_back(std::move(found[index]));
        job.m_bTargetTaken = !targets.insert(job.m_strTarget).second;
    }
    return jobs;
}

std::string WaveformText(std::span<const int8_t> samples)
{
    const LineTable& table = Lines();
    // Room for the longest lines plus the slack of the last fixed-size move.
    std::string text(samples.size() * 6 + LineTable::kStride, '\0');
    char* out = text.data();
    for (const int8_t sample : samples) {
        const std::size_t byte = static_cast<uint8_t>(sample);
        std::memcpy(out, &table.m_text[byte * LineTable::kStride], LineTable::kStride);
        out += table.m_length[byte];
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

TextExportFolder::TextExportFolder(const std::filesystem::path& folder)
    : m_nFolderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    // Temporaries left by an export or a save that was killed go before the
    // first new one is made, as before any other write into a folder.
    if (m_nFolderFd >= 0) {
        RemoveStaleTemporariesOnce(folder);
    }
}

TextExportFolder::~TextExportFolder()
{
    if (m_nFolderFd >= 0) {
        ::close(m_nFolderFd);
    }
}

bool TextExportFolder::Export(const TextExportJob& job)
{
    if (m_nFolderFd < 0 || job.m_bTargetTaken) {
        return false;
    }
    std::array<uint8_t, kTdrSampleCount> samples;
    if (!ReadSamples(m_nFolderFd, job.m_strSource, samples)) {
        return false;
    }
    const std::string text = WaveformText(
        std::span<const int8_t>(reinterpret_cast<const int8_t*>(samples.data()), samples.size()));
    return ReplaceTarget(m_nFolderFd, job.m_strTarget, text, m_strTemporary);
}

bool ExportWaveformText(const std::filesystem::path& folder, const TextExportJob& job)
{
    return TextExportFolder(folder).Export(job);
}

TextExportResult ExportFolderText(const std::filesystem::path& folder, const TextExportProgress& progress)
{
    TextExportResult result;
    const std::vector<TextExportJob> jobs = ListTextExportJobs(folder);
    TextExportFolder exporter(folder);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (exporter.Export(jobs[i])) {
            ++result.m_nWritten;
        } else {
            result.m_failed.push_back(jobs[i].m_strSource);
        }
        if (progress && !progress(i + 1, jobs.size()) && i + 1 < jobs.size()) {
            result.m_bCancelled = true;
            break;
        }
    }
    return result;
}
