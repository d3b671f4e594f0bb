#include "display/FormDraw.h"
#include "model/CommandIds.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <cmath>
#include <numeric>

namespace {

// A document with a display form of 1000 x 600, initial update done.
class FormDraw : public ::testing::Test, public CDocView
{
protected:
    FormDraw()
        : doc(dir / "param.ini"), form(doc)
    {
        form.resize(1000, 600);
        form.show();
        form.OnInitialUpdate();
        doc.AddView(this);
    }
    ~FormDraw() override { doc.RemoveView(this); }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }

    // Channel k on, with a recognisable name, samples all `value`.
    void SwitchOn(int k, int8_t value = 0)
    {
        WaveformRecord& r = doc.m_memory[k];
        r.m_bOn = true;
        r.m_strName = "wave" + std::to_string(k + 1);
        r.m_dScale = 1000;
        r.m_dSampleStep = 0.125;
        r.m_samples.fill(value);
        r.m_nMethod = 73;
    }
    QString Cell(int row, int col) { return form.GetLegend().GetItemText(row, col); }
    int TraceValue(int k, int column) { return form.GetPlot().GetLine(CFormDraw::kLineTrace + k)->GetPoint(column).y(); }
    // A left click at data point (column, value) on the plot.
    void ClickPlot(int column, int value)
    {
        CScreenWnd& plot = form.GetPlot();
        const QRect r = plot.GetPlotRect();
        const int x = r.left() + (column * r.width() + r.width() / 2) / 500;
        const int y = r.top() + ((127 - value) * r.height()) / 255;
        QTest::mousePress(&plot, Qt::LeftButton, {}, QPoint(x, y));
        QTest::mouseRelease(&plot, Qt::LeftButton, {}, QPoint(x, y));
    }

    TempDir dir;
    CZR815KDoc doc;
    CFormDraw form;
    std::vector<int> hints;
};

TEST_F(FormDraw, PlotHasItsElevenLinesInOrder)
{
    CScreenWnd& plot = form.GetPlot();
    ASSERT_EQ(plot.GetLineCount(), 11);
    EXPECT_EQ(plot.GetControlId(), 154);
    EXPECT_EQ(plot.GetLine(0)->GetName(), "1");
    EXPECT_EQ(plot.GetLine(1)->GetName(), "2");
    EXPECT_EQ(plot.GetLine(2)->GetName(), "M1");
    EXPECT_EQ(plot.GetLine(4)->GetColor(), QColor(200, 0, 200));
    EXPECT_EQ(plot.GetLine(9)->GetName(), "M1");
    EXPECT_EQ(plot.GetLine(10)->GetName(), "M2");
    EXPECT_EQ(plot.GetLine(7)->GetColor(), QColor(255, 153, 0));
    EXPECT_TRUE(plot.GetLine(0)->IsVisible());
    EXPECT_FALSE(plot.GetLine(2)->IsVisible());
    EXPECT_EQ(plot.GetLine(2)->GetCount(), 500);
}

TEST_F(FormDraw, LegendRowsFollowTheChannelsInOrderWithoutGaps)
{
    EXPECT_EQ(form.GetLegend().GetItemCount(), 0);
    // No rows: the legend takes two rows of 8 pixels and the plot the rest.
    EXPECT_EQ(form.GetPlot().height(), 600 - 16);

    SwitchOn(2);
    SwitchOn(0);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    ASSERT_EQ(form.GetLegend().GetItemCount(), 2);
    EXPECT_EQ(Cell(0, 0), "M1");
    EXPECT_EQ(Cell(1, 0), "M3");
    EXPECT_EQ(Cell(1, 1), "wave3");
    EXPECT_EQ(Cell(0, 12), "pulse");
    const int row = form.GetLegend().GetRowHeight();
    EXPECT_EQ(form.GetPlot().height(), 600 - row * 4);
    EXPECT_EQ(form.GetLegend().y(), 600 - row * 4);

    // Cells in the channel's colour on black.
    const QModelIndex m3 = form.GetLegend().model()->index(1, 5);
    EXPECT_EQ(m3.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(200, 0, 200));
    EXPECT_EQ(m3.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 0, 0));

    doc.m_memory[0].m_nMethod = 99;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(Cell(0, 12), "") << "unknown methods have no text";
}

TEST_F(FormDraw, ColumnWidthsAddUpToTheFormWidthWithRlAndMarkers)
{
    const auto total = [&] {
        int sum = 0;
        for (int c = 0; c < 17; ++c) {
            sum += form.GetLegend().GetColumnWidth(c);
        }
        return sum;
    };
    EXPECT_EQ(total(), 1000);
    EXPECT_EQ(form.GetLegend().GetColumnWidth(9), 0);
    doc.m_bReturnLoss = true;
    doc.UpdateAllViews(nullptr, HINT_RETURN_LOSS);
    EXPECT_EQ(form.GetLegend().GetColumnWidth(9), 75);
    EXPECT_EQ(total(), 1000);
    doc.m_bShowMarkers = true;
    doc.UpdateAllViews(nullptr, HINT_MARKERS);
    EXPECT_EQ(form.GetLegend().GetColumnWidth(10), 100);
    EXPECT_EQ(form.GetLegend().GetColumnWidth(11), 100);
    EXPECT_EQ(total(), 1000);
    form.resize(1200, 600);
    EXPECT_EQ(total(), 1200);
}

TEST_F(FormDraw, TracesCursorsAndReturnLoss)
{
    SwitchOn(0, 0);
    doc.m_memory[0].m_samples[160] = 64; // column 10 at 1 km: 16 samples a column
    doc.m_memory[0].m_samples[320] = 32; // column 20
    doc.m_memory[0].m_nShift = 100;
    doc.SetScale(4);
    doc.m_dCursor1 = 20;
    doc.m_dCursor2 = 40;
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(TraceValue(0, 10), 127) << "sample plus shift is held to 127";
    EXPECT_EQ(TraceValue(0, 11), 100);
    EXPECT_EQ(doc.m_memory[0].m_nValueC1, 64);
    EXPECT_EQ(doc.m_memory[0].m_nValueC2, 32);
    EXPECT_EQ(Cell(0, 9), "6");
    EXPECT_EQ(form.GetPlot().GetLine(0)->GetPoint(0), QPoint(10, 127));
    EXPECT_EQ(form.GetPlot().GetLine(0)->GetPoint(1), QPoint(10, -128));
    EXPECT_EQ(form.GetPlot().GetLine(1)->GetPoint(0).x(), 20);

    doc.m_memory[0].m_samples[160] = -1; // 0xFF under C1 reads 255, an amplitude of 0 counts as 1
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(doc.m_memory[0].m_nValueC1, 255);
    EXPECT_EQ(Cell(0, 9), "-30");
}

TEST_F(FormDraw, CursorAndMarkerLinesSitAtTheNearestColumnEdge)
{
    SwitchOn(0);
    doc.SetScale(4); // 2 m columns
    doc.m_bShowMarkers = true;
    doc.m_dCursor1 = 21.2; // 10.6 columns
    doc.m_dCursor2 = 20.8; // 10.4 columns
    doc.m_memory[0].m_dMarker1 = 41.2;
    doc.m_memory[0].m_dMarker2 = 40.8;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    CScreenWnd& plot = form.GetPlot();
    EXPECT_EQ(plot.GetLine(CFormDraw::kLineCursor1)->GetPoint(0).x(), 11);
    EXPECT_EQ(plot.GetLine(CFormDraw::kLineCursor2)->GetPoint(0).x(), 10);
    EXPECT_EQ(plot.GetLine(CFormDraw::kLineMarker)->GetPoint(0).x(), 21);
    EXPECT_EQ(plot.GetLine(CFormDraw::kLineMarker + 1)->GetPoint(0).x(), 20);
}

TEST_F(FormDraw, PositionsFarBeyondTheWindowDrawOutsideThePlotAndReadNoByte)
{
    SwitchOn(0, 9);
    doc.SetScale(4); // 2 m columns
    doc.m_bShowMarkers = true;
    CScreenWnd& plot = form.GetPlot();
    // Pixels of a cursor's colour in the rendered plot.
    const auto cursorPixels = [&](const Colour& c) {
        QImage image(plot.size(), QImage::Format_RGB32);
        image.fill(QColor(1, 2, 3));
        QPainter painter(&image);
        plot.DrawScreen(painter);
        painter.end();
        const QRgb colour = QColor(c.r, c.g, c.b).rgb();
        int count = 0;
        for (int py = 0; py < image.height(); ++py) {
            for (int px = 0; px < image.width(); ++px) {
                count += image.pixel(px, py) == colour ? 1 : 0;
            }
        }
        return count;
    };
    doc.m_dCursor1 = 200;
    doc.m_dCursor2 = 400;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    ASSERT_GT(cursorPixels(doc.m_crCursor1), 0);
    ASSERT_GT(cursorPixels(doc.m_crCursor2), 0);

    doc.m_memory[0].m_nValueC1 = 77;
    doc.m_memory[0].m_nValueC2 = 78;
    doc.m_dCursor1 = 1e300;
    doc.m_dCursor2 = 2 * (4294967296.0 + 10); // 2^32 + 10 columns: column 10 if cut to 32 bits
    doc.m_memory[0].m_dMarker1 = std::nan("");
    doc.m_memory[0].m_dMarker2 = -1e300;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);

    const auto x = [&](int line) { return plot.GetLine(line)->GetPoint(0).x(); };
    EXPECT_GT(x(CFormDraw::kLineCursor1), 500) << "far right stays on the right";
    EXPECT_GT(x(CFormDraw::kLineCursor2), 500);
    EXPECT_LT(x(CFormDraw::kLineMarker), 0) << "NaN lies outside the plot";
    EXPECT_LT(x(CFormDraw::kLineMarker + 1), 0);
    EXPECT_EQ(doc.m_memory[0].m_nValueC1, 77) << "no byte lies under a cursor outside the window";
    EXPECT_EQ(doc.m_memory[0].m_nValueC2, 78);
    EXPECT_EQ(cursorPixels(doc.m_crCursor1), 0);
    EXPECT_EQ(cursorPixels(doc.m_crCursor2), 0);
}

TEST_F(FormDraw, CursorStepsOffTheColumnGridReadTheByteUnderTheirLine)
{
    // Zoomed in on 93.777 m the window starts at 31.277 m, a fraction of a
    // column off the grid, so cursors stepped onto a column edge divide out a
    // hair short of it.
    SwitchOn(0);
    for (std::size_t k = 0; k < doc.m_memory[0].m_samples.size(); ++k) {
        doc.m_memory[0].m_samples[k] = static_cast<int8_t>(k / 2 % 100); // every column its own byte
    }
    doc.SetScale(4);
    doc.m_dCursor1 = 93.777;
    doc.SetZoom(3); // columns of 0.25 m, two samples each
    doc.m_nMouseMode = MOUSE_CURSOR1;
    doc.SetCursorColumn(doc.m_dCursor1, 0);
    for (int i = 0; i < 387; ++i) {
        ASSERT_TRUE(ApplyPlotWheel(doc, 120));
    }
    EXPECT_EQ(form.GetPlot().GetLine(0)->GetPoint(0).x(), 387);
    EXPECT_EQ(doc.m_memory[0].m_nValueC1, static_cast<uint8_t>(doc.m_memory[0].m_displayMain[387]));
    EXPECT_NE(doc.m_memory[0].m_displayMain[387], doc.m_memory[0].m_displayMain[386]);
}

TEST_F(FormDraw, VelocityHintChangesOnlyTheLegend)
{
    SwitchOn(1, 5);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(Cell(0, 4), "1.500");
    doc.m_memory[1].m_samples.fill(40); // would change the trace if it were recomputed
    doc.m_bShowHalfVelocity = true;
    doc.UpdateAllViews(nullptr, HINT_VELOCITY);
    EXPECT_EQ(form.GetLegend().GetColumnHeading(4), "V/2");
    EXPECT_EQ(Cell(0, 4), "100.0");
    EXPECT_EQ(TraceValue(1, 3), 5);
}

TEST_F(FormDraw, LegendToggleGivesThePlotTheWholeForm)
{
    SwitchOn(0);
    doc.UpdateAllViews(nullptr, HINT_MEMORY);
    hints.clear();
    ASSERT_TRUE(form.OnCommand(ID_LEGEND));
    EXPECT_EQ(hints, std::vector<int>{HINT_MEMORY});
    EXPECT_FALSE(form.CommandStateOf(ID_LEGEND)->checked);
    EXPECT_EQ(form.GetPlot().height(), 600);
    form.resize(900, 500);
    EXPECT_EQ(form.GetPlot().geometry(), QRect(0, 0, 900, 500));
    form.OnCommand(ID_LEGEND);
    EXPECT_EQ(form.GetPlot().height(), 500 - form.GetLegend().GetRowHeight() * 3);
}

TEST_F(FormDraw, ClicksByMouseMode)
{
    doc.SetScale(4);
    doc.m_pZoomAnchor = &doc.m_dCursor2;
    hints.clear();
    ClickPlot(100, 0);
    EXPECT_DOUBLE_EQ(doc.m_dCursor2, 200) << "mode 0 with anchor C2 moves C2";
    EXPECT_EQ(doc.m_dCursor1, 0);
    EXPECT_EQ(hints, std::vector<int>{HINT_REDRAW});

    doc.m_nMouseMode = MOUSE_SHIFT_M1;
    CScreenWnd& plot = form.GetPlot();
    const QRect r = plot.GetPlotRect();
    QTest::mousePress(&plot, Qt::LeftButton, {}, QPoint(r.left() + 10, r.top()));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, QPoint(r.left() + 10, r.top()));
    EXPECT_EQ(doc.m_memory[0].m_nShift, 127) << "the top row sets 127, M1 off or not";

    doc.m_nMouseMode = 3;
    hints.clear();
    ClickPlot(300, 0);
    EXPECT_DOUBLE_EQ(doc.m_dCursor2, 200);
    EXPECT_EQ(doc.m_memory[0].m_nShift, 127);
}

TEST_F(FormDraw, WheelNotchesAndTouchpadDeltas)
{
    hints.clear();
    form.WheelTurned(120);
    EXPECT_TRUE(hints.empty()) << "no zoom at 62.5 m, no update";

    doc.SetScale(4);
    hints.clear();
    form.WheelTurned(120);
    EXPECT_EQ(doc.m_nZoom, 1);
    for (int i = 0; i < 4; ++i) {
        form.WheelTurned(-30);
    }
    EXPECT_EQ(doc.m_nZoom, 0) << "fine deltas add up to one notch down";
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW, HINT_REDRAW}));
}

TEST_F(FormDraw, KeysOnTheFocusedPlotMoveCursorsAndTellTheScreenReader)
{
    doc.SetScale(4); // 1000 m, 2 m columns
    CScreenWnd& plot = form.GetPlot();
    plot.setFocus();
    EXPECT_EQ(plot.focusPolicy(), Qt::StrongFocus);
    doc.m_nMouseMode = MOUSE_CURSOR1;
    QTest::keyClick(&plot, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(doc.m_dCursor1, 20);
    // Tab stays on the plot and makes C2 the active cursor.
    QTest::keyClick(&plot, Qt::Key_Tab);
    EXPECT_EQ(doc.m_nMouseMode, MOUSE_CURSOR2);
    QTest::keyClick(&plot, Qt::Key_End);
    EXPECT_EQ(doc.m_dCursor2, 1000);
    EXPECT_EQ(plot.accessibleDescription(), "C1 20.000 m, C2 1000.000 m, L 980.000 m");
    QTest::keyClick(&plot, Qt::Key_Plus);
    EXPECT_EQ(doc.m_nZoom, 1);
}

TEST_F(FormDraw, ContextMenuChecksTheModeAndGreysChannelsThatAreOff)
{
    SwitchOn(0);
    doc.m_nMouseMode = MOUSE_SHIFT_M2;
    std::unique_ptr<QMenu> menu(form.CreateContextMenu(nullptr));
    QStringList texts;
    QAction* memory2 = nullptr;
    QAction* memory1 = nullptr;
    for (QAction* a : menu->actions()) {
        texts << (a->isSeparator() ? "-" : a->text());
        if (a->text() == "Memory 2") memory2 = a;
        if (a->text() == "Memory 1") memory1 = a;
    }
    EXPECT_EQ(texts, (QStringList{"Zoom", "-", "Cursor 1", "Cursor 2", "-", "Memory 1", "Memory 2", "Memory 3"}));
    ASSERT_TRUE(memory2 && memory1);
    EXPECT_TRUE(memory2->isChecked());
    EXPECT_FALSE(memory2->isEnabled()) << "checked and grey";
    EXPECT_TRUE(memory1->isEnabled());
    memory1->trigger();
    EXPECT_EQ(doc.m_nMouseMode, MOUSE_SHIFT_M1) << "the choice reaches the document";

    doc.m_nMouseMode = 4;
    menu.reset(form.CreateContextMenu(nullptr));
    for (QAction* a : menu->actions()) {
        EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    }
}

TEST(FormDrawSettings, SaveKeyIsWrittenBackUnchanged)
{
    TempDir dir;
    dir.WriteFile("param.ini", "[KLM-204]\nSAVE=/data/отчёты/\n");
    {
        CZR815KDoc doc(dir / "param.ini");
        CFormDraw form(doc);
        EXPECT_EQ(form.GetSaveFolder(), "/data/отчёты/");
        form.OnUpdate(nullptr, HINT_MEMORY); // ignored before the initial update
        EXPECT_FALSE(form.IsReady());
    }
    EXPECT_NE(dir.ReadFile("param.ini").find("SAVE=/data/отчёты/"), std::string::npos);
}

} // namespace
