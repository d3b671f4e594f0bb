#include "eventscore/Score.h"

#include "model/EventFinder.h"
#include "model/Format.h"
#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "tdrsynth/LineDraw.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

constexpr double kPositionPerNs = 0.1; // metres of position per nanosecond of pulse

// Draws of the set, from the synthesis's own generator.
class Draw
{
public:
    explicit Draw(uint64_t seed) : m_prng(seed) {}

    uint64_t Next() { return m_prng.Next(); }
    double Uniform(double low, double high) { return low + (high - low) * m_prng.Uniform(); }
    int Integer(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1)); }

private:
    Prng m_prng;
};

bool IsEnd(FaultKind kind) { return kind == FaultKind::Open || kind == FaultKind::Short; }

LineEventKind EventKindOf(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Open: return LineEventKind::Open;
    case FaultKind::Short: return LineEventKind::Short;
    case FaultKind::Water: return LineEventKind::Water;
    case FaultKind::Splice: return LineEventKind::Splice;
    case FaultKind::CableChange: return LineEventKind::Change;
    }
    return LineEventKind::Open;
}

// Length of a wet stretch at a position, as the synthesis makes it.
double WetLength(double position) { return std::clamp(0.03 * position, 2.0, 50.0); }

// Metres of position a fault's echo covers after its leading edge.
double EchoLength(FaultKind kind, double position, double width)
{
    switch (kind) {
    case FaultKind::Water: return width + WetLength(position);
    case FaultKind::CableChange: return 4 * width;
    default: return width;
    }
}

WaveformRecord Decode(const std::vector<uint8_t>& bytes)
{
    WaveformRecord record;
    DecodeWaveform(record, bytes);
    return record;
}

SynthParams Quiet(SynthParams params, std::size_t faults)
{
    params.m_dNoiseLevel = 0;
    params.m_faults.resize(faults);
    return params;
}

// The faults of one waveform: one to three, at least one pulse width plus the
// echo's own length apart, the first beyond the launch pulse's dead zone (six
// pulse widths, and a twentieth of the scale), all within nine tenths of the
// scale. An open or a short ends the line, so only the farthest may be one.
std::vector<SynthFault> DrawFaults(Draw& draw, const SynthParams& params)
{
    const double scale = tables::kScale[params.m_nScaleIndex];
    const double width = tables::kPulse[params.m_nPulseIndex] * kPositionPerNs;
    const double step = tables::kSampleStep[params.m_nScaleIndex] / 100;
    const double first = std::max(6 * width, 0.05 * scale);
    const double last = 0.9 * scale;
    const int count = draw.Integer(1, 3);
    std::vector<FaultKind> kinds;
    bool ended = false;
    for (int i = 0; i < count; ++i) {
        FaultKind kind = static_cast<FaultKind>(draw.Integer(0, kFaultKinds - 1));
        if (IsEnd(kind) && ended) {
            kind = static_cast<FaultKind>(draw.Integer(2, kFaultKinds - 1));
        }
        ended = ended || IsEnd(kind);
        kinds.push_back(kind);
    }
    // The end of the line goes last.
    std::stable_partition(kinds.begin(), kinds.end(), [](FaultKind k) { return !IsEnd(k); });

    std::vector<SynthFault> faults;
    double position = first;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const double room = last - position;
        if (room <= 0) {
            break;
        }
        // Spread what is left over the faults still to come.
        const double share = room / static_cast<double>(kinds.size() - i);
        const double p = position + draw.Uniform(0, share);
        faults.push_back({kinds[i], p * tables::kReferenceFactor / params.m_dFactor});
        position = p + EchoLength(kinds[i], p, width) + 2 * width + 40 * step;
    }
    if (faults.empty()) {
        faults.push_back({kinds.back(), first * tables::kReferenceFactor / params.m_dFactor});
    }
    return faults;
}

// Peak of a fault's echo on its own: the noiseless trace with the faults up to
// it less the one without it, over the stretch the echo covers.
double EchoPeak(const SynthParams& params, std::size_t index)
{
    const WaveformRecord with = Decode(SynthesiseTdr(Quiet(params, index + 1)));
    const WaveformRecord without = Decode(SynthesiseTdr(Quiet(params, index)));
    const SynthFault& fault = params.m_faults[index];
    const double step = with.m_dSampleStep;
    const double width = with.m_dPulse * kPositionPerNs;
    const double p = FaultPosition(params, fault.m_dDistance);
    const int a = std::max(0, static_cast<int>((p - width) / step));
    const int b = std::min(static_cast<int>(kTdrSampleCount),
                           static_cast<int>((p + EchoLength(fault.m_kind, p, width) + width) / step) + 1);
    double peak = 0;
    for (int k = a; k < b; ++k) {
        peak = std::max(peak, std::fabs(static_cast<double>(with.m_samples[k] - without.m_samples[k])));
    }
    return peak;
}

// Deviation of the noise actually in the file: the trace less its noiseless
// twin, where neither is held at the ends of the range.
double NoiseRms(const SynthParams& params, const WaveformRecord& noisy)
{
    const WaveformRecord clean = Decode(SynthesiseTdr(Quiet(params, params.m_faults.size())));
    double squares = 0;
    int n = 0;
    for (std::size_t k = 0; k < kTdrSampleCount; ++k) {
        const int c = clean.m_samples[k];
        if (c > -128 && c < 127) {
            const double d = noisy.m_samples[k] - c;
            squares += d * d;
            ++n;
        }
    }
    return n > 0 ? std::sqrt(squares / n) : 0;
}

std::string Percent(int part, int whole)
{
    return whole > 0 ? FormatFixed(100.0 * part / whole, 1) + "%" : std::string("-");
}

std::optional<uint64_t> ReadUnsigned(std::string_view text)
{
    uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// One --vary argument, NAME=FACTOR, into `vary`; false where the name is not
// known or the factor is not a number within 0.1..4.
bool ReadVariation(std::string_view text, LineVariation& vary)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::string_view name = text.substr(0, equals);
    const std::string_view number = text.substr(equals + 1);
    double factor = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), factor);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size() || !(factor >= 0.1) ||
        !(factor <= 4)) {
        return false;
    }
    const std::pair<std::string_view, double*> names[] = {
        {"loss", &vary.m_dLoss},     {"dc", &vary.m_dDcShare},    {"dielectric", &vary.m_dDielectricShare},
        {"rise", &vary.m_dRise},     {"source", &vary.m_dSource}, {"coupling", &vary.m_dCoupling},
        {"wander", &vary.m_dWander},
    };
    for (const auto& [known, value] : names) {
        if (name == known) {
            *value = factor;
            return true;
        }
    }
    return false;
}

// What the scorer holds true of one fault, on the waveform's axis (metres of
// position): where its discontinuity lies, the far side of a stretch, the
// window an event's leading edge must lie in to find it and the distance
// tolerance.
struct Target
{
    FaultKind m_kind = FaultKind::Open;
    double m_dPosition = 0;
    double m_dEndPosition = 0;
    bool m_bStretch = false; // a far side to place
    double m_dFrom = 0;
    double m_dTo = 0;
    double m_dTolerance = 0;
    double m_dSnr = 0;
};

// The echo model's faults: an event's leading edge finds one from half a
// pulse (or one tolerance, if larger) before it to the end of its echo.
std::vector<Target> EchoTargets(const SynthParams& params, const WaveformRecord& record,
                                const std::vector<double>& snr)
{
    std::vector<Target> targets;
    const double width = record.m_dPulse * kPositionPerNs;
    const double toPosition = params.m_dFactor / tables::kReferenceFactor;
    for (std::size_t f = 0; f < params.m_faults.size(); ++f) {
        const SynthFault& fault = params.m_faults[f];
        Target t;
        t.m_kind = fault.m_kind;
        t.m_dPosition = FaultPosition(params, fault.m_dDistance);
        t.m_dEndPosition = t.m_dPosition;
        t.m_dTolerance = DistanceTolerance(record.m_dScale, params.m_dFactor, fault.m_dDistance) * toPosition;
        t.m_dFrom = t.m_dPosition - std::max(t.m_dTolerance, 0.5 * width);
        t.m_dTo = t.m_dPosition + EchoLength(fault.m_kind, t.m_dPosition, width);
        t.m_dSnr = f < snr.size() ? snr[f] : 0;
        targets.push_back(t);
    }
    return targets;
}

// The line model's faults: the window runs from half a pulse (or one
// tolerance) before the discontinuity to a pulse width past a stretch's far
// side (two past a change, whose echo lingers).
std::vector<Target> LineTargets(const std::vector<FaultTruth>& truth, const WaveformRecord& record)
{
    std::vector<Target> targets;
    const double width = record.m_dPulse * kPositionPerNs;
    for (const FaultTruth& fault : truth) {
        Target t;
        t.m_kind = fault.m_kind;
        t.m_dPosition = fault.m_dPosition;
        t.m_dEndPosition = fault.m_dEndPosition;
        t.m_bStretch = fault.m_kind == FaultKind::Water;
        t.m_dTolerance = LineTolerance(record.m_dScale, record.m_dSampleStep, fault.m_dPosition);
        t.m_dFrom = t.m_dPosition - std::max(t.m_dTolerance, 0.5 * width);
        t.m_dTo = t.m_dEndPosition + (fault.m_kind == FaultKind::CableChange ? 2 : 1) * width;
        t.m_dSnr = fault.m_dSnrDb;
        targets.push_back(t);
    }
    return targets;
}

// Distance error of an event as the leading edge of a fault, in tolerances.
double DistanceError(const Target& t, const LineEvent& e)
{
    return std::fabs(e.m_dPosition - t.m_dPosition) / t.m_dTolerance;
}

bool OnEcho(const Target& t, const LineEvent& e)
{
    return e.m_dPosition >= t.m_dFrom && e.m_dPosition <= t.m_dTo;
}

// Echo windows of nearby faults overlap (a change's reaches well past it), so
// handing each fault the first free event along the line can cross two
// matches. A waveform has at most three faults: all assignments are tried.
std::vector<int> MatchTargets(const std::vector<Target>& targets, const std::vector<LineEvent>& events)
{
    const std::size_t faults = targets.size();
    std::vector<std::vector<std::pair<int, double>>> options(faults);
    for (std::size_t f = 0; f < faults; ++f) {
        for (std::size_t e = 0; e < events.size(); ++e) {
            if (OnEcho(targets[f], events[e])) {
                options[f].emplace_back(static_cast<int>(e), DistanceError(targets[f], events[e]));
            }
        }
    }
    std::vector<int> current(faults, -1);
    std::vector<int> best(faults, -1);
    int bestFound = -1;
    double bestError = 0;
    const auto search = [&](const auto& self, std::size_t f, int found, double error) -> void {
        if (f == faults) {
            if (found > bestFound || (found == bestFound && error < bestError)) {
                bestFound = found;
                bestError = error;
                best = current;
            }
            return;
        }
        for (const auto& [e, err] : options[f]) {
            if (std::find(current.begin(), current.begin() + static_cast<std::ptrdiff_t>(f), e) !=
                current.begin() + static_cast<std::ptrdiff_t>(f)) {
                continue;
            }
            current[f] = e;
            self(self, f + 1, found + 1, error + err);
        }
        current[f] = -1;
        self(self, f + 1, found, error);
    };
    search(search, 0, 0, 0.0);
    return best;
}

void DescribeCase(std::ostream& log, std::size_t index, const ScoreCase& c, const WaveformRecord& record,
                  const std::vector<Target>& targets, const std::vector<LineEvent>& events,
                  const std::vector<int>& match)
{
    const SynthParams& p = c.m_params;
    log << "waveform " << index << ": scale " << record.m_dScale << " pulse " << record.m_dPulse << " ns avg 2^" << p.m_nAveragingExponent
        << " gain " << p.m_nGain << " PR " << p.m_dFactor << " noise " << FormatFixed(p.m_dNoiseLevel, 2)
        << " step " << record.m_dSampleStep << "\n";
    for (std::size_t f = 0; f < targets.size(); ++f) {
        const Target& t = targets[f];
        log << "  fault " << FaultKindName(t.m_kind) << " at " << FormatFixed(t.m_dPosition / record.m_dSampleStep, 1);
        if (t.m_dEndPosition > t.m_dPosition) {
            log << " to " << FormatFixed(t.m_dEndPosition / record.m_dSampleStep, 1);
        }
        log << " samples, SNR " << FormatFixed(t.m_dSnr, 1) << " dB";
        if (match[f] < 0) {
            log << ", missed\n";
        } else {
            log << ", event " << match[f] + 1 << " off by "
                << FormatFixed(DistanceError(t, events[static_cast<std::size_t>(match[f])]), 2) << " tolerances\n";
        }
    }
    for (const LineEvent& e : events) {
        log << "  event " << e.m_nNumber << " " << LineEventKindName(e.m_kind) << " at " << FormatFixed(e.m_dSample, 1);
        if (e.m_bStretch) {
            log << " to " << FormatFixed(e.m_dEndSample, 1);
        }
        log << " samples, amp " << e.m_nAmplitude << (e.m_bGhost ? " ghost" : "") << "\n";
    }
}

const char* const kHelp =
    "Usage: eventscore [--model echo|line] [--noise white|band] [--noise-free] [--receiver pulse|wide]\n"
    "                  [--vary NAME=FACTOR] [--gain-up STEPS] [--count N] [--seed S] [--floor] [--verbose]\n"
    "Generates N synthetic waveforms (default 300; waveform i on scale index i mod 12)\n"
    "from seed S (default 1), with random pulse widths, averaging, gain, PR, noise level\n"
    "and one to three faults, runs the event finder on each and prints, per fault kind\n"
    "and signal-to-noise band, the share of faults found, of found ones of the right kind\n"
    "and within the distance tolerance, and the false events per waveform.\n"
    "Signal-to-noise ratio of a fault: 20 log10 of the peak of its echo alone (the\n"
    "noiseless trace with the fault less the one without it) over the RMS of the noise\n"
    "in the file (the trace less its noiseless twin), in dB. A waveform's band is its\n"
    "weakest fault's. Found: an event's leading edge lies within the fault's echo.\n"
    "False event: an event on no fault's echo that is not flagged as a ghost.\n"
    "Distance tolerance: one plot column (scale / 500 m of position) at the file's PR,\n"
    "or 0.2% of the distance, whichever is larger.\n"
    "A fault is found by at most one event and an event finds at most one fault: of\n"
    "the one-to-one assignments, the one finding the most faults with the smallest\n"
    "sum of distance errors.\n"
    "Aims from 10 dB up, per fault kind: 95% of opens, shorts and water found, 80% of\n"
    "splices and changes; 95% of the found faults of each kind within the distance\n"
    "tolerance; at most 0.1 false events per waveform (banded by its weakest fault).\n"
    "--model line draws the waveforms from the physical line model (a random line per\n"
    "waveform, its noise white or, with --noise band, shaped by the receiver's band;\n"
    "with --noise-free the same lines without noise or wander, each fault banded by\n"
    "its noisy file's SNR: what the finder misses on the line itself). Its receiver's\n"
    "band is 1..8 over the pulse width, or with --receiver wide 100 MHz..1 GHz\n"
    "whatever the pulse (the same lines otherwise). --vary NAME=FACTOR (again for\n"
    "more) changes every drawn line past the draw's ranges: loss, dc, dielectric\n"
    "(the shares of the loss), rise (the launch's), coupling or wander times FACTOR,\n"
    "source (its ratio to the line's impedance) to the power FACTOR; 0.1..4.\n"
    "--gain-up STEPS turns every line's gain up by STEPS 2 dB steps (to 15 at most),\n"
    "as a technician does to see a lossy line's far end: the near echoes clip.\n"
    "There the distance is the discontinuity's physical position and the tolerance\n"
    "is one plot column, 0.5% of the distance or two samples, whichever is largest;\n"
    "a wet stretch's far side counts within it too (end within tol). Aims from 10 dB\n"
    "up: 95% of opens, shorts, water and changes found within the tolerance, 85% of\n"
    "splices; the kind right for 90% of the opens and shorts found, 80% of the rest;\n"
    "at most 0.2 false events per waveform with white noise, 0.3 with band noise.\n"
    "Distance errors are also given in pulse widths: the median of the signed errors\n"
    "and the 90th percentile of their sizes.\n"
    "--floor (line model) reports the aims and passes on the floor the finder holds\n"
    "today below them: found within the tolerance 65% of each kind (splices 60%),\n"
    "the kind right for 85% of the opens and shorts and 75% of the rest, at most\n"
    "0.2 false events per waveform with white noise, 0.3 with band noise.\n"
    "--verbose describes each waveform with a miss, a false event or a distance\n"
    "beyond the tolerance, and which event found each fault.\n"
    "Exit status: 0 the aims (or with --floor the floor) hold, 1 they do not, 2 bad arguments.\n";

} // namespace

int SnrBand(double snrDb)
{
    int band = 0;
    while (band < kSnrBands - 1 && snrDb >= kSnrBandEdges[static_cast<std::size_t>(band)]) {
        ++band;
    }
    return band;
}

std::string SnrBandName(int band)
{
    if (band <= 0) {
        return "<" + FormatFixed(kSnrBandEdges.front(), 0);
    }
    if (band >= kSnrBands - 1) {
        return ">=" + FormatFixed(kSnrBandEdges.back(), 0);
    }
    return FormatFixed(kSnrBandEdges[static_cast<std::size_t>(band - 1)], 0) + "-" +
           FormatFixed(kSnrBandEdges[static_cast<std::size_t>(band)], 0);
}

double DistanceTolerance(double scale, double factor, double distance)
{
    const double column = scale / tables::kColumns * tables::kReferenceFactor / factor;
    return std::max(column, 0.002 * distance);
}

double LineTolerance(double scale, double sampleStep, double position)
{
    return std::max({scale / tables::kColumns, 0.005 * position, 2 * sampleStep});
}

std::vector<int> MatchFaults(const SynthParams& params, const WaveformRecord& record,
                             const std::vector<LineEvent>& events)
{
    return MatchTargets(EchoTargets(params, record, {}), events);
}

std::vector<int> MatchLineFaults(const std::vector<FaultTruth>& truth, const WaveformRecord& record,
                                 const std::vector<LineEvent>& events)
{
    return MatchTargets(LineTargets(truth, record), events);
}

std::vector<ScoreCase> GenerateScoreSet(const ScoreOptions& options)
{
    std::vector<ScoreCase> set;
    Draw draw(options.m_nSeed);
    if (options.m_model == ScoreModel::Line) {
        for (int i = 0; i < options.m_nCount; ++i) {
            LineParams line = DrawLineParams(draw.Next(), i % tables::kCount);
            line.m_noiseShape = options.m_noise;
            if (options.m_bWideReceiver) {
                WidenReceiverBand(line);
            }
            VaryLine(line, options.m_vary);
            line.m_header.m_nGain = std::min(kMostGain, line.m_header.m_nGain + options.m_nGainUp);
            LineWaveform wave = SynthesiseLine(line);
            if (wave.m_bytes.empty()) {
                continue;
            }
            ScoreCase c;
            c.m_params = line.m_header;
            for (const FaultTruth& t : wave.m_truth) {
                c.m_snr.push_back(t.m_dSnrDb);
            }
            c.m_truth = std::move(wave.m_truth);
            if (options.m_bNoiseFree) {
                line.m_dNoise = 0;
                line.m_dWander = 0;
                wave.m_bytes = SynthesiseLine(line).m_bytes;
                for (std::size_t f = 0; f < c.m_truth.size(); ++f) {
                    c.m_truth[f].m_dSnrDb = c.m_snr[f];
                }
            }
            c.m_bytes = std::move(wave.m_bytes);
            set.push_back(std::move(c));
        }
        return set;
    }
    for (int i = 0; i < options.m_nCount; ++i) {
        const int scale = i % tables::kCount;
        SynthParams params = ParamsForScale(scale);
        params.m_nPulseIndex = std::clamp(scale + draw.Integer(-2, 1), 0, tables::kCount - 1);
        params.m_nAveragingExponent = std::clamp(params.m_nAveragingExponent + draw.Integer(-3, 3), 0, 16);
        params.m_nGain = std::clamp(params.m_nGain + draw.Integer(-1, 1), 0, 15);
        params.m_dFactor = std::round(draw.Uniform(1.2, 2.4) * 1000) / 1000;
        params.m_dNoiseLevel = std::exp(draw.Uniform(std::log(0.5), std::log(12.0)));
        params.m_nSeed = draw.Next();
        params.m_faults = DrawFaults(draw, params);
        set.push_back({params, {}, {}, {}});
    }
    for (ScoreCase& c : set) {
        const WaveformRecord noisy = Decode(SynthesiseTdr(c.m_params));
        const double noise = std::max(NoiseRms(c.m_params, noisy), 1e-9);
        for (std::size_t f = 0; f < c.m_params.m_faults.size(); ++f) {
            c.m_snr.push_back(20 * std::log10(std::max(EchoPeak(c.m_params, f), 1e-9) / noise));
        }
    }
    return set;
}

ScoreTable ScoreSet(const std::vector<ScoreCase>& set, std::ostream* log)
{
    ScoreTable table;
    for (std::size_t index = 0; index < set.size(); ++index) {
        const ScoreCase& c = set[index];
        const bool line = !c.m_bytes.empty();
        if (line) {
            table.m_model = ScoreModel::Line;
        }
        bool flawed = false;
        const WaveformRecord record = Decode(line ? c.m_bytes : SynthesiseTdr(c.m_params));
        const std::vector<LineEvent> events = FindEvents(record, c.m_params.m_dFactor);
        const std::vector<Target> targets = line ? LineTargets(c.m_truth, record) : EchoTargets(c.m_params, record, c.m_snr);
        const std::vector<int> match = MatchTargets(targets, events);
        const double width = record.m_dPulse * kPositionPerNs;
        std::vector<char> used(events.size(), 0);
        double weakest = 1e9;
        for (std::size_t f = 0; f < targets.size(); ++f) {
            const Target& t = targets[f];
            KindTally& tally =
                table.m_kinds[static_cast<std::size_t>(t.m_kind)][static_cast<std::size_t>(SnrBand(t.m_dSnr))];
            ++tally.m_nFaults;
            weakest = std::min(weakest, t.m_dSnr);
            if (match[f] < 0) {
                flawed = true;
                continue;
            }
            const LineEvent& e = events[static_cast<std::size_t>(match[f])];
            used[static_cast<std::size_t>(match[f])] = 1;
            const double error = DistanceError(t, e);
            ++tally.m_nFound;
            tally.m_nKindRight += e.m_kind == EventKindOf(t.m_kind) ? 1 : 0;
            tally.m_nWithin += error <= 1 ? 1 : 0;
            tally.m_dWorstError = std::max(tally.m_dWorstError, error);
            if (width > 0) {
                tally.m_errors.push_back((e.m_dPosition - t.m_dPosition) / width);
            }
            if (t.m_bStretch) {
                ++tally.m_nStretches;
                const bool endWithin =
                    e.m_bStretch && std::fabs(e.m_dEndPosition - t.m_dEndPosition) <= t.m_dTolerance;
                tally.m_nEndWithin += endWithin ? 1 : 0;
                flawed = flawed || !endWithin;
            }
            flawed = flawed || error > 1 || (line && e.m_kind != EventKindOf(t.m_kind));
        }
        const auto band = static_cast<std::size_t>(SnrBand(weakest));
        ++table.m_waveforms[band];
        for (std::size_t e = 0; e < events.size(); ++e) {
            if (events[e].m_bGhost) {
                ++table.m_nGhosts;
            } else if (!used[e]) {
                // An event on no echo, or a second one on an echo already found.
                ++table.m_falseEvents[band];
                flawed = true;
            }
        }
        if (log != nullptr && flawed) {
            DescribeCase(*log, index, c, record, targets, events, match);
        }
    }
    return table;
}

namespace {

// The median of the signed errors and the 90th percentile of their sizes.
std::string ErrorSpread(std::vector<double> errors)
{
    if (errors.empty()) {
        return "-\t-";
    }
    std::sort(errors.begin(), errors.end());
    const double median = errors[errors.size() / 2];
    for (double& e : errors) {
        e = std::fabs(e);
    }
    std::sort(errors.begin(), errors.end());
    const double p90 = errors[std::min(errors.size() - 1, errors.size() * 9 / 10)];
    return FormatFixed(median, 2) + "\t" + FormatFixed(p90, 2);
}

std::string StretchEnds(const KindTally& t)
{
    return t.m_nStretches > 0 ? "\t" + Percent(t.m_nEndWithin, t.m_nStretches) : std::string("\t-");
}

} // namespace

std::string FormatScoreTable(const ScoreTable& table)
{
    std::string text = "kind\tSNR dB\tfaults\tfound\tkind right\twithin tol\tworst error (tol)\terror W median\t"
                       "|error| W p90\tend within tol\n";
    for (int k = 0; k < kFaultKinds; ++k) {
        for (int b = 0; b < kSnrBands; ++b) {
            const KindTally& t = table.m_kinds[static_cast<std::size_t>(k)][static_cast<std::size_t>(b)];
            if (t.m_nFaults == 0) {
                continue;
            }
            text += std::string(FaultKindName(static_cast<FaultKind>(k))) + "\t" + SnrBandName(b) + "\t" +
                    std::to_string(t.m_nFaults) + "\t" + Percent(t.m_nFound, t.m_nFaults) + "\t" +
                    Percent(t.m_nKindRight, t.m_nFound) + "\t" + Percent(t.m_nWithin, t.m_nFound) + "\t" +
                    FormatFixed(t.m_dWorstError, 2) + "\t" + ErrorSpread(t.m_errors) + StretchEnds(t) + "\n";
        }
    }
    text += "weakest SNR dB\twaveforms\tfalse events\tper waveform\n";
    int waveforms = 0;
    int falseEvents = 0;
    for (int b = 0; b < kSnrBands; ++b) {
        const auto u = static_cast<std::size_t>(b);
        waveforms += table.m_waveforms[u];
        falseEvents += table.m_falseEvents[u];
        if (table.m_waveforms[u] == 0) {
            continue;
        }
        text += SnrBandName(b) + "\t" + std::to_string(table.m_waveforms[u]) + "\t" +
                std::to_string(table.m_falseEvents[u]) + "\t" +
                FormatFixed(static_cast<double>(table.m_falseEvents[u]) / table.m_waveforms[u], 3) + "\n";
    }
    text += "all\t" + std::to_string(waveforms) + "\t" + std::to_string(falseEvents) + "\t" +
            (waveforms > 0 ? FormatFixed(static_cast<double>(falseEvents) / waveforms, 3) : std::string("-")) +
            "\n";
    text += "ghosts flagged\t" + std::to_string(table.m_nGhosts) + "\n";
    return text;
}

namespace {

// One fault kind's tallies over the bands the aims cover.
KindTally AimTally(const ScoreTable& table, int kind)
{
    KindTally sum;
    for (int b = SnrBand(kAimSnrDb); b < kSnrBands; ++b) {
        const KindTally& t = table.m_kinds[static_cast<std::size_t>(kind)][static_cast<std::size_t>(b)];
        sum.m_nFaults += t.m_nFaults;
        sum.m_nFound += t.m_nFound;
        sum.m_nKindRight += t.m_nKindRight;
        sum.m_nWithin += t.m_nWithin;
        sum.m_dWorstError = std::max(sum.m_dWorstError, t.m_dWorstError);
        sum.m_nStretches += t.m_nStretches;
        sum.m_nEndWithin += t.m_nEndWithin;
        sum.m_errors.insert(sum.m_errors.end(), t.m_errors.begin(), t.m_errors.end());
    }
    return sum;
}

double FoundAim(FaultKind kind)
{
    return kind == FaultKind::Splice || kind == FaultKind::CableChange ? kFoundAimMinor : kFoundAimMajor;
}

// The waveforms and their false events over the bands the aims cover.
std::pair<int, int> AimFalseEvents(const ScoreTable& table)
{
    int waveforms = 0;
    int falseEvents = 0;
    for (int b = SnrBand(kAimSnrDb); b < kSnrBands; ++b) {
        waveforms += table.m_waveforms[static_cast<std::size_t>(b)];
        falseEvents += table.m_falseEvents[static_cast<std::size_t>(b)];
    }
    return {waveforms, falseEvents};
}

std::string FalseEventMiss(const ScoreTable& table, double aim)
{
    const auto [waveforms, falseEvents] = AimFalseEvents(table);
    if (falseEvents <= aim * waveforms) {
        return {};
    }
    return std::to_string(falseEvents) + " false events on " + std::to_string(waveforms) +
           " waveforms from 10 dB up, aim at most " + FormatFixed(aim, 1) + " per waveform\n";
}

// The line model's aims: found within the tolerance as a share of all the
// faults of a kind, the kind as a share of those found.
std::string CheckLineAims(const ScoreTable& table)
{
    const LineMarks& marks = table.m_lineMarks;
    const std::string mark = std::string(marks.m_name) + " ";
    std::string misses;
    for (int k = 0; k < kFaultKinds; ++k) {
        const auto kind = static_cast<FaultKind>(k);
        const KindTally sum = AimTally(table, k);
        const double foundAim = kind == FaultKind::Splice ? marks.m_dWithinSplice : marks.m_dWithin;
        if (sum.m_nFaults > 0 && sum.m_nWithin < foundAim * sum.m_nFaults) {
            misses += std::string(FaultKindName(kind)) + ": " + std::to_string(sum.m_nWithin) + " of " +
                      std::to_string(sum.m_nFaults) + " found within the distance tolerance from 10 dB up, " + mark +
                      FormatFixed(foundAim * 100, 0) + "%\n";
        }
        const double kindAim = IsEnd(kind) ? marks.m_dKindEnd : marks.m_dKind;
        if (sum.m_nKindRight < kindAim * sum.m_nFound) {
            misses += std::string(FaultKindName(kind)) + ": " + std::to_string(sum.m_nKindRight) + " of " +
                      std::to_string(sum.m_nFound) + " found of the right kind, " + mark +
                      FormatFixed(kindAim * 100, 0) + "%\n";
        }
    }
    return misses + FalseEventMiss(table, table.m_noise == NoiseShape::Band ? marks.m_dFalseBand : marks.m_dFalseWhite);
}

} // namespace

std::string FormatAimSummary(const ScoreTable& table)
{
    std::string text = "from " + FormatFixed(kAimSnrDb, 0) +
                       " dB up\tfaults\tfound\tkind right\twithin tol\tfound within tol\terror W median\t"
                       "|error| W p90\tend within tol\n";
    for (int k = 0; k < kFaultKinds; ++k) {
        const KindTally t = AimTally(table, k);
        text += std::string(FaultKindName(static_cast<FaultKind>(k))) + "\t" + std::to_string(t.m_nFaults) + "\t" +
                Percent(t.m_nFound, t.m_nFaults) + "\t" + Percent(t.m_nKindRight, t.m_nFound) + "\t" +
                Percent(t.m_nWithin, t.m_nFound) + "\t" + Percent(t.m_nWithin, t.m_nFaults) + "\t" +
                ErrorSpread(t.m_errors) + StretchEnds(t) + "\n";
    }
    const auto [waveforms, falseEvents] = AimFalseEvents(table);
    text += "false events per waveform\t" +
            (waveforms > 0 ? FormatFixed(static_cast<double>(falseEvents) / waveforms, 3) : std::string("-")) + "\n";
    return text;
}

std::string CheckAims(const ScoreTable& table)
{
    if (table.m_model == ScoreModel::Line) {
        return CheckLineAims(table);
    }
    std::string misses;
    for (int k = 0; k < kFaultKinds; ++k) {
        const auto kind = static_cast<FaultKind>(k);
        const KindTally sum = AimTally(table, k);
        const double aim = FoundAim(kind);
        if (sum.m_nFaults > 0 && sum.m_nFound < aim * sum.m_nFaults) {
            misses += std::string(FaultKindName(kind)) + ": " + std::to_string(sum.m_nFound) + " of " +
                      std::to_string(sum.m_nFaults) + " found from 10 dB up, aim " + FormatFixed(aim * 100, 0) +
                      "%\n";
        }
        if (sum.m_nWithin < kWithinAim * sum.m_nFound) {
            misses += std::string(FaultKindName(kind)) + ": " + std::to_string(sum.m_nWithin) + " of " +
                      std::to_string(sum.m_nFound) + " found within the distance tolerance, aim " +
                      FormatFixed(kWithinAim * 100, 0) + "% (worst " + FormatFixed(sum.m_dWorstError, 2) +
                      " tolerances)\n";
        }
    }
    return misses + FalseEventMiss(table, kFalseAim);
}

int RunEventScore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    ScoreOptions options;
    bool verbose = false;
    bool floor = false;
    bool varied = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help") {
            out << kHelp;
            return 0;
        }
        if (arg == "--verbose") {
            verbose = true;
            continue;
        }
        if (arg == "--floor") {
            floor = true;
            continue;
        }
        if (arg == "--model" && i + 1 < args.size() && (args[i + 1] == "echo" || args[i + 1] == "line")) {
            options.m_model = args[++i] == "line" ? ScoreModel::Line : ScoreModel::Echo;
            continue;
        }
        if (arg == "--noise" && i + 1 < args.size() && (args[i + 1] == "white" || args[i + 1] == "band")) {
            options.m_noise = args[++i] == "band" ? NoiseShape::Band : NoiseShape::White;
            continue;
        }
        if (arg == "--receiver" && i + 1 < args.size() && (args[i + 1] == "pulse" || args[i + 1] == "wide")) {
            options.m_bWideReceiver = args[++i] == "wide";
            continue;
        }
        if (arg == "--vary" && i + 1 < args.size()) {
            if (!ReadVariation(args[++i], options.m_vary)) {
                err << "eventscore: --vary " << args[i]
                    << " is not NAME=FACTOR with a known name and 0.1..4\n"
                    << kHelp;
                return 2;
            }
            varied = true;
            continue;
        }
        if (arg == "--gain-up" && i + 1 < args.size()) {
            const std::optional<uint64_t> value = ReadUnsigned(args[++i]);
            if (!value || *value < 1 || *value > static_cast<uint64_t>(kMostGain)) {
                err << "eventscore: --gain-up " << args[i] << " is not a number of steps 1.." << kMostGain
                    << "\n"
                    << kHelp;
                return 2;
            }
            options.m_nGainUp = static_cast<int>(*value);
            varied = true;
            continue;
        }
        if (arg == "--noise-free") {
            options.m_bNoiseFree = true;
            continue;
        }
        if ((arg == "--count" || arg == "--seed") && i + 1 < args.size()) {
            const std::optional<uint64_t> value = ReadUnsigned(args[++i]);
            if (!value || (arg == "--count" && (*value < 1 || *value > 100000))) {
                err << "eventscore: " << arg << " " << args[i] << " is not a valid number\n" << kHelp;
                return 2;
            }
            if (arg == "--count") {
                options.m_nCount = static_cast<int>(*value);
            } else {
                options.m_nSeed = *value;
            }
            continue;
        }
        err << "eventscore: unexpected argument " << arg << "\n" << kHelp;
        return 2;
    }
    if ((options.m_bNoiseFree || options.m_bWideReceiver || varied) && options.m_model != ScoreModel::Line) {
        err << "eventscore: --noise-free, --receiver wide, --vary and --gain-up need --model line\n" << kHelp;
        return 2;
    }
    ScoreTable table = ScoreSet(GenerateScoreSet(options), verbose ? &out : nullptr);
    table.m_model = options.m_model;
    table.m_noise = options.m_noise;
    out << FormatScoreTable(table) << FormatAimSummary(table);
    if (floor && options.m_model == ScoreModel::Line) {
        // The aims as information, the floor as the pass mark.
        const std::string aims = CheckAims(table);
        out << (aims.empty() ? "aims met\n" : "aims missed:\n" + aims);
        table.m_lineMarks = kLineFloor;
        const std::string below = CheckAims(table);
        if (!below.empty()) {
            out << "below the floor:\n" << below;
            return 1;
        }
        out << "floor held\n";
        return 0;
    }
    const std::string misses = CheckAims(table);
    if (!misses.empty()) {
        out << "aims missed:\n" << misses;
        return 1;
    }
    out << "aims met\n";
    return 0;
}
