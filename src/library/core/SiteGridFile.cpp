#include "library/core/SiteGridFile.h"

#include "model/Format.h"
#include "model/PrivateProfile.h"
#include "model/ScaleTables.h"
#include "model/Thousandths.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>

namespace {

constexpr std::string_view kPiece = "PIECE";
constexpr std::string_view kAmount = "AMOUNT";
constexpr std::string_view kScaleKey = "SCALE";
constexpr std::string_view kName = "NAME";
constexpr std::string_view kLength = "LENGTH";
constexpr std::string_view kFactor = "VFACTOR";
constexpr int32_t kDefaultFactor = 1500;
constexpr double kRef = tables::kReferenceFactor;

std::string SiteSection(int number) { return "SITE" + FormatInt(number); }

// The file's parsed text, read once so that every value comes from the same
// version of it. A missing file reads as an empty one; nullopt when something
// is there that cannot be read (writing over it would lose what it holds).
std::optional<ProfileText> LoadText(const std::filesystem::path& path)
{
    const FileReadResult file = ReadWholeFile(path);
    if (file.status == FileReadStatus::Unreadable) {
        return std::nullopt;
    }
    return file.status == FileReadStatus::Read ? ProfileText::Parse(file.bytes) : ProfileText{};
}

// PrivateProfile::GetInt on a text already read.
int32_t IntOf(const ProfileText& text, std::string_view section, std::string_view key, int32_t defaultValue)
{
    const std::optional<std::string> raw = text.Find(section, key);
    if (!raw) {
        return defaultValue;
    }
    const std::string value = profile::CleanValue(*raw);
    return value.empty() ? defaultValue : profile::LeadingInt(value);
}

// AMOUNT held to 0..kMaxSiteGridSections.
int SectionCount(const ProfileText& text)
{
    return std::clamp(IntOf(text, kPiece, kAmount, 0), 0, kMaxSiteGridSections);
}

struct SectionValues
{
    std::optional<std::string> m_name; // nullopt when the key is missing
    int32_t m_nLength = 0;             // millimetres of position
    double m_dFactor = kRef;
    bool m_bFactorDefaulted = false;
};

// Section `number` (from 1). A VFACTOR that is present reads as the number at
// its start, so an empty value is 0 rather than the default, and a factor of 0
// or less is replaced by the reference factor.
SectionValues ReadSection(const ProfileText& text, int number)
{
    const std::string section = SiteSection(number);
    SectionValues v;
    if (const std::optional<std::string> name = text.Find(section, kName)) {
        v.m_name = profile::CleanValue(*name);
    }
    v.m_nLength = IntOf(text, section, kLength, 0);
    const std::optional<std::string> factorText = text.Find(section, kFactor);
    const int32_t thousandths = factorText ? profile::LeadingInt(profile::CleanValue(*factorText)) : kDefaultFactor;
    v.m_bFactorDefaulted = thousandths <= 0;
    v.m_dFactor = v.m_bFactorDefaulted ? kRef : thousandths / 1000.0;
    return v;
}

std::vector<SectionValues> ReadSections(const std::filesystem::path& path)
{
    std::vector<SectionValues> sections;
    const std::optional<ProfileText> text = LoadText(path);
    if (!text) {
        return sections;
    }
    const int count = SectionCount(*text);
    sections.reserve(static_cast<std::size_t>(count));
    for (int n = 1; n <= count; ++n) {
        sections.push_back(ReadSection(*text, n));
    }
    return sections;
}

// Reads the file, lets edit change its text (false: leave the file alone) and
// writes the result back in one replacement.
bool EditFile(const std::filesystem::path& path, const std::function<bool(ProfileText&)>& edit)
{
    std::optional<ProfileText> text = LoadText(path);
    if (!text || !edit(*text)) {
        return false;
    }
    return WriteFileAtomically(path, text->Serialise());
}

// Sets one key of section `index` (from 0) when the grid has that section.
bool EditSectionKey(const std::filesystem::path& path, int index, std::string_view key, const std::string& value)
{
    return EditFile(path, [&](ProfileText& text) {
        if (index < 0 || index >= SectionCount(text)) {
            return false;
        }
        text.Set(SiteSection(index + 1), key, value);
        return true;
    });
}

// A name as stored: reading trims blanks and one pair of enclosing quotes, so a
// name that reading would change is stored inside quotes, which reading removes.
std::string StoredName(std::string name)
{
    std::replace(name.begin(), name.end(), '\r', ' ');
    std::replace(name.begin(), name.end(), '\n', ' ');
    return profile::CleanValue(name) == name ? name : "\"" + name + "\"";
}

} // namespace

bool CreateSiteGridFile(const std::filesystem::path& path, double scale)
{
    const int index = tables::ScaleIndex(scale);
    ProfileText text;
    text.Set(kPiece, kAmount, "0");
    text.Set(kPiece, kScaleKey, FormatInt(index < 0 ? kSiteGridNoScale : index));
    return WriteFileAtomically(path, text.Serialise());
}

bool AddSiteGridSection(const std::filesystem::path& path, double factor)
{
    return EditFile(path, [&](ProfileText& text) {
        const int count = SectionCount(text);
        if (count >= kMaxSiteGridSections) {
            return false;
        }
        const int number = count + 1;
        const std::string section = SiteSection(number);
        text.Set(kPiece, kAmount, FormatInt(number));
        text.Set(section, kName, "");
        text.Set(section, kLength, "1000");
        text.Set(section, kFactor, FormatInt(ToThousandths(factor)));
        return true;
    });
}

bool DeleteSiteGridSection(const std::filesystem::path& path, int index)
{
    const std::optional<ProfileText> old = LoadText(path);
    if (!old) {
        return false;
    }
    const int count = SectionCount(*old);
    if (index < 0 || index >= count) {
        return false;
    }
    ProfileText text;
    text.Set(kPiece, kAmount, FormatInt(count - 1));
    text.Set(kPiece, kScaleKey, old->Find(kPiece, kScaleKey).value_or("0"));
    int number = 1;
    for (int n = 1; n <= count; ++n) {
        if (n == index + 1) {
            continue;
        }
        const std::string from = SiteSection(n);
        const std::string to = SiteSection(number++);
        for (const std::string_view key : {kName, kLength, kFactor}) {
            if (const std::optional<std::string> value = old->Find(from, key)) {
                text.Set(to, key, *value);
            }
        }
    }
    return WriteFileAtomically(path, text.Serialise());
}

std::vector<SiteGridRow> ReadSiteGridRows(const std::filesystem::path& path, bool showHalfVelocity)
{
    std::vector<SiteGridRow> rows;
    double start = 0;
    int number = 0;
    for (const SectionValues& s : ReadSections(path)) {
        ++number;
        const double length = s.m_nLength / 1000.0 * kRef / s.m_dFactor;
        const double end = start + length;
        SiteGridRow& row = rows.emplace_back();
        row.m_cells = {FormatInt(number),
                       s.m_name ? *s.m_name : "Участок " + FormatInt(number),
                       FormatFixed(start, 2),
                       FormatFixed(end, 2),
                       FormatFixed(length, 2),
                       showHalfVelocity ? FormatFixed(150 / s.m_dFactor, 1) : FormatFixed(s.m_dFactor, 3)};
        row.m_bFactorDefaulted = s.m_bFactorDefaulted;
        start = end;
    }
    return rows;
}

std::vector<std::array<std::string, 6>> SiteGridSectionCells(const std::filesystem::path& path,
                                                             bool showHalfVelocity)
{
    std::vector<std::array<std::string, 6>> cells;
    for (SiteGridRow& row : ReadSiteGridRows(path, showHalfVelocity)) {
        cells.push_back(std::move(row.m_cells));
    }
    return cells;
}

std::vector<SiteGridSection> ReadSiteGridSections(const std::filesystem::path& path)
{
    std::vector<SiteGridSection> sections;
    double start = 0;
    for (const SectionValues& s : ReadSections(path)) {
        SiteGridSection& section = sections.emplace_back();
        section.m_dFactor = s.m_dFactor;
        section.m_dLength = s.m_nLength / 10.0;
        section.m_dStart = start;
        section.m_dEnd = start + section.m_dLength;
        start = section.m_dEnd;
    }
    return sections;
}

bool SetSiteGridSectionName(const std::filesystem::path& path, int index, const std::string& name)
{
    return EditSectionKey(path, index, kName, StoredName(name));
}

bool SetSiteGridSectionLength(const std::filesystem::path& path, int index, int64_t lengthMillimetres)
{
    const int64_t length = std::clamp<int64_t>(lengthMillimetres, 0, std::numeric_limits<int32_t>::max());
    return EditSectionKey(path, index, kLength, FormatInt(length));
}

bool SetSiteGridSectionFactor(const std::filesystem::path& path, int index, double factor)
{
    const int32_t thousandths = ToThousandths(factor);
    if (thousandths <= 0) {
        return false;
    }
    return EditSectionKey(path, index, kFactor, FormatInt(thousandths));
}

int64_t SectionLengthFromEnd(const CZR815KDoc& doc, const std::string& startCell, const std::string& endText)
{
    const double start = doc.DistanceToPosition(ReadLeadingNumber(startCell));
    const double end = doc.DistanceToPosition(ReadLeadingNumber(endText));
    return std::max<int64_t>(ToThousandths(end - start), 0);
}
