// The edge fit on echoes drawn from the shapes' definition: a rectangle of one
// pulse width, blurred by a Gaussian, spread by the skin effect's step
// response erfc(√u / (2 √t)), on a level with a slope.
#include "model/events/EdgeFit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

namespace {

using events::EdgeFitResult;
using events::StartFit;

// The step's echo t pulse widths after the discontinuity, by a plain
// integration over the blur.
double Step(double t, double blur, double u)
{
    double sum = 0;
    double weights = 0;
    for (int i = -400; i <= 400; ++i) {
        const double z = i / 80.0;
        const double w = std::exp(-z * z / 2);
        const double x = t - blur * z;
        weights += w;
        sum += x <= 0 ? 0 : w * (u == 0 ? 1.0 : std::erfc(std::sqrt(u) / (2 * std::sqrt(x))));
    }
    return sum / weights;
}

// The window's bins (sixteenths of the pulse) for an echo of the height that
// starts `start` bins into the window.
std::array<double, StartFit::kWindow> Bins(double start, double height, double blur, double u)
{
    std::array<double, StartFit::kWindow> bins{};
    for (int j = 0; j < StartFit::kWindow; ++j) {
        const double t = (j + 0.5 - start) / StartFit::kPerWidth;
        bins[static_cast<std::size_t>(j)] = 3 + 0.02 * j + height * (Step(t, blur, u) - Step(t - 1, blur, u));
    }
    return bins;
}

TEST(EdgeFit, ASpreadEdgeStartsWhereItDepartsAndABlurredOneIsNoEvidence)
{
    // Spread by the skin effect (u = 0.4) from a launch blurred by 0.06 W: the
    // start between bins, either sign, and more explained than any symmetric
    // blur.
    for (const double start : {13.0, 17.4, 21.7}) {
        for (const int sign : {1, -1}) {
            const EdgeFitResult fit = events::FitEdge<StartFit>(Bins(start, 40.0 * sign, 0.06, 0.4), sign, 0.06, true);
            ASSERT_TRUE(fit.m_bFitted) << start << " " << sign;
            EXPECT_NEAR(fit.m_dStart, start, 0.25) << start << " " << sign;
            EXPECT_GT(fit.m_dEvidence, 1.0) << start << " " << sign;
        }
    }
    // It reports the spreading it found (0.4, index 6), and held to the
    // spreadings up to 0.1 it keeps to them, the start then running late;
    // held to 0.4 it finds the same.
    const auto bins = Bins(17.4, 40, 0.06, 0.4);
    EXPECT_EQ(events::FitEdge<StartFit>(bins, 1, 0.06, false).m_nSpread, 6u);
    EXPECT_EQ(events::FitEdge<StartFit>(bins, 1, 0.06, false, -1, 6).m_nSpread, 6u);
    const EdgeFitResult held = events::FitEdge<StartFit>(bins, 1, 0.06, false, -1, 4);
    EXPECT_LE(held.m_nSpread, 4u);
    EXPECT_GT(held.m_dStart, 17.4 + 0.5);
    // Blurred symmetrically by 0.25 W: a symmetric blur explains it at least
    // as well as any spreading of the launch's blur.
    const EdgeFitResult blurred = events::FitEdge<StartFit>(Bins(17.4, 40, 0.25, 0), 1, 0.06, true);
    EXPECT_LT(blurred.m_dEvidence, 0.5);
}

TEST(EdgeFit, AClippedEchoStartsWhereWhatTheClippingLeavesPutsIt)
{
    // Echoes 1000 high on a level of 3, the 8-bit range ending at 127: all
    // but their feet clipped. A symmetric blur of 0.2 W and the launch's
    // 0.06 W spread by u = 0.4, each starting between bins (thirty-seconds of
    // the pulse), either sign; bins clipped at the other end of the range (a
    // spike just before the echo) show nothing.
    using events::ClippedFit;
    for (const auto& [blur, u] : {std::pair{0.2, 0.0}, std::pair{0.06, 0.4}}) {
        for (const int sign : {1, -1}) {
            const double start = 40.3;
            std::array<double, ClippedFit::kWindow> bins{};
            std::array<int8_t, ClippedFit::kWindow> rails{};
            for (int j = 0; j < ClippedFit::kWindow; ++j) {
                const double t = (j + 0.5 - start) / ClippedFit::kPerWidth;
                const double v = 3 + sign * 1000 * (Step(t, blur, u) - Step(t - 1, blur, u));
                const auto at = static_cast<std::size_t>(j);
                bins[at] = std::clamp(v, -128.0, 127.0);
                rails[at] = static_cast<int8_t>(v >= 127 ? 1 : v <= -128 ? -1 : 0);
            }
            ASSERT_GT(std::count(rails.begin(), rails.end(), sign), ClippedFit::kPerWidth / 2);
            for (const std::size_t j : {34, 35, 36}) {
                bins[j] = sign > 0 ? -128 : 127;
                rails[j] = static_cast<int8_t>(-sign);
            }
            const EdgeFitResult fit =
                events::FitClippedEdge(bins, rails, sign, 0.06, events::kSpreads.size() - 1);
            ASSERT_TRUE(fit.m_bFitted) << blur << " " << sign;
            EXPECT_NEAR(fit.m_dStart, start, 0.5) << blur << " " << sign;
            EXPECT_EQ(fit.m_nSpread > 0, u > 0) << blur << " " << sign;
        }
    }
}

TEST(EdgeFit, AShapeFromBehindACoilIsTheRampPassedTwiceThroughItsLowPass)
{
    // A ramp from nothing, known at bin centres, through 1 / (1 + jωτ) twice:
    // t − 2τ + (t + 2τ) e^(−t/τ) exactly, for a τ of 2.5 bins and of 0.4 (a
    // decay shorter than a bin); far on, it trails the ramp by 2τ.
    for (const double tau : {2.5, 0.4}) {
        std::array<float, 64> values{};
        for (std::size_t n = 0; n < values.size(); ++n) {
            values[n] = static_cast<float>(n);
        }
        events::PassCoilTwice(values, tau);
        for (const std::size_t n : {1u, 2u, 5u, 13u, 63u}) {
            const double t = static_cast<double>(n);
            EXPECT_NEAR(values[n], t - 2 * tau + (t + 2 * tau) * std::exp(-t / tau), 1e-4 * (1 + t)) << tau << " " << n;
        }
        EXPECT_NEAR(63 - values[63], 2 * tau, 1e-4 * 64) << tau;
    }
}

} // namespace
