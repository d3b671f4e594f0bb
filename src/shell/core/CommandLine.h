// The options of the headless runs: listing a folder, exporting it as text,
// writing the report as a PDF or the display as a PNG (or the plot alone as a
// thumbnail), the events found on waveform files, help and version. Any
// argument that begins with "--" makes the run headless; without one the
// window opens with the files named (waveforms into M1..M3, a site grid or a
// velocity-factor library on its page). A bare "--" ends the
// options: every argument after it is a file name, whatever it begins with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class RunMode { Window, Help, Version, List, ExportText, Report, Picture, Thumbnail, Events };

// Exit codes of a headless run: done; some file could not be read or written;
// the arguments make no sense.
enum ExitCode : int { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// M1..M3: the most files a report or picture takes (--events takes any number).
inline constexpr int kMaxRunFiles = 3;

struct CommandOptions
{
    RunMode m_mode = RunMode::Window;
    std::string m_strFolder;       // --list, --export-text
    bool m_bCsv = false;           // --list
    std::string m_strOutput;       // --report, --png, --thumbnail
    std::optional<int> m_scaleIndex;    // from --scale (km) or --scale-index
    std::optional<int> m_zoomExponent;  // log2 of --zoom
    std::optional<double> m_centre;     // --centre, metres of distance
    std::optional<double> m_cursor1;    // --c1, metres of distance
    std::optional<double> m_cursor2;    // --c2, metres of distance
    std::optional<double> m_factor;     // PR, from --pr or 150 / --v2 (--events: --pr only)
    bool m_bHalfVelocity = false;       // --v2 was given: show V/2
    int m_nWidth = 1200; // --size, each side 100 to 10000
    int m_nHeight = 800;
    bool m_bEvents = false;             // --report with --events: the report carries the events table
    std::vector<std::string> m_files;   // M1..M3 (the window: any number; --events: one or more)

    friend bool operator==(const CommandOptions&, const CommandOptions&) = default;
};

struct ParsedCommandLine
{
    CommandOptions m_options;
    std::string m_strError; // one line; empty when the arguments are good
    bool Ok() const { return m_strError.empty(); }
};

// Parses the arguments without the program's name. --thumbnail is --png
// without the legend, for file managers' previews. Numbers are read without
// regard to the locale, with '.' as the decimal point. --pr takes 1 to 3 and
// --v2 50 to 150, ends included. The output of --report and --png may neither
// end in ".tdr" (any case) nor be one of the waveforms, under any spelling that
// leads to the same existing file, so a forgotten output name never overwrites
// a waveform. Messages show what they quote of the arguments readably
// (MessagePath) and control bytes as '?'.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// Whether the arguments ask for a headless run: an argument beginning with "--"
// before any bare "--".
bool IsHeadlessCommandLine(const std::vector<std::string>& args);

// What a file named to the window is, by its extension in any case: a site
// grid (.pie), a velocity-factor library (.tku), else a waveform (which the
// window reports when it is none).
enum class OpenedFile { Waveform, SiteGrid, CableLibrary };
OpenedFile KindOfOpenedFile(std::string_view name);

// The usage text, several lines each ended by '\n'.
std::string UsageText();

// What --version prints.
inline constexpr const char* kVersionText = "Ondalis 5.0 v. 1.128";

// One line of the --list output, ended by '\n': the cells separated by tabs
// (tabs and line breaks inside a cell become blanks), or as CSV, where a cell
// holding a comma, a quote or a line break is quoted and its quotes doubled.
std::string FormatTableLine(const std::vector<std::string>& cells, bool csv);

// The scale index of a scale in kilometres, or -1 when no table entry matches.
int ScaleIndexOfKilometres(double km);
