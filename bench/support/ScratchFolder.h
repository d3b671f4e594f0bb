// A scratch folder for a benchmark run, removed with its content at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class ScratchFolder
{
public:
    ScratchFolder()
    {
        // $ONDALIS_BENCH_DIR chooses the file system to measure on (tmpfs, ext4, ...).
        const char* base = std::getenv("ONDALIS_BENCH_DIR");
        const std::filesystem::path root =
            base != nullptr ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
        std::string pattern = (root / "ondalis-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path, ec);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The one scratch folder of the program.
inline ScratchFolder& Scratch()
{
    static ScratchFolder folder;
    return folder;
}
