// Ondalis: viewer of time-domain reflectometer waveforms.
#include "shell/ZR815KApp.h"

#include <cstdio>
#include <cstdlib>

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

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "ondalis: no display found (DISPLAY is not set).\n"
                             "Run it on a desktop, or without one under a virtual display:\n"
                             "  xvfb-run -a -s '-screen 0 1600x1000x24' %s\n",
                     argv[0]);
        return 1;
    }
    CZR815KApp app(argc, argv);
    if (!app.InitInstance()) {
        return 1;
    }
    const int result = app.exec();
    app.ExitInstance();
    return result;
}
