// The grid-file list of the site-grid panel without its widget: the .pie files
// of a folder with the texts of their six cells.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kGridListColumns = 6;

// One listed grid file.
struct SiteGridListing
{
    std::filesystem::path m_path; // the file itself, for the panel to open or delete
    std::string m_strFileName;    // its name as the folder gave it, extension in its own case
    // " ", the name less its last four characters made readable
    // (ReadableFileName), AMOUNT as stored ("0" when
    // missing), the scale the grid was made at ("%.1f" of the table entry at
    // SCALE; empty when SCALE lies outside 0..11, as a grid made at a scale the
    // table lacks does), and the last-write date and time in local time
    // (the waveform list's "dd.mm.yyyy" and "hh:mm:ss").
    std::array<std::string, kGridListColumns> m_cells;
};

// True when the name ends in ".pie", letters in any case, with something before it.
bool HasSiteGridExtension(std::string_view fileName);

// The path a new grid is saved under: the one typed, with ".pie" added unless
// its file name already has that extension, so that "trasa 1.5" becomes
// "trasa 1.5.pie" and is listed, and "route.PIE" stays as it is.
std::filesystem::path WithSiteGridExtension(const std::filesystem::path& typed);

// The grid files of a folder in the waveform list's name order (case-insensitive,
// Latin and Cyrillic letters folded). A file is listed when its name has the
// .pie extension and it is a regular file (links followed) that can be read.
// A missing or unreadable folder lists nothing.
std::vector<SiteGridListing> ListSiteGridFolder(const std::filesystem::path& folder);
