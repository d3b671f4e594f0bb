// Which of the main window's six panes show, and where: the show/hide rules of
// the three optional panes (second screen, right-hand column, waveform library),
// small-screen mode, and the pane rectangles for a given window size.
#pragma once

#include "model/DocCommands.h"

struct FrameFlags
{
    bool m_bLibraryShown = true;
    bool m_bSettingsShown = true;
    bool m_bSmallScreen = false;
    int m_nPanelMode = 0; // small screens: 0 none, 1 library, 2 right-hand column, 3 second screen
    bool m_bDualScreen = false;
};

// Small-screen mode at start-up: a screen at most 800 wide or 600 high.
bool IsSmallScreen(int screenWidth, int screenHeight);

// A size change of the window's client area (control bars included): enters or
// leaves small-screen mode, and on a small screen shows only the pane the panel
// mode names.
void ApplyFrameSize(FrameFlags& flags, int clientWidth, int clientHeight);

// The three pane commands ("Dual-Screen Mode", "Channel settings", "Memory").
// False for any other id.
bool ApplyPaneCommand(FrameFlags& flags, int id);
std::optional<CommandState> PaneCommandState(const FrameFlags& flags, int id);

struct PaneRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const PaneRect&, const PaneRect&) = default;
};

struct PaneRects
{
    PaneRect cursorStrip;  // across the top
    PaneRect secondScreen; // left column, above the plot
    PaneRect display;      // left column, the plot and legend
    PaneRect parameters;   // right column, top
    PaneRect cableLibrary; // right column, below
    PaneRect library;      // across the bottom
};

struct PaneGeometry
{
    int clientWidth = 0;  // the window's whole client area, control bars included
    int clientHeight = 0;
    int areaWidth = 0;    // the part left to the panes
    int areaHeight = 0;
    bool previewOn = false; // the library's preview strip is shown
};

// Fixed sizes of the layout, in pixels.
inline constexpr int kCursorStripHeight = 24;
inline constexpr int kSecondScreenHeight = 120;
inline constexpr int kRightColumnWidth = 186;
inline constexpr int kParametersHeight = 195;
inline constexpr int kLibraryAllowance = 250; // taken from the client height for the library, twice with preview

// Pane rectangles inside the panes' area. Rows and columns take their chosen
// sizes in order, each held to what is left; the last of each group takes the rest.
PaneRects ComputePaneLayout(const FrameFlags& flags, const PaneGeometry& geometry);
