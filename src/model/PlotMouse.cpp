#include "model/PlotMouse.h"

#include "model/ZR815KDoc.h"

namespace {

constexpr int kNotch = 120;

// The shift a shift mode acts on, or null in any other mode.
int32_t* ModeShift(CZR815KDoc& doc)
{
    switch (doc.m_nMouseMode) {
    case MOUSE_SHIFT_M1:
        return &doc.m_memory[0].m_nShift;
    case MOUSE_SHIFT_M2:
        return &doc.m_memory[1].m_nShift;
    case MOUSE_SHIFT_M3:
        return &doc.m_memory[2].m_nShift;
    default:
        return nullptr;
    }
}

// The cursor a cursor mode acts on, or null in any other mode.
double* ModeCursor(CZR815KDoc& doc)
{
    switch (doc.m_nMouseMode) {
    case MOUSE_CURSOR1:
        return &doc.m_dCursor1;
    case MOUSE_CURSOR2:
        return &doc.m_dCursor2;
    default:
        return nullptr;
    }
}

} // namespace

void ApplyPlotClick(CZR815KDoc& doc, int column, int value)
{
    if (doc.m_nMouseMode == MOUSE_ZOOM) {
        doc.SetCursorColumn(*doc.m_pZoomAnchor, column);
    } else if (double* cursor = ModeCursor(doc)) {
        doc.SetCursorColumn(*cursor, column);
    } else if (int32_t* shift = ModeShift(doc)) {
        *shift = value;
    }
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

bool ApplyPlotWheel(CZR815KDoc& doc, int delta)
{
    bool changed = false;
    if (doc.m_nMouseMode == MOUSE_ZOOM) {
        changed = doc.StepZoom(delta);
    } else if (double* cursor = ModeCursor(doc)) {
        changed = doc.StepCursor(*cursor, delta);
    } else if (int32_t* shift = ModeShift(doc)) {
        changed = doc.StepShift(*shift, delta);
    }
    if (changed) {
        doc.UpdateAllViews(nullptr, HINT_REDRAW);
    }
    return changed;
}

int WheelAccumulator::Add(int delta)
{
    // Deltas turning back discard what was gathered the other way.
    if ((m_nPending > 0 && delta < 0) || (m_nPending < 0 && delta > 0)) {
        m_nPending = 0;
    }
    m_nPending += delta;
    const int notches = m_nPending / kNotch;
    m_nPending -= notches * kNotch;
    return notches;
}
