// Site-grid files (.pie): a route cut into sections, each with its own velocity
// factor, kept as a private-profile text file.
//
//   [PIECE]  AMOUNT   number of sections (default 0)
//            SCALE    index of the document's scale in the scale table when the
//                     file was made, 12 when it matched none (default "0")
//   [SITEn]  NAME     section name (n = 1..AMOUNT); a missing key lists as
//                     "Участок n", an empty one stays empty
//            LENGTH   length as a position in millimetres (default 0)
//            VFACTOR  PR × 1000 (default 1500)
//
// Section n has PR f = VFACTOR / 1000, a position length p = LENGTH / 1000 m and
// a distance length d = p × 1.5 / f m; section 1 starts at 0 and every other one
// where the one before it ends. A VFACTOR that reads as 0 or less (hand-edited,
// or empty) would divide by zero: such a section is taken at PR 1.5 everywhere,
// and its row says so.
//
// Every change is one atomic replacement of the whole file, so a crash leaves
// either the old grid or the new one. At most kMaxSiteGridSections sections are
// read, whatever AMOUNT says, so a damaged count cannot make a list without end.
#pragma once

#include "model/ZR815KDoc.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

inline constexpr int kSiteGridColumns = 6;
inline constexpr int kMaxSiteGridSections = 1000;
// SCALE of a grid made at a scale the table does not hold.
inline constexpr int kSiteGridNoScale = 12;

// Replaces the file at path with a new grid: [PIECE] AMOUNT=0 and SCALE=the first
// table index whose scale equals `scale` exactly, else 12. False when the file
// cannot be written (the old file, if any, is then left as it was).
bool CreateSiteGridFile(const std::filesystem::path& path, double scale);

// Appends section AMOUNT + 1 (NAME "", LENGTH 1000, VFACTOR factor × 1000
// truncated toward zero) and sets AMOUNT to it; the file's other lines are kept.
// False when the file cannot be read or written, or already holds
// kMaxSiteGridSections sections.
bool AddSiteGridSection(const std::filesystem::path& path, double factor);

// Removes section `index` (from 0) and renumbers the ones after it: the file is
// rewritten as [PIECE] AMOUNT, SCALE (kept as it was, "0" when missing) and the
// NAME, LENGTH, VFACTOR of each kept section, each value as it was stored; a key
// a kept section lacked stays absent, so it still reads as its default. Lines of
// any other kind are dropped. An index outside 0..AMOUNT-1 (so any index of an
// empty grid) changes nothing and gives false, as does a file that cannot be
// read or written.
bool DeleteSiteGridSection(const std::filesystem::path& path, int index);

// One row of the grid panel.
struct SiteGridRow
{
    // Number, name, start, end and length in metres of distance ("%.2f"), and
    // the factor: V/2 ("%.1f" of 150 / PR) or PR ("%.3f").
    std::array<std::string, kSiteGridColumns> m_cells;
    // VFACTOR read as 0 or less: the row shows, and the section uses, PR 1.5.
    bool m_bFactorDefaulted = false;
};

// The rows of sections 1..AMOUNT. A missing or unreadable file has none.
std::vector<SiteGridRow> ReadSiteGridRows(const std::filesystem::path& path, bool showHalfVelocity);

// The cells of ReadSiteGridRows alone.
std::vector<std::array<std::string, 6>> SiteGridSectionCells(const std::filesystem::path& path,
                                                             bool showHalfVelocity);

// The sections as the document holds them: factor VFACTOR / 1000 (1.5 for 0 or
// less), length LENGTH / 10 (centimetres of position), start the sum of the
// lengths before, end start + length.
std::vector<SiteGridSection> ReadSiteGridSections(const std::filesystem::path& path);

// Edits of one key of section `index` (from 0). Each is one atomic replacement
// that keeps the file's other lines, and gives false for an index outside
// 0..AMOUNT-1 or a file that cannot be read or written.
// The name is stored so that it reads back exactly, blanks and quotes included;
// line breaks become blanks.
bool SetSiteGridSectionName(const std::filesystem::path& path, int index, const std::string& name);
// LENGTH in millimetres of position, held to 0..2^31-1.
bool SetSiteGridSectionLength(const std::filesystem::path& path, int index, int64_t lengthMillimetres);
// VFACTOR = PR × 1000 truncated toward zero; a PR whose thousandths are 0 or less
// (or not a number) is refused, since it would read as the default.
bool SetSiteGridSectionFactor(const std::filesystem::path& path, int index, double factor);

// The LENGTH a section gets when its end is typed: the positions of the typed
// end and of the section's start (the numbers at the start of both texts; a unit
// after the number is ignored) by the document's conversion, their difference in
// millimetres truncated toward zero. An end typed before the start gives 0.
int64_t SectionLengthFromEnd(const CZR815KDoc& doc, const std::string& startCell, const std::string& endText);
