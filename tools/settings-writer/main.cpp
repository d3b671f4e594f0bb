// settings-writer: rewrites the program's three settings-like files in a loop,
// through the program's own writers, so that a test can kill it at any moment
// and look at what is left. Rounds alternate between two contents (A and B):
//   param.ini  five keys of [KLM-204], one WriteString each;
//   grid.pie   CreateSiteGridFile, then one AddSiteGridSection per section;
//   cables.tku one WriteCableLibrary.
// Usage: settings-writer FOLDER [FIRST [ROUNDS]]: FIRST 0 starts with A, 1 with
// B. Prints "ready" once, before the first write, and "done" after each whole
// round; without ROUNDS it writes until it is killed.
#include "settings-writer/WriterContents.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: settings-writer FOLDER [FIRST [ROUNDS]]\n");
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    const long first = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 0;
    const long rounds = argc > 3 ? std::strtol(argv[3], nullptr, 10) : -1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (long round = 0; rounds < 0 || round < rounds; ++round) {
        if (!settings_writer::WriteRound(folder, static_cast<int>((first + round) % 2))) {
            std::fprintf(stderr, "settings-writer: a write failed in round %ld\n", round);
            return 1;
        }
        std::printf("done\n");
        std::fflush(stdout);
    }
    return 0;
}
