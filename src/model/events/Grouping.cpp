// Lobes read as echoes: which edges belong to one echo, its shape and where it starts.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace events {

// Whether lobe i stands alone (no lobe within two pulse widths either
// side) with the step response leaning the other way half a pulse width
// before and after it: the double edge of a splice, half a pulse up and
// half a pulse down, whose outer edges are half its size.
bool Finder::LoneDoubleEdge(const std::vector<Lobe>& lobes, std::size_t i) const
{
    const Lobe& a = lobes[i];
    const double W = m_dPulseSamples;
    if ((i > 0 && a.m_dCentre - lobes[i - 1].m_dCentre <= 2 * W) ||
        (i + 1 < lobes.size() && lobes[i + 1].m_dCentre - a.m_dCentre <= 2 * W)) {
        return false;
    }
    const int L = m_nWindow;
    const int centre = static_cast<int>(std::lround(a.m_dCentre));
    const double sign = a.m_dHeight > 0 ? 1 : -1;
    const auto flank = [&](int middle) {
        double best = 0;
        for (int k = std::max(middle - L / 2, m_nDeadEnd); k <= std::min(middle + L / 2, kCount - 1); ++k) {
            best = std::max(best, -sign * m_d[k]);
        }
        return best;
    };
    const double least = kSpliceFlank * std::fabs(a.m_dHeight);
    return centre - L - L / 2 >= m_nDeadEnd && flank(centre - L) >= least && flank(centre + L) >= least;
}

// Reads the lobes as echoes. A lobe centre lies half a sample after the
// edge it marks (between the two windows).
std::vector<Candidate> Finder::Group(const std::vector<Lobe>& lobes) const
{
    std::vector<Candidate> candidates;
    const double W = m_dPulseSamples;
    const double slack = std::max(2.0, 0.3 * W);
    // An echo's closing edges lie within two pulse widths of its leading
    // edge, or a pulse width and the longest wet stretch.
    const double reach = std::max(2 * W, W + kLongestStretch / m_dStep);
    const auto height = [&](std::size_t j) { return std::fabs(lobes[j].m_dHeight); };
    const auto opposite = [&](std::size_t i, std::size_t j) {
        return j < lobes.size() && lobes[i].m_dHeight * lobes[j].m_dHeight < 0;
    };
    for (std::size_t i = 0; i < lobes.size(); ++i) {
        const Lobe& a = lobes[i];
        Candidate c;
        c.m_nSign = a.m_dHeight > 0 ? 1 : -1;
        c.m_dStrength = height(i) / m_nWindow;
        c.m_dEdge = a.m_dCentre - 0.5;
        c.m_nLevelAt = a.m_nStart - m_nWindow;
        const std::size_t b = i + 1;
        const double ratio = opposite(i, b) ? height(b) / height(i) : 0;
        const double apart = opposite(i, b) ? lobes[b].m_dCentre - a.m_dCentre : 0;
        const bool closed = opposite(b, b + 1) && height(b + 1) >= 0.4 * height(i) &&
                            height(b + 1) <= 2.5 * height(i) &&
                            std::fabs(lobes[b + 1].m_dCentre - lobes[b].m_dCentre - apart) <= slack;
        if (ratio >= 1.3 && ratio <= 3.5 && (std::fabs(apart - W / 2) <= slack || (closed && apart <= W))) {
            // A splice: half a pulse up, half a pulse down. Its double edge
            // lies half a pulse after the leading edge however the line has
            // widened it; the closing edge, when it shows, belongs to it too.
            c.m_shape = Shape::Splice;
            c.m_dStrength = std::max(height(i), height(b)) / m_nWindow;
            c.m_dEdge = lobes[b].m_dCentre - 0.5 - W / 2;
            i = closed ? b + 1 : b;
            c.m_nTopFrom = static_cast<int>(c.m_dEdge);
            c.m_nTopTo = c.m_nTopFrom + 1;
            candidates.push_back(c);
            continue;
        }
        if (LoneDoubleEdge(lobes, i)) {
            // A splice whose half pulses stayed under the threshold: its
            // double edge lies half a pulse after its leading edge.
            c.m_shape = Shape::Splice;
            c.m_dEdge = a.m_dCentre - 0.5 - W / 2;
            c.m_nTopFrom = static_cast<int>(c.m_dEdge);
            c.m_nTopTo = c.m_nTopFrom + 1;
            candidates.push_back(c);
            continue;
        }
        // The closing edges: opposite lobes within reach that together do
        // not undo more than the leading edge did, and lie together (the
        // lobes of one edge that the noise splits): a lobe behind a quiet
        // gap is an edge of its own, the far side of a stretch or another
        // fault's echo, which the grouping of echoes weighs.
        double closing = 0;
        std::size_t last = i;
        // A lobe well behind the leading edge, larger than it or behind a
        // quiet gap, and closed by an opposite lobe of its own, starts an
        // echo of its own (a pulse of its own, not the end of a wide
        // fall, which comes back to the level without a swing); so
        // does the last lobe where the record ends before its own closing
        // edge could show.
        const auto ownEcho = [&](std::size_t j) {
            const bool closedItself = opposite(j, j + 1) && height(j + 1) >= kOwnEchoClosing * height(j) &&
                                      lobes[j + 1].m_dCentre - lobes[j].m_dCentre <= reach;
            const bool recordEnds = j + 1 == lobes.size() && lobes[j].m_dCentre + W >= kCount - m_nWindow;
            const bool quiet = lobes[j].m_nStart - lobes[j - 1].m_nEnd > kOwnEchoQuiet * W;
            return lobes[j].m_dCentre - a.m_dCentre > kOwnEchoApart * W && (height(j) > height(i) || quiet) &&
                   (closedItself || recordEnds);
        };
        // Only a fall may last as long as a wet stretch; a rise that
        // stays is a change of cable, whose shelf fades too slowly to
        // close it with a lobe.
        const double closingReach = c.m_nSign < 0 ? reach : 2 * W;
        for (std::size_t j = b; opposite(i, j) && lobes[j].m_dCentre - a.m_dCentre <= closingReach &&
                                closing + height(j) <= 1.25 * height(i) + m_nThreshold && !ownEcho(j) &&
                                (j == b || lobes[j].m_nStart - lobes[j - 1].m_nEnd <= kClosingGap * W);
             ++j) {
            closing += height(j);
            last = j;
        }
        if (last > i) {
            // A pulse shaped like the launch: its rise and fall spread
            // evenly about its middle, which stays half a pulse after the
            // leading edge.
            // Its rise alone is early when the line has widened the echo so
            // much that rise and fall meet, or when the top is clipped. The
            // lobes of a pulse meet at its middle; only the threshold's
            // third, raised by the slow part, opens a gap between them,
            // which stays under L.
            const bool touching = lobes[b].m_nStart - a.m_nEnd <= std::max(2, m_nWindow);
            const bool clipped = Clipped(a.m_nStart, lobes[b].m_nEnd);
            const Lobe& z = lobes[b];
            // The line's smoothing widens both lobes past their half-width
            // of W/4 and pushes them apart as they merge. An echo whose
            // lobes touch and mirror each other (a falling one with its
            // leading lobe not narrowed where a wet stretch dries) is no
            // wet stretch: however far the smoothing parts them, they stay
            // even about its middle.
            const double widened = (a.HalfWidth() + z.HalfWidth()) / 2 - W / 4;
            const bool mirrored = (c.m_nSign > 0 || a.HalfWidth() >= kCutWidth * z.HalfWidth()) && touching && ratio >= 0.85 && ratio <= 1 / 0.85;
            const double parted = mirrored ? W : std::max({2.0, 0.12 * W, kWidenedApart * widened});
            const double pulseReach = W + std::max(slack, mirrored ? W : 0.0);
            if ((last == b && ratio >= 0.85 && apart <= pulseReach) ||
                (clipped && ratio >= kClippedRatio && apart <= W + slack)) {
                c.m_shape = Shape::Pulse;
                // A wet stretch a little longer than the pulse looks much
                // the same, but for the distance between its edges.
                // A closing edge cut off by the end of the record keeps
                // its first half: the two edges mirror each other.
                const double closingCentre = z.m_bCut ? z.m_dRise + a.HalfWidth() : z.m_dCentre;
                if ((touching && apart <= W + parted) || clipped) {
                    c.m_dEdge = (a.m_dCentre + closingCentre) / 2 - 0.5 - W / 2;
                }
            } else {
                c.m_shape = closing < 0.85 * height(i) ? Shape::Shelf : Shape::Wide;
                if (c.m_shape == Shape::Wide && c.m_nSign < 0 && !lobes[last].m_bCut) {
                    // A wet stretch longer than the pulse: its far side is
                    // where the closing edge starts, a pulse before it ends.
                    c.m_dEnd = lobes[last].m_dCentre - 0.5 - W;
                }
            }
            if (c.m_nSign < 0 && a.HalfWidth() < kCutWidth * z.HalfWidth() && !z.m_bCut &&
                c.m_dEdge == a.m_dCentre - 0.5) {
                // The leading edge's far side overlapped by a weak
                // opposite edge (where a wet stretch dries): its near
                // side and the closing edge's width place it.
                c.m_dEdge = a.m_dRise + z.HalfWidth() - 0.5;
            }
            c.m_nTopTo = static_cast<int>(lobes[b].m_dCentre);
            i = last;
            if (const std::optional<Candidate> far = OvershotFarSide(lobes, c, last)) {
                // The closing edge carried the trace past the level: the
                // pulse's own rise merged with the rise of another echo
                // behind it (a wet stretch's far side a pulse or two
                // behind its start, spread so the two rises meet). The
                // fall that brings the trace back down closes that echo.
                // The merged closing edge is no measure of the fall's
                // width: the fall's own lobe places it.
                c.m_shape = Shape::Pulse;
                c.m_dEdge = a.m_dCentre - 0.5;
                c.m_dEnd = 0;
                c.m_bFollowed = true;
                FinishCandidate(c);
                candidates.push_back(c);
                candidates.push_back(*far);
                i = last + 1;
                continue;
            }
        }
        FinishCandidate(c);
        candidates.push_back(c);
    }
    return candidates;
}

// Where an echo's height is sought: from its leading edge to a window before
// its closing edge (or a pulse on, where it has none).
void Finder::FinishCandidate(Candidate& c) const
{
    c.m_nTopFrom = static_cast<int>(c.m_dEdge);
    if (c.m_nTopTo <= c.m_nTopFrom) {
        c.m_nTopTo = static_cast<int>(c.m_dEdge + m_dPulseSamples);
    }
    c.m_nTopTo = std::max(c.m_nTopFrom, c.m_nTopTo - m_nWindow);
}

std::optional<Candidate> Finder::OvershotFarSide(const std::vector<Lobe>& lobes, const Candidate& c,
                                                 std::size_t last) const
{
    const double W = m_dPulseSamples;
    const std::size_t n = last + 1;
    if (c.m_nSign > 0 || n >= lobes.size() || lobes[n].m_dHeight >= 0 ||
        lobes[n].m_dCentre - lobes[last].m_dCentre > kOvershootReach * W) {
        return std::nullopt;
    }
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    double depth = 0;
    for (int k = std::max(0, static_cast<int>(c.m_dEdge)); k <= lobes[last].m_nPeak; ++k) {
        depth = std::max(depth, level - Tenth(k));
    }
    double over = 0;
    for (int k = lobes[last].m_nPeak; k <= lobes[n].m_nPeak; ++k) {
        over = std::max(over, Tenth(k) - level);
    }
    Candidate far;
    far.m_shape = Shape::Pulse;
    far.m_nSign = 1;
    far.m_dEdge = lobes[n].m_dCentre - 0.5 - W;
    if (over < kOvershootShare * depth || over < kEdgeDeviations * m_dNoise || far.m_dEdge <= c.m_dEdge) {
        return std::nullopt;
    }
    far.m_dStrength = std::fabs(lobes[n].m_dHeight) / m_nWindow;
    far.m_nLevelAt = c.m_nLevelAt;
    far.m_nTopTo = static_cast<int>(lobes[n].m_dCentre);
    FinishCandidate(far);
    return far;
}

// Whether a sample from a to b stands at either end of the range.
bool Finder::Clipped(int a, int b) const
{
    const auto first = std::lower_bound(m_clipped.begin(), m_clipped.end(), a);
    return first != m_clipped.end() && *first < b;
}

// How long the first swing of an echo lasts between its half-height points
// on the trace smoothed over a tenth of a pulse, and where the swing back
// past the level (a +/− echo's second half) rises through half its height.
double Finder::FirstSwing(const Candidate& c, double* backRise) const
{
    const double W = m_dPulseSamples;
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    const int from = std::max(0, static_cast<int>(c.m_dEdge - W / 4));
    const int to = std::min(kCount - 1, static_cast<int>(c.m_dEdge + 2.5 * W));
    const auto swing = [&](int k) { return c.m_nSign * (Tenth(k) - level); };
    *backRise = 0;
    int top = from;
    double peak = 0;
    for (int k = from; k <= to; ++k) {
        const double v = swing(k);
        if (v > peak) {
            peak = v;
            top = k;
        }
        if (peak > 0 && v < -0.5 * peak) {
            break; // swung back: the first swing has peaked
        }
    }
    if (peak <= 0) {
        return 0;
    }
    int start = top;
    while (start > from && swing(start - 1) >= peak / 2) {
        --start;
    }
    int end = top;
    while (end < to && swing(end + 1) >= peak / 2) {
        ++end;
    }
    double back = 0;
    int backAt = end;
    for (int k = end; k <= to; ++k) {
        if (-swing(k) > back) {
            back = -swing(k);
            backAt = k;
        }
    }
    if (back > kEdgeDeviations * m_dNoise) {
        int k = backAt;
        while (k > end && -swing(k - 1) >= back / 2) {
            --k;
        }
        *backRise = k;
    }
    return end + 1 - start;
}

double Finder::FirstSwing(const Echo& echo, double* backRise) const
{
    if (!echo.m_swing) {
        double back = 0;
        const double width = FirstSwing(echo.m_c, &back);
        echo.m_swing = {width, back};
    }
    *backRise = echo.m_swing->second;
    return echo.m_swing->first;
}

// A wet stretch's far side may stay under the threshold: its rise comes back
// through the wet cable, weakened and widened. Behind a lone fall it is
// sought as a bump one pulse wide standing clear of the noise and of a
// share of the fall, with the trace back down behind it (a step up would be
// a change of cable).
double Finder::FarSide(const Echo& echo) const
{
    const Candidate& c = echo.m_c;
    const double W = m_dPulseSamples;
    const double reach = std::max(kLongestStretchWidths * W, W + kLongestStretch / m_dStep);
    const int n = std::clamp(static_cast<int>(std::lround(W)), 1, kCount / 4);
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    const auto mean = [&](int k) {
        k = std::clamp(k, 0, kCount - n);
        return static_cast<double>(m_sum[k + n] - m_sum[k]) / n - level;
    };
    const int from = static_cast<int>(c.m_dEdge + kFarSideFrom * W);
    const int to = std::min(static_cast<int>(c.m_dEdge + reach), kCount - n - 1);
    double best = 0;
    int at = -1;
    for (int k = from; k <= to; k += std::max(1, n / 4)) {
        if (mean(k) > best) {
            best = mean(k);
            at = k;
        }
    }
    const double least = std::max(kFarSideShare * std::fabs(echo.m_dHeight),
                                  kFarSideThreshold * static_cast<double>(m_nThreshold) / m_nWindow);
    if (at < 0 || best < least || (at + 2 * n < kCount - n && mean(at + 2 * n) > kFarSideBack * best)) {
        return 0;
    }
    // Its rise: where the trace smoothed over a tenth of a pulse climbs through half of it.
    int k = at + n / 2;
    while (k > from && Tenth(k - 1) - level >= best / 2) {
        --k;
    }
    return k;
}

void Finder::JoinEchoes(std::vector<Echo>& echoes) const
{
    const double W = m_dPulseSamples;
    const double stretchReach = std::max(kLongestStretchWidths * W, W + kLongestStretch / m_dStep);
    for (Echo& echo : echoes) {
        // A −/+ echo read as a splice whose fall outlasts a splice's: a wet
        // stretch a little longer than the pulse, its far side where the
        // fall ends or the swing back rises, whichever is later less a pulse.
        const bool pair = echo.m_c.m_shape == Shape::Splice || echo.m_bJoined;
        if (pair && echo.m_e.m_nSign < 0 && !echo.m_e.m_bStretch) {
            double backRise = 0;
            const double width = FirstSwing(echo, &backRise);
            if (width > kSpliceFallWidths * W && backRise > 0) {
                const double start = echo.m_c.m_dEdge;
                echo.m_e.m_bStretch = true;
                echo.m_bJoined = true;
                echo.m_c.m_shape = Shape::Pulse;
                echo.m_e.m_dEndSample = std::max(start + width, backRise + width - W);
            }
        }
    }
    const auto wideEnough = [&](const Echo& fall, const Echo& rise) {
        double unused = 0;
        return FirstSwing(rise, &unused) >= kFarSideWidth * FirstSwing(fall, &unused);
    };
    // A fall whose swing back is an echo of its own, lasting longer than a
    // splice's: a wet stretch, that echo its far side.
    const auto longFall = [&](const Echo& fall) {
        double unused = 0;
        return fall.m_c.m_bFollowed && fall.m_e.m_nSign < 0 && FirstSwing(fall, &unused) > kSpliceFallWidths * W;
    };
    std::vector<Echo> joined;
    for (std::size_t i = 0; i < echoes.size(); ++i) {
        Echo echo = echoes[i];
        const double height = std::fabs(echo.m_dHeight);
        for (std::size_t j = i + 1; j < echoes.size(); ++j) {
            const Echo& next = echoes[j];
            const double apart = next.m_e.m_dSample - echo.m_e.m_dSample;
            const double ratio = std::fabs(next.m_dHeight) / std::max(height, 1e-9);
            const bool opposite = next.m_e.m_nSign != echo.m_e.m_nSign;
            const bool single = echo.m_c.m_shape != Shape::Splice && !echo.m_bJoined && !echo.m_e.m_bStretch;
            if (single && opposite && apart <= kSpliceWidths * W && ratio >= kPairLeast && ratio <= 1 / kPairLeast &&
                !longFall(echo)) {
                // A splice: a short stretch of other impedance or a coil
                // reflects the pulse's two edges, one way and back.
                echo.m_bJoined = true;
                i = j;
                continue;
            }
            if (single && echo.m_e.m_nSign < 0 && opposite && apart <= stretchReach && ratio >= kStretchLeast &&
                ratio <= kStretchMost && wideEnough(echo, next)) {
                // A stretch of lower impedance (wet cable): the fall where
                // it starts, the rise where it ends (as wide as the fall or
                // wider, having come back through the wet cable; a narrower
                // rise is a fault of its own behind a change of cable).
                echo.m_bJoined = true;
                echo.m_e.m_bStretch = true;
                echo.m_e.m_dEndSample = next.m_e.m_dSample;
                i = j;
                continue;
            }
            const double reach = echo.m_e.m_bStretch ? echo.m_e.m_dEndSample - echo.m_e.m_dSample + W : 0;
            const bool splice = echo.m_c.m_shape == Shape::Splice || (echo.m_bJoined && !echo.m_e.m_bStretch);
            const bool farSide = echo.m_e.m_bStretch && opposite && next.m_e.m_dSample <= echo.m_e.m_dEndSample + W / 2;
            if ((apart <= std::max(reach, kTailWidths * W) && ratio < kTailShare) ||
                (splice && apart <= kSpliceReach * W && ratio <= 1 / kPairLeast) || farSide) {
                // The tail of a spread echo, the receiver's undershoot
                // behind it, the second half of a splice, or the rise at a
                // stretch's far side found inside its echo.
                i = j;
                continue;
            }
            break;
        }
        if (echo.m_e.m_nSign < 0 && !echo.m_e.m_bStretch && !echo.m_bJoined && echo.m_c.m_shape != Shape::Splice &&
            (i + 1 >= echoes.size() || echoes[i + 1].m_e.m_dSample > echo.m_e.m_dSample + stretchReach)) {
            // A lone fall: its far side may be there below the threshold.
            const double far = FarSide(echo);
            if (far > 0) {
                echo.m_bJoined = true;
                echo.m_e.m_bStretch = true;
                echo.m_e.m_dEndSample = far;
            }
        }
        joined.push_back(echo);
    }
    echoes = std::move(joined);
}

void Finder::MergeSameEchoes(std::vector<Echo>& echoes) const
{
    const double apart = kSameEchoApart * m_dPulseSamples;
    std::vector<Echo> merged;
    for (Echo& echo : echoes) {
        Echo* same = nullptr;
        for (Echo& kept : merged) {
            if (kept.m_e.m_nSign == echo.m_e.m_nSign && std::fabs(kept.m_e.m_dSample - echo.m_e.m_dSample) < apart) {
                same = &kept;
                break;
            }
        }
        if (same == nullptr) {
            merged.push_back(echo);
            continue;
        }
        if (std::fabs(echo.m_dHeight) > std::fabs(same->m_dHeight)) {
            std::swap(*same, echo); // the larger stays
        }
        if (!same->m_e.m_bStretch && echo.m_e.m_bStretch) {
            same->m_e.m_bStretch = true;
            same->m_e.m_dEndSample = echo.m_e.m_dEndSample;
        }
    }
    echoes = std::move(merged);
}

} // namespace events
