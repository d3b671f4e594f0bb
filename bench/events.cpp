// Finding the events of one waveform, beside loading the same file: the
// finder should cost no more than a load of the file it works on.
#include "model/EventFinder.h"
#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "tdrsynth/LineModel.h"
#include "tdrsynth/Synth.h"
#include "support/ScratchFolder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The waveform of a scale index with a splice, water and an open end, written once per scale.
std::string WaveformName(int scaleIndex)
{
    const std::string name = "events" + std::to_string(scaleIndex);
    const std::filesystem::path file = Scratch().Path() / (name + ".tdr");
    if (!std::filesystem::exists(file)) {
        SynthParams params = ParamsForScale(scaleIndex);
        const double scale = tables::kScale[scaleIndex];
        params.m_faults = {{FaultKind::Splice, 0.3 * scale}, {FaultKind::Water, 0.5 * scale},
                           {FaultKind::Open, 0.8 * scale}};
        const std::vector<uint8_t> bytes = SynthesiseTdr(params);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return name;
}

// The same faults on the physical line model (a lossy line, a mismatched
// source, a receiver with a band limit and AC coupling): the echoes come back
// spread, with tails and multiples. Range 100 + scale index names it.
std::string LineWaveformName(int scaleIndex)
{
    const std::string name = "line" + std::to_string(scaleIndex);
    const std::filesystem::path file = Scratch().Path() / (name + ".tdr");
    if (!std::filesystem::exists(file)) {
        LineParams params = LineParamsFor(ParamsForScale(scaleIndex));
        params.m_dLossDb = 16;
        params.m_dSourceRatio = 1.3;
        params.m_dNoise = 3;
        const double scale = tables::kScale[scaleIndex];
        const double width = tables::kPulse[scaleIndex] * 1e-9;
        params.m_faults = {DefaultLineFault(FaultKind::Splice, 0.3 * scale, params.m_dImpedance, width),
                           DefaultLineFault(FaultKind::Water, 0.5 * scale, params.m_dImpedance, width),
                           DefaultLineFault(FaultKind::Open, 0.8 * scale, params.m_dImpedance, width)};
        const std::vector<uint8_t> bytes = SynthesiseLine(params).m_bytes;
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    return name;
}

std::string NameOf(int64_t range)
{
    return range >= 100 ? LineWaveformName(static_cast<int>(range - 100)) : WaveformName(static_cast<int>(range));
}

void BM_FindEvents(benchmark::State& state)
{
    WaveformRecord record;
    if (!LoadWaveform(record, Scratch().Path(), NameOf(state.range(0)))) {
        state.SkipWithError("the waveform did not load");
        return;
    }
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<LineEvent> events = FindEvents(record, 0);
        found = events.size();
        benchmark::DoNotOptimize(events.data());
    }
    state.counters["events"] = static_cast<double>(found);
}
// 1 km (fine sample step, short pulse) and 128 km (long pulse), each on the
// echo model and on the physical line model (100 + the scale index).
BENCHMARK(BM_FindEvents)->Arg(4)->Arg(11)->Arg(104)->Arg(111);

// Baseline: loading the same file.
void BM_LoadSameWaveform(benchmark::State& state)
{
    const std::string name = NameOf(state.range(0));
    WaveformRecord record;
    for (auto _ : state) {
        const bool loaded = LoadWaveform(record, Scratch().Path(), name);
        benchmark::DoNotOptimize(loaded);
        benchmark::DoNotOptimize(record.m_samples.data());
        if (!loaded) {
            state.SkipWithError("the waveform did not load");
            break;
        }
    }
}
BENCHMARK(BM_LoadSameWaveform)->Arg(4)->Arg(11)->Arg(104)->Arg(111);

} // namespace

BENCHMARK_MAIN();
