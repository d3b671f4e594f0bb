#include "display/FormDraw.h"
#include "library/EventsPage.h"
#include "library/FormMemory.h"
#include "library/SiteGridPage.h"
#include "model/CommandIds.h"
#include "model/ZR815KDoc.h"
#include "support/LineEvents.h"
#include "support/TempDir.h"

#include <QPainter>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

// The display form and the library panel on one document, M1 and M2 on, with
// a finder that answers by the recording's first sample: two events on M1, one on M2.
class EventsPage : public ::testing::Test
{
protected:
    EventsPage()
    {
        settings.WriteFile("param.ini", "[KLM-204]\nOPEN=" + (settings / "").string() + "\n");
        doc = std::make_unique<CZR815KDoc>(settings / "param.ini");
        draw = std::make_unique<CFormDraw>(*doc);
        draw->resize(1000, 600);
        draw->show();
        draw->OnInitialUpdate();
        memory = std::make_unique<CFormMemory>(*doc);
        memory->resize(1000, 300);
        memory->show();
        memory->OnInitialUpdate();
        memory->GetEventsPage().SetFinder([this](const WaveformRecord& r, double) {
            ++runs;
            if (r.m_samples[0] == 1) {
                return std::vector<LineEvent>{MakeLineEvent(1, 10, LineEventKind::Splice, -12, 21.04),
                                              MakeLineEvent(2, 40, LineEventKind::Open, 57, 3.26)};
            }
            return std::vector<LineEvent>{MakeLineEvent(1, 20, LineEventKind::Short, -90, 0.5)};
        });
        for (int k = 0; k < 2; ++k) {
            WaveformRecord& r = doc->m_memory[k];
            r.m_bOn = true;
            r.m_strName = "line" + std::to_string(k + 1);
            r.m_dSampleStep = 0.125;
            r.m_samples[0] = static_cast<int8_t>(k + 1);
        }
        doc->UpdateAllViews(nullptr, HINT_MEMORY);
    }
    ~EventsPage() override
    {
        memory.reset();
        draw.reset();
        doc.reset();
    }
    CReportCtrl& List() { return memory->GetEventsPage().GetList(); }
    QString Cell(int row, int column) { return List().GetItemText(row, column); }
    void ClickRow(int row)
    {
        const QRect cell = List().visualRect(List().model()->index(row, 2));
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, cell.center());
    }
    // Pixels of a colour in the band where the event triangles sit, over a column.
    int MarkPixels(int column, const Colour& c)
    {
        CScreenWnd& plot = draw->GetPlot();
        QImage image(plot.size(), QImage::Format_RGB32);
        image.fill(QColor(1, 2, 3));
        QPainter painter(&image);
        plot.DrawScreen(painter);
        painter.end();
        const QRect r = plot.GetPlotRect();
        const int x = CScreenWnd::MapToPixel(QPoint(column, 127), r, 0, 127, 500, 255).x();
        int count = 0;
        for (int y = r.top(); y <= r.top() + CScreenWnd::kEventMarkHeight; ++y) {
            for (int dx = -CScreenWnd::kEventMarkHalfWidth; dx <= CScreenWnd::kEventMarkHalfWidth; ++dx) {
                count += image.pixel(x + dx, y) == QColor(c.r, c.g, c.b).rgb() ? 1 : 0;
            }
        }
        return count;
    }

    TempDir settings;
    std::unique_ptr<CZR815KDoc> doc;
    std::unique_ptr<CFormDraw> draw;
    std::unique_ptr<CFormMemory> memory;
    int runs = 0;
};

TEST_F(EventsPage, TheThirdTabListsTheEventsOfEveryChannelThatIsOn)
{
    ASSERT_EQ(memory->GetTabBar()->count(), 3);
    EXPECT_EQ(memory->GetTabBar()->tabText(2), "Events");
    EXPECT_FALSE(List().isVisible());
    EXPECT_EQ(runs, 0) << "nothing is searched while the list is hidden";

    memory->GetTabBar()->setCurrentIndex(2);
    EXPECT_EQ(memory->GetPage(), 2);
    EXPECT_TRUE(List().isVisible());
    EXPECT_FALSE(memory->GetList().isVisible());
    EXPECT_FALSE(memory->GetSiteGridPage().IsShown());
    EXPECT_EQ(List().accessibleName(), "Events");
    ASSERT_EQ(List().GetItemCount(), 3);
    const char* headings[] = {"Channel", "No.", "Distance, m", "Kind", "Amplitude", "RL, dB"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(List().GetColumnHeading(c), headings[c]);
    }
    const QStringList first = {"M1", "1", "10.000", "splice", "-12", "21.0"};
    const QStringList third = {"M2", "1", "20.000", "short", "-90", "0.5"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(Cell(0, c), first[c]);
        EXPECT_EQ(Cell(2, c), third[c]);
    }
    EXPECT_EQ(Cell(1, 2), "40.000");
    // The channel cell in the channel's colour.
    const QModelIndex m2 = List().model()->index(2, 0);
    EXPECT_EQ(List().model()->data(m2, Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 153, 0));
    EXPECT_EQ(runs, 2);

    // Every update is followed: the factor changes the distances without a search.
    doc->m_dFactor = 1.2;
    doc->UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_EQ(Cell(0, 2), "12.500");
    doc->SetScale(1);
    EXPECT_EQ(runs, 2);
    // A channel switched off by the panel itself (its update does not come back
    // to the panel) leaves the list.
    memory->OnCommand(ID_LOAD_M1);
    ASSERT_FALSE(doc->m_memory[0].m_bOn);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(Cell(0, 0), "M2");
    // New samples on a channel: searched again.
    doc->m_memory[1].m_samples[0] = 1;
    doc->UpdateAllViews(nullptr, HINT_MEMORY);
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(List().GetItemCount(), 2);
}

TEST_F(EventsPage, AClickMovesTheAnchorCursorAndCentresAZoomedWindow)
{
    memory->SwitchPage(2);
    ClickRow(1);
    EXPECT_EQ(doc->m_dCursor1, 40);
    EXPECT_FALSE(doc->m_bZoomed);
    EXPECT_EQ(doc->m_dCursor2, 0);

    // On 1 km zoomed 4 times on cursor 2 at 2 m: 0.125 m columns; the event at
    // 40 m is on a column edge, and the window centres on it.
    doc->SetScale(4);
    doc->m_pZoomAnchor = &doc->m_dCursor2;
    doc->m_dCursor2 = 2;
    doc->SetZoom(4);
    ASSERT_EQ(doc->m_dZoomCentre, 2);
    ClickRow(1);
    EXPECT_EQ(doc->m_dCursor2, 40);
    EXPECT_EQ(doc->m_dCursor1, 40);
    EXPECT_EQ(doc->m_dZoomCentre, 40);
    double left = 0;
    double right = 0;
    doc->GetViewWindow(left, right);
    EXPECT_DOUBLE_EQ(left, 40 - 31.25);
    // The plot follows: the anchor cursor in the middle column.
    EXPECT_EQ(draw->GetPlot().GetLine(CFormDraw::kLineCursor2)->GetPoint(0).x(), 250);
}

TEST_F(EventsPage, TrianglesMarkTheEventsOnlyWhileTheTabIsShown)
{
    // 62.5 m over 500 columns: 10 m is column 80, 40 m column 320, 20 m column 160.
    const Colour m1 = doc->m_memory[0].m_crColor;
    const Colour m2 = doc->m_memory[1].m_crColor;
    EXPECT_EQ(MarkPixels(80, m1), 0);
    EXPECT_TRUE(draw->GetPlot().GetEventMarks().empty());

    memory->SwitchPage(2);
    EXPECT_GT(MarkPixels(80, m1), 20);
    EXPECT_GT(MarkPixels(320, m1), 20);
    EXPECT_GT(MarkPixels(160, m2), 20);
    EXPECT_EQ(MarkPixels(160, m1), 0) << "each in its own channel's colour";
    EXPECT_EQ(MarkPixels(240, m1), 0);
    ASSERT_EQ(draw->GetPlot().GetEventMarks().size(), 3u);
    EXPECT_EQ(draw->GetPlot().GetEventMarks()[1].column, 320);

    // On 125 m the columns are 0.25 m: the marks follow the scale.
    doc->SetScale(1);
    EXPECT_GT(MarkPixels(40, m1), 20);
    EXPECT_GT(MarkPixels(160, m1), 20);
    EXPECT_GT(MarkPixels(80, m2), 20);
    EXPECT_EQ(MarkPixels(320, m1), 0);
    doc->SetScale(0);

    memory->SwitchPage(1);
    EXPECT_EQ(MarkPixels(80, m1), 0);
    EXPECT_EQ(MarkPixels(160, m2), 0);
    EXPECT_TRUE(doc->m_eventMarks.empty());
    EXPECT_FALSE(doc->m_bEventsListed) << "the printed report carries the table only while it is shown";
    memory->SwitchPage(2);
    EXPECT_GT(MarkPixels(160, m2), 20);
    EXPECT_TRUE(doc->m_bEventsListed);
    memory->SwitchPage(0);
    EXPECT_EQ(MarkPixels(160, m2), 0);
    EXPECT_FALSE(doc->m_bEventsListed);
}

} // namespace
