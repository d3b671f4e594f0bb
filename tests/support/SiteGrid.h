// Applies a site grid to a document: sections of (PR, length in metres) laid end
// to end from position 0, selected and applied.
#pragma once

#include "model/ZR815KDoc.h"

#include <initializer_list>
#include <utility>

inline void ApplySiteGrid(CZR815KDoc& doc, std::initializer_list<std::pair<double, double>> sections)
{
    doc.m_gridSections.clear();
    double start = 0;
    for (auto [factor, metres] : sections) {
        SiteGridSection s;
        s.m_dFactor = factor;
        s.m_dLength = metres * 100;
        s.m_dStart = start;
        s.m_dEnd = start + s.m_dLength;
        start = s.m_dEnd;
        doc.m_gridSections.push_back(s);
    }
    doc.m_bGridSelected = true;
    doc.m_bGridApplied = true;
}
