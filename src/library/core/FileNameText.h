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

// The most characters a message shows of one path, file name or typed text.
inline constexpr std::size_t kMessageTextLength = 200;

// A text of more than maxCharacters characters as its start, an ellipsis "…" and
// its end, maxCharacters characters in all (the end, where a path names its file,
// gets the odd one); shorter texts as they are. Cuts fall between UTF-8
// characters, so valid UTF-8 stays valid. A message naming a path that a damaged
// setting made a megabyte long then still lays out at once.
std::string ShortenedText(std::string_view text, std::size_t maxCharacters = kMessageTextLength);

// A path as a message box or status text names it: readable (ReadablePath) and
// shortened (ShortenedText).
std::string MessagePath(const std::filesystem::path& path);

// The text with each control byte (C0, ESC among them, and DEL) shown as '?', so
// a name printed on a terminal neither sends it commands nor breaks the line.
std::string PrintableText(std::string_view text);

// A path as the command line names it in a message: MessagePath with control
// bytes as '?'.
std::string TerminalPath(const std::filesystem::path& path);
