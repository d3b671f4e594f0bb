// eventscore: measures the event finder on a generated set of synthetic
// waveforms. See RunEventScore for the options.
#include "eventscore/Score.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunEventScore(args, std::cout, std::cerr);
}
