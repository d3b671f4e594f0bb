#include "tdrsynth/Synth.h"

#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace {

// Amplitude of the launch pulse before the receiver gain. Gain 2 and up drives
// it into the top of the range, as on the instrument's own screen.
constexpr double kLaunchAmplitude = 100;
// Reflection at the instrument's own output, seen by the second echo of an end.
constexpr double kSourceReflection = -0.2;
// Round-trip loss in dB at the reference length of a pulse (see below).
constexpr double kLossAtReference = 6;

// A rectangle of the given width starting at x = 0, smoothed by a Gaussian of
// deviation sigma: the shape of a pulse after dispersion along the line.
double SmoothedPulse(double x, double width, double sigma)
{
    const double k = 1.0 / (std::numbers::sqrt2 * sigma);
    return 0.5 * (std::erf(x * k) - std::erf((x - width) * k));
}

// 0 well before x = 0, 1 well after it, with edge deviation sigma.
double SmoothedStep(double x, double sigma)
{
    return 0.5 * (1.0 + std::erf(x / (std::numbers::sqrt2 * sigma)));
}

void PutWord(std::vector<uint8_t>& bytes, std::size_t index, int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[index * 4 + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

// One echo on the waveform: a smoothed pulse at a position, optionally
// followed by a slowly fading shelf (a section of other impedance).
struct Echo
{
    double m_dPosition = 0;  // leading edge, metres of position
    double m_dAmplitude = 0; // before the receiver gain, attenuation included
    double m_dWidth = 0;
    double m_dSigma = 0;
    double m_dShelf = 0; // shelf height relative to the amplitude
    double m_dShelfDecay = 1;
};

class LineModel
{
  public:
    explicit LineModel(const SynthParams& params)
        : m_dStep(tables::kSampleStep[params.m_nScaleIndex] / 100.0),
          m_dPulseNs(tables::kPulse[params.m_nPulseIndex]),
          m_dWidth(m_dPulseNs * 0.1), // 1 ns of pulse spans 0.1 m of position
          m_dReference(m_dPulseNs * 8.0)
    {
    }

    double Step() const { return m_dStep; }
    double Width() const { return m_dWidth; }
    double Span() const { return m_dStep * static_cast<double>(kTdrSampleCount); }

    // Round-trip amplitude factor to a position and back. Longer pulses carry
    // lower frequencies and lose less per metre: the loss reaches
    // kLossAtReference dB at eight metres of position per nanosecond of pulse.
    double Attenuation(double position) const
    {
        const double db = kLossAtReference * position / m_dReference;
        return std::pow(10.0, -db / 20.0);
    }

    // Edge smoothing of an echo from a position: sharp near the instrument,
    // widening with distance, never narrower than a sample can show.
    double Sigma(double position) const
    {
        const double sigma = m_dWidth * (0.1 + 0.35 * position / m_dReference);
        return std::max(sigma, 0.7 * m_dStep);
    }

    Echo MakeEcho(double position, double coefficient, double width) const
    {
        Echo echo;
        echo.m_dPosition = position;
        echo.m_dAmplitude = kLaunchAmplitude * coefficient * Attenuation(position);
        echo.m_dWidth = width;
        echo.m_dSigma = Sigma(position);
        return echo;
    }

  private:
    double m_dStep;
    double m_dPulseNs;
    double m_dWidth;
    double m_dReference;
};

// The echoes of the faults, nearest first. Each fault passes on only the part
// of the pulse it transmits; an open end or a short ends the line, and sends a
// weaker second echo at twice its position after bouncing off the instrument.
std::vector<Echo> FaultEchoes(const SynthParams& params, const LineModel& line)
{
    std::vector<SynthFault> faults = params.m_faults;
    std::stable_sort(faults.begin(), faults.end(),
                     [](const SynthFault& a, const SynthFault& b) { return a.m_dDistance < b.m_dDistance; });

    std::vector<Echo> echoes;
    double transmitted = 1.0; // product of (1 − r²) of the faults passed so far
    const double width = line.Width();
    for (const SynthFault& fault : faults) {
        const double p = FaultPosition(params, fault.m_dDistance);
        switch (fault.m_kind) {
        case FaultKind::Open:
        case FaultKind::Short: {
            const double r = fault.m_kind == FaultKind::Open ? 0.95 : -0.95;
            echoes.push_back(line.MakeEcho(p, r * transmitted, width));
            if (2 * p < line.Span()) {
                echoes.push_back(
                    line.MakeEcho(2 * p, r * r * kSourceReflection * transmitted * transmitted, width));
            }
            return echoes;
        }
        case FaultKind::Water: {
            // A wet stretch of lower impedance: a broad negative echo as long
            // as the stretch, then a weak positive one where the cable dries.
            const double wet = std::clamp(0.03 * p, 2.0, 50.0);
            echoes.push_back(line.MakeEcho(p, -0.35 * transmitted, width + wet));
            echoes.push_back(line.MakeEcho(p + wet, 0.08 * transmitted, width));
            transmitted *= (1 - 0.35 * 0.35) * (1 - 0.08 * 0.08);
            break;
        }
        case FaultKind::Splice: {
            // Entry and exit of a short lumped section: a positive half pulse
            // followed by a negative one.
            const double half = 0.5 * width;
            echoes.push_back(line.MakeEcho(p, 0.2 * transmitted, half));
            echoes.push_back(line.MakeEcho(p + half, -0.2 * transmitted, half));
            transmitted *= 1 - 0.2 * 0.2;
            break;
        }
        case FaultKind::CableChange: {
            // A step up in impedance: an echo of the same sign as the pulse,
            // and a shelf that fades as the new cable's own losses take over.
            Echo echo = line.MakeEcho(p, 0.15 * transmitted, width);
            echo.m_dShelf = 0.3;
            echo.m_dShelfDecay = 8 * width + 20 * line.Step();
            echoes.push_back(echo);
            transmitted *= 1 - 0.15 * 0.15;
            break;
        }
        }
    }
    return echoes;
}

bool InRange(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

} // namespace

SynthParams ParamsForScale(int scaleIndex)
{
    SynthParams params;
    params.m_nScaleIndex = std::clamp(scaleIndex, 0, tables::kCount - 1);
    params.m_nPulseIndex = params.m_nScaleIndex;
    params.m_nAveragingExponent = 4 + params.m_nScaleIndex / 2;
    params.m_nGain = 1 + params.m_nScaleIndex / 3;
    return params;
}

double FaultPosition(const SynthParams& params, double distance)
{
    return distance * params.m_dFactor / tables::kReferenceFactor;
}

std::string CheckParams(const SynthParams& params)
{
    if (params.m_nScaleIndex < 0 || params.m_nScaleIndex >= tables::kCount) {
        return "scale index must be 0..11";
    }
    if (params.m_nPulseIndex < 0 || params.m_nPulseIndex >= tables::kCount) {
        return "pulse index must be 0..11";
    }
    if (params.m_nAveragingExponent < 0 || params.m_nAveragingExponent > 16) {
        return "averaging exponent must be 0..16";
    }
    if (params.m_nGain < 0 || params.m_nGain > kMostGain) {
        return "gain must be 0.." + std::to_string(kMostGain);
    }
    if (params.m_nImpedance < 1 || params.m_nImpedance > 1000) {
        return "impedance must be 1..1000 ohm";
    }
    if (!InRange(params.m_dFactor, 1.0, 5.0)) {
        return "PR must be 1.0..5.0";
    }
    if (!InRange(params.m_dDelay, -1e6, 1e6)) {
        return "delay must be within -1000000..1000000";
    }
    if (params.m_nThreshold < 0 || params.m_nThreshold > 1000) {
        return "threshold must be 0..1000";
    }
    if (!InRange(params.m_dNoiseLevel, 0.0, 100.0)) {
        return "noise level must be 0..100";
    }
    const double span = tables::kSampleStep[params.m_nScaleIndex] / 100.0 * kTdrSampleCount;
    for (const SynthFault& fault : params.m_faults) {
        const double p = FaultPosition(params, fault.m_dDistance);
        if (!std::isfinite(p) || fault.m_dDistance <= 0 || p >= span) {
            return std::string(FaultKindName(fault.m_kind)) + " at " + FormatNumber(fault.m_dDistance) +
                   " m lies outside the record (0.." +
                   FormatNumber(span * tables::kReferenceFactor / params.m_dFactor, 1) + " m at this PR)";
        }
    }
    return {};
}

std::vector<uint8_t> TdrHeaderBytes(const SynthParams& params)
{
    std::vector<uint8_t> bytes(kTdrFileSize, 0);
    PutWord(bytes, 1, params.m_nPulseIndex);
    PutWord(bytes, 2, params.m_nScaleIndex);
    PutWord(bytes, 3, params.m_nAveragingExponent);
    PutWord(bytes, 4, params.m_nGain);
    PutWord(bytes, 5, params.m_nImpedance);
    PutWord(bytes, 6, static_cast<int32_t>(std::lround(params.m_dFactor * 1000.0)));
    PutWord(bytes, 8, static_cast<int32_t>(std::lround(params.m_dDelay * 0.2)));
    PutWord(bytes, 9, params.m_nThreshold - 60);
    PutWord(bytes, 10, params.m_nMethod);
    return bytes;
}

std::vector<uint8_t> SynthesiseTdr(const SynthParams& params)
{
    if (!CheckParams(params).empty()) {
        return {};
    }
    std::vector<uint8_t> bytes = TdrHeaderBytes(params);

    const LineModel line(params);
    const std::vector<Echo> echoes = FaultEchoes(params, line);
    const double gain = std::pow(10.0, 2.0 * params.m_nGain / 20.0);
    const double averages = std::ldexp(1.0, params.m_nAveragingExponent);
    const double noiseSigma = (0.4 + 5.0 * std::sqrt(gain) / std::sqrt(averages)) * params.m_dNoiseLevel;

    Prng prng(params.m_nSeed);
    // Baseline wander: two slow sines across the record, phases from the seed.
    const double twoPi = 2 * std::numbers::pi;
    const double wanderCycles1 = 0.5 + prng.Uniform();
    const double wanderCycles2 = 2.0 + 2.0 * prng.Uniform();
    const double wanderPhase1 = twoPi * prng.Uniform();
    const double wanderPhase2 = twoPi * prng.Uniform();

    const double width = line.Width();
    const double launchSigma = line.Sigma(0);
    const double tailDecay = 3 * width + 10 * line.Step();
    const double span = line.Span();

    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        const double x = static_cast<double>(k) * line.Step();
        // Launch pulse, then the small undershoot of the receiver's coupling.
        const double afterLaunch = x - width;
        double signal = kLaunchAmplitude * SmoothedPulse(x, width, launchSigma);
        signal -= 0.08 * kLaunchAmplitude * SmoothedStep(afterLaunch, launchSigma) *
                  std::exp(-std::max(afterLaunch, 0.0) / tailDecay);
        for (const Echo& echo : echoes) {
            const double rel = x - echo.m_dPosition;
            if (rel < -6 * echo.m_dSigma) {
                continue;
            }
            signal += echo.m_dAmplitude * SmoothedPulse(rel, echo.m_dWidth, echo.m_dSigma);
            if (echo.m_dShelf != 0) {
                const double after = rel - echo.m_dWidth;
                signal += echo.m_dAmplitude * echo.m_dShelf * SmoothedStep(after, echo.m_dSigma) *
                          std::exp(-std::max(after, 0.0) / echo.m_dShelfDecay);
            }
        }
        const double u = x / span;
        const double wander = 1.2 * std::sin(twoPi * wanderCycles1 * u + wanderPhase1) +
                              0.7 * std::sin(twoPi * wanderCycles2 * u + wanderPhase2);
        const double value = gain * signal + wander + noiseSigma * prng.Normal();
        const long rounded = std::clamp(std::lround(value), -128L, 127L);
        bytes[kTdrHeaderBytes + k] = static_cast<uint8_t>(static_cast<int8_t>(rounded));
    }
    return bytes;
}

std::optional<int> ParseMethod(std::string_view text)
{
    if (text == "arc" || text == "D") {
        return kMethodArc;
    }
    if (text == "pulse" || text == "I") {
        return kMethodPulse;
    }
    if (text == "ware" || text == "K") {
        return kMethodWare;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<FaultKind> ParseFaultKind(std::string_view text)
{
    for (FaultKind kind :
         {FaultKind::Open, FaultKind::Short, FaultKind::Water, FaultKind::Splice, FaultKind::CableChange}) {
        if (text == FaultKindName(kind)) {
            return kind;
        }
    }
    return std::nullopt;
}

const char* FaultKindName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Open:
        return "open";
    case FaultKind::Short:
        return "short";
    case FaultKind::Water:
        return "water";
    case FaultKind::Splice:
        return "splice";
    case FaultKind::CableChange:
        return "change";
    }
    return "";
}

std::string FormatNumber(double value, int decimals)
{
    char buffer[64];
    const auto result = decimals < 0 ? std::to_chars(buffer, buffer + sizeof buffer, value)
                                     : std::to_chars(buffer, buffer + sizeof buffer, value,
                                                     std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return "?";
    }
    return std::string(buffer, result.ptr);
}
