#include "shell/core/CommandLine.h"

#include "library/core/FileNameText.h"
#include "model/ScaleTables.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>

namespace {

constexpr int kMinPictureSide = 100;
constexpr int kMaxPictureSide = 10000;
// The V/2 (m/us) of the PR range the fields allow, ends included: 50 to 150.
constexpr double kMinHalfVelocity = 150.0 / tables::kMaxFactor;
constexpr double kMaxHalfVelocity = 150.0 / tables::kMinFactor;

// What a message quotes of an argument: readable and, when very long, shortened.
std::string Quoted(const std::string& arg)
{
    return MessagePath(arg);
}

// Whether the name ends in the extension (lower case, with its dot), letters
// in any case.
bool EndsIn(std::string_view name, std::string_view extension)
{
    if (name.size() < extension.size()) {
        return false;
    }
    std::string tail(name.substr(name.size() - extension.size()));
    for (char& c : tail) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return tail == extension;
}

// Whether the name ends in ".tdr", letters in any case: the name of a waveform.
bool EndsInTdr(std::string_view name) { return EndsIn(name, ".tdr"); }

// Whether two arguments name the same file: the same text, or paths that
// lead to one existing file (another spelling, a link).
bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return a == b || std::filesystem::equivalent(a, b, ec);
}

// A number that fills the whole text, finite.
std::optional<double> ReadNumber(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ReadInteger(std::string_view text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

bool IsModeOption(std::string_view name)
{
    return name == "--help" || name == "--version" || name == "--list" || name == "--export-text" ||
           name == "--report" || name == "--png" || name == "--thumbnail" || name == "--events";
}

bool TakesValue(std::string_view name)
{
    return name == "--list" || name == "--export-text" || name == "--report" || name == "--png" ||
           name == "--thumbnail" || name == "--scale" || name == "--scale-index" || name == "--zoom" ||
           name == "--centre" || name == "--c1" || name == "--c2" || name == "--pr" || name == "--v2" ||
           name == "--size";
}

bool IsKnown(std::string_view name) { return IsModeOption(name) || TakesValue(name) || name == "--csv"; }

// The runs that draw the display: the report, the picture and the thumbnail.
bool IsDrawing(RunMode mode)
{
    return mode == RunMode::Report || mode == RunMode::Picture || mode == RunMode::Thumbnail;
}

RunMode ModeOf(std::string_view name)
{
    if (name == "--help") {
        return RunMode::Help;
    }
    if (name == "--version") {
        return RunMode::Version;
    }
    if (name == "--list") {
        return RunMode::List;
    }
    if (name == "--export-text") {
        return RunMode::ExportText;
    }
    if (name == "--report") {
        return RunMode::Report;
    }
    if (name == "--events") {
        return RunMode::Events;
    }
    if (name == "--thumbnail") {
        return RunMode::Thumbnail;
    }
    return RunMode::Picture;
}

// The parser's state while it walks the arguments; the first error stops it.
class Parser
{
public:
    ParsedCommandLine Run(const std::vector<std::string>& args)
    {
        for (std::size_t i = 0; i < args.size() && m_result.Ok(); ++i) {
            const std::string& arg = args[i];
            if (arg == "--") {
                for (++i; i < args.size(); ++i) {
                    m_result.m_options.m_files.push_back(args[i]);
                }
                break;
            }
            if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
                m_result.m_options.m_files.push_back(arg);
                continue;
            }
            std::string name = arg;
            std::optional<std::string> value;
            if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
            if (!IsKnown(name)) {
                return Fail("unknown option " + Quoted(name));
            }
            if (!m_seen.insert(name).second) {
                return Fail("option " + name + " given twice");
            }
            if (TakesValue(name)) {
                if (!value) {
                    if (i + 1 >= args.size() || args[i + 1].compare(0, 2, "--") == 0) {
                        return Fail("option " + name + " needs a value");
                    }
                    value = args[++i];
                }
            } else if (value) {
                return Fail("option " + name + " takes no value");
            }
            Apply(name, value.value_or(std::string()));
        }
        if (m_result.Ok()) {
            Check();
        }
        return m_result;
    }

private:
    // The message quotes what was typed (Quoted); control characters in it
    // show as '?', so the message stays on one line.
    ParsedCommandLine Fail(const std::string& text)
    {
        if (m_result.Ok()) {
            m_result.m_strError = PrintableText(text);
        }
        return m_result;
    }

    void Apply(const std::string& name, const std::string& value)
    {
        CommandOptions& o = m_result.m_options;
        if (IsModeOption(name)) {
            // --events beside --report asks for the events table on the report.
            if (name == "--events" && o.m_mode == RunMode::Report) {
                o.m_bEvents = true;
                return;
            }
            if (name == "--report" && o.m_mode == RunMode::Events) {
                o.m_mode = RunMode::Window;
                o.m_bEvents = true;
            }
            if (o.m_mode != RunMode::Window) {
                Fail("options " + m_strModeOption + " and " + name + " cannot be combined");
                return;
            }
            o.m_mode = ModeOf(name);
            m_strModeOption = name;
            if (o.m_mode == RunMode::List || o.m_mode == RunMode::ExportText) {
                o.m_strFolder = value;
            } else if (IsDrawing(o.m_mode)) {
                o.m_strOutput = value;
            }
            if (TakesValue(name) && value.empty()) {
                Fail("option " + name + " needs a value");
            }
            return;
        }
        if (name == "--csv") {
            o.m_bCsv = true;
        } else if (name == "--scale") {
            const std::optional<double> km = ReadNumber(value);
            const int index = km ? ScaleIndexOfKilometres(*km) : -1;
            if (index < 0) {
                Fail("--scale " + Quoted(value) + " is not a scale (0.0625, 0.125, ... 128 km)");
                return;
            }
            o.m_scaleIndex = index;
        } else if (name == "--scale-index") {
            const std::optional<int> index = ReadInteger(value);
            if (!index || *index < 0 || *index >= tables::kCount) {
                Fail("--scale-index " + Quoted(value) + " is not 0 to 11");
                return;
            }
            o.m_scaleIndex = *index;
        } else if (name == "--zoom") {
            const std::optional<int> factor = ReadInteger(value);
            int exponent = -1;
            for (int e = 0; factor && e <= 4; ++e) {
                if (*factor == (1 << e)) {
                    exponent = e;
                }
            }
            if (exponent < 0) {
                Fail("--zoom " + Quoted(value) + " is not 1, 2, 4, 8 or 16");
                return;
            }
            o.m_zoomExponent = exponent;
        } else if (name == "--size") {
            const std::size_t x = value.find('x');
            const std::optional<int> w = x == std::string::npos ? std::nullopt : ReadInteger(value.substr(0, x));
            const std::optional<int> h = x == std::string::npos ? std::nullopt : ReadInteger(value.substr(x + 1));
            const auto inRange = [](const std::optional<int>& v) {
                return v && *v >= kMinPictureSide && *v <= kMaxPictureSide;
            };
            if (!inRange(w) || !inRange(h)) {
                Fail("--size " + Quoted(value) + " is not WIDTHxHEIGHT, each 100 to 10000");
                return;
            }
            o.m_nWidth = *w;
            o.m_nHeight = *h;
        } else if (name == "--pr" || name == "--v2") {
            // Only a factor the fields can show: outside PR 1..3 the distances and
            // the axis reach sizes no cable has (a tiny PR even makes them infinite).
            const bool half = name == "--v2";
            const std::optional<double> number = ReadNumber(value);
            const double low = half ? kMinHalfVelocity : tables::kMinFactor;
            const double high = half ? kMaxHalfVelocity : tables::kMaxFactor;
            if (!number || *number < low || *number > high) {
                Fail(name + " " + Quoted(value) +
                     (half ? " is not a V/2 of 50 to 150 m/us" : " is not a PR of 1 to 3"));
                return;
            }
            o.m_factor = half ? 150.0 / *number : *number;
            o.m_bHalfVelocity = half;
        } else {
            const std::optional<double> number = ReadNumber(value);
            if (!number || *number < 0) {
                Fail(name + " " + Quoted(value) + " is not a number of 0 or more");
                return;
            }
            if (name == "--centre") {
                o.m_centre = *number;
            } else if (name == "--c1") {
                o.m_cursor1 = *number;
            } else {
                o.m_cursor2 = *number;
            }
        }
    }

    bool Seen(const char* name) const { return m_seen.count(name) != 0; }

    // Rules between options, once all are read.
    void Check()
    {
        const CommandOptions& o = m_result.m_options;
        const bool drawing = IsDrawing(o.m_mode);
        if (Seen("--pr") && Seen("--v2")) {
            Fail("options --pr and --v2 cannot be combined");
        } else if (Seen("--scale") && Seen("--scale-index")) {
            Fail("options --scale and --scale-index cannot be combined");
        } else if (Seen("--centre") && !Seen("--zoom")) {
            Fail("option --centre needs --zoom");
        } else if (Seen("--csv") && o.m_mode != RunMode::List) {
            Fail("option --csv belongs to --list");
        } else if (Seen("--size") && o.m_mode != RunMode::Picture && o.m_mode != RunMode::Thumbnail) {
            Fail("option --size belongs to --png and --thumbnail");
        } else if (o.m_mode == RunMode::Events) {
            CheckEvents();
        } else if (!drawing && o.m_mode != RunMode::Window) {
            for (const char* name : {"--scale", "--scale-index", "--zoom", "--centre", "--c1", "--c2", "--pr", "--v2"}) {
                if (Seen(name)) {
                    Fail(std::string("option ") + name + " belongs to --report, --png and --thumbnail");
                    return;
                }
            }
            if (!o.m_files.empty()) {
                Fail("unexpected argument " + Quoted(o.m_files.front()));
            }
        } else if (o.m_mode == RunMode::Window) {
            // Only a headless run gets here with options; plain arguments open the window.
            // Any number of files: what finds no free channel is reported by the window.
            if (!m_seen.empty()) {
                Fail("options need one of --list, --export-text, --events, --report, --png or --thumbnail");
            }
        } else if (EndsInTdr(o.m_strOutput)) {
            // Most likely the output was forgotten and the first waveform taken for it.
            Fail(m_strModeOption + " " + Quoted(o.m_strOutput) + ": the output may not be a waveform (.tdr)");
        } else if (o.m_files.empty()) {
            Fail(m_strModeOption + " needs one to three waveform files");
        } else if (o.m_files.size() > static_cast<std::size_t>(kMaxRunFiles)) {
            Fail("more than three waveform files");
        } else {
            for (const std::string& file : o.m_files) {
                if (SameFile(o.m_strOutput, file)) {
                    Fail(m_strModeOption + " " + Quoted(o.m_strOutput) +
                         ": the output is also one of the waveforms");
                    return;
                }
            }
        }
    }

    // --events takes waveform files, as many as given, and --pr.
    void CheckEvents()
    {
        for (const char* name : {"--scale", "--scale-index", "--zoom", "--centre", "--c1", "--c2", "--v2"}) {
            if (Seen(name)) {
                Fail(std::string("option ") + name + " belongs to --report and --png");
                return;
            }
        }
        if (m_result.m_options.m_files.empty()) {
            Fail("--events needs one or more waveform files");
        }
    }

    ParsedCommandLine m_result;
    std::set<std::string> m_seen;
    std::string m_strModeOption;
};

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) { return Parser().Run(args); }

bool IsHeadlessCommandLine(const std::vector<std::string>& args)
{
    for (const std::string& arg : args) {
        if (arg == "--") {
            return false; // the options end here: what follows are file names
        }
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            return true;
        }
    }
    return false;
}

OpenedFile KindOfOpenedFile(std::string_view name)
{
    if (EndsIn(name, ".pie")) {
        return OpenedFile::SiteGrid;
    }
    if (EndsIn(name, ".tku")) {
        return OpenedFile::CableLibrary;
    }
    return OpenedFile::Waveform;
}

int ScaleIndexOfKilometres(double km)
{
    for (int i = 0; i < tables::kCount; ++i) {
        if (tables::kScale[i] / 1000.0 == km) {
            return i;
        }
    }
    return -1;
}

std::string FormatTableLine(const std::vector<std::string>& cells, bool csv)
{
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            line += csv ? ',' : '\t';
        }
        const std::string& cell = cells[i];
        if (!csv) {
            for (char c : cell) {
                line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
            }
        } else if (cell.find_first_of(",\"\r\n") == std::string::npos) {
            line += cell;
        } else {
            line += '"';
            for (char c : cell) {
                line += c;
                if (c == '"') {
                    line += '"';
                }
            }
            line += '"';
        }
    }
    return line + '\n';
}

std::string UsageText()
{
    return "Usage:\n"
           "  ondalis [[--] FILE ...]            open the window: waveforms (.tdr) in M1..M3,\n"
           "                                     a site grid (.pie) or a velocity-factor\n"
           "                                     library (.tku) on its page\n"
           "  ondalis --list FOLDER [--csv]      print the waveform table of a folder\n"
           "  ondalis --export-text FOLDER       write each waveform of a folder as .txt\n"
           "  ondalis --report OUT.pdf [--events] [OPTIONS] A.tdr [B.tdr [C.tdr]]\n"
           "                                     write the printed report as a PDF, with\n"
           "                                     --events the events table under the plot\n"
           "  ondalis --png OUT.png [--size WxH] [OPTIONS] A.tdr [B.tdr [C.tdr]]\n"
           "                                     write the plot and legend as a PNG\n"
           "  ondalis --thumbnail OUT.png [--size WxH] [OPTIONS] A.tdr [B.tdr [C.tdr]]\n"
           "                                     write the plot alone as a PNG, for previews\n"
           "  ondalis --events [--pr X] A.tdr [B.tdr ...]\n"
           "                                     print the events found on each file, one\n"
           "                                     tab-separated line each, distances at the\n"
           "                                     file's PR or at --pr\n"
           "  ondalis --help | --version\n"
           "Options of --report, --png and --thumbnail (distances in metres):\n"
           "  --scale KM | --scale-index N       scale 0.0625 ... 128 km, or its index 0..11\n"
           "  --zoom N [--centre M]              zoom 1, 2, 4, 8 or 16 around distance M\n"
           "  --c1 M  --c2 M                     cursor distances\n"
           "  --pr X | --v2 X                    PR 1..3, or V/2 50..150 m/us\n"
           "Scale and PR default to the first file's. A bare -- ends the options: the\n"
           "arguments after it are files. Exit status: 0 done, 1 a file failed, 2 bad\n"
           "arguments.\n";
}
