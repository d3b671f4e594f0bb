// Cost of one repaint of the plot widget at 1600 x 900: the cached grid, three
// 500-column traces and the two cursor lines. The baseline is the least work
// any repaint does, copying the cached grid with every line hidden. A third
// case shows what a grid rebuild (size, style or label change) adds.
#include "display/ScreenWnd.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "support/QtBenchMain.h"
#include <benchmark/benchmark.h>

#include <clocale>
#include <cmath>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 900;

// A plot set up as the display form sets its own: cursors at indexes 0 and 1,
// three traces after them, host ranges and labels.
void Configure(CScreenWnd& plot, bool bLinesVisible)
{
    plot.resize(kWidth, kHeight);
    plot.SetStyle(CScreenWnd::StyleGrid | CScreenWnd::StyleXLabels | CScreenWnd::StyleYLabels);
    plot.SetYRange(-128, 127, 255);
    plot.SetXRange(0, 500, 500);
    plot.SetYLabels(-128, 127);
    plot.SetXLabels(0, 1000);
    plot.SetApproximation(false);

    const int state =
        bLinesVisible ? (CArrPoints::StateVisible | CArrPoints::StateLabel) : CArrPoints::StateHidden;
    plot.AddLine(QColor(0, 255, 0), 2, "1");
    plot.AddLine(QColor(0, 128, 255), 2, "2");
    for (int i = 0; i < 2; ++i) {
        CArrPoints* cursor = plot.GetLine(i);
        cursor->SetPoint(0, 150 + 200 * i, 127);
        cursor->SetPoint(1, 150 + 200 * i, -128);
        cursor->SetState(state);
    }
    const QColor colors[3] = {QColor(200, 0, 0), QColor(255, 153, 0), QColor(200, 0, 200)};
    for (int k = 0; k < 3; ++k) {
        plot.AddLine(colors[k], 500, QString("M%1").arg(k + 1));
        CArrPoints* trace = plot.GetLine(2 + k);
        for (int i = 0; i < 500; ++i) {
            const double v = 100 * std::sin(i * 0.05 + k) * std::exp(-i / 300.0);
            trace->SetPoint(i, i, CScreenWnd::ClampValue(int(v) + 20 * k, 127, -128));
        }
        trace->SetState(state);
    }
}

void RunRepaint(benchmark::State& state, bool bLinesVisible)
{
    CScreenWnd plot;
    Configure(plot, bLinesVisible);
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter warm(&target); // builds the grid cache outside the loop
        plot.DrawScreen(warm);
    }
    for (auto _ : state) {
        QPainter painter(&target);
        plot.DrawScreen(painter);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_RepaintGridOnly(benchmark::State& state)
{
    RunRepaint(state, false);
}
BENCHMARK(BM_RepaintGridOnly)->Unit(benchmark::kMicrosecond);

void BM_RepaintTracesAndCursors(benchmark::State& state)
{
    RunRepaint(state, true);
}
BENCHMARK(BM_RepaintTracesAndCursors)->Unit(benchmark::kMicrosecond);

void BM_RepaintWithGridRebuild(benchmark::State& state)
{
    CScreenWnd plot;
    Configure(plot, true);
    QImage target(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    bool bToggle = false;
    for (auto _ : state) {
        bToggle = !bToggle;
        plot.SetXLabels(0, bToggle ? 1000 : 999); // a label change invalidates the cache
        QPainter painter(&target);
        plot.DrawScreen(painter);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_RepaintWithGridRebuild)->Unit(benchmark::kMicrosecond);

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
