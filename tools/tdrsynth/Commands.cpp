#include "tdrsynth/Commands.h"

#include "model/PrivateProfile.h"
#include "model/ScaleTables.h"
#include "model/WaveformRecord.h"
#include "tdrsynth/CableSamples.h"
#include "tdrsynth/LineDraw.h"
#include "tdrsynth/LineModel.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>
#include <utility>

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: tdrsynth samples FOLDER   write the built-in sample waveforms into FOLDER\n"
    "       tdrsynth write FILE [options]\n"
    "       tdrsynth info FOLDER      list the .tdr files of FOLDER with their headers\n"
    "       tdrsynth cables FILE      write the starter velocity-factor library, unless FILE exists\n"
    "options of write (distances in metres at the recording's PR):\n"
    "  --scale I        scale index 0..11 (62.5 m .. 128 km), default 4 (1 km)\n"
    "  --pulse I        pulse index 0..11, default the scale's index\n"
    "  --avg N          averaging exponent, 2^N averages\n"
    "  --gain N         receiver gain 0..15\n"
    "  --impedance Z    line impedance in ohm, default 100\n"
    "  --pr X           PR of the recording, default 1.5\n"
    "  --delay X        delay (stored as X * 0.2, rounded)\n"
    "  --threshold N    threshold, default 60\n"
    "  --method M       arc, pulse or ware (or D, I, K, or a number)\n"
    "  --seed N         noise seed, default 1\n"
    "  --open M  --short M  --water M  --splice M  --change M\n"
    "                   a fault at M metres; each may be given several times\n"
    "  --model NAME     echo (the default) or line: a physical model of lossy line\n"
    "                   sections solved in the frequency domain; it prints each fault's\n"
    "                   truth: kind, distance, a stretch's far end, position, SNR\n"
    "options of write --model line:\n"
    "  --loss DB        round-trip loss over the scale at 1/(2 x pulse width), default 12\n"
    "  --dc SHARE       part of that loss from DC resistance, 0..1, default 0.2\n"
    "  --dielectric SHARE  part from the dielectric, default 0.1; skin effect the rest\n"
    "  --source RATIO   source impedance over the line's, default 1\n"
    "  --rise WIDTHS    launch edge 10..90 % in pulse widths, default 0.15\n"
    "  --band MHZ       receiver band, default 1000\n"
    "  --coupling WIDTHS  AC coupling time constant in pulse widths (0: none), default 200\n"
    "  --noise RMS      noise at gain 0 for one acquisition, default 1\n"
    "  --noise-shape S  white or band (shaped by the receiver's band), default white\n"
    "  --wander A       baseline wander in sample units, default 1\n"
    "  --draw SEED      a random line and faults for the scale (only --scale beside it)\n";

template <typename T> std::optional<T> ParseNumber(std::string_view text)
{
    T value{};
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text.front() == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

// Reads one UTF-8 code point at text[i], advancing i. A byte that starts no
// valid sequence is taken as a code point of its own value.
char32_t NextCodePoint(const std::string& text, std::size_t& i)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return lead;
    }
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return cp;
}

char32_t FoldCase(char32_t cp)
{
    if (cp >= U'A' && cp <= U'Z') {
        return cp + 0x20;
    }
    if (cp >= 0x0410 && cp <= 0x042F) { // А..Я
        return cp + 0x20;
    }
    if (cp >= 0x0400 && cp <= 0x040F) { // Ѐ..Џ, Ё among them
        return cp + 0x50;
    }
    return cp;
}

std::size_t DisplayWidth(const std::string& text)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        NextCodePoint(text, i);
        ++width;
    }
    return width;
}

std::string PadRight(const std::string& text, std::size_t width)
{
    const std::size_t have = DisplayWidth(text);
    return have >= width ? text : text + std::string(width - have, ' ');
}

std::string PadLeft(const std::string& text, std::size_t width)
{
    const std::size_t have = DisplayWidth(text);
    return have >= width ? text : std::string(width - have, ' ') + text;
}

bool FolderHoldsTdrFiles(const fs::path& folder)
{
    return !ListTdrFiles(folder).empty();
}

bool WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    return WriteFileAtomically(path,
                               std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

int CommandSamples(const fs::path& folder, std::ostream& out, std::ostream& err)
{
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (fs::exists(status) && !fs::is_directory(status)) {
        err << "tdrsynth: " << folder.string() << " is not a folder\n";
        return 1;
    }
    if (FolderHoldsTdrFiles(folder)) {
        out << folder.string() << " already holds .tdr files; nothing written\n";
        return 0;
    }
    fs::create_directories(folder, ec);
    if (ec) {
        err << "tdrsynth: cannot create " << folder.string() << ": " << ec.message() << "\n";
        return 1;
    }
    int failures = 0;
    for (const SampleWaveform& sample : BuiltInSamples()) {
        const fs::path path = folder / sample.m_strFileName;
        if (!WriteBytes(path, SynthesiseTdr(sample.m_params))) {
            err << "tdrsynth: cannot write " << path.string() << "\n";
            ++failures;
            continue;
        }
        out << "wrote " << path.string() << "  (" << sample.m_strShows << ")\n";
    }
    return failures == 0 ? 0 : 1;
}

int UsageError(std::ostream& err, const std::string& message)
{
    err << "tdrsynth: " << message << "\n" << kUsage;
    return 2;
}

// The options of the line model that take a number, and the field each sets.
double* LineField(LineParams& params, const std::string& name)
{
    if (name == "loss") {
        return &params.m_dLossDb;
    }
    if (name == "dc") {
        return &params.m_dDcShare;
    }
    if (name == "dielectric") {
        return &params.m_dDielectricShare;
    }
    if (name == "source") {
        return &params.m_dSourceRatio;
    }
    if (name == "rise") {
        return &params.m_dRise;
    }
    if (name == "band") {
        return &params.m_dBandHz;
    }
    if (name == "coupling") {
        return &params.m_dCoupling;
    }
    if (name == "noise") {
        return &params.m_dNoise;
    }
    if (name == "wander") {
        return &params.m_dWander;
    }
    return nullptr;
}

bool IsLineOption(const std::string& name)
{
    LineParams probe;
    return name == "noise-shape" || LineField(probe, name) != nullptr;
}

bool ParseNoiseShape(const std::string& text, NoiseShape& shape)
{
    if (text != "white" && text != "band") {
        return false;
    }
    shape = text == "white" ? NoiseShape::White : NoiseShape::Band;
    return true;
}

// Writes a waveform of the line model and prints its truth, one fault a row.
int WriteLine(const fs::path& path, const LineParams& params, std::ostream& out, std::ostream& err)
{
    const std::string problem = CheckLineParams(params);
    if (!problem.empty()) {
        return UsageError(err, problem);
    }
    const LineWaveform wave = SynthesiseLine(params);
    if (!WriteBytes(path, wave.m_bytes)) {
        err << "tdrsynth: cannot write " << path.string() << "\n";
        return 1;
    }
    out << "wrote " << path.string() << "\n";
    out << "kind\tdistance m\tend m\tposition m\tend position m\tSNR dB\n";
    for (const FaultTruth& fault : wave.m_truth) {
        out << FaultKindName(fault.m_kind) << "\t" << FormatNumber(fault.m_dDistance, 2) << "\t"
            << FormatNumber(fault.m_dEnd, 2) << "\t" << FormatNumber(fault.m_dPosition, 2) << "\t"
            << FormatNumber(fault.m_dEndPosition, 2) << "\t" << FormatNumber(fault.m_dSnrDb, 1) << "\n";
    }
    return 0;
}

int CommandWrite(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    // args[0] is "write", args[1] the file; options come in name/value pairs.
    std::vector<std::pair<std::string, std::string>> options;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        if (args[i].rfind("--", 0) != 0) {
            return UsageError(err, "unexpected argument '" + args[i] + "'");
        }
        if (i + 1 >= args.size()) {
            return UsageError(err, "option " + args[i] + " needs a value");
        }
        options.emplace_back(args[i].substr(2), args[i + 1]);
    }

    // The scale picks the defaults and the model which options apply, so they
    // are read before everything else.
    int scale = 4;
    bool line = false;
    std::optional<uint64_t> draw;
    for (const auto& [name, value] : options) {
        if (name == "model") {
            if (value != "echo" && value != "line") {
                return UsageError(err, "--model is echo or line, not '" + value + "'");
            }
            line = value == "line";
        } else if (name == "draw") {
            draw = ParseNumber<uint64_t>(value);
            if (!draw) {
                return UsageError(err, "bad value '" + value + "' for --draw");
            }
        } else if (name == "scale") {
            const auto index = ParseNumber<int>(value);
            if (!index) {
                return UsageError(err, "--scale needs an index 0..11, not '" + value + "'");
            }
            scale = *index;
        }
    }
    if (scale < 0 || scale > 11) {
        return UsageError(err, "scale index must be 0..11");
    }
    if (draw) {
        if (!line) {
            return UsageError(err, "--draw needs --model line");
        }
        for (const auto& [name, value] : options) {
            if (name != "model" && name != "draw" && name != "scale") {
                return UsageError(err, "--draw takes only --scale beside it, not --" + name);
            }
        }
        return WriteLine(args[1], DrawLineParams(*draw, scale), out, err);
    }
    SynthParams params = ParamsForScale(scale);
    LineParams lineParams;

    for (const auto& [name, value] : options) {
        const auto asInt = [&](int& field) {
            const auto number = ParseNumber<int>(value);
            if (number) {
                field = *number;
            }
            return number.has_value();
        };
        const auto asDouble = [&](double& field) {
            const auto number = ParseNumber<double>(value);
            if (number) {
                field = *number;
            }
            return number.has_value();
        };
        bool ok = true;
        if (name == "scale" || name == "model") {
            continue;
        } else if (IsLineOption(name)) {
            if (!line) {
                return UsageError(err, "--" + name + " applies to --model line only");
            }
            ok = name == "noise-shape" ? ParseNoiseShape(value, lineParams.m_noiseShape)
                                       : asDouble(*LineField(lineParams, name));
            if (name == "band") {
                lineParams.m_dBandHz *= 1e6; // given in MHz
            }
        } else if (name == "pulse") {
            ok = asInt(params.m_nPulseIndex);
        } else if (name == "avg") {
            ok = asInt(params.m_nAveragingExponent);
        } else if (name == "gain") {
            ok = asInt(params.m_nGain);
        } else if (name == "impedance") {
            ok = asInt(params.m_nImpedance);
        } else if (name == "threshold") {
            ok = asInt(params.m_nThreshold);
        } else if (name == "pr") {
            ok = asDouble(params.m_dFactor);
        } else if (name == "delay") {
            ok = asDouble(params.m_dDelay);
        } else if (name == "method") {
            const auto method = ParseMethod(value);
            ok = method.has_value();
            params.m_nMethod = method.value_or(0);
        } else if (name == "seed") {
            const auto seed = ParseNumber<uint64_t>(value);
            ok = seed.has_value();
            params.m_nSeed = seed.value_or(0);
        } else if (const auto kind = ParseFaultKind(name)) {
            SynthFault fault;
            fault.m_kind = *kind;
            ok = asDouble(fault.m_dDistance);
            params.m_faults.push_back(fault);
        } else {
            return UsageError(err, "unknown option --" + name);
        }
        if (!ok) {
            return UsageError(err, "bad value '" + value + "' for --" + name);
        }
    }

    if (line) {
        // The line options were read into lineParams, the header into params.
        LineParams full = lineParams;
        const LineParams plain = LineParamsFor(params);
        full.m_header = plain.m_header;
        full.m_dImpedance = plain.m_dImpedance;
        full.m_dFactor = plain.m_dFactor;
        const double width =
            tables::kPulse[static_cast<std::size_t>(std::clamp(params.m_nPulseIndex, 0, 11))] * 1e-9;
        for (const SynthFault& fault : params.m_faults) {
            full.m_faults.push_back(
                DefaultLineFault(fault.m_kind, fault.m_dDistance, full.m_dImpedance, width));
        }
        return WriteLine(args[1], full, out, err);
    }
    const std::string problem = CheckParams(params);
    if (!problem.empty()) {
        return UsageError(err, problem);
    }
    const fs::path path = args[1];
    if (!WriteBytes(path, SynthesiseTdr(params))) {
        err << "tdrsynth: cannot write " << path.string() << "\n";
        return 1;
    }
    out << "wrote " << path.string() << "\n";
    return 0;
}

int CommandInfo(const fs::path& folder, std::ostream& out, std::ostream& err)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        err << "tdrsynth: no folder " << folder.string() << "\n";
        return 1;
    }
    const std::vector<fs::path> files = ListTdrFiles(folder);
    if (files.empty()) {
        out << "no .tdr files in " << folder.string() << "\n";
        return 0;
    }

    constexpr std::size_t kColumns = 11;
    const std::array<std::string, kColumns> titles = {"name",      "scale m", "pulse ns", "averages",
                                                      "gain",      "ohm",     "PR",       "delay",
                                                      "threshold", "method",  "size"};
    std::vector<std::array<std::string, kColumns>> rows;
    std::vector<bool> decoded;
    for (const fs::path& file : files) {
        std::array<std::string, kColumns> row;
        row[0] = file.filename().string();
        const uintmax_t size = fs::file_size(file, ec);
        std::optional<TdrHeader> header;
        if (!ec && size == kTdrFileSize) {
            std::array<uint8_t, kTdrDecodedHeaderBytes> head{};
            std::ifstream in(file, std::ios::binary);
            if (in.read(reinterpret_cast<char*>(head.data()), head.size())) {
                header = DecodeTdrHeader(head);
            }
        }
        if (!header) {
            const std::string why = ec                     ? "unreadable"
                                    : size == kTdrFileSize ? "bad header"
                                                           : std::to_string(size) + " bytes";
            row[1] = "not a waveform (" + why + ")";
            rows.push_back(row);
            decoded.push_back(false);
            continue;
        }
        const char* method = MethodText(header->m_nMethod);
        row[1] = FormatNumber(header->m_dScale);
        row[2] = FormatNumber(header->m_dPulse);
        row[3] = std::to_string(header->m_nAverages);
        row[4] = std::to_string(header->m_nGain);
        row[5] = std::to_string(header->m_nImpedance);
        row[6] = FormatNumber(header->m_dFileFactor, 3);
        row[7] = FormatNumber(header->m_dDelay, 1);
        row[8] = std::to_string(header->m_nThreshold);
        row[9] = *method ? method : std::to_string(header->m_nMethod);
        row[10] = "ok";
        rows.push_back(row);
        decoded.push_back(true);
    }

    std::array<std::size_t, kColumns> widths{};
    for (std::size_t c = 0; c < kColumns; ++c) {
        widths[c] = DisplayWidth(titles[c]);
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t last = decoded[r] ? kColumns : 1;
        for (std::size_t c = 0; c < last; ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(rows[r][c]));
        }
    }
    const auto printRow = [&](const std::array<std::string, kColumns>& row, bool full) {
        std::string line = PadRight(row[0], widths[0]);
        if (!full) {
            line += "  " + row[1];
        } else {
            for (std::size_t c = 1; c < kColumns; ++c) {
                // Numbers align right, texts (method, size) left.
                line += "  ";
                line += c >= 9 ? PadRight(row[c], widths[c]) : PadLeft(row[c], widths[c]);
            }
            while (!line.empty() && line.back() == ' ') {
                line.pop_back();
            }
        }
        out << line << "\n";
    };
    printRow(titles, true);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        printRow(rows[r], decoded[r]);
    }
    return 0;
}

SynthFault Fault(FaultKind kind, double distance)
{
    SynthFault fault;
    fault.m_kind = kind;
    fault.m_dDistance = distance;
    return fault;
}

SampleWaveform Sample(std::string name, std::string shows, int scale, uint64_t seed,
                      std::vector<SynthFault> faults, int impedance)
{
    SampleWaveform sample;
    sample.m_strFileName = std::move(name);
    sample.m_strShows = std::move(shows);
    sample.m_params = ParamsForScale(scale);
    sample.m_params.m_nSeed = seed;
    sample.m_params.m_faults = std::move(faults);
    sample.m_params.m_nImpedance = impedance;
    return sample;
}

} // namespace

std::vector<SampleWaveform> BuiltInSamples()
{
    using enum FaultKind;
    std::vector<SampleWaveform> samples;
    samples.push_back(Sample("open_end_62m.tdr", "coax, open end at 51 m", 0, 101, {Fault(Open, 51)}, 50));
    samples.push_back(Sample("short_125m.tdr", "splice at 40 m, short at 97 m", 1, 102,
                             {Fault(Splice, 40), Fault(Short, 97)}, 75));
    samples.push_back(
        Sample("open_end_250m.tdr", "open end at 212 m, delay 10", 2, 103, {Fault(Open, 212)}, 100));
    samples.back().m_params.m_dDelay = 10;
    samples.push_back(Sample("noisy_250m_1avg.tdr", "one acquisition only: open end at 180 m in heavy noise",
                             2, 104, {Fault(Open, 180)}, 100));
    samples.back().m_params.m_nAveragingExponent = 0;
    samples.back().m_params.m_nThreshold = 70;
    samples.push_back(Sample("water_500m.tdr", "water ingress at 310 m, open end at 455 m", 3, 105,
                             {Fault(Water, 310), Fault(Open, 455)}, 120));
    samples.push_back(
        Sample("matched_500m.tdr", "line terminated in its impedance: launch pulse only", 3, 106, {}, 100));
    samples.push_back(
        Sample("splices_1km.tdr", "splices at 240, 510 and 760 m, open end at 930 m, ware", 4, 107,
               {Fault(Splice, 240), Fault(Splice, 510), Fault(Splice, 760), Fault(Open, 930)}, 100));
    samples.back().m_params.m_nMethod = kMethodWare;
    samples.push_back(Sample("open_end_1km_pr1_45.tdr", "recorded at PR 1.45: open end at 870 m", 4, 108,
                             {Fault(Open, 870)}, 100));
    samples.back().m_params.m_dFactor = 1.45;
    samples.push_back(Sample("cable_change_2km.tdr",
                             "change to a cable of higher impedance at 640 m, open end at 1780 m", 5, 109,
                             {Fault(CableChange, 640), Fault(Open, 1780)}, 120));
    samples.push_back(Sample("обрыв_2км.tdr", "break at 1375 m after a splice at 600 m (Cyrillic name)", 5,
                             110, {Fault(Splice, 600), Fault(Open, 1375)}, 100));
    samples.push_back(Sample("short_4km_pr1_6.tdr", "recorded at PR 1.6: splice at 1200 m, short at 3100 m",
                             6, 111, {Fault(Splice, 1200), Fault(Short, 3100)}, 150));
    samples.back().m_params.m_dFactor = 1.6;
    samples.push_back(Sample("arc_8km.tdr", "arc method: splices at 2100 and 3900 m, arcing fault at 5300 m",
                             7, 112, {Fault(Splice, 2100), Fault(Splice, 3900), Fault(Short, 5300)}, 50));
    samples.back().m_params.m_nMethod = kMethodArc;
    samples.back().m_params.m_dDelay = 25;
    samples.push_back(Sample("water_16km_ware.tdr",
                             "ware method: splice at 4800 m, water at 9200 m, open end at 14100 m", 8, 113,
                             {Fault(Splice, 4800), Fault(Water, 9200), Fault(Open, 14100)}, 120));
    samples.back().m_params.m_nMethod = kMethodWare;
    samples.back().m_params.m_nThreshold = 64;
    return samples;
}

bool HasTdrExtension(const std::string& name)
{
    if (name.size() < 4) {
        return false;
    }
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; });
    return tail == ".tdr";
}

bool NameLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = FoldCase(NextCodePoint(a, i));
        const char32_t cb = FoldCase(NextCodePoint(b, j));
        if (ca != cb) {
            return ca < cb;
        }
    }
    if (i < a.size() || j < b.size()) {
        return j < b.size(); // the shorter name first
    }
    return a < b;
}

std::vector<fs::path> ListTdrFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError) && HasTdrExtension(it->path().filename().string())) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        return NameLess(a.filename().string(), b.filename().string());
    });
    return files;
}

namespace {

// Writes the starter library; a library that is already there is the user's
// and stays as it is.
int CommandCables(const std::string& file, std::ostream& out, std::ostream& err)
{
    std::error_code ec;
    if (fs::exists(fs::path(file), ec)) {
        out << file << " is there already; left as it is\n";
        return 0;
    }
    if (!WriteCableLibrary(fs::path(file), StarterCableLibrary())) {
        err << "tdrsynth: cannot write " << file << "\n";
        return 1;
    }
    out << "wrote " << file << "\n";
    return 0;
}

} // namespace

int RunTdrSynth(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help" || args[0] == "help")) {
        out << kUsage;
        return 0;
    }
    if (args.empty()) {
        return UsageError(err, "no command given");
    }
    const std::string& command = args[0];
    if (command == "samples" || command == "info") {
        if (args.size() != 2) {
            return UsageError(err, command + " takes one FOLDER");
        }
        return command == "samples" ? CommandSamples(args[1], out, err) : CommandInfo(args[1], out, err);
    }
    if (command == "cables") {
        if (args.size() != 2) {
            return UsageError(err, "cables takes one FILE");
        }
        return CommandCables(args[1], out, err);
    }
    if (command == "write") {
        if (args.size() < 2 || args[1].rfind("--", 0) == 0) {
            return UsageError(err, "write needs a FILE");
        }
        return CommandWrite(args, out, err);
    }
    return UsageError(err, "unknown command '" + command + "'");
}
