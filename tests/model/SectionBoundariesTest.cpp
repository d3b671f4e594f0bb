#include "model/SectionBoundaries.h"
#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using Boundaries = std::vector<SectionBoundary>;

class SectionBoundaries : public ::testing::Test
{
protected:
    SectionBoundaries()
        : doc(dir / "param.ini")
    {
        doc.SetScale(4); // 1 km, 2 m columns
        ApplySiteGrid(doc, {{1.5, 301}, {1.8, 300}, {1.6, 200}});
        doc.m_gridNames = {"Coax", "Pair", "Drop"};
    }
    TempDir dir;
    CZR815KDoc doc;
};

TEST_F(SectionBoundaries, ColumnsOfEveryBoundaryInTheWindow)
{
    // 301 m is column 150.5: the nearest edge rounds up to 151; 601 m to 301.
    EXPECT_EQ(SectionBoundariesInView(doc),
              (Boundaries{{0, "Coax"}, {151, "Pair"}, {301, "Drop"}, {401, ""}}));
}

TEST_F(SectionBoundaries, FollowTheZoomWindow)
{
    // Zoom 4 about 500 m: 375..625 m in 0.5 m columns; only 601 m is inside.
    doc.m_dCursor1 = 500;
    doc.SetZoom(2);
    EXPECT_EQ(SectionBoundariesInView(doc), (Boundaries{{452, "Drop"}}));
    // Both window edges count: a boundary at exactly 375 m is column 0.
    doc.m_gridSections[1].m_dStart = 37500;
    EXPECT_EQ(SectionBoundariesInView(doc).front(), (SectionBoundary{0, "Pair"}));
}

TEST_F(SectionBoundaries, NothingWithoutAGridInForce)
{
    doc.m_bGridApplied = false;
    EXPECT_TRUE(SectionBoundariesInView(doc).empty());
    doc.m_bGridApplied = true;
    doc.m_bGridSelected = false;
    EXPECT_TRUE(SectionBoundariesInView(doc).empty());
    // Missing names give unnamed boundaries.
    doc.m_bGridSelected = true;
    doc.m_gridNames.clear();
    EXPECT_EQ(SectionBoundariesInView(doc)[1], (SectionBoundary{151, ""}));
}

} // namespace
