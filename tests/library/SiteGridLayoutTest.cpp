#include "library/core/SiteGridLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(SiteGridLayout, ListsColumnsAndTheSecondToolBar)
{
    // 1200 x 400 with a 25-pixel tool bar: W1 = 1200 / 12 x 5 = 500, W2 = 700.
    SiteGridPlacement p = ComputeSiteGridLayout(1200, 400, 25, 0, 0);
    EXPECT_EQ(p.gridFiles, (ControlRect{0, 25, 500, 352}));
    EXPECT_EQ(p.sections, (ControlRect{505, 25, 700, 250})); // (400 - 25) / 3 x 2
    EXPECT_EQ(p.gridFileColumns, (std::array<int, 6>{15, 190, 50, 83, 83, 62}));
    EXPECT_EQ(p.sectionColumns, (std::array<int, 6>{30, 180, 117, 117, 117, 117}));
    EXPECT_EQ(p.sectionBarX, 505);
    // Scroll bars take their width from the column basis; divisions truncate first.
    p = ComputeSiteGridLayout(1211, 400, 25, 17, 17);
    EXPECT_EQ(p.gridFiles.width, 500);
    EXPECT_EQ(p.gridFileColumns[1], 483 / 12 * 5 - 15);
    EXPECT_EQ(p.sectionColumns[1], 688 / 10 * 3 - 30);
    EXPECT_EQ(p.sectionBarX, 488);
    EXPECT_STREQ(SectionFactorHeading(true), "V/2 участка");
    EXPECT_STREQ(SectionFactorHeading(false), "КУ участка");
}

} // namespace
