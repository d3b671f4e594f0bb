// Measures the event finder on a generated set of synthetic waveforms, from
// tdrsynth's echo model or from its physical line model: how many faults it
// finds, how many events it reports where there is none, and how far its
// leading edges lie from the true fault distances, by fault kind and by
// signal-to-noise band. Qt-free, so a test can run it on a small set.
#pragma once

#include "tdrsynth/LineDraw.h"
#include "tdrsynth/LineModel.h"
#include "tdrsynth/Synth.h"

#include "model/EventFinder.h"
#include "model/WaveformRecord.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Signal-to-noise bands, in dB: below 0, 0..5, 5..10, 10..15, 15..20, 20..30, 30 and up.
inline constexpr int kSnrBands = 7;
inline constexpr std::array<double, kSnrBands - 1> kSnrBandEdges = {0, 5, 10, 15, 20, 30};
inline constexpr int kFaultKinds = 5;
// The aims hold from this signal-to-noise ratio up: shares of the faults of
// a kind found (opens, shorts, water; splices, changes), share of the found
// ones within the distance tolerance, false events per waveform.
inline constexpr double kAimSnrDb = 10;
inline constexpr double kFoundAimMajor = 0.95;
inline constexpr double kFoundAimMinor = 0.80;
inline constexpr double kWithinAim = 0.95;
inline constexpr double kFalseAim = 0.1;
// The aims on the physical line model, from kAimSnrDb up: shares of the
// faults of a kind found within the distance tolerance (splices apart), of
// the found ones of the right kind (opens and shorts apart), false events
// per waveform with white and with band-limited noise.
inline constexpr double kLineFoundAim = 0.95;
inline constexpr double kLineFoundAimSplice = 0.85;
inline constexpr double kLineKindAimEnd = 0.90;
inline constexpr double kLineKindAim = 0.80;
inline constexpr double kLineFalseAimWhite = 0.2;
inline constexpr double kLineFalseAimBand = 0.3;

// Pass marks on the line model: the aims, or (with --floor) the floor the
// finder holds today below them, which a change must not lower.
struct LineMarks
{
    double m_dWithin = kLineFoundAim;             // found within the tolerance, of all the faults of a kind
    double m_dWithinSplice = kLineFoundAimSplice; // ... of splices
    double m_dKindEnd = kLineKindAimEnd;          // the kind right, of the opens and shorts found
    double m_dKind = kLineKindAim;                // ... of the rest
    double m_dFalseWhite = kLineFalseAimWhite;    // false events per waveform
    double m_dFalseBand = kLineFalseAimBand;
    const char* m_name = "aim";
};
inline constexpr LineMarks kLineAims{};
inline constexpr LineMarks kLineFloor{0.65, 0.6, 0.85, 0.75, 0.2, 0.3, "floor"};

enum class ScoreModel {
    Echo, // tdrsynth's own model: smoothed pulses and shelves
    Line, // the physical line model
};

struct ScoreOptions
{
    int m_nCount = 300;   // waveforms
    uint64_t m_nSeed = 1; // of the whole set
    ScoreModel m_model = ScoreModel::Echo;
    NoiseShape m_noise = NoiseShape::White; // of the line model
    // The line model's files drawn again without noise or wander (8-bit
    // rounding kept), each fault keeping the SNR of its noisy file: what the
    // finder misses on the line itself, not through the noise.
    bool m_bNoiseFree = false;
    // The line model's receiver band 100 MHz..1 GHz whatever the pulse
    // (WidenReceiverBand), not 1..8 over the pulse width.
    bool m_bWideReceiver = false;
    // The line model's drawn lines changed past the draw's ranges.
    LineVariation m_vary;
    // The line model's gain turned up by this many steps (at most to the
    // header's highest), as a technician turns it up to see a lossy line's
    // far end: the near echoes clip.
    int m_nGainUp = 0;
};

// One generated waveform and what is true about it.
struct ScoreCase
{
    SynthParams m_params;      // the echo model's waveform, or the line model's header
    std::vector<double> m_snr; // dB, per fault of m_params.m_faults (sorted by distance)
    // The line model's waveform: its file and its truth (empty for the echo model).
    std::vector<uint8_t> m_bytes;
    std::vector<FaultTruth> m_truth;
};

// Tallies of one fault kind in one band.
struct KindTally
{
    int m_nFaults = 0;
    int m_nFound = 0;     // an event starts within the fault's echo
    int m_nKindRight = 0; // ... and its kind is the fault's
    int m_nWithin = 0;    // ... and its distance lies within the tolerance
    double m_dWorstError = 0; // largest distance error of a found fault, in tolerances
    int m_nStretches = 0;     // found faults with a far side to place (wet stretches, line model)
    int m_nEndWithin = 0;     // ... whose event gives it within the tolerance
    std::vector<double> m_errors; // signed distance errors of the found faults, in pulse widths
};

struct ScoreTable
{
    std::array<std::array<KindTally, kSnrBands>, kFaultKinds> m_kinds{};
    // Waveforms and their false events, banded by the waveform's weakest fault.
    std::array<int, kSnrBands> m_waveforms{};
    std::array<int, kSnrBands> m_falseEvents{};
    int m_nGhosts = 0; // events flagged as ghosts (not counted as false)
    ScoreModel m_model = ScoreModel::Echo; // which aims hold
    NoiseShape m_noise = NoiseShape::White;
    LineMarks m_lineMarks = kLineAims;
};

// The band of a signal-to-noise ratio in dB.
int SnrBand(double snrDb);
// "<0", "0-5", ..., ">=30".
std::string SnrBandName(int band);

// The generated set: fixed by the options alone. Waveform i has scale index
// i mod 12; pulse, averaging, gain, PR, noise level and one to three faults
// are drawn from the seed (the line model: DrawLineParams from a seed of
// the set's seed and i, with the options' noise shape).
std::vector<ScoreCase> GenerateScoreSet(const ScoreOptions& options);

// Runs the finder over the set and tallies the results. With a log, every
// waveform that has a missed fault or a false event is described on it.
ScoreTable ScoreSet(const std::vector<ScoreCase>& set, std::ostream* log = nullptr);

// The event that finds each fault of the waveform (-1: none), one event per
// fault at most and one fault per event: an event finds a fault when its
// leading edge lies on the fault's echo, and of all such one-to-one
// assignments the one finding the most faults, then with the smallest sum of
// distance errors, counts.
std::vector<int> MatchFaults(const SynthParams& params, const WaveformRecord& record,
                             const std::vector<LineEvent>& events);

// Largest distance error allowed at a distance, in metres: one plot column of
// the scale (scale / 500 metres of position) converted at the PR, or 0.2 % of
// the distance, whichever is larger.
double DistanceTolerance(double scale, double factor, double distance);

// The same on the line model, in metres of position: one plot column, 0.5 %
// of the position or two samples, whichever is largest.
double LineTolerance(double scale, double sampleStep, double position);

// The line model's counterpart of MatchFaults, against the truth of a file.
std::vector<int> MatchLineFaults(const std::vector<FaultTruth>& truth, const WaveformRecord& record,
                                 const std::vector<LineEvent>& events);

// The table as text: one row per fault kind and band, then the false events.
std::string FormatScoreTable(const ScoreTable& table);

// Per fault kind over the bands the aims cover: faults, found, kind right,
// within the tolerance.
std::string FormatAimSummary(const ScoreTable& table);

// Empty when the aims of the table's model hold from kAimSnrDb up, else one
// line per miss.
std::string CheckAims(const ScoreTable& table);

// The program: eventscore [--model echo|line] [--noise white|band] [--count N]
// [--seed S] [--floor] [--verbose] [--help]. Prints the table and
// returns 0 when the aims (with --floor on the line model: the floor) hold, 1
// when they do not, 2 for bad arguments.
int RunEventScore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
