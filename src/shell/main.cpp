// Ondalis: viewer of time-domain reflectometer waveforms.
#include "shell/Headless.h"
#include "shell/ZR815KApp.h"
#include "shell/core/CommandLine.h"

#include <QApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Without a display and without a platform named, Qt would abort with a
// message about plugins; say plainly what is missing instead.
bool HasDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

// The runs without a window (--list, --report, ...) need no display: they draw
// on the offscreen platform unless another one is named.
int RunWithoutWindow(int argc, char** argv, const std::vector<std::string>& args)
{
    const ParsedCommandLine parsed = ParseCommandLine(args);
    const bool draws = parsed.Ok() && (parsed.m_options.m_mode == RunMode::Report ||
                                       parsed.m_options.m_mode == RunMode::Picture ||
                                       parsed.m_options.m_mode == RunMode::Thumbnail);
    if (!draws) {
        return RunHeadless(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
    }
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform == nullptr || *platform == '\0') {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RunHeadless(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (IsHeadlessCommandLine(args)) {
        return RunWithoutWindow(argc, argv, args);
    }
    if (!HasDisplay()) {
        std::fprintf(stderr, "ondalis: no display found (DISPLAY is not set).\n"
                             "Run it on a desktop, or without one under a virtual display:\n"
                             "  xvfb-run -a -s '-screen 0 1600x1000x24' %s\n",
                     argv[0]);
        return 1;
    }
    // A bare "--" ends the options: the window takes the file after it. The
    // application sees the arguments without it (kept alive as long as it runs).
    std::vector<char*> windowArgv(argv, argv + argc);
    if (const auto end = std::find_if(windowArgv.begin() + (argc > 0 ? 1 : 0), windowArgv.end(),
                                      [](const char* arg) { return std::strcmp(arg, "--") == 0; });
        end != windowArgv.end()) {
        windowArgv.erase(end);
    }
    int windowArgc = static_cast<int>(windowArgv.size());
    windowArgv.push_back(nullptr);
    CZR815KApp app(windowArgc, windowArgv.data());
    if (!app.InitInstance()) {
        return 1;
    }
    const int result = app.IsEndRequested() ? 0 : app.exec();
    app.ExitInstance();
    return result;
}
