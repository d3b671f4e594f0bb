// File times in the instrument's convention: 100-nanosecond units since
// 1601-01-01, in local time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

struct LocalDateTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Seconds between 1601-01-01 and 1970-01-01.
inline constexpr int64_t kFileTimeEpochOffset = 11644473600LL;

// A UTC instant (seconds and nanoseconds since 1970) as a local file time.
int64_t LocalFileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

// Last-write time of a file as a local file time; nullopt when it cannot be read.
std::optional<int64_t> LastWriteLocalFileTime(const std::filesystem::path& path);

// Calendar fields of a local file time.
LocalDateTime SplitFileTime(int64_t fileTime);
