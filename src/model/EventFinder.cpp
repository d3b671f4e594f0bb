#include "model/EventFinder.h"

#include "model/ScaleTables.h"
#include "model/TextMarks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kCount = static_cast<int>(kTdrSampleCount);

// One nanosecond of pulse spans 0.1 m of position: light covers 0.3 m in a
// nanosecond, the echo travels there and back, and a position is measured at
// the reference PR 1.5.
constexpr double kPositionPerNs = 0.3 / 2 / tables::kReferenceFactor;
// The launch pulse reads 100 units at gain 0; each gain step adds 2 dB. Used
// only when the recorded launch pulse is clipped at the top of the range.
constexpr double kLaunchAtGainZero = 100;
constexpr double kGainStepDb = 2;
// A step must stand this many of its own noise deviations clear to start a
// lobe, and never less than the rounding of the samples allows.
constexpr double kThresholdDeviations = 5.0;
constexpr double kThresholdFloor = 0.5;
// The baseline's own slow wander, in units per sample of window length: it
// shifts the two windows' means apart even where there is no echo.
constexpr double kWanderSlope = 0.004;
// The slow part of the trace is measured with windows up to this many times
// as long as the step response's, and this share of it raises the threshold ...
constexpr int kBackgroundWindows = 8;
// ... but no longer than this many samples, unless four times the step
// response's own windows are longer: the wander of the baseline must stay
// nearly straight over them.
constexpr int kBackgroundSamples = 512;
constexpr int kBackgroundLeast = 4;
constexpr double kBackgroundShare = 1.3;
// A leading edge narrower than this share of its closing edge has its far
// side overlapped by another edge.
constexpr double kCutWidth = 1.0;
// A clipped echo's closing edge mirrors its leading one; one much smaller is
// the part of it left before the end of the record.
constexpr double kClippedRatio = 0.6;
// The noise of two steps a pulse width apart, added, against one step's.
constexpr double kPairGain = 1.41421356;
// ... and the smaller of the two edges is at least this share of the larger.
constexpr double kPairShare = 0.6;
// A lobe this many pulse widths behind a leading edge, larger than it and
// followed by an opposite lobe of this share of it, is an echo of its own.
constexpr double kOwnEchoApart = 1.5;
constexpr double kOwnEchoClosing = 0.7;
// How far the lobes of a smoothed pulse part, per sample their half-widths grow.
constexpr double kWidenedApart = 1.0;
// The outer edges of a splice's double edge, against its height, at least.
constexpr double kSpliceFlank = 0.3;
// Longest stretch of wet cable expected, metres of position.
constexpr double kLongestStretch = 64;
// Smallest noise deviation believed: the rounding of the samples to whole units.
constexpr double kNoiseFloor = 0.29;
// No trace holds more than this many events that matter to a technician.
constexpr std::size_t kMaxEvents = 64;

// One stretch where the step response stays on one side of zero: an edge of
// an echo, rising (positive) or falling (negative).
struct Lobe
{
    int m_nStart = 0; // first sample
    int m_nEnd = 0;   // one past the last
    int m_nPeak = 0;
    double m_dHeight = 0; // signed step response at the peak, less the slack
    double m_dCentre = 0;  // midpoint of the half-height points, samples
    double m_dRise = 0;    // half-height point before the peak, samples
    double m_dFall = 0;    // ... after it
    bool m_bCut = false;   // runs into the end of the step response

    double HalfWidth() const { return (m_dFall - m_dRise) / 2; }
};

// How the lobes of one echo lie.
enum class Shape {
    Pulse,  // an edge and the opposite one a pulse width later, of equal size
    Shelf,  // the same, the second edge smaller: the level stays moved
    Wide,   // the opposite edge much later than a pulse width
    Splice, // a double edge in the middle of two opposite half pulses
    Lone,   // no opposite edge behind it
};

struct Candidate
{
    Shape m_shape = Shape::Lone;
    int m_nSign = 1;
    double m_dEdge = 0;     // leading edge, samples
    int m_nLevelAt = 0;     // the level of the line before the echo is taken from here
    int m_nTopFrom = 0;     // the echo's height is sought over [m_nTopFrom, m_nTopTo]
    int m_nTopTo = 0;
};

// Noise deviation of the samples from `first` on, from their first
// differences: the difference of two noisy samples has √2 times their
// deviation, and the few large differences of echo edges are left out. The
// samples are whole numbers, so one pass fills a histogram of the differences
// and both estimates come from it.
double NoiseDeviation(const std::array<int8_t, kTdrSampleCount>& samples, int first)
{
    if (kCount - first < 16) {
        return kNoiseFloor;
    }
    std::array<int, 256> histogram{};
    for (int k = first; k + 1 < kCount; ++k) {
        ++histogram[static_cast<std::size_t>(std::abs(samples[k + 1] - samples[k]))];
    }
    double meanAbs = 0;
    for (std::size_t d = 1; d < histogram.size(); ++d) {
        meanAbs += static_cast<double>(d) * histogram[d];
    }
    meanAbs /= kCount - 1 - first;
    // Mean absolute value of a normal variable is 0.8 of its deviation.
    const double limit = std::max(4.0 * 1.25 * meanAbs, 1.5);
    double squares = 0;
    int kept = 0;
    for (std::size_t d = 0; d < histogram.size() && static_cast<double>(d) <= limit; ++d) {
        squares += static_cast<double>(d * d) * histogram[d];
        kept += histogram[d];
    }
    const double deviation = kept > 0 ? std::sqrt(squares / kept / 2) : 0;
    return std::max(deviation, kNoiseFloor);
}

// The analysis of one trace, step by step. Everything rests on the step
// response: the sum of the L samples from k on less the sum of the L before
// k, with L half a pulse width. It stays near zero along a quiet line however
// the baseline wanders or a shelf fades, and every edge of an echo shows as a
// lobe centred on the edge, rising edges positive and falling ones negative.
class Finder
{
public:
    Finder(const WaveformRecord& record, double pr) : m_record(record)
    {
        m_dFactor = pr > 0 && std::isfinite(pr) ? pr : record.m_dFileFactor;
        m_dStep = record.m_dSampleStep;
        const double pulse = std::isfinite(record.m_dPulse) ? std::max(record.m_dPulse, 0.0) : 0.0;
        if (m_dStep > 0 && std::isfinite(m_dStep)) {
            m_dPulseSamples = std::max(1.0, std::min(pulse * kPositionPerNs / m_dStep, 1e6));
        }
        m_nWindow = std::clamp(static_cast<int>(std::lround(m_dPulseSamples / 2)), 1, kCount / 16);
    }

    std::vector<LineEvent> Run()
    {
        std::vector<LineEvent> events;
        if (!(m_dStep > 0) || !std::isfinite(m_dStep)) {
            return events;
        }
        m_sum[0] = 0;
        for (int k = 0; k < kCount; ++k) {
            m_sum[k + 1] = m_sum[k] + m_record.m_samples[k];
        }
        FindLaunch();
        if (m_nLaunchEnd >= kCount - 8) {
            return events;
        }
        m_dNoise = NoiseDeviation(m_record.m_samples, m_nLaunchEnd);
        const double L = m_nWindow;
        const double perSample =
            std::max({kThresholdDeviations * m_dNoise * std::sqrt(2 / L), kThresholdFloor, kWanderSlope * L});
        m_nThreshold = static_cast<int64_t>(std::ceil(perSample * L));
        FindDeadZoneEnd();
        if (m_nDeadEnd >= kCount - m_nWindow - 8) {
            return events;
        }
        return Describe(Group(FindLobes()));
    }

private:
    // Step response at k: the window after k less the window before it, in
    // sums of L samples; zero where either window leaves the record.
    int64_t Step(int k) const
    {
        const int L = m_nWindow;
        if (k < L || k + L > kCount) {
            return 0;
        }
        return static_cast<int64_t>(m_sum[k + L]) - 2 * static_cast<int64_t>(m_sum[k]) + m_sum[k - L];
    }

    // Mean of the L samples from k on.
    double WindowMean(int k) const
    {
        k = std::clamp(k, 0, kCount - m_nWindow);
        return static_cast<double>(m_sum[k + m_nWindow] - m_sum[k]) / m_nWindow;
    }

    // The launch pulse: its height and the sample where it has fallen back
    // below half of it.
    void FindLaunch()
    {
        const auto& x = m_record.m_samples;
        const int reach = std::min(kCount, static_cast<int>(std::ceil(m_dPulseSamples)) + 8);
        int peak = 0;
        for (int k = 0; k < reach; ++k) {
            if (x[k] > x[peak]) {
                peak = k;
            }
        }
        const double height = x[peak];
        m_bLaunchClipped = x[peak] >= 127;
        m_dLaunch = height;
        int end = std::max(peak, static_cast<int>(m_dPulseSamples));
        while (end < kCount && x[end] > height / 2) {
            ++end;
        }
        m_nLaunchEnd = std::min(end, kCount);
    }

    // The step response of the slow part of the trace: the launch tail's
    // recovery, the baseline's wander and the fading shelves behind steps are
    // all nearly straight over a few pulse widths, and a straight trace moves
    // the step response of a window in proportion to the square of its length.
    // The response of windows four times as long, scaled down by sixteen,
    // stands for that part; a share more of it is added to the threshold, so
    // only edges sharper than their surroundings start a lobe. The dead zone
    // ends where the fall of the launch pulse has passed.
    void FindDeadZoneEnd()
    {
        int k = std::min(kCount, m_nLaunchEnd);
        while (k < kCount && Step(k) < -m_nThreshold / 3) {
            ++k;
        }
        // The long windows start behind the launch pulse.
        const int L = m_nWindow;
        m_nDeadEnd = std::min(kCount, std::max(k, m_nLaunchEnd + 3 * L));
        const int longest = std::min(kBackgroundWindows * L, std::max(kBackgroundLeast * L, kBackgroundSamples));
        const double longScale = kBackgroundShare * L * L / (static_cast<double>(longest) * longest);
        // Only what the lobes and their crossings look at: from the dead zone's
        // end on. Where the long windows fit whole, a plain loop over whole
        // numbers that the compiler can vectorise; at the ends, shorter ones.
        const int first = std::max(L, m_nDeadEnd - 1);
        const int from = std::max(first, m_nLaunchEnd + L + longest);
        const int to = std::max(from, kCount - longest);
        const int32_t* sum = m_sum.data();
        for (int j = from; j < to; ++j) {
            m_d[j] = static_cast<float>(sum[j + L] - 2 * sum[j] + sum[j - L]);
            m_slack[j] = static_cast<float>(longScale) * static_cast<float>(std::abs(sum[j + longest] - 2 * sum[j] + sum[j - longest]));
        }
        const auto edge = [&](int j) {
            m_d[j] = static_cast<float>(Step(j));
            const int M = std::min({longest, j - m_nLaunchEnd - L, kCount - j});
            m_slack[j] = M <= L ? 0.0f
                                : static_cast<float>(kBackgroundShare * L * L / (static_cast<double>(M) * M) *
                                                     std::abs(sum[j + M] - 2 * sum[j] + sum[j - M]));
        };
        for (int j = std::max(0, m_nDeadEnd - 1); j < from; ++j) {
            edge(j);
        }
        for (int j = to; j < kCount; ++j) {
            edge(j);
        }
    }

    // Where the step response crosses `level` walking from a towards b, between
    // samples; b when it does not.
    double Crossing(int a, int b, double level) const
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
    std::vector<Lobe> FindLobes() const
    {
        std::vector<Lobe> lobes;
        const double low = m_nThreshold / 3.0;
        const int last = kCount - m_nWindow;
        const int gap = std::max(1, m_nWindow / 2);
        int k = m_nDeadEnd;
        while (k < last) {
            const double r = m_d[k];
            if (std::fabs(r) <= low + m_slack[k]) {
                ++k;
                continue;
            }
            const int sign = r > 0 ? 1 : -1;
            Lobe lobe;
            lobe.m_nStart = k;
            lobe.m_nPeak = k;
            for (; k < last; ++k) {
                const double here = m_d[k] * sign - m_slack[k];
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

    // The runs where value(k) less raise(k) stays beyond a third of the
    // threshold on one side, that reach the threshold, from first to last. A
    // run that reaches the threshold is wider than `stride` at half of it, so
    // the search may stride; a hit walks back to its run's start. Each run
    // becomes a lobe of the run's height times `scale`.
    template <class Value, class Raise>
    std::vector<Lobe> FindRuns(int first, int last, int stride, double threshold, double scale, Value value,
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

    static void SortLobes(std::vector<Lobe>& lobes)
    {
        std::sort(lobes.begin(), lobes.end(), [](const Lobe& a, const Lobe& b) { return a.m_nStart < b.m_nStart; });
    }

    // A pulse-shaped echo shows as a lobe at its leading edge and an opposite
    // one a pulse width later; D(k) − D(k + 2L) adds the two, the pulse's
    // whole width against L samples either side, with √2 times the noise of D
    // but twice the height. Weak pulses too small for two lobes of their own
    // stand out in it; they are added as such a pair where no lobe is near.
    void AddWeakPulses(std::vector<Lobe>& lobes) const
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
    void AddWideEdges(std::vector<Lobe>& lobes) const
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

    // Whether lobe i stands alone (no lobe within two pulse widths either
    // side) with the step response leaning the other way half a pulse width
    // before and after it: the double edge of a splice, half a pulse up and
    // half a pulse down, whose outer edges are half its size.
    bool LoneDoubleEdge(const std::vector<Lobe>& lobes, std::size_t i) const
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
    std::vector<Candidate> Group(const std::vector<Lobe>& lobes) const
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
            // not undo more than the leading edge did.
            double closing = 0;
            std::size_t last = i;
            // A lobe well behind the leading edge, larger than it and closed
            // by an opposite lobe of its own, starts an echo of its own.
            const auto ownEcho = [&](std::size_t j) {
                return lobes[j].m_dCentre - a.m_dCentre > kOwnEchoApart * W && height(j) > height(i) &&
                       opposite(j, j + 1) && height(j + 1) >= kOwnEchoClosing * height(j) &&
                       lobes[j + 1].m_dCentre - lobes[j].m_dCentre <= reach;
            };
            // Only a fall may last as long as a wet stretch; a rise that
            // stays is a change of cable, whose shelf fades too slowly to
            // close it with a lobe.
            const double closingReach = c.m_nSign < 0 ? reach : 2 * W;
            for (std::size_t j = b; opposite(i, j) && lobes[j].m_dCentre - a.m_dCentre <= closingReach &&
                                    closing + height(j) <= 1.25 * height(i) + m_nThreshold && !ownEcho(j);
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
            }
            c.m_nTopFrom = static_cast<int>(c.m_dEdge);
            if (c.m_nTopTo <= c.m_nTopFrom) {
                c.m_nTopTo = static_cast<int>(c.m_dEdge + W);
            }
            c.m_nTopTo = std::max(c.m_nTopFrom, c.m_nTopTo - m_nWindow);
            candidates.push_back(c);
        }
        return candidates;
    }

    // Whether a sample from a to b stands at either end of the range.
    bool Clipped(int a, int b) const
    {
        for (int k = std::max(a, 0); k < std::min(b, kCount); ++k) {
            if (m_record.m_samples[k] >= 127 || m_record.m_samples[k] <= -128) {
                return true;
            }
        }
        return false;
    }

    // The echo's height: the window mean farthest from the line's level before
    // it, over the echo's top.
    double Height(const Candidate& c) const
    {
        const double level = WindowMean(std::max(c.m_nLevelAt, m_nDeadEnd - m_nWindow));
        double best = 0;
        const int to = std::min(c.m_nTopTo, kCount - m_nWindow);
        for (int k = std::max(c.m_nTopFrom, 0); k <= to; ++k) {
            best = std::max(best, (WindowMean(k) - level) * c.m_nSign);
        }
        return best * c.m_nSign;
    }

    std::vector<LineEvent> Describe(const std::vector<Candidate>& candidates) const
    {
        std::vector<LineEvent> events;
        const double launch = LaunchHeight();
        for (const Candidate& c : candidates) {
            if (events.size() >= kMaxEvents) {
                break;
            }
            LineEvent e;
            e.m_nNumber = static_cast<int>(events.size()) + 1;
            e.m_dSample = std::max(c.m_dEdge, 0.0);
            e.m_dPosition = e.m_dSample * m_dStep;
            e.m_dDistance = m_dFactor > 0 ? e.m_dPosition * tables::kReferenceFactor / m_dFactor : 0;
            e.m_nSign = c.m_nSign;
            const double height = Height(c);
            e.m_nAmplitude = static_cast<int>(std::lround(height));
            if (e.m_nAmplitude == 0 || e.m_nAmplitude * e.m_nSign < 0) {
                e.m_nAmplitude = e.m_nSign;
            }
            e.m_dReturnLoss = std::max(0.0, 20 * std::log10(launch / std::abs(e.m_nAmplitude)));
            events.push_back(e);
        }
        MarkGhosts(events);
        Classify(candidates, events);
        return events;
    }

    // The launch pulse's height above the line's level (the median of the
    // samples after the dead zone); a clipped one is taken at the height the
    // gain gives it.
    double LaunchHeight() const
    {
        std::array<int, 256> histogram{};
        for (int k = m_nDeadEnd; k < kCount; ++k) {
            ++histogram[static_cast<std::size_t>(m_record.m_samples[k] + 128)];
        }
        int seen = 0;
        int median = 0;
        for (std::size_t v = 0; v < histogram.size(); ++v) {
            seen += histogram[v];
            if (2 * seen >= kCount - m_nDeadEnd) {
                median = static_cast<int>(v) - 128;
                break;
            }
        }
        double launch = m_dLaunch - median;
        if (m_bLaunchClipped) {
            const double gain = std::clamp(static_cast<double>(m_record.m_nGain), 0.0, 60.0);
            launch = std::max(launch, kLaunchAtGainZero * std::pow(10.0, gain * kGainStepDb / 20));
        }
        return std::max(launch, 1.0);
    }

    double GhostTolerance(double sample) const { return std::max({3.0, 0.3 * m_dPulseSamples, 0.01 * sample}); }

    // An echo at twice the edge of a stronger, earlier one, within what the
    // widened edges allow.
    void MarkGhosts(std::vector<LineEvent>& events) const
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

    // The best guess of each kind. A splice shows its double edge. An echo
    // with a ghost, or with no real echo after it, may be the end of the line:
    // an open when it rises, a short when it falls, as long as it is shaped
    // like the pulse. A rise that leaves the level moved, or with the line
    // going on behind it, is a change of cable; a fall wider than the pulse,
    // or with the line going on, is water.
    void Classify(const std::vector<Candidate>& candidates, std::vector<LineEvent>& events) const
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

    const WaveformRecord& m_record;
    double m_dFactor = 0;
    double m_dStep = 0;
    double m_dPulseSamples = 1; // width of the launch pulse in samples
    int m_nWindow = 1;          // L: half a pulse width, at least one sample
    double m_dLaunch = 0;
    bool m_bLaunchClipped = false;
    int m_nLaunchEnd = 0;
    int m_nDeadEnd = 0;
    double m_dNoise = 0;
    int64_t m_nThreshold = 0; // in sums of L samples
    // Filled as the steps need them (not zeroed first: that alone would cost
    // a good part of the whole search).
    std::array<int32_t, kTdrSampleCount + 1> m_sum;
    std::array<float, kTdrSampleCount> m_d;     // step response, from the dead zone's end on
    std::array<float, kTdrSampleCount> m_slack; // threshold raise from the slow part of the trace
};

} // namespace

std::vector<LineEvent> FindEvents(const WaveformRecord& record, double pr)
{
    return Finder(record, pr).Run();
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
