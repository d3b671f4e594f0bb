#include "tdrsynth/LineDraw.h"

#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPositionPerNs = 0.1; // metres of position per nanosecond of round trip

class Draw
{
  public:
    explicit Draw(uint64_t seed) : m_prng(seed ^ 0x6C696E656D6F64ULL) {}

    double Uniform(double low, double high) { return low + (high - low) * m_prng.Uniform(); }
    double LogUniform(double low, double high) { return std::exp(Uniform(std::log(low), std::log(high))); }
    int Integer(int low, int high)
    {
        return low + static_cast<int>(m_prng.Uniform() * static_cast<double>(high - low + 1));
    }
    bool Coin() { return m_prng.Uniform() < 0.5; }
    // An impedance ratio away from 1, up or down.
    double Ratio() { return Coin() ? Uniform(1.25, 1.8) : Uniform(0.55, 0.8); }

  private:
    Prng m_prng;
};

// The faults: one to three, the end of the line (if any) last; the first
// beyond the launch's dead zone (six pulse widths, and a twentieth of the
// scale), each at least the previous one's stretch plus two pulse widths and
// forty samples further, all within nine tenths of the scale and the record.
std::vector<LineFault> DrawFaults(Draw& draw, const LineParams& params)
{
    const SynthParams& header = params.m_header;
    const double step = tables::kSampleStep[header.m_nScaleIndex] / 100.0;
    const double span = step * static_cast<double>(kTdrSampleCount);
    const double scale = tables::kScale[header.m_nScaleIndex];
    const double width = tables::kPulse[header.m_nPulseIndex] * kPositionPerNs; // position
    const double toCable = tables::kReferenceFactor / params.m_dFactor;
    const double pulseLength = width * toCable; // metres of cable a pulse spans there and back
    const double first = std::max(6 * width, 0.05 * scale);
    const double last = 0.9 * std::min(scale, span);

    const int count = draw.Integer(1, 3);
    std::vector<FaultKind> kinds;
    for (int i = 0; i < count; ++i) {
        const bool endAllowed = i + 1 == count;
        kinds.push_back(static_cast<FaultKind>(draw.Integer(endAllowed ? 0 : 2, 4)));
    }

    std::vector<LineFault> faults;
    double position = first; // the earliest position the next fault may take
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const double room = last - position;
        if (room <= 0) {
            break;
        }
        const double p = position + draw.Uniform(0, room / static_cast<double>(kinds.size() - i));
        LineFault fault;
        fault.m_kind = kinds[i];
        fault.m_dDistance = p * toCable;
        double stretch = 0; // position the fault's stretch takes
        switch (fault.m_kind) {
        case FaultKind::Open:
            fault.m_dSize = draw.LogUniform(2e3, 5e4);
            break;
        case FaultKind::Short:
            fault.m_dSize = draw.Uniform(0, 2);
            break;
        case FaultKind::Water:
            fault.m_dSize = draw.Uniform(1.3, 3.0);
            fault.m_dLength = std::min(draw.Uniform(0.5, 8.0) * pulseLength, 0.5 * room * toCable);
            stretch = fault.m_dLength * std::sqrt(fault.m_dSize) / toCable;
            break;
        case FaultKind::Splice:
            if (draw.Coin()) {
                fault.m_dSize = draw.Uniform(0.03, 0.2) * tables::kPulse[header.m_nPulseIndex] * 1e-9 * 2 *
                                params.m_dImpedance;
            } else {
                fault.m_dLength = draw.Uniform(0.15, 0.6) * pulseLength;
                fault.m_dSize = draw.Ratio();
                stretch = fault.m_dLength / toCable;
            }
            break;
        case FaultKind::CableChange:
            fault.m_dSize = draw.Ratio();
            break;
        }
        faults.push_back(fault);
        position = p + stretch + 2 * width + 40 * step;
    }
    if (faults.empty()) {
        LineFault fault;
        fault.m_kind = FaultKind::Open;
        fault.m_dDistance = first * toCable;
        fault.m_dSize = 1e4;
        faults.push_back(fault);
    }
    return faults;
}

} // namespace

LineParams DrawLineParams(uint64_t seed, int scaleIndex)
{
    Draw draw(seed);
    SynthParams header = ParamsForScale(scaleIndex);
    header.m_nPulseIndex = std::clamp(header.m_nScaleIndex + draw.Integer(-2, 1), 0, tables::kCount - 1);
    header.m_nAveragingExponent = draw.Integer(0, 12);
    header.m_nSeed = seed;

    LineParams params = LineParamsFor(header);
    params.m_dFactor = draw.Uniform(1.25, 2.2);
    params.m_header.m_dFactor = params.m_dFactor;
    params.m_dImpedance = draw.Uniform(40, 140);
    params.m_dLossDb = draw.Uniform(4, 32);
    params.m_dDcShare = draw.Uniform(0.1, 0.6);
    params.m_dDielectricShare = draw.Uniform(0, 0.2);
    params.m_dSourceRatio = draw.LogUniform(0.6, 1.6);
    params.m_dRise = draw.Uniform(0.05, 0.3);
    params.m_dBandHz = draw.LogUniform(1, 8) / (tables::kPulse[params.m_header.m_nPulseIndex] * 1e-9);
    params.m_dCoupling = draw.LogUniform(30, 500);
    params.m_noiseShape = draw.Coin() ? NoiseShape::White : NoiseShape::Band;
    params.m_dWander = draw.Uniform(0, 3);
    // More gain for lossier lines, as a technician would turn it up to see the far end.
    params.m_header.m_nGain = draw.Integer(0, 2 + static_cast<int>(params.m_dLossDb / 10));
    params.m_dNoise = draw.LogUniform(0.03, 100);
    params.m_faults = DrawFaults(draw, params);
    return params;
}

void WidenReceiverBand(LineParams& params)
{
    constexpr double kLeast = 1e8; // Hz
    constexpr double kMost = 1e9;
    const double pulse = tables::kPulse[params.m_header.m_nPulseIndex] * 1e-9;
    // Where the band lay in its range of 1..8 over the pulse width, 0..1.
    const double place = std::clamp(std::log(params.m_dBandHz * pulse) / std::log(8.0), 0.0, 1.0);
    params.m_dBandHz = std::max(params.m_dBandHz, kLeast * std::pow(kMost / kLeast, place));
}

void VaryLine(LineParams& params, const LineVariation& vary)
{
    params.m_dLossDb *= vary.m_dLoss;
    params.m_dDcShare = std::min(1.0, params.m_dDcShare * vary.m_dDcShare);
    params.m_dDielectricShare =
        std::min(1.0 - params.m_dDcShare, params.m_dDielectricShare * vary.m_dDielectricShare);
    params.m_dRise = std::min(1.0, params.m_dRise * vary.m_dRise);
    params.m_dSourceRatio = std::pow(params.m_dSourceRatio, vary.m_dSource);
    params.m_dCoupling *= vary.m_dCoupling;
    params.m_dWander *= vary.m_dWander;
}
