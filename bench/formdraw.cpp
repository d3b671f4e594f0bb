// One document update round of the display form with three channels on:
// columns picked, polylines filled, legend refilled. Beside it the least work
// behind it: picking the columns of the three channels alone.
#include "display/FormDraw.h"
#include "model/ZR815KDoc.h"
#include "support/ScratchFolder.h"
#include "support/ThreeChannels.h"

#include <QApplication>
#include "support/QtBenchMain.h"
#include <benchmark/benchmark.h>
#include <cstring>

namespace {

void BM_FormUpdateRound(benchmark::State& state)
{
    CZR815KDoc doc(Scratch().Path() / "param.ini");
    CFormDraw form(doc);
    form.resize(1600, 900);
    form.OnInitialUpdate();
    SetUpThreeChannelScene(doc, 7);
    for (auto _ : state) {
        form.OnUpdate(nullptr, HINT_REDRAW);
    }
}
BENCHMARK(BM_FormUpdateRound)->Unit(benchmark::kMicrosecond);

void BM_PickColumnsOnly(benchmark::State& state)
{
    CZR815KDoc doc(Scratch().Path() / "param.ini");
    SetUpThreeChannelScene(doc, 7);
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
