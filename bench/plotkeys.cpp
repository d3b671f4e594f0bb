// One Right or Left arrow on the focused plot, through to every pane of the
// main window updated (no painting), beside one wheel notch over the plot in
// the same mouse mode: the keyboard's step should cost what the wheel's does.
#include "display/FormDraw.h"
#include "model/ZR815KDoc.h"
#include "shell/MainFrame.h"
#include "support/QtBenchMain.h"
#include "support/ScratchFolder.h"
#include "support/ThreeChannels.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

namespace {

struct Scene
{
    Scene()
        : doc(Scratch().Path() / "param.ini"), frame(doc)
    {
        frame.resize(1600, 1000);
        frame.InitialUpdate();
        SetUpThreeChannelScene(doc, 11);
        doc.m_nMouseMode = MOUSE_CURSOR1;
        doc.m_dCursor1 = doc.m_dScale / 2;
    }
    CScreenWnd& Plot() { return frame.GetDisplayForm()->GetPlot(); }

    CZR815KDoc doc;
    CMainFrame frame;
};

void BM_PlotArrowStepAllPanes(benchmark::State& state)
{
    Scene scene;
    int step = 0;
    for (auto _ : state) {
        // Right and left in turn, so C1 stays inside the window.
        QKeyEvent key(QEvent::KeyPress, (step++ & 1) != 0 ? Qt::Key_Left : Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(&scene.Plot(), &key);
    }
    state.counters["C1"] = scene.doc.m_dCursor1;
}
BENCHMARK(BM_PlotArrowStepAllPanes)->Unit(benchmark::kMicrosecond);

void BM_PlotWheelStepAllPanes(benchmark::State& state)
{
    Scene scene;
    CScreenWnd& plot = scene.Plot();
    const QPointF local(plot.width() / 2.0, plot.height() / 2.0);
    int step = 0;
    for (auto _ : state) {
        QWheelEvent wheel(local, local, QPoint(), QPoint(0, (step++ & 1) != 0 ? -120 : 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&plot, &wheel);
    }
    state.counters["C1"] = scene.doc.m_dCursor1;
}
BENCHMARK(BM_PlotWheelStepAllPanes)->Unit(benchmark::kMicrosecond);

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
