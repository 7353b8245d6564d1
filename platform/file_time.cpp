#include "platform/file_time.h"

#include <ctime>

namespace platform {

namespace {

constexpr int64_t ticksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t epochDifference = 11'644'473'600;

}  // namespace

FileTime fileTimeFromUnix(int64_t seconds, int64_t nanoseconds)
{
    int64_t ticks = (seconds + epochDifference) * ticksPerSecond + nanoseconds / 100;
    return FileTime{ticks < 0 ? 0 : static_cast<uint64_t>(ticks)};
}

bool fileTimeToLocalSystemTime(const FileTime& time, SystemTime& out)
{
    int64_t seconds = static_cast<int64_t>(time.ticks / ticksPerSecond) - epochDifference;
    std::time_t serial = static_cast<std::time_t>(seconds);
    std::tm broken{};
    if (!localtime_r(&serial, &broken))
        return false;
    out.year = static_cast<uint16_t>(broken.tm_year + 1900);
    out.month = static_cast<uint16_t>(broken.tm_mon + 1);
    out.dayOfWeek = static_cast<uint16_t>(broken.tm_wday);
    out.day = static_cast<uint16_t>(broken.tm_mday);
    out.hour = static_cast<uint16_t>(broken.tm_hour);
    out.minute = static_cast<uint16_t>(broken.tm_min);
    out.second = static_cast<uint16_t>(broken.tm_sec);
    out.milliseconds = static_cast<uint16_t>((time.ticks % ticksPerSecond) / 10'000);
    return true;
}

bool localSystemTimeToFileTime(const SystemTime& time, FileTime& out)
{
    if (time.year < 1601 || time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31 ||
        time.hour > 23 || time.minute > 59 || time.second > 59 || time.milliseconds > 999)
        return false;
    std::tm broken{};
    broken.tm_year = time.year - 1900;
    broken.tm_mon = time.month - 1;
    broken.tm_mday = time.day;
    broken.tm_hour = time.hour;
    broken.tm_min = time.minute;
    broken.tm_sec = time.second;
    broken.tm_isdst = -1;  // let the zone's rules decide, as the local clock did
    broken.tm_wday = -1;   // mktime fills it only on success; -1 is also a valid time
    std::time_t serial = std::mktime(&broken);
    if (broken.tm_wday < 0)
        return false;
    int64_t seconds = static_cast<int64_t>(serial) + epochDifference;
    if (seconds < 0)
        return false;
    out.ticks =
        static_cast<uint64_t>(seconds) * ticksPerSecond + static_cast<uint64_t>(time.milliseconds) * 10'000;
    return true;
}

}  // namespace platform
