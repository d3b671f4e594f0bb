// Start-up of the main window: the document read from its settings, the frame
// with its six panes, three channels loaded and the first frame painted
// offscreen; beside it the least work that shows a window: an empty main window
// painted once.
#include "model/ZR815KDoc.h"
#include "shell/MainFrame.h"
#include "support/ScratchFolder.h"
#include "tdrsynth/Synth.h"

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include "support/QtBenchMain.h"
#include <benchmark/benchmark.h>
#include <fstream>

namespace {

const char* const kNames[3] = {"a", "b", "c"};

void WriteSamples()
{
    for (int k = 0; k < 3; ++k) {
        SynthParams params = ParamsForScale(4 + k);
        params.m_nSeed = static_cast<uint64_t>(k + 1);
        const std::vector<uint8_t> bytes = SynthesiseTdr(params);
        std::ofstream out(Scratch().Path() / (std::string(kNames[k]) + ".tdr"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

void BM_StartMainWindow(benchmark::State& state)
{
    WriteSamples();
    const std::string folder = Scratch().Path().string() + "/";
    for (auto _ : state) {
        CZR815KDoc doc(Scratch().Path() / "param.ini");
        CMainFrame frame(doc);
        frame.resize(1600, 1000);
        frame.InitialUpdate();
        for (int k = 0; k < 3; ++k) {
            doc.m_memory[k].m_bOn = LoadWaveform(doc.m_memory[k], folder, kNames[k]);
        }
        doc.UpdateAllViews(nullptr, HINT_MEMORY);
        const QImage picture = frame.grab().toImage();
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_StartMainWindow)->Unit(benchmark::kMillisecond);

void BM_StartEmptyWindow(benchmark::State& state)
{
    for (auto _ : state) {
        QMainWindow window;
        window.resize(1600, 1000);
        const QImage picture = window.grab().toImage();
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_StartEmptyWindow)->Unit(benchmark::kMillisecond);

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
