#include "model/FileTime.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

namespace {

TEST(FileTime, UtcInstantBecomesLocalCalendarTime)
{
    TimeZone zone("MSK-3"); // three hours east of UTC, no daylight saving
    // 2024-02-29 22:30:15 UTC is 2024-03-01 01:30:15 at UTC+3.
    const int64_t ft = LocalFileTimeFromUnix(1709245815, 500);
    const LocalDateTime t = SplitFileTime(ft);
    EXPECT_EQ(t.year, 2024);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.hour, 1);
    EXPECT_EQ(t.minute, 30);
    EXPECT_EQ(t.second, 15);
    EXPECT_EQ(ft % 10'000'000, 5);
}

TEST(FileTime, EpochsLineUp)
{
    TimeZone zone("UTC0");
    EXPECT_EQ(LocalFileTimeFromUnix(0, 0), 116444736000000000LL);
    const LocalDateTime start = SplitFileTime(0);
    EXPECT_EQ(start.year, 1601);
    EXPECT_EQ(start.month, 1);
    EXPECT_EQ(start.day, 1);
    const LocalDateTime leap = SplitFileTime(LocalFileTimeFromUnix(951782400, 0)); // 2000-02-29
    EXPECT_EQ(leap.year, 2000);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
}

} // namespace
