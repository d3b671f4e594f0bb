// The event finder's steps, shared by the files of this folder: one file per
// step (baseline and noise, edges, grouping into echoes, kinds, multiples),
// all working on one Finder's state. Internal to ondalis_core: callers use
// model/EventFinder.h.
#pragma once

#include "model/EventFinder.h"
#include "model/ScaleTables.h"
#include "model/events/EdgeFit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace events {

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
// Noise that the receiver's band shapes (the step response deviating more
// than kBandNoiseRatio times what white noise of the first differences' size
// gives) moves slowly: along the trace it swings fewer times than white noise
// does, so fewer of its swings reach a given multiple of its deviation, and a
// step need stand only kBandThresholdDeviations clear of it.
constexpr double kBandNoiseRatio = 1.5;
constexpr double kBandThresholdDeviations = 4.5;
constexpr double kThresholdFloor = 0.5;
// The baseline's own slow wander, in units per sample of window length: it
// shifts the two windows' means apart even where there is no echo.
constexpr double kWanderSlope = 0.004;
// Windows this long, and spanning at least this many nanoseconds, hold noise
// that the receiver's band (100 MHz and up) no longer correlates: their sums
// grow as white noise's do.
constexpr int kQuietWindow = 64;
constexpr double kQuietNs = 25;
// The slow part of the trace is measured with windows up to this many times
// as long as the step response's, and this share of it raises the threshold ...
constexpr int kBackgroundWindows = 8;
// ... but no longer than this many samples, unless four times the step
// response's own windows are longer: the wander of the baseline must stay
// nearly straight over them.
constexpr int kBackgroundSamples = 512;
constexpr int kBackgroundLeast = 4;
constexpr double kBackgroundShare = 1.3;
// ... and where the record ends within this many step-response windows, the
// slow part is taken as where the long windows last fitted.
constexpr int kHeldWindows = 3;
// The dead zone ends where the step response has come back to this share of
// its value at the launch's half height (and within a third of the threshold).
constexpr double kLaunchFallShare = 0.05;
// A leading edge narrower than this share of its closing edge has its far
// side overlapped by another edge.
constexpr double kCutWidth = 1.0;
// A clipped echo's closing edge mirrors its leading one; one much smaller is
// the part of it left before the end of the record.
constexpr double kClippedRatio = 0.6;
// An echo whose top clips for this share of a pulse width is placed by what
// the clipping leaves of it (Clipping.cpp).
constexpr double kClippedTopShare = 1.0 / 8;
// The noise of two steps a pulse width apart, added, against one step's.
constexpr double kPairGain = 1.41421356;
// ... and the smaller of the two edges is at least this share of the larger.
constexpr double kPairShare = 0.6;
// A lobe this many pulse widths behind a leading edge, larger than it (or
// behind a quiet gap of kOwnEchoQuiet pulse widths) and followed by an
// opposite lobe of this share of it, is an echo of its own.
constexpr double kOwnEchoApart = 1.5;
constexpr double kOwnEchoClosing = 0.7;
constexpr double kOwnEchoQuiet = 1;
// A lobe with two tops this many pulse widths apart or more, sinking between
// them below this share of the lower top, holds two edges.
constexpr double kSplitApart = 1;
constexpr double kSplitValley = 0.5;
// An echo's closing lobes lie no more than this many pulse widths apart.
constexpr double kClosingGap = 0.5;
// Two echoes of one sign placed within this share of a pulse width of each
// other are one echo that two passes found.
constexpr double kSameEchoApart = 0.25;
// A fall whose closing edge carries the trace past the level by this share
// of its depth, a fall within this many pulse widths bringing it back, is
// followed by an echo of its own whose rise merged with its closing edge.
constexpr double kOvershootShare = 0.3;
constexpr double kOvershootReach = 2;
// How far the lobes of a smoothed pulse part, per sample their half-widths grow.
constexpr double kWidenedApart = 1.0;
// The outer edges of a splice's double edge, against its height, at least.
constexpr double kSpliceFlank = 0.3;
// Longest stretch of wet cable expected, metres of position.
constexpr double kLongestStretch = 64;
// Smallest noise deviation believed: the rounding of the samples to whole units.
constexpr double kNoiseFloor = 0.29;
// A trace whose samples stand within this deviation of their own mean over a
// quarter pulse either side is held by the rounding of the samples.
constexpr double kRoundedDeviation = 0.2;
// An echo less high than this, in sample units, is what the rounding of the
// samples makes of a wandering baseline: a level crossing a rounding step.
constexpr double kLeastHeight = 1.5;
// ... but an echo closed by an opposite edge whose top stands this far from
// the line's level is one however weak its steps: a lossy line spreads a far
// echo's edges over many windows, so that its steps fall under kLeastHeight
// while its top stands two rounding steps clear. A lone edge so weak is the
// baseline's wander bending the trace.
constexpr double kLeastSpreadHeight = 2;
// Echoes joined: a +/− pair within this many pulse widths, the second of
// kPairLeast..1/kPairLeast of the first, is a splice; a fall closed by a rise
// of kStretchLeast..kStretchMost of it within kLongestStretchWidths pulse
// widths (or kLongestStretch metres) is a stretch; an echo within
// kTailWidths pulse widths behind a stronger one, under kTailShare of it, is
// that one's tail. A stretch's far side comes back through the stretch and
// is at most as large as its start, the line's noise and spreading apart: a
// rise well above the fall is a change of cable of its own.
constexpr double kSpliceWidths = 1.5;
// A splice's second half (the far edge's reflection, the way back to the
// level) lies within this many pulse widths of its start.
constexpr double kSpliceReach = 2;
constexpr double kPairLeast = 0.4;
constexpr double kLongestStretchWidths = 16;
constexpr double kStretchLeast = 0.3;
constexpr double kStretchMost = 1.35;
constexpr double kTailWidths = 2.5;
constexpr double kTailShare = 0.5;
// A shelf: the level six pulse widths behind an echo's edge, against its
// height, at least, and against the level at two.
constexpr double kShelfLeast = 0.15;
constexpr double kShelfHolds = 0.7;
// An echo back within this share of its height two pulse widths on is a pulse.
constexpr double kReturned = 0.5;
// The spreading of a lossy line moves an echo's edge by kTailLag pulse widths
// per unit of its tail (two pulse widths behind the edge, against its height;
// at least kLeastTail, at most kLongestTail counted), a tail that holds
// kTailFades..kTailHolds of itself a pulse width later.
constexpr double kTailLag = 1.2;
constexpr double kLeastTail = 0.05;
constexpr double kLongestTail = 0.5;
constexpr double kTailFades = 0.25;
constexpr double kTailHolds = 0.6;
// A multiple lies within this many pulse widths (or 3 samples, or 1 %) of
// where its echoes put it.
constexpr double kGhostWidths = 0.5;
// A multiple is no larger than the product of the echoes it comes from,
// against the launch, times this much (the line's loss on their way lowers
// the echoes more than the reflections behind them).
constexpr double kGhostGain = 5;
// An end of the line reflects at least this share of the launch's area when
// nothing real follows it, or its own ghost follows at twice its distance; an
// echo of the larger share is an end whatever follows (no change of cable
// reflects so much).
constexpr double kEndSize = 0.15;
constexpr double kEndSizeSure = 0.4;
// ... the first share rising to this one for an echo without a tail: a line
// that spreads its echoes little loses little at DC either, so an end on it
// stays larger than any change of cable.
constexpr double kEndSizeUnspread = 0.22;
// A fall that comes back as cleanly as the launch did (no tail, and within
// kCleanBack of its height of the level two pulse widths on) crossed a line
// that loses little: an end there keeps this share of the launch's area.
constexpr double kCleanBack = 0.03;
constexpr double kEndSizeClean = 0.34;
// An echo of the sure size that reflects more than a third of the launch
// (within this many dB of it) is more than any change of cable, and ends the
// line though the receiver shows a shelf behind it.
constexpr double kEndSureDb = 9.5;
// An echo whose level still stands at kSpreadLingers of its height two pulse
// widths on, and under kSpreadGone of it at six, was spread by the line (a
// rise only when its first swing also lasts kSpreadWidth pulse widths): that
// share measures its spreading, and an end so spread needs only
// kEndSizeSpread of the launch's area.
constexpr double kSpreadLingers = 0.15;
constexpr double kSpreadGone = 0.2;
constexpr double kSpreadWidth = 1.3;
constexpr double kEndSizeSpread = 0.1;
// Echoes behind an end of the line that are under this share of it are what
// the line's end leaves (its spread, the receiver's recovery), not the line
// going on.
constexpr double kEndOutweighs = 0.2;
// A fall of at least kLargeFall of the launch's area whose first swing lasts
// more than kWideFall pulse widths at half height is longer than the pulse:
// water, its far side lost in the pulse.
constexpr double kLargeFall = 0.2;
constexpr double kWideFall = 1.02;
// A fall whose closing edge undoes only part of it (a shelf shape), wider
// than kFlatWidth pulse widths and back within kFlatBack of its height two
// pulse widths on, or wider than kFlatVeryWide and within kFlatMostDb of
// the launch, is a wet stretch a little longer than the pulse: widened
// without the tail a lossy line gives, and more than kFlatLeastDb below the
// launch, it ends no line.
constexpr double kFlatWidth = 1.2;
constexpr double kFlatBack = 0.1;
constexpr double kFlatVeryWide = 1.6;
constexpr double kFlatMostDb = 13;
constexpr double kFlatLeastDb = 10;
// A shelf-shaped fall already this share of its height past the level two
// pulse widths on has its far side close behind: water. Other shelf-shaped
// falls are changes of cable (a lossy line's tail shrinks a closing edge too).
constexpr double kSwungBack = 0.05;
// A −/+ echo whose fall lasts longer than this many pulse widths at half
// height is a stretch (water) with its far side inside the pulse, not a
// splice: a splice's pair spans less than a pulse and a half.
constexpr double kSpliceFallWidths = 0.8;
// The far side of a wet stretch comes back through the wet cable: its first
// swing is at least this share as wide as the fall's.
constexpr double kFarSideWidth = 0.7;
// A lone fall's far side, sought on the trace where no echo was found: a
// bump from kFarSideFrom pulse widths behind its edge on, one pulse wide,
// at least kFarSideShare of the fall and kFarSideThreshold of the threshold
// per sample, back under kFarSideBack of itself two pulse widths later.
constexpr double kFarSideFrom = 1.5;
constexpr double kFarSideShare = 0.25;
constexpr double kFarSideThreshold = 0.7;
constexpr double kFarSideBack = 0.7;
// An echo's area is taken over this many pulse widths from its leading edge.
constexpr double kAreaWidths = 3;
// Where the record ends inside that window, an end need show only the share
// of it the record holds, but no less than this: an echo cut within a pulse
// width of its edge shows too little of itself to tell.
constexpr double kLeastAreaSeen = 0.3;
// An echo's edge and its swing stand clear of the noise by this many deviations.
constexpr double kEdgeDeviations = 4;
// The launch's blur is read where its edge reaches this share of its height,
// or as high as the samples go unclipped, but no lower than the second share;
// else (and when the launch is under 8 units) it is taken as the first value,
// and never above the second.
constexpr double kBlurShare = 0.84;
constexpr double kLeastBlurShare = 0.6;
// ... and at this one too, where the first is higher: the smaller blur counts.
constexpr double kLowBlurShare = 0.69;
constexpr double kClipTop = 125;
constexpr double kUnknownBlur = 0.06;
constexpr double kLongestBlur = 0.8;
// Echoes whose causal fits explain, summed, this many times the noise of one
// bin more than any symmetric blur, over their pulses and what follows and
// over their edges alone, show a lossy line.
constexpr double kShapeEvidence = 20;
constexpr double kEdgeEvidence = 4;
// ... as does the strongest echo whose edge alone shows this much: an edge
// a symmetric blur explains that much worse is spread by the line.
constexpr double kEdgeAloneEvidence = 15;
// ... as does a rise whose long window alone shows this much, where it is
// as large as an end's (this share of the launch's area or more) and comes
// back to the level without a shelf: an open's echo is the launch's own
// shape but for the line's spreading, and a change of cable reflects less.
// Not a fall: a wet stretch a little longer than the pulse is as large, and
// fills the long window as a slow rise does.
constexpr double kEndLikeSize = 0.3;
constexpr double kEndLikeEvidence = 10;
// ... or a rise of any size whose level two and four pulse widths behind its
// edge is under these shares of its height: the skin effect's tail decays
// fast at first, while the shelf that cable of a higher impedance leaves
// fades slowly: a fifth of the height or more two pulse widths on, a tenth
// at four.
constexpr double kCleanRiseAtTwo = 0.15;
constexpr double kCleanRiseAtFour = 0.05;
// ... and so does a fall back at the level as cleanly where its area is
// under this share of the launch's: a wet stretch a little longer than the
// pulse comes back too and fills the long window as the slow rise does, and
// the longer it is the larger its echo.
constexpr double kCleanFallSize = 0.15;
// An echo's edge adds to the sum over the edges only where it shows more
// than this much: a symmetric edge with a shelf behind it fits a spreading by
// a few units now and then, and two such edges must not add up to a lossy line.
constexpr double kEdgeLeastEvidence = 2;
// On a lossy line an echo may be spread this many times as much as the
// strongest weighed echo's spreading grown by the square of the distance.
constexpr double kSpreadRoom = 4;
// From this pulse width in samples on, a lossy line's echoes are placed by
// fits in thirty-seconds of the pulse (FineStartFit), not sixteenths: there
// the distance tolerance (a plot column, 0.5 % of the distance) is a
// twentieth of the pulse or less.
constexpr double kFinePlacement = 150;
// The strongest echoes are weighed for it, this many at most: the weaker the
// echo, the less its shape can tell. Three first; where they leave the line
// undecided, up to five: among the strongest three may be a multiple and an
// echo whose edge the instrument's mismatch or another echo's tail bends,
// and the fourth or fifth, a plain echo of its own, shows what they hide.
constexpr std::size_t kSpreadWeighedFirst = 3;
constexpr std::size_t kSpreadWeighed = 5;
// On a line not shown lossy as a whole, a fall whose own edge shows the
// spreading by this much starts where its causal fit puts it, the other
// echoes where their half height does. Well above what a symmetric edge
// with a shelf shows now and then (kEdgeLeastEvidence).
constexpr double kEdgeOwnEvidence = 6;
// The noise of a fit's bins is measured on this many triples of bins at most.
constexpr int kBinTriples = 256;
// A splice on a line not shown to be lossy is placed by its fit where the
// fit explains its echo by this many units of evidence more than two opposite
// half pulses do (what a splice whose halves a double edge parts shows): a
// splice smoothed symmetrically keeps its double edge's position, where a
// fit with no margin at all moved one in twenty out of place.
constexpr double kSpliceEvidence = 50;
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
    double m_dStrength = 0; // the largest step of its edges, sample units
    double m_dEnd = 0;      // a wide fall's far side (where its closing edge starts), samples; 0: none
    int m_nLevelAt = 0;     // the level of the line before the echo is taken from here
    int m_nTopFrom = 0;     // the echo's height is sought over [m_nTopFrom, m_nTopTo]
    int m_nTopTo = 0;
    bool m_bFollowed = false; // its swing back past the level is an echo of its own
};

// Where a splice's fit puts its start, in samples, and how much further
// before its first swing's half height the start may lie than a short
// bump's (a long stretch's swing is a whole edge that trails its start).
struct SpliceFitResult
{
    double m_dStart = 0;
    double m_dLead = 0;
};

// One echo on its way to an event: the candidate it came from, the event,
// its height and its size against the launch.
struct Echo
{
    Candidate m_c;
    LineEvent m_e;
    double m_dHeight = 0; // signed, sample units
    double m_dSize = 0;   // area over the pulse width and its tail, against the launch's
    bool m_bJoined = false; // a splice or a stretch made of two echoes
    bool m_bShelf = false;  // leaves the level moved
    bool m_bReturns = true; // back near the level two pulse widths on
    double m_dTail = 0;     // its decaying tail against its height: the line's spreading
    std::optional<double> m_dAnchor; // its leading edge's half height, where a fit may place the edge
    // Its first swing's width and where its swing back rises, once measured
    // (several steps ask for them).
    mutable std::optional<std::pair<double, double>> m_swing;
    int m_nCoil = -1; // a splice's series coil: its index in kCoilDecays
};

// Noise deviation of the samples from `first` on, from their first differences.
double NoiseDeviation(const std::array<int8_t, kTdrSampleCount>& samples, int first);

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


    std::vector<LineEvent> Run();

private:
    // Step response at k: the window after k less the window before it, in
    // sums of L samples; zero where either window leaves the record.
    int64_t Step(int k) const { return StepOver(k, m_nWindow); }
    // ... in sums of `L` samples.
    int64_t StepOver(int k, int L) const
    {
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

    // Baseline and noise (Baseline.cpp)
    // The running sums, the clipped samples and Tenth's trace.
    void SumTrace();
    // The launch pulse: its height and the sample where it has fallen back
    // below half of it.
    void FindLaunch();

    // The step response of the slow part of the trace: the launch tail's
    // recovery, the baseline's wander and the fading shelves behind steps are
    // all nearly straight over a few pulse widths, and a straight trace moves
    // the step response of a window in proportion to the square of its length.
    // The response of windows four times as long, scaled down by sixteen,
    // stands for that part; a share more of it is added to the threshold, so
    // only edges sharper than their surroundings start a lobe. The dead zone
    // ends where the fall of the launch pulse has passed.
    void FindDeadZoneEnd();

    // The launch pulse's height above the line's level (the median of the
    // samples after the dead zone); a clipped one is taken at the height the
    // gain gives it.
    double LaunchHeight() const;

    // The line's level: the median of the samples after the dead zone.
    int FindLineLevel() const;

    // The blur of the launch's leading edge (a Gaussian deviation), in pulse
    // widths, from the record's first samples: distance zero is the launch's
    // half height.
    double LaunchBlur() const;

    double StepDeviation() const;

    // Whether the trace is held by the rounding of its samples: they stand
    // within kRoundedDeviation of their own mean over a quarter pulse either
    // side (three tenths of the sizes, every eighth sample from a pulse behind
    // the launch on). The baseline's wander is nearly straight over half a
    // pulse and cancels there; noise shaped by the receiver's band, which the
    // first differences underrate, moves the samples from that mean as white
    // noise does. On such a trace the step response's deviation measures where
    // a wandering baseline crosses rounding steps, each a step of one unit:
    // the threshold need not rise past kLeastHeight per sample for it, and an
    // echo a little higher is still found.
    bool HeldByRounding() const;

    // The noise deviation of the trace's mean over `bin` samples, from each
    // bin against the mean of its two neighbours along the line after the
    // dead zone (none: bins under two samples, or too few of them). The
    // baseline's wander, nearly straight over three bins, cancels there; the
    // step response's deviation takes it in over windows of many hundred
    // samples, where a wandering baseline curves.
    std::optional<double> BinNoise(double bin) const;

    // Edges (Edges.cpp)
    // Where the step response crosses `level` walking from a towards b, between
    // samples; b when it does not.
    double Crossing(int a, int b, double level) const;

    // Runs of one sign beyond a third of the threshold that reach the
    // threshold; runs of one sign a little apart are one lobe.
    std::vector<Lobe> FindLobes() const;
    // Splits the lobes that hold two edges of one sign; `beyond(k, sign)` is
    // how far the step response stands beyond the slack at k.
    template <class Beyond>
    void SplitLobes(std::vector<Lobe>& lobes, Beyond beyond) const;

    // The runs where value(k) less raise(k) stays beyond a third of the
    // threshold on one side, that reach the threshold, from first to last. A
    // run that reaches the threshold is wider than `stride` at half of it, so
    // the search may stride; a hit walks back to its run's start. Each run
    // becomes a lobe of the run's height times `scale`.
    template <class Value, class Raise>
    std::vector<Lobe> FindRuns(int first, int last, int stride, double threshold, double scale, Value value,
                               Raise raise) const;

    static void SortLobes(std::vector<Lobe>& lobes);

    // A pulse-shaped echo shows as a lobe at its leading edge and an opposite
    // one a pulse width later; D(k) − D(k + 2L) adds the two, the pulse's
    // whole width against L samples either side, with √2 times the noise of D
    // but twice the height. Weak pulses too small for two lobes of their own
    // stand out in it; they are added as such a pair where no lobe is near.
    void AddWeakPulses(std::vector<Lobe>& lobes) const;

    // Edges widened by the line far beyond the pulse (a long wet stretch, a
    // smoothed edge) spread over more than L samples; the step response of
    // windows twice as long holds more of them, with √2 times the noise. Its
    // lobes are added where no lobe is near, at half their height (a sharp
    // edge moves it twice as far as D).
    void AddWideEdges(std::vector<Lobe>& lobes) const;

    // Grouping into echoes (Grouping.cpp)
    // Echoes that belong together made one: a +/− pair within a pulse and a
    // half (a splice), a fall closed by a rise (a stretch), and what trails
    // a strong echo (its tail, the receiver's undershoot).
    void JoinEchoes(std::vector<Echo>& echoes) const;
    // Echoes of one sign that their placement put within kSameEchoApart of a
    // pulse of each other made one: the larger, with the other's far side
    // where it has none.
    void MergeSameEchoes(std::vector<Echo>& echoes) const;

    // How long the first swing of an echo lasts between its half-height
    // points, in samples (0: none), and where the swing back past the level
    // rises through half its own height (0: none stands clear of the noise).
    double FirstSwing(const Candidate& c, double* backRise) const;
    // ... of an echo, measured once.
    double FirstSwing(const Echo& echo, double* backRise) const;

    // The far side of a lone fall: where the trace rises into a bump one
    // pulse wide behind it (0: none).
    double FarSide(const Echo& echo) const;

    // Whether lobe i stands alone (no lobe within two pulse widths either
    // side) with the step response leaning the other way half a pulse width
    // before and after it: the double edge of a splice, half a pulse up and
    // half a pulse down, whose outer edges are half its size.
    bool LoneDoubleEdge(const std::vector<Lobe>& lobes, std::size_t i) const;

    // Reads the lobes as echoes. A lobe centre lies half a sample after the
    // edge it marks (between the two windows).
    std::vector<Candidate> Group(const std::vector<Lobe>& lobes) const;
    // Where a candidate's height is sought, once its edges are known.
    void FinishCandidate(Candidate& c) const;
    // Behind a fall closed by lobe `last`, the echo whose rise merged with
    // that closing edge: the trace stands past the level, by
    // kOvershootShare of the fall's depth and clear of the noise, until a
    // fall (lobe last + 1, within kOvershootReach pulse widths) brings it
    // back; the echo starts a pulse before that fall. None otherwise.
    std::optional<Candidate> OvershotFarSide(const std::vector<Lobe>& lobes, const Candidate& c,
                                             std::size_t last) const;

    // Whether a sample from a to b stands at either end of the range.
    bool Clipped(int a, int b) const;

    // Kinds (Kinds.cpp)
    // The kind of each echo, and the end of the line: echoes past it are ghosts.
    void Classify(std::vector<Echo>& echoes) const;

    // The level `widths` pulse widths behind the echo's edge against its height.
    double LevelBehind(const Echo& echo, double widths) const;

    // Whether a fall is a wet stretch a little longer than the pulse (see kFlatWidth).
    bool FlatFall(const Echo& echo) const;

    // Multiples (Multiples.cpp)
    double GhostTolerance(double sample) const;

    // Multiple reflections between the echoes and the instrument flagged as ghosts.
    void MarkGhosts(std::vector<Echo>& echoes) const;

    // Heights and the events (Finder.cpp)
    // The echo's height: the window mean farthest from the line's level before
    // it, over the echo's top.
    double Height(const Candidate& c) const;

    double Area(const Candidate& c) const;
    double AreaSeen(const Candidate& c) const;

    double ToDistance(double position) const;

    // Mean of the samples from k − h to k + h, held inside the record. Away
    // from the record's ends it multiplies by the reciprocal of the count,
    // which a loop over k computes once.
    double Smoothed(int k, int h) const
    {
        if (k - h >= 0 && k + h + 1 <= kCount) {
            return static_cast<double>(m_sum[k + h + 1] - m_sum[k - h]) * (1.0 / (2 * h + 1));
        }
        const int a = std::clamp(k - h, 0, kCount - 1);
        const int b = std::clamp(k + h + 1, a + 1, kCount);
        return static_cast<double>(m_sum[b] - m_sum[a]) / (b - a);
    }

    // The trace smoothed over a tenth of a pulse (Smoothed over TenthHalf(W)
    // samples either side), filled in once by the run: the echoes' swings
    // are walked on it sample by sample.
    double Tenth(int k) const { return m_tenth[static_cast<std::size_t>(k)]; }
    static int TenthHalf(double pulseSamples)
    {
        return std::max(1, static_cast<int>(std::lround(pulseSamples / 20)));
    }

    bool SwingsBack(const Candidate& c) const;

    bool LeavesShelf(const Candidate& c, double height) const;

    bool Returns(const Candidate& c, double height) const;

    double Tail(const Candidate& c, double height) const;

    double SpliceStart(const Candidate& c) const;

    double HalfHeight(const Candidate& c) const;

    // The start of the echo's leading edge by a fit of its shape around
    // `anchor` (its half height), with the evidence for the skin effect's
    // spreading in units of the noise of one bin (EdgeFit.h); none where the
    // fit cannot be made: too near the launch or the record's end, or
    // clipped samples.
    // The trace averaged over bins of `bin` samples from `from` on; false where
    // they reach into the dead zone or past the record, or hold a clipped sample.
    bool WindowBins(double from, double bin, std::span<double> bins) const;

    // The trace's running sum up to t (samples, sample k spanning
    // [k - 0.5, k + 0.5)), for 0 <= t + 0.5 < the record's length.
    double SumTo(double t) const
    {
        const double u = t + 0.5;
        const int k = static_cast<int>(std::floor(u));
        return static_cast<double>(m_sum[static_cast<std::size_t>(k)]) +
               (u - k) * m_record.m_samples[static_cast<std::size_t>(k)];
    }

    // What a fit's bins of `bin` samples must explain, summed over a window,
    // to count as one unit of evidence: the noise of one bin, squared.
    double EvidenceUnit(double bin) const;

    template <class G>
    std::optional<EdgeFitResult> FitStart(const Candidate& c, double anchor, bool weigh, int coil = -1,
                                          std::size_t mostSpread = kSpreads.size() - 1) const;

    // FitStart over the echo's whole pulse and what follows it, the window
    // ending at the record's end where the echo is near it (Spreading.cpp).
    std::optional<EdgeFitResult> FitShape(const Candidate& c, double anchor) const;

    // On a lossy line, every echo's edge where its causal fit puts it
    // (Spreading.cpp); whether the trace shows such a line.
    bool PlaceSpreadEchoes(std::vector<Echo>& echoes) const;

    // Echoes whose top clips (Clipping.cpp)
    // Whether the echo's top (from half a pulse before its anchor to a pulse
    // and a half after it) holds kClippedTopShare of a pulse width of samples
    // clipped on its side.
    bool TopClipped(const Echo& echo) const;
    // The fit of what the clipping leaves of such an echo (FitClippedEdge:
    // the start in samples, and the height), the launch's blur spread by the
    // spreadings up to kSpreads[mostSpread] competing with symmetric blurs;
    // none where the window reaches into the dead zone or past the record.
    std::optional<EdgeFitResult> FitClipped(const Echo& echo, std::size_t mostSpread) const;
    // The echo started where that fit puts it, its height, size and what it
    // leaves behind measured again at the fit's height where that is larger.
    void PlaceClipped(Echo& echo, std::size_t mostSpread) const;

    // Splices (SpliceFit.cpp)
    // The start of a splice's echo by a fit of its first swing and the
    // opposite one a pulse width behind it, around `anchor` (the half height
    // of its first swing); none where the fit cannot be made, or where two
    // opposite half pulses, the second at once behind the first, explain the
    // echo as well or within `margin` units of evidence (EvidenceUnit).
    // With `coil`, which of kCoilDecays the echo's coil has (negative where
    // the fit finds a stretch or nothing); with `behind` (an index of
    // kCoilDecays), the shapes as they come back from behind such a coil.
    std::optional<SpliceFitResult> FitSplice(const Echo& echo, double anchor, double margin,
                                             int* coil = nullptr, int behind = -1) const;

    // Every splice placed where its fit puts it; off a lossy line, only where
    // the fit beats two opposite half pulses by kSpliceEvidence. On a lossy
    // line, the echoes from behind a splice's series coil are fitted with the
    // shapes the coil low-passes twice.
    void PlaceSplices(std::vector<Echo>& echoes, bool lossy) const;

    // The index of kCoilDecays nearest the sum of the time constants of the
    // coils (where each one's pair ends, its time constant) an echo at
    // `sample` has passed; negative where it has passed none.
    static int CoilBehind(const std::vector<std::pair<double, double>>& coils, double sample);

    std::vector<LineEvent> Describe(const std::vector<Candidate>& candidates) const;

    const WaveformRecord& m_record;
    double m_dFactor = 0;
    double m_dStep = 0;
    double m_dPulseSamples = 1; // width of the launch pulse in samples
    int m_nWindow = 1;          // L: half a pulse width, at least one sample
    double m_dLaunch = 0;
    bool m_bLaunchClipped = false;
    double m_dLaunchBlur = kUnknownBlur; // pulse widths
    int m_nLevel = 0;                     // the line's level
    int m_nLaunchEnd = 0;
    int m_nDeadEnd = 0;
    double m_dNoise = 0;
    double m_dStepDeviation = 0; // of D on quiet line, sums of L samples
    // BinNoise's measures: the width of bin in samples (0: none yet) and its
    // noise, one for each width the fits use (twelfths, sixteenths and
    // thirty-seconds of the pulse), the latest first.
    mutable std::array<std::pair<int, double>, 3> m_binNoise{};
    int64_t m_nThreshold = 0; // in sums of L samples
    // Filled as the steps need them (not zeroed first: that alone would cost
    // a good part of the whole search).
    std::array<int32_t, kTdrSampleCount + 1> m_sum;
    std::vector<int> m_clipped;                  // the clipped samples (at either end of the range), in order
    std::array<double, kTdrSampleCount> m_tenth; // Tenth(k)
    std::array<float, kTdrSampleCount> m_d;     // step response, from the dead zone's end on
    std::array<float, kTdrSampleCount> m_slack; // threshold raise from the slow part of the trace
};

} // namespace events
