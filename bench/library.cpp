// The waveform library's folder work, each beside the least work that does the
// same job: listing a folder of 10,000 waveforms (headers decoded, cell texts
// built) against opening each file and reading its first 44 bytes; exporting
// 1,000 waveforms as text against writing the same text with one write per file
// (in place, which a crash can leave half written) and with a temporary file
// renamed over each (the export's own promise).
//
// The files go to a scratch folder under $ONDALIS_BENCH_DIR, else the system's
// temporary folder; it is built once and removed at exit.
#include "library/core/TextExport.h"
#include "library/core/WaveformListing.h"
#include "model/WaveformRecord.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kListedFiles = 10000;
constexpr int kExportedFiles = 1000;

void PutWord(std::string& bytes, std::size_t index, int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    for (std::size_t b = 0; b < 4; ++b) {
        bytes[index * 4 + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
    }
}

// Waveform number n: valid header indices that vary from file to file, and a
// damped wave with noise as samples.
std::string WaveformBytes(int n)
{
    std::string bytes(kTdrFileSize, '\0');
    PutWord(bytes, 1, n % 12);
    PutWord(bytes, 2, (n / 12) % 12);
    PutWord(bytes, 3, n % 9);
    PutWord(bytes, 4, n % 40 - 20);
    PutWord(bytes, 5, 50 + n % 3 * 25);
    PutWord(bytes, 6, 1200 + n % 600);
    PutWord(bytes, 8, n % 50);
    PutWord(bytes, 9, n % 30);
    PutWord(bytes, 10, n % 2 ? kMethodPulse : kMethodArc);
    uint32_t noise = 2463534242u + static_cast<uint32_t>(n);
    for (std::size_t i = 0; i < kTdrSampleCount; ++i) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const int wave = static_cast<int>(120.0 * static_cast<double>(8000 - i) / 8000.0 *
                                          ((i / 40) % 2 ? 1 : -1) * ((i % 40) / 40.0));
        const int value = std::clamp(wave + static_cast<int>(noise % 9) - 4, -128, 127);
        bytes[kTdrHeaderBytes + i] = static_cast<char>(static_cast<int8_t>(value));
    }
    return bytes;
}

bool WriteWhole(const std::filesystem::path& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && ok;
}

// A folder of `count` waveforms named wave00000.tdr ..., built on first use.
std::filesystem::path MakeFolder(const char* name, int count)
{
    const std::filesystem::path folder = Scratch().Path() / name;
    std::filesystem::create_directories(folder);
    char file[32];
    for (int n = 0; n < count; ++n) {
        std::snprintf(file, sizeof file, "wave%05d.tdr", n);
        if (!WriteWhole(folder / file, WaveformBytes(n))) {
            return {};
        }
    }
    return folder;
}

const std::filesystem::path& ListingFolder()
{
    static const std::filesystem::path folder = MakeFolder("listing", kListedFiles);
    return folder;
}

const std::filesystem::path& ExportFolder()
{
    static const std::filesystem::path folder = MakeFolder("export", kExportedFiles);
    return folder;
}

// The listing reads the files' headers on two threads; the time is the wall
// time, and the CPU time that of the whole process, both threads counted.
void BM_ListFolder(benchmark::State& state)
{
    const std::filesystem::path& folder = ListingFolder();
    std::size_t rows = 0;
    for (auto _ : state) {
        const std::vector<WaveformListing> listing = ListWaveformFolder(folder);
        for (const WaveformListing& row : listing) {
            const auto cells = WaveListCells(row, true);
            benchmark::DoNotOptimize(cells.data());
        }
        rows = listing.size();
    }
    if (rows != kListedFiles) {
        state.SkipWithError("not every waveform was listed");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kListedFiles);
}
BENCHMARK(BM_ListFolder)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

// Baselines: one pass over the folder, each .tdr opened and its 44 header bytes
// read; with Arg(1) also the fstat the listing cannot do without (the size
// check and the file time), the floor of any listing that follows the rules.
void BM_ListBaseline(benchmark::State& state)
{
    const std::filesystem::path& folder = ListingFolder();
    const bool withStat = state.range(0) != 0;
    std::size_t read = 0;
    for (auto _ : state) {
        read = 0;
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            state.SkipWithError("the folder cannot be opened");
            return;
        }
        const int folderFd = ::dirfd(dir);
        std::array<char, kTdrDecodedHeaderBytes> header;
        struct stat info = {};
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (!name.ends_with(".tdr")) {
                continue;
            }
            const int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                if (withStat) {
                    ::fstat(fd, &info);
                }
                read += ::read(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size());
                ::close(fd);
            }
            benchmark::DoNotOptimize(header.data());
            benchmark::DoNotOptimize(info.st_size);
        }
        ::closedir(dir);
    }
    if (read != kListedFiles) {
        state.SkipWithError("not every header was read");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kListedFiles);
}
BENCHMARK(BM_ListBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExportFolder(benchmark::State& state)
{
    const std::filesystem::path& folder = ExportFolder();
    ExportFolderText(folder); // every round then replaces existing files, as the baselines' do
    for (auto _ : state) {
        const TextExportResult result = ExportFolderText(folder);
        if (result.m_nWritten != kExportedFiles) {
            state.SkipWithError("not every waveform was exported");
            return;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kExportedFiles);
}
BENCHMARK(BM_ExportFolder)->Unit(benchmark::kMillisecond);

// The text of every export waveform, made once for the baselines.
const std::vector<std::string>& ExportTexts()
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        for (int n = 0; n < kExportedFiles; ++n) {
            const std::string bytes = WaveformBytes(n);
            out.push_back(WaveformText(std::span<const int8_t>(
                reinterpret_cast<const int8_t*>(bytes.data()) + kTdrHeaderBytes, kTdrSampleCount)));
        }
        return out;
    }();
    return texts;
}

// Writes every export text into a subfolder with `writeOne`, once to create the
// files, then once per round, so each round replaces existing files as the
// export does.
template <typename WriteOne>
void RunWriteBaseline(benchmark::State& state, const char* subfolder, WriteOne writeOne)
{
    const std::filesystem::path folder = ExportFolder() / subfolder;
    std::filesystem::create_directories(folder);
    const std::vector<std::string>& texts = ExportTexts();
    const auto writeAll = [&] {
        char file[32];
        for (int n = 0; n < kExportedFiles; ++n) {
            std::snprintf(file, sizeof file, "wave%05d.txt", n);
            if (!writeOne(folder, folder / file, texts[static_cast<std::size_t>(n)])) {
                return false;
            }
        }
        return true;
    };
    writeAll();
    for (auto _ : state) {
        if (!writeAll()) {
            state.SkipWithError("a file could not be written");
            return;
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kExportedFiles);
}

// Baseline: the finished texts written with one open, write and close per file.
void BM_ExportBaseline(benchmark::State& state)
{
    RunWriteBaseline(state, "plain", [](const std::filesystem::path&, const std::filesystem::path& path,
                                        const std::string& text) { return WriteWhole(path, text); });
}
BENCHMARK(BM_ExportBaseline)->Unit(benchmark::kMillisecond);

// Baseline with the export's promise: each text written to a temporary file
// beside its target and renamed over it, nothing flushed. A crash may lose the
// newest texts, but no file under a .txt name is ever half written.
void BM_ExportSamePromiseBaseline(benchmark::State& state)
{
    RunWriteBaseline(state, "renamed", [](const std::filesystem::path& folder, const std::filesystem::path& path,
                                          const std::string& text) {
        const std::string temporary = (folder / ".partial").string();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
            ::unlink(temporary.c_str());
            return false;
        }
        return true;
    });
}
BENCHMARK(BM_ExportSamePromiseBaseline)->Unit(benchmark::kMillisecond);

// Second baseline: each text replacing its file the durable way settings files
// are written (temporary file, flushed, renamed, folder flushed), which shows
// what crash safety costs on the file system at hand.
void BM_ExportDurableBaseline(benchmark::State& state)
{
    RunWriteBaseline(state, "durable", [](const std::filesystem::path& folder, const std::filesystem::path& path,
                                          const std::string& text) {
        const std::string temporary = (folder / ".partial").string();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                        ::fsync(fd) == 0;
        if (fd >= 0) {
            ::close(fd);
        }
        if (!ok || ::rename(temporary.c_str(), path.c_str()) != 0) {
            return false;
        }
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd >= 0) {
            ::fsync(folderFd);
            ::close(folderFd);
        }
        return true;
    });
}
BENCHMARK(BM_ExportDurableBaseline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
