#include "model/ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string ProgramFolder()
{
    std::string folder;
    if (const char* home = std::getenv("ONDALIS_HOME"); home != nullptr && *home != '\0') {
        folder = home;
    } else {
        std::error_code ec;
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        folder = ec ? std::filesystem::current_path(ec).string() : exe.parent_path().string();
    }
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}
