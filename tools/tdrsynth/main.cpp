// tdrsynth: writes synthetic .tdr waveforms and lists the headers of a folder's
// waveforms. See RunTdrSynth for the commands.
#include "tdrsynth/Commands.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    // Numbers are always printed with '.' whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunTdrSynth(args, std::cout, std::cerr);
}
