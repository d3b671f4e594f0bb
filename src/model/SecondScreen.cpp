#include "model/SecondScreen.h"

#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Width of one column of the whole-range plot.
double WholeRangeColumnWidth(const CZR815KDoc& doc) { return doc.m_dScale / tables::kColumns; }

} // namespace

int ColumnToInt(double column)
{
    constexpr double kFar = 1e6;
    if (std::isnan(column)) {
        return static_cast<int>(-kFar);
    }
    return static_cast<int>(std::clamp(column, -kFar, kFar));
}

int WholeRangeColumn(const CZR815KDoc& doc, double position)
{
    return ColumnToInt(std::floor(position / WholeRangeColumnWidth(doc) + 0.5));
}

std::pair<int, int> ZoomFrameColumns(const CZR815KDoc& doc)
{
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    return {WholeRangeColumn(doc, left), WholeRangeColumn(doc, right)};
}

void ApplySecondScreenClick(CZR815KDoc& doc, int column)
{
    doc.m_dZoomCentre = WholeRangeColumnWidth(doc) * column;
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

void ApplySecondScreenWheel(CZR815KDoc& doc, int delta)
{
    // A centre closer to an end than half the window shows the same window as
    // one exactly half a window in, so the step starts from there: each step
    // then moves the window at once.
    const double half = doc.ColumnWidth() * (tables::kColumns / 2);
    const double step = WholeRangeColumnWidth(doc);
    double& centre = doc.m_dZoomCentre;
    if (delta == kWheelDown) {
        if (centre + half >= doc.m_dScale) {
            centre = doc.m_dScale - half;
        }
        centre -= step;
        if (centre < 0) {
            centre = 0;
        }
    } else {
        if (centre - half <= 0) {
            centre = half;
        }
        centre += step;
        if (centre > doc.m_dScale) {
            centre = doc.m_dScale;
        }
    }
    doc.UpdateAllViews(nullptr, HINT_REDRAW);
}

void ApplySecondScreenWheelTurn(CZR815KDoc& doc, WheelAccumulator& wheel, int delta)
{
    const int notches = wheel.Add(delta);
    const int step = notches < 0 ? kWheelDown : -kWheelDown;
    for (int i = std::abs(notches); i > 0; --i) {
        ApplySecondScreenWheel(doc, step);
    }
}
