#include "model/SectionBoundaries.h"

#include "model/ZR815KDoc.h"

#include <cmath>

namespace {

// The column of a position, as the cursor lines are placed: the nearest column
// edge. Positions outside the window are not asked for.
int ColumnOf(double position, double left, double columnWidth)
{
    return static_cast<int>(std::floor((position - left) / columnWidth + 0.5));
}

} // namespace

std::vector<SectionBoundary> SectionBoundariesInView(const CZR815KDoc& doc)
{
    std::vector<SectionBoundary> boundaries;
    if (!doc.GridInForce()) {
        return boundaries;
    }
    double left = 0;
    double right = 0;
    doc.GetViewWindow(left, right);
    const double c = doc.ColumnWidth();
    const auto add = [&](double position, std::string name) {
        if (position >= left && position <= right) {
            boundaries.push_back({ColumnOf(position, left, c), std::move(name)});
        }
    };
    for (std::size_t i = 0; i < doc.m_gridSections.size(); ++i) {
        const std::string name = i < doc.m_gridNames.size() ? doc.m_gridNames[i] : std::string();
        add(doc.m_gridSections[i].m_dStart / 100, name);
    }
    add(doc.m_gridSections.back().m_dEnd / 100, std::string());
    return boundaries;
}
