// The printed report: the whole page (rules, title, contact lines, parameter
// block, 17-column legend and the plot) written as a one-page PDF at 300 dots
// per inch, beside its largest part alone: the plot's print drawing into an
// image of the size it takes on that page.
#include "display/FormDraw.h"
#include "display/ScreenWnd.h"
#include "model/ZR815KDoc.h"
#include "support/QtBenchMain.h"
#include "support/ScratchFolder.h"
#include "support/ThreeChannels.h"

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kDotsPerInch = 300;

struct ReportSetup
{
    ReportSetup()
        : doc(Scratch().Path() / "param.ini"), form(doc)
    {
        form.resize(1600, 900);
        form.OnInitialUpdate();
        SetUpThreeChannelScene(doc, 3);
    }
    CZR815KDoc doc;
    CFormDraw form;
};

void BM_ReportPageToPdf(benchmark::State& state)
{
    ReportSetup setup;
    const QString file = QString::fromStdString((Scratch().Path() / "report.pdf").string());
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(kDotsPerInch);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::A4));
        setup.form.PrintReport(printer);
    }
}
BENCHMARK(BM_ReportPageToPdf)->Unit(benchmark::kMillisecond);

void BM_PlotAloneToImage(benchmark::State& state)
{
    ReportSetup setup;
    // The plot's printed rectangle on an A4 page with 10 mm margins, in dots.
    const int widthMm = 190;
    const QRect units = CScreenWnd::PrintTargetRect(widthMm);
    QImage image(units.width() * kDotsPerInch / 100, units.height() * kDotsPerInch / 100, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(kDotsPerInch / 100.0, kDotsPerInch / 100.0);
        setup.form.GetPlot().DrawPrint(painter, widthMm);
    }
}
BENCHMARK(BM_PlotAloneToImage)->Unit(benchmark::kMillisecond);

} // namespace

ONDALIS_QT_BENCHMARK_MAIN()
