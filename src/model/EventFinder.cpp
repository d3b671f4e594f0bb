#include "model/EventFinder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int kCount = static_cast<int>(kTdrSampleCount);
using Trace = std::array<float, kTdrSampleCount>;

// One nanosecond of pulse spans 0.1 m of position: light covers 0.3 m in a
// nanosecond, the echo travels there and back, and a position is measured at
// the reference PR 1.5.
constexpr double kPositionPerNs = 0.3 / 2 / tables::kReferenceFactor;
// The launch pulse reads 100 units at gain 0; each gain step adds 2 dB. Used
// only when the recorded launch pulse is clipped at the top of the range.
constexpr double kLaunchAtGainZero = 100;
constexpr double kGainStepDb = 2;
// A smoothed trace must stand this many noise deviations off the baseline to
// start an event, and never less than the rounding of the samples allows.
constexpr double kThresholdDeviations = 5.0;
constexpr double kThresholdFloor = 0.6;
constexpr double kBaselineDeviations = 1.5;
// Baseline blocks span this many pulse widths, so a block's median is not
// an echo's; the wander of the trace sets the longest block.
constexpr double kBlockPulses = 3;
constexpr int kLongestBlock = 1200;
// Rounds of leaving out the samples near echoes and fitting the baseline again.
constexpr int kBaselinePasses = 2;
// Smallest noise deviation believed: the rounding of the samples to whole units.
constexpr double kNoiseFloor = 0.29;
// No trace holds more than this many events that matter to a technician.
constexpr std::size_t kMaxEvents = 64;

// One stretch where the smoothed trace stays on one side of the baseline.
struct Lobe
{
    int m_nStart = 0; // first sample
    int m_nEnd = 0;   // one past the last
    int m_nPeak = 0;
    double m_dPeak = 0; // signed height above the baseline
};

struct Candidate
{
    Lobe m_lobe;
    bool m_bBipolar = false; // followed at once by an opposite lobe: a splice
    Lobe m_second;           // that lobe
    double m_dEdge = 0;      // samples
};

// Centred moving average of odd width w (shortened at the ends).
void Smooth(const Trace& x, int w, Trace& out)
{
    // The samples are whole numbers: integer sums are exact and quick.
    std::array<int32_t, kTdrSampleCount + 1> sum;
    sum[0] = 0;
    for (int k = 0; k < kCount; ++k) {
        sum[k + 1] = sum[k] + static_cast<int32_t>(x[k]);
    }
    const int h = std::min(w / 2, kCount / 2 - 1);
    const auto mean = [&](int a, int b) { return static_cast<float>(static_cast<double>(sum[b] - sum[a]) / (b - a)); };
    for (int k = 0; k < h; ++k) {
        out[k] = mean(0, k + h + 1);
        out[kCount - 1 - k] = mean(kCount - 1 - k - h, kCount);
    }
    const double inverse = 1.0 / (2 * h + 1);
    for (int k = h; k < kCount - h; ++k) {
        out[k] = static_cast<float>((sum[k + h + 1] - sum[k - h]) * inverse);
    }
}

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

double Median(std::vector<float>& values)
{
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The analysis of one trace, step by step.
class Finder
{
public:
    Finder(const WaveformRecord& record, double pr) : m_record(record)
    {
        m_dFactor = pr > 0 && std::isfinite(pr) ? pr : record.m_dFileFactor;
        m_dStep = record.m_dSampleStep;
        const double pulse = std::isfinite(record.m_dPulse) ? std::max(record.m_dPulse, 0.0) : 0.0;
        m_dPulseSamples = std::max(1.0, std::min(pulse * kPositionPerNs / m_dStep, 1e6));
        m_nSmooth = 2 * static_cast<int>(std::min(m_dPulseSamples / 4, 200.0)) + 1;
        for (int k = 0; k < kCount; ++k) {
            m_x[k] = m_record.m_samples[k];
        }
    }

    std::vector<LineEvent> Run()
    {
        std::vector<LineEvent> events;
        if (!(m_dStep > 0) || !std::isfinite(m_dStep)) {
            return events;
        }
        Smooth(m_x, m_nSmooth, m_s);
        FindLaunch();
        if (m_nLaunchEnd >= kCount - 8) {
            return events;
        }
        m_dNoise = NoiseDeviation(m_record.m_samples, m_nLaunchEnd);
        // Smoothing lowers the noise, but not the slow errors of the baseline
        // under an echo: those stay near the deviation of the raw samples.
        m_dThreshold =
            std::max({kThresholdDeviations * m_dNoise / std::sqrt(m_nSmooth), kBaselineDeviations * m_dNoise, kThresholdFloor});
        FindDeadZoneEnd();
        if (m_nDeadEnd >= kCount - 8) {
            return events;
        }
        FitBaseline();
        std::vector<Candidate> candidates = Group(FindLobes());
        return Describe(candidates);
    }

private:
    // The launch pulse: its height and the sample where it has fallen back
    // below half of it.
    void FindLaunch()
    {
        const int reach = std::min(kCount, static_cast<int>(std::ceil(m_dPulseSamples)) + 8);
        int peak = 0;
        for (int k = 0; k < reach; ++k) {
            if (m_x[k] > m_x[peak]) {
                peak = k;
            }
        }
        const double height = m_x[peak];
        m_bLaunchClipped = m_record.m_samples[peak] >= 127;
        m_dLaunch = height;
        int end = std::max(peak, static_cast<int>(m_dPulseSamples));
        while (end < kCount && m_x[end] > height / 2) {
            ++end;
        }
        m_nLaunchEnd = std::min(end, kCount);
    }

    // The launch pulse leaves a tail as the receiver recovers, moving back
    // towards the baseline. The dead zone lasts while the smoothed trace keeps
    // coming back by more than half the threshold over a pulse width: it ends
    // where the recovery has flattened out or where an echo turns the trace
    // away again.
    void FindDeadZoneEnd()
    {
        const int reach = std::max(m_nSmooth, static_cast<int>(m_dPulseSamples));
        int k = std::min(kCount - 1, m_nLaunchEnd + m_nSmooth / 2 + 1);
        // Every fourth sample is plenty for the level of the rest of the trace.
        std::vector<float> rest;
        rest.reserve(kTdrSampleCount / 4 + 1);
        for (int j = k; j < kCount; j += 4) {
            rest.push_back(m_x[j]);
        }
        const double level = Median(rest);
        // The fall of the launch pulse may swing past the baseline into an
        // undershoot: the recovery starts from its deepest point.
        const int swing = std::min(kCount - 1, k + reach);
        const int deepest = static_cast<int>(std::min_element(m_s.begin() + k, m_s.begin() + swing + 1) - m_s.begin());
        if (m_s[deepest] < level - m_dThreshold) {
            k = deepest;
        }
        const double side = m_s[k] > level ? 1 : -1;
        for (; k + reach < kCount; ++k) {
            if ((m_s[k] - m_s[k + reach]) * side <= m_dThreshold / 2) {
                break;
            }
        }
        m_nDeadEnd = std::min(k, kCount);
    }

    // A slow baseline (the trace's wander) as straight pieces between knots.
    // The first guess takes each block's median, which an echo shorter than
    // half a block does not move; then the samples near echoes are left out
    // and each knot becomes the mean of the rest of its block.
    void FitBaseline()
    {
        const int first = m_nDeadEnd;
        const int block = std::clamp(static_cast<int>(kBlockPulses * m_dPulseSamples), 48, kLongestBlock);
        const auto blocks = static_cast<std::size_t>(std::max(1, (kCount - first + block - 1) / block));
        std::vector<double> knots(blocks);
        std::vector<double> centres(blocks);
        std::vector<char> valid(blocks, 1);
        std::vector<float> values;
        for (std::size_t j = 0; j < blocks; ++j) {
            const int a = first + static_cast<int>(j) * block;
            const int b = std::min(kCount, a + block);
            values.assign(m_x.begin() + a, m_x.begin() + b);
            knots[j] = Median(values);
            centres[j] = 0.5 * (a + b - 1);
        }
        Interpolate(first, knots, centres, valid);

        std::vector<char> masked(kTdrSampleCount, 0);
        const int dilate = static_cast<int>(2 * m_dPulseSamples) + m_nSmooth;
        for (int pass = 0; pass < kBaselinePasses; ++pass) {
            // Every sample within `dilate` of one off the baseline: a sweep
            // each way keeps this linear in the length of the trace.
            const float limit = static_cast<float>(m_dThreshold / 2);
            int last = -dilate - 1;
            for (int k = first; k < kCount; ++k) {
                const bool off = std::fabs(m_s[k] - m_b[k]) > limit;
                last = off ? k : last;
                masked[k] = static_cast<char>(off ? 2 : (k - last <= dilate ? 1 : 0));
            }
            last = kCount + dilate + 1;
            for (int k = kCount - 1; k >= first; --k) {
                last = masked[k] == 2 ? k : last;
                masked[k] = static_cast<char>(masked[k] != 0 || last - k <= dilate);
            }
            for (std::size_t j = 0; j < blocks; ++j) {
                const int a = first + static_cast<int>(j) * block;
                const int b = std::min(kCount, a + block);
                int64_t sum = 0;
                int64_t position = 0;
                int n = 0;
                for (int k = a; k < b; ++k) {
                    const int keep = masked[k] ? 0 : 1;
                    sum += keep * m_record.m_samples[k];
                    position += keep * k;
                    n += keep;
                }
                valid[j] = n * 4 >= (b - a);
                knots[j] = n > 0 ? static_cast<double>(sum) / n : 0;
                centres[j] = n > 0 ? static_cast<double>(position) / n : 0.5 * (a + b - 1);
            }
            Interpolate(first, knots, centres, valid);
        }
    }

    // The baseline from `first` on: straight between the valid knots, level
    // before the first and after the last.
    void Interpolate(int first, const std::vector<double>& knots, const std::vector<double>& centres,
                     const std::vector<char>& valid)
    {
        double x0 = 0;
        double y0 = 0;
        bool any = false;
        int k = first;
        for (std::size_t j = 0; j < knots.size(); ++j) {
            if (!valid[j]) {
                continue;
            }
            const double x1 = centres[j];
            const double y1 = knots[j];
            const int end = std::min(kCount, static_cast<int>(std::floor(x1)) + 1);
            if (!any) {
                for (; k < end; ++k) {
                    m_b[k] = static_cast<float>(y1);
                }
                any = true;
            } else {
                const double slope = x1 > x0 ? (y1 - y0) / (x1 - x0) : 0.0;
                const double offset = y0 - slope * x0;
                for (; k < end; ++k) {
                    m_b[k] = static_cast<float>(offset + slope * k);
                }
            }
            x0 = x1;
            y0 = y1;
        }
        for (; k < kCount; ++k) {
            m_b[k] = static_cast<float>(y0);
        }
    }

    double Residual(int k) const { return m_s[k] - m_b[k]; }

    // Stretches of one sign that reach the threshold somewhere, each taken as
    // far as it stays beyond a third of it.
    std::vector<Lobe> FindLobes() const
    {
        std::vector<Lobe> lobes;
        const double low = m_dThreshold / 3;
        int k = m_nDeadEnd;
        while (k < kCount) {
            const double r = Residual(k);
            if (std::fabs(r) <= low) {
                ++k;
                continue;
            }
            const int sign = r > 0 ? 1 : -1;
            Lobe lobe;
            lobe.m_nStart = k;
            lobe.m_nPeak = k;
            while (k < kCount && Residual(k) * sign > low) {
                if (Residual(k) * sign > lobe.m_dPeak * sign) {
                    lobe.m_dPeak = Residual(k);
                    lobe.m_nPeak = k;
                }
                ++k;
            }
            lobe.m_nEnd = k;
            // A lobe that starts at the dead zone's end is the rest of the
            // launch tail, unless it grows from there into an echo.
            const bool tail = lobe.m_nStart == m_nDeadEnd &&
                              std::fabs(lobe.m_dPeak) < std::fabs(Residual(m_nDeadEnd)) + m_dThreshold;
            if (std::fabs(lobe.m_dPeak) >= m_dThreshold && !tail) {
                if (!lobes.empty() && lobes.back().m_dPeak * lobe.m_dPeak > 0 &&
                    lobe.m_nStart - lobes.back().m_nEnd <= m_nSmooth) {
                    Lobe& previous = lobes.back();
                    previous.m_nEnd = lobe.m_nEnd;
                    if (std::fabs(lobe.m_dPeak) > std::fabs(previous.m_dPeak)) {
                        previous.m_dPeak = lobe.m_dPeak;
                        previous.m_nPeak = lobe.m_nPeak;
                    }
                } else {
                    lobes.push_back(lobe);
                }
            }
        }
        return lobes;
    }

    // A lobe followed at once by an opposite one of comparable size is one
    // bipolar echo (a splice); every other lobe is an echo of its own.
    std::vector<Candidate> Group(const std::vector<Lobe>& lobes) const
    {
        std::vector<Candidate> candidates;
        const int gap = m_nSmooth + static_cast<int>(m_dPulseSamples / 4) + 1;
        for (std::size_t i = 0; i < lobes.size(); ++i) {
            Candidate c;
            c.m_lobe = lobes[i];
            if (i + 1 < lobes.size()) {
                const Lobe& next = lobes[i + 1];
                const double ratio = std::fabs(next.m_dPeak / c.m_lobe.m_dPeak);
                if (next.m_dPeak * c.m_lobe.m_dPeak < 0 && next.m_nStart - c.m_lobe.m_nEnd <= gap &&
                    ratio >= 0.4 && ratio <= 2.5) {
                    c.m_bBipolar = true;
                    c.m_second = next;
                    ++i;
                }
            }
            c.m_dEdge = LeadingEdge(c.m_lobe);
            candidates.push_back(c);
        }
        return candidates;
    }

    // Where the rise of a lobe crosses half its peak, between samples: the
    // point whose delay is the echo's own, however much the line has widened
    // its edges.
    double LeadingEdge(const Lobe& lobe) const
    {
        const double half = lobe.m_dPeak / 2;
        int k = lobe.m_nPeak;
        while (k > m_nDeadEnd && (Residual(k - 1) - half) * (lobe.m_dPeak > 0 ? 1 : -1) > 0) {
            --k;
        }
        if (k == m_nDeadEnd) {
            return k;
        }
        const double before = Residual(k - 1);
        const double at = Residual(k);
        const double t = at != before ? (half - before) / (at - before) : 1.0;
        return (k - 1) + std::clamp(t, 0.0, 1.0);
    }

    // The sample where the residual crosses `level` between samples a and b
    // (walking from a towards b), or b when it does not.
    double Crossing(int a, int b, double level) const
    {
        const int dir = b > a ? 1 : -1;
        const double side = Residual(a) > level ? 1 : -1;
        for (int k = a; k != b; k += dir) {
            const double here = Residual(k);
            const double next = Residual(k + dir);
            if ((next - level) * side <= 0) {
                const double t = here != next ? (here - level) / (here - next) : 0.0;
                return k + dir * std::clamp(t, 0.0, 1.0);
            }
        }
        return b;
    }

    // A widened edge no longer rises to the full height of a short echo, so
    // its half-height point comes early. An echo shaped like the pulse keeps
    // its middle, though: the leading edge of an open or a short lies half a
    // pulse width before the midpoint of its two half-height points, and that
    // of a splice half a pulse width before the zero crossing between its lobes.
    double RefinedEdge(const Candidate& c, LineEventKind kind) const
    {
        const double halfPulse = m_dPulseSamples / 2;
        if (kind == LineEventKind::Splice && c.m_bBipolar) {
            return Crossing(c.m_lobe.m_nPeak, c.m_second.m_nPeak, 0) - halfPulse;
        }
        if (kind == LineEventKind::Open || kind == LineEventKind::Short) {
            const double fall = Crossing(c.m_lobe.m_nPeak, c.m_lobe.m_nEnd, c.m_lobe.m_dPeak / 2);
            const double middle = (c.m_dEdge + fall) / 2 - halfPulse;
            // Only a widened echo moves its edge later, never by more than half a pulse.
            if (fall < c.m_lobe.m_nEnd && middle > c.m_dEdge) {
                return std::min(middle, c.m_dEdge + halfPulse);
            }
        }
        return c.m_dEdge;
    }

    // Samples from the edge until the echo has fallen below half its peak.
    double HalfWidth(const Candidate& c) const
    {
        const double half = c.m_lobe.m_dPeak / 2;
        int k = c.m_lobe.m_nPeak;
        while (k < c.m_lobe.m_nEnd && (Residual(k) - half) * (half > 0 ? 1 : -1) > 0) {
            ++k;
        }
        return k - c.m_dEdge;
    }

    // Mean height, relative to the peak, of the stretch from one and a half to
    // four pulse widths after the edge: a cable of other impedance leaves a shelf.
    double Shelf(const Candidate& c) const
    {
        const int a = static_cast<int>(c.m_dEdge + 1.5 * m_dPulseSamples) + m_nSmooth;
        const int b = std::min(kCount, static_cast<int>(c.m_dEdge + 4 * m_dPulseSamples) + m_nSmooth);
        if (b - a < 1) {
            return 0;
        }
        double sum = 0;
        for (int k = a; k < b; ++k) {
            sum += Residual(k);
        }
        return sum / (b - a) / c.m_lobe.m_dPeak;
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
            e.m_dSample = c.m_dEdge;
            e.m_dPosition = c.m_dEdge * m_dStep;
            e.m_dDistance = m_dFactor > 0 ? e.m_dPosition * tables::kReferenceFactor / m_dFactor : 0;
            e.m_nSign = c.m_lobe.m_dPeak > 0 ? 1 : -1;
            e.m_nAmplitude = static_cast<int>(std::lround(c.m_lobe.m_dPeak));
            if (e.m_nAmplitude == 0) {
                e.m_nAmplitude = e.m_nSign;
            }
            e.m_dReturnLoss = std::max(0.0, 20 * std::log10(launch / std::fabs(c.m_lobe.m_dPeak)));
            events.push_back(e);
        }
        MarkGhosts(events);
        Classify(candidates, events);
        for (std::size_t i = 0; i < events.size(); ++i) {
            LineEvent& e = events[i];
            e.m_nNumber = static_cast<int>(i) + 1;
            e.m_dSample = RefinedEdge(candidates[i], e.m_kind);
            e.m_dPosition = e.m_dSample * m_dStep;
            e.m_dDistance = m_dFactor > 0 ? e.m_dPosition * tables::kReferenceFactor / m_dFactor : 0;
        }
        return events;
    }

    // The launch pulse's height above the baseline; a clipped one is taken at
    // the height the gain gives it.
    double LaunchHeight() const
    {
        double launch = m_dLaunch - m_b[m_nDeadEnd];
        if (m_bLaunchClipped) {
            const double gain = std::clamp(static_cast<double>(m_record.m_nGain), 0.0, 60.0);
            launch = std::max(launch, kLaunchAtGainZero * std::pow(10.0, gain * kGainStepDb / 20));
        }
        return std::max(launch, 1.0);
    }

    // An echo at twice the edge of a stronger, earlier one, within what the
    // widened edges allow.
    void MarkGhosts(std::vector<LineEvent>& events) const
    {
        for (std::size_t j = 0; j < events.size(); ++j) {
            for (std::size_t i = 0; i < j; ++i) {
                if (events[i].m_bGhost) {
                    continue;
                }
                const double tolerance = std::max({3.0, 0.3 * m_dPulseSamples, 0.01 * events[j].m_dSample});
                if (std::fabs(2 * events[i].m_dSample - events[j].m_dSample) <= tolerance &&
                    std::abs(events[j].m_nAmplitude) < std::abs(events[i].m_nAmplitude)) {
                    events[j].m_bGhost = true;
                    break;
                }
            }
        }
    }

    // The best guess of each kind. A bipolar echo is a splice. An echo with a
    // ghost, or with no real echo after it, may be the end of the line: an
    // open when it rises (unless it leaves a shelf, a cable change), a short
    // when it falls (unless it is wider than the pulse, water). An echo with
    // the line going on behind it is a change when it rises and water when it
    // falls.
    void Classify(const std::vector<Candidate>& candidates, std::vector<LineEvent>& events) const
    {
        for (std::size_t i = 0; i < events.size(); ++i) {
            LineEvent& e = events[i];
            const Candidate& c = candidates[i];
            if (c.m_bBipolar) {
                e.m_kind = LineEventKind::Splice;
                continue;
            }
            bool hasGhost = false;
            bool lineGoesOn = false;
            for (std::size_t j = i + 1; j < events.size(); ++j) {
                if (events[j].m_bGhost) {
                    hasGhost = hasGhost || std::fabs(2 * e.m_dSample - events[j].m_dSample) <=
                                               std::max({3.0, 0.3 * m_dPulseSamples, 0.01 * events[j].m_dSample});
                } else {
                    lineGoesOn = true;
                }
            }
            if (e.m_bGhost) {
                e.m_kind = e.m_nSign > 0 ? LineEventKind::Open : LineEventKind::Short;
            } else if (e.m_nSign > 0) {
                const bool end = hasGhost || (!lineGoesOn && Shelf(c) < 0.12);
                e.m_kind = end ? LineEventKind::Open : LineEventKind::Change;
            } else {
                const double wide = m_dPulseSamples * 1.25 + 1.5 / m_dStep;
                const bool end = hasGhost || (!lineGoesOn && HalfWidth(c) <= wide);
                e.m_kind = end ? LineEventKind::Short : LineEventKind::Water;
            }
        }
    }

    const WaveformRecord& m_record;
    double m_dFactor = 0;
    double m_dStep = 0;
    double m_dPulseSamples = 1; // width of the launch pulse in samples
    int m_nSmooth = 1;          // odd width of the moving average
    double m_dLaunch = 0;
    bool m_bLaunchClipped = false;
    int m_nLaunchEnd = 0;
    int m_nDeadEnd = 0;
    double m_dNoise = 0;
    double m_dThreshold = 0;
    Trace m_x{};
    Trace m_s{};
    Trace m_b{};
};

} // namespace

std::vector<LineEvent> FindEvents(const WaveformRecord& record, double pr)
{
    return Finder(record, pr).Run();
}

const char* LineEventKindName(LineEventKind kind)
{
    switch (kind) {
    case LineEventKind::Open: return "open";
    case LineEventKind::Short: return "short";
    case LineEventKind::Water: return "water";
    case LineEventKind::Splice: return "splice";
    case LineEventKind::Change: return "change";
    }
    return "";
}
