// Texts and column widths of the legend under the main plot: one row per memory
// channel that is on, 17 columns.
#pragma once

#include <array>
#include <string>

class CZR815KDoc;
struct WaveformRecord;

inline constexpr int kLegendColumns = 17;

// Column headers; column 4 reads "V/2" or "PR" by the presentation.
std::array<std::string, kLegendColumns> LegendHeaders(bool showHalfVelocity);

// The shift cell of a channel drawn as a difference.
inline constexpr const char* kDifferenceShiftText = "\u0394";

// Cell texts of channel 0..2 of the document.
std::array<std::string, kLegendColumns> LegendCells(const CZR815KDoc& doc, int channel);

// The k of the width rule: 29, plus 3 with the RL column, plus 8 with the marker columns.
int LegendWidthUnits(bool returnLoss, bool markers);

// Column widths for a form of the given width; they add up to that width.
std::array<int, kLegendColumns> LegendColumnWidths(int formWidth, bool returnLoss, bool markers);

// "dd.mm.yy" and "hh:mm:ss" of a local file time.
std::string FileDateText(long long fileTime);
std::string FileClockText(long long fileTime);
