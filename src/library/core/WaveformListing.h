// The waveform list of the library panel without its widget: the rows of a
// folder, the texts of their 15 cells, the column headings and the two rules
// for the column widths.
#pragma once

#include "model/WaveformRecord.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

inline constexpr int kWaveListColumns = 15;

// One listed waveform file.
struct WaveformListing
{
    std::string m_strName;     // file name less its extension, readable (ReadableFileName), as shown in column 1
    std::string m_strFileName; // the file name itself, bytes as the folder holds them, extension in its own case
    TdrHeader m_header;        // header words 0..10, decoded
    int64_t m_ftTime = 0;      // last write, local file time
};

// The waveform files of a folder in case-insensitive name order (ASCII and
// Cyrillic letters folded; names equal but for case in byte order). A file is
// listed when its name ends in ".tdr" in any case, it is a regular file of
// exactly 8512 bytes, it can be opened, and its header decodes. Only the first
// 44 bytes of each file are read. A missing or unreadable folder lists nothing.
std::vector<WaveformListing> ListWaveformFolder(const std::filesystem::path& folder);

// Column headings; column 4 reads "V/2" or "PR" by the presentation.
std::array<std::string, kWaveListColumns> WaveListHeadings(bool showHalfVelocity);

// The 15 cell texts of a row. Column 4 shows the recording's factor as V/2
// ("%.1f" of 150 / PR) or as PR ("%.3f").
std::array<std::string, kWaveListColumns> WaveListCells(const WaveformListing& row, bool showHalfVelocity);

// "dd.mm.yyyy" of a local file time (the year in full).
std::string WaveListDateText(int64_t fileTime);

// Column widths when the panel is resized. scrollBarWidth is the thickness of
// the list's vertical scroll bar when the list holds more rows than one page
// shows, else 0. The name column takes what is left (never less than 0).
std::array<int, kWaveListColumns> WaveListResizeWidths(int panelWidth, int scrollBarWidth, bool markers);

// Column widths at the first layout and when markers are shown or hidden: as on
// resize, but the method, threshold and delay columns are 40 wide.
std::array<int, kWaveListColumns> WaveListLayoutWidths(int panelWidth, int scrollBarWidth, bool markers);

// Loads the listed waveform `name` of the folder into the record, like
// LoadWaveform, but finds the file whatever the case of its extension, so a
// row listed from "X.TDR" loads too. `name` is the file name less its
// extension as the folder holds it (bytes, not the readable name); its
// readable form is stored first; a missing file,
// a size other than 8512 bytes, an unreadable file or a header that does not
// decode fail. When several files differ only in the case of the extension,
// the one named "<name>.tdr" wins, else the first in byte order.
bool LoadListedWaveform(WaveformRecord& record, const std::filesystem::path& folder, const std::string& name);
