// Where an echo's leading edge starts, by fitting the edge's shape.
#include "model/events/EdgeFit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <numbers>
#include <type_traits>
#include <utility>
#include <vector>

namespace events {

namespace {

// The shapes: every blur with every spreading.
constexpr int kShapes = static_cast<int>(kBlurCount * kSpreads.size());
// The skin effect spreads the launch's own blur: blurs this many steps either
// side of the launch's are tried with it (the launch's is read from its edge,
// whose shape is not quite Gaussian).
constexpr std::size_t kBlurReach = 2;
// A line whose dielectric loses as well widens every edge on both sides
// alike, the more the farther the echo: where the edge starts, blurs up to
// this many steps wider than the launch's (3.8 times as wide) are tried with
// the spreadings too. Whether the line spreads causally is still weighed
// with the launch's blur alone, so a widened symmetric echo does not count
// for a lossy line.
constexpr std::size_t kWidenedReach = 8;
// ... with the spreadings that fit best with the launch's blur, this many.
constexpr std::size_t kSpreadsKept = 3;
// Through a clipped top the spreadings from this index on (a twentieth of a
// pulse width): the smaller ones change the echo's foot less than a step of
// blur does, and with the top hidden they only let the fit follow the
// baseline dipping a unit or two behind a symmetric echo.
constexpr std::size_t kLeastClippedSpread = 3;

// The shapes of a geometry and, for each shape and start, the reciprocal of
// the squared size of what the shape adds to level and trend over the window.
template <class G>
struct Table
{
    // Shape values at bin centres m + 0.5 (bins from the edge's start), m
    // from -kShapeBefore on: as far as the window reaches from the latest
    // and the earliest start.
    static constexpr int kShapeBefore = G::kBefore - G::kEarliest + G::kShifts - 1;
    static constexpr int kShapeLength = G::kWindow + G::kShifts - 1;
    static constexpr double kCentre = (G::kWindow - 1) / 2.0;

    std::vector<std::array<float, kShapeLength>> m_shape; // the rectangle's echo, height 1 before spreading
    std::vector<std::array<double, G::kShifts>> m_inverseNorm; // 0 where the shape adds nothing
};

// The skin effect's step response erfc(√u / (2 √x)), x pulse widths after
// the discontinuity: for the table's spreadings, read between points every
// 1/1024 of a pulse width up to 8 widths (the tables would otherwise take
// some hundred milliseconds of error functions to build).
double SkinStep(double x, double u)
{
    constexpr int kPerWidthFine = 1024;
    constexpr int kReachFine = 8 * kPerWidthFine;
    using Curve = std::array<float, kReachFine + 1>;
    static const std::vector<Curve> curves = [] {
        std::vector<Curve> all(kSpreads.size());
        for (std::size_t s = 1; s < kSpreads.size(); ++s) {
            for (int k = 1; k <= kReachFine; ++k) {
                all[s][static_cast<std::size_t>(k)] = static_cast<float>(
                    std::erfc(std::sqrt(kSpreads[s]) / (2 * std::sqrt(static_cast<double>(k) / kPerWidthFine))));
            }
        }
        return all;
    }();
    if (x <= 0) {
        return 0;
    }
    const auto known = std::find(kSpreads.begin() + 1, kSpreads.end(), u);
    const double at = x * kPerWidthFine;
    if (known == kSpreads.end() || at >= kReachFine) {
        return std::erfc(std::sqrt(u) / (2 * std::sqrt(x)));
    }
    const Curve& curve = curves[static_cast<std::size_t>(known - kSpreads.begin())];
    const auto k = static_cast<std::size_t>(at);
    return curve[k] + (at - static_cast<double>(k)) * (curve[k + 1] - curve[k]);
}

// The step's echo at t pulse widths after the discontinuity: the skin
// effect's step response, blurred by a Gaussian.
double SpreadStep(double t, double blur, double u)
{
    if (u == 0) {
        return 0.5 * std::erfc(-t / (blur * std::numbers::sqrt2));
    }
    constexpr int kHalf = 60;
    constexpr double kReach = 4.5;
    static const std::array<double, 2 * kHalf + 1> weights = [] {
        std::array<double, 2 * kHalf + 1> w{};
        double total = 0;
        for (int i = -kHalf; i <= kHalf; ++i) {
            const double z = kReach * i / kHalf;
            w[static_cast<std::size_t>(i + kHalf)] = std::exp(-0.5 * z * z);
            total += w[static_cast<std::size_t>(i + kHalf)];
        }
        for (double& v : w) {
            v /= total;
        }
        return w;
    }();
    double sum = 0;
    for (int i = -kHalf; i <= kHalf; ++i) {
        sum += weights[static_cast<std::size_t>(i + kHalf)] * SkinStep(t - blur * kReach * i / kHalf, u);
    }
    return sum;
}

// For shape i at every start: the shape's part that level and trend leave
// over the window (the shape less its mean and its straight trend), as the
// reciprocal of its squared size. A fit of shape, level and trend explains
// what level and trend alone do, plus the square of the window's projection
// on that part: with the window's own level and trend taken out once, a fit
// costs one dot product.
template <class G> void Normalise(Table<G>& table, std::size_t i)
{
    using T = Table<G>;
    double cc = 0;
    for (int j = 0; j < G::kWindow; ++j) {
        cc += (j - T::kCentre) * (j - T::kCentre);
    }
    for (int shift = 0; shift < G::kShifts; ++shift) {
        double tt = 0, t1 = 0, tj = 0;
        for (int j = 0; j < G::kWindow; ++j) {
            const double v = table.m_shape[i][static_cast<std::size_t>(j - shift + G::kShifts - 1)];
            tt += v * v;
            t1 += v;
            tj += v * (j - T::kCentre);
        }
        const double norm = tt - t1 * t1 / G::kWindow - tj * tj / cc;
        table.m_inverseNorm[i][static_cast<std::size_t>(shift)] = norm > 1e-9 * tt ? 1 / norm : 0;
    }
}

template <class G>
Table<G> BuildTable()
{
    using T = Table<G>;
    constexpr int P = G::kPerWidth;
    T table;
    table.m_shape.resize(kShapes);
    table.m_inverseNorm.resize(kShapes);
    for (std::size_t b = 0; b < kBlurCount; ++b) {
        for (std::size_t s = 0; s < kSpreads.size(); ++s) {
            const std::size_t i = b * kSpreads.size() + s;
            // The step's echo on bin centres from a pulse width before the
            // first one on; the pulse is the step less the step a width later.
            std::array<double, T::kShapeLength + P> step{};
            for (int m = 0; m < T::kShapeLength + P; ++m) {
                const double t = (m - T::kShapeBefore - P + 0.5) / P;
                step[static_cast<std::size_t>(m)] = SpreadStep(t, Blur(b), kSpreads[s]);
            }
            for (int m = 0; m < T::kShapeLength; ++m) {
                table.m_shape[i][static_cast<std::size_t>(m)] =
                    static_cast<float>(step[static_cast<std::size_t>(m + P)] - step[static_cast<std::size_t>(m)]);
            }
            Normalise(table, i);
        }
    }
    return table;
}

template <class G>
const Table<G>& TheTable()
{
    static const Table<G> table = BuildTable<G>();
    return table;
}

// The shapes as they come back from behind a series coil of time constant
// `tau` (pulse widths).
template <class G>
Table<G> BuildCoilTable(double tau)
{
    Table<G> table = TheTable<G>();
    for (std::size_t i = 0; i < table.m_shape.size(); ++i) {
        PassCoilTwice(table.m_shape[i], tau * G::kPerWidth);
        Normalise(table, i);
    }
    return table;
}

template <class G>
const Table<G>& CoilTable(std::size_t coil)
{
    static std::array<Table<G>, kCoilDecays.size()> tables;
    static std::array<std::once_flag, kCoilDecays.size()> built;
    std::call_once(built[coil], [coil] { tables[coil] = BuildCoilTable<G>(kCoilDecays[coil]); });
    return tables[coil];
}

// The window as the fit sees it: its bins less their level and straight
// trend, eight at a time in single precision (what is left is the echo and
// the noise, some tens of units: the sum of 64 products with a shape needs no
// more).
template <class G>
struct Window
{
    std::array<Lanes8, G::kWindow / 8> m_lanes{};
    int m_nSign = 1;
};

// How much more of the window one shape explains at one start than level and
// trend alone, with a height of the echo's sign (else nothing more).
template <class G>
[[gnu::always_inline]] inline double ExplainAt(const Table<G>& table, std::size_t i, const Window<G>& w,
                                               int shift)
{
    const float* v = table.m_shape[i].data() + (G::kShifts - 1 - shift);
    // Eight lanes: on four-lane processors two running sums, so the additions
    // need not wait for each other.
    Lanes8 acc{};
    for (std::size_t k = 0; k < w.m_lanes.size(); ++k) {
        Lanes8 a;
        std::memcpy(&a, v + 8 * k, sizeof a);
        acc += a * w.m_lanes[k];
    }
    const double ty = SumLanes(acc);
    return ty * w.m_nSign > 0 ? ty * ty * table.m_inverseNorm[i][static_cast<std::size_t>(shift)] : 0;
}

// ... at every other start (every fourth on a window of more than 18
// starts, every eighth on one of more than 40), then at the starts either
// side of the best of them, halving the step down to one: what a shape
// explains changes smoothly from one start to the next, so that finds the
// best start at little more than half the cost (a third or a quarter on the
// longer windows). The starts not tried explain nothing.
// Returns the best start: no start tried explains more.
template <class G>
[[gnu::always_inline]] inline int Explain(const Table<G>& table, std::size_t i, const Window<G>& w,
                                          std::array<double, G::kShifts>& row)
{
    constexpr int kStride = G::kShifts > 40 ? 8 : G::kShifts > 18 ? 4 : 2;
    row.fill(-1);
    int best = 0;
    for (int shift = 0; shift < G::kShifts; shift += kStride) {
        row[static_cast<std::size_t>(shift)] = ExplainAt(table, i, w, shift);
        if (row[static_cast<std::size_t>(shift)] > row[static_cast<std::size_t>(best)]) {
            best = shift;
        }
    }
    for (int step = kStride / 2; step >= 1; step /= 2) {
        const int around = best;
        for (const int shift : {around - step, around + step}) {
            if (shift >= 0 && shift < G::kShifts) {
                row[static_cast<std::size_t>(shift)] = ExplainAt(table, i, w, shift);
                if (row[static_cast<std::size_t>(shift)] > row[static_cast<std::size_t>(best)]) {
                    best = shift;
                }
            }
        }
    }
    return best;
}

// The best shape and start so far, with what the starts either side explain.
template <int Shifts>
struct Best
{
    double m_dExplained = -1;
    int m_nShift = 0;
    std::size_t m_nSpread = 0; // the shape's spreading, an index of kSpreads
    double m_dBefore = 0;
    double m_dAfter = 0;

    // A row of starts whose best is `shift`.
    void Consider(const std::array<double, Shifts>& row, int shift, std::size_t spread = 0)
    {
        if (row[static_cast<std::size_t>(shift)] > m_dExplained) {
            m_nSpread = spread;
            m_dExplained = row[static_cast<std::size_t>(shift)];
            m_nShift = shift;
            m_dBefore = row[static_cast<std::size_t>(std::max(shift - 1, 0))];
            m_dAfter = row[static_cast<std::size_t>(std::min(shift + 1, Shifts - 1))];
        }
    }

    double Start() const { return PeakBetween(m_nShift, m_dBefore, m_dExplained, m_dAfter); }
};

} // namespace

template <class G>
ONDALIS_FIT_CLONES EdgeFitResult FitEdge(const std::array<double, G::kWindow>& bins, int sign,
                                         double launchBlur, bool weigh, int coil, std::size_t mostSpread)
{
    const Table<G>& table = coil < 0 ? TheTable<G>() : CoilTable<G>(static_cast<std::size_t>(coil));
    constexpr double kCentre = Table<G>::kCentre;
    Window<G> w;
    w.m_nSign = sign;
    double sum = 0;
    double moment = 0;
    double cc = 0;
    for (int j = 0; j < G::kWindow; ++j) {
        const double y = bins[static_cast<std::size_t>(j)];
        sum += y;
        moment += (j - kCentre) * y;
        cc += (j - kCentre) * (j - kCentre);
    }
    for (int j = 0; j < G::kWindow; ++j) {
        w.m_lanes[static_cast<std::size_t>(j / 8)][j % 8] = static_cast<float>(
            bins[static_cast<std::size_t>(j)] - sum / G::kWindow - (j - kCentre) * moment / cc);
    }

    // The launch's blur, give or take kBlurReach steps.
    const std::size_t launch = BlurIndex(launchBlur);
    const std::size_t first = launch > kBlurReach ? launch - kBlurReach : 0;
    const std::size_t last = std::min<std::size_t>(kBlurCount - 1, launch + kBlurReach);
    const std::size_t widest = std::min<std::size_t>(kBlurCount - 1, launch + kWidenedReach);
    std::array<double, G::kShifts> row{};
    // Symmetric blurs alone, none narrower than the launch's: every other
    // blur, then the two either side of the best of them (what a blur
    // explains changes slowly from one blur to the next).
    Best<G::kShifts> symmetric;
    if (weigh) {
        std::size_t best = first;
        double most = -1;
        for (std::size_t b = first; b < kBlurCount; b += 2) {
            const int at = Explain(table, b * kSpreads.size(), w, row);
            symmetric.Consider(row, at);
            if (symmetric.m_dExplained > most) {
                most = symmetric.m_dExplained;
                best = b;
            }
        }
        for (std::size_t b = best > first ? best - 1 : best + 1; b <= best + 1 && b < kBlurCount; b += 2) {
            const int at = Explain(table, b * kSpreads.size(), w, row);
            symmetric.Consider(row, at);
        }
    }
    // The launch's blur spread by the skin effect: every spreading with the
    // launch's own blur, then the kSpreadsKept best of them with the blurs
    // near it, and with the wider blurs where the edge starts (`widened`).
    Best<G::kShifts> spread;
    const std::size_t spreadCount = std::clamp<std::size_t>(mostSpread, 1, kSpreads.size() - 1);
    const std::size_t kept = std::min(kSpreadsKept, spreadCount);
    std::array<std::pair<double, std::size_t>, kSpreads.size() - 1> spreads{};
    for (std::size_t s = 1; s <= spreadCount; ++s) {
        Best<G::kShifts> one;
        const int at = Explain(table, launch * kSpreads.size() + s, w, row);
        one.Consider(row, at);
        spread.Consider(row, at, s);
        spreads[s - 1] = {one.m_dExplained, s};
    }
    std::partial_sort(spreads.begin(), spreads.begin() + static_cast<std::ptrdiff_t>(kept),
                      spreads.begin() + static_cast<std::ptrdiff_t>(spreadCount), std::greater<>());
    for (std::size_t k = 0; k < kept; ++k) {
        for (std::size_t b = first; b <= last; ++b) {
            if (b != launch) {
                const int at = Explain(table, b * kSpreads.size() + spreads[k].second, w, row);
                spread.Consider(row, at, spreads[k].second);
            }
        }
    }
    // The wider blurs: every other one, then the two either side of the best.
    // The fits over the echo's whole pulse only weigh the spreading, and
    // place no edge.
    constexpr bool kPlaces = !std::is_same_v<G, ShapeFit> && !std::is_same_v<G, LateShapeFit>;
    Best<G::kShifts> widened;
    std::size_t wideBlur = 0;
    std::size_t wideSpread = 0;
    for (std::size_t k = 0; kPlaces && k < kept; ++k) {
        for (std::size_t b = last + 2; b <= widest; b += 2) {
            const double before = widened.m_dExplained;
            const int at = Explain(table, b * kSpreads.size() + spreads[k].second, w, row);
            widened.Consider(row, at, spreads[k].second);
            if (widened.m_dExplained > before) {
                wideBlur = b;
                wideSpread = spreads[k].second;
            }
        }
    }
    if (wideBlur > 0) {
        for (const std::size_t b : {wideBlur - 1, wideBlur + 1}) {
            if (b <= widest) {
                const int at = Explain(table, b * kSpreads.size() + wideSpread, w, row);
                widened.Consider(row, at, wideSpread);
            }
        }
    }
    if (widened.m_dExplained <= spread.m_dExplained) {
        widened = spread;
    }

    EdgeFitResult result;
    if (spread.m_dExplained <= 0) {
        return result;
    }
    result.m_bFitted = true;
    // The shift counts from the earliest start.
    result.m_dStart = G::kBefore - G::kEarliest + widened.Start();
    result.m_nSpread = widened.m_nSpread;
    if (weigh) {
        const double symmetricBest = std::max(symmetric.m_dExplained, 0.0);
        result.m_dEvidence = spread.m_dExplained - symmetricBest;
        result.m_dWidenedEvidence = widened.m_dExplained - symmetricBest;
    }
    return result;
}

namespace {

// What level and height leave of a clipped window with one shape at one
// start (FitClippedEdge): the squared misfit of the whole bins, and of the
// clipped bins on the echo's side those that stand beyond the fit.
struct ClippedWindow
{
    using G = ClippedFit;
    static constexpr std::size_t kLanes = G::kWindow / 8;
    std::array<Lanes8, kLanes> m_y{};
    std::array<Lanes8, kLanes> m_whole{};   // 1 where the bin is whole
    std::array<Lanes8, kLanes> m_atLeast{}; // 1 where it is clipped on the echo's side
    int m_nSign = 1;
    // Over the whole bins: their count, and the sums of y and y².
    double m_dCount = 0;
    double m_dY = 0;
    double m_dYY = 0;

    void Add(std::size_t j, double y, int rail)
    {
        const float whole = rail == 0 ? 1.0f : 0.0f;
        m_y[j / 8][j % 8] = static_cast<float>(y);
        m_whole[j / 8][j % 8] = whole;
        m_atLeast[j / 8][j % 8] = rail == m_nSign ? 1.0f : 0.0f;
        m_dCount += whole;
        m_dY += whole * y;
        m_dYY += whole * y * y;
    }

    [[gnu::always_inline]] double Misfit(const Table<G>& table, std::size_t shape, int shift,
                                         double* heightOut = nullptr) const
    {
        constexpr double kNone = std::numeric_limits<double>::max();
        const float* v = table.m_shape[shape].data() + (G::kShifts - 1 - shift);
        std::array<Lanes8, kLanes> shapeAt;
        std::memcpy(shapeAt.data(), v, sizeof shapeAt);
        Lanes8 sm{}, smm{}, smy{};
        for (std::size_t k = 0; k < kLanes; ++k) {
            const Lanes8 w = m_whole[k] * shapeAt[k];
            sm += w;
            smm += w * shapeAt[k];
            smy += w * m_y[k];
        }
        const double m = SumLanes(sm);
        const double mm = SumLanes(smm);
        const double my = SumLanes(smy);
        const double det = m_dCount * mm - m * m;
        if (det <= 1e-9 * m_dCount * mm) {
            return kNone;
        }
        const double height = (m_dCount * my - m * m_dY) / det;
        if (height * m_nSign <= 0) {
            return kNone;
        }
        const double level = (m_dY - height * m) / m_dCount;
        if (heightOut != nullptr) {
            *heightOut = height;
        }
        // What the fit leaves of the whole bins (Σy² less what it explains),
        // and the clipped bins it does not reach.
        const float sign = static_cast<float>(m_nSign);
        const Lanes8 lv = Lanes8{} + static_cast<float>(level);
        const Lanes8 hv = Lanes8{} + static_cast<float>(height);
        Lanes8 beyond{};
        for (std::size_t k = 0; k < kLanes; ++k) {
            const Lanes8 left = (m_y[k] - lv - hv * shapeAt[k]) * sign;
            const Lanes8 over = left > 0 ? left : Lanes8{};
            beyond += m_atLeast[k] * over * over;
        }
        return m_dYY - (level * m_dY + height * my) + SumLanes(beyond);
    }

    // The shape's best start: every eighth, then either side of the best
    // halving the step (the misfit changes smoothly from one start to the
    // next).
    [[gnu::always_inline]] std::pair<int, double> BestStart(const Table<G>& table, std::size_t shape) const
    {
        constexpr int kStride = 8;
        int best = 0;
        double least = Misfit(table, shape, 0);
        for (int shift = kStride; shift < G::kShifts; shift += kStride) {
            if (const double m = Misfit(table, shape, shift); m < least) {
                least = m;
                best = shift;
            }
        }
        for (int step = kStride / 2; step >= 1; step /= 2) {
            const int around = best;
            for (const int shift : {around - step, around + step}) {
                if (shift >= 0 && shift < G::kShifts) {
                    if (const double m = Misfit(table, shape, shift); m < least) {
                        least = m;
                        best = shift;
                    }
                }
            }
        }
        return {best, least};
    }
};

} // namespace

ONDALIS_FIT_CLONES EdgeFitResult FitClippedEdge(const std::array<double, ClippedFit::kWindow>& bins,
                                                const std::array<int8_t, ClippedFit::kWindow>& rails,
                                                int sign, double launchBlur, std::size_t mostSpread)
{
    using G = ClippedFit;
    const Table<G>& table = TheTable<G>();
    ClippedWindow w;
    w.m_nSign = sign;
    for (std::size_t j = 0; j < bins.size(); ++j) {
        w.Add(j, bins[j], rails[j]);
    }
    EdgeFitResult result;
    if (w.m_dCount < G::kPerWidth) {
        return result; // under a pulse width of whole bins
    }
    const std::size_t launch = BlurIndex(launchBlur);
    const std::size_t first = launch > kBlurReach ? launch - kBlurReach : 0;
    const std::size_t last = std::min<std::size_t>(kBlurCount - 1, launch + kBlurReach);
    double least = std::numeric_limits<double>::max();
    std::size_t bestShape = 0;
    int bestShift = -1;
    const auto consider = [&](std::size_t blur, std::size_t spread) __attribute__((always_inline))
    {
        const std::size_t shape = blur * kSpreads.size() + spread;
        const auto [shift, misfit] = w.BestStart(table, shape);
        if (misfit < least) {
            least = misfit;
            bestShape = shape;
            bestShift = shift;
        }
        return misfit;
    };
    // Symmetric blurs: every other one, then the two beside the best.
    std::size_t bestBlur = first;
    double bestSymmetric = std::numeric_limits<double>::max();
    for (std::size_t b = first; b < kBlurCount; b += 2) {
        if (const double m = consider(b, 0); m < bestSymmetric) {
            bestSymmetric = m;
            bestBlur = b;
        }
    }
    for (const std::size_t b : {bestBlur - 1, bestBlur + 1}) {
        if (b >= first && b < kBlurCount) {
            consider(b, 0);
        }
    }
    // The launch's blur spread: every spreading, then the best few with the
    // blurs near the launch's.
    const std::size_t spreadCount = std::min(mostSpread, kSpreads.size() - 1);
    std::array<std::pair<double, std::size_t>, kSpreads.size() - 1> spreads{};
    for (std::size_t s = 1; s <= spreadCount; ++s) {
        spreads[s - 1] = {s < kLeastClippedSpread ? std::numeric_limits<double>::max() : consider(launch, s),
                          s};
    }
    const std::size_t kept = std::min(kSpreadsKept, spreadCount);
    std::partial_sort(spreads.begin(), spreads.begin() + static_cast<std::ptrdiff_t>(kept),
                      spreads.begin() + static_cast<std::ptrdiff_t>(spreadCount));
    for (std::size_t k = 0; k < kept; ++k) {
        for (std::size_t b = first; b <= last; ++b) {
            if (b != launch) {
                consider(b, spreads[k].second);
            }
        }
    }
    if (bestShift < 0) {
        return result;
    }
    const auto around = [&](int shift) {
        const double misfit = shift >= 0 && shift < G::kShifts ? w.Misfit(table, bestShape, shift) : least;
        return misfit == std::numeric_limits<double>::max() ? -least : -misfit;
    };
    result.m_bFitted = true;
    result.m_dStart = G::kBefore - G::kEarliest +
                      PeakBetween(bestShift, around(bestShift - 1), -least, around(bestShift + 1));
    result.m_nSpread = bestShape % kSpreads.size();
    w.Misfit(table, bestShape, bestShift, &result.m_dHeight);
    return result;
}

void PassCoilTwice(std::span<float> values, double tau)
{
    // The two low passes in one, over a bin at a time: out once (`once`) and
    // twice (`twice`) at the bin's start, the input a straight line from
    // `before` to the bin's end. The double pass's impulse response is
    // (t / τ²) e^(−t/τ); its weights over a bin are G0 (its integral) and M1
    // (its first moment).
    const double a = std::exp(-1 / tau);
    const double late = 1 - tau * (1 - a); // the newer bin's weight once
    const double early = tau * (1 - a) - a;
    const double g0 = 1 - (1 + 1 / tau) * a;
    const double m1 = tau * (2 - (2 + 2 / tau + 1 / (tau * tau)) * a);
    double once = 0;
    double twice = 0;
    double before = 0;
    for (float& x : values) {
        twice = a * twice + a / tau * once + (g0 - m1) * x + m1 * before;
        once = a * once + late * x + early * before;
        before = x;
        x = static_cast<float>(twice);
    }
}

double PeakBetween(int shift, double before, double at, double after)
{
    double start = shift;
    const double curve = before - 2 * at + after;
    if (curve < 0) {
        start += std::clamp(0.5 * (before - after) / curve, -0.5, 0.5);
    }
    return start;
}

double Blur(std::size_t b)
{
    return kLeastBlur * std::pow(kBlurRatio, static_cast<double>(b));
}

std::size_t BlurIndex(double blur)
{
    return static_cast<std::size_t>(
        std::clamp(std::lround(std::log(blur / kLeastBlur) / std::log(kBlurRatio)), 0L, kBlurCount - 1L));
}

template EdgeFitResult FitEdge<StartFit>(const std::array<double, StartFit::kWindow>&, int, double, bool, int,
                                         std::size_t);
template EdgeFitResult FitEdge<FineStartFit>(const std::array<double, FineStartFit::kWindow>&, int, double,
                                             bool, int, std::size_t);
template EdgeFitResult FitEdge<ShapeFit>(const std::array<double, ShapeFit::kWindow>&, int, double, bool, int,
                                         std::size_t);
template EdgeFitResult FitEdge<LateShapeFit>(const std::array<double, LateShapeFit::kWindow>&, int, double,
                                             bool, int, std::size_t);

double SpreadStepEcho(double t, double blur, double u)
{
    return SpreadStep(t, blur, u);
}

} // namespace events
