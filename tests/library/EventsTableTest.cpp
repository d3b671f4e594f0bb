#include "library/core/EventsTable.h"
#include "support/LineEvents.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace {

// A finder that answers by the record's first sample, and counts its runs per channel tag.
class EventsTable : public ::testing::Test
{
protected:
    EventsTable()
        : doc(dir / "param.ini"), cache([this](const WaveformRecord& r, double pr) {
              ++runs[r.m_samples[0]];
              prs.push_back(pr);
              if (r.m_samples[0] == 1) {
                  return std::vector<LineEvent>{MakeLineEvent(1, 10, LineEventKind::Splice, -12, 21.04),
                                                MakeLineEvent(2, 40, LineEventKind::Open, 57, 3.26)};
              }
              if (r.m_samples[0] == 2) {
                  return std::vector<LineEvent>{MakeLineEvent(1, 5, LineEventKind::Short, -90, 0.5)};
              }
              LineEvent wet = MakeLineEvent(1, 20, LineEventKind::Water, -30, 9.96);
              wet.m_bStretch = true;
              wet.m_dEndPosition = 30;
              return std::vector<LineEvent>{wet,
                                            MakeLineEvent(2, 62.5, LineEventKind::Open, 44, 6),
                                            MakeLineEvent(3, 62.5001, LineEventKind::Open, 20, 12, true),
                                            MakeLineEvent(4, -0.5, LineEventKind::Change, 3, 30),
                                            MakeLineEvent(5, std::numeric_limits<double>::quiet_NaN(),
                                                          LineEventKind::Open, 3, 30)};
          })
    {
        for (int k = 0; k < 3; ++k) {
            doc.m_memory[k].m_samples[0] = static_cast<int8_t>(k + 1);
            doc.m_memory[k].m_dSampleStep = 0.125;
        }
        doc.m_memory[0].m_bOn = true;
        doc.m_memory[2].m_bOn = true;
    }

    TempDir dir;
    CZR815KDoc doc;
    std::map<int, int> runs;
    std::vector<double> prs;
    EventCache cache;
};

TEST_F(EventsTable, RowsOfTheChannelsThatAreOnWithinTheScale)
{
    ASSERT_EQ(doc.m_dScale, 62.5);
    const std::vector<EventRow> rows = ListEventRows(doc, cache);
    ASSERT_EQ(rows.size(), 4u) << "M2 is off; M3's events past the scale, before 0 or not a number are left out";
    using Cells = std::array<std::string, kEventColumns>;
    EXPECT_EQ(rows[0].m_cells, (Cells{"M1", "1", "10.000", "splice", "-12", "21.0"}));
    EXPECT_EQ(rows[1].m_cells, (Cells{"M1", "2", "40.000", "open", "57", "3.3"}));
    EXPECT_EQ(rows[2].m_cells, (Cells{"M3", "1", "20.000 \u2013 30.000", "water", "-30", "10.0"}))
        << "a stretch reads from - to";
    EXPECT_EQ(rows[3].m_cells, (Cells{"M3", "2", "62.500", "open", "44", "6.0"})) << "the scale's end is in";
    EXPECT_EQ(rows[2].m_nChannel, 2);
    EXPECT_EQ(rows[3].m_dPosition, 62.5);
    EXPECT_EQ(prs, (std::vector<double>{0, 0})) << "found at the recordings' own PR";

    const std::vector<PlotEventMark> marks = EventMarksOf(rows);
    ASSERT_EQ(marks.size(), 5u) << "a stretch marks both its ends";
    EXPECT_EQ(marks[1], (PlotEventMark{0, 40}));
    EXPECT_EQ(marks[2], (PlotEventMark{2, 20}));
    EXPECT_EQ(marks[3], (PlotEventMark{2, 30}));

    // A longer scale lets in the ghost beyond 62.5 m, named as one.
    doc.m_dScale = 125;
    const std::vector<EventRow> longer = ListEventRows(doc, cache);
    ASSERT_EQ(longer.size(), 5u);
    EXPECT_EQ(longer[4].m_cells[3], "open, ghost");
    EXPECT_EQ(longer[4].m_cells[1], "3");
}

TEST_F(EventsTable, DistancesFollowTheFactorAndTheSiteGrid)
{
    doc.m_dFactor = 1.2;
    std::vector<EventRow> rows = ListEventRows(doc, cache);
    EXPECT_EQ(rows[0].m_cells[2], "12.500"); // 10 × 1.5 / 1.2
    EXPECT_EQ(rows[1].m_cells[2], "50.000");

    // A grid in force: 20 m at PR 1.5, then PR 1.2; position 40 lies 20 m into the second section.
    ApplySiteGrid(doc, {{1.5, 20}, {1.2, 100}});
    rows = ListEventRows(doc, cache);
    EXPECT_EQ(rows[0].m_cells[2], "10.000");
    EXPECT_EQ(rows[1].m_cells[2], "45.000"); // 20 + 20 × 1.5 / 1.2
    doc.m_dCursor1 = 40;
    double d1 = 0, d2 = 0, r1 = 0, r2 = 0;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_EQ(doc.PositionToDistance(40), d1) << "an event reads what a cursor on it reads";
    EXPECT_EQ(runs[1], 1) << "conversions never run the finder again";
}

TEST_F(EventsTable, TheFinderRunsAgainOnlyWhenARecordingChanges)
{
    ListEventRows(doc, cache);
    EXPECT_EQ(runs[1], 1);
    EXPECT_EQ(runs[3], 1);
    EXPECT_EQ(runs.count(2), 0u) << "a channel that is off is not searched";

    doc.m_dCursor1 = 30;
    doc.m_nZoom = 3;
    doc.m_dScale = 250;
    doc.m_dFactor = 1.7;
    doc.m_memory[0].m_nShift = 50;
    doc.m_memory[0].m_displayMain.fill(9);
    ListEventRows(doc, cache);
    EXPECT_EQ(cache.FinderRuns(), 2);

    doc.m_memory[0].m_samples[7999] = 1; // one sample of M1
    ListEventRows(doc, cache);
    EXPECT_EQ(runs[1], 2);
    EXPECT_EQ(runs[3], 1);
    doc.m_memory[2].m_dPulse = 100; // the pulse width of M3
    ListEventRows(doc, cache);
    EXPECT_EQ(runs[3], 2);
    for (auto change : {+[](WaveformRecord& r) { r.m_nAverages = 16; }, +[](WaveformRecord& r) { r.m_nGain = 2; },
                        +[](WaveformRecord& r) { r.m_dSampleStep = 0.25; },
                        +[](WaveformRecord& r) { r.m_dFileFactor = 1.3; }}) {
        change(doc.m_memory[2]);
        ListEventRows(doc, cache);
    }
    EXPECT_EQ(runs[3], 6);
    ListEventRows(doc, cache);
    EXPECT_EQ(cache.FinderRuns(), 8);
}

TEST_F(EventsTable, GoingToAnEventSnapsTheAnchorCursorAndCentresWhenZoomed)
{
    // 62.5 m over 500 columns: 0.125 m a column; 10.0625 is half-way and goes up.
    GoToEvent(doc, 10.0624);
    EXPECT_EQ(doc.m_dCursor1, 10.0);
    GoToEvent(doc, 10.0625);
    EXPECT_EQ(doc.m_dCursor1, 10.125);
    EXPECT_EQ(doc.m_dZoomCentre, 0) << "not zoomed: the window stays";
    EXPECT_FALSE(doc.m_bZoomed);
    EXPECT_EQ(doc.m_dCursor2, 0);

    // The second cursor as the anchor, on 1 km zoomed twice: 0.5 m a column, and the window follows.
    doc.SetScale(4);
    doc.m_pZoomAnchor = &doc.m_dCursor2;
    doc.m_dCursor2 = 2;
    doc.SetZoom(2);
    ASSERT_EQ(doc.m_dZoomCentre, 2);
    GoToEvent(doc, 400.2);
    EXPECT_EQ(doc.m_dCursor2, 400);
    GoToEvent(doc, 400.3);
    EXPECT_EQ(doc.m_dCursor2, 400.5);
    EXPECT_EQ(doc.m_dCursor1, 10.125);
    EXPECT_EQ(doc.m_dZoomCentre, 400.5);
    double left = 0, right = 0;
    doc.GetViewWindow(left, right);
    EXPECT_EQ(left, 400.5 - 125);
    EXPECT_EQ(right, 400.5 + 125);

    // The factor of the grid section under the cursor comes with it.
    ApplySiteGrid(doc, {{1.5, 20}, {1.2, 100}});
    GoToEvent(doc, 30);
    EXPECT_EQ(doc.m_dFactor, 1.2);
    GoToEvent(doc, 5);
    EXPECT_EQ(doc.m_dFactor, 1.5);
}

} // namespace
