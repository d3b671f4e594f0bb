#include "model/CommandIds.h"
#include "model/DocCommands.h"
#include "model/ZR815KDoc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class DocCommands : public ::testing::Test, public CDocView
{
protected:
    DocCommands()
        : doc(dir / "param.ini")
    {
        doc.AddView(this);
    }
    ~DocCommands() override { doc.RemoveView(this); }
    void OnUpdate(CDocView*, int hint) override { hints.push_back(hint); }
    CommandState State(int id) const { return DocCommandState(doc, id).value(); }

    TempDir dir;
    CZR815KDoc doc;
    std::vector<int> hints;
};

TEST_F(DocCommands, ScaleCommandsSetTheScaleAndCheckTheirOwn)
{
    ASSERT_TRUE(RunDocCommand(doc, ID_SCALE_128K));
    EXPECT_DOUBLE_EQ(doc.m_dScale, 128000);
    EXPECT_TRUE(State(ID_SCALE_128K).checked);
    EXPECT_FALSE(State(ID_SCALE_62_5).checked);
    RunDocCommand(doc, ID_SCALE_4K);
    doc.StepZoom(120);
    doc.StepZoom(120);
    hints.clear();
    RunDocCommand(doc, ID_SCALE_4K);
    EXPECT_EQ(doc.m_nZoom, 0) << "the current scale chosen again still resets the zoom";
    EXPECT_FALSE(doc.m_bZoomed);
    EXPECT_EQ(hints, std::vector<int>{HINT_SCALE});
}

TEST_F(DocCommands, AnchorCommandsLockWhileZoomed)
{
    EXPECT_EQ(State(ID_ANCHOR_CURSOR1), (CommandState{true, true}));
    EXPECT_EQ(State(ID_ANCHOR_CURSOR2), (CommandState{true, false}));
    RunDocCommand(doc, ID_SCALE_4K);
    doc.SetZoom(2);
    EXPECT_EQ(State(ID_ANCHOR_CURSOR1), (CommandState{true, true}));
    EXPECT_EQ(State(ID_ANCHOR_CURSOR2), (CommandState{false, false}));
    hints.clear();
    doc.SetZoom(0);
    RunDocCommand(doc, ID_ANCHOR_CURSOR2);
    EXPECT_EQ(doc.m_pZoomAnchor, &doc.m_dCursor2);
    EXPECT_EQ(hints, std::vector<int>{HINT_SCALE}) << "choosing the anchor sends no update";

    RunDocCommand(doc, ID_SCALE_62_5);
    EXPECT_TRUE(State(ID_ANCHOR_CURSOR1).enabled);
    EXPECT_TRUE(State(ID_ANCHOR_CURSOR2).enabled);
}

TEST_F(DocCommands, TogglesSendTheirHints)
{
    RunDocCommand(doc, ID_APPROXIMATION);
    RunDocCommand(doc, ID_VELOCITY_PRESENTATION);
    RunDocCommand(doc, ID_RETURN_LOSS);
    EXPECT_FALSE(doc.m_bApproximation);
    EXPECT_TRUE(doc.m_bShowHalfVelocity);
    EXPECT_TRUE(doc.m_bReturnLoss);
    EXPECT_EQ(hints, (std::vector<int>{HINT_REDRAW, HINT_VELOCITY, HINT_RETURN_LOSS}));
    EXPECT_EQ(State(ID_APPROXIMATION), (CommandState{true, false}));
    EXPECT_EQ(State(ID_VELOCITY_PRESENTATION), (CommandState{true, true}));
    EXPECT_EQ(State(ID_RETURN_LOSS), (CommandState{true, true}));
}

TEST_F(DocCommands, ModeCommands)
{
    RunDocCommand(doc, ID_MODE_CURSOR1);
    EXPECT_EQ(doc.m_nMouseMode, 1);
    EXPECT_EQ(hints, std::vector<int>{HINT_REDRAW});
    hints.clear();
    RunDocCommand(doc, ID_MODE_ZOOM);
    EXPECT_EQ(doc.m_nMouseMode, 0);
    EXPECT_TRUE(hints.empty()) << "\"Zoom\" changes only the mode";

    EXPECT_EQ(State(ID_MODE_MEMORY2), (CommandState{false, false})) << "grey while M2 is off";
    doc.m_memory[1].m_bOn = true;
    RunDocCommand(doc, ID_MODE_MEMORY2);
    EXPECT_EQ(doc.m_nMouseMode, 6);
    EXPECT_TRUE(hints.empty());
    doc.m_memory[1].m_bOn = false;
    EXPECT_EQ(State(ID_MODE_MEMORY2), (CommandState{false, true})) << "checked and grey";

    doc.m_nMouseMode = 3;
    for (int id : {ID_MODE_ZOOM, ID_MODE_CURSOR1, ID_MODE_CURSOR2, ID_MODE_MEMORY1, ID_MODE_MEMORY2,
                   ID_MODE_MEMORY3}) {
        EXPECT_FALSE(State(id).checked) << id;
    }
}

TEST_F(DocCommands, SiteGridStateAndUnknownIds)
{
    EXPECT_EQ(State(ID_APPLY_SITE_GRID), (CommandState{false, false}));
    doc.m_bGridSelected = true;
    doc.m_bGridApplied = true;
    EXPECT_EQ(State(ID_APPLY_SITE_GRID), (CommandState{true, true}));
    EXPECT_FALSE(RunDocCommand(doc, ID_APPLY_SITE_GRID)) << "the library panel carries it out";
    EXPECT_FALSE(DocCommandState(doc, ID_DUAL_SCREEN).has_value());
    EXPECT_FALSE(RunDocCommand(doc, 12345));
}

} // namespace
