// Waveform files dropped on the window: each goes into the next memory channel
// that is off, in order. Files that are not waveforms, and files beyond the
// free channels, are reported and change nothing.
#pragma once

#include "model/TextMarks.h"

#include <filesystem>
#include <string>
#include <vector>

class CZR815KDoc;

struct DropProblem
{
    std::filesystem::path m_path;
    bool m_bNoFreeChannel = false; // else: not a waveform (missing, wrong size, bad header)
};

struct DropResult
{
    int m_nLoaded = 0;
    std::vector<DropProblem> m_problems;
};

DropResult LoadIntoFreeChannels(CZR815KDoc& doc, const std::vector<std::filesystem::path>& files);

// One line per problem, naming the file (MessagePath); empty when there was none.
std::string DropProblemText(const DropResult& result);
// The same with the words put through a translation.
std::string DropProblemText(const DropResult& result, const TextTranslation& localise);
