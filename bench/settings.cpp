// The document's save at exit (its 15 keys of [KLM-204] written to param.ini)
// against one write of the bytes that save leaves: a plain write (open, write,
// close) and one atomic, flushed replacement. Each at two sizes of param.ini:
// the program's own keys only, and a file that other tools filled with 20,000
// lines of their own sections.
#include "model/SafeFile.h"
#include "model/ZR815KDoc.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

// param.ini as the program leaves it, with extraLines lines of other sections.
std::filesystem::path MakeSettings(int extraLines)
{
    const std::filesystem::path path = Scratch().Path() / ("param-" + std::to_string(extraLines) + ".ini");
    std::string bytes = "[KLM-204]\nSCALE=4\nOPEN=/home/user/Save/\nTWOSCREEN=0\n";
    for (int i = 0; i < extraLines; ++i) {
        if (i % 50 == 0)
            bytes += "\n[Other" + std::to_string(i / 50) + "]\n";
        bytes += "KEY" + std::to_string(i) + "=value of some length " + std::to_string(i * 7) + "\n";
    }
    WriteFileAtomically(path, bytes);
    // One save so that the file holds every key of the document.
    std::make_unique<CZR815KDoc>(path).reset();
    return path;
}

// The exit save alone: the document is made (which reads the file) outside
// the timing, and destroyed inside it.
void BM_DocumentExitSave(benchmark::State& state)
{
    const std::filesystem::path path = MakeSettings(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CZR815KDoc>(path);
        doc->m_nGain = static_cast<int>(state.iterations() % 7);
        state.ResumeTiming();
        doc.reset();
    }
}
BENCHMARK(BM_DocumentExitSave)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

// The same bytes written once, as a plain file: open, write, close.
void BM_PlainWriteOfSameBytes(benchmark::State& state)
{
    const std::filesystem::path path = MakeSettings(static_cast<int>(state.range(0)));
    const FileReadResult file = ReadWholeFile(path);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        benchmark::DoNotOptimize(::write(fd, file.bytes.data(), file.bytes.size()));
        ::close(fd);
    }
}
BENCHMARK(BM_PlainWriteOfSameBytes)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

// The same bytes written once the way every settings write is: a temporary
// file, flushed, renamed over the old one.
void BM_AtomicWriteOfSameBytes(benchmark::State& state)
{
    const std::filesystem::path path = MakeSettings(static_cast<int>(state.range(0)));
    const FileReadResult file = ReadWholeFile(path);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteFileAtomically(path, file.bytes));
    }
}
BENCHMARK(BM_AtomicWriteOfSameBytes)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
