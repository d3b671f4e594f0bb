#include "library/core/WaveformListing.h"

#include "library/core/TdrFolder.h"
#include "model/FileTime.h"
#include "model/Format.h"
#include "model/LegendText.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Reads exactly buffer.size() bytes from offset 0; false on a short read.
bool ReadAt(int fd, std::span<uint8_t> buffer)
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(fd, buffer.data() + done, buffer.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// Widths shared by both rules; the rules differ in the columns 10 to 12.
std::array<int, kWaveListColumns> ColumnWidths(int panelWidth, int scrollBarWidth, bool markers, int narrow)
{
    const int basis = panelWidth - std::max(scrollBarWidth, 0);
    const int name = basis - (markers ? 920 : 760);
    const int marker = markers ? 80 : 0;
    return {20, std::max(name, 0), 60, 60, 60, 60, 60, 80, marker, marker, narrow, narrow, narrow, 80, 60};
}

// The file that holds the listed waveform `name`: "<name>.tdr" when it exists,
// else the first name in byte order that is `name` plus the extension in
// another case. Empty when there is none.
std::string FindListedFile(const std::filesystem::path& folder, const std::string& name)
{
    const std::string exact = name + ".tdr";
    struct stat info = {};
    if (::stat((folder / exact).c_str(), &info) == 0) {
        return exact;
    }
    std::string best;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return best;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view candidate = entry->d_name;
        if (candidate.size() == name.size() + 4 && candidate.starts_with(name) &&
            HasTdrExtension(candidate) && (best.empty() || candidate < best)) {
            best = candidate;
        }
    }
    ::closedir(dir);
    return best;
}

} // namespace

std::vector<WaveformListing> ListWaveformFolder(const std::filesystem::path& folder)
{
    // Rows are collected in the folder's order (in a deque, so growing never
    // moves them), then moved once into name order.
    std::deque<WaveformListing> found;
    NameOrderSort sort;
    ForEachTdrFile(folder, true, [&](const TdrFolderEntry& entry) {
        std::array<uint8_t, kTdrDecodedHeaderBytes> bytes;
        if (!ReadAt(entry.m_nFileFd, bytes)) {
            return;
        }
        const std::optional<TdrHeader> header = DecodeTdrHeader(bytes);
        if (!header) {
            return;
        }
        WaveformListing& row = found.emplace_back();
        row.m_strFileName = entry.m_pName;
        row.m_strName = WaveformNameOf(row.m_strFileName);
        row.m_header = *header;
        row.m_ftTime = LocalFileTimeFromUnix(entry.m_nWriteSeconds, entry.m_nWriteNanos);
        sort.Add(row.m_strFileName);
    });
    std::vector<WaveformListing> rows;
    rows.reserve(found.size());
    for (const uint32_t index : sort.Order()) {
        rows.push_back(std::move(found[index]));
    }
    return rows;
}

std::array<std::string, kWaveListColumns> WaveListHeadings(bool showHalfVelocity)
{
    return {" ",       "Waveform name", "Scale",     "Pulse", showHalfVelocity ? "V/2" : "PR",
            "Average", "Gain",          "Impedance", "М1",    "М2",
            "Method",  "Threshold",     "Delay",     "Data",  "Time"};
}

std::string WaveListDateText(int64_t fileTime)
{
    const LocalDateTime t = SplitFileTime(fileTime);
    return FormatTwoDigits(t.day) + "." + FormatTwoDigits(t.month) + "." + FormatTwoDigits(t.year);
}

std::array<std::string, kWaveListColumns> WaveListCells(const WaveformListing& row, bool showHalfVelocity)
{
    const TdrHeader& h = row.m_header;
    return {" ",
            row.m_strName,
            FormatFixed(h.m_dScale, 1),
            FormatFixed(h.m_dPulse, 0),
            showHalfVelocity ? FormatFixed(300.0 / (2 * h.m_dFileFactor), 1)
                             : FormatFixed(h.m_dFileFactor, 3),
            FormatInt(h.m_nAverages),
            FormatInt(h.m_nGain),
            FormatInt(h.m_nImpedance),
            " ",
            " ",
            MethodText(h.m_nMethod),
            FormatInt(h.m_nThreshold),
            FormatFixed(h.m_dDelay, 1),
            WaveListDateText(row.m_ftTime),
            FileClockText(row.m_ftTime)};
}

std::array<int, kWaveListColumns> WaveListResizeWidths(int panelWidth, int scrollBarWidth, bool markers)
{
    return ColumnWidths(panelWidth, scrollBarWidth, markers, 60);
}

std::array<int, kWaveListColumns> WaveListLayoutWidths(int panelWidth, int scrollBarWidth, bool markers)
{
    return ColumnWidths(panelWidth, scrollBarWidth, markers, 40);
}

bool LoadListedWaveform(WaveformRecord& record, const std::filesystem::path& folder, const std::string& name)
{
    record.m_strName = name;
    const std::string fileName = FindListedFile(folder, name);
    if (fileName.empty()) {
        return false;
    }
    const std::filesystem::path path = folder / fileName;
    // The size is checked before the file is opened, and again on the open file
    // in case it was replaced in between.
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size != static_cast<off_t>(kTdrFileSize)) {
        return false;
    }
    const int fd = OpenForReading(AT_FDCWD, path.c_str());
    if (fd < 0) {
        return false;
    }
    std::array<uint8_t, kTdrFileSize> bytes;
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                    info.st_size == static_cast<off_t>(kTdrFileSize) && ReadAt(fd, bytes);
    ::close(fd);
    if (!ok || !DecodeWaveform(record, bytes)) {
        return false;
    }
    record.m_ftTime = LocalFileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    return true;
}
