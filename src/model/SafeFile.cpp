// Whole-file reads and atomic replacement of files.
#include "model/SafeFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// Makes the renames done in folder durable. A folder that cannot be flushed
// costs only durability, not the write, so nothing is reported.
void FlushFolder(const std::filesystem::path& folder)
{
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

bool IsLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool IsTemporaryName(std::string_view name)
{
    if (name.size() != kTemporaryPrefix.size() + 6 || !name.starts_with(kTemporaryPrefix))
        return false;
    name.remove_prefix(kTemporaryPrefix.size());
    return std::all_of(name.begin(), name.end(), IsLetterOrDigit);
}

std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds maxAge)
{
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return 0;
    DIR* dir = ::fdopendir(folderFd);
    if (dir == nullptr) {
        ::close(folderFd);
        return 0;
    }
    struct timespec now = {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        // The entry itself, never what a link of that name points at.
        struct stat info = {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        // Ages are compared in whole seconds, rounded down; a time in the future
        // (a clock set back) is young.
        if (now.tv_sec - info.st_mtim.tv_sec <= maxAge.count())
            continue;
        if (::unlinkat(folderFd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

void RemoveStaleTemporariesOnce(const std::filesystem::path& folder)
{
    static std::mutex mutex;
    static std::set<std::string> cleaned;
    // One spelling per folder: absolute, without "." or "..", without a final '/'.
    std::error_code ec;
    std::filesystem::path key = std::filesystem::absolute(folder, ec).lexically_normal();
    if (ec)
        key = folder;
    if (!key.has_filename() && key.has_relative_path())
        key = key.parent_path();
    {
        std::lock_guard lock(mutex);
        if (!cleaned.insert(key.string()).second)
            return;
    }
    RemoveStaleTemporaries(folder);
}

FileReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    FileReadResult result;
    // Looked at before opening, so a FIFO or a device is never opened at all.
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            result.status = FileReadStatus::Unreadable;
        return result;
    }
    result.status = FileReadStatus::Unreadable;
    if (!S_ISREG(info.st_mode))
        return result;
    // Non-blocking all the same, in case a FIFO takes the file's place meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            result.status = FileReadStatus::Missing;
        return result;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > maxBytes) {
        ::close(fd);
        return result;
    }
    std::string bytes;
    if (info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::array<char, 65536> buffer;
    for (;;) {
        // One byte more than the cap leaves room for is enough to see it is exceeded.
        const std::size_t room = maxBytes - bytes.size();
        const std::size_t want = room < buffer.size() ? room + 1 : buffer.size();
        const ssize_t got = ::read(fd, buffer.data(), want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || static_cast<std::size_t>(got) > room) {
            ::close(fd);
            return result;
        }
        if (got == 0)
            break;
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    ::close(fd);
    result.status = FileReadStatus::Read;
    result.bytes = std::move(bytes);
    return result;
}

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

    RemoveStaleTemporariesOnce(folder);
    // Hidden and without the target's extension, so folder listings never show it.
    std::string pattern = (folder / (std::string(kTemporaryPrefix) + "XXXXXX")).string();
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

    if (flushed)
        FlushFolder(folder);
    return true;
}
