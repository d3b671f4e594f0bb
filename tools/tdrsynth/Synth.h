// Synthesis of realistic .tdr waveform files: a launch pulse, echoes of the
// faults along the line, attenuation and pulse widening that grow with
// distance, a gentle baseline wander and a little noise. Qt-free, so tests and
// benchmarks can call it directly.
#pragma once

#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small, fully specified generator (splitmix64), so a seed gives the same
// waveform with every standard library.
class Prng
{
  public:
    explicit Prng(uint64_t seed) : m_state(seed) {}

    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

    // Approximately normal with unit variance: the sum of four uniforms has
    // variance 1/3 around 2. Bounded to ±3.46, which suits sample noise.
    double Normal()
    {
        const double sum = Uniform() + Uniform() + Uniform() + Uniform();
        return (sum - 2.0) * std::numbers::sqrt3;
    }

  private:
    uint64_t m_state;
};

enum class FaultKind {
    Open,        // open end or break: full positive echo, the line ends there
    Short,       // short circuit: full negative echo, the line ends there
    Water,       // water ingress: broad negative echo, the line continues
    Splice,      // splice: small bipolar bump
    CableChange, // joint to a cable of other impedance: small step-like bump
};

struct SynthFault
{
    FaultKind m_kind = FaultKind::Open;
    double m_dDistance = 0; // metres of true distance at the recording's PR
};

// The receiver's highest gain step.
inline constexpr int kMostGain = 15;

struct SynthParams
{
    int m_nScaleIndex = 4;        // 0..11
    int m_nPulseIndex = 4;        // 0..11
    int m_nAveragingExponent = 4; // averages = 2^n, 0..16
    int m_nGain = 2;              // 0..kMostGain, each step adds 2 dB to the receiver
    int m_nImpedance = 100;       // ohm
    double m_dFactor = 1.5;       // PR of the recording, 1.0..5.0
    double m_dDelay = 0;          // stored as round(delay × 0.2)
    int m_nThreshold = 60;        // stored as threshold − 60
    int m_nMethod = 73;           // 68 arc, 73 pulse, 75 ware
    uint64_t m_nSeed = 1;
    double m_dNoiseLevel = 1.0;   // multiplies the receiver noise, 0..100; 0 gives none
    std::vector<SynthFault> m_faults;
};

// Parameters a field engineer would pick for a scale: the pulse of the same
// index, more averaging and gain for the longer lines. No faults, seed 1.
SynthParams ParamsForScale(int scaleIndex);

// Empty when the parameters can be written, else a one-line reason.
std::string CheckParams(const SynthParams& params);

// The 8512 bytes of a .tdr file, or an empty vector when CheckParams fails.
// The same parameters (seed included) always give the same bytes.
std::vector<uint8_t> SynthesiseTdr(const SynthParams& params);

// The 8512 bytes of a .tdr file with the header of the parameters and all
// samples zero.
std::vector<uint8_t> TdrHeaderBytes(const SynthParams& params);

// Position of a fault in metres at the reference PR 1.5 (the waveform's own
// axis): distance × PR / 1.5.
double FaultPosition(const SynthParams& params, double distance);

// Method codes from "arc", "pulse", "ware", their letters D, I, K, or a number.
std::optional<int> ParseMethod(std::string_view text);

// Fault kinds from their option names: open, short, water, splice, change.
std::optional<FaultKind> ParseFaultKind(std::string_view text);
const char* FaultKindName(FaultKind kind);

// A number with '.' as decimal point whatever the locale: the shortest exact
// form when decimals is negative, else fixed with that many decimals.
std::string FormatNumber(double value, int decimals = -1);
