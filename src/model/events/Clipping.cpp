// Echoes whose top the 8-bit range clips: the gain turned up to see a lossy
// line's far end clips the near echoes, and an end's most of all. Their
// half height is hidden, and the edge fits, which need every bin, cannot be
// made; what the clipping leaves of the echo (its foot, the lower part of
// its falling edge) places it instead.
#include "model/events/Finder.h"

#include "model/events/EdgeFit.h"

#include <algorithm>
#include <cmath>

namespace events {

// Whether the echo's top clips: from half a pulse before its anchor to a
// pulse and a half after it, an eighth of a pulse of samples (two at
// least) stand at the end of the range on the echo's side. Noise on an echo
// that nearly reaches it clips a sample here and there.
bool Finder::TopClipped(const Echo& echo) const
{
    const double W = m_dPulseSamples;
    const int from = static_cast<int>(*echo.m_dAnchor - W / 2);
    const int to = static_cast<int>(*echo.m_dAnchor + 1.5 * W);
    const auto& x = m_record.m_samples;
    const double least = std::max(2.0, W * kClippedTopShare);
    int clipped = 0;
    for (auto k = std::lower_bound(m_clipped.begin(), m_clipped.end(), from); k != m_clipped.end() && *k < to;
         ++k) {
        clipped += x[static_cast<std::size_t>(*k)] * echo.m_c.m_nSign > 0 ? 1 : 0;
    }
    return clipped >= least;
}

std::optional<EdgeFitResult> Finder::FitClipped(const Echo& echo, std::size_t mostSpread) const
{
    using G = ClippedFit;
    const double bin = m_dPulseSamples / G::kPerWidth;
    const double from = *echo.m_dAnchor - G::kBefore * bin;
    const double to = from + G::kWindow * bin;
    if (from - 0.5 < m_nDeadEnd || to + 1.5 >= kCount) {
        return std::nullopt;
    }
    const auto& x = m_record.m_samples;
    std::array<double, G::kWindow> bins{};
    std::array<int8_t, G::kWindow> rails{};
    double before = SumTo(from);
    for (std::size_t j = 0; j < bins.size(); ++j) {
        const double start = from + static_cast<double>(j) * bin;
        const double after = SumTo(start + bin);
        bins[j] = (after - before) / bin;
        before = after;
        // The samples the bin touches, and the first of them clipped.
        const int first = static_cast<int>(std::floor(start + 0.5));
        const int last = static_cast<int>(std::floor(start + bin + 0.5));
        const auto k = std::lower_bound(m_clipped.begin(), m_clipped.end(), first);
        if (k != m_clipped.end() && *k <= last) {
            rails[j] = x[static_cast<std::size_t>(*k)] > 0 ? 1 : -1;
        }
    }
    EdgeFitResult fit = FitClippedEdge(bins, rails, echo.m_c.m_nSign, m_dLaunchBlur, mostSpread);
    if (!fit.m_bFitted) {
        return std::nullopt;
    }
    fit.m_dStart = from + fit.m_dStart * bin;
    return fit;
}

// The echo placed by what the clipping leaves of it, and measured again at the
// height its fit gives: at the clipped height its size fell short of an
// end's, and what it leaves behind looked large against it (a shelf, a slow
// return).
void Finder::PlaceClipped(Echo& echo, std::size_t mostSpread) const
{
    const std::optional<EdgeFitResult> fit = FitClipped(echo, mostSpread);
    if (!fit) {
        return;
    }
    echo.m_e.m_dSample = std::max(0.0, fit->m_dStart);
    // No echo stands higher than the launch; twice that bounds a fit that
    // little of the echo held.
    const double launch = LaunchHeight();
    const double height = std::clamp(fit->m_dHeight, -2 * launch, 2 * launch);
    if (std::fabs(height) <= std::fabs(echo.m_dHeight)) {
        return;
    }
    echo.m_dHeight = height;
    echo.m_dSize = std::max(echo.m_dSize, std::fabs(height) / launch);
    echo.m_bShelf = LeavesShelf(echo.m_c, height);
    echo.m_bReturns = Returns(echo.m_c, height);
    echo.m_dTail = Tail(echo.m_c, height);
    echo.m_e.m_nAmplitude = static_cast<int>(std::lround(height));
    echo.m_e.m_dReturnLoss = std::max(0.0, 20 * std::log10(launch / std::abs(height)));
}

} // namespace events
