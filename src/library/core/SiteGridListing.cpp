#include "library/core/SiteGridListing.h"

#include "library/core/FileNameText.h"
#include "library/core/TdrFolder.h"
#include "library/core/WaveformListing.h"
#include "model/FileTime.h"
#include "model/Format.h"
#include "model/LegendText.h"
#include "model/PrivateProfile.h"
#include "model/ScaleTables.h"

#include <cmath>
#include <deque>
#include <system_error>

namespace {

constexpr std::string_view kExtension = ".pie";
// A grid of the most sections the panel reads is a few tens of kilobytes; a
// larger file is not a grid and is not read whole just to be listed.
constexpr std::size_t kMaxGridFileBytes = 4 * 1024 * 1024;

// The scale cell: SCALE read as a number and truncated, "%.1f" of its table
// entry, nothing for an index outside the table.
std::string ScaleText(const ProfileText& text)
{
    const std::string stored = profile::CleanValue(text.Find("PIECE", "SCALE").value_or("0"));
    const double index = std::trunc(ReadLeadingNumber(stored));
    if (!(index >= 0 && index < tables::kCount)) {
        return {};
    }
    return FormatFixed(tables::kScale[static_cast<std::size_t>(index)], 1);
}

} // namespace

bool HasSiteGridExtension(std::string_view fileName)
{
    if (fileName.size() <= kExtension.size()) {
        return false;
    }
    return FoldedName(fileName.substr(fileName.size() - kExtension.size())) == FoldedName(kExtension);
}

std::filesystem::path WithSiteGridExtension(const std::filesystem::path& typed)
{
    if (HasSiteGridExtension(typed.filename().string())) {
        return typed;
    }
    std::filesystem::path path = typed;
    path += kExtension;
    return path;
}

std::vector<SiteGridListing> ListSiteGridFolder(const std::filesystem::path& folder)
{
    std::deque<SiteGridListing> found;
    NameOrderSort sort;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string fileName = it->path().filename().string();
        std::error_code statError;
        if (!HasSiteGridExtension(fileName) || !it->is_regular_file(statError)) {
            continue;
        }
        const FileReadResult file = ReadWholeFile(it->path(), kMaxGridFileBytes);
        const std::optional<int64_t> time = LastWriteLocalFileTime(it->path());
        if (file.status != FileReadStatus::Read || !time) {
            continue;
        }
        const ProfileText text = ProfileText::Parse(file.bytes);
        SiteGridListing& row = found.emplace_back();
        row.m_path = it->path();
        row.m_strFileName = fileName;
        row.m_cells = {" ",
                       ReadableFileName(WaveformNameOf(fileName)),
                       profile::CleanValue(text.Find("PIECE", "AMOUNT").value_or("0")),
                       ScaleText(text),
                       WaveListDateText(*time),
                       FileClockText(*time)};
        sort.Add(fileName);
    }
    std::vector<SiteGridListing> rows;
    rows.reserve(found.size());
    for (const uint32_t index : sort.Order()) {
        rows.push_back(std::move(found[index]));
    }
    return rows;
}
