// Fuzz target for the command-line parser: the bytes, split on NUL, are the
// arguments. Any arguments must parse without a fault, and the result must
// keep the parser's promises: an error is one line, a drawing run names one to
// three files (--events at least one, a window run any number: the desktop's
// %F), and the run's own options never land outside their run.
#include "shell/core/CommandLine.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    const ParsedCommandLine parsed = ParseCommandLine(args);
    (void)IsHeadlessCommandLine(args);
    if (!parsed.Ok()) {
        if (parsed.m_strError.find('\n') != std::string::npos) {
            std::abort();
        }
        return 0;
    }
    const CommandOptions& o = parsed.m_options;
    const bool events = o.m_mode == RunMode::Events;
    const bool drawing =
        o.m_mode == RunMode::Report || o.m_mode == RunMode::Picture || o.m_mode == RunMode::Thumbnail;
    if (o.m_files.size() > static_cast<size_t>(kMaxRunFiles) && drawing) {
        std::abort();
    }
    if (events && (o.m_files.empty() || o.m_scaleIndex || o.m_zoomExponent || o.m_cursor1 || o.m_cursor2 ||
                   o.m_bHalfVelocity)) {
        std::abort();
    }
    if (o.m_scaleIndex && (*o.m_scaleIndex < 0 || *o.m_scaleIndex > 11)) {
        std::abort();
    }
    if (o.m_factor && !(*o.m_factor > 0)) {
        std::abort();
    }
    if (!drawing && !events && (o.m_scaleIndex || o.m_zoomExponent || o.m_cursor1 || o.m_cursor2 || o.m_factor)) {
        std::abort();
    }
    if (drawing && (o.m_files.empty() || o.m_strOutput.empty())) {
        std::abort();
    }
    return 0;
}
