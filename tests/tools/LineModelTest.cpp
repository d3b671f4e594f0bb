// The physical line model checked against the laws of transmission lines:
// echo of an open, reflection at an impedance step, loss per kilometre, and
// the ghost that the source's mismatch sends back.
#include "tdrsynth/LineModel.h"
#include "tdrsynth/Commands.h"
#include "tdrsynth/LineDraw.h"

#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <numbers>
#include <sstream>

namespace {

// Scale index 4: 0.125 m of position per sample, a 200 ns pulse of 160 samples.
constexpr int kScale = 4;
constexpr double kStep = 0.125;
constexpr std::size_t kWidth = 160;

// A lossless line of 100 ohm at PR 2 from a matched source, seen by a receiver
// with neither AC coupling nor band limit, noise or wander.
LineParams Lossless()
{
    LineParams params = LineParamsFor(ParamsForScale(kScale));
    params.m_header.m_nGain = 0;
    params.m_header.m_dFactor = 2.0;
    params.m_dFactor = 2.0;
    params.m_dImpedance = 100;
    params.m_dLossDb = 0;
    params.m_dCoupling = 0;
    params.m_dBandHz = 1e12;
    params.m_dNoise = 0;
    params.m_dWander = 0;
    return params;
}

LineFault Fault(FaultKind kind, double distance, double size)
{
    LineFault fault;
    fault.m_kind = kind;
    fault.m_dDistance = distance;
    fault.m_dSize = size;
    return fault;
}

// The sample of a distance on the waveform's axis: position = distance x PR / 1.5.
std::size_t SampleOf(double distance, double factor)
{
    return static_cast<std::size_t>(std::lround(distance * factor / tables::kReferenceFactor / kStep));
}

// Reflection of a resistor on a line: (R - Z0) / (R + Z0).
double Reflection(double load, double line)
{
    return (load - line) / (load + line);
}

// Propagation constant times length from the input impedances with the far end
// open and shorted, the bench method: tanh(gamma l) = sqrt(Zshort / Zopen).
std::complex<double> GammaLength(LineSection section, double omega)
{
    LineProfile line;
    line.m_sections = {section};
    line.m_termination = 1e15;
    const std::complex<double> open = InputImpedance(line, omega);
    line.m_termination = 0;
    const std::complex<double> shorted = InputImpedance(line, omega);
    return std::atanh(std::sqrt(shorted / open));
}

} // namespace

// The echo of an open end on a lossless line is the launch again, scaled by
// the open's reflection and delayed by the round trip: 375 m at PR 2 is 500 m
// of position, sample 4000. Both traces are the same computation, so they
// agree to rounding; 0.1 % of the launch leaves room for the period of the
// solution and for the open's kilo-ohms, not quite an infinite load.
TEST(LineModelPhysics, OpenOnALosslessLineEchoesTheLaunch)
{
    LineParams params = Lossless();
    params.m_faults = {Fault(FaultKind::Open, 375, 1e6)};
    const LineWaveform wave = SynthesiseLine(params);
    ASSERT_EQ(wave.m_clean.size(), kTdrSampleCount);
    const std::size_t at = SampleOf(375, 2.0);
    ASSERT_EQ(at, 4000u);
    EXPECT_NEAR(wave.m_truth.at(0).m_dPosition, 500, 1e-9);
    EXPECT_NEAR(wave.m_clean[kWidth / 2], kLineLaunch, 0.1); // a matched source launches half its voltage

    const double r = Reflection(1e6, 100);
    for (std::size_t k = 0; k < 2 * kWidth; ++k) {
        ASSERT_NEAR(wave.m_clean[at + k], r * wave.m_clean[k], 0.1) << k;
    }
    // Nothing arrives before the round trip (half a pulse width is eight
    // deviations of the launch edge).
    EXPECT_NEAR(wave.m_clean[at - kWidth / 2], 0, 0.1);
}

// A pulse wider than the record (50 us on the 10 us record of the shortest
// scale) holds the launch level across the record on a matched line once its
// edge (0.5 us, 156 samples of deviation) has risen.
TEST(LineModelPhysics, PulseWiderThanTheRecordStaysFlat)
{
    LineParams params = Lossless();
    params.m_header.m_nScaleIndex = 0;
    params.m_header.m_nPulseIndex = 11;
    params.m_dRise = 0.01;
    const LineWaveform wave = SynthesiseLine(params);
    ASSERT_EQ(wave.m_clean.size(), kTdrSampleCount);
    for (std::size_t k = 1200; k < kTdrSampleCount; k += 400) {
        EXPECT_NEAR(wave.m_clean[k], kLineLaunch, 0.1) << k;
    }
}

// A step from Z1 to Z2 reflects (Z2 - Z1) / (Z2 + Z1) of the launch, up and
// down, read in the middle of the echo's flat top; the line goes on matched
// beyond it, so nothing else comes back. 0.001 of the launch as above.
TEST(LineModelPhysics, ImpedanceStepReflectsItsCoefficient)
{
    for (const double ratio : {1.5, 0.6, 1.4}) {
        LineParams params = Lossless();
        params.m_faults = {Fault(FaultKind::CableChange, 375, ratio)};
        const LineWaveform wave = SynthesiseLine(params);
        const std::size_t at = SampleOf(375, 2.0);
        const double launch = wave.m_clean[kWidth / 2];
        EXPECT_NEAR(wave.m_clean[at + kWidth / 2] / launch, Reflection(100 * ratio, 100), 1e-3) << ratio;
        EXPECT_NEAR(wave.m_clean[at + 3 * kWidth] / launch, 0, 1e-3) << ratio;
    }
}

// Attenuation at 1 MHz from the bench's open/short method against the
// low-loss textbook formula alpha = R / (2 Z0) + G Z0 / 2, with R the DC
// resistance plus the skin resistance at 1 MHz and G = omega C tan(delta).
// The formula drops terms of (R / omega L)^2 and ignores the skin effect's
// own reactance, which raises the impedance by Rskin / (2 omega L) = 0.5 %
// here: 1 % covers both. The same law sets a cable's loss from the round trip
// over the scale at 1 / (2 x pulse width): 2 % covers the skin reactance,
// Rskin / (2 omega L) = 1.4 % at that lower frequency.
TEST(LineModelPhysics, LossPerKilometreFollowsTheTextbook)
{
    LineSection pair;
    pair.m_dLength = 1000;
    pair.m_dImpedance = 100;
    pair.m_dFactor = 1.5;      // 2e8 m/s: L = 0.5 uH/m, C = 50 pF/m
    pair.m_dResistance = 0.02; // 20 ohm/km
    pair.m_dSkin = 0.03;       // 30 ohm/km at 1 MHz
    pair.m_dLossTangent = 0.002;
    const double omega = 2 * std::numbers::pi * 1e6;
    const double c = 1.0 / (100 * 2e8);
    const double alpha = (0.02 + 0.03) / (2 * 100) + omega * c * 0.002 * 100 / 2; // Np/m
    const double measured = std::fabs(GammaLength(pair, omega).real()) / 1000;
    EXPECT_NEAR(measured / alpha, 1.0, 0.01) << "dB/km " << 8.686 * measured * 1000;

    LineParams params = LineParamsFor(ParamsForScale(8)); // 16 km, 5 us pulse
    params.m_dFactor = 1.8;
    params.m_dLossDb = 20;
    params.m_dDcShare = 0.3;
    params.m_dDielectricShare = 0.1;
    LineSection cable = BuildLineProfile(params, 0).m_sections.at(0);
    cable.m_dLength = 16000 * tables::kReferenceFactor / 1.8;
    const double roundTripDb = 2 * 8.686 * std::fabs(GammaLength(cable, std::numbers::pi / 5e-6).real());
    EXPECT_NEAR(roundTripDb, 20, 0.4);
}

// The echo of an open returns to a source of 1.5 Z0, which reflects 0.2 of it
// back down the line: the ghost at twice the distance is the source's
// reflection times the open's times the echo. 0.001 as above.
TEST(LineModelPhysics, GhostIsTheSourceReflectionTimesTheEcho)
{
    LineParams params = Lossless();
    params.m_dSourceRatio = 1.5;
    params.m_faults = {Fault(FaultKind::Open, 187.5, 5000)};
    const LineWaveform wave = SynthesiseLine(params);
    const std::size_t at = SampleOf(187.5, 2.0);
    const double echo = wave.m_clean[at + kWidth / 2];
    const double ghost = wave.m_clean[2 * at + kWidth / 2];
    EXPECT_NEAR(ghost / echo, Reflection(150, 100) * Reflection(5000, 100), 1e-3);
    // The echo itself reaches the instrument through the mismatch: the
    // terminals see the returning wave plus its reflection, 1 + 0.2 times it.
    EXPECT_NEAR(echo / wave.m_clean[kWidth / 2], Reflection(5000, 100) * (1 + Reflection(150, 100)), 1e-3);
}

namespace {

// RMS of the noise in a file (its samples less the clean trace) over the
// second half of the record, and the correlation of neighbouring samples.
struct NoiseFigures
{
    double m_dRms = 0;
    double m_dNeighbours = 0;
};

NoiseFigures MeasureNoise(const LineWaveform& wave)
{
    std::vector<double> noise;
    for (std::size_t k = kTdrSampleCount / 2; k < kTdrSampleCount; ++k) {
        noise.push_back(static_cast<int8_t>(wave.m_bytes[kTdrHeaderBytes + k]) - wave.m_clean[k]);
    }
    double squares = 0;
    double products = 0;
    for (std::size_t i = 0; i < noise.size(); ++i) {
        squares += noise[i] * noise[i];
        products += i > 0 ? noise[i] * noise[i - 1] : 0.0;
    }
    return {std::sqrt(squares / static_cast<double>(noise.size())), products / squares};
}

} // namespace

// Gain goes in 2 dB steps; noise falls as the square root of the averages
// (16 of them: a quarter, with the rounding's 0.29 added in quadrature); a
// band limit of 20 MHz makes neighbours at 1.25 ns nearly equal without
// changing the RMS. 4000 samples estimate an RMS to about 1 %; the bounds
// allow several times that.
TEST(LineModelReceiver, GainStepsAndNoiseThatAveragingLowers)
{
    LineParams params = Lossless();
    const double launch = SynthesiseLine(params).m_clean[kWidth / 2];
    params.m_header.m_nGain = 3;
    EXPECT_NEAR(SynthesiseLine(params).m_clean[kWidth / 2] / launch, std::pow(10.0, 6.0 / 20), 1e-9);

    params.m_header.m_nGain = 0;
    params.m_dNoise = 8;
    params.m_header.m_nAveragingExponent = 0;
    const NoiseFigures single = MeasureNoise(SynthesiseLine(params));
    params.m_header.m_nAveragingExponent = 4;
    const NoiseFigures sixteen = MeasureNoise(SynthesiseLine(params));
    EXPECT_NEAR(single.m_dRms, 8, 0.3);
    EXPECT_NEAR(sixteen.m_dRms, std::sqrt(4 + 1 / 12.0), 0.1);
    EXPECT_NEAR(single.m_dNeighbours, 0, 0.05);

    params.m_header.m_nAveragingExponent = 0;
    params.m_dBandHz = 20e6;
    params.m_noiseShape = NoiseShape::Band;
    const NoiseFigures shaped = MeasureNoise(SynthesiseLine(params));
    EXPECT_NEAR(shaped.m_dRms, 8, 0.8); // fewer independent values: a looser bound
    EXPECT_GT(shaped.m_dNeighbours, 0.9);
}

// The random lines the scorer draws: every scale gives parameters that pass
// their own check, one to three faults inside the record with an end only
// last, the same bytes from the same seed, and faults both under 0 dB and
// over 40 dB of SNR across the set. Widened, the receiver's band lies within
// 100 MHz..1 GHz unless it was wider already.
TEST(LineModelDraw, EveryScaleDrawsALineItCanSynthesise)
{
    double weakest = 1e9;
    double strongest = -1e9;
    for (uint64_t seed = 0; seed < 36; ++seed) {
        const int scale = static_cast<int>(seed % 12);
        const LineParams params = DrawLineParams(seed, scale);
        ASSERT_EQ(CheckLineParams(params), "") << seed;
        LineParams wide = params;
        WidenReceiverBand(wide);
        EXPECT_EQ(CheckLineParams(wide), "") << seed;
        EXPECT_GE(wide.m_dBandHz, std::max(params.m_dBandHz, 1e8 * (1 - 1e-9))) << seed;
        EXPECT_LE(wide.m_dBandHz, std::max(params.m_dBandHz, 1e9 * (1 + 1e-9))) << seed;
        const LineWaveform wave = SynthesiseLine(params);
        ASSERT_EQ(wave.m_bytes.size(), kTdrFileSize);
        ASSERT_GE(wave.m_truth.size(), 1u);
        ASSERT_LE(wave.m_truth.size(), 3u);
        const double span = tables::kSampleStep[scale] / 100.0 * kTdrSampleCount;
        for (std::size_t i = 0; i < wave.m_truth.size(); ++i) {
            const FaultTruth& fault = wave.m_truth[i];
            EXPECT_LT(fault.m_dEndPosition, span) << seed;
            EXPECT_TRUE(i + 1 == wave.m_truth.size() ||
                        (fault.m_kind != FaultKind::Open && fault.m_kind != FaultKind::Short));
            weakest = std::min(weakest, fault.m_dSnrDb);
            strongest = std::max(strongest, fault.m_dSnrDb);
        }
        if (seed == 5) {
            EXPECT_EQ(SynthesiseLine(DrawLineParams(seed, scale)).m_bytes, wave.m_bytes);
        }
    }
    EXPECT_LT(weakest, 0);
    EXPECT_GT(strongest, 40);
}

// tdrsynth write --model line prints each fault's truth; the line's own
// options are refused on the echo model, which stays the default.
TEST(LineModelCommand, WritePrintsTheTruth)
{
    TempDir dir;
    const std::string file = (dir.Path() / "line.tdr").string();
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(RunTdrSynth({"write", file, "--model", "line", "--water", "300", "--open", "800"}, out, err), 0)
        << err.str();
    EXPECT_EQ(std::filesystem::file_size(file), kTdrFileSize);
    // The wet stretch of 60 m at 1.8 times the capacitance delays the open by
    // 60 x (sqrt 1.8 - 1) metres of position.
    EXPECT_NE(out.str().find("\nwater\t300.00\t360.00\t300.00\t380.50\t"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("\nopen\t800.00\t800.00\t820.50\t820.50\t"), std::string::npos) << out.str();

    std::ostringstream quiet;
    EXPECT_EQ(RunTdrSynth({"write", file, "--loss", "3"}, quiet, err), 2);
    EXPECT_NE(err.str().find("--loss applies to --model line only"), std::string::npos);
}
