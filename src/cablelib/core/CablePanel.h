// Rules of the velocity-factor library panel without the widgets: its column
// headings and widths, which table cells can become the measurement's factor
// (a positive number within the velocity field's range), where a new library is
// saved, and the factor calibrated from a known length between the two cursors.
#pragma once

#include "model/TextMarks.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>

// "Name PR" and "PR", or "Name V/2" and "V/2".
std::array<std::string, 2> CableHeadings(bool showHalfVelocity);

// Name and value column widths for a table `width` wide, less the scroll bar
// (pass 0 when the rows fit): two thirds and one third.
std::array<int, 2> CableColumnWidths(int width, int scrollBar);

// The PR a value cell stands for, or nullopt when the cell does not read as a
// positive finite number (an empty cell, text, 0): such a value would give the
// measurement a PR of 0 or an infinite one.
std::optional<double> FactorOfCell(const std::string& cell, bool showHalfVelocity);

// The range a library value must lie in to become the measurement's factor,
// both ends included: PR 1 to 3, the velocity field's range, or the same
// factors as V/2 (150 / PR), 50 to 150. A factor outside it would stretch or
// squeeze the distance axis far beyond any cable (PR 0.0001 makes 1 km of plot
// read 15,000 km).
bool FactorWithinRange(double factor);
// The range in the presentation in force, for messages: "PR 1 to 3" or "V/2 50 to 150".
std::string CableRangeText(bool showHalfVelocity);

// Whether a value cell can become the measurement's factor: Ok with its PR,
// NotPositive when FactorOfCell refuses it, OutOfRange when its number lies
// outside the presentation's range (PR 1..3 or V/2 50..150).
enum class CellCheck { Ok, NotPositive, OutOfRange };

struct CellFactor
{
    CellCheck check = CellCheck::NotPositive;
    double factor = 0; // PR, when the check is Ok or OutOfRange
};

CellFactor CheckFactorCell(const std::string& cell, bool showHalfVelocity);

// The cell text of a PR in the presentation in force: "%.3f" of PR, or "%.1f" of V/2.
std::string CellOfFactor(double factor, bool showHalfVelocity);

// True when a library path cannot be a library file because it names a
// folder (the first-start default is the Save folder).
bool NamesFolder(const std::filesystem::path& path);

// A file name typed without an extension gets ".tku".
std::filesystem::path WithLibraryExtension(std::filesystem::path path);

// Calibration: the PR at which the distance between the cursors (positions
// c1 and c2, metres at PR 1.5) equals a known length: |c1 - c2| x 1.5 / length.
enum class CalibrationCheck {
    Ok,
    SameCursors, // the cursors are on one point: there is no length to measure
    BadLength,   // the length is not a positive finite number
    OutOfRange,  // the factor lies outside FactorWithinRange: shown, neither applied nor added
};

struct Calibration
{
    CalibrationCheck check = CalibrationCheck::Ok;
    double factor = 0; // PR, when the check is Ok or OutOfRange
    std::string text;  // what the dialog shows of the result
};

Calibration CalibrateFactor(double cursor1, double cursor2, double length, bool showHalfVelocity);
// The same with the result's words put through a translation.
Calibration CalibrateFactor(double cursor1, double cursor2, double length, bool showHalfVelocity,
                            const TextTranslation& localise);
