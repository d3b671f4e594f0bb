#include "display/FormDraw.h"
#include "display/ReportPage.h"
#include "model/CommandIds.h"
#include "model/LegendText.h"
#include "model/ReportText.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Runs of blanks as one blank, so texts compare whatever spacing a PDF keeps.
QString Squeezed(const QString& text) { return QString(text).replace(QRegularExpression("\\s+"), " "); }

bool IsDark(QRgb pixel) { return qGray(pixel) < 100; }

// A display form of 1000 x 600 on scale 1 km with the cursors at 10 m and 25 m.
class ReportPage : public ::testing::Test
{
protected:
    ReportPage()
        : doc(dir / "param.ini"), form(doc)
    {
        doc.SetScale(4);
        doc.m_dCursor1 = 10;
        doc.m_dCursor2 = 25;
        form.resize(1000, 600);
        form.OnInitialUpdate();
    }
    void SwitchOnM1()
    {
        WaveformRecord& r = doc.m_memory[0];
        r.m_bOn = true;
        r.m_strName = "drum_test";
        r.m_dScale = 1000;
        r.m_dSampleStep = 0.125;
        for (int i = 0; i < 8000; ++i) {
            r.m_samples[static_cast<std::size_t>(i)] = static_cast<int8_t>(i % 200 - 100);
        }
        doc.UpdateAllViews(nullptr, HINT_MEMORY);
    }
    // Prints through the command, the dialog set to write a PDF of that page size.
    std::string PrintPdf(QPageSize::PageSizeId size)
    {
        const QString file = QString::fromStdString((dir / "report.pdf").string());
        form.SetPrintDialog([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setPageSize(QPageSize(size));
            printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
            return true;
        });
        EXPECT_TRUE(form.OnCommand(ID_PRINT));
        return file.toStdString();
    }
    void ExpectPageTexts(const std::string& pdf)
    {
        const QString path = QString::fromStdString(pdf);
        EXPECT_TRUE(RunTool("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString text = Squeezed(RunTool("pdftotext", {"-layout", path, "-"}));
        EXPECT_TRUE(text.contains("Ondalis 5.0"));
        EXPECT_TRUE(text.contains("Internet: www.ondalis.example"));
        // All 17 headings, each whole or fitted to its narrow column ("Wavef...").
        for (const std::string& heading : LegendHeaders(doc.m_bShowHalfVelocity)) {
            const QString h = QString::fromStdString(heading);
            const QRegularExpression fitted(QRegularExpression::escape(h.left(4)) + "\\S*\\.\\.\\.");
            EXPECT_TRUE(h.isEmpty() || text.contains(h) || text.contains(fitted)) << heading;
        }
        for (const std::string& parameter : ReportParameterTexts(doc)) {
            EXPECT_TRUE(text.contains(Squeezed(QString::fromStdString(parameter)))) << parameter;
        }
    }

    TempDir dir;
    CZR815KDoc doc;
    CFormDraw form;
};

TEST_F(ReportPage, GeometryFollowsThePrintableArea)
{
    const ReportGeometry g = ComputeReportGeometry(190, 277);
    EXPECT_EQ(g.right, 760);
    EXPECT_EQ(g.bottomRule, 1080); // 1080.3 truncated
    EXPECT_EQ(g.contactX, 532);
    EXPECT_EQ(g.blockTop, 831);
    EXPECT_EQ(g.secondColumn, 380);
    EXPECT_EQ(g.printableRight, 748); // 748.03 truncated
    // The contact lines keep their place while they fit.
    EXPECT_EQ(ReportContactX(g, 216), 532);
    EXPECT_EQ(ReportContactX(g, 216.5), 531);
    // 3.9 x 203 = 791.7 and 2.8 x 209 = 585.2: truncated, not rounded.
    EXPECT_EQ(ComputeReportGeometry(209, 203).bottomRule, 791);
    EXPECT_EQ(ComputeReportGeometry(209, 203).contactX, 585);
    // The events table: 14 rows fit between the plot and the parameter block
    // of this page; one more and a line says how many were left out. A short
    // page has no room for it.
    EXPECT_EQ(ReportEventRowsShown(g, 14), 14);
    EXPECT_EQ(ReportEventRowsShown(g, 15), 13);
    EXPECT_EQ(ReportEventRowsShown(ComputeReportGeometry(209, 203), 3), 0);
}

TEST_F(ReportPage, A4PdfHasOnePageWithEveryText)
{
    SwitchOnM1();
    const std::string pdf = PrintPdf(QPageSize::A4);
    ExpectPageTexts(pdf);
    EXPECT_TRUE(Squeezed(RunTool("pdftotext", {"-layout", QString::fromStdString(pdf), "-"})).contains("drum_t"));
}

TEST_F(ReportPage, WhileTheEventsAreListedTheReportCarriesTheirTable)
{
    SwitchOnM1();
    doc.m_bEventsListed = true;
    const QString text =
        Squeezed(RunTool("pdftotext", {"-layout", QString::fromStdString(PrintPdf(QPageSize::A4)), "-"}));
    EXPECT_TRUE(text.contains("RL, dB")) << text.toStdString();
    EXPECT_TRUE(text.contains("more events do not fit on the page")) << text.toStdString();
    ExpectPageTexts((dir / "report.pdf").string());
}

TEST_F(ReportPage, LetterPdfWithHalfVelocity)
{
    SwitchOnM1();
    doc.m_bShowHalfVelocity = true;
    doc.m_dFactor = 1.6;
    doc.UpdateAllViews(nullptr, HINT_VELOCITY);
    ExpectPageTexts(PrintPdf(QPageSize::Letter));
}

TEST_F(ReportPage, WithNoChannelThePageStillHasItsFrame)
{
    ExpectPageTexts(PrintPdf(QPageSize::A4));
}

TEST_F(ReportPage, RulesLieWhereTheGeometryPutsThem)
{
    const QString pdf = QString::fromStdString(PrintPdf(QPageSize::A4));
    const QString png = QString::fromStdString((dir / "page").string());
    RunTool("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf, png});
    const QImage page(png + ".png");
    ASSERT_FALSE(page.isNull());
    // At 100 dots per inch one unit is one dot; the printable area starts 10 mm in.
    const double margin = 10 / 25.4 * 100;
    const int x = static_cast<int>(margin) + 400;
    const auto darkNear = [&](double y) {
        for (int dy = -1; dy <= 2; ++dy) {
            if (IsDark(page.pixel(x, static_cast<int>(y) + dy))) {
                return true;
            }
        }
        return false;
    };
    const ReportGeometry g = ComputeReportGeometry(190, 277);
    EXPECT_TRUE(darkNear(margin + kReportTopRule));
    EXPECT_TRUE(darkNear(margin + g.bottomRule));
    // Clear paper a little above the top rule and below the bottom one.
    EXPECT_FALSE(IsDark(page.pixel(x, static_cast<int>(margin + kReportTopRule) - 6)));
    EXPECT_FALSE(IsDark(page.pixel(x, static_cast<int>(margin + g.bottomRule) + 6)));
    // The rules end at 4 x the printable width.
    const int y = static_cast<int>(margin + g.bottomRule);
    bool beyond = false;
    for (int dy = -1; dy <= 2; ++dy) {
        beyond |= IsDark(page.pixel(static_cast<int>(margin) + g.right + 4, y + dy));
    }
    EXPECT_FALSE(beyond);

    // The contact lines (30 and 45 units down) end within the printable width,
    // 190 mm or 748 units; the paper goes on to 210 mm.
    int contactRight = 0;
    for (int py = static_cast<int>(margin) + 25; py < static_cast<int>(margin) + 65; ++py) {
        for (int px = static_cast<int>(margin) + 400; px < page.width(); ++px) {
            contactRight = IsDark(page.pixel(px, py)) ? std::max(contactRight, px) : contactRight;
        }
    }
    EXPECT_GT(contactRight, margin + 600) << "the contact lines are drawn";
    EXPECT_LE(contactRight, margin + 190 / 25.4 * 100);
}

TEST_F(ReportPage, CancellingPrintsNothing)
{
    bool asked = false;
    form.SetPrintDialog([&](QPrinter& printer) {
        asked = true;
        EXPECT_EQ(printer.docName(), "Untitled");
        EXPECT_EQ(printer.fromPage(), 1);
        EXPECT_EQ(printer.toPage(), 1);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((dir / "never.pdf").string()));
        return false;
    });
    EXPECT_TRUE(form.OnCommand(ID_PRINT));
    EXPECT_TRUE(asked);
    EXPECT_FALSE(std::filesystem::exists(dir / "never.pdf"));
    EXPECT_EQ(form.CommandStateOf(ID_PRINT), (CommandState{true, false}));
}

} // namespace
