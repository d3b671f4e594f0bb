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
// extremes of impedance; a fall that comes back as cleanly as the launch
// crossed a line that loses little, and needs a third). An echo whose area
// window the record's end cuts shows only part of its size, and needs only
// that share of the window (kLeastAreaSeen at least). The first such echo
// with no real echo after it (echoes under a fifth of it do not count), or
// with its own ghost at twice its distance, and no larger real echo behind
// it, is the end, unless it leaves the level moved behind it (a shelf: cable
// of another impedance goes on) while no larger than a change can be, or is
// a fall widened without a tail (a wet stretch a little longer than the
// pulse); every echo past it is a multiple. Any other rise is a change of
// cable. A fall is water when it is a stretch (closed by a rise at its far
// side), or wider than the pulse (its far side lost in it), else a change to
// a lower impedance. Where the evidence is split (a large echo with a
// smaller real one behind it) the line is taken to go on: reporting a break
// where there is none sends a technician digging.
void Finder::Classify(std::vector<Echo>& echoes) const
{
    const double W = m_dPulseSamples;
    std::vector<char> flat(echoes.size(), 0);
    for (std::size_t i = 0; i < echoes.size(); ++i) {
        flat[i] = FlatFall(echoes[i]) ? 1 : 0;
    }
    std::size_t end = echoes.size();
    for (std::size_t i = 0; i < echoes.size() && end == echoes.size(); ++i) {
        const Echo& echo = echoes[i];
        const bool shelf = echo.m_bShelf && !(echo.m_dSize >= kEndSizeSure && echo.m_e.m_dReturnLoss < kEndSureDb);
        const double seen = AreaSeen(echo.m_c);
        if (echo.m_e.m_bGhost || echo.m_c.m_shape == Shape::Splice || shelf || flat[i] != 0 || echo.m_bJoined ||
            !echo.m_bReturns || echo.m_dSize < kEndSizeSpread * seen) {
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
            } else if (std::fabs(echoes[j].m_dHeight) >= kEndOutweighs * std::fabs(echo.m_dHeight)) {
                lineGoesOn = true;
                largerBehind = largerBehind || std::fabs(echoes[j].m_dHeight) >= std::fabs(echo.m_dHeight);
            }
        }
        // The line's loss, from the echo's spreading, lowers the size an end
        // must have. An echo still lingering two pulse widths on and gone by
        // six was spread by the line though its tail decays more slowly than
        // the tail's measure allows. A rise lingering so may as well be the
        // fading shelf that cable of a higher impedance leaves, unless the
        // rise itself is widened well past the pulse.
        double spread = echo.m_dTail;
        double unused = 0;
        if (spread == 0 && LevelBehind(echo, 2) >= kSpreadLingers && LevelBehind(echo, 6) < kSpreadGone &&
            (echo.m_e.m_nSign < 0 || FirstSwing(echo, &unused) >= kSpreadWidth * W)) {
            spread = std::min(LevelBehind(echo, 2), kLongestTail);
        }
        double endSize = std::max(spread > echo.m_dTail ? kEndSizeSpread : kEndSize, kEndSizeUnspread - spread) * seen;
        if (echo.m_e.m_nSign < 0 && echo.m_dTail == 0 && LevelBehind(echo, 2) < kCleanBack) {
            endSize = kEndSizeClean * seen;
        }
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
        } else if (echo.m_bJoined && e.m_bStretch) {
            // A fall closed by the rise at its far side: wet cable, real or
            // (past the end, or where a multiple falls) its ghost.
            e.m_kind = LineEventKind::Water;
        } else if (i == end || e.m_bGhost) {
            // An end, or its multiple, has no far side.
            e.m_kind = e.m_nSign > 0 ? LineEventKind::Open : LineEventKind::Short;
            e.m_bStretch = false;
            e.m_dEndSample = 0;
        } else if (e.m_nSign > 0) {
            e.m_kind = LineEventKind::Change;
        } else {
            const bool wide = shape == Shape::Wide || (shape == Shape::Shelf && LevelBehind(echo, 2) < -kSwungBack);
            double unused = 0;
            const bool large = flat[i] != 0 ||
                               (echo.m_dSize >= kLargeFall && FirstSwing(echo, &unused) >= kWideFall * W);
            e.m_kind = e.m_bStretch || wide || large ? LineEventKind::Water : LineEventKind::Change;
        }
    }
}

// The level `widths` pulse widths behind the echo's edge (smoothed over half
// a pulse; at the record's end, as near as it goes) against its height.
double Finder::LevelBehind(const Echo& echo, double widths) const
{
    const double W = m_dPulseSamples;
    if (echo.m_dHeight == 0) {
        return 0;
    }
    const int h = std::max(1, static_cast<int>(std::lround(W / 4)));
    const int at = std::min(kCount - 1 - h, static_cast<int>(echo.m_c.m_dEdge + widths * W));
    const double level = WindowMean(std::max(echo.m_c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    return (Smoothed(at, h) - level) / echo.m_dHeight;
}

// A fall whose closing edge undoes only part of it, widened past the pulse
// without the tail a lossy line gives (or far wider and larger than a change
// of cable), and weaker than an end near the instrument: the near side and
// the far side of a wet stretch a little longer than the pulse, run together.
bool Finder::FlatFall(const Echo& echo) const
{
    const LineEvent& e = echo.m_e;
    if (e.m_nSign > 0 || e.m_bStretch || echo.m_bJoined || echo.m_c.m_shape != Shape::Shelf ||
        e.m_dReturnLoss < kFlatLeastDb) {
        return false;
    }
    double unused = 0;
    const double width = FirstSwing(echo, &unused) / m_dPulseSamples;
    return (width >= kFlatWidth && LevelBehind(echo, 2) <= kFlatBack) ||
           (width >= kFlatVeryWide && e.m_dReturnLoss < kFlatMostDb);
}

} // namespace events
