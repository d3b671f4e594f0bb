// The texts of the printed report: the parameter block with the cursor
// readings, and the maker's contact lines under the title. Distances use the
// plain conversion position x 1.5 / PR with the document's factor, site grid
// or not, so the page says which factor its numbers were read with.
#pragma once

#include "model/TextMarks.h"

#include <array>
#include <string>

class CZR815KDoc;

// The program's title on the page and in the window caption.
inline constexpr const char* kReportTitle = "Ondalis 5.0";
// The maker's contact details, as the About box shows them.
inline constexpr const char* kMakerName = QT_TRANSLATE_NOOP("Core", "Ondalis developers");
inline constexpr const char* kMakerPhone = QT_TRANSLATE_NOOP("Core", "Tel. +1 555 0100");
inline constexpr const char* kMakerWeb = "www.ondalis.example";

// In this order: the PR or V/2 line, "Zoom", "Resolution", "Zero point", "C1",
// "C2", "L", each with its label, its blanks and its number format.
std::array<std::string, 7> ReportParameterTexts(const CZR815KDoc& doc);
// The same with each label and unit put through a translation.
std::array<std::string, 7> ReportParameterTexts(const CZR815KDoc& doc, const TextTranslation& localise);

// The two contact lines: the telephone after 38 blanks, then the maker's
// name, 19 blanks, "Internet: " and the web address.
std::array<std::string, 2> ReportContactLines();
std::array<std::string, 2> ReportContactLines(const TextTranslation& localise);
