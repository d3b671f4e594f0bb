// Echoes on a lossy line: where the skin effect's spreading shows, every
// echo's edge starts where the launch's edge so spread fits it.
#include "model/events/Finder.h"

#include "model/events/EdgeFit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <utility>

namespace events {

// The trace averaged over bins of `bin` samples from `from` on; false where
// they reach into the dead zone or past the record, or hold a clipped sample.
bool Finder::WindowBins(double from, double bin, std::span<double> bins) const
{
    const double to = from + static_cast<double>(bins.size()) * bin;
    if (from - 0.5 < m_nDeadEnd || to + 1.5 >= kCount) {
        return false;
    }
    if (Clipped(static_cast<int>(from), static_cast<int>(to) + 2)) {
        return false;
    }
    double before = SumTo(from);
    for (std::size_t j = 0; j < bins.size(); ++j) {
        const double after = SumTo(from + static_cast<double>(j + 1) * bin);
        bins[j] = (after - before) / bin;
        before = after;
    }
    return true;
}

// The noise of one bin: white noise falls with the samples a bin averages;
// noise shaped by the receiver's band falls less. Bins of two samples and
// more measure it on the trace itself (BinNoise); narrower ones take the step
// response's deviation (D has twice the variance of a mean of L samples,
// times L squared), which for such short windows the baseline's wander does
// not reach. The rounding of the samples sets the floor. Bins narrower than a
// sample share their samples with their neighbours, so every sample's noise
// counts 1 / bin times over the window: the unit counts it once.
double Finder::EvidenceUnit(double bin) const
{
    const double L = m_nWindow;
    const double samples = std::max(1.0, bin);
    const double white = m_dNoise * m_dNoise / samples;
    const std::optional<double> measured = BinNoise(bin);
    const double band =
        measured ? *measured * *measured : m_dStepDeviation * m_dStepDeviation / (2 * L * L) * L / samples;
    return std::max({white, band, 1.0 / 12 / samples}) / std::min(1.0, bin);
}

// The start of the echo's leading edge by a fit of its shape around
// `anchor` (its half height), with the evidence for the skin effect's
// spreading in units of the noise of one bin; none where the fit cannot be
// made.
template <class G>
std::optional<EdgeFitResult> Finder::FitStart(const Candidate& c, double anchor, bool weigh, int coil,
                                              std::size_t mostSpread) const
{
    const double W = m_dPulseSamples;
    const double bin = W / G::kPerWidth;
    const double from = anchor - G::kBefore * bin;
    std::array<double, G::kWindow> bins{};
    if (!WindowBins(from, bin, bins)) {
        return std::nullopt;
    }
    EdgeFitResult fit = FitEdge<G>(bins, c.m_nSign, m_dLaunchBlur, weigh, coil, mostSpread);
    if (!fit.m_bFitted) {
        return std::nullopt;
    }
    fit.m_dStart = from + fit.m_dStart * bin;
    if (!weigh) {
        return fit;
    }
    const double unit = EvidenceUnit(bin);
    fit.m_dEvidence /= unit;
    fit.m_dWidenedEvidence /= unit;
    return fit;
}

// The echoes behind a coil are fitted again elsewhere (SpliceFit.cpp).
template std::optional<EdgeFitResult> Finder::FitStart<StartFit>(const Candidate&, double, bool, int,
                                                                 std::size_t) const;

// The fit over the echo's whole pulse and what follows it, weighed. Near the
// record's end the window ends there instead: the long one moved up to half
// a pulse width earlier, then the shorter one (to 1.5 W after the anchor)
// moved up to half a pulse width either way, so an echo whose pulse has
// passed before the record ends still shows its slow rise. None when not
// even that fits.
std::optional<EdgeFitResult> Finder::FitShape(const Candidate& c, double anchor) const
{
    constexpr double kLeeway = 0.5 * ShapeFit::kPerWidth; // bins: half a pulse width
    static_assert(ShapeFit::kPerWidth == LateShapeFit::kPerWidth);
    const double bin = m_dPulseSamples / ShapeFit::kPerWidth;
    // Bins after the anchor a window may reach: FitStart keeps 1.5 samples
    // clear of the record's end.
    const double room = (kCount - 2 - anchor) / bin;
    constexpr int kLong = ShapeFit::kWindow - ShapeFit::kBefore;
    constexpr int kShort = LateShapeFit::kWindow - LateShapeFit::kBefore;
    if (room >= kLong) {
        return FitStart<ShapeFit>(c, anchor, true);
    }
    if (room >= kLong - kLeeway) {
        return FitStart<ShapeFit>(c, anchor - (kLong - room) * bin, true);
    }
    if (room >= kShort - kLeeway) {
        return FitStart<LateShapeFit>(c, anchor - (kShort - room) * bin, true);
    }
    return std::nullopt;
}

// The skin effect of a lossy line spreads every echo causally: it departs
// from the baseline where its discontinuity is, but rises slowly, so its half
// height trails. It spreads every echo of the line, so the evidence of the
// strongest echoes adds up: each echo whose causal fit explains more than any
// symmetric blur both over its whole pulse and what follows (where the slow
// rise shows most) and over its edge alone adds what it shows; where the sums
// reach kShapeEvidence and kEdgeEvidence, the line is such a line, and every
// echo starts where its causal fit puts it, even where its own shape could be
// read either way. A rise as large as an end's, or an echo back at the level
// without the slowly fading shelf a higher impedance going on may leave (a
// fall only if small), shows such a line by its long window alone, where the
// noise hides its edge.
// Elsewhere the edges stay where the step response and the
// half height put them (a symmetric blur keeps the discontinuity at the half
// height), but for a fall whose own edge shows a causal spreading clearly
// (kEdgeOwnEvidence). Wet cable's conductance lowers its impedance the more
// the lower the frequency, so its echo rises fast and goes on growing
// slowly, as the skin effect's does, on a line that loses little; and noise
// may hide a lossy line from the echoes weighed. Both measures are needed:
// a shelf or a wet stretch longer than the pulse also fills the long window
// as a slow rise would, but not the edge; and an echo that fits a symmetric
// blur better in either adds nothing, so the noise of many echoes does not
// add up to a lossy line.
bool Finder::PlaceSpreadEchoes(std::vector<Echo>& echoes) const
{
    std::vector<Echo*> plain;
    for (Echo& echo : echoes) {
        if (echo.m_dAnchor) {
            plain.push_back(&echo);
        }
    }
    std::sort(plain.begin(), plain.end(),
              [](const Echo* a, const Echo* b) { return std::fabs(a->m_dHeight) > std::fabs(b->m_dHeight); });
    // The echoes whose long window shows the spreading, the clearest first;
    // their edges are weighed only while the sums may still reach both
    // measures (the edge fit costs the most). The strongest kSpreadWeighedFirst
    // first, and only where they leave the line undecided the next ones up
    // to kSpreadWeighed.
    std::vector<std::pair<double, std::size_t>> shown;
    double shownSum = 0;
    // An echo whose swing back is another echo's rise has that echo in its
    // windows: it is placed like the rest but not weighed.
    const auto weighable = [](const Echo* echo) { return !echo->m_c.m_bFollowed; };
    // The edge fits made while weighing: the start does not depend on the weighing.
    std::vector<std::optional<EdgeFitResult>> edges(plain.size());
    // What an echo's edge shows of the spreading. An echo that comes back to
    // the level without a shelf (a pulse, as an end sends back) counts the
    // wider blurs spread too: a lossy dielectric widens both sides of the
    // edge as the skin effect slows its rise, and the launch's own blur,
    // spread, then fits the edge hardly better than a wide symmetric blur
    // does. Behind a shelf the edge's shape can be read either way (a
    // smoothed step also fits a wide blur spread a little).
    const auto edgeEvidence = [&](std::size_t i) {
        const Echo& echo = *plain[i];
        return echo.m_bReturns && !echo.m_bShelf ? edges[i]->m_dWidenedEvidence : edges[i]->m_dEvidence;
    };
    // ... and the evidence of each echo's long window, where it was weighed.
    std::vector<std::optional<double>> shapes(plain.size());
    double shapeSum = 0;
    double edgeSum = 0;
    bool lossy = false;
    std::size_t next = 0;
    std::size_t weighed = 0;
    // The first of `shown` whose edge is not weighed yet: where the first
    // echoes' sum fell short, their edges count with the next ones'.
    std::size_t from = 0;
    for (const std::size_t most : {kSpreadWeighedFirst, kSpreadWeighed}) {
        for (; next < plain.size() && weighed < most; ++next) {
            if (!weighable(plain[next])) {
                continue;
            }
            ++weighed;
            const std::optional<EdgeFitResult> shape = FitShape(plain[next]->m_c, *plain[next]->m_dAnchor);
            shapes[next] = shape ? shape->m_dEvidence : 0;
            if (shape && shape->m_dEvidence > 0) {
                shown.emplace_back(shape->m_dEvidence, next);
                shownSum += shape->m_dEvidence;
            }
        }
        std::sort(shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end(), std::greater<>());
        for (; from < shown.size() && !lossy && shownSum >= kShapeEvidence; ++from) {
            const auto [shape, i] = shown[from];
            edges[i] = FitStart<FineStartFit>(plain[i]->m_c, *plain[i]->m_dAnchor, true);
            if (edges[i] && edgeEvidence(i) > kEdgeLeastEvidence) {
                shapeSum += shape;
                edgeSum += edgeEvidence(i);
                lossy = shapeSum >= kShapeEvidence && edgeSum >= kEdgeEvidence;
            } else {
                shownSum -= shape;
            }
        }
        if (lossy) {
            break;
        }
    }
    // The strongest echo's edge alone may show the spreading where no long
    // window can (the echo too near the record's end, or other echoes inside
    // its window): by kEdgeAloneEvidence, that is a lossy line too.
    const auto strongest = std::find_if(plain.begin(), plain.end(), weighable);
    if (!lossy && strongest != plain.end()) {
        std::optional<EdgeFitResult>& edge = edges[static_cast<std::size_t>(strongest - plain.begin())];
        if (!edge) {
            edge = FitStart<FineStartFit>((*strongest)->m_c, *(*strongest)->m_dAnchor, true);
        }
        lossy =
            edge && edgeEvidence(static_cast<std::size_t>(strongest - plain.begin())) >= kEdgeAloneEvidence;
    }
    // A rise as large as an end's, or an echo whose level two and four pulse
    // widths on is all but back (a fall only if small), clean of any shelf,
    // whose long window shows the spreading where its edge drowns in the noise.
    for (std::size_t i = 0; i < plain.size() && !lossy; ++i) {
        const Echo& echo = *plain[i];
        const auto backClean = [&] {
            return LevelBehind(echo, 2) < kCleanRiseAtTwo && LevelBehind(echo, 4) < kCleanRiseAtFour;
        };
        const bool rise = echo.m_c.m_nSign > 0;
        if (weighable(&echo) && echo.m_bReturns && !echo.m_bShelf &&
            ((rise && echo.m_dSize >= kEndLikeSize) ||
             ((rise || echo.m_dSize < kCleanFallSize) && backClean()))) {
            double evidence = 0;
            if (shapes[i]) {
                evidence = *shapes[i];
            } else if (const std::optional<EdgeFitResult> shape = FitShape(echo.m_c, *echo.m_dAnchor)) {
                evidence = shape->m_dEvidence;
            }
            lossy = evidence >= kEndLikeEvidence;
        }
    }
    if (!lossy) {
        for (std::size_t i = 0; i < plain.size(); ++i) {
            if (plain[i]->m_c.m_nSign > 0) {
                continue;
            }
            if (!edges[i]) {
                edges[i] = FitStart<StartFit>(plain[i]->m_c, *plain[i]->m_dAnchor, true);
            }
            // The launch's own blur spread must show here: a wet stretch's
            // fall smoothed on both sides past the launch's blur fits a wider
            // blur spread a little as well, and would start early.
            if (edges[i] && edges[i]->m_dEvidence >= kEdgeOwnEvidence) {
                plain[i]->m_e.m_dSample = std::max(0.0, edges[i]->m_dStart);
            }
        }
        // A clipped echo cannot be weighed (the fits need every bin), and
        // the gain that clips the near echoes is turned up for a lossy line's
        // far end: what the clipping leaves tells a spread echo from a
        // symmetric one by itself.
        for (Echo* echo : plain) {
            if (TopClipped(*echo)) {
                PlaceClipped(*echo, kSpreads.size() - 1);
            }
        }
        return false;
    }
    // The skin effect spreads an echo by the square of its distance: the
    // strongest echo whose edge was weighed sets how far the line spreads
    // the others, and a weaker echo farther out may be spread up to
    // kSpreadRoom times as much, no more (a small, far echo's edge, its
    // rounding steps as high as itself, fits the slowest rise as well and
    // would be placed far too early).
    double perDistance = 0; // spreading (u) per square pulse width of position
    for (std::size_t i = 0; i < plain.size() && perDistance == 0; ++i) {
        if (edges[i] && edgeEvidence(i) > kEdgeLeastEvidence) {
            const double x = std::max(1.0, *plain[i]->m_dAnchor / m_dPulseSamples);
            perDistance = kSpreads[std::max<std::size_t>(edges[i]->m_nSpread, 1)] / (x * x);
        }
    }
    const auto mostSpread = [&](const Echo& echo) {
        if (perDistance == 0) {
            return kSpreads.size() - 1;
        }
        const double x = *echo.m_dAnchor / m_dPulseSamples;
        const double most = kSpreadRoom * perDistance * x * x;
        std::size_t s = 1;
        while (s + 1 < kSpreads.size() && kSpreads[s + 1] <= most) {
            ++s;
        }
        return s;
    };
    // Pulses of kFinePlacement samples and more are placed in thirty-seconds
    // of their width: sixteenths would be wider than the tolerance there.
    const bool fine = m_dPulseSamples >= kFinePlacement;
    const auto place = [&](const Echo& echo, std::size_t most) {
        return fine ? FitStart<FineStartFit>(echo.m_c, *echo.m_dAnchor, false, -1, most)
                    : FitStart<StartFit>(echo.m_c, *echo.m_dAnchor, false, -1, most);
    };
    for (std::size_t i = 0; i < plain.size(); ++i) {
        std::optional<EdgeFitResult> fit = edges[i] ? edges[i] : place(*plain[i], kSpreads.size() - 1);
        if (const std::size_t most = mostSpread(*plain[i]); fit && fit->m_nSpread > most) {
            fit = place(*plain[i], most);
        }
        if (fit) {
            plain[i]->m_e.m_dSample = std::max(0.0, fit->m_dStart);
        } else if (TopClipped(*plain[i])) {
            PlaceClipped(*plain[i], mostSpread(*plain[i]));
        }
    }
    // A stretch whose far side answers within its own pulse swings back
    // (Describe places it by its double edge); on such a line its leading
    // edge is spread like every other and starts where its fit puts it.
    for (Echo& echo : echoes) {
        if (echo.m_bJoined && echo.m_e.m_bStretch && echo.m_c.m_shape != Shape::Splice) {
            if (const std::optional<EdgeFitResult> fit =
                    FitStart<StartFit>(echo.m_c, HalfHeight(echo.m_c), false)) {
                echo.m_e.m_dSample = std::max(0.0, fit->m_dStart);
            }
        }
    }
    return true;
}

} // namespace events
