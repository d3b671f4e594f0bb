#include "controls/core/CursorStrip.h"

#include "model/ZR815KDoc.h"
#include "support/SiteGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class CursorReadoutTest : public ::testing::Test
{
protected:
    CursorReadoutTest()
        : doc(dir / "param.ini")
    {
    }

    // Scale, zoom and zoom centre set directly, without going through the zoom steps.
    void View(double scale, int zoom, double centre)
    {
        doc.m_dScale = scale;
        doc.m_nZoom = zoom;
        doc.m_dZoomCentre = centre;
        doc.m_bZoomed = zoom != 0;
    }

    // Sections of (PR, length in metres) laid end to end from position 0.
    void ApplyGrid(std::initializer_list<std::pair<double, double>> sections) { ApplySiteGrid(doc, sections); }

    static void ExpectField(const CursorField& got, double minimum, double maximum, double value, double step)
    {
        EXPECT_DOUBLE_EQ(got.minimum, minimum);
        EXPECT_DOUBLE_EQ(got.maximum, maximum);
        EXPECT_DOUBLE_EQ(got.value, value);
        EXPECT_DOUBLE_EQ(got.step, step);
    }

    TempDir dir;
    CZR815KDoc doc;
};

TEST_F(CursorReadoutTest, PlainFactorConvertsWindowCursorsAndColumn)
{
    doc.m_dFactor = 1.6;
    View(1000, 2, 400); // window 275..525, columns of 0.5
    doc.m_dCursor1 = 313.16864;
    doc.m_dCursor2 = 300;

    CursorReadout r = CursorReadoutOf(doc);
    // Positions times 1.5 / 1.6 = 0.9375.
    ExpectField(r.c1, 257.8125, 492.1875, 313.16864 * 0.9375, 0.46875);
    ExpectField(r.c2, 257.8125, 492.1875, 281.25, 0.46875);
    EXPECT_EQ(r.length, "12.346 m") << "12.3456 rounds up in the third decimal";

    // The order of the cursors does not change the length.
    std::swap(doc.m_dCursor1, doc.m_dCursor2);
    r = CursorReadoutOf(doc);
    EXPECT_DOUBLE_EQ(r.c1.value, 281.25);
    EXPECT_EQ(r.length, "12.346 m");

    doc.m_dCursor2 = doc.m_dCursor1;
    EXPECT_EQ(CursorReadoutOf(doc).length, "0.000 m");

    // A window pushed back inside the scale at the right-hand end.
    View(1000, 2, 950); // 750..1000
    r = CursorReadoutOf(doc);
    EXPECT_DOUBLE_EQ(r.c1.minimum, 703.125);
    EXPECT_DOUBLE_EQ(r.c1.maximum, 937.5);
}

TEST_F(CursorReadoutTest, SiteGridMeasuresEachCursorInItsOwnSection)
{
    doc.m_dFactor = 1.6; // must not be used while the grid is in force
    View(1000, 2, 250);  // window 125..375, columns of 0.5
    ApplyGrid({{1.5, 100}, {2.0, 200}, {1.2, 300}});
    // Section ends in distance: 100, 100 + 200 / 2 * 1.5 = 250, 250 + 300 / 1.2 * 1.5 = 625.
    doc.m_dCursor1 = 200;       // second section: 100 + 100 / 2 * 1.5 = 175
    doc.m_dCursor2 = 350.00048; // third section: 250 + 50.00048 / 1.2 * 1.5 = 312.5006

    const CursorReadout r = CursorReadoutOf(doc);
    // Window edges: 100 + 25 / 2 * 1.5 = 118.75 and 250 + 75 / 1.2 * 1.5 = 343.75.
    ExpectField(r.c1, 118.75, 343.75, 175, 0.375);
    ExpectField(r.c2, 118.75, 343.75, 312.5006, 0.625);
    EXPECT_EQ(r.length, "137.501 m");
}

TEST_F(CursorReadoutTest, FirstFillUsesThePlainFactor)
{
    doc.m_dFactor = 1.6;
    View(1000, 2, 400);
    doc.m_dCursor1 = 313.16864;
    doc.m_dCursor2 = 300;
    CursorReadout r = InitialCursorReadout(doc);
    ExpectField(r.c1, 257.8125, 492.1875, 313.16864 * 0.9375, 0.46875);
    ExpectField(r.c2, 257.8125, 492.1875, 281.25, 0.46875);
    EXPECT_EQ(r.length, "12.346 m");

    // Scale 4000 at zoom 3: window 500 wide pushed back to 3500..4000, columns of 1.
    doc.m_dFactor = 1.2; // 1.5 / 1.2 = 1.25
    View(4000, 3, 3900);
    doc.m_dCursor1 = 3600.4;
    doc.m_dCursor2 = 3700.0005;
    r = InitialCursorReadout(doc);
    ExpectField(r.c1, 4375, 5000, 4500.5, 1.25);
    ExpectField(r.c2, 4375, 5000, 3700.0005 * 1.25, 1.25);
    EXPECT_EQ(r.length, "124.501 m");

    // With a site grid in force the first fill still converts at the plain PR.
    doc.m_dFactor = 1.6;
    View(1000, 2, 250);
    ApplyGrid({{1.5, 100}, {2.0, 200}, {1.2, 300}});
    doc.m_dCursor1 = 200;
    doc.m_dCursor2 = 350;
    r = InitialCursorReadout(doc);
    ExpectField(r.c1, 117.1875, 351.5625, 187.5, 0.46875);
    ExpectField(r.c2, 117.1875, 351.5625, 328.125, 0.46875);
    EXPECT_EQ(r.length, "140.625 m");
}

TEST(CursorStrip, ZoomEntriesRunToTheDeepestZoomOfTheScale)
{
    using Entries = std::vector<std::string>;
    EXPECT_EQ(ZoomEntries(62.5), (Entries{"1"}));
    EXPECT_EQ(ZoomEntries(125), (Entries{"1", "2"}));
    EXPECT_EQ(ZoomEntries(250), (Entries{"1", "2", "4"}));
    EXPECT_EQ(ZoomEntries(500), (Entries{"1", "2", "4", "8"}));
    const Entries deepest{"1", "2", "4", "8", "16"};
    EXPECT_EQ(ZoomEntries(1000), deepest);
    EXPECT_EQ(ZoomEntries(2000), deepest);
    EXPECT_EQ(ZoomEntries(128000), deepest);
}

TEST(CursorStrip, LayoutSpreadsGroupsByOneGap)
{
    const std::array<LabelSize, 4> labels = {{{15, 13}, {15, 13}, {8, 13}, {30, 13}}};
    // 470 + 68 = 538; (1000 - 538) / 8 = 57.75 gives 57.
    StripPlacement p = ComputeStripLayout(1000, 24, labels);
    EXPECT_EQ(p.labels[0], (ControlRect{59, 5, 15, 13}));
    EXPECT_EQ(p.controls[0], (ControlRect{76, 1, 160, 22}));
    EXPECT_EQ(p.labels[1], (ControlRect{355, 5, 15, 13}));
    EXPECT_EQ(p.controls[1], (ControlRect{372, 1, 160, 22}));
    EXPECT_EQ(p.labels[2], (ControlRect{651, 5, 8, 13}));
    EXPECT_EQ(p.controls[2], (ControlRect{661, 1, 95, 22}));
    EXPECT_EQ(p.labels[3], (ControlRect{875, 5, 30, 13}));
    EXPECT_EQ(p.controls[3], (ControlRect{907, 1, 45, 22}));

    // Narrow: (529 - 538) / 8 = -1 (not -2); a label taller than the strip
    // centres by truncation toward zero: (12 - 13) / 2 = 0, (12 - 16) / 2 = -2.
    const std::array<LabelSize, 4> tall = {{{15, 13}, {15, 13}, {8, 13}, {30, 16}}};
    p = ComputeStripLayout(529, 12, tall);
    EXPECT_EQ(p.labels[0], (ControlRect{1, 0, 15, 13}));
    EXPECT_EQ(p.controls[0], (ControlRect{18, 1, 160, 22}));
    EXPECT_EQ(p.labels[1], (ControlRect{181, 0, 15, 13}));
    EXPECT_EQ(p.controls[1], (ControlRect{198, 1, 160, 22}));
    EXPECT_EQ(p.labels[2], (ControlRect{361, 0, 8, 13}));
    EXPECT_EQ(p.controls[2], (ControlRect{371, 1, 95, 22}));
    EXPECT_EQ(p.labels[3], (ControlRect{469, -2, 30, 16}));
    EXPECT_EQ(p.controls[3], (ControlRect{501, 1, 45, 22}));
}

TEST(CursorStrip, GapTruncatesTowardZeroOnBothSides)
{
    const std::array<LabelSize, 4> labels = {{{15, 13}, {15, 13}, {8, 13}, {30, 13}}};
    // The first label sits at 2 + gap; the total is 538.
    const std::pair<int, int> cases[] = {
        {546, 1}, {545, 0}, {538, 0}, {537, 0}, {531, 0}, {530, -1}, {522, -2}, {521, -2},
    };
    for (auto [width, gap] : cases) {
        const StripPlacement p = ComputeStripLayout(width, 24, labels);
        EXPECT_EQ(p.labels[0].x, 2 + gap) << "width " << width;
        // Between groups: two gaps and 5 pixels after each control.
        EXPECT_EQ(p.labels[1].x, p.controls[0].x + 160 + 2 * gap + 5) << "width " << width;
        EXPECT_EQ(p.labels[3].x, p.controls[2].x + 95 + 2 * gap + 5) << "width " << width;
    }
}

} // namespace
