#include "model/PlotKeys.h"
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

TEST_F(PlotMouse, KeysStepTheActiveCursorZoomAndPage)
{
    // C1 mode: one column (2 m), ten with Shift, held at the window's edges.
    doc.m_nMouseMode = MOUSE_CURSOR1;
    doc.m_dCursor1 = 100;
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::Right));
    EXPECT_EQ(doc.m_dCursor1, 102);
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::Left, true));
    EXPECT_EQ(doc.m_dCursor1, 82);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW, HINT_REDRAW}));
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::End));
    EXPECT_EQ(doc.m_dCursor1, 1000);
    EXPECT_FALSE(ApplyPlotKey(doc, PlotKey::Right)) << "already on the edge";
    EXPECT_EQ(hints.size(), 3u);
    EXPECT_EQ(doc.m_dCursor2, 0) << "only the active cursor moves";

    // Tab: C1, C2, zoom mode, round again; the zoom mode moves the anchor.
    ApplyPlotKey(doc, PlotKey::NextMode);
    EXPECT_EQ(doc.m_nMouseMode, MOUSE_CURSOR2);
    ApplyPlotKey(doc, PlotKey::NextMode);
    EXPECT_EQ(doc.m_nMouseMode, MOUSE_ZOOM);
    ApplyPlotKey(doc, PlotKey::PreviousMode);
    ApplyPlotKey(doc, PlotKey::PreviousMode);
    EXPECT_EQ(doc.m_nMouseMode, MOUSE_CURSOR1);
    doc.m_nMouseMode = MOUSE_ZOOM;
    doc.m_pZoomAnchor = &doc.m_dCursor2;
    ApplyPlotKey(doc, PlotKey::Right);
    EXPECT_EQ(doc.m_dCursor2, 2);

    // Zoom about the anchor (C2 at 300 m): 500 m window 50..550, 1 m columns.
    doc.m_dCursor2 = 300;
    EXPECT_FALSE(ApplyPlotKey(doc, PlotKey::PageDown)) << "unzoomed, nowhere to page";
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::ZoomIn));
    EXPECT_EQ(doc.m_nZoom, 1);
    EXPECT_EQ(doc.m_dZoomCentre, 300);
    // Half a window each page, held so the window stays within 0..1000.
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::PageDown));
    EXPECT_EQ(doc.m_dZoomCentre, 550);
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::PageDown));
    EXPECT_EQ(doc.m_dZoomCentre, 750);
    EXPECT_FALSE(ApplyPlotKey(doc, PlotKey::PageDown));
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::Home));
    EXPECT_EQ(doc.m_dCursor2, 500);
    for (int i = 0; i < 3; ++i) {
        ApplyPlotKey(doc, PlotKey::PageUp);
    }
    EXPECT_EQ(doc.m_dZoomCentre, 250);
    EXPECT_TRUE(ApplyPlotKey(doc, PlotKey::ZoomOut));
    EXPECT_FALSE(ApplyPlotKey(doc, PlotKey::ZoomOut));
    EXPECT_EQ(doc.m_nZoom, 0);
}

} // namespace
