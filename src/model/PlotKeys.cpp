#include "model/PlotKeys.h"

#include "model/PlotMouse.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

#include <algorithm>

namespace {

constexpr int kStepUp = 120;
constexpr int kLargeStep = 10;

// The cursor modes in the order Tab visits them.
constexpr int kModeCycle[] = {MOUSE_CURSOR1, MOUSE_CURSOR2, MOUSE_ZOOM};

int NextMode(int mode, bool backwards)
{
    const int count = static_cast<int>(std::size(kModeCycle));
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (kModeCycle[i] == mode) {
            at = i;
        }
    }
    if (at < 0) {
        return kModeCycle[0]; // from a shift mode the cycle starts at C1
    }
    return kModeCycle[(at + (backwards ? count - 1 : 1)) % count];
}

bool StepActiveCursor(CZR815KDoc& doc, int delta, int steps)
{
    double& cursor = ActiveCursor(doc);
    const double before = cursor;
    for (int i = 0; i < steps && doc.StepCursor(cursor, delta); ++i) {
    }
    return cursor != before;
}

bool PlaceActiveCursor(CZR815KDoc& doc, int column)
{
    double& cursor = ActiveCursor(doc);
    const double before = cursor;
    doc.SetCursorColumn(cursor, column);
    return cursor != before;
}

// Moves a zoomed window by half its width; unzoomed there is nowhere to go.
bool PageWindow(CZR815KDoc& doc, int direction)
{
    if (doc.m_nZoom == 0) {
        return false;
    }
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    const double width = right - left;
    const double centre = std::clamp((left + right) / 2 + direction * width / 2, width / 2, doc.m_dScale - width / 2);
    if (centre == (left + right) / 2) {
        return false;
    }
    doc.m_dZoomCentre = centre;
    return true;
}

} // namespace

double& ActiveCursor(CZR815KDoc& doc)
{
    switch (doc.m_nMouseMode) {
    case MOUSE_CURSOR1:
        return doc.m_dCursor1;
    case MOUSE_CURSOR2:
        return doc.m_dCursor2;
    default:
        return *doc.m_pZoomAnchor;
    }
}

bool ApplyPlotKey(CZR815KDoc& doc, PlotKey key, bool large)
{
    const int steps = large ? kLargeStep : 1;
    bool changed = false;
    switch (key) {
    case PlotKey::Left:
        changed = StepActiveCursor(doc, kWheelDown, steps);
        break;
    case PlotKey::Right:
        changed = StepActiveCursor(doc, kStepUp, steps);
        break;
    case PlotKey::Home:
        changed = PlaceActiveCursor(doc, 0);
        break;
    case PlotKey::End:
        changed = PlaceActiveCursor(doc, tables::kColumns);
        break;
    case PlotKey::ZoomIn:
        changed = doc.StepZoom(kStepUp);
        break;
    case PlotKey::ZoomOut:
        changed = doc.StepZoom(kWheelDown);
        break;
    case PlotKey::PageUp:
        changed = PageWindow(doc, -1);
        break;
    case PlotKey::PageDown:
        changed = PageWindow(doc, 1);
        break;
    case PlotKey::NextMode:
    case PlotKey::PreviousMode:
        // The mode command's own operation: it takes the factor at the new cursor.
        doc.SelectCursorMode(NextMode(doc.m_nMouseMode, key == PlotKey::PreviousMode));
        return true;
    }
    if (changed) {
        doc.UpdateAllViews(nullptr, HINT_REDRAW);
    }
    return changed;
}
