#include "model/PlotMouse.h"
#include "model/ViewHistory.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class ViewHistory : public ::testing::Test
{
protected:
    ViewHistory()
        : doc(dir / "param.ini"), history(doc, [this] { return now; })
    {
    }
    bool Same(const ViewState& a, const ViewState& b) { return DescribeViewChange(a, b).empty(); }

    TempDir dir;
    CZR815KDoc doc;
    double now = 0;
    CViewHistory history;
};

TEST_F(ViewHistory, UndoWalksBackAMixedSequenceAndRedoReturns)
{
    std::vector<ViewState> states{CaptureViewState(doc)};
    std::vector<std::string> names;
    const auto step = [&](const std::function<void()>& change, const char* name) {
        now += 5;
        change();
        states.push_back(CaptureViewState(doc));
        names.emplace_back(name);
        EXPECT_EQ(history.UndoName(), name);
    };
    step([&] { doc.SetScale(4); }, "scale");
    step([&] { doc.SetCursorDistance(doc.m_dCursor1, 300); }, "move C1");
    step([&] { doc.SetZoom(2); }, "zoom");
    step([&] {
        doc.m_memory[1].m_bOn = true;
        doc.m_memory[1].m_strName = "wet";
        doc.m_memory[1].m_samples[7] = 42;
        doc.UpdateAllViews(nullptr, HINT_MEMORY);
    }, "load M2");
    step([&] { doc.m_nMouseMode = MOUSE_SHIFT_M2; ApplyPlotWheel(doc, 120); }, "shift M2");
    step([&] { doc.m_bShowHalfVelocity = true; doc.UpdateAllViews(nullptr, HINT_VELOCITY); }, "V/2-PR");
    step([&] { doc.m_dFactor = 1.6; doc.UpdateAllViews(nullptr, HINT_REDRAW); }, "velocity factor");
    step([&] { doc.m_bGridApplied = true; doc.m_gridSections = {{1.8, 10000, 0, 10000}};
               doc.m_strGridApplied = "route.pie";
               doc.UpdateAllViews(nullptr, HINT_REDRAW); }, "site grid");

    const int n = static_cast<int>(names.size());
    for (int undone = 1; undone <= n; ++undone) {
        ASSERT_TRUE(history.Undo());
        EXPECT_TRUE(Same(CaptureViewState(doc), states[static_cast<std::size_t>(n - undone)])) << undone;
        EXPECT_EQ(history.RedoName(), names[static_cast<std::size_t>(n - undone)]);
    }
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(doc.m_memory[1].m_crColor.r, 255) << "a channel keeps its colour";
    for (int redone = 1; redone <= n; ++redone) {
        ASSERT_TRUE(history.Redo());
        EXPECT_TRUE(Same(CaptureViewState(doc), states[static_cast<std::size_t>(redone)])) << redone;
    }
    EXPECT_FALSE(history.Redo());
    // An update that changes nothing is no step; a new change ends what could be redone.
    history.Undo();
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
    EXPECT_TRUE(history.CanRedo());
    now += 5;
    doc.SetCursorDistance(doc.m_dCursor2, 100);
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(ViewHistory, AStepsBurstMergesIntoOne)
{
    doc.SetScale(4); // 1000 m, 2 m columns
    doc.m_nMouseMode = MOUSE_CURSOR1;
    const ViewState start = CaptureViewState(doc);
    for (const double t : {10.0, 10.4, 11.3}) { // each within a second of the one before
        now = t;
        ApplyPlotWheel(doc, 120);
    }
    now = 12.5; // a pause: a new step
    ApplyPlotWheel(doc, 120);
    EXPECT_EQ(doc.m_dCursor1, 8);
    history.Undo();
    EXPECT_EQ(doc.m_dCursor1, 6);
    history.Undo();
    EXPECT_EQ(doc.m_dCursor1, 0);
    history.Undo(); // the scale
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(Same(CaptureViewState(doc), start));
}

} // namespace
