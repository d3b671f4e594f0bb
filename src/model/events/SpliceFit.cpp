// Where a splice starts, by fitting its echo's shape.
//
// A splice reflects the launch pulse twice: a short stretch of other
// impedance where it starts and, the other way, where it ends (a pulse less
// itself a short delay later), a series coil the pulse's two edges (a short
// spike, and the opposite one a pulse width later). Both are the same shape:
// a short bump g of width w, less itself a pulse width later, g(t) − g(t − W);
// for a stretch, w is its length, for a coil the coil's own time constant.
// Blurred and spread by the line like any echo, the bump's half height lies
// neither at its start (a narrow bump's blurred top is low, its half height
// early) nor at a fixed lag from it (a spread one rises slowly), so the start
// is fitted: the bump of each width, blurred and spread, its height of the
// first swing's sign, level and a straight trend free. Two opposite half
// pulses, the second at once behind the first, compete with the bumps: a
// splice so shaped is no echo of the launch's two edges, and the double edge
// of the step response places it.
#include "model/events/Finder.h"

#include "model/events/EdgeFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace events {

namespace {

// Bins of W / kPerWidth; the window from kBefore bins before the anchor (the
// half height of the first swing), kWindow bins long: both swings; the start
// sought from kEarliest bins before the anchor at kShifts starts one bin apart.
constexpr int kPerWidth = 16;
constexpr int kWindow = 40;
constexpr int kBefore = 16;
constexpr int kEarliest = 12;
constexpr int kShifts = 17;
// The bumps: a stretch's, as long as the stretch, in bins, from a sixteenth of
// the pulse to three quarters of it; a coil's, decaying with the coil's time
// constant, from a thirtieth of the pulse to a fifth, in bins.
constexpr std::array<int, 8> kLengths = {1, 2, 3, 4, 6, 8, 10, 12};
constexpr std::array<double, kCoilDecays.size()> kDecays = [] {
    std::array<double, kCoilDecays.size()> decays{};
    for (std::size_t d = 0; d < decays.size(); ++d) {
        decays[d] = kCoilDecays[d] * kPerWidth;
    }
    return decays;
}();
// The last shape is no bump less itself a pulse later but two opposite half
// pulses, the second at once behind the first: the echo of a splice whose
// halves a double edge parts (the step response places it).
constexpr std::size_t kHalves = kLengths.size() + kDecays.size();
constexpr std::size_t kBumps = kHalves + 1;
// Each bin of a coil's bump is summed over this many parts.
constexpr int kParts = 4;
// The fit runs early on a coil's spike (the receiver's band widens it more
// than the launch's blur and the skin effect explain): the start lies no more
// than this share of a pulse width before the first swing's half height.
constexpr double kEarliestBeforeHalf = 0.03;
// On a lossy line, a stretch half a pulse long or longer (in bins) makes its
// first swing a whole edge, whose half height trails the start by the line's
// spreading as a plain echo's does (0.1 to 0.3 of a pulse far out): there the
// start may lie this share of what the fitted shape's own half height trails
// its start further before the swing's, at most kMostLead of a pulse (a weak
// swing far out fits the slowest spreading about as well as any). Not behind
// a coil, where the coil's delay already lets the start lie earlier.
constexpr int kLongBump = kPerWidth / 2;
constexpr double kLongBumpLead = 0.5;
constexpr double kMostLead = 0.15;
// A lossy dielectric widens both sides of an edge, which a causal spreading
// alone mimics by an earlier start: where the best shape is a stretch's, the
// stretches beside it at the spreadings beside its own are also tried with
// blurs up to this many steps wider than the launch's. (A coil's spike is
// left to the launch's blur: a wider one would take a longer time constant,
// and so the coil's delay for every echo behind it.)
constexpr std::size_t kWiderBlurs = 4;

// Shape values at bin centres m + 0.5 bins from the start, m from -kShapeBefore on.
constexpr int kShapeBefore = kBefore - kEarliest + kShifts - 1;
constexpr int kShapeLength = kWindow + kShifts - 1;
constexpr double kCentre = (kWindow - 1) / 2.0;

struct SpliceShape
{
    std::array<float, kShapeLength> m_values{};
    // Per start, what is left of the shape once level and trend over the
    // window are taken out: its squared length.
    std::array<double, kShifts> m_norm{};
    // Bins from the start to where the first swing reaches half its top.
    double m_dHalfLag = 0;
};

// The shape's norms: per start, what is left of it over the window once
// level and trend are taken out, squared.
void Normalise(SpliceShape& shape)
{
    for (int shift = 0; shift < kShifts; ++shift) {
        double vv = 0, v1 = 0, vc = 0, cc = 0;
        for (int j = 0; j < kWindow; ++j) {
            const double v = shape.m_values[static_cast<std::size_t>(j - shift + kShifts - 1)];
            const double c = j - kCentre;
            vv += v * v;
            v1 += v;
            vc += v * c;
            cc += c * c;
        }
        shape.m_norm[static_cast<std::size_t>(shift)] = vv - v1 * v1 / kWindow - vc * vc / cc;
    }
}

// Where the shape's first swing reaches half its top (the bump comes first,
// upwards), in bins from its start.
void FindHalfLag(SpliceShape& shape)
{
    const auto& v = shape.m_values;
    const float top = *std::max_element(v.begin(), v.end());
    for (std::size_t m = 1; m < v.size(); ++m) {
        if (v[m] >= top / 2) {
            const double between = (top / 2 - v[m - 1]) / static_cast<double>(v[m] - v[m - 1]);
            shape.m_dHalfLag = static_cast<double>(m - 1) + between - kShapeBefore + 0.5;
            break;
        }
    }
}

// The shapes of one blur: every spreading, then every width.
using SpliceRow = std::vector<SpliceShape>;

std::size_t RowIndex(std::size_t spread, std::size_t width)
{
    return spread * kBumps + width;
}

SpliceRow BuildSpliceRow(std::size_t b)
{
    constexpr int P = kPerWidth;
    constexpr int kLongest = 4 * kLengths.back();
    constexpr int kCoilParts = kLongest / 2 * kParts;
    SpliceRow row(kSpreads.size() * kBumps);
    const double blur = Blur(b);
    // A coil's bump decays: the weight of each part.
    std::array<std::array<double, kCoilParts>, kDecays.size()> decay{};
    for (std::size_t d = 0; d < kDecays.size(); ++d) {
        for (int part = 0; part < kCoilParts; ++part) {
            decay[d][static_cast<std::size_t>(part)] =
                std::exp(-(static_cast<double>(part) / kParts + 0.5 / kParts) / kDecays[d]);
        }
    }
    std::array<double, kShapeLength + P + kLongest> step{};
    for (std::size_t s = 0; s < kSpreads.size(); ++s) {
        // The step's echo from the longest bump and a pulse width before the
        // first bin on.
        for (std::size_t m = 0; m < step.size(); ++m) {
            const double t = (static_cast<double>(m) - kShapeBefore - P - kLongest + 0.5) / P;
            step[m] = SpreadStepEcho(t, blur, kSpreads[s]);
        }
        // The step's echo between bin centres, by straight lines.
        const auto at = [&](double m) {
            const double u = m + kShapeBefore + P + kLongest;
            const std::size_t k = static_cast<std::size_t>(std::floor(u));
            return step[k] + (u - k) * (step[std::min(k + 1, step.size() - 1)] - step[k]);
        };
        // The bump's echo at bin m: a stretch's, the step's less itself its
        // length later; a coil's, the step's changes decaying.
        const auto bump = [&](std::size_t w, double m) {
            if (w < kLengths.size()) {
                return at(m) - at(m - kLengths[w]);
            }
            const auto& weights = decay[w - kLengths.size()];
            double sum = 0;
            for (int part = 0; part < kCoilParts; ++part) {
                const double lag = static_cast<double>(part) / kParts;
                sum += weights[static_cast<std::size_t>(part)] * (at(m - lag) - at(m - lag - 1.0 / kParts));
            }
            return sum;
        };
        for (std::size_t w = 0; w < kBumps; ++w) {
            SpliceShape& shape = row[RowIndex(s, w)];
            for (std::size_t m = 0; m < kShapeLength; ++m) {
                // The bump, less itself a pulse width later; or the halves.
                const double t = static_cast<double>(m) - kShapeBefore;
                shape.m_values[m] = static_cast<float>(
                    w == kHalves ? at(t) - 2 * at(t - P / 2.0) + at(t - P) : bump(w, t) - bump(w, t - P));
            }
            Normalise(shape);
            FindHalfLag(shape);
        }
    }
    return row;
}

// The halves, symmetric, for every blur: far along a line smoothed more
// than the launch, their double edge widens both ways alike.
const std::array<SpliceShape, kBlurCount>& WideHalves()
{
    static const std::array<SpliceShape, kBlurCount> halves = [] {
        constexpr double P = kPerWidth;
        std::array<SpliceShape, kBlurCount> all{};
        for (std::size_t b = 0; b < kBlurCount; ++b) {
            const auto step = [&](double m) { return SpreadStepEcho((m + 0.5) / P, Blur(b), 0); };
            for (std::size_t m = 0; m < kShapeLength; ++m) {
                const double t = static_cast<double>(m) - kShapeBefore;
                all[b].m_values[m] = static_cast<float>(step(t) - 2 * step(t - P / 2) + step(t - P));
            }
            Normalise(all[b]);
        }
        return all;
    }();
    return halves;
}

// The shapes of a blur, built the first time a trace's launch has it.
const SpliceRow& SpliceShapes(std::size_t b)
{
    static std::array<SpliceRow, kBlurCount> rows;
    static std::array<std::once_flag, kBlurCount> built;
    std::call_once(built[b], [b] { rows[b] = BuildSpliceRow(b); });
    return rows[b];
}

// The shapes of a blur as they come back from behind a coil of one of
// kCoilDecays, built the first time an echo needs them.
const SpliceRow& CoilSpliceShapes(std::size_t b, std::size_t coil)
{
    static std::array<std::array<SpliceRow, kCoilDecays.size()>, kBlurCount> rows;
    static std::array<std::array<std::once_flag, kCoilDecays.size()>, kBlurCount> built;
    std::call_once(built[b][coil], [b, coil] {
        rows[b][coil] = SpliceShapes(b);
        for (SpliceShape& shape : rows[b][coil]) {
            PassCoilTwice(shape.m_values, kDecays[coil]);
            Normalise(shape);
        }
    });
    return rows[b][coil];
}

// The best shape and start so far.
struct SpliceBest
{
    double m_dExplained = 0;
    int m_nShift = -1;
};

// The window's bins, level and trend taken out, eight at a time.
static_assert(kWindow % 8 == 0);
using SpliceWindow = std::array<Lanes8, kWindow / 8>;

// What one shape explains of the window (level and trend taken out) at one
// start, with a height of the first swing's sign (else nothing).
[[gnu::always_inline]] inline double ExplainAt(const SpliceShape& shape, const SpliceWindow& window, int sign,
                                               int shift)
{
    const float* v = shape.m_values.data() + (kShifts - 1 - shift);
    Lanes8 lanes{};
    for (std::size_t k = 0; k < window.size(); ++k) {
        Lanes8 a;
        std::memcpy(&a, v + 8 * k, sizeof a);
        lanes += a * window[k];
    }
    const float dot = SumLanes(lanes);
    const double norm = shape.m_norm[static_cast<std::size_t>(shift)];
    return norm > 1e-9 && dot * sign > 0 ? dot * static_cast<double>(dot) / norm : 0;
}

// ... at every other start, then at the two beside the best of them (what a
// shape explains changes smoothly with its start; the starts not tried
// explain nothing); the best so far kept.
[[gnu::always_inline]] inline void Consider(const SpliceShape& shape, const SpliceWindow& window, int sign,
                                            SpliceBest& best)
{
    std::array<double, kShifts> row{};
    int coarse = 0;
    for (int shift = 0; shift < kShifts; shift += 2) {
        row[static_cast<std::size_t>(shift)] = ExplainAt(shape, window, sign, shift);
        if (row[static_cast<std::size_t>(shift)] > row[static_cast<std::size_t>(coarse)]) {
            coarse = shift;
        }
    }
    for (const int shift : {coarse - 1, coarse + 1}) {
        if (shift >= 0 && shift < kShifts) {
            row[static_cast<std::size_t>(shift)] = ExplainAt(shape, window, sign, shift);
        }
    }
    for (int shift = 0; shift < kShifts; ++shift) {
        if (row[static_cast<std::size_t>(shift)] > best.m_dExplained) {
            best.m_dExplained = row[static_cast<std::size_t>(shift)];
            best.m_nShift = shift;
        }
    }
}

// The best shape of a row and its start.
struct SpliceSearch
{
    SpliceBest m_best;
    std::size_t m_nSpread = 0;
    std::size_t m_nBump = 0;
};

// Every other spreading with every bump, then the two spreadings beside the
// best with the bumps beside its bump.
ONDALIS_FIT_CLONES SpliceSearch SearchShapes(const SpliceRow& shapes, const SpliceWindow& window, int sign)
{
    SpliceSearch search;
    const auto consider = [&](std::size_t s, std::size_t first, std::size_t last) {
        for (std::size_t w = first; w <= last; ++w) {
            const double before = search.m_best.m_dExplained;
            Consider(shapes[RowIndex(s, w)], window, sign, search.m_best);
            if (search.m_best.m_dExplained > before) {
                search.m_nSpread = s;
                search.m_nBump = w;
            }
        }
    };
    for (std::size_t s = 0; s < kSpreads.size(); s += 2) {
        consider(s, 0, kBumps - 1);
    }
    const std::size_t coarse = search.m_nSpread;
    const std::size_t first = search.m_nBump > 0 ? search.m_nBump - 1 : 0;
    const std::size_t last = std::min(search.m_nBump + 1, kBumps - 1);
    if (coarse > 0) {
        consider(coarse - 1, first, last);
    }
    if (coarse + 1 < kSpreads.size()) {
        consider(coarse + 1, first, last);
    }
    return search;
}

// The stretches beside the best at the spreadings beside its own, with
// blurs up to kWiderBlurs steps wider than the launch's: where one explains
// the window better the search takes it, and its row is returned (else
// `row`).
ONDALIS_FIT_CLONES const SpliceRow* SearchWiderBlurs(const SpliceWindow& window, int sign, std::size_t launch,
                                                     const SpliceRow* row, SpliceSearch& search)
{
    const std::size_t spread = search.m_nSpread;
    const std::size_t bump = search.m_nBump;
    const std::size_t widest = std::min(launch + kWiderBlurs, std::size_t{kBlurCount} - 1);
    for (std::size_t b = launch + 1; b <= widest; ++b) {
        const SpliceRow& wider = SpliceShapes(b);
        for (std::size_t s = spread > 0 ? spread - 1 : 0; s <= std::min(spread + 1, kSpreads.size() - 1);
             ++s) {
            for (std::size_t w = bump > 0 ? bump - 1 : 0; w <= std::min(bump + 1, kLengths.size() - 1); ++w) {
                SpliceBest trial;
                Consider(wider[RowIndex(s, w)], window, sign, trial);
                if (trial.m_dExplained > search.m_best.m_dExplained) {
                    search = {trial, s, w};
                    row = &wider;
                }
            }
        }
    }
    return row;
}

// The halves at every other blur from the launch's on, without spreading,
// then at the two beside the best of them.
ONDALIS_FIT_CLONES SpliceBest SearchHalves(const SpliceWindow& window, int sign, std::size_t launch)
{
    SpliceBest halves;
    const auto& wide = WideHalves();
    std::size_t widest = launch;
    for (std::size_t b = launch; b < kBlurCount; b += 2) {
        const double before = halves.m_dExplained;
        Consider(wide[b], window, sign, halves);
        widest = halves.m_dExplained > before ? b : widest;
    }
    for (const std::size_t b : {widest - 1, widest + 1}) {
        if (b >= launch && b < kBlurCount) {
            Consider(wide[b], window, sign, halves);
        }
    }
    return halves;
}

} // namespace

std::optional<SpliceFitResult> Finder::FitSplice(const Echo& echo, double anchor, double margin, int* coil,
                                                 int behind) const
{
    if (coil != nullptr) {
        *coil = -1;
    }
    const double W = m_dPulseSamples;
    const double bin = W / kPerWidth;
    const double from = anchor - kBefore * bin;
    // The window's bins from `at` on, level and trend taken out.
    constexpr double cc = [] {
        double sum = 0;
        for (int j = 0; j < kWindow; ++j) {
            sum += (j - kCentre) * (j - kCentre);
        }
        return sum;
    }();
    const auto binned = [&](double at, SpliceWindow& lanes) {
        std::array<double, kWindow> bins{};
        if (!WindowBins(at, bin, bins)) {
            return false;
        }
        double sum = 0;
        double moment = 0;
        for (int j = 0; j < kWindow; ++j) {
            sum += bins[static_cast<std::size_t>(j)];
            moment += (j - kCentre) * bins[static_cast<std::size_t>(j)];
        }
        for (int j = 0; j < kWindow; ++j) {
            lanes[static_cast<std::size_t>(j / 8)][j % 8] = static_cast<float>(
                bins[static_cast<std::size_t>(j)] - sum / kWindow - (j - kCentre) * moment / cc);
        }
        return true;
    };
    SpliceWindow window{};
    if (!binned(from, window)) {
        return std::nullopt;
    }

    const std::size_t launch = BlurIndex(m_dLaunchBlur);
    // The launch's blur spread by the skin effect, every spreading.
    const SpliceRow& shapes =
        behind < 0 ? SpliceShapes(launch) : CoilSpliceShapes(launch, static_cast<std::size_t>(behind));
    SpliceSearch search = SearchShapes(shapes, window, echo.m_e.m_nSign);
    const SpliceRow* row = &shapes;
    if (behind < 0 && search.m_best.m_nShift >= 0 && search.m_nBump < kLengths.size()) {
        row = SearchWiderBlurs(window, echo.m_e.m_nSign, launch, row, search);
    }
    const SpliceBest& best = search.m_best;
    const std::size_t bestSpread = search.m_nSpread;
    const std::size_t bestBump = search.m_nBump;
    if (best.m_nShift < 0 || bestBump == kHalves) {
        return std::nullopt;
    }
    if (margin > 0) {
        const SpliceBest halves = SearchHalves(window, echo.m_e.m_nSign, launch);
        if (best.m_dExplained - halves.m_dExplained < margin * EvidenceUnit(bin)) {
            return std::nullopt;
        }
    }
    if (coil != nullptr && bestBump >= kLengths.size()) {
        *coil = static_cast<int>(bestBump - kLengths.size());
    }
    // Between bins: the best shape again on the trace binned a quarter, a
    // half and three quarters of a bin later, at the starts beside its best,
    // so that its start is known on a grid of quarter bins (a bin is a
    // sixteenth of the pulse, wider than the tolerance on long pulses); the
    // best of the grid refined by a parabola.
    const SpliceShape& shape = (*row)[RowIndex(bestSpread, bestBump)];
    constexpr int kQuarters = 4;
    std::array<double, 3 * kQuarters> grid{}; // starts from a bin before the best on
    grid.fill(-1);
    grid[kQuarters] = best.m_dExplained;
    SpliceWindow later{};
    for (int q = 0; q < kQuarters; ++q) {
        if (q > 0 && !binned(from + q * bin / kQuarters, later)) {
            continue;
        }
        const SpliceWindow& lanes = q > 0 ? later : window;
        for (int d = -1; d <= 1; ++d) {
            const int shift = best.m_nShift + d;
            if ((q > 0 || d != 0) && shift >= 0 && shift < kShifts) {
                grid[static_cast<std::size_t>((d + 1) * kQuarters + q)] =
                    ExplainAt(shape, lanes, echo.m_e.m_nSign, shift);
            }
        }
    }
    std::size_t top = kQuarters; // the best whole bin
    for (std::size_t g = 0; g < grid.size(); ++g) {
        top = grid[g] > grid[top] ? g : top;
    }
    double quarters = static_cast<double>(top);
    if (top > 0 && top + 1 < grid.size() && grid[top - 1] >= 0 && grid[top + 1] >= 0) {
        quarters = PeakBetween(static_cast<int>(top), grid[top - 1], grid[top], grid[top + 1]);
    }
    SpliceFitResult result;
    result.m_dStart = from + (kBefore - kEarliest + best.m_nShift - 1 + quarters / kQuarters) * bin;
    if (behind < 0 && bestBump < kLengths.size() && kLengths[bestBump] >= kLongBump) {
        result.m_dLead = std::min(kLongBumpLead * std::max(0.0, shape.m_dHalfLag) * bin, kMostLead * W);
    }
    return result;
}

// Every splice starts where its fit puts it, but no earlier than
// kEarliestBeforeHalf of a pulse (and, behind a coil, twice the coil's time
// constant more; for a long stretch on a lossy line, the fit's lead more)
// before its first swing's half height; on a line not shown
// to be lossy, only where the fit explains its echo by kSpliceEvidence more
// than two opposite half pulses do. Elsewhere the positions stand
// (Finder.cpp): the half height of the first swing, or the double edge's
// estimate where it is later. The echoes from behind a splice's series coil
// are fitted with shapes the coil low-passes twice: a coil delays whatever
// passes it, however little the line loses (though off a lossy line only a
// coil whose fit clears kSpliceEvidence is known); the splices behind one
// only on a lossy line.
void Finder::PlaceSplices(std::vector<Echo>& echoes, bool lossy) const
{
    const double margin = lossy ? 0 : kSpliceEvidence;
    std::vector<std::pair<double, double>> coils; // where each coil's pair ends, its time constant
    for (Echo& echo : echoes) {
        const bool splice = echo.m_c.m_shape == Shape::Splice || (echo.m_bJoined && !echo.m_e.m_bStretch);
        if (!splice) {
            continue;
        }
        const double half = SpliceStart(echo.m_c);
        const int behind = lossy ? CoilBehind(coils, half) : -1;
        if (const std::optional<SpliceFitResult> fit = FitSplice(echo, half, margin, &echo.m_nCoil, behind)) {
            // A coil passed twice delays what follows by twice its time
            // constant on average: the half height trails by about as much.
            const double delay = behind < 0 ? 0 : 2 * kCoilDecays[static_cast<std::size_t>(behind)];
            echo.m_e.m_dSample = std::max(
                {0.0, fit->m_dStart,
                 half - (kEarliestBeforeHalf + delay) * m_dPulseSamples - (lossy ? fit->m_dLead : 0)});
        }
        if (echo.m_nCoil >= 0) {
            coils.emplace_back(echo.m_e.m_dSample + kSpliceWidths * m_dPulseSamples,
                               kCoilDecays[static_cast<std::size_t>(echo.m_nCoil)]);
        }
    }
    if (coils.empty()) {
        return;
    }
    // The echoes from behind a coil fitted again: a plain echo's edge, and a
    // stretch's (placed by its edge's fit on a lossy line), in sixteenths of
    // a pulse (in thirty-seconds the search for a line's events would cost
    // an eighth more, for no better placing).
    for (Echo& echo : echoes) {
        const bool stretch = echo.m_bJoined && echo.m_e.m_bStretch && echo.m_c.m_shape != Shape::Splice;
        if (!echo.m_dAnchor && !stretch) {
            continue;
        }
        const int coil = CoilBehind(coils, echo.m_e.m_dSample);
        if (coil < 0) {
            continue;
        }
        const double anchor = echo.m_dAnchor ? *echo.m_dAnchor : HalfHeight(echo.m_c);
        if (const std::optional<EdgeFitResult> fit = FitStart<StartFit>(echo.m_c, anchor, false, coil)) {
            echo.m_e.m_dSample = std::max(0.0, fit->m_dStart);
        }
    }
}

// The time constants of the coils an echo has passed add up (each delays it
// by its own): the decay nearest their sum, of the coils whose pairs end
// before `sample`; negative where it has passed none.
int Finder::CoilBehind(const std::vector<std::pair<double, double>>& coils, double sample)
{
    double tau = 0;
    for (const auto& [end, decay] : coils) {
        tau += sample > end ? decay : 0;
    }
    if (tau == 0) {
        return -1;
    }
    const auto nearest = std::min_element(kCoilDecays.begin(), kCoilDecays.end(), [tau](double a, double b) {
        return std::fabs(a - tau) < std::fabs(b - tau);
    });
    return static_cast<int>(nearest - kCoilDecays.begin());
}

} // namespace events
