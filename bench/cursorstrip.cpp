// One wheel step on the C1 field of the cursor strip, through to every pane of
// the main window updated (the document's update round, no painting), beside
// the display form's update round alone: the part of the round that any
// change of the picture costs anyway.
#include "controls/FormSet.h"
#include "controls/HSpin.h"
#include "display/FormDraw.h"
#include "model/ZR815KDoc.h"
#include "shell/MainFrame.h"
#include "support/QtBenchMain.h"
#include "support/ScratchFolder.h"
#include "support/ThreeChannels.h"

#include <QApplication>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

namespace {

void Wheel(QWidget* widget, int delta)
{
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(local, local, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

void BM_C1WheelStepAllPanes(benchmark::State& state)
{
    CZR815KDoc doc(Scratch().Path() / "param.ini");
    CMainFrame frame(doc);
    frame.resize(1600, 1000);
    frame.InitialUpdate();
    SetUpThreeChannelScene(doc, 11);
    CHSpin* c1 = frame.findChild<CFormSet*>()->GetCursorField(0);
    int step = 0;
    for (auto _ : state) {
        // Up and down in turn, so C1 stays inside the window.
        Wheel(c1, (step++ & 1) != 0 ? -120 : 120);
    }
    state.counters["C1"] = doc.m_dCursor1;
}
BENCHMARK(BM_C1WheelStepAllPanes)->Unit(benchmark::kMicrosecond);

void BM_DisplayFormRoundOnly(benchmark::State& state)
{
    CZR815KDoc doc(Scratch().Path() / "param.ini");
    CFormDraw form(doc);
    form.resize(1240, 800);
    form.OnInitialUpdate();
    SetUpThreeChannelScene(doc, 11);
    for (auto _ : state) {
        form.OnUpdate(nullptr, HINT_REDRAW);
    }
}
BENCHMARK(BM_DisplayFormRoundOnly)->Unit(benchmark::kMicrosecond);

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
