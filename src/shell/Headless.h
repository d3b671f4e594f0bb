// The runs without a window: the waveform table of a folder, its text export,
// the report as a PDF, the display as a PNG and the events found on waveforms. They print to the streams they
// are given and return the exit code, so tests run them in-process. Settings
// are neither read nor written: the document lives on a settings path in a
// temporary folder that is removed at the end.
#pragma once

#include "shell/core/CommandLine.h"

#include <ostream>
#include <string>
#include <vector>

// Parses args (without the program's name) and carries the run out. A usage
// error prints one line and the usage text on err and returns kExitUsage. The
// report and the picture need a QApplication; the other runs need none.
// progressOnErr: the export reports its progress on err (a terminal).
int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool progressOnErr = false);

// The --list output of a folder: one tab-separated line per waveform, or CSV
// with a heading row.
std::string WaveformTableText(const std::string& folder, bool csv);
