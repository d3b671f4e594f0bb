#include "controls/core/CursorStrip.h"

#include "model/Format.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

#include <cmath>

namespace {

std::string LengthText(double d1, double d2) { return FormatFixed(std::fabs(d1 - d2), 3) + " m"; }

} // namespace

CursorReadout InitialCursorReadout(const CZR815KDoc& doc)
{
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    const double toDistance = tables::kReferenceFactor / doc.m_dFactor;
    const double step = doc.WindowWidth() / tables::kColumns * toDistance;
    CursorReadout r;
    r.c1 = {left * toDistance, right * toDistance, doc.m_dCursor1 * toDistance, step};
    r.c2 = {left * toDistance, right * toDistance, doc.m_dCursor2 * toDistance, step};
    r.length = FormatFixed(std::fabs(doc.m_dCursor1 - doc.m_dCursor2) * toDistance, 3) + " m";
    return r;
}

CursorReadout CursorReadoutOf(const CZR815KDoc& doc)
{
    double left = 0;
    double right = 0;
    double d1 = 0;
    double d2 = 0;
    double r1 = 0;
    double r2 = 0;
    doc.GetViewDistances(left, right);
    doc.GetCursorDistances(d1, d2, r1, r2);
    CursorReadout r;
    r.c1 = {left, right, d1, r1};
    r.c2 = {left, right, d2, r2};
    r.length = LengthText(d1, d2);
    return r;
}

std::vector<std::string> ZoomEntries(double scale)
{
    std::vector<std::string> entries;
    const int deepest = tables::MaxZoom(scale);
    for (int i = 0; i <= deepest; ++i) {
        entries.push_back(FormatInt(int64_t{1} << i));
    }
    return entries;
}

StripPlacement ComputeStripLayout(int width, int height, const std::array<LabelSize, 4>& labels)
{
    int total = 470;
    for (const LabelSize& label : labels) {
        total += label.width;
    }
    const int gap = (width - total) / 8; // truncates toward zero
    StripPlacement p;
    int x = 2;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        x += gap;
        p.labels[i] = {x, (height - labels[i].height) / 2, labels[i].width, labels[i].height};
        x += labels[i].width + 2;
        p.controls[i] = {x, 1, kStripControlWidths[i], 22};
        x += kStripControlWidths[i] + gap + 5;
    }
    return p;
}
