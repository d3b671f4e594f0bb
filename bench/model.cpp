// Loading a waveform file and picking the plot's columns, each beside the least
// work that does the same job.
#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "model/ZR815KDoc.h"
#include "tdrsynth/Synth.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {


// A 1 km waveform with a few faults, written once.
const std::filesystem::path& WaveformFile()
{
    static const std::filesystem::path path = [] {
        SynthParams params = ParamsForScale(4);
        params.m_faults = {{FaultKind::Splice, 300}, {FaultKind::Open, 800}};
        const std::vector<uint8_t> bytes = SynthesiseTdr(params);
        const std::filesystem::path file = Scratch().Path() / "bench.tdr";
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file;
    }();
    return path;
}

void BM_LoadWaveform(benchmark::State& state)
{
    const std::filesystem::path folder = WaveformFile().parent_path();
    WaveformRecord record;
    for (auto _ : state) {
        const bool loaded = LoadWaveform(record, folder, "bench");
        benchmark::DoNotOptimize(loaded);
        benchmark::DoNotOptimize(record.m_samples.data());
        if (!loaded) {
            state.SkipWithError("the waveform did not load");
            break;
        }
    }
}
BENCHMARK(BM_LoadWaveform);

// Baseline: open, one read of the whole file, close.
void BM_ReadBaseline(benchmark::State& state)
{
    const std::string path = WaveformFile().string();
    std::vector<uint8_t> buffer(kTdrFileSize);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        ::close(fd);
        benchmark::DoNotOptimize(got);
        benchmark::DoNotOptimize(buffer.data());
        if (got != static_cast<ssize_t>(kTdrFileSize)) {
            state.SkipWithError("the file did not read");
            break;
        }
    }
}
BENCHMARK(BM_ReadBaseline);

// A document showing a record of its own scale, at a zoom, centred a third of
// the way along so a zoomed window does not start at 0.
struct PickSetup
{
    explicit PickSetup(int scaleIndex, int zoom) : doc(Scratch().Path() / "param.ini")
    {
        WaveformRecord& record = doc.m_memory[0];
        DecodeWaveform(record, SynthesiseTdr(ParamsForScale(scaleIndex)));
        doc.m_dScale = tables::kScale[scaleIndex];
        doc.m_nZoom = zoom;
        doc.m_dZoomCentre = doc.m_dScale / 3;
        double right = 0;
        doc.GetViewWindow(left, right);
        window = right - left;
    }
    // Samples between neighbouring columns.
    std::size_t Stride() const
    {
        return static_cast<std::size_t>(window / tables::kColumns / doc.m_memory[0].m_dSampleStep);
    }

    CZR815KDoc doc;
    double left = 0;
    double window = 0;
};

void BM_PickColumns(benchmark::State& state)
{
    PickSetup setup(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    WaveformRecord& record = setup.doc.m_memory[0];
    for (auto _ : state) {
        setup.doc.PickColumns(record, setup.left, setup.window, record.m_displayMain);
        benchmark::DoNotOptimize(record.m_displayMain.data());
        benchmark::ClobberMemory();
    }
}
// Scale 1000 m unzoomed (16 samples per column), 16000 m at zoom 4 (1 per column).
BENCHMARK(BM_PickColumns)->Args({4, 0})->Args({8, 4});

// Baseline: 500 bytes copied with the same fixed stride.
void BM_PickBaseline(benchmark::State& state)
{
    PickSetup setup(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    WaveformRecord& record = setup.doc.m_memory[0];
    const std::size_t stride = setup.Stride();
    const std::size_t first = static_cast<std::size_t>(setup.left / record.m_dSampleStep);
    if (first + (tables::kColumns - 1) * stride >= kTdrSampleCount) {
        state.SkipWithError("the window runs past the record");
        return;
    }
    for (auto _ : state) {
        const int8_t* from = record.m_samples.data() + first;
        for (int i = 0; i < tables::kColumns; ++i) {
            record.m_displayMain[static_cast<std::size_t>(i)] = from[static_cast<std::size_t>(i) * stride];
        }
        benchmark::DoNotOptimize(record.m_displayMain.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PickBaseline)->Args({4, 0})->Args({8, 4});

} // namespace

BENCHMARK_MAIN();
