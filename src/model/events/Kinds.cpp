// The kind of each event.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>

namespace events {

// The best guess of each kind. A splice shows its double edge. An echo
// with a ghost, or with no real echo after it, may be the end of the line:
// an open when it rises, a short when it falls, as long as it is shaped
// like the pulse. A rise that leaves the level moved, or with the line
// going on behind it, is a change of cable; a fall wider than the pulse,
// or with the line going on, is water.
void Finder::Classify(const std::vector<Candidate>& candidates, std::vector<LineEvent>& events) const
{
    for (std::size_t i = 0; i < events.size(); ++i) {
        LineEvent& e = events[i];
        const Candidate& c = candidates[i];
        if (c.m_shape == Shape::Splice) {
            e.m_kind = LineEventKind::Splice;
            continue;
        }
        bool hasGhost = false;
        bool lineGoesOn = false;
        for (std::size_t j = i + 1; j < events.size(); ++j) {
            if (events[j].m_bGhost) {
                hasGhost = hasGhost ||
                           std::fabs(2 * e.m_dSample - events[j].m_dSample) <= GhostTolerance(events[j].m_dSample);
            } else {
                lineGoesOn = true;
            }
        }
        const bool end = hasGhost || !lineGoesOn;
        const bool pulse = c.m_shape == Shape::Pulse || c.m_shape == Shape::Lone;
        if (e.m_bGhost) {
            e.m_kind = e.m_nSign > 0 ? LineEventKind::Open : LineEventKind::Short;
        } else if (e.m_nSign > 0) {
            e.m_kind = end && pulse ? LineEventKind::Open : LineEventKind::Change;
        } else {
            e.m_kind = end && pulse ? LineEventKind::Short : LineEventKind::Water;
        }
    }
}

} // namespace events
