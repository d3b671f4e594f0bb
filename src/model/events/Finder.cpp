// The finder's run, the heights of the echoes and the events.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"
#include "model/TextMarks.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace events {

std::vector<LineEvent> Finder::Run()
{
    std::vector<LineEvent> events;
    if (!(m_dStep > 0) || !std::isfinite(m_dStep)) {
        return events;
    }
    SumTrace();
    FindLaunch();
    if (m_nLaunchEnd >= kCount - 8) {
        return events;
    }
    m_dNoise = NoiseDeviation(m_record.m_samples, m_nLaunchEnd);
    const double L = m_nWindow;
    m_dStepDeviation = StepDeviation();
    const bool bandNoise = m_dStepDeviation > kBandNoiseRatio * m_dNoise * std::sqrt(2 * L);
    double stepPerSample =
        (bandNoise ? kBandThresholdDeviations : kThresholdDeviations) * m_dStepDeviation / L;
    if (stepPerSample > kLeastHeight && m_dNoise <= kNoiseFloor && HeldByRounding()) {
        stepPerSample = kLeastHeight;
    }
    const double perSample =
        std::max({kThresholdDeviations * m_dNoise * std::sqrt(2 / L), kThresholdFloor, kWanderSlope * L,
                  stepPerSample});
    m_nThreshold = static_cast<int64_t>(std::ceil(perSample * L));
    FindDeadZoneEnd();
    if (m_nDeadEnd >= kCount - m_nWindow - 8) {
        return events;
    }
    m_nLevel = FindLineLevel();
    m_dLaunchBlur = LaunchBlur();
    return Describe(Group(FindLobes()));
}

// The echo's height: the window mean farthest from the line's level before
// it, over the echo's top.
double Finder::Height(const Candidate& c) const
{
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    double best = 0;
    const int to = std::min(c.m_nTopTo, kCount - m_nWindow);
    for (int k = std::max(c.m_nTopFrom, 0); k <= to; ++k) {
        best = std::max(best, (WindowMean(k) - level) * c.m_nSign);
    }
    return best * c.m_nSign;
}

// The echo's area over its pulse width and the tail behind it, as a mean
// height over one pulse width: loss on the line spreads an echo but, apart
// from the DC resistance, keeps its area, so against the launch's height it
// tells the discontinuity's size with the line's spreading allowed for.
double Finder::Area(const Candidate& c) const
{
    const double W = m_dPulseSamples;
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    const int from = std::clamp(static_cast<int>(c.m_dEdge - W / 4), 0, kCount);
    const int to = std::clamp(static_cast<int>(c.m_dEdge + kAreaWidths * W), from, kCount);
    return c.m_nSign * (static_cast<double>(m_sum[to] - m_sum[from]) - level * (to - from)) / W;
}

// The share of the echo's area window (Area) the record holds, no less than
// kLeastAreaSeen.
double Finder::AreaSeen(const Candidate& c) const
{
    const double W = m_dPulseSamples;
    const double from = c.m_dEdge - W / 4;
    const double to = c.m_dEdge + kAreaWidths * W;
    return std::clamp((kCount - from) / (to - from), kLeastAreaSeen, 1.0);
}

// Whether the echo swings to the other side of the line's level within a
// pulse and a half of its edge by at least kPairLeast of its own swing: the
// +/− pair of a splice, whose two reflections (where it starts and where it
// ends, or a coil's two edges) cancel over the pulse.
bool Finder::SwingsBack(const Candidate& c) const
{
    const double W = m_dPulseSamples;
    const int h = TenthHalf(W);
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    const int from = std::max(0, static_cast<int>(c.m_dEdge));
    const int to = std::min(kCount - 1, static_cast<int>(c.m_dEdge + kSpliceWidths * W));
    double out = 0;
    double back = 0;
    for (int k = from; k <= to; k += h) {
        const double v = c.m_nSign * (Tenth(k) - level);
        out = std::max(out, v);
        if (out > 0) {
            back = std::max(back, -v);
        }
    }
    return out > 0 && back >= kPairLeast * out && back > kEdgeDeviations * m_dNoise;
}

// Whether the echo leaves the line's level moved: two and six pulse widths
// behind its edge the level still stands at kShelfLeast of its height, and
// holds kShelfHolds of itself from the one to the other. The tail of an
// echo spread by a lossy line decays; cable of another impedance going on
// (as the receiver shows it) stays.
bool Finder::LeavesShelf(const Candidate& c, double height) const
{
    const double W = m_dPulseSamples;
    const int h = std::max(1, static_cast<int>(std::lround(W / 4)));
    const int two = static_cast<int>(c.m_dEdge + 2 * W);
    const int four = static_cast<int>(c.m_dEdge + 6 * W);
    if (four + h >= kCount || height == 0) {
        return false; // too near the record's end to tell
    }
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    const double atTwo = (Smoothed(two, h) - level) / height;
    const double atFour = (Smoothed(four, h) - level) / height;
    return atFour >= kShelfLeast && atFour >= kShelfHolds * atTwo;
}

// Whether the echo has come back to within kReturned of its height from the
// line's level two pulse widths after its edge: a pulse, however spread, and
// not a wide echo whose level holds (a wet stretch longer than the pulse).
bool Finder::Returns(const Candidate& c, double height) const
{
    const double W = m_dPulseSamples;
    const int h = std::max(1, static_cast<int>(std::lround(W / 4)));
    const int two = static_cast<int>(c.m_dEdge + 2 * W);
    if (two + h >= kCount || height == 0) {
        return true;
    }
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    return (Smoothed(two, h) - level) / height < kReturned;
}

// The decaying tail of an echo, against its height (0: none). Skin
// effect and the dielectric pass the fast start of an edge and hold back the
// rest: the edge's half height trails the discontinuity, and what was held
// back comes late as a tail that decays behind the pulse. The tail's size
// two pulse widths behind the edge, against the echo's height, measures the
// spreading, and with it the line's loss. Only a
// tail that decays counts (a third of it or more a pulse width later, and
// less than kTailHolds of it): a shelf holds, the receiver's undershoot
// changes sign.
double Finder::Tail(const Candidate& c, double height) const
{
    const double W = m_dPulseSamples;
    const int h = std::max(1, static_cast<int>(std::lround(W / 8)));
    const int two = static_cast<int>(c.m_dEdge + 2 * W);
    const int three = static_cast<int>(c.m_dEdge + 3 * W);
    if (three + h >= kCount || height == 0) {
        return 0;
    }
    const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
    const double atTwo = (Smoothed(two, h) - level) / height;
    const double atThree = (Smoothed(three, h) - level) / height;
    if (atTwo < kLeastTail || atThree < kTailFades * atTwo || atThree > kTailHolds * atTwo ||
        atTwo * std::fabs(height) < kEdgeDeviations * m_dNoise) {
        return 0;
    }
    return std::min(atTwo, kLongestTail);
}

// Where the echo's leading edge crosses half its height on the trace
// smoothed over a tenth of a pulse, walking back from its top within a pulse
// of the edge; the edge as the step response put it when the top is unclear.
double Finder::HalfHeight(const Candidate& c) const
{
    const double W = m_dPulseSamples;
    const int from = std::max(m_nDeadEnd, static_cast<int>(c.m_dEdge - 1.5 * W));
    const int levelTo = static_cast<int>(c.m_dEdge - W / 2);
    const int to = std::min(kCount - 1, static_cast<int>(c.m_dEdge + W));
    if (levelTo - from < 2 || to <= levelTo) {
        return c.m_dEdge;
    }
    const double level = static_cast<double>(m_sum[levelTo] - m_sum[from]) / (levelTo - from);
    int top = levelTo;
    double peak = 0;
    for (int k = levelTo; k <= to; ++k) {
        const double v = c.m_nSign * (Tenth(k) - level);
        if (v > peak) {
            peak = v;
            top = k;
        }
    }
    if (peak < kEdgeDeviations * m_dNoise + 1) {
        return c.m_dEdge;
    }
    int k = top;
    while (k > levelTo && c.m_nSign * (Tenth(k - 1) - level) >= peak / 2) {
        --k;
    }
    if (k <= levelTo) {
        return c.m_dEdge;
    }
    const double below = c.m_nSign * (Tenth(k - 1) - level);
    const double above = c.m_nSign * (Tenth(k) - level);
    return k - 1 + (peak / 2 - below) / std::max(above - below, 1e-9);
}

// Where a splice starts: the half height of its first swing on the trace.
// The step response's lobes place a rise that lasts (the echo of a short
// stretch as long as the pulse's half) but run early on the narrow spike a
// coil or a very short stretch reflects.
double Finder::SpliceStart(const Candidate& c) const
{
    const double W = m_dPulseSamples;
    const int from = std::max(m_nDeadEnd, static_cast<int>(c.m_dEdge - W));
    const int levelTo = static_cast<int>(c.m_dEdge - W / 2);
    const int to = std::min(kCount - 1, static_cast<int>(c.m_dEdge + W / 2));
    if (levelTo - from < 2 || to <= levelTo) {
        return c.m_dEdge;
    }
    const double level = static_cast<double>(m_sum[levelTo] - m_sum[from]) / (levelTo - from);
    // The first swing: the sign of the larger excursion nearer the edge.
    int top = levelTo;
    double peak = 0;
    int sign = 0;
    for (int k = levelTo; k <= to; ++k) {
        const double v = Tenth(k) - level;
        if (std::fabs(v) > peak) {
            peak = std::fabs(v);
            top = k;
            sign = v > 0 ? 1 : -1;
        }
        // The first swing has peaked once the trace has crossed back over.
        if (peak > kEdgeDeviations * m_dNoise + 1 && sign * v < -0.5 * peak) {
            break;
        }
    }
    if (peak < kEdgeDeviations * m_dNoise + 1) {
        return c.m_dEdge;
    }
    int k = top;
    while (k > levelTo && sign * (Tenth(k - 1) - level) >= peak / 2) {
        --k;
    }
    if (k <= levelTo) {
        return c.m_dEdge;
    }
    const double below = sign * (Tenth(k - 1) - level);
    const double above = sign * (Tenth(k) - level);
    return k - 1 + (peak / 2 - below) / std::max(above - below, 1e-9);
}

std::vector<LineEvent> Finder::Describe(const std::vector<Candidate>& candidates) const
{
    const double launch = LaunchHeight();
    std::vector<Echo> echoes;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        const double height = Height(c);
        const bool spread = c.m_shape != Shape::Lone && std::fabs(height) >= kLeastSpreadHeight;
        if (c.m_dStrength < kLeastHeight && !spread) {
            continue;
        }
        Echo echo;
        echo.m_c = c;
        echo.m_dHeight = height;
        echo.m_dSize = std::max(0.0, Area(c)) / launch;
        echo.m_bJoined = c.m_shape != Shape::Splice && !c.m_bFollowed && SwingsBack(c);
        echo.m_bShelf = LeavesShelf(c, echo.m_dHeight);
        echo.m_bReturns = Returns(c, echo.m_dHeight);
        LineEvent& e = echo.m_e;
        e.m_dSample = std::max(c.m_dEdge, 0.0);
        echo.m_dTail = Tail(c, echo.m_dHeight);
        if (c.m_shape == Shape::Splice) {
            // Its double edge places it half a pulse before, unless the swing
            // before the double edge is a narrow spike, whose lobe runs early.
            e.m_dSample = std::max(e.m_dSample, SpliceStart(c));
        } else if (echo.m_bJoined) {
            e.m_dSample = std::max(0.0, SpliceStart(c));
        } else {
            echo.m_dAnchor = HalfHeight(c);
            if (!echo.m_bShelf && echo.m_bReturns && echo.m_dTail > 0) {
                e.m_dSample = std::max(0.0, *echo.m_dAnchor - kTailLag * echo.m_dTail * m_dPulseSamples);
            } else if (c.m_nSign < 0 && c.m_shape != Shape::Pulse &&
                       !Clipped(static_cast<int>(c.m_dEdge - m_dPulseSamples),
                                static_cast<int>(c.m_dEdge + 2 * m_dPulseSamples))) {
                // A fall that is no clean pulse (wet cable, whose far side
                // answers inside or behind its echo; a lower impedance going
                // on) has lobes that the far side or the shelf widens, and
                // their centre runs late: it starts no later than its half
                // height. A clipped top hides the half height.
                e.m_dSample = std::max(0.0, std::min(e.m_dSample, *echo.m_dAnchor));
            }
        }
        e.m_nSign = c.m_nSign;
        e.m_nAmplitude = static_cast<int>(std::lround(echo.m_dHeight));
        if (e.m_nAmplitude == 0 || e.m_nAmplitude * e.m_nSign < 0) {
            e.m_nAmplitude = e.m_nSign;
        }
        e.m_dReturnLoss = std::max(0.0, 20 * std::log10(launch / std::abs(e.m_nAmplitude)));
        if (c.m_dEnd > c.m_dEdge) {
            e.m_bStretch = true;
            e.m_dEndSample = c.m_dEnd;
        }
        echoes.push_back(echo);
    }
    const bool lossy = PlaceSpreadEchoes(echoes);
    JoinEchoes(echoes);
    PlaceSplices(echoes, lossy);
    MergeSameEchoes(echoes);
    MarkGhosts(echoes);
    Classify(echoes);
    std::vector<LineEvent> events;
    for (Echo& echo : echoes) {
        if (events.size() >= kMaxEvents) {
            break;
        }
        LineEvent& e = echo.m_e;
        e.m_nNumber = static_cast<int>(events.size()) + 1;
        e.m_dPosition = e.m_dSample * m_dStep;
        e.m_dDistance = ToDistance(e.m_dPosition);
        if (e.m_bStretch) {
            e.m_dEndPosition = e.m_dEndSample * m_dStep;
            e.m_dEndDistance = ToDistance(e.m_dEndPosition);
        }
        events.push_back(e);
    }
    return events;
}

double Finder::ToDistance(double position) const
{
    return m_dFactor > 0 ? position * tables::kReferenceFactor / m_dFactor : 0;
}

} // namespace events

std::vector<LineEvent> FindEvents(const WaveformRecord& record, double pr)
{
    return events::Finder(record, pr).Run();
}

const char* LineEventKindName(LineEventKind kind)
{
    switch (kind) {
    case LineEventKind::Open:
        return QT_TRANSLATE_NOOP("Core", "open");
    case LineEventKind::Short:
        return QT_TRANSLATE_NOOP("Core", "short");
    case LineEventKind::Water:
        return QT_TRANSLATE_NOOP("Core", "water");
    case LineEventKind::Splice:
        return QT_TRANSLATE_NOOP("Core", "splice");
    case LineEventKind::Change:
        return QT_TRANSLATE_NOOP("Core", "change");
    }
    return "";
}
