#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/file_time.h"
#include "platform/process_ids.h"

namespace {

TEST(ClockTest, AFixedTimeIsAnsweredUntilCleared)
{
    std::time_t before = std::time(nullptr);
    {
        platform::ScopedLocalTime clock(2024, 2, 29, 23, 59, 60);  // carries into March
        std::tm now = platform::localNow();
        EXPECT_EQ(now.tm_year, 124);
        EXPECT_EQ(now.tm_mon, 2);
        EXPECT_EQ(now.tm_mday, 1);
        EXPECT_EQ(now.tm_hour, 0);
        EXPECT_EQ(now.tm_min, 0);
        EXPECT_EQ(now.tm_sec, 0);
        EXPECT_EQ(now.tm_wday, 5);  // a Friday
        clock.set(1999, 12, 31, 12, 0, 0);
        EXPECT_EQ(platform::localNow().tm_year, 99);
    }
    std::tm now = platform::localNow();
    std::tm expected{};
    localtime_r(&before, &expected);
    EXPECT_GE(now.tm_year, expected.tm_year);
    EXPECT_GE(now.tm_year, 124);
}

TEST(ProcessIdsTest, ProcessAndKernelThreadIdentifiers)
{
    EXPECT_EQ(platform::currentProcessId(), static_cast<uint32_t>(::getpid()));
    uint32_t other = 0;
    std::thread worker([&] { other = platform::currentThreadId(); });
    worker.join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, platform::currentThreadId());
}

// Runs body with the zone set to zone, then puts the old one back.
template <typename Body>
void inZone(const char* zone, Body body)
{
    const char* old = std::getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", zone, 1);
    tzset();
    body();
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(FileTimeTest, CountsFrom1601InUtcAndConvertsToLocalTime)
{
    EXPECT_EQ(platform::fileTimeFromUnix(0, 0).ticks, 116444736000000000u);
    EXPECT_EQ(platform::fileTimeFromUnix(1, 500).ticks, 116444736010000005u);

    inZone("CET-1CEST,M3.5.0,M10.5.0/3", [] {
        platform::SystemTime local;
        // 2024-07-01 10:00:00 UTC is noon in summer time.
        ASSERT_TRUE(
            platform::fileTimeToLocalSystemTime(platform::fileTimeFromUnix(1719828000, 250'000'000), local));
        EXPECT_EQ(local.year, 2024);
        EXPECT_EQ(local.month, 7);
        EXPECT_EQ(local.day, 1);
        EXPECT_EQ(local.dayOfWeek, 1);
        EXPECT_EQ(local.hour, 12);
        EXPECT_EQ(local.minute, 0);
        EXPECT_EQ(local.milliseconds, 250);

        platform::FileTime back;
        ASSERT_TRUE(platform::localSystemTimeToFileTime(local, back));
        EXPECT_EQ(back.ticks, platform::fileTimeFromUnix(1719828000, 250'000'000).ticks);
        // Winter: one hour ahead of UTC.
        platform::SystemTime winter;
        winter.year = 2024;
        winter.month = 1;
        winter.day = 15;
        winter.hour = 1;
        ASSERT_TRUE(platform::localSystemTimeToFileTime(winter, back));
        EXPECT_EQ(back.ticks, platform::fileTimeFromUnix(1705276800, 0).ticks);

        winter.month = 13;
        EXPECT_FALSE(platform::localSystemTimeToFileTime(winter, back));
        winter.month = 1;
        winter.year = 1600;
        EXPECT_FALSE(platform::localSystemTimeToFileTime(winter, back));
    });
}

}  // namespace
