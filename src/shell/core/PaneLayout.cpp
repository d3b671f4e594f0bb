#include "shell/core/PaneLayout.h"

#include "model/CommandIds.h"

#include <algorithm>

bool IsSmallScreen(int screenWidth, int screenHeight) { return screenWidth <= 800 || screenHeight <= 600; }

namespace {

// What a panel mode leaves visible on a small screen.
void ShowOnly(FrameFlags& flags, int mode)
{
    flags.m_bDualScreen = mode == 3;
    flags.m_bSettingsShown = mode == 2;
    flags.m_bLibraryShown = mode == 1;
}

// Size that a row or column gets: its wish, held to 0..what is left.
int Take(int wish, int left) { return std::clamp(wish, 0, std::max(left, 0)); }

} // namespace

void ApplyFrameSize(FrameFlags& flags, int clientWidth, int clientHeight)
{
    if (clientWidth <= 750 || clientHeight <= 550) {
        if (!flags.m_bSmallScreen) {
            flags.m_nPanelMode = 0;
        }
        flags.m_bSmallScreen = true;
    } else {
        flags.m_bSmallScreen = false;
    }
    if (flags.m_bSmallScreen) {
        ShowOnly(flags, flags.m_nPanelMode);
    }
}

bool ApplyPaneCommand(FrameFlags& flags, int id)
{
    int mode = 0;
    bool* pane = nullptr;
    switch (id) {
    case ID_DUAL_SCREEN:
        mode = 3;
        pane = &flags.m_bDualScreen;
        break;
    case ID_CHANNEL_SETTINGS:
        mode = 2;
        pane = &flags.m_bSettingsShown;
        break;
    case ID_MEMORY_PANE:
        mode = 1;
        pane = &flags.m_bLibraryShown;
        break;
    default:
        return false;
    }
    flags.m_nPanelMode = mode;
    if (flags.m_bSmallScreen) {
        const bool shown = *pane;
        ShowOnly(flags, 0);
        *pane = shown;
    }
    *pane = !*pane;
    return true;
}

std::optional<CommandState> PaneCommandState(const FrameFlags& flags, int id)
{
    const auto state = [&](bool shown, int mode) {
        return CommandState{true, shown && (!flags.m_bSmallScreen || flags.m_nPanelMode == mode)};
    };
    switch (id) {
    case ID_DUAL_SCREEN:
        return state(flags.m_bDualScreen, 3);
    case ID_CHANNEL_SETTINGS:
        return state(flags.m_bSettingsShown, 2);
    case ID_MEMORY_PANE:
        return state(flags.m_bLibraryShown, 1);
    default:
        return std::nullopt;
    }
}

PaneRects ComputePaneLayout(const FrameFlags& flags, const PaneGeometry& g)
{
    const int w = std::max(g.areaWidth, 0);
    const int h = std::max(g.areaHeight, 0);

    // Outer rows: cursor strip, the middle, the library.
    const int strip = Take(kCursorStripHeight, h);
    const int middleWish = flags.m_bLibraryShown
                               ? g.clientHeight - kLibraryAllowance - (g.previewOn ? kLibraryAllowance : 0)
                               : g.clientHeight;
    const int middle = Take(middleWish, h - strip);
    const int library = h - strip - middle;

    // Middle columns: the plot column and the right-hand column.
    const int leftWidth = Take(flags.m_bSettingsShown ? w - kRightColumnWidth : g.clientWidth, w);
    const int rightWidth = w - leftWidth;

    // Left column: second screen over the display form.
    const int second = Take(flags.m_bDualScreen ? kSecondScreenHeight : 0, middle);
    // Right column: parameters over the cable library.
    const int parameters = Take(kParametersHeight, middle);

    PaneRects r;
    r.cursorStrip = {0, 0, w, strip};
    r.secondScreen = {0, strip, leftWidth, second};
    r.display = {0, strip + second, leftWidth, middle - second};
    r.parameters = {leftWidth, strip, rightWidth, parameters};
    r.cableLibrary = {leftWidth, strip + parameters, rightWidth, middle - parameters};
    r.library = {0, strip + middle, w, library};
    return r;
}
