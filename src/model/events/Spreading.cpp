// Echoes on a lossy line: where the skin effect's spreading shows, every
// echo's edge starts where the launch's edge so spread fits it.
#include "model/events/Finder.h"

#include "model/events/EdgeFit.h"

#include <algorithm>
#include <cmath>

namespace events {

// The start of the echo's leading edge by a fit of its shape around
// `anchor` (its half height), with the evidence for the skin effect's
// spreading in units of the noise of one bin; none where the fit cannot be
// made.
template <class G>
std::optional<EdgeFitResult> Finder::FitStart(const Candidate& c, double anchor, bool weigh) const
{
    const double W = m_dPulseSamples;
    const double bin = W / G::kPerWidth;
    const double from = anchor - G::kBefore * bin;
    const double to = from + G::kWindow * bin;
    if (from - 0.5 < m_nDeadEnd || to + 1.5 >= kCount) {
        return std::nullopt;
    }
    const auto& x = m_record.m_samples;
    for (int k = static_cast<int>(from); k <= static_cast<int>(to) + 1; ++k) {
        if (x[k] >= 127 || x[k] <= -128) {
            return std::nullopt;
        }
    }
    // The trace's running sum at t, sample k spanning [k - 0.5, k + 0.5).
    const auto summed = [&](double t) {
        const double u = t + 0.5;
        const int k = static_cast<int>(std::floor(u));
        return static_cast<double>(m_sum[k]) + (u - k) * x[k];
    };
    std::array<double, G::kWindow> bins{};
    double before = summed(from);
    for (int j = 0; j < G::kWindow; ++j) {
        const double after = summed(from + (j + 1) * bin);
        bins[static_cast<std::size_t>(j)] = (after - before) / bin;
        before = after;
    }
    EdgeFitResult fit = FitEdge<G>(bins, c.m_nSign, m_dLaunchBlur, weigh);
    if (!fit.m_bFitted) {
        return std::nullopt;
    }
    fit.m_dStart = from + fit.m_dStart * bin;
    if (!weigh) {
        return fit;
    }
    // The noise of one bin: white noise falls with the samples a bin
    // averages; noise shaped by the receiver's band, which the step
    // response's deviation measures (D has twice the variance of a mean of
    // L samples, times L squared), falls less; the rounding of the samples
    // sets the floor.
    const double L = m_nWindow;
    const double samples = std::max(1.0, bin);
    const double white = m_dNoise * m_dNoise / samples;
    const double band = m_dStepDeviation * m_dStepDeviation / (2 * L * L) * L / samples;
    fit.m_dEvidence /= std::max({white, band, 1.0 / 12 / samples});
    return fit;
}

// The skin effect of a lossy line spreads every echo causally: it departs
// from the baseline where its discontinuity is, but rises slowly, so its half
// height trails. Where one of the strongest echoes shows that spreading
// clearly, both over its whole pulse and what follows (where the slow rise
// shows most) and over its edge alone, the line is such a line, and every
// echo starts where its causal fit puts it, even where its own shape could be
// read either way. Elsewhere the edges stay where the step response and the
// half height put them: a symmetric blur keeps the discontinuity at the half
// height. Both measures are needed: a shelf or a wet stretch longer than the
// pulse also fills the long window as a slow rise would, but not the edge.
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
    const Echo* witness = nullptr; // the echo that shows the spreading
    std::optional<EdgeFitResult> edge;
    for (std::size_t i = 0; i < plain.size() && i < kSpreadWeighed && witness == nullptr; ++i) {
        const Echo& echo = *plain[i];
        const std::optional<EdgeFitResult> shape = FitStart<ShapeFit>(echo.m_c, *echo.m_dAnchor, true);
        if (shape && shape->m_dEvidence >= kShapeEvidence) {
            edge = FitStart<StartFit>(echo.m_c, *echo.m_dAnchor, true);
            witness = edge && edge->m_dEvidence >= kEdgeEvidence ? &echo : nullptr;
        }
    }
    if (witness == nullptr) {
        return false;
    }
    for (Echo* echo : plain) {
        const std::optional<EdgeFitResult> fit =
            echo == witness ? edge : FitStart<StartFit>(echo->m_c, *echo->m_dAnchor, false);
        if (fit) {
            echo->m_e.m_dSample = std::max(0.0, fit->m_dStart);
        }
    }
    return true;
}

} // namespace events
