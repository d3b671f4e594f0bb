// The kind of each event.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>

namespace events {

// The kinds follow the physics. A splice shows its double edge, or a +/−
// pair within a pulse and a half. An open or a short ends the line: nothing
// real follows it but multiples, and its size, taken as its area so that the
// spreading of a lossy line is allowed for, is close to the launch's (the DC
// resistance and the instrument's mismatch take some of it: a quarter is
// enough, a cable change reflects less than a third even between the
// extremes of impedance). The first such echo with no real echo after it, or
// with its own ghost at twice its distance, and no larger real echo behind
// it, is the end, unless it leaves the
// level moved behind it (a shelf: cable of another impedance goes on); every echo past it
// is a multiple. Any other rise is a change of cable; a fall is water when
// it is closed by a rise at its far end, or is wider than the pulse, else a
// change to a lower impedance. Where the evidence is split (a large echo
// with a smaller real one behind it) the line is taken to go on: reporting
// a break where there is none sends a technician digging.
void Finder::Classify(std::vector<Echo>& echoes) const
{
    std::size_t end = echoes.size();
    for (std::size_t i = 0; i < echoes.size() && end == echoes.size(); ++i) {
        const Echo& echo = echoes[i];
        if (echo.m_e.m_bGhost || echo.m_c.m_shape == Shape::Splice || echo.m_bShelf ||
            echo.m_bJoined || !echo.m_bReturns || echo.m_dSize < kEndSize) {
            continue;
        }
        bool hasGhost = false;
        bool lineGoesOn = false;
        bool largerBehind = false; // no multiple of it, and nothing past an end, is larger
        for (std::size_t j = i + 1; j < echoes.size(); ++j) {
            const LineEvent& later = echoes[j].m_e;
            if (later.m_bGhost) {
                hasGhost = hasGhost || std::fabs(2 * echo.m_e.m_dSample - later.m_dSample) <=
                                           GhostTolerance(later.m_dSample);
            } else {
                lineGoesOn = true;
                largerBehind = largerBehind || std::fabs(echoes[j].m_dHeight) >= std::fabs(echo.m_dHeight);
            }
        }
        // The line's loss, from the echo's spreading, lowers the size an end must have.
        const double endSize = std::max(kEndSize, kEndSizeUnspread - echo.m_dTail);
        if (!largerBehind &&
            (((hasGhost || !lineGoesOn) && echo.m_dSize >= endSize) || echo.m_dSize >= kEndSizeSure)) {
            end = i;
        }
    }
    for (std::size_t i = 0; i < echoes.size(); ++i) {
        Echo& echo = echoes[i];
        LineEvent& e = echo.m_e;
        if (i > end) {
            e.m_bGhost = true;
        }
        const Shape shape = echo.m_c.m_shape;
        if (shape == Shape::Splice || (echo.m_bJoined && !e.m_bStretch)) {
            e.m_kind = LineEventKind::Splice;
        } else if (i == end || e.m_bGhost) {
            e.m_kind = e.m_nSign > 0 ? LineEventKind::Open : LineEventKind::Short;
        } else if (e.m_nSign > 0) {
            e.m_kind = LineEventKind::Change;
        } else {
            const bool wide = shape == Shape::Wide || shape == Shape::Shelf;
            e.m_kind = e.m_bStretch || wide ? LineEventKind::Water : LineEventKind::Change;
        }
    }
}

} // namespace events
