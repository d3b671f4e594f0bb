#include "model/CommandIds.h"
#include "shell/core/PaneLayout.h"

#include <gtest/gtest.h>

namespace {

// A 1024 x 768 window whose bars take 60 pixels of height and 40 of width.
PaneGeometry Window(int width, int height, bool preview = false)
{
    return PaneGeometry{width, height, width - 40, height - 60, preview};
}

TEST(PaneLayout, LargeWindowShowsEveryPane)
{
    FrameFlags flags;
    flags.m_bDualScreen = true;
    ApplyFrameSize(flags, 1024, 768);
    const PaneRects r = ComputePaneLayout(flags, Window(1024, 768));
    EXPECT_EQ(r.cursorStrip, (PaneRect{0, 0, 984, 24}));
    // The middle row wants the client height less 250; the library takes the rest.
    EXPECT_EQ(r.secondScreen, (PaneRect{0, 24, 798, 120}));
    EXPECT_EQ(r.display, (PaneRect{0, 144, 798, 518 - 120}));
    EXPECT_EQ(r.parameters, (PaneRect{798, 24, 186, 195}));
    EXPECT_EQ(r.cableLibrary, (PaneRect{798, 219, 186, 518 - 195}));
    EXPECT_EQ(r.library, (PaneRect{0, 542, 984, 708 - 542}));
}

TEST(PaneLayout, PreviewMakesTheLibrary250Taller)
{
    FrameFlags flags;
    const PaneRects without = ComputePaneLayout(flags, Window(1280, 1024));
    const PaneRects with = ComputePaneLayout(flags, Window(1280, 1024, true));
    EXPECT_EQ(with.library.height - without.library.height, 250);
    EXPECT_EQ(with.library.y + with.library.height, without.library.y + without.library.height);
}

TEST(PaneLayout, HiddenPanesGiveTheirSpaceToTheDisplay)
{
    FrameFlags flags;
    flags.m_bLibraryShown = false;
    flags.m_bSettingsShown = false;
    const PaneRects r = ComputePaneLayout(flags, Window(1024, 768));
    EXPECT_TRUE(r.library.Empty());
    EXPECT_TRUE(r.parameters.Empty());
    EXPECT_TRUE(r.cableLibrary.Empty());
    EXPECT_TRUE(r.secondScreen.Empty());
    EXPECT_EQ(r.display, (PaneRect{0, 24, 984, 708 - 24}));
}

TEST(PaneLayout, SmallScreenShowsOneOptionalPaneAtATime)
{
    FrameFlags flags;
    flags.m_bDualScreen = true;
    ApplyFrameSize(flags, 1024, 768);
    ASSERT_FALSE(flags.m_bSmallScreen);

    ApplyFrameSize(flags, 700, 600);
    EXPECT_TRUE(flags.m_bSmallScreen);
    EXPECT_FALSE(flags.m_bDualScreen || flags.m_bSettingsShown || flags.m_bLibraryShown);

    ApplyPaneCommand(flags, ID_DUAL_SCREEN);
    EXPECT_TRUE(flags.m_bDualScreen);
    EXPECT_FALSE(flags.m_bSettingsShown || flags.m_bLibraryShown);
    EXPECT_TRUE(PaneCommandState(flags, ID_DUAL_SCREEN)->checked);

    ApplyPaneCommand(flags, ID_CHANNEL_SETTINGS);
    EXPECT_TRUE(flags.m_bSettingsShown);
    EXPECT_FALSE(flags.m_bDualScreen || flags.m_bLibraryShown);
    EXPECT_FALSE(PaneCommandState(flags, ID_DUAL_SCREEN)->checked);

    // A resize while still small brings back the pane the mode names.
    ApplyPaneCommand(flags, ID_CHANNEL_SETTINGS);
    EXPECT_FALSE(flags.m_bSettingsShown);
    ApplyFrameSize(flags, 720, 590);
    EXPECT_TRUE(flags.m_bSettingsShown);

    // Leaving small-screen mode keeps the last choices.
    ApplyFrameSize(flags, 1200, 900);
    EXPECT_FALSE(flags.m_bSmallScreen);
    EXPECT_TRUE(flags.m_bSettingsShown);
    EXPECT_FALSE(flags.m_bDualScreen);
    EXPECT_FALSE(flags.m_bLibraryShown);
    EXPECT_TRUE(PaneCommandState(flags, ID_CHANNEL_SETTINGS)->checked);
}

TEST(PaneLayout, EnteringSmallScreenAgainResetsThePanelMode)
{
    FrameFlags flags;
    ApplyFrameSize(flags, 700, 500);
    ApplyPaneCommand(flags, ID_MEMORY_PANE);
    EXPECT_TRUE(flags.m_bLibraryShown);
    ApplyFrameSize(flags, 740, 500);
    EXPECT_EQ(flags.m_nPanelMode, 1) << "still small: the mode stays";
    ApplyFrameSize(flags, 1000, 800);
    ApplyFrameSize(flags, 751, 551);
    EXPECT_FALSE(flags.m_bSmallScreen) << "the limits are 750 and 550 inclusive";
    ApplyFrameSize(flags, 751, 550);
    EXPECT_EQ(flags.m_nPanelMode, 0);
    EXPECT_FALSE(flags.m_bLibraryShown);
    ApplyFrameSize(flags, 751, 551);
    ASSERT_FALSE(flags.m_bSmallScreen);
    ApplyFrameSize(flags, 750, 551);
    EXPECT_TRUE(flags.m_bSmallScreen) << "a width of 750 alone is small";
}

TEST(PaneLayout, DegenerateSizesGiveEmptyPanesNotNegativeOnes)
{
    FrameFlags flags;
    flags.m_bDualScreen = true;
    for (const PaneGeometry& g : {PaneGeometry{0, 0, 0, 0, false}, PaneGeometry{100, 50, 60, -10, true},
                                  PaneGeometry{640, 480, 600, 420, true}}) {
        const PaneRects r = ComputePaneLayout(flags, g);
        for (const PaneRect& p : {r.cursorStrip, r.secondScreen, r.display, r.parameters, r.cableLibrary,
                                  r.library}) {
            EXPECT_GE(p.width, 0);
            EXPECT_GE(p.height, 0);
            EXPECT_LE(p.x + p.width, std::max(g.areaWidth, 0));
            EXPECT_LE(p.y + p.height, std::max(g.areaHeight, 0));
        }
    }
    EXPECT_TRUE(IsSmallScreen(800, 1200));
    EXPECT_FALSE(IsSmallScreen(801, 1200));
    EXPECT_TRUE(IsSmallScreen(1920, 600));
    EXPECT_FALSE(IsSmallScreen(1920, 601));
    EXPECT_FALSE(IsSmallScreen(801, 601));
}

} // namespace
