#include "library/core/WaveformListing.h"

#include "library/core/FileNameText.h"
#include "library/core/TdrFolder.h"
#include "model/FileTime.h"
#include "model/Format.h"
#include "model/TextMarks.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
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

// Candidates per hand-out when two threads share a folder's files.
constexpr std::size_t kListingChunk = 128;

// What the threads read of one file; names stay in the scan until the rows
// are built in name order, so no string is made or moved twice.
struct ReadHeader
{
    uint32_t m_nCandidate = 0;
    int64_t m_ftTime = 0;
    TdrHeader m_header;
};

// Appends what candidate `index` holds when it is a waveform file whose header
// decodes.
void ReadListedHeader(const TdrFolderScan& scan, std::size_t index, std::vector<ReadHeader>& found)
{
    TdrFolderEntry entry;
    if (!scan.Check(index, true, entry)) {
        return;
    }
    std::array<uint8_t, kTdrDecodedHeaderBytes> bytes;
    const bool read = ReadAt(entry.m_nFileFd, bytes);
    ::close(entry.m_nFileFd);
    const std::optional<TdrHeader> header = read ? DecodeTdrHeader(bytes) : std::nullopt;
    if (!header) {
        return;
    }
    found.push_back({static_cast<uint32_t>(index),
                     LocalFileTimeFromUnix(entry.m_nWriteSeconds, entry.m_nWriteNanos), *header});
}

// FormatFixed for the one to three decimals of the list, without the general
// conversion when the rounding is plain. Below 2^40 the computed product of
// the value and 10^digits lies within 1.2e-4 of the exact one, so when it is
// farther than 1e-3 from a tie both round to the same whole number; near a tie
// (and for large values, infinities and NaN) the exact rounding decides.
std::string FixedText(double value, int digits)
{
    static constexpr double kPowers[] = {1, 10, 100, 1000};
    const double scaled = std::fabs(value) * kPowers[digits];
    if (!(scaled < 0x1p40)) {
        return FormatFixed(value, digits);
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-3) {
        return FormatFixed(value, digits);
    }
    uint64_t n = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    char buffer[24];
    char* const end = buffer + sizeof buffer;
    char* p = end;
    for (int d = 0; d < digits; ++d, n /= 10) {
        *--p = static_cast<char>('0' + n % 10);
    }
    if (digits > 0) {
        *--p = '.';
    }
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (std::signbit(value)) {
        *--p = '-';
    }
    return std::string(p, end);
}

// "a<sep>b<sep>c" of three fields from 0 to 99, each two digits.
std::string TwoDigitFields(int a, int b, int c, char separator)
{
    std::string text(8, separator);
    const int fields[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        text[static_cast<std::size_t>(3 * k)] = static_cast<char>('0' + fields[k] / 10);
        text[static_cast<std::size_t>(3 * k + 1)] = static_cast<char>('0' + fields[k] % 10);
    }
    return text;
}

// "dd.mm.yyyy", the year as FormatTwoDigits writes it (in full, zero padded to two).
std::string DateText(const LocalDateTime& t)
{
    if (t.year >= 1000 && t.year <= 9999) {
        std::string text = TwoDigitFields(t.day, t.month, t.year / 100, '.');
        text += static_cast<char>('0' + t.year / 10 % 10);
        text += static_cast<char>('0' + t.year % 10);
        return text;
    }
    return FormatTwoDigits(t.day) + "." + FormatTwoDigits(t.month) + "." + FormatTwoDigits(t.year);
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
    const TdrFolderScan scan(folder);
    const std::size_t count = scan.Count();
    // The candidates are handed out in chunks from a shared counter, so a
    // second thread takes what the first has not reached, however the two are
    // scheduled. Rows come out in no particular order; sorting orders them.
    std::atomic<std::size_t> next = 0;
    const auto readChunks = [&](std::vector<ReadHeader>& found) {
        for (;;) {
            const std::size_t first = next.fetch_add(kListingChunk);
            if (first >= count) {
                return;
            }
            for (std::size_t i = first; i < std::min(first + kListingChunk, count); ++i) {
                ReadListedHeader(scan, i, found);
            }
        }
    };
    std::vector<ReadHeader> found;
    std::vector<ReadHeader> helperFound;
    found.reserve(count);
    if (count >= 2 * kListingChunk && std::thread::hardware_concurrency() > 1) {
        std::exception_ptr helperFault;
        std::jthread helper;
        try {
            helperFound.reserve(count);
            helper = std::jthread([&] {
                try {
                    readChunks(helperFound);
                } catch (...) {
                    helperFault = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one reads everything.
        }
        readChunks(found);
        if (helper.joinable()) {
            helper.join();
        }
        if (helperFault) {
            std::rethrow_exception(helperFault);
        }
    } else {
        readChunks(found);
    }
    found.insert(found.end(), helperFound.begin(), helperFound.end());

    NameOrderSort sort;
    for (const ReadHeader& header : found) {
        sort.Add(scan.Name(header.m_nCandidate));
    }
    std::vector<WaveformListing> rows(found.size());
    std::size_t at = 0;
    for (const uint32_t index : sort.Order()) {
        const ReadHeader& header = found[index];
        WaveformListing& row = rows[at++];
        row.m_strFileName = scan.Name(header.m_nCandidate);
        row.m_strName = ReadableFileName(std::string_view(row.m_strFileName).substr(0, row.m_strFileName.size() - 4));
        row.m_header = header.m_header;
        row.m_ftTime = header.m_ftTime;
    }
    return rows;
}

std::array<std::string, kWaveListColumns> WaveListHeadings(bool showHalfVelocity)
{
    return {" ",
            QT_TRANSLATE_NOOP("Core", "Waveform name"),
            QT_TRANSLATE_NOOP("Core", "Scale"),
            QT_TRANSLATE_NOOP("Core", "Pulse"),
            showHalfVelocity ? QT_TRANSLATE_NOOP("Core", "V/2") : QT_TRANSLATE_NOOP("Core", "PR"),
            QT_TRANSLATE_NOOP("Core", "Average"),
            QT_TRANSLATE_NOOP("Core", "Gain"),
            QT_TRANSLATE_NOOP("Core", "Impedance"),
            QT_TRANSLATE_NOOP("Core", "М1"),
            QT_TRANSLATE_NOOP("Core", "М2"),
            QT_TRANSLATE_NOOP("Core", "Method"),
            QT_TRANSLATE_NOOP("Core", "Threshold"),
            QT_TRANSLATE_NOOP("Core", "Delay"),
            QT_TRANSLATE_NOOP("Core", "Data"),
            QT_TRANSLATE_NOOP("Core", "Time")};
}

std::string WaveListDateText(int64_t fileTime)
{
    return DateText(SplitFileTime(fileTime));
}

std::array<std::string, kWaveListColumns> WaveListCells(const WaveformListing& row, bool showHalfVelocity)
{
    const TdrHeader& h = row.m_header;
    // The clock is the one FileClockText shows; the time is split once for both.
    const LocalDateTime t = SplitFileTime(row.m_ftTime);
    return {" ",
            row.m_strName,
            FixedText(h.m_dScale, 1),
            FixedText(h.m_dPulse, 0),
            showHalfVelocity ? FixedText(300.0 / (2 * h.m_dFileFactor), 1) : FixedText(h.m_dFileFactor, 3),
            FormatInt(h.m_nAverages),
            FormatInt(h.m_nGain),
            FormatInt(h.m_nImpedance),
            " ",
            " ",
            MethodText(h.m_nMethod),
            FormatInt(h.m_nThreshold),
            FixedText(h.m_dDelay, 1),
            DateText(t),
            TwoDigitFields(t.hour, t.minute, t.second, ':')};
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
    record.m_strName = ReadableFileName(name);
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
