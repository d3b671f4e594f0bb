// Multiple reflections flagged as ghosts.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>

namespace events {

// A multiple has been spread by the line more than the echoes it comes from,
// so its leading edge is placed less sharply.
double Finder::GhostTolerance(double sample) const
{
    return std::max({3.0, kGhostWidths * m_dPulseSamples, 0.01 * sample});
}

// A pulse bounces between every two reflecting points and comes back late:
// between the instrument and an echo at a (at 2a), between two echoes at a
// and b (at 2b − a), and once to each with a bounce at the instrument
// between (at a + b). A far side of a stretch reflects too. Such a multiple
// is smaller than both echoes it comes from, and no larger than the product
// of their reflections (the instrument's mismatch reflects less than a
// third), allowing for what the line's loss took from them on the way; an
// echo at one of those places, within what the widened edges allow, and
// that small, is flagged. A second wet stretch behind a first one is no
// multiple of it however it lies: two weak reflections make a far weaker one.
void Finder::MarkGhosts(std::vector<Echo>& echoes) const
{
    struct Point
    {
        double m_dSample;
        double m_dSize; // |height|
    };
    std::vector<Point> points;
    const double launch = std::max(LaunchHeight(), 1.0);
    for (Echo& echo : echoes) {
        const double here = echo.m_e.m_dSample;
        const double size = std::fabs(echo.m_dHeight);
        const double tolerance = GhostTolerance(here);
        const auto at = [&](double where, double a, double b) {
            return std::fabs(where - here) <= tolerance && size < std::min(a, b) &&
                   size < kGhostGain * a * b / launch;
        };
        for (std::size_t i = 0; i < points.size() && !echo.m_e.m_bGhost; ++i) {
            const Point& a = points[i];
            if (at(2 * a.m_dSample, a.m_dSize, a.m_dSize)) {
                echo.m_e.m_bGhost = true;
            }
            for (std::size_t j = i + 1; j < points.size() && !echo.m_e.m_bGhost; ++j) {
                const Point& b = points[j];
                if (at(a.m_dSample + b.m_dSample, a.m_dSize, b.m_dSize) ||
                    at(2 * b.m_dSample - a.m_dSample, a.m_dSize, b.m_dSize)) {
                    echo.m_e.m_bGhost = true;
                }
            }
        }
        if (!echo.m_e.m_bGhost) {
            points.push_back({here, size});
            if (echo.m_e.m_bStretch) {
                points.push_back({echo.m_e.m_dEndSample, size});
            }
        }
    }
}

} // namespace events
