#include "cablelib/core/CablePanel.h"

#include "model/Format.h"
#include "model/ScaleTables.h"
#include "model/TextMarks.h"

#include <cmath>

namespace {

// PR limits of the velocity field, which the library's values follow, and the
// same limits as V/2 = 150 / PR.
constexpr double kMinFactor = 1;
constexpr double kMaxFactor = 3;
constexpr double kMinHalfVelocity = 50;
constexpr double kMaxHalfVelocity = 150;

} // namespace

std::array<std::string, 2> CableHeadings(bool showHalfVelocity)
{
    if (showHalfVelocity) {
        return {QT_TRANSLATE_NOOP("Core", "Name V/2"), QT_TRANSLATE_NOOP("Core", "V/2")};
    }
    return {QT_TRANSLATE_NOOP("Core", "Name PR"), QT_TRANSLATE_NOOP("Core", "PR")};
}

std::array<int, 2> CableColumnWidths(int width, int scrollBar)
{
    const int w = width - scrollBar;
    return {2 * (w / 3), w / 3};
}

std::optional<double> FactorOfCell(const std::string& cell, bool showHalfVelocity)
{
    const double value = ReadLeadingNumber(cell);
    if (!std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    const double factor = showHalfVelocity ? 300.0 / (2.0 * value) : value;
    if (!std::isfinite(factor) || factor <= 0) {
        return std::nullopt;
    }
    return factor;
}

bool FactorWithinRange(double factor) { return factor >= kMinFactor && factor <= kMaxFactor; }

std::string CableRangeText(bool showHalfVelocity)
{
    return showHalfVelocity ? QT_TRANSLATE_NOOP("Core", "V/2 50 to 150")
                            : QT_TRANSLATE_NOOP("Core", "PR 1 to 3");
}

CellFactor CheckFactorCell(const std::string& cell, bool showHalfVelocity)
{
    const std::optional<double> factor = FactorOfCell(cell, showHalfVelocity);
    if (!factor) {
        return {};
    }
    // Judged by the number the cell shows, so that the shown limits themselves
    // (50.0 and 150.0 in V/2) are taken whatever the division rounds to.
    const double shown = ReadLeadingNumber(cell);
    const bool within =
        showHalfVelocity ? shown >= kMinHalfVelocity && shown <= kMaxHalfVelocity : FactorWithinRange(shown);
    return {within ? CellCheck::Ok : CellCheck::OutOfRange, *factor};
}

std::string CellOfFactor(double factor, bool showHalfVelocity)
{
    return showHalfVelocity ? FormatFixed(300.0 / (2.0 * factor), 1) : FormatFixed(factor, 3);
}

bool NamesFolder(const std::filesystem::path& path)
{
    std::error_code ec;
    return !path.has_filename() || std::filesystem::is_directory(path, ec);
}

std::filesystem::path WithLibraryExtension(std::filesystem::path path)
{
    if (path.has_filename() && !path.has_extension()) {
        path += ".tku";
    }
    return path;
}

Calibration CalibrateFactor(double cursor1, double cursor2, double length, bool showHalfVelocity)
{
    return CalibrateFactor(cursor1, cursor2, length, showHalfVelocity, Untranslated);
}

Calibration CalibrateFactor(double cursor1, double cursor2, double length, bool showHalfVelocity,
                            const TextTranslation& localise)
{
    Calibration result;
    const double span = std::fabs(cursor1 - cursor2);
    if (!(span > 0)) {
        result.check = CalibrationCheck::SameCursors;
        result.text = localise(QT_TRANSLATE_NOOP("Core", "C1 and C2 are at the same point"));
        return result;
    }
    if (!std::isfinite(length) || !(length > 0)) {
        result.check = CalibrationCheck::BadLength;
        result.text = localise(QT_TRANSLATE_NOOP("Core", "The length must be a positive number of metres"));
        return result;
    }
    result.factor = span * tables::kReferenceFactor / length;
    const std::string shown =
        localise(showHalfVelocity ? QT_TRANSLATE_NOOP("Core", "V/2") : QT_TRANSLATE_NOOP("Core", "PR")) +
        " = " + CellOfFactor(result.factor, showHalfVelocity);
    if (!FactorWithinRange(result.factor)) {
        result.check = CalibrationCheck::OutOfRange;
        result.text =
            FillIn(localise(QT_TRANSLATE_NOOP("Core", "%1: outside %2, check the cursors and the length")),
                   {shown, localise(CableRangeText(showHalfVelocity).c_str())});
        return result;
    }
    result.text = shown;
    return result;
}
