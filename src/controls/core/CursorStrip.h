// What the cursor strip shows, without the widgets: the C1 and C2 fields (range
// is the visible window, one step is one plot column at that cursor, all in
// metres of distance), the distance between the cursors, the zoom list of the
// current scale, and where its labels and controls go.
#pragma once

#include "controls/core/ControlRect.h"

#include <array>
#include <string>
#include <vector>

class CZR815KDoc;

// The numbers SetParams takes for a cursor field.
struct CursorField
{
    double minimum = 0;
    double maximum = 0;
    double value = 0;
    double step = 0;
};

struct CursorReadout
{
    CursorField c1;
    CursorField c2;
    std::string length; // "%.3f m" of the distance between the cursors
};

// The first fill, at the strip's initial update: the window and cursors at the
// document's PR, site grid or not.
CursorReadout InitialCursorReadout(const CZR815KDoc& doc);
// Every later update: through the document's distance operations, section by
// section while a site grid is in force.
CursorReadout CursorReadoutOf(const CZR815KDoc& doc);

// "1", "2", "4", ... up to the deepest zoom of the scale; entry i is zoom exponent i.
std::vector<std::string> ZoomEntries(double scale);

// Widths of the C1 field, the C2 field, the L field and the zoom list.
inline constexpr std::array<int, 4> kStripControlWidths = {160, 160, 95, 45};

struct StripPlacement
{
    std::array<ControlRect, 4> labels;   // "C1", "C2", "L", "Zoom"
    std::array<ControlRect, 4> controls; // C1 field, C2 field, L field, zoom list
};

// Groups of label and control from left to right, spread by one gap that
// grows with the strip's width (and may go negative on a narrow strip).
StripPlacement ComputeStripLayout(int width, int height, const std::array<LabelSize, 4>& labels);
