// A physical model of a reflectometer on a copper line, the second model of
// tdrsynth beside the echo model of Synth.h. The instrument launches a pulse
// with a finite rise time from a source that does not quite match the line;
// the line is a cascade of uniform lossy sections (DC resistance, skin effect,
// dielectric loss) that ends in a termination or goes on matched. The input
// impedance is walked back from the far end in the frequency domain, so every
// echo, multiple reflection and ghost comes out of the physics. The receiver
// adds AC coupling, a band limit, gain, noise that falls with averaging,
// baseline wander and 8-bit rounding with clipping. Qt-free, so the event
// scorer and the tests link it directly.
#pragma once

#include "tdrsynth/Synth.h"

#include <complex>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One uniform stretch of line.
struct LineSection
{
    double m_dLength = 0;           // metres of cable
    double m_dImpedance = 100;      // ohm, characteristic impedance at high frequency
    double m_dFactor = 1.5;         // PR: how many times slower than light the wave travels
    double m_dResistance = 0;       // ohm per metre of loop at DC
    double m_dSkin = 0;             // ohm per metre of skin-effect resistance at 1 MHz, growing as sqrt(f)
    double m_dLossTangent = 0;      // of the dielectric: G = omega C tan(delta)
    double m_dSeriesInductance = 0; // henry, a lumped coil where the section begins
};

// The line as the physics sees it: its sections from the instrument outward,
// and what ends the last one.
struct LineProfile
{
    std::vector<LineSection> m_sections;
    std::optional<double> m_termination; // ohm; none: the line goes on without an end echo
};

// A fault of the physical model.
//   open, short: the line ends at m_dDistance in a resistor of m_dSize ohm
//     (some kilo-ohm for an open, an ohm or less for a short);
//   water: m_dLength metres of the line from m_dDistance with m_dSize times its
//     capacitance (so lower impedance and slower) and a lossier dielectric;
//   splice: with m_dLength 0 a series coil of m_dSize henry, else a stretch of
//     m_dLength metres with m_dSize times the impedance;
//   change: the line goes on from m_dDistance with m_dSize times its impedance.
struct LineFault
{
    FaultKind m_kind = FaultKind::Open;
    double m_dDistance = 0; // metres of cable from the instrument
    double m_dLength = 0;
    double m_dSize = 0;
};

enum class NoiseShape {
    White, // independent from sample to sample
    Band,  // white noise passed through the receiver's band limit
};

struct LineParams
{
    // The header's fields (scale, pulse, averaging, gain, PR of the recording,
    // delay, threshold, method) and the seed of the noise. Its impedance is
    // replaced by the line's, its faults and noise level are not used.
    SynthParams m_header;
    double m_dImpedance = 100;       // ohm, of the cable at the instrument
    double m_dFactor = 1.5;          // PR of the cable
    double m_dLossDb = 12;           // round-trip loss over the scale at 1 / (2 x pulse width)
    double m_dDcShare = 0.2;         // part of that loss from DC resistance
    double m_dDielectricShare = 0.1; // part from the dielectric; the rest is skin effect
    double m_dSourceRatio = 1.0;     // source impedance over the line's
    double m_dRise = 0.15;           // launch edge, 10..90 %, in pulse widths
    double m_dBandHz = 1e9;          // receiver's -3 dB band (second-order Butterworth)
    double m_dCoupling = 200;        // AC coupling time constant in pulse widths; 0: none
    double m_dNoise = 1;             // noise RMS in sample units at gain 0, one acquisition
    NoiseShape m_noiseShape = NoiseShape::White;
    double m_dWander = 1; // baseline wander amplitude in sample units
    std::vector<LineFault> m_faults;
};

// What a file holds, fault by fault, nearest first.
struct FaultTruth
{
    FaultKind m_kind = FaultKind::Open;
    double m_dDistance = 0; // metres of cable to the discontinuity
    double m_dEnd = 0;      // metres to the far end of a stretch; equal to m_dDistance otherwise
    double m_dPosition = 0; // the same on the waveform's axis: metres of position (PR 1.5) by time of flight
    double m_dEndPosition = 0;
    double m_dSnrDb = 0; // peak of the fault's own echo over the RMS of the noise in the file
};

struct LineWaveform
{
    std::vector<uint8_t> m_bytes; // the 8512 bytes of the .tdr file
    std::vector<double> m_clean;  // the 8000 samples without noise, rounding or clipping
    std::vector<FaultTruth> m_truth;
};

// Launch height in sample units at gain 0 into a matched line.
inline constexpr double kLineLaunch = 100;

// Parameters of a plain, quiet line for a header: no faults, the header's PR
// and impedance, the field choices of the defaults above.
LineParams LineParamsFor(const SynthParams& header);

// A fault of the kind at a distance with the sizes the command line uses when
// it is given a distance only, for a launch of pulse width seconds.
LineFault DefaultLineFault(FaultKind kind, double distance, double impedance, double width);

// Empty when the parameters can be synthesised, else a one-line reason.
std::string CheckLineParams(const LineParams& params);

// The line of the parameters with their first faultCount faults (by distance).
LineProfile BuildLineProfile(const LineParams& params, std::size_t faultCount);

// Input impedance of the profile at angular frequency omega (rad/s, > 0).
std::complex<double> InputImpedance(const LineProfile& profile, double omega);

// The waveform, its noiseless trace and its truth; empty when CheckLineParams
// fails. The same parameters (seed included) always give the same bytes.
LineWaveform SynthesiseLine(const LineParams& params);
