// Where the sections of the site grid in force begin and end on the main plot:
// the columns of the boundaries inside the visible window, each with the name
// of the section that starts there (the grid's far end has no name). Nothing
// while no grid is in force.
#pragma once

#include <string>
#include <vector>

class CZR815KDoc;

struct SectionBoundary
{
    int m_nColumn = 0;
    std::string m_strName;
    bool operator==(const SectionBoundary&) const = default;
};

std::vector<SectionBoundary> SectionBoundariesInView(const CZR815KDoc& doc);
