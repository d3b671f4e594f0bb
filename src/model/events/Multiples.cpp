// Multiple reflections flagged as ghosts.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>

namespace events {

double Finder::GhostTolerance(double sample) const { return std::max({3.0, 0.3 * m_dPulseSamples, 0.01 * sample}); }

// An echo at twice the edge of a stronger, earlier one, within what the
// widened edges allow.
void Finder::MarkGhosts(std::vector<LineEvent>& events) const
{
    for (std::size_t j = 0; j < events.size(); ++j) {
        for (std::size_t i = 0; i < j; ++i) {
            if (events[i].m_bGhost) {
                continue;
            }
            if (std::fabs(2 * events[i].m_dSample - events[j].m_dSample) <= GhostTolerance(events[j].m_dSample) &&
                std::abs(events[j].m_nAmplitude) < std::abs(events[i].m_nAmplitude)) {
                events[j].m_bGhost = true;
                break;
            }
        }
    }
}

} // namespace events
