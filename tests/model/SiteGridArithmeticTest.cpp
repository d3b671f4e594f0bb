#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace {

// A document with a site grid in force: sections of (PR, length in metres).
class SiteGrid : public ::testing::Test
{
protected:
    SiteGrid()
        : doc(dir / "param.ini")
    {
    }

    void Apply(std::initializer_list<std::pair<double, double>> sections) { ApplySiteGrid(doc, sections); }
    std::pair<double, double> ViewDistances(int* count = nullptr)
    {
        double left = 0, right = 0;
        const int n = doc.GetViewDistances(left, right);
        if (count) {
            *count = n;
        }
        return {left, right};
    }

    TempDir dir;
    CZR815KDoc doc;
};

TEST_F(SiteGrid, InForceOnlyWhenSelectedAppliedAndNotEmpty)
{
    Apply({{2.0, 100}});
    doc.m_dFactor = 1.5;
    EXPECT_DOUBLE_EQ(doc.FactorAt(50), 2.0);
    doc.m_bGridApplied = false;
    EXPECT_DOUBLE_EQ(doc.FactorAt(50), 1.5);
    doc.m_bGridApplied = true;
    doc.m_bGridSelected = false;
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(75), 75);
    doc.m_bGridSelected = true;
    doc.m_gridSections.clear();
    double l, r;
    EXPECT_EQ(doc.GetViewDistances(l, r), 0);
}

TEST_F(SiteGrid, OneReferenceSectionMatchesThePlainConversion)
{
    doc.SetScale(5); // 2000 m
    Apply({{1.5, 100}});
    doc.m_dCursor1 = 40;
    doc.m_dCursor2 = 700;
    double d1, d2, r1, r2;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, 40);
    EXPECT_DOUBLE_EQ(d2, 700) << "past the grid the last section's factor continues";
    EXPECT_DOUBLE_EQ(r1, 4);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(40), 40);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(1500), 1500);
    int count = 0;
    EXPECT_EQ(ViewDistances(&count), (std::pair<double, double>{0, 2000}));
    EXPECT_EQ(count, 1);
}

// Route: 100 m of PR 1.5, then 200 m of PR 2.0. Position 300 is distance 250.
TEST_F(SiteGrid, WalksAcrossSectionBoundaries)
{
    Apply({{1.5, 100}, {2.0, 200}});
    EXPECT_DOUBLE_EQ(doc.FactorAt(0), 1.5);
    EXPECT_DOUBLE_EQ(doc.FactorAt(99.99), 1.5);
    EXPECT_DOUBLE_EQ(doc.FactorAt(100), 2.0);
    EXPECT_DOUBLE_EQ(doc.FactorAt(350), 2.0) << "beyond the last section";

    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(50), 50);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(100), 100);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(175), 200);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(250), 300);
    EXPECT_DOUBLE_EQ(doc.DistanceToPosition(287.5), 350);

    doc.SetScale(3); // 500 m, column 1 m
    doc.m_dCursor1 = 200;
    doc.m_dCursor2 = 350;
    double d1, d2, r1, r2;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, 175);
    EXPECT_DOUBLE_EQ(r1, 0.75);
    EXPECT_DOUBLE_EQ(d2, 287.5);
    EXPECT_DOUBLE_EQ(r2, 0.75);
    doc.m_dCursor1 = 300; // exactly the end of the grid
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, 250);

    // Hand-edited overlapping sections (0..100, 100..50, 50..150): of the two
    // that hold 60 m the last counts, its start at 100 - 37.5 m of distance.
    Apply({{1.5, 100}, {2.0, -50}, {3.0, 100}});
    doc.m_dCursor1 = 60;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, 100 - 37.5 + 10 * 0.5);
    EXPECT_DOUBLE_EQ(r1, 0.5);
}

TEST_F(SiteGrid, CursorOperationsTakeTheFactorOfTheirSection)
{
    Apply({{1.5, 100}, {2.0, 200}});
    doc.SetScale(3); // column 1 m
    doc.SetCursorColumn(doc.m_dCursor1, 150);
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 2.0);
    doc.m_dCursor1 = 99;
    EXPECT_TRUE(doc.StepCursor(doc.m_dCursor1, -120));
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.5);
    doc.SetCursorDistance(doc.m_dCursor2, 175);
    EXPECT_DOUBLE_EQ(doc.m_dCursor2, 200);
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 2.0);
    doc.m_dCursor1 = 20;
    doc.SelectCursorMode(1);
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.5);
}

TEST_F(SiteGrid, ViewDistancesCaseByCase)
{
    Apply({{1.5, 100}, {2.0, 200}});
    doc.SetScale(3); // 500 m

    // Whole scale: both sections inside, the rest extended with the last factor.
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{0, 400}));

    // Window 87.5..212.5: starts in section 1, ends in section 2.
    doc.m_nZoom = 2;
    doc.m_dZoomCentre = 150;
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{87.5, 184.375}));

    // Window 137.5..262.5: inside section 2 alone.
    doc.m_dZoomCentre = 200;
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{128.125, 221.875}));
}

TEST_F(SiteGrid, ViewDistancesOfAWindowPastTheGrid)
{
    Apply({{1.5, 100}, {2.0, 200}});
    doc.SetScale(4); // 1000 m
    doc.m_nZoom = 2; // 250 m wide
    doc.m_dZoomCentre = 800;
    // Window 675..925, all beyond the grid's end at 300 (distance 250).
    int count = 0;
    const auto [left, right] = ViewDistances(&count);
    EXPECT_DOUBLE_EQ(left, 250 + 375 * 0.75);
    EXPECT_DOUBLE_EQ(right, 250 + 625 * 0.75);
    EXPECT_EQ(count, 2);
}

// One section of PR 1.5 converts exactly as no grid does, whether the window
// lies inside it, reaches past its end or lies wholly beyond it.
TEST_F(SiteGrid, AReferenceSectionLongerThanTheWindowMatchesThePlainConversion)
{
    struct View
    {
        int scale;
        int zoom;
        double centre;
    };
    const View views[] = {{0, 0, 0},     {0, 0, 40},   {1, 0, 0},    {1, 1, 20},  {1, 1, 90},
                          {2, 2, 70.3},  {2, 2, 150},  {3, 3, 99.9}, {4, 4, 0},   {4, 4, 612.7}};
    doc.m_dFactor = 1.5;
    for (const View& v : views) {
        doc.SetScale(v.scale);
        doc.m_nZoom = v.zoom;
        doc.m_dZoomCentre = v.centre;
        doc.m_bGridSelected = false;
        const auto plain = ViewDistances();
        Apply({{1.5, 100}});
        int count = 0;
        const auto [left, right] = ViewDistances(&count);
        EXPECT_DOUBLE_EQ(left, plain.first) << v.scale << " " << v.zoom << " " << v.centre;
        EXPECT_DOUBLE_EQ(right, plain.second) << v.scale << " " << v.zoom << " " << v.centre;
        EXPECT_EQ(count, 1);
    }
    doc.SetScale(0); // 62.5 m: the window 0..62.5 lies inside the 100 m section
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{0, 62.5}));
}

TEST_F(SiteGrid, AFirstSectionLongerThanTheWindowStartsAtZero)
{
    Apply({{2.0, 100}, {1.2, 50}});
    doc.SetScale(0); // 0..62.5, all in section 1
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{0, 46.875}));
    doc.SetScale(1); // 125 m, zoomed to 62.5 around 40: 8.75..71.25
    doc.m_nZoom = 1;
    doc.m_dZoomCentre = 40;
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{6.5625, 53.4375}));
}

// Route: 100 m of PR 1.5, 200 m of PR 2.0, 300 m of PR 1.2.
// Section starts in distance: 0, 100, 250; the grid ends at 625.
TEST_F(SiteGrid, AWindowStartingOnABoundaryStartsAtThatSectionsDistance)
{
    Apply({{1.5, 100}, {2.0, 200}, {1.2, 300}});
    doc.SetScale(3); // 500 m, zoom 2: 125 wide
    doc.m_nZoom = 2;
    doc.m_dZoomCentre = 162.5; // 100..225
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{100, 193.75}));

    doc.SetScale(4); // 1000 m, zoom 2: 250 wide
    doc.m_nZoom = 2;
    doc.m_dZoomCentre = 425; // 300..550
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{250, 562.5}));
    doc.m_dZoomCentre = 725; // 600..850: starts on the grid's end
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{625, 937.5}));

    // Ending on a boundary takes nothing of the section after it.
    doc.m_dZoomCentre = 175; // 50..300
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{50, 250}));
}

// The right edge is the distance of the window's right position, the same
// distance a cursor placed there reads, also where a section boundary falls
// inside a column (the window's columns here are 2 m and 0.25 m wide).
TEST_F(SiteGrid, TheRightEdgeIsTheDistanceOfItsPosition)
{
    Apply({{1.5, 101}, {1.8, 899}});
    doc.SetScale(4); // 0..1000
    auto [left, right] = ViewDistances();
    EXPECT_DOUBLE_EQ(left, 0);
    EXPECT_DOUBLE_EQ(right, 101 + 899 * 1.5 / 1.8); // 850.17, not one column more

    doc.m_dCursor1 = 1000;
    double d1, d2, r1, r2;
    doc.GetCursorDistances(d1, d2, r1, r2);
    EXPECT_DOUBLE_EQ(d1, right);

    // A section shorter than a column at the grid's end, the window reaching past it.
    Apply({{1.5, 100}, {2.0, 0.1}});
    doc.SetScale(1); // 0..125
    std::tie(left, right) = ViewDistances();
    EXPECT_DOUBLE_EQ(left, 0);
    EXPECT_DOUBLE_EQ(right, 100 + 25 * 0.75);
    // ... and a window starting inside it.
    doc.SetScale(2); // 250 m, zoom 2: 62.5 wide
    doc.m_nZoom = 2;
    doc.m_dZoomCentre = 100.05 + 31.25; // 100.05..162.55
    std::tie(left, right) = ViewDistances();
    EXPECT_DOUBLE_EQ(left, 100 + 0.05 * 0.75);
    EXPECT_DOUBLE_EQ(right, 100 + 62.55 * 0.75);
}

// A section factor of 0 or below (a hand-edited grid) counts as PR 1.5 instead
// of dividing by zero.
TEST_F(SiteGrid, ASectionFactorOfZeroOrLessCountsAsTheReference)
{
    Apply({{0, 100}, {-2.0, 100}});
    doc.SetScale(2); // 0..250, columns of 0.5
    for (const double position : {50.0, 150.0, 400.0}) {
        EXPECT_DOUBLE_EQ(doc.FactorAt(position), 1.5) << position;
        EXPECT_DOUBLE_EQ(doc.DistanceToPosition(position), position) << position;
    }
    EXPECT_EQ(ViewDistances(), (std::pair<double, double>{0, 250}));
    doc.m_dCursor1 = 120;
    doc.m_dCursor2 = 240;
    std::array<double, 4> cursors;
    doc.GetCursorDistances(cursors[0], cursors[1], cursors[2], cursors[3]);
    EXPECT_EQ(cursors, (std::array<double, 4>{120, 240, 0.5, 0.5}));
    doc.SetCursorColumn(doc.m_dCursor1, 10);
    EXPECT_DOUBLE_EQ(doc.m_dFactor, 1.5);
}

} // namespace
