#include "model/FileTime.h"

#include <ctime>
#include <sys/stat.h>

namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;

// Offset of local time from UTC at a given instant, in seconds.
int64_t LocalOffset(int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (::localtime_r(&t, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

// Calendar date of a count of days since 1970-01-01 (proleptic Gregorian).
void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

} // namespace

int64_t LocalFileTimeFromUnix(int64_t seconds, int64_t nanoseconds)
{
    const int64_t local = seconds + LocalOffset(seconds);
    return (local + kFileTimeEpochOffset) * kTicksPerSecond + nanoseconds / 100;
}

std::optional<int64_t> LastWriteLocalFileTime(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return LocalFileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
}

LocalDateTime SplitFileTime(int64_t fileTime)
{
    int64_t seconds = fileTime / kTicksPerSecond;
    if (fileTime % kTicksPerSecond < 0) {
        --seconds;
    }
    seconds -= kFileTimeEpochOffset;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LocalDateTime out;
    CivilFromDays(days, out.year, out.month, out.day);
    out.hour = static_cast<int>(rest / 3600);
    out.minute = static_cast<int>(rest / 60 % 60);
    out.second = static_cast<int>(rest % 60);
    return out;
}
