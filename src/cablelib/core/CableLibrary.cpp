// The .tku codec, its file reading and writing, and the value cells in PR or V/2.
#include "cablelib/core/CableLibrary.h"

#include "model/Format.h"
#include "model/SafeFile.h"
#include "model/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char16_t kLineFeed = 0x000A;
constexpr char16_t kCarriageReturn = 0x000D;

char16_t UnitAt(std::string_view bytes, size_t index)
{
    const auto low = static_cast<unsigned char>(bytes[2 * index]);
    const auto high = static_cast<unsigned char>(bytes[2 * index + 1]);
    return static_cast<char16_t>(low | (high << 8));
}

// Calls found(firstUnit, unitCount) for each line of the UTF-16LE units in
// bytes, line ends left out; an odd last byte is no unit.
template <typename Found> void ForEachLine(std::string_view bytes, Found&& found)
{
    const size_t units = bytes.size() / 2;
    size_t start = 0;
    size_t i = 0;
    while (i < units) {
        const char16_t unit = UnitAt(bytes, i);
        if (unit == kLineFeed || unit == kCarriageReturn) {
            found(start, i - start);
            // A CR takes the unit after it along, whatever it is.
            i = unit == kLineFeed ? i + 1 : std::min(units, i + 2);
            start = i;
        } else {
            ++i;
        }
    }
    if (start < units) {
        found(start, units - start);
    }
}

// One line of the file: text with its CRs and LFs made blanks, then LF.
void AppendLine(std::string& out, std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    out += EncodeUtf16Le(text);
    out += std::string_view("\n\0", 2);
}

// The number at the start of text taken to the other presentation: V/2 in m/us
// is 300 / (2 x PR), and so PR is 300 / (2 x V/2). Empty when text does not
// start with a positive number or the result is not finite.
std::string OtherPresentation(const std::string& text, int digits)
{
    const double value = ReadLeadingNumber(text);
    if (!std::isfinite(value) || !(value > 0)) {
        return {};
    }
    const double other = 300.0 / (2.0 * value);
    if (!std::isfinite(other)) {
        return {};
    }
    return FormatFixed(other, digits);
}

} // namespace

std::string EncodeCableLibrary(const std::vector<CableEntry>& entries)
{
    std::string out;
    for (const CableEntry& entry : entries) {
        AppendLine(out, entry.m_strName);
        AppendLine(out, entry.m_strValue);
    }
    return out;
}

std::vector<CableEntry> DecodeCableLibrary(std::string_view bytes)
{
    // Counted first, so the entries are allocated once at their final size.
    size_t lines = 0;
    ForEachLine(bytes, [&](size_t, size_t) { ++lines; });
    std::vector<CableEntry> entries;
    entries.reserve((lines + 1) / 2);
    bool nameLine = true;
    ForEachLine(bytes, [&](size_t first, size_t count) {
        std::string text = DecodeUtf16(bytes.substr(2 * first, 2 * count), false);
        if (nameLine) {
            entries.push_back(CableEntry{std::move(text), {}});
        } else {
            entries.back().m_strValue = std::move(text);
        }
        nameLine = !nameLine;
    });
    return entries;
}

CableReadResult ReadCableLibraryFile(const std::filesystem::path& path)
{
    const FileReadResult file = ReadWholeFile(path, kMaxCableLibraryBytes);
    CableReadResult result;
    switch (file.status) {
    case FileReadStatus::Missing:
        result.status = CableReadStatus::Missing;
        break;
    case FileReadStatus::Unreadable:
        result.status = CableReadStatus::Unreadable;
        break;
    case FileReadStatus::Read:
        result.status = CableReadStatus::Read;
        result.entries = DecodeCableLibrary(file.bytes);
        break;
    }
    return result;
}

std::optional<std::vector<CableEntry>> ReadCableLibrary(const std::filesystem::path& path)
{
    CableReadResult read = ReadCableLibraryFile(path);
    if (read.status != CableReadStatus::Read) {
        return std::nullopt;
    }
    return std::move(read.entries);
}

bool WriteCableLibrary(const std::filesystem::path& path, const std::vector<CableEntry>& entries)
{
    return WriteFileAtomically(path, EncodeCableLibrary(entries));
}

std::string CableCellText(const std::string& storedValue, bool showHalfVelocity)
{
    return showHalfVelocity ? OtherPresentation(storedValue, 1) : storedValue;
}

std::string CableStoredText(const std::string& cellText, bool showHalfVelocity)
{
    return showHalfVelocity ? OtherPresentation(cellText, 3) : cellText;
}
