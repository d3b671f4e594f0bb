#include "display/FormDraw.h"
#include "display/ReportPage.h"
#include "model/CommandIds.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// A display form of 1000 x 600 on the 1 km scale with M1 and M2 on: M2 is M1
// with a step added from 400 m on, as a fault would add it.
class DifferenceMode : public ::testing::Test
{
protected:
    DifferenceMode()
        : doc(dir / "param.ini"), form(doc)
    {
        form.resize(1000, 600);
        form.show();
        form.OnInitialUpdate();
        doc.SetScale(4);
        for (int k = 0; k < 2; ++k) {
            WaveformRecord& r = doc.m_memory[k];
            r.m_bOn = true;
            r.m_strName = "line" + std::to_string(k + 1);
            r.m_dScale = 1000;
            r.m_dSampleStep = 0.125;
            for (std::size_t i = 0; i < kTdrSampleCount; ++i) {
                r.m_samples[i] = static_cast<int8_t>(static_cast<int>(i / 16 % 120) - 60);
                if (k == 1 && i >= 3200) {
                    r.m_samples[i] = static_cast<int8_t>(r.m_samples[i] - 50);
                }
            }
        }
        doc.m_memory[0].m_nShift = 7;
        doc.m_memory[1].m_nShift = -20;
        doc.UpdateAllViews(nullptr, HINT_MEMORY);
    }
    int TraceValue(int k, int column)
    {
        return form.GetPlot().GetLine(CFormDraw::kLineTrace + k)->GetPoint(column).y();
    }
    QImage Screen()
    {
        QImage image(form.GetPlot().size(), QImage::Format_RGB32);
        image.fill(QColor(1, 2, 3));
        QPainter painter(&image);
        form.GetPlot().DrawScreen(painter);
        return image;
    }
    QImage Report()
    {
        QImage page(850, 1100, QImage::Format_RGB32);
        page.setDotsPerMeterX(3937); // 100 dots per inch: one report unit a dot
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        QPainter painter(&page);
        DrawReportPage(painter, QSizeF(210, 297), doc, form.GetLegend(), form.GetPlot());
        return page;
    }
    void SetDifference(bool on, int reference)
    {
        doc.m_bDifference = on;
        doc.m_nReference = reference;
        doc.UpdateAllViews(nullptr, HINT_REDRAW);
    }

    TempDir dir;
    CZR815KDoc doc;
    CFormDraw form;
};

TEST_F(DifferenceMode, OnTheOtherChannelIsTheReferenceMinusItAndItsShiftCellReadsDelta)
{
    // Columns are 2 m: column 100 is sample 1600 (before the step), column 300 sample 4800.
    SetDifference(true, 0);
    EXPECT_EQ(TraceValue(0, 100), doc.m_memory[0].m_samples[1600] + 7) << "the reference as it is";
    EXPECT_EQ(TraceValue(1, 100), 0) << "before the fault the recordings agree";
    EXPECT_EQ(TraceValue(1, 300), 50) << "past it the difference is the step";
    EXPECT_EQ(form.GetLegend().GetItemText(0, 8), "7");
    EXPECT_EQ(form.GetLegend().GetItemText(1, 8), QString::fromUtf8("\u0394"));

    SetDifference(true, 1);
    EXPECT_EQ(TraceValue(0, 300), -50);
    EXPECT_EQ(TraceValue(1, 300), doc.m_memory[1].m_samples[4800] - 20);
    EXPECT_EQ(form.GetLegend().GetItemText(0, 8), QString::fromUtf8("\u0394"));
    EXPECT_EQ(form.GetLegend().GetItemText(1, 8), "-20");

    // The reference held by a zoomed window too: the columns are picked first.
    doc.m_dCursor1 = 500;
    doc.SetZoom(3);
    EXPECT_EQ(TraceValue(0, 0), -50);
}

TEST_F(DifferenceMode, OffThePictureIsExactlyAsBefore)
{
    const QImage before = Screen();
    const QImage reportBefore = Report();
    const std::array<int, 2> values = {TraceValue(0, 300), TraceValue(1, 300)};
    EXPECT_EQ(values[1], doc.m_memory[1].m_samples[4800] - 20);

    SetDifference(true, 0);
    EXPECT_NE(Screen(), before);
    EXPECT_NE(Report(), reportBefore) << "the report shows the difference too";

    // Off again, with any reference: the same pixels as before, on the screen and on paper.
    for (int reference : {0, 1, 2}) {
        SetDifference(false, reference);
        EXPECT_EQ(Screen(), before) << reference;
        EXPECT_EQ(Report(), reportBefore) << reference;
        EXPECT_EQ(TraceValue(0, 300), values[0]);
        EXPECT_EQ(TraceValue(1, 300), values[1]);
        EXPECT_EQ(form.GetLegend().GetItemText(1, 8), "-20");
    }
}

TEST_F(DifferenceMode, ThePrintedLegendReadsDelta)
{
    SetDifference(true, 0);
    const QString file = QString::fromStdString((dir / "report.pdf").string());
    form.SetPrintDialog([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    });
    form.OnCommand(ID_PRINT);
    QProcess text;
    text.start("pdftotext", {"-layout", file, "-"});
    text.waitForFinished(30000);
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QString::fromUtf8("\u0394"))) << printed.toStdString();
}

} // namespace
