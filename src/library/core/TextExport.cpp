#include "library/core/TextExport.h"

#include "library/core/TdrFolder.h"
#include "model/SafeFile.h"
#include "model/WaveformRecord.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The line of every byte value, "\r\n" included, padded to a fixed stride so a
// line is copied with one fixed-size move.
struct LineTable
{
    static constexpr std::size_t kStride = 8;
    std::array<char, 256 * kStride> m_text{};
    std::array<uint8_t, 256> m_length{};

    LineTable()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const int value = byte < 128 ? byte : byte - 256;
            char* out = &m_text[static_cast<std::size_t>(byte) * kStride];
            std::size_t n = 0;
            int magnitude = value;
            if (value < 0) {
                out[n++] = '-';
                magnitude = -value;
            }
            if (magnitude >= 100) {
                out[n++] = static_cast<char>('0' + magnitude / 100);
            }
            if (magnitude >= 10) {
                out[n++] = static_cast<char>('0' + magnitude / 10 % 10);
            }
            out[n++] = static_cast<char>('0' + magnitude % 10);
            out[n++] = '\r';
            out[n++] = '\n';
            m_length[static_cast<std::size_t>(byte)] = static_cast<uint8_t>(n);
        }
    }
};

const LineTable& Lines()
{
    static const LineTable table;
    return table;
}

// Reads the samples of a .tdr file, which must be a regular file of 8512 bytes.
bool ReadSamples(const std::filesystem::path& path, std::array<uint8_t, kTdrSampleCount>& samples)
{
    const int fd = OpenForReading(AT_FDCWD, path.c_str());
    if (fd < 0) {
        return false;
    }
    struct stat info = {};
    bool ok =
        ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == static_cast<off_t>(kTdrFileSize);
    std::size_t done = 0;
    while (ok && done < samples.size()) {
        const ssize_t got = ::pread(fd, samples.data() + done, samples.size() - done,
                                    static_cast<off_t>(kTdrHeaderBytes + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        ok = got > 0;
        done += ok ? static_cast<std::size_t>(got) : 0;
    }
    ::close(fd);
    return ok;
}

} // namespace

std::vector<TextExportJob> ListTextExportJobs(const std::filesystem::path& folder)
{
    std::vector<TextExportJob> found;
    NameOrderSort sort;
    ForEachTdrFile(folder, false, [&](const TdrFolderEntry& entry) {
        TextExportJob& job = found.emplace_back();
        job.m_strSource = entry.m_pName;
        job.m_strTarget = WaveformNameOf(job.m_strSource) + ".txt";
        sort.Add(job.m_strSource);
    });
    std::vector<TextExportJob> jobs;
    jobs.reserve(found.size());
    std::set<std::string> targets;
    for (const uint32_t index : sort.Order()) {
        TextExportJob& job = jobs.emplace_back(std::move(found[index]));
        job.m_bTargetTaken = !targets.insert(job.m_strTarget).second;
    }
    return jobs;
}

std::string WaveformText(std::span<const int8_t> samples)
{
    const LineTable& table = Lines();
    // Room for the longest lines plus the slack of the last fixed-size move.
    std::string text(samples.size() * 6 + LineTable::kStride, '\0');
    char* out = text.data();
    for (const int8_t sample : samples) {
        const std::size_t byte = static_cast<uint8_t>(sample);
        std::memcpy(out, &table.m_text[byte * LineTable::kStride], LineTable::kStride);
        out += table.m_length[byte];
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

bool ExportWaveformText(const std::filesystem::path& folder, const TextExportJob& job)
{
    if (job.m_bTargetTaken) {
        return false;
    }
    std::array<uint8_t, kTdrSampleCount> samples;
    if (!ReadSamples(folder / job.m_strSource, samples)) {
        return false;
    }
    const std::string text = WaveformText(
        std::span<const int8_t>(reinterpret_cast<const int8_t*>(samples.data()), samples.size()));
    return WriteFileAtomically(folder / job.m_strTarget, text, Durability::Unflushed);
}

TextExportResult ExportFolderText(const std::filesystem::path& folder, const TextExportProgress& progress)
{
    TextExportResult result;
    const std::vector<TextExportJob> jobs = ListTextExportJobs(folder);
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (ExportWaveformText(folder, jobs[i])) {
            ++result.m_nWritten;
        } else {
            result.m_failed.push_back(jobs[i].m_strSource);
        }
        if (progress && !progress(i + 1, jobs.size()) && i + 1 < jobs.size()) {
            result.m_bCancelled = true;
            break;
        }
    }
    return result;
}
