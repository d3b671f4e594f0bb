#include "model/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {

// Per-user folder of an installed program whose own folder is not writable.
std::string UserDataFolder()
{
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::string(home) + "/.local/share";
    } else {
        return std::string();
    }
    const std::string folder = FolderWithSlash(base) + "ondalis";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return ec ? std::string() : folder;
}

} // namespace

std::string ProgramFolder()
{
    if (const char* home = std::getenv("ONDALIS_HOME"); home != nullptr && *home != '\0') {
        return FolderWithSlash(home);
    }
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string folder = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
#ifdef ONDALIS_BINDIR
    return ProgramFolderOf(folder, ONDALIS_BINDIR);
#else
    return ProgramFolderOf(folder, std::string());
#endif
}

std::string ProgramFolderOf(const std::string& exeFolder, const std::string& installedBinFolder)
{
    // Installed system-wide the program's folder is read-only, or shared by
    // every user even where it can be written (run by root): settings and the
    // default waveform folder then live in the user's data folder.
    std::error_code ec;
    const bool installed =
        !installedBinFolder.empty() && std::filesystem::equivalent(exeFolder, installedBinFolder, ec) && !ec;
    if (installed || ::access(exeFolder.c_str(), W_OK) != 0) {
        if (std::string user = UserDataFolder(); !user.empty()) {
            return FolderWithSlash(user);
        }
    }
    return FolderWithSlash(exeFolder);
}

std::string FolderWithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}
