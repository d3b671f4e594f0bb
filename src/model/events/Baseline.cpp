// The launch pulse, the dead zone behind it, the line's level and the noise.
#include "model/events/Finder.h"

#include "model/ScaleTables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <vector>

namespace events {

namespace {

// How often each value 0..255 of(k) occurs for k from first to before last.
// Most samples of a quiet line share a value, so four histograms take turns:
// one counter bumped again and again would make every step wait for the last.
template <class Of>
std::array<int, 256> Histogram(int first, int last, Of of)
{
    std::array<std::array<int, 256>, 4> parts{};
    int k = first;
    for (; k + 4 <= last; k += 4) {
        ++parts[0][static_cast<std::size_t>(of(k))];
        ++parts[1][static_cast<std::size_t>(of(k + 1))];
        ++parts[2][static_cast<std::size_t>(of(k + 2))];
        ++parts[3][static_cast<std::size_t>(of(k + 3))];
    }
    for (; k < last; ++k) {
        ++parts[0][static_cast<std::size_t>(of(k))];
    }
    std::array<int, 256> sum{};
    for (std::size_t v = 0; v < sum.size(); ++v) {
        sum[v] = parts[0][v] + parts[1][v] + parts[2][v] + parts[3][v];
    }
    return sum;
}

// The deviation of a normal variable from the sizes of its draws, by their
// 30th percentile: three tenths of its sizes lie under 0.385 of its
// deviation. Echoes may cover most of a line; the lowest sizes they leave alone.
double DeviationOfSizes(std::vector<double>& sizes)
{
    auto third = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() * 3 / 10);
    std::nth_element(sizes.begin(), third, sizes.end());
    return *third / 0.385;
}

} // namespace

// Noise deviation of the samples from `first` on, from their first
// differences: the difference of two noisy samples has √2 times their
// deviation, and the few large differences of echo edges are left out. The
// samples are whole numbers, so the sums are exact: two plain passes the
// compiler can vectorise, the mean size first, then the squares of the sizes
// up to the limit it sets.
double NoiseDeviation(const std::array<int8_t, kTdrSampleCount>& samples, int first)
{
    if (kCount - first < 16) {
        return kNoiseFloor;
    }
    const int8_t* x = samples.data();
    int sizes = 0;
    for (int k = first; k < kCount - 1; ++k) {
        sizes += std::abs(x[k + 1] - x[k]);
    }
    const double meanAbs = static_cast<double>(sizes) / (kCount - 1 - first);
    // Mean absolute value of a normal variable is 0.8 of its deviation.
    const int most = static_cast<int>(std::min(std::max(4.0 * 1.25 * meanAbs, 1.5), 255.0));
    int squares = 0; // at most 8000 times 255 squared
    int kept = 0;
    for (int k = first; k < kCount - 1; ++k) {
        const int d = std::abs(x[k + 1] - x[k]);
        const bool in = d <= most;
        squares += in ? d * d : 0;
        kept += in ? 1 : 0;
    }
    const double deviation = kept > 0 ? std::sqrt(static_cast<double>(squares) / kept / 2) : 0;
    return std::max(deviation, kNoiseFloor);
}

// What the steps read again and again, over the whole record: the running
// sum of the samples, the clipped samples and the trace smoothed over a tenth
// of a pulse.
void Finder::SumTrace()
{
    // The running sum kept in a register: a store through the array might
    // otherwise, for all the compiler knows, change the samples.
    int32_t sum = 0;
    m_sum[0] = 0;
    for (int k = 0; k < kCount; ++k) {
        sum += m_record.m_samples[k];
        m_sum[k + 1] = sum;
    }
    // The clipped samples: most traces have none past the launch, so sixteen
    // samples at a time are passed over where none is clipped.
    typedef int8_t Bytes __attribute__((vector_size(16)));
    static_assert(kCount % 16 == 0);
    m_clipped.clear();
    for (int k = 0; k < kCount; k += 16) {
        Bytes v;
        std::memcpy(&v, m_record.m_samples.data() + k, sizeof v);
        const Bytes ends = (v == 127) | (v == -128);
        uint64_t halves[2];
        std::memcpy(halves, &ends, sizeof halves);
        for (int j = 0; (halves[0] | halves[1]) != 0 && j < 16; ++j) {
            if (ends[j] != 0) {
                m_clipped.push_back(k + j);
            }
        }
    }
    // Away from the record's ends a plain loop the compiler can vectorise,
    // with Smoothed's own arithmetic.
    const int h = TenthHalf(m_dPulseSamples);
    const int inside = std::max(h, kCount - h);
    for (int k = 0; k < std::min(h, kCount); ++k) {
        m_tenth[static_cast<std::size_t>(k)] = Smoothed(k, h);
    }
    const double reciprocal = 1.0 / (2 * h + 1);
    for (int k = h; k < inside; ++k) {
        m_tenth[static_cast<std::size_t>(k)] =
            static_cast<double>(m_sum[k + h + 1] - m_sum[k - h]) * reciprocal;
    }
    for (int k = inside; k < kCount; ++k) {
        m_tenth[static_cast<std::size_t>(k)] = Smoothed(k, h);
    }
}

// The launch pulse: its height and the sample where it has fallen back
// below half of it.
void Finder::FindLaunch()
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
void Finder::FindDeadZoneEnd()
{
    // The launch's fall: where the step response has come back to a share of
    // what it was at the launch's half height. A lossy line's input gives the
    // launch a long tail that falls slowly for thousands of samples, so the
    // step response stays below a third of the threshold there and would
    // carry the dead zone over the echoes in it.
    int k = std::min(kCount, m_nLaunchEnd);
    const double fall = k < kCount ? static_cast<double>(-Step(k)) : 0.0;
    const double back = std::max(static_cast<double>(m_nThreshold) / 3, kLaunchFallShare * fall);
    while (k < kCount && Step(k) < -back) {
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
    // The arrays do not overlap: told so, the compiler works on several
    // samples at once.
    const int32_t* __restrict sum = m_sum.data();
    float* __restrict d = m_d.data();
    float* __restrict slack = m_slack.data();
    const float scale = static_cast<float>(longScale);
    for (int j = from; j < to; ++j) {
        d[j] = static_cast<float>(sum[j + L] - 2 * sum[j] + sum[j - L]);
        slack[j] = scale * static_cast<float>(std::abs(sum[j + longest] - 2 * sum[j] + sum[j - longest]));
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
    // Near the record's end the long windows no longer fit, and the shorter
    // ones there take an edge for the slow part (windows of 2 L count 0.65 of
    // its own step response): over the last kHeldWindows windows, the last
    // long windows' measure holds.
    for (int j = to; j < kCount; ++j) {
        edge(j);
        if (to > from && j >= kCount - kHeldWindows * L) {
            m_slack[j] = m_slack[to - 1];
        }
    }
}

// The line's level: the median of the samples after the dead zone.
int Finder::FindLineLevel() const
{
    const std::array<int, 256> histogram =
        Histogram(m_nDeadEnd, kCount, [&](int k) { return m_record.m_samples[k] + 128; });
    int seen = 0;
    int median = 0;
    for (std::size_t v = 0; v < histogram.size(); ++v) {
        seen += histogram[v];
        if (2 * seen >= kCount - m_nDeadEnd) {
            median = static_cast<int>(v) - 128;
            break;
        }
    }
    return median;
}

// The launch pulse's height above the line's level; a clipped one is taken
// at the height the gain gives it.
double Finder::LaunchHeight() const
{
    double launch = m_dLaunch - m_nLevel;
    if (m_bLaunchClipped) {
        const double gain = std::clamp(static_cast<double>(m_record.m_nGain), 0.0, 60.0);
        launch = std::max(launch, kLaunchAtGainZero * std::pow(10.0, gain * kGainStepDb / 20));
    }
    return std::max(launch, 1.0);
}

// The blur of the launch's leading edge, in pulse widths. Distance zero is
// the launch's half height, so the record starts there: the launch stands
// twice as high as its first sample, and the time its edge takes from there
// to a higher share q of that height is the Gaussian deviation times the
// normal quantile of q. q is as high as the clipping of the samples allows.
// Where the first sample is clipped (the gain turned up to see a lossy
// line's far end) or leaves too little room, the falling edge tells it: the
// launch is a pulse width long, so it falls through its half height a pulse
// width after sample 0, and below that nothing clips.
double Finder::LaunchBlur() const
{
    const auto& x = m_record.m_samples;
    const double level = m_nLevel;
    const double W = m_dPulseSamples;
    // The edge's crossing of a share of the height, in samples from its half
    // height, walking from `from` by `step` (1 up the rising edge, -1 down
    // the falling one); none within a pulse width.
    const auto crossing = [&](double height, double part, int from, int step, double half) -> std::optional<double> {
        const double target = level + (step > 0 ? part : 1 - part) * height;
        const int last = std::min(kCount - 1, from + static_cast<int>(W));
        for (int k = from; k <= last; ++k) {
            if ((x[k] - target) * step >= 0) {
                const double rise = std::max(1.0, std::fabs(static_cast<double>(x[k] - x[k - 1])));
                return k - 1 + std::fabs(target - x[k - 1]) / rise - half;
            }
        }
        return std::nullopt;
    };
    // The normal quantile of a share, by bisection of the error function.
    const auto quantile = [](double part) {
        double low = 0;
        double high = 4;
        for (int i = 0; i < 40; ++i) {
            const double mid = (low + high) / 2;
            (0.5 * std::erfc(-mid / std::numbers::sqrt2) < part ? low : high) = mid;
        }
        return low;
    };
    // The blur as the crossings of the share and of kLowBlurShare tell it: a
    // launch whose top sags or rings reaches a high share late, or not at
    // all, so the smaller blur counts.
    const auto blurFrom = [&](double height, double share, int from, int step, double half) {
        double blur = kUnknownBlur;
        for (const double part : {share, kLowBlurShare}) {
            if (part > share) {
                break;
            }
            const std::optional<double> t = crossing(height, part, from, step, half);
            const double b = t ? std::clamp(*t / quantile(part) / W, 0.0, kLongestBlur) : kUnknownBlur;
            blur = part == share ? b : std::min(blur, b);
        }
        return blur;
    };
    const double rising = 2 * (x[0] - level);
    const double share = rising > 0 ? std::min(kBlurShare, (kClipTop - level) / rising) : 0;
    if (x[0] < kClipTop && rising >= 8 && share >= kLeastBlurShare) {
        return blurFrom(rising, share, 1, 1, 0);
    }
    // The falling edge: from its first sample below the clipping on (at or
    // after its half height a pulse width on, where the launch is clipped), t1
    // samples past the half height at v1 above the level, it falls to v1 / 2
    // at t2. Its height H is unknown, but H Φ(−t / σ) takes those values at
    // those times: σ is where Φ(−t2 / σ) / Φ(−t1 / σ) is one half, found by
    // bisection (the ratio grows with σ).
    const int last = std::min(kCount - 1, static_cast<int>(2 * W) + 1);
    int first = static_cast<int>(std::floor(W));
    while (first <= last && x[first] >= kClipTop) {
        ++first;
    }
    const double v1 = first <= last ? x[first] - level : 0;
    if (v1 < 8) {
        return kUnknownBlur;
    }
    const std::optional<double> t2 = crossing(2 * v1, 0.75, first + 1, -1, W);
    const double t1 = first - W;
    if (!t2 || *t2 <= t1) {
        return kUnknownBlur;
    }
    const auto below = [](double z) { return 0.5 * std::erfc(z / std::numbers::sqrt2); };
    double low = 0;
    double high = kLongestBlur * W;
    for (int i = 0; i < 40; ++i) {
        const double mid = (low + high) / 2;
        (below(*t2 / mid) / below(t1 / mid) < 0.5 ? low : high) = mid;
    }
    return std::clamp(high / W, 0.0, kLongestBlur);
}

// The deviation of the step response itself where the line is quiet. Noise
// shaped by the receiver's band is correlated from sample to sample, so the
// first differences see less of it than the window sums do; the step response
// is measured instead. D(k) less D(k − 2L) uses no sample twice, so on noise
// alone it has √2 times D's deviation, while a straight trend (the launch
// tail, wander) cancels in it. The lower third of its sizes leaves out the
// samples on echoes, even where wide echoes cover much of the trace.
//
// On a long pulse the record holds only some twenty windows, and the echoes
// and the bends of the baseline's wander fill most of them: their lower third
// still measures the line, not its noise. There the same deviation is also
// measured on windows of kQuietWindow samples, long enough that the receiver's
// band no longer correlates the noise, and scaled to L as noise that is white
// at that length adds up; the smaller of the two holds.
double Finder::StepDeviation() const
{
    const int L = m_nWindow;
    const int first = m_nLaunchEnd + 4 * L;
    const int last = kCount - L;
    if (last - first < 16 * L) {
        return 0;
    }
    const auto deviation = [&](int window) {
        const int stride = std::max(1, window / 4);
        std::vector<double> sizes;
        sizes.reserve(static_cast<std::size_t>((last - first) / stride + 1));
        for (int k = first; k < last; k += stride) {
            sizes.push_back(std::fabs(static_cast<double>(StepOver(k, window) - StepOver(k - 2 * window, window))));
        }
        // D(k) − D(k − 2L) has twice D's variance.
        return DeviationOfSizes(sizes) / std::numbers::sqrt2;
    };
    const double whole = deviation(L);
    const int quiet = std::max(kQuietWindow, static_cast<int>(std::ceil(kQuietNs * kPositionPerNs / m_dStep)));
    if (L < 2 * quiet) {
        return whole;
    }
    return std::min(whole, deviation(quiet) * std::sqrt(static_cast<double>(L) / quiet));
}

bool Finder::HeldByRounding() const
{
    const double W = m_dPulseSamples;
    const int h = std::max(4, static_cast<int>(W / 4));
    constexpr int kStride = 8;
    std::vector<double> sizes;
    sizes.reserve(kCount / kStride + 1);
    const auto& x = m_record.m_samples;
    for (int k = m_nLaunchEnd + static_cast<int>(W) + h; k + h < kCount; k += kStride) {
        sizes.push_back(std::fabs(x[k] - Smoothed(k, h)));
    }
    // Too few samples behind the launch to tell.
    if (sizes.size() < 100) {
        return false;
    }
    return DeviationOfSizes(sizes) <= kRoundedDeviation;
}

std::optional<double> Finder::BinNoise(double bin) const
{
    const int b = static_cast<int>(std::lround(bin));
    const int first = m_nDeadEnd;
    const int triples = (kCount - first) / (3 * std::max(b, 1));
    if (b < 2 || triples < 16) {
        return std::nullopt;
    }
    // The fits use a few widths of bin; each is measured once.
    for (const auto& [width, noise] : m_binNoise) {
        if (width == b) {
            return noise;
        }
    }
    // At most kBinTriples triples, spread evenly along the line.
    const int stride = std::max(3 * b, (kCount - first - 3 * b) / kBinTriples);
    std::vector<double> sizes;
    sizes.reserve(static_cast<std::size_t>(kBinTriples) + 1);
    for (int k = first; k + 3 * b <= kCount; k += stride) {
        const double before = m_sum[k + b] - m_sum[k];
        const double at = m_sum[k + 2 * b] - m_sum[k + b];
        const double after = m_sum[k + 3 * b] - m_sum[k + 2 * b];
        sizes.push_back(std::fabs(at - 0.5 * (before + after)) / b);
    }
    // A bin less the mean of its neighbours has 1.5 times a bin's variance.
    const double noise = DeviationOfSizes(sizes) / std::sqrt(1.5);
    std::rotate(m_binNoise.rbegin(), m_binNoise.rbegin() + 1, m_binNoise.rend());
    m_binNoise.front() = {b, noise};
    return noise;
}

} // namespace events
