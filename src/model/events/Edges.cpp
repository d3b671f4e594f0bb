// The edges of the echoes: lobes of the step response.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>

namespace events {

// Where the step response crosses `level` walking from a towards b, between
// samples; b when it does not.
double Finder::Crossing(int a, int b, double level) const
{
    const int dir = b > a ? 1 : -1;
    for (int k = a; k != b; k += dir) {
        const double here = m_d[k];
        const double next = m_d[k + dir];
        if ((here - level) * (next - level) <= 0 && here != next) {
            return k + dir * std::clamp((here - level) / (here - next), 0.0, 1.0);
        }
    }
    return b;
}

// Runs of one sign beyond a third of the threshold that reach the
// threshold; runs of one sign a little apart are one lobe.
std::vector<Lobe> Finder::FindLobes() const
{
    std::vector<Lobe> lobes;
    const double low = m_nThreshold / 3.0;
    const int last = kCount - m_nWindow;
    const int gap = std::max(1, m_nWindow / 2);
    // How far the step response at j stands beyond the slack there, on the
    // side of `sign`. The search for a lobe's start and the walk to its end
    // use this one expression in one precision: were they to round apart, a
    // sample could pass the first and fail the second, and the search would
    // start the same empty lobe again for ever.
    const auto beyond = [&](int j, int sign) { return static_cast<double>(m_d[j]) * sign - m_slack[j]; };
    int k = m_nDeadEnd;
    // Most of the line is quiet: eight samples at a time are passed over
    // where none comes near `low` (a margin far wider than single
    // precision's rounding), and each of the others is tried exactly.
    const float* d = m_d.data();
    const float* slack = m_slack.data();
    const float near = static_cast<float>(low) * 0.99f - 1e-3f;
    while (k < last) {
        if (k + 8 <= last) {
            bool quiet = true;
            for (int j = 0; j < 8; ++j) {
                quiet &= std::fabs(d[k + j]) - slack[k + j] < near;
            }
            if (quiet) {
                k += 8;
                continue;
            }
        }
        const int sign = m_d[k] > 0 ? 1 : -1;
        if (beyond(k, sign) <= low) {
            ++k;
            continue;
        }
        Lobe lobe;
        lobe.m_nStart = k;
        lobe.m_nPeak = k;
        for (; k < last; ++k) {
            const double here = beyond(k, sign);
            if (here <= low) {
                break;
            }
            if (here > lobe.m_dHeight * sign) {
                lobe.m_dHeight = here * sign;
                lobe.m_nPeak = k;
            }
        }
        lobe.m_nEnd = k;
        // A lobe that starts at the dead zone's end is the rest of the
        // launch tail, unless it grows from there into an echo.
        const bool tail = lobe.m_nStart == m_nDeadEnd &&
                          std::fabs(lobe.m_dHeight) < std::fabs(m_d[m_nDeadEnd]) + m_nThreshold;
        if (std::fabs(lobe.m_dHeight) < m_nThreshold || tail) {
            continue;
        }
        if (!lobes.empty() && lobes.back().m_dHeight * lobe.m_dHeight > 0 &&
            lobe.m_nStart - lobes.back().m_nEnd <= gap) {
            Lobe& previous = lobes.back();
            previous.m_nEnd = lobe.m_nEnd;
            if (std::fabs(lobe.m_dHeight) > std::fabs(previous.m_dHeight)) {
                previous.m_dHeight = lobe.m_dHeight;
                previous.m_nPeak = lobe.m_nPeak;
            }
        } else {
            lobes.push_back(lobe);
        }
    }
    SplitLobes(lobes, beyond);
    for (Lobe& lobe : lobes) {
        const double half = static_cast<double>(lobe.m_dHeight) / 2;
        const double rise = Crossing(lobe.m_nPeak, lobe.m_nStart - 1, half);
        const double fall = Crossing(lobe.m_nPeak, lobe.m_nEnd, half);
        lobe.m_dCentre = (rise + fall) / 2;
        lobe.m_dRise = rise;
        lobe.m_dFall = fall;
        lobe.m_bCut = lobe.m_nEnd >= last;
    }
    AddWeakPulses(lobes);
    // Widened edges matter where a wet stretch can outlast the window.
    if (kLongestStretch / m_dStep > m_nWindow) {
        AddWideEdges(lobes);
    }
    return lobes;
}

// Two edges of one sign a pulse width or more apart (the closing edge of one
// echo and the leading edge of the next, spread by the line so that the step
// response does not come back between them) make one lobe with two tops. It
// is split where it sinks deepest between two tops kSplitApart pulse widths
// apart or more, each reaching the threshold, where it sinks below
// kSplitValley of the lower top: the noise on one edge's lobe does not dig
// so deep a valley so far from its top.
template <class Beyond>
void Finder::SplitLobes(std::vector<Lobe>& lobes, Beyond beyond) const
{
    const int apart = static_cast<int>(std::lround(kSplitApart * m_dPulseSamples));
    for (std::size_t i = 0; i < lobes.size(); ++i) {
        Lobe& lobe = lobes[i];
        const int sign = lobe.m_dHeight > 0 ? 1 : -1;
        const int n = lobe.m_nEnd - lobe.m_nStart;
        if (n <= apart) {
            continue;
        }
        // A second top reaching the threshold a pulse width or more from the
        // lobe's highest one: most lobes have none, and need no more.
        const auto reaches = [&](int from, int to) {
            for (int k = from; k < to; ++k) {
                if (beyond(k, sign) >= m_nThreshold) {
                    return true;
                }
            }
            return false;
        };
        if (!reaches(lobe.m_nStart, lobe.m_nPeak - apart + 1) && !reaches(lobe.m_nPeak + apart, lobe.m_nEnd)) {
            continue;
        }
        // The highest top up to each sample from the left, and from the right.
        std::vector<std::pair<double, int>> left(static_cast<std::size_t>(n));
        std::vector<std::pair<double, int>> right(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) {
            const std::pair<double, int> here{beyond(lobe.m_nStart + j, sign), lobe.m_nStart + j};
            left[static_cast<std::size_t>(j)] = j > 0 ? std::max(left[static_cast<std::size_t>(j - 1)], here) : here;
        }
        for (int j = n - 1; j >= 0; --j) {
            const std::pair<double, int> here{beyond(lobe.m_nStart + j, sign), lobe.m_nStart + j};
            right[static_cast<std::size_t>(j)] =
                j + 1 < n ? std::max(right[static_cast<std::size_t>(j + 1)], here) : here;
        }
        int split = -1;
        double deepest = kSplitValley;
        for (int j = 1; j + 1 < n; ++j) {
            const auto& [leftTop, leftAt] = left[static_cast<std::size_t>(j)];
            const auto& [rightTop, rightAt] = right[static_cast<std::size_t>(j)];
            const double lower = std::min(leftTop, rightTop);
            if (rightAt - leftAt < apart || lower < m_nThreshold) {
                continue;
            }
            const double depth = beyond(lobe.m_nStart + j, sign) / lower;
            if (depth < deepest) {
                deepest = depth;
                split = lobe.m_nStart + j;
            }
        }
        if (split < 0) {
            continue;
        }
        const auto at = static_cast<std::size_t>(split - lobe.m_nStart);
        Lobe second = lobe;
        lobe.m_nEnd = split;
        lobe.m_nPeak = left[at].second;
        lobe.m_dHeight = sign * left[at].first;
        second.m_nStart = split;
        second.m_nPeak = right[at].second;
        second.m_dHeight = sign * right[at].first;
        lobes.insert(lobes.begin() + static_cast<std::ptrdiff_t>(i) + 1, second);
        --i; // the first part may hold another valley
    }
}

// The runs where value(k) less raise(k) stays beyond a third of the
// threshold on one side, that reach the threshold, from first to last. A
// run that reaches the threshold is wider than `stride` at half of it, so
// the search may stride; a hit walks back to its run's start. Each run
// becomes a lobe of the run's height times `scale`.
template <class Value, class Raise>
std::vector<Lobe> Finder::FindRuns(int first, int last, int stride, double threshold, double scale, Value value,
                           Raise raise) const
{
    std::vector<Lobe> runs;
    const double low = threshold / 3;
    // A run that reaches the threshold is above half of it for more than
    // `stride` samples: only such samples are looked for.
    const double seek = threshold / 2;
    const auto beyond = [&](int k, int sign) { return value(k) * sign - raise(k); };
    int k = first;
    int searched = first; // end of the last run
    while (k < last) {
        const double r = value(k);
        if (std::fabs(r) <= seek + raise(k)) {
            k += stride;
            continue;
        }
        const int sign = r > 0 ? 1 : -1;
        while (k > searched && beyond(k - 1, sign) > low) {
            --k;
        }
        const int start = k;
        int peak = k;
        double height = 0;
        for (; k < last && beyond(k, sign) > low; ++k) {
            if (beyond(k, sign) > height) {
                height = beyond(k, sign);
                peak = k;
            }
        }
        searched = k;
        if (height < threshold || start == first) {
            continue;
        }
        int rise = peak;
        while (rise > start && beyond(rise - 1, sign) > height / 2) {
            --rise;
        }
        int fall = peak;
        while (fall + 1 < k && beyond(fall + 1, sign) > height / 2) {
            ++fall;
        }
        Lobe lobe;
        lobe.m_nStart = start;
        lobe.m_nEnd = k;
        lobe.m_nPeak = peak;
        lobe.m_dHeight = sign * height * scale;
        lobe.m_dRise = rise - 0.5;
        lobe.m_dFall = fall + 0.5;
        lobe.m_dCentre = (lobe.m_dRise + lobe.m_dFall) / 2;
        runs.push_back(lobe);
    }
    return runs;
}

void Finder::SortLobes(std::vector<Lobe>& lobes)
{
    std::sort(lobes.begin(), lobes.end(), [](const Lobe& a, const Lobe& b) { return a.m_nStart < b.m_nStart; });
}

// A pulse-shaped echo shows as a lobe at its leading edge and an opposite
// one a pulse width later; D(k) − D(k + 2L) adds the two, the pulse's
// whole width against L samples either side, with √2 times the noise of D
// but twice the height. Weak pulses too small for two lobes of their own
// stand out in it; they are added as such a pair where no lobe is near.
void Finder::AddWeakPulses(std::vector<Lobe>& lobes) const
{
    const int L = m_nWindow;
    const int W = 2 * L;
    const auto pair = [&](int k) { return static_cast<double>(m_d[k]) - m_d[k + W]; };
    const auto raise = [&](int k) { return static_cast<double>(m_slack[k]) + m_slack[k + W]; };
    const std::size_t before = lobes.size();
    for (const Lobe& lead : FindRuns(m_nDeadEnd, kCount - L - W, std::max(1, L / 2),
                                     kPairGain * static_cast<double>(m_nThreshold), 0.5, pair, raise)) {
        // Both edges must be about as large: one strong lobe alone makes
        // the sum large a pulse width from it too (the double edge of a
        // splice with its weaker half pulse before it, say).
        const int sign = lead.m_dHeight > 0 ? 1 : -1;
        const double first = m_d[lead.m_nPeak] * sign;
        const double second = -m_d[lead.m_nPeak + W] * sign;
        if (std::min(first, second) < kPairShare * std::max(first, second)) {
            continue;
        }
        // A lobe where the leading edge would be: the pair is no news. A
        // lobe of the closing edge's sign where it would be: only the
        // leading edge was missing.
        bool leadFound = false;
        bool closeFound = false;
        for (std::size_t i = 0; i < before; ++i) {
            const Lobe& l = lobes[i];
            const bool closing = l.m_dHeight * sign < 0 && l.m_nPeak > lead.m_nPeak + L;
            leadFound = leadFound || (!closing && l.m_nEnd > lead.m_nStart && l.m_nStart < lead.m_nEnd);
            if (l.m_nEnd + L >= lead.m_nStart + W && l.m_nStart <= lead.m_nEnd + W + L) {
                leadFound = leadFound || !closing;
                closeFound = true;
            }
        }
        if (leadFound) {
            continue;
        }
        lobes.push_back(lead);
        if (!closeFound) {
            Lobe close = lead;
            close.m_nStart += W;
            close.m_nEnd += W;
            close.m_nPeak += W;
            close.m_dHeight = -lead.m_dHeight;
            close.m_dRise += W;
            close.m_dFall += W;
            close.m_dCentre += W;
            lobes.push_back(close);
        }
    }
    if (lobes.size() > before) {
        SortLobes(lobes);
    }
}

// Edges widened by the line far beyond the pulse (a long wet stretch, a
// smoothed edge) spread over more than L samples; the step response of
// windows twice as long holds more of them, with √2 times the noise. Its
// lobes are added where no lobe is near, at half their height (a sharp
// edge moves it twice as far as D).
void Finder::AddWideEdges(std::vector<Lobe>& lobes) const
{
    const int L = m_nWindow;
    const int L2 = 2 * L;
    const int32_t* sum = m_sum.data();
    const auto step = [&](int k) {
        return static_cast<double>(static_cast<int64_t>(sum[k + L2]) - 2 * static_cast<int64_t>(sum[k]) + sum[k - L2]);
    };
    const auto raise = [&](int k) { return 4.0 * m_slack[k]; };
    const std::size_t before = lobes.size();
    for (const Lobe& wide : FindRuns(std::max(m_nDeadEnd, L2), kCount - L2, std::max(1, L),
                                     kPairGain * static_cast<double>(m_nThreshold), 0.5, step, raise)) {
        const auto near = [&](const Lobe& lobe) {
            for (std::size_t i = 0; i < before; ++i) {
                if (lobes[i].m_nEnd + L > lobe.m_nStart && lobes[i].m_nStart < lobe.m_nEnd + L) {
                    return true;
                }
            }
            return false;
        };
        if (near(wide)) {
            continue;
        }
        lobes.push_back(wide);
        // The closing edge of a pulse whose leading edge stayed under the
        // threshold: a pulse width before it, the step response of these
        // windows leans the other way by about as much. The pulse starts there.
        const int sign = wide.m_dHeight > 0 ? 1 : -1;
        const int before2 = wide.m_nPeak - L2;
        if (before2 - L2 >= m_nDeadEnd &&
            -sign * step(before2) >= kPairShare * 2 * std::fabs(wide.m_dHeight)) {
            Lobe lead = wide;
            lead.m_nStart -= L2;
            lead.m_nEnd -= L2;
            lead.m_nPeak -= L2;
            lead.m_dHeight = -wide.m_dHeight;
            lead.m_dRise -= L2;
            lead.m_dFall -= L2;
            lead.m_dCentre -= L2;
            if (!near(lead)) {
                lobes.push_back(lead);
            }
        }
    }
    if (lobes.size() > before) {
        SortLobes(lobes);
    }
}

} // namespace events
