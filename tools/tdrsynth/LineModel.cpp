#include "tdrsynth/LineModel.h"

#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "tdrsynth/Fft.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

using Complex = std::complex<double>;

// The instrument's speed of light: V/2 = 150 / PR metres per microsecond.
constexpr double kLight = 3e8;
// Round-trip time per metre of position (PR 1.5): 2 x 1.5 / c, 10 ns.
constexpr double kSecondsPerPosition = 2 * tables::kReferenceFactor / kLight;
// Frequency at which a section's skin resistance is given.
constexpr double kSkinReference = 1e6;
// Points of the frequency-domain solution: at least four record lengths, so
// that what arrives up to three record lengths late (multiples, ghosts, slow
// tails) lands outside the record when the period wraps; more when the pulse
// is wider than the record. Never more than kLargestSolve.
constexpr std::size_t kSolveSize = 32768;
constexpr std::size_t kLargestSolve = std::size_t{1} << 21;
// Dielectric loss a wet stretch adds per unit of capacitance it gains.
constexpr double kWaterLossTangent = 0.02;
// Bins whose launch-and-receiver spectrum is this far below its peak are not
// solved: nothing there reaches the record.
constexpr double kNegligible = 1e-12;

constexpr double kTwoPi = 2 * std::numbers::pi;

double PulseSeconds(const LineParams& params)
{
    return tables::kPulse[params.m_header.m_nPulseIndex] * 1e-9;
}

double SampleSeconds(const LineParams& params)
{
    return tables::kSampleStep[params.m_header.m_nScaleIndex] / 100.0 * kSecondsPerPosition;
}

double PositionStep(const LineParams& params)
{
    return tables::kSampleStep[params.m_header.m_nScaleIndex] / 100.0;
}

// Series impedance and shunt admittance per metre of a section at omega:
// R + (1 + j) Rskin sqrt(f / 1 MHz) + j omega L, and G + j omega C with
// G = omega C tan(delta). L and C follow from the impedance and the velocity
// c / PR: L = Z0 / v, C = 1 / (Z0 v).
void PerMetre(const LineSection& section, double omega, Complex& z, Complex& y)
{
    const double v = kLight / section.m_dFactor;
    const double l = section.m_dImpedance / v;
    const double c = 1.0 / (section.m_dImpedance * v);
    const double skin = section.m_dSkin * std::sqrt(omega / (kTwoPi * kSkinReference));
    z = Complex(section.m_dResistance + skin, omega * l + skin);
    y = Complex(omega * c * section.m_dLossTangent, omega * c);
}

bool SameCable(const LineSection& a, const LineSection& b)
{
    return a.m_dImpedance == b.m_dImpedance && a.m_dFactor == b.m_dFactor &&
           a.m_dResistance == b.m_dResistance && a.m_dSkin == b.m_dSkin &&
           a.m_dLossTangent == b.m_dLossTangent;
}

// The cable of the parameters: its loss per metre set so that the round trip
// over the scale loses m_dLossDb at f0 = 1 / (2 x pulse width), shared between
// DC resistance, skin effect and dielectric by the low-loss formula
// alpha = R / (2 Z0) + G Z0 / 2.
LineSection Cable(const LineParams& params)
{
    LineSection cable;
    cable.m_dImpedance = params.m_dImpedance;
    cable.m_dFactor = params.m_dFactor;
    const double length =
        tables::kScale[params.m_header.m_nScaleIndex] * tables::kReferenceFactor / params.m_dFactor;
    const double f0 = 1.0 / (2.0 * PulseSeconds(params));
    const double alpha = params.m_dLossDb / (2.0 * length * 20.0 * std::log10(std::numbers::e));
    const double skinShare = std::max(0.0, 1.0 - params.m_dDcShare - params.m_dDielectricShare);
    cable.m_dResistance = 2.0 * params.m_dImpedance * alpha * params.m_dDcShare;
    cable.m_dSkin = 2.0 * params.m_dImpedance * alpha * skinShare * std::sqrt(kSkinReference / f0);
    const double v = kLight / params.m_dFactor;
    cable.m_dLossTangent = 2.0 * alpha * params.m_dDielectricShare * v / (kTwoPi * f0);
    return cable;
}

std::vector<LineFault> SortedFaults(const LineParams& params)
{
    std::vector<LineFault> faults = params.m_faults;
    std::stable_sort(faults.begin(), faults.end(),
                     [](const LineFault& a, const LineFault& b) { return a.m_dDistance < b.m_dDistance; });
    return faults;
}

bool EndsLine(FaultKind kind)
{
    return kind == FaultKind::Open || kind == FaultKind::Short;
}

// The profile of the first count faults and, when truth is given, where each
// of them lies in metres of cable and of position.
LineProfile Profile(const LineParams& params, std::size_t count, std::vector<FaultTruth>* truth)
{
    std::vector<LineFault> faults = SortedFaults(params);
    faults.resize(std::min(count, faults.size()));

    LineProfile profile;
    LineSection current = Cable(params); // the cable the line goes on in
    double laid = 0;                     // metres of cable so far
    double position = 0;                 // and their position
    double coil = 0;                     // a splice's coil, for the next section's start
    const auto lay = [&](LineSection section, double length) {
        section.m_dLength = std::max(length, 0.0);
        section.m_dSeriesInductance = coil;
        coil = 0;
        profile.m_sections.push_back(section);
        laid += section.m_dLength;
        position += section.m_dLength * section.m_dFactor / tables::kReferenceFactor;
    };
    for (const LineFault& fault : faults) {
        lay(current, fault.m_dDistance - laid);
        FaultTruth where;
        where.m_kind = fault.m_kind;
        where.m_dDistance = laid;
        where.m_dPosition = position;
        switch (fault.m_kind) {
        case FaultKind::Open:
        case FaultKind::Short:
            profile.m_termination = fault.m_dSize;
            break;
        case FaultKind::Water: {
            // Water raises the capacitance: the impedance falls and the wave
            // slows by its square root, and the wet dielectric loses more.
            LineSection wet = current;
            wet.m_dImpedance /= std::sqrt(fault.m_dSize);
            wet.m_dFactor *= std::sqrt(fault.m_dSize);
            wet.m_dLossTangent += kWaterLossTangent * (fault.m_dSize - 1);
            lay(wet, fault.m_dLength);
            break;
        }
        case FaultKind::Splice:
            if (fault.m_dLength > 0) {
                LineSection other = current;
                other.m_dImpedance *= fault.m_dSize;
                lay(other, fault.m_dLength);
            } else {
                coil = fault.m_dSize;
            }
            break;
        case FaultKind::CableChange:
            current.m_dImpedance *= fault.m_dSize;
            break;
        }
        where.m_dEnd = laid;
        where.m_dEndPosition = position;
        if (truth) {
            truth->push_back(where);
        }
        if (EndsLine(fault.m_kind)) {
            return profile;
        }
    }
    // The line goes on beyond the record into its own impedance: no end echo,
    // so the length of this last section does not matter.
    lay(current, 0);
    return profile;
}

// Where the launch's leading edge, as the receiver shows it, crosses half its
// height: a Gaussian edge of deviation sigma through the Butterworth low-pass,
// whose step response is 1 - e^(-at) (cos at + sin at) with a = omegaC / sqrt 2.
double HalfHeightDelay(double sigma, double omegaC)
{
    const double a = omegaC / std::numbers::sqrt2;
    const auto lowPassStep = [a](double t) {
        return t <= 0 ? 0.0 : 1.0 - std::exp(-a * t) * (std::cos(a * t) + std::sin(a * t));
    };
    constexpr int kPoints = 400;
    const auto edge = [&](double t) {
        double sum = 0;
        double weights = 0;
        for (int i = 0; i < kPoints; ++i) {
            const double u = -6.0 + 12.0 * (i + 0.5) / kPoints;
            const double w = std::exp(-0.5 * u * u);
            sum += w * lowPassStep(t - u * sigma);
            weights += w;
        }
        return sum / weights;
    };
    double low = -6.0 * sigma;
    double high = 6.0 * sigma + 10.0 / a;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (edge(mid) < 0.5 ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

// Second-order Butterworth low-pass of the receiver.
Complex BandLimit(double omega, double omegaC)
{
    const double x = omega / omegaC;
    return 1.0 / Complex(1.0 - x * x, std::numbers::sqrt2 * x);
}

// The instrument's side of the solution: the launch's open-circuit spectrum
// times the receiver's band limit, advanced so that the launch's 50 % point
// is time zero, for bins 0..N/2 of the solution.
struct FrontEnd
{
    std::size_t m_nSize = kSolveSize; // points of the solution
    std::size_t m_nLeadIn = 0;        // samples before time zero the AC coupling sees
    std::vector<Complex> m_spectrum;
    double m_dSource = 0;   // ohm
    double m_dBinOmega = 0; // rad/s between bins
};

FrontEnd MakeFrontEnd(const LineParams& params)
{
    FrontEnd front;
    const double dt = SampleSeconds(params);
    const double width = PulseSeconds(params);
    // A Gaussian edge rises from 10 to 90 % in 2.563 deviations. An edge
    // quicker than half a sample cannot show on the record.
    const double sigma = std::max(params.m_dRise * width / 2.563, 0.5 * dt);
    const double omegaC = kTwoPi * params.m_dBandHz;
    const double delay = HalfHeightDelay(sigma, omegaC);
    front.m_dSource = params.m_dSourceRatio * params.m_dImpedance;
    // The launch's leading edge, before time zero, and the launch itself.
    front.m_nLeadIn = static_cast<std::size_t>(std::ceil((6 * sigma + delay) / dt)) + 16;
    const double launch = (width + 6 * sigma) / dt;
    front.m_nSize = std::min(PowerOfTwoAtLeast(4 * std::max<std::size_t>(kTdrSampleCount + front.m_nLeadIn,
                                                                         static_cast<std::size_t>(launch))),
                             kLargestSolve);
    front.m_nLeadIn = std::min(front.m_nLeadIn, front.m_nSize / 2);
    const std::size_t size = front.m_nSize;
    front.m_dBinOmega = kTwoPi / (static_cast<double>(size) * dt);
    front.m_spectrum.resize(size / 2 + 1);
    for (std::size_t k = 0; k <= size / 2; ++k) {
        const double omega = front.m_dBinOmega * static_cast<double>(k);
        // A rectangle from 0 to the width, its edges Gaussian: twice the
        // launch height, since a matched line takes half the source's voltage.
        const double half = 0.5 * omega * width;
        const double sinc = half == 0 ? 1.0 : std::sin(half) / half;
        const double magnitude =
            2.0 * kLineLaunch * width * sinc * std::exp(-0.5 * omega * omega * sigma * sigma) / dt;
        front.m_spectrum[k] =
            magnitude * std::polar(1.0, -omega * (0.5 * width - delay)) * BandLimit(omega, omegaC);
    }
    front.m_spectrum[size / 2] = 0; // the Nyquist bin of a real signal
    return front;
}

// The receiver's input for the profile: the voltage at the line's input,
// band-limited, then AC coupled; samples 0..7999, before the gain.
std::vector<double> Response(const LineParams& params, const FrontEnd& front, const LineProfile& profile)
{
    double peak = 0;
    for (const Complex& value : front.m_spectrum) {
        peak = std::max(peak, std::abs(value));
    }
    const std::size_t size = front.m_nSize;
    std::vector<Complex> spectrum(size);
    for (std::size_t k = 0; k <= size / 2; ++k) {
        if (std::abs(front.m_spectrum[k]) <= kNegligible * peak) {
            continue;
        }
        // At DC the limit from just above it, where every section is defined.
        const double omega = front.m_dBinOmega * std::max(static_cast<double>(k), 1e-3);
        const Complex zin = InputImpedance(profile, omega);
        spectrum[k] = front.m_spectrum[k] * zin / (zin + front.m_dSource);
        if (k > 0 && k < size / 2) {
            spectrum[size - k] = std::conj(spectrum[k]);
        }
    }
    spectrum[0] = spectrum[0].real();
    Fft(spectrum, true);

    // AC coupling: a first-order high-pass, run from before time zero.
    std::vector<double> out(kTdrSampleCount);
    const double tau = params.m_dCoupling * PulseSeconds(params);
    const double follow = tau > 0 ? 1.0 - std::exp(-SampleSeconds(params) / tau) : 0.0;
    double low = 0;
    const std::size_t leadIn = front.m_nLeadIn;
    for (std::size_t i = 0; i < leadIn + kTdrSampleCount; ++i) {
        const std::size_t index = (size - leadIn + i) % size;
        const double x = spectrum[index].real();
        low += follow * (x - low);
        if (i >= leadIn) {
            out[i - leadIn] = x - low;
        }
    }
    return out;
}

// Noise of unit RMS, white or shaped by the receiver's band.
std::vector<double> UnitNoise(const LineParams& params, Prng& prng)
{
    if (params.m_noiseShape == NoiseShape::White) {
        std::vector<double> noise(kTdrSampleCount);
        for (double& value : noise) {
            value = prng.Normal();
        }
        return noise;
    }
    const std::size_t n = PowerOfTwoAtLeast(kTdrSampleCount);
    std::vector<Complex> data(n);
    for (Complex& value : data) {
        value = prng.Normal();
    }
    Fft(data, false);
    const double binOmega = kTwoPi / (static_cast<double>(n) * SampleSeconds(params));
    const double omegaC = kTwoPi * params.m_dBandHz;
    double power = 0;
    for (std::size_t k = 0; k < n; ++k) {
        const double bin = static_cast<double>(std::min(k, n - k));
        const double gain = std::abs(BandLimit(bin * binOmega, omegaC));
        data[k] *= gain;
        power += gain * gain;
    }
    Fft(data, true);
    const double scale = 1.0 / std::sqrt(power / static_cast<double>(n));
    std::vector<double> noise(kTdrSampleCount);
    for (std::size_t i = 0; i < kTdrSampleCount; ++i) {
        noise[i] = data[i].real() * scale;
    }
    return noise;
}

bool InRange(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

std::string CheckFault(const LineFault& fault)
{
    const std::string name =
        std::string(FaultKindName(fault.m_kind)) + " at " + FormatNumber(fault.m_dDistance) + " m: ";
    if (!InRange(fault.m_dLength, 0, 1e6)) {
        return name + "length must be 0..1000000 m";
    }
    switch (fault.m_kind) {
    case FaultKind::Open:
    case FaultKind::Short:
        return InRange(fault.m_dSize, 0, 1e9) ? "" : name + "termination must be 0..1e9 ohm";
    case FaultKind::Water:
        if (!(fault.m_dLength > 0)) {
            return name + "a wet stretch needs a length";
        }
        return InRange(fault.m_dSize, 1, 100) ? "" : name + "capacitance factor must be 1..100";
    case FaultKind::Splice:
        if (fault.m_dLength == 0) {
            return InRange(fault.m_dSize, 0, 1) ? "" : name + "coil must be 0..1 henry";
        }
        return InRange(fault.m_dSize, 0.01, 100) ? "" : name + "impedance ratio must be 0.01..100";
    case FaultKind::CableChange:
        return InRange(fault.m_dSize, 0.01, 100) ? "" : name + "impedance ratio must be 0.01..100";
    }
    return {};
}

} // namespace

std::complex<double> InputImpedance(const LineProfile& profile, double omega)
{
    // Nothing connected at all reads as an open.
    Complex load = profile.m_termination.value_or(std::numeric_limits<double>::max());
    bool matched = !profile.m_termination.has_value();
    const LineSection* previous = nullptr;
    Complex zc;
    Complex gamma;
    for (auto it = profile.m_sections.rbegin(); it != profile.m_sections.rend(); ++it) {
        // Sections of the same cable (either side of a splice or a wet
        // stretch) share their characteristic impedance and propagation.
        if (!previous || !SameCable(*previous, *it)) {
            Complex z;
            Complex y;
            PerMetre(*it, omega, z, y);
            zc = std::sqrt(z / y);
            gamma = zc * y; // sqrt(z y), on the branch with a positive real part
            previous = &*it;
        }
        // The load's reflection carried back to the section's start, where it
        // gives the lossy-line input impedance Zc (1 + r) / (1 - r).
        const Complex reflection = matched ? Complex(0) : (load - zc) / (load + zc);
        const Complex back = reflection * std::exp(-2.0 * gamma * it->m_dLength);
        Complex denominator = 1.0 - back;
        if (std::abs(denominator) < 1e-15) {
            denominator = 1e-15;
        }
        load = zc * (1.0 + back) / denominator + Complex(0, omega * it->m_dSeriesInductance);
        matched = false;
    }
    return load;
}

LineParams LineParamsFor(const SynthParams& header)
{
    LineParams params;
    params.m_header = header;
    params.m_header.m_faults.clear();
    params.m_dImpedance = header.m_nImpedance;
    params.m_dFactor = header.m_dFactor;
    return params;
}

LineFault DefaultLineFault(FaultKind kind, double distance, double impedance, double width)
{
    LineFault fault;
    fault.m_kind = kind;
    fault.m_dDistance = distance;
    switch (kind) {
    case FaultKind::Open:
        fault.m_dSize = 10000;
        break;
    case FaultKind::Short:
        fault.m_dSize = 0.5;
        break;
    case FaultKind::Water:
        // Three pulse lengths of cable at PR 1.5, or 3 % of the distance.
        fault.m_dSize = 1.8;
        fault.m_dLength = std::max(3 * width * kLight / (2 * tables::kReferenceFactor), 0.03 * distance);
        break;
    case FaultKind::Splice:
        // A coil whose own time constant L / 2Z0 is a twentieth of the pulse.
        fault.m_dSize = 0.1 * width * impedance;
        break;
    case FaultKind::CableChange:
        fault.m_dSize = 1.3;
        break;
    }
    return fault;
}

std::string CheckLineParams(const LineParams& params)
{
    SynthParams header = params.m_header;
    header.m_faults.clear();
    const std::string problem = CheckParams(header);
    if (!problem.empty()) {
        return problem;
    }
    if (!InRange(params.m_dImpedance, 1, 1000)) {
        return "impedance must be 1..1000 ohm";
    }
    if (!InRange(params.m_dFactor, 1.0, 5.0)) {
        return "PR of the cable must be 1.0..5.0";
    }
    if (!InRange(params.m_dLossDb, 0, 200)) {
        return "loss must be 0..200 dB";
    }
    if (!InRange(params.m_dDcShare, 0, 1) || !InRange(params.m_dDielectricShare, 0, 1) ||
        params.m_dDcShare + params.m_dDielectricShare > 1) {
        return "DC and dielectric shares of the loss must be 0..1 and together at most 1";
    }
    if (!InRange(params.m_dSourceRatio, 0.01, 100)) {
        return "source impedance ratio must be 0.01..100";
    }
    if (!InRange(params.m_dRise, 0, 1)) {
        return "rise time must be 0..1 pulse widths";
    }
    // A receiver much narrower than the pulse's own band would not show the pulse.
    const double narrowest = 0.1 / PulseSeconds(params);
    if (!InRange(params.m_dBandHz, narrowest, 1e12)) {
        return "receiver band must be " + FormatNumber(narrowest / 1e6) + " MHz..1 THz for this pulse";
    }
    if (!InRange(params.m_dCoupling, 0, 1e6)) {
        return "AC coupling must be 0..1000000 pulse widths";
    }
    if (!InRange(params.m_dNoise, 0, 1000)) {
        return "noise must be 0..1000";
    }
    if (!InRange(params.m_dWander, 0, 100)) {
        return "wander must be 0..100";
    }
    const double span = PositionStep(params) * static_cast<double>(kTdrSampleCount);
    const std::vector<LineFault> faults = SortedFaults(params);
    double free = 0; // where the previous fault's stretch ends
    for (std::size_t i = 0; i < faults.size(); ++i) {
        const LineFault& fault = faults[i];
        const std::string name =
            std::string(FaultKindName(fault.m_kind)) + " at " + FormatNumber(fault.m_dDistance) + " m";
        const std::string why = CheckFault(fault);
        if (!why.empty()) {
            return why;
        }
        if (!InRange(fault.m_dDistance, 1e-9, 1e9) ||
            fault.m_dDistance * params.m_dFactor / tables::kReferenceFactor >= span) {
            return name + " lies outside the record (0.." +
                   FormatNumber(span * tables::kReferenceFactor / params.m_dFactor, 1) + " m at this PR)";
        }
        if (i > 0 && fault.m_dDistance <= free) {
            return name + " lies within or at the fault before it";
        }
        if (EndsLine(fault.m_kind) && i + 1 < faults.size()) {
            return name + " ends the line, yet a fault follows it";
        }
        free = fault.m_dDistance + fault.m_dLength;
    }
    return {};
}

LineProfile BuildLineProfile(const LineParams& params, std::size_t faultCount)
{
    return Profile(params, faultCount, nullptr);
}

LineWaveform SynthesiseLine(const LineParams& params)
{
    if (!CheckLineParams(params).empty()) {
        return {};
    }
    LineWaveform wave;
    SynthParams header = params.m_header;
    header.m_nImpedance = static_cast<int>(std::lround(params.m_dImpedance));
    wave.m_bytes = TdrHeaderBytes(header);

    const FrontEnd front = MakeFrontEnd(params);
    const std::size_t faults = params.m_faults.size();
    const LineProfile line = Profile(params, faults, &wave.m_truth);
    const double gain = std::pow(10.0, 2.0 * header.m_nGain / 20.0);
    const std::vector<double> signal = Response(params, front, line);

    Prng prng(header.m_nSeed);
    // Baseline wander: two slow sines across the record, phases from the seed.
    const double cycles1 = 0.5 + prng.Uniform();
    const double cycles2 = 2.0 + 2.0 * prng.Uniform();
    const double phase1 = kTwoPi * prng.Uniform();
    const double phase2 = kTwoPi * prng.Uniform();
    const std::vector<double> noise = UnitNoise(params, prng);
    const double noiseRms = params.m_dNoise * gain / std::sqrt(std::ldexp(1.0, header.m_nAveragingExponent));

    std::vector<double> wander(kTdrSampleCount);
    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        const double u = static_cast<double>(k) / static_cast<double>(kTdrSampleCount);
        wander[k] = params.m_dWander *
                    (std::sin(kTwoPi * cycles1 * u + phase1) + 0.6 * std::sin(kTwoPi * cycles2 * u + phase2));
    }
    // What the receiver shows of an input, noise aside.
    const auto shown = [&](const std::vector<double>& input, std::size_t k) {
        return gain * input[k] + wander[k];
    };

    wave.m_clean.resize(kTdrSampleCount);
    std::vector<int> samples(kTdrSampleCount);
    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        wave.m_clean[k] = shown(signal, k);
        samples[k] =
            static_cast<int>(std::clamp(std::lround(wave.m_clean[k] + noiseRms * noise[k]), -128L, 127L));
        wave.m_bytes[kTdrHeaderBytes + k] = static_cast<uint8_t>(static_cast<int8_t>(samples[k]));
    }

    // The noise actually in the file, where the clean trace is not clipped.
    double squares = 0;
    int counted = 0;
    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        if (wave.m_clean[k] > -128 && wave.m_clean[k] < 127) {
            const double d = samples[k] - wave.m_clean[k];
            squares += d * d;
            ++counted;
        }
    }
    const double fileNoise = counted > 0 ? std::sqrt(squares / counted) : 0.0;

    // Each fault's own echo: the line with it less the line without it (the
    // faults nearer the instrument kept), from a pulse width before it on, as
    // far as the 8-bit range can show it.
    const double step = PositionStep(params);
    const double width = PulseSeconds(params) / kSecondsPerPosition;
    std::vector<double> before;
    if (!wave.m_truth.empty()) {
        before = Response(params, front, Profile(params, 0, nullptr));
    }
    for (std::size_t i = 0; i < wave.m_truth.size(); ++i) {
        std::vector<double> with =
            i + 1 == faults ? signal : Response(params, front, Profile(params, i + 1, nullptr));
        const auto first = static_cast<std::size_t>(
            std::clamp((wave.m_truth[i].m_dPosition - width) / step, 0.0, double(kTdrSampleCount)));
        double peak = 0;
        for (std::size_t k = first; k < kTdrSampleCount; ++k) {
            const auto clip = [](double value) { return std::clamp(value, -128.0, 127.0); };
            peak = std::max(peak, std::fabs(clip(shown(with, k)) - clip(shown(before, k))));
        }
        wave.m_truth[i].m_dSnrDb =
            fileNoise > 0 ? 20 * std::log10(peak / fileNoise) : std::numeric_limits<double>::infinity();
        before = std::move(with);
    }
    return wave;
}
