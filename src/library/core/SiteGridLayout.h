// Where the site-grid page of the waveform library puts its two lists, its
// second tool bar and their columns, for the panel's client size.
#pragma once

#include "controls/core/ControlRect.h"

#include <array>

struct SiteGridPlacement
{
    ControlRect gridFiles;               // list 173, on the left
    ControlRect sections;                // list 174, on the right
    int sectionBarX = 0;                 // tool bar 190's left edge
    std::array<int, 6> gridFileColumns{}; // widths
    std::array<int, 6> sectionColumns{};
};

// toolBarHeight: the grid tool bar's height; the scroll-bar widths are 0 when
// the list's rows fit it.
SiteGridPlacement ComputeSiteGridLayout(int width, int height, int toolBarHeight, int gridFilesScrollBar,
                                        int sectionsScrollBar);

// The heading of the section list's factor column.
const char* SectionFactorHeading(bool showHalfVelocity);
