// The subcommands of tdrsynth: samples, write, info and cables. They print to the
// streams they are given, so tests run them without a process of their own.
#pragma once

#include "tdrsynth/Synth.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// One waveform of the built-in sample set.
struct SampleWaveform
{
    std::string m_strFileName; // UTF-8, with the .tdr extension
    std::string m_strShows;    // what the waveform demonstrates
    SynthParams m_params;
};

// The built-in sample set: every scale from 62.5 m to 16 km, each fault kind,
// the three methods, recordings at PR 1.6 and 1.45, one Cyrillic file name.
std::vector<SampleWaveform> BuiltInSamples();

// Whether name ends with ".tdr" in any letter case.
bool HasTdrExtension(const std::string& name);

// Orders names as the file list does: without regard to letter case (Latin and
// Cyrillic), ties broken by the bytes.
bool NameLess(const std::string& a, const std::string& b);

// The regular files of folder whose names end with .tdr in any case, sorted
// by NameLess. Empty when the folder is missing or unreadable.
std::vector<std::filesystem::path> ListTdrFiles(const std::filesystem::path& folder);

// Entry point of the program, args without the program name. Returns the exit code.
int RunTdrSynth(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
