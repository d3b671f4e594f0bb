#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

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

} // namespace
