#include "model/WaveformRecord.h"

#include "model/FileTime.h"
#include "model/ScaleTables.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int32_t Word(std::span<const uint8_t> bytes, std::size_t index)
{
    const std::size_t at = index * 4;
    const uint32_t value = static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
                           (static_cast<uint32_t>(bytes[at + 2]) << 16) |
                           (static_cast<uint32_t>(bytes[at + 3]) << 24);
    return static_cast<int32_t>(value);
}

// Reads the whole file into buffer when it is exactly buffer.size() bytes long.
bool ReadExactly(const std::filesystem::path& path, std::span<uint8_t> buffer)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::size_t done = 0;
    bool ok = true;
    while (done < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return ok;
}

} // namespace

std::optional<TdrHeader> DecodeTdrHeader(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kTdrDecodedHeaderBytes) {
        return std::nullopt;
    }
    const int32_t pulse = Word(bytes, 1);
    const int32_t scale = Word(bytes, 2);
    const int32_t averaging = Word(bytes, 3);
    if (pulse < 0 || pulse >= tables::kCount || scale < 0 || scale >= tables::kCount) {
        return std::nullopt;
    }
    // 2^n must be a whole count that fits the field: n from 0 to 30.
    if (averaging < 0 || averaging > 30) {
        return std::nullopt;
    }
    TdrHeader header;
    header.m_dPulse = tables::kPulse[pulse];
    header.m_dScale = tables::kScale[scale];
    header.m_dSampleStep = tables::kSampleStep[scale] / 100.0;
    header.m_dColumnStep = header.m_dScale / tables::kColumns;
    header.m_nAverages = static_cast<int32_t>(std::pow(2.0, averaging));
    header.m_nGain = Word(bytes, 4);
    header.m_nImpedance = Word(bytes, 5);
    header.m_dFileFactor = Word(bytes, 6) / 1000.0;
    header.m_dDelay = Word(bytes, 8) / 0.2;
    // The stored threshold is offset by 60; a word near the top of its range would overflow.
    const int64_t threshold = static_cast<int64_t>(Word(bytes, 9)) + 60;
    header.m_nThreshold = threshold > INT32_MAX ? INT32_MAX : static_cast<int32_t>(threshold);
    header.m_nMethod = Word(bytes, 10);
    return header;
}

const char* MethodText(int32_t method)
{
    switch (method) {
    case kMethodArc:
        return "arc";
    case kMethodPulse:
        return "pulse";
    case kMethodWare:
        return "ware";
    default:
        return "";
    }
}

bool WaveformRecord::ToggleOn()
{
    m_bOn = !m_bOn;
    return m_bOn;
}

bool DecodeWaveform(WaveformRecord& record, std::span<const uint8_t> file)
{
    if (file.size() != kTdrFileSize) {
        return false;
    }
    const std::optional<TdrHeader> header = DecodeTdrHeader(file);
    if (!header) {
        return false;
    }
    record.m_dPulse = header->m_dPulse;
    record.m_dScale = header->m_dScale;
    record.m_dSampleStep = header->m_dSampleStep;
    record.m_dColumnStep = header->m_dColumnStep;
    record.m_nAverages = header->m_nAverages;
    record.m_nGain = header->m_nGain;
    record.m_nImpedance = header->m_nImpedance;
    record.m_dFileFactor = header->m_dFileFactor;
    record.m_dDelay = header->m_dDelay;
    record.m_nThreshold = header->m_nThreshold;
    record.m_nMethod = header->m_nMethod;
    // Samples are two's-complement bytes: copied as they are.
    std::memcpy(record.m_samples.data(), file.data() + kTdrHeaderBytes, kTdrSampleCount);
    record.m_dMarker1 = 0;
    record.m_dMarker2 = 0;
    return true;
}

bool LoadWaveform(WaveformRecord& record, const std::filesystem::path& folder, const std::string& name)
{
    record.m_strName = name;
    const std::filesystem::path path = folder / (name + ".tdr");

    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    if (info.st_size != static_cast<off_t>(kTdrFileSize)) {
        return false;
    }
    std::array<uint8_t, kTdrFileSize> bytes;
    if (!ReadExactly(path, bytes)) {
        return false;
    }
    if (!DecodeWaveform(record, bytes)) {
        return false;
    }
    record.m_ftTime = LocalFileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    return true;
}
