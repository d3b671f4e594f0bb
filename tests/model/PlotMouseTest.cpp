#include "model/PlotMouse.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class PlotMouse : public ::testing::Test, public CDocView
{
protected:
    PlotMouse()
        : doc(dir / "param.ini")
    {
        doc.SetScale(4); // 1000 m, column 2 m
        doc.AddView(this);
    }
    ~PlotMouse() override { doc.RemoveView(this); }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }

    TempDir dir;
    CZR815KDoc doc;
    std::vector<int> hints;
};

TEST_F(PlotMouse, ClickByMode)
{
    doc.m_nMouseMode = MOUSE_ZOOM;
    doc.m_pZoomAnchor = &doc.m_dCursor2;
    ApplyPlotClick(doc, 10, 0);
    EXPECT_EQ(doc.m_dCursor2, 20) << "mode 0 moves the anchor cursor";
    EXPECT_EQ(doc.m_dCursor1, 0);

    doc.m_nMouseMode = MOUSE_CURSOR1;
    ApplyPlotClick(doc, 250, 0);
    EXPECT_EQ(doc.m_dCursor1, 500);

    doc.m_nMouseMode = MOUSE_SHIFT_M1;
    ASSERT_FALSE(doc.m_memory[0].m_bOn);
    ApplyPlotClick(doc, 3, 127);
    EXPECT_EQ(doc.m_memory[0].m_nShift, 127) << "the shift is set even while M1 is off";

    doc.m_nMouseMode = MOUSE_SHIFT_M3;
    ApplyPlotClick(doc, 3, -128);
    EXPECT_EQ(doc.m_memory[2].m_nShift, -128);
    EXPECT_EQ(hints, (std::vector<int>(4, HINT_REDRAW)));
}

TEST_F(PlotMouse, ModesThreeAndFourDoNothingButRedraw)
{
    for (int mode : {3, 4, 99}) {
        doc.m_nMouseMode = mode;
        hints.clear();
        ApplyPlotClick(doc, 100, 50);
        EXPECT_EQ(doc.m_dCursor1, 0);
        EXPECT_EQ(doc.m_memory[0].m_nShift, 0);
        EXPECT_FALSE(ApplyPlotWheel(doc, 120));
        EXPECT_EQ(doc.m_nZoom, 0);
        EXPECT_EQ(hints, std::vector<int>{HINT_REDRAW}) << "only the click redraws";
    }
}

TEST_F(PlotMouse, WheelUpdatesOnlyOnChange)
{
    doc.SetScale(0);
    hints.clear();
    doc.m_nMouseMode = MOUSE_ZOOM;
    EXPECT_FALSE(ApplyPlotWheel(doc, 120)) << "62.5 m cannot zoom";
    EXPECT_TRUE(hints.empty());

    doc.SetScale(4);
    hints.clear();
    EXPECT_TRUE(ApplyPlotWheel(doc, 120));
    EXPECT_EQ(doc.m_nZoom, 1);
    doc.m_nMouseMode = MOUSE_CURSOR2;
    doc.m_nZoom = 0;
    EXPECT_TRUE(ApplyPlotWheel(doc, 120));
    EXPECT_EQ(doc.m_dCursor2, 2);
    doc.m_nMouseMode = MOUSE_SHIFT_M2;
    doc.m_memory[1].m_nShift = 200;
    EXPECT_FALSE(ApplyPlotWheel(doc, 120));
    EXPECT_TRUE(ApplyPlotWheel(doc, -120));
    EXPECT_EQ(doc.m_memory[1].m_nShift, 199);
    EXPECT_EQ(hints, (std::vector<int>(3, HINT_REDRAW)));
}

TEST(WheelAccumulator, FineDeltasMakeWholeNotches)
{
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Add(-120), -1) << "a mouse notch passes straight through";
    EXPECT_EQ(wheel.Add(120), 1);
    EXPECT_EQ(wheel.Add(-40), 0);
    EXPECT_EQ(wheel.Add(-40), 0);
    EXPECT_EQ(wheel.Add(-50), -1) << "a touchpad scroll down steps down";
    EXPECT_EQ(wheel.Add(-20), 0);
    EXPECT_EQ(wheel.Add(60), 0) << "turning back drops the rest gathered downwards";
    EXPECT_EQ(wheel.Add(60), 1);
    EXPECT_EQ(wheel.Add(-240), -2);
}

} // namespace
