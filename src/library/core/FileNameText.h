// File names as the user reads them. On Linux a name is bytes, and waveforms
// from instrument cards and old Windows folders bring names in Windows-1251;
// the program keeps such names as bytes to open the files and shows them with
// these functions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A name that is valid UTF-8 as it is; any other decoded as Windows-1251, its
// one unassigned byte (0x98) written as the escape "\x98".
std::string ReadableFileName(std::string_view name);

// The path with each of its components made readable on its own, so a UTF-8
// folder keeps its letters whatever the file name's encoding.
std::string ReadablePath(const std::filesystem::path& path);
