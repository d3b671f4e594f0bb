// One document update round of the display form with three channels on:
// columns picked, polylines filled, legend refilled. Beside it the least work
// behind it: picking the columns of the three channels alone.
#include "display/FormDraw.h"
#include "model/ZR815KDoc.h"
#include "support/ScratchFolder.h"
#include "tdrsynth/Synth.h"

#include <QApplication>
#include "support/QtBenchMain.h"
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

// A document with three synthetic channels at scale 4 km, zoom 1.
void Fill(CZR815KDoc& doc)
{
    for (int k = 0; k < 3; ++k) {
        SynthParams params = ParamsForScale(5 + k);
        params.m_nSeed = static_cast<uint64_t>(k + 7);
        const std::vector<uint8_t> bytes = SynthesiseTdr(params);
        DecodeWaveform(doc.m_memory[k], bytes);
        doc.m_memory[k].m_bOn = true;
        doc.m_memory[k].m_strName = "channel " + std::to_string(k + 1);
    }
    doc.SetScale(6);
    doc.m_dCursor1 = 1000;
    doc.m_dCursor2 = 2500;
    doc.SetZoom(1);
}

void BM_FormUpdateRound(benchmark::State& state)
{
    CZR815KDoc doc(Scratch().Path() / "param.ini");
    CFormDraw form(doc);
    form.resize(1600, 900);
    form.OnInitialUpdate();
    Fill(doc);
    for (auto _ : state) {
        form.OnUpdate(nullptr, HINT_REDRAW);
    }
}
BENCHMARK(BM_FormUpdateRound)->Unit(benchmark::kMicrosecond);

void BM_PickColumnsOnly(benchmark::State& state)
{
    CZR815KDoc doc(Scratch().Path() / "param.ini");
    Fill(doc);
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    for (auto _ : state) {
        for (WaveformRecord& record : doc.m_memory) {
            doc.PickColumns(record, left, doc.WindowWidth(), record.m_displayMain);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PickColumnsOnly)->Unit(benchmark::kMicrosecond);

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
