#include "model/SecondScreen.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A document at 1 km (whole-range columns of 2 m) that records its updates.
class SecondScreen : public ::testing::Test, public CDocView
{
protected:
    SecondScreen()
        : doc(dir / "param.ini")
    {
        doc.SetScale(4);
        doc.AddView(this);
    }
    ~SecondScreen() override { doc.RemoveView(this); }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }

    // Zoom exponent 2 (a window of 250 m) around `centre`.
    void ZoomAround(double centre)
    {
        doc.m_nZoom = 2;
        doc.m_bZoomed = true;
        doc.m_dZoomCentre = centre;
    }
    std::pair<double, double> Window() const
    {
        std::pair<double, double> w;
        doc.GetViewWindow(w.first, w.second);
        return w;
    }

    TempDir dir;
    CZR815KDoc doc;
    std::vector<int> hints;
};

TEST_F(SecondScreen, ColumnsOfPositionsGoToTheNearestEdgeAndStayInRange)
{
    EXPECT_EQ(WholeRangeColumn(doc, 20.9), 10);
    EXPECT_EQ(WholeRangeColumn(doc, 21.1), 11);
    EXPECT_EQ(WholeRangeColumn(doc, 21.0), 11) << "a half column goes up";
    EXPECT_EQ(WholeRangeColumn(doc, -3.2), -2) << "rounded down, not toward 0, left of 0";
    EXPECT_EQ(WholeRangeColumn(doc, 1e300), 1000000);
    EXPECT_EQ(WholeRangeColumn(doc, -1e300), -1000000);
    EXPECT_EQ(WholeRangeColumn(doc, std::nan("")), -1000000) << "NaN lies on the far left";
    doc.SetScale(5); // 4 m columns
    EXPECT_EQ(WholeRangeColumn(doc, 10.0), 3);
}

TEST_F(SecondScreen, FrameSpansTheMainWindow)
{
    EXPECT_EQ(ZoomFrameColumns(doc), std::make_pair(0, 500)) << "unzoomed, the whole range";
    doc.m_dZoomCentre = 300; // a centre left over from earlier zooming does not matter at zoom 0
    EXPECT_EQ(ZoomFrameColumns(doc), std::make_pair(0, 500));

    ZoomAround(500); // window 375..625: 187.5 and 312.5 columns
    EXPECT_EQ(ZoomFrameColumns(doc), std::make_pair(188, 313));
    ZoomAround(10); // held against the left end: 0..250
    EXPECT_EQ(ZoomFrameColumns(doc), std::make_pair(0, 125));
    ZoomAround(990); // against the right end: 750..1000
    EXPECT_EQ(ZoomFrameColumns(doc), std::make_pair(375, 500));
}

TEST_F(SecondScreen, ClickMovesOnlyTheZoomCentre)
{
    ZoomAround(500);
    hints.clear();
    ApplySecondScreenClick(doc, 0);
    EXPECT_EQ(doc.m_dZoomCentre, 0);
    EXPECT_EQ(Window(), std::make_pair(0.0, 250.0)) << "the main window starts at 0";
    EXPECT_EQ(hints, std::vector<int>{HINT_REDRAW});

    ApplySecondScreenClick(doc, 250);
    EXPECT_EQ(doc.m_dZoomCentre, 500);
    EXPECT_EQ(doc.m_nZoom, 2);
    EXPECT_TRUE(doc.m_bZoomed);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW, HINT_REDRAW}));

    doc.SetScale(5); // 2 km: 4 m columns
    hints.clear();
    ApplySecondScreenClick(doc, 37);
    EXPECT_EQ(doc.m_dZoomCentre, 148);
    EXPECT_EQ(doc.m_nZoom, 0);
    EXPECT_FALSE(doc.m_bZoomed) << "a click does not zoom";
    EXPECT_EQ(hints, std::vector<int>{HINT_REDRAW});
}

TEST_F(SecondScreen, WheelStepsOneWholeRangeColumn)
{
    ZoomAround(500);
    hints.clear();
    ApplySecondScreenWheel(doc, -120);
    EXPECT_EQ(doc.m_dZoomCentre, 498);
    EXPECT_EQ(Window(), std::make_pair(373.0, 623.0));
    ApplySecondScreenWheel(doc, 120);
    ApplySecondScreenWheel(doc, 120);
    EXPECT_EQ(doc.m_dZoomCentre, 502);
    for (int delta : {-119, -240, 1, 0}) {
        ApplySecondScreenWheel(doc, delta);
    }
    EXPECT_EQ(doc.m_dZoomCentre, 510) << "only -120 steps left";
    EXPECT_EQ(hints, std::vector<int>(7, HINT_REDRAW)) << "one redraw a message";
    EXPECT_EQ(doc.m_nZoom, 2);
    EXPECT_TRUE(doc.m_bZoomed);
}

TEST_F(SecondScreen, WheelNearTheEndsAndAtThem)
{
    // Half the window is 125 m at zoom 2, 500 m unzoomed.
    struct Case
    {
        int zoom;
        double centre;
        int delta;
        double moved;
        const char* what;
    };
    const Case cases[] = {
        {2, 40, 120, 127, "up from near 0 starts at half the window"},
        {2, 126, 120, 128, "a centre past half the window steps from itself"},
        {0, 0, 120, 502, "unzoomed, half the window is half the scale"},
        {2, 960, -120, 873, "down from near the end starts at the end less half"},
        {2, 874, -120, 872, "a centre short of that steps from itself"},
        {2, 40, -120, 38, "down from near 0 is a plain step"},
        {2, 960, 120, 962, "up from near the end is a plain step"},
        {2, 1.5, -120, 0, "held to 0"},
        {2, 2.5, -120, 0.5, "just above 0"},
        {2, 999, 120, 1000, "held to the scale"},
        {2, 997.5, 120, 999.5, "just below the scale"},
    };
    for (const Case& c : cases) {
        doc.m_nZoom = c.zoom;
        doc.m_bZoomed = c.zoom != 0;
        doc.m_dZoomCentre = c.centre;
        ApplySecondScreenWheel(doc, c.delta);
        EXPECT_EQ(doc.m_dZoomCentre, c.moved) << c.what;
    }
}

TEST_F(SecondScreen, WheelTurnsStepOncePerWholeNotch)
{
    ZoomAround(500);
    WheelAccumulator wheel;
    hints.clear();
    for (int i = 0; i < 3; ++i) {
        ApplySecondScreenWheelTurn(doc, wheel, -40);
    }
    EXPECT_EQ(doc.m_dZoomCentre, 498) << "fine deltas add up to one notch";
    ApplySecondScreenWheelTurn(doc, wheel, 360);
    EXPECT_EQ(doc.m_dZoomCentre, 504) << "three notches at once";
    ApplySecondScreenWheelTurn(doc, wheel, 60);
    EXPECT_EQ(doc.m_dZoomCentre, 504) << "half a notch is no step yet";
    EXPECT_EQ(hints, std::vector<int>(4, HINT_REDRAW));
}

} // namespace
