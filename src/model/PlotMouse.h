// What a click or a wheel step on the main plot does to the document, by mouse
// mode, and how fine wheel deltas become whole notches.
#pragma once

#include <cstdint>

class CZR815KDoc;

// A left click at plot column `column` and data value `value`: mode 0 moves the
// zoom-anchor cursor, 1 and 2 move C1 or C2, 5..7 set the shift of M1..M3 to the
// value; other modes change nothing. Every click ends with a redraw update.
void ApplyPlotClick(CZR815KDoc& doc, int column, int value);

// One wheel step of `delta` (only -120 is a step down): zoom, cursor or shift by
// mode. Sends a redraw update and returns true only when the step changed
// something; a step that hits a limit stores the limit and returns false.
bool ApplyPlotWheel(CZR815KDoc& doc, int delta);

// Gathers wheel deltas into whole notches of 120, so a touchpad's many small
// deltas step like a mouse wheel. A mouse notch passes straight through.
class WheelAccumulator
{
public:
    // Adds a delta and returns the signed number of whole notches now complete.
    int Add(int delta);
    void Reset() { m_nPending = 0; }

private:
    int32_t m_nPending = 0;
};
