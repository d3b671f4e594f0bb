// Waveform files dropped on the window: each goes into the next memory channel
// that is off, in order. Files that are not waveforms, and files beyond the
// free channels, are reported and change nothing. Dropped into a document with
// no channel on, the waveforms are shown at the first one's own scale
// (ShowAtOwnScale).
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

// Whether any memory channel is on.
bool AnyChannelOn(const CZR815KDoc& doc);

// A waveform opened from outside the list (the command line, a file manager, a
// drop) into a document with no channel on: the document takes the scale of
// the first channel on, so the whole recording shows and not the last scale
// used. Called only for such an opening; loads through M1..M3 keep the scale.
// The scale change goes out as an update (hint 2); nothing when it is the same.
void ShowAtOwnScale(CZR815KDoc& doc);

// One line per problem, naming the file (MessagePath); empty when there was none.
std::string DropProblemText(const DropResult& result);
// The same with the words put through a translation.
std::string DropProblemText(const DropResult& result, const TextTranslation& localise);
