// Where an echo's leading edge starts, by fitting the edge's shape. Internal
// to the event finder.
//
// Every echo on a line is the launch pulse reflected by a discontinuity and
// spread by the line on its way there and back. Two spreadings are told
// apart: a symmetric blur (the launch edge's own rise and the receiver's band,
// and a dispersion that widens both sides of an edge alike) keeps the edge's
// half height where the discontinuity is; the skin effect of a lossy line is
// causal: the echo departs from the baseline where the discontinuity is, but
// its rise is slow and long, so its half height trails. The shapes are a
// rectangle of one pulse width blurred by a Gaussian of deviation s and
// spread by the skin effect's step response erfc(a / (2 √t)), with u = a² / W
// (W the pulse width); they scale with W, so one table in units of the pulse
// width serves every trace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace events {

// Four single-precision lanes, added and multiplied side by side.
typedef float Lanes __attribute__((vector_size(16)));
// ... and eight.
typedef float Lanes8 __attribute__((vector_size(32)));

// The sum of eight lanes as every fit adds them: the halves lane by lane,
// then in pairs.
[[gnu::always_inline]] inline float SumLanes(const Lanes8& a)
{
    const Lanes half = Lanes{a[0], a[1], a[2], a[3]} + Lanes{a[4], a[5], a[6], a[7]};
    return (half[0] + half[1]) + (half[2] + half[3]);
}

// On x86-64 the fits' searches are built twice, for the baseline processor
// and for AVX (eight lanes in one instruction), and the loader picks the one
// the processor runs. Both do the same arithmetic lane by lane and in the
// same order (no fused multiply-add), so every machine finds the same
// events. Clang does not clone templates; there the baseline alone is built.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ONDALIS_FIT_CLONES __attribute__((target_clones("avx", "default")))
#else
#define ONDALIS_FIT_CLONES
#endif

// The shapes' blurs: from 0.015 W, each 1.18 times the one before (to 0.78 W);
// the skin effect's spreadings u (a² / W), the first none.
constexpr int kBlurCount = 25;
constexpr double kLeastBlur = 0.015;
constexpr double kBlurRatio = 1.18;
constexpr std::array<double, 10> kSpreads = {0, 0.01, 0.025, 0.05, 0.1, 0.2, 0.4, 0.8, 1.6, 3.2};
// The time constants of the series coils a splice fit tells apart, in pulse
// widths (a coil of L henry on a line of Z ohm: L / 2Z). Every echo from
// behind such a coil has passed it twice, low-passed each time.
constexpr std::array<double, 5> kCoilDecays = {0.03125, 0.0625, 0.1, 0.15, 0.2};

// A shape known at bin centres, as it comes back from behind a series coil
// of time constant `tau` (bins): low-passed by 1 / (1 + jωτ) on the way out
// and again on the way back, exactly for the shape taken as straight between
// the bin centres and as nothing before the first.
void PassCoilTwice(std::span<float> values, double tau);

// Where a fit's best start lies between bins: the peak of a parabola through
// what the starts before, at and after the best whole bin explain.
double PeakBetween(int shift, double before, double at, double after);

// The blur of index b, and the index of the blur nearest a blur in pulse widths.
double Blur(std::size_t b);
std::size_t BlurIndex(double blur);

// Where a fit looks, in bins of W / PerWidth around an anchor (the edge's
// half height): the window from Before bins before the anchor, Window bins
// long (a multiple of 8); the edge's start from Earliest bins before the
// anchor, at Shifts starts one bin apart.
template <int PerWidth, int Window, int Before, int Earliest, int Shifts>
struct FitGeometry
{
    static constexpr int kPerWidth = PerWidth;
    static constexpr int kWindow = Window;
    static constexpr int kBefore = Before;
    static constexpr int kEarliest = Earliest;
    static constexpr int kShifts = Shifts;
};

// The start: 1.5 W before the anchor to 0.5 W after it, in sixteenths of the
// pulse; the start from 1 W before the anchor to 0.5 W after it.
using StartFit = FitGeometry<16, 32, 24, 16, 25>;
// The same in thirty-seconds of the pulse, for the echoes weighed for a lossy
// line: on sixteenths, bins as wide as the launch's whole blur, the edge of a
// spread echo fits a wide symmetric blur about as well.
using FineStartFit = FitGeometry<32, 64, 48, 32, 49>;
// Which spreading the echo shows: its whole pulse and what follows it, 1.5 W
// before the anchor to 2.5 W after it, in twelfths of the pulse. The skin
// effect's slow rise shows most clearly where the pulse has passed.
using ShapeFit = FitGeometry<12, 48, 18, 12, 19>;
// The same for an echo near the record's end: 2.5 W before the anchor to
// 1.5 W after it, the start from 1.5 W before the anchor to 0.5 W after it
// (the window may be moved half a pulse width either way to end at the
// record's end).
using LateShapeFit = FitGeometry<12, 48, 30, 18, 25>;

// The start through a clipped top (Clipping.cpp): in thirty-seconds of the
// pulse, 1.5 W before the anchor to 2.5 W after it, so that the window holds
// the pulse's falling edge too; the start from 1 W before the anchor to 1 W
// after it (the half height of what the clipping leaves lies early on the
// edge).
using ClippedFit = FitGeometry<32, 128, 48, 32, 65>;

struct EdgeFitResult
{
    bool m_bFitted = false;
    double m_dStart = 0;    // bins from the window's start to the edge's start, by the best spread shape
    double m_dEvidence = 0; // what that shape explains of the window more than any symmetric blur (when weighed)
    // ... the same with the wider blurs spread too, where the fit places the
    // edge (else the same as m_dEvidence): a lossy dielectric widens an
    // edge on both sides as the skin effect slows its rise.
    double m_dWidenedEvidence = 0;
    std::size_t m_nSpread = 0; // that shape's spreading, an index of kSpreads
    double m_dHeight = 0;      // FitClippedEdge: the echo's height as the shape has it, clipping aside
};

// Fits the shapes to the window's bins (each the mean of the trace over
// W / G::kPerWidth, level and a straight trend free), the echo's height of
// the sign given: the launch's own blur (`launchBlur`, pulse widths) spread
// by the skin effect gives the start; with `weigh`, symmetric blurs of any
// width the measure of how much better the spreading explains the edge. An
// echo from behind a series coil (`coil` an index of kCoilDecays, else
// negative) is fitted with every shape low-passed twice by the coil. Only
// the spreadings up to kSpreads[mostSpread] are tried (the first at least).
template <class G>
EdgeFitResult FitEdge(const std::array<double, G::kWindow>& bins, int sign, double launchBlur, bool weigh,
                      int coil = -1, std::size_t mostSpread = kSpreads.size() - 1);

// The same for an echo whose top the 8-bit range clips: a bin holding a
// sample clipped on the echo's side (`rails` of the echo's sign: +1 at the
// top of the range, -1 at its bottom) shows only that the echo reaches that
// far, and a bin clipped on the other side shows nothing. Level and height
// free, no trend (what the clipping leaves of the echo cannot tell a trend
// from its height). The symmetric blurs from the launch's on compete with the
// launch's blur spread by the spreadings from 0.05 W up to
// kSpreads[mostSpread] (none where that is less), and the best places the
// start.
EdgeFitResult FitClippedEdge(const std::array<double, ClippedFit::kWindow>& bins,
                             const std::array<int8_t, ClippedFit::kWindow>& rails, int sign,
                             double launchBlur, std::size_t mostSpread);

// A step's echo `t` pulse widths after its discontinuity, spread by the skin
// effect (u = a² / W) and blurred by a Gaussian of deviation `blur` pulse
// widths: the element the shapes above are made of.
double SpreadStepEcho(double t, double blur, double u);

} // namespace events
