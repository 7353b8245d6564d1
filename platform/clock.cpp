#include "platform/clock.h"

#include <optional>

namespace platform {

namespace {

std::optional<std::tm> fixedTime;

}  // namespace

std::tm localNow()
{
    if (fixedTime)
        return *fixedTime;
    std::time_t now = std::time(nullptr);
    std::tm broken{};
    localtime_r(&now, &broken);
    return broken;
}

void setLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm wanted{};
    wanted.tm_year = year - 1900;
    wanted.tm_mon = month - 1;
    wanted.tm_mday = day;
    wanted.tm_hour = hour;
    wanted.tm_min = minute;
    wanted.tm_sec = second;
    // Normalised as a time without zone, so the fixed time is exactly the one asked
    // for whatever the machine's zone and daylight-saving rules are.
    std::time_t serial = timegm(&wanted);
    std::tm normalised{};
    gmtime_r(&serial, &normalised);
    normalised.tm_isdst = 0;
    fixedTime = normalised;
}

void clearLocalTime()
{
    fixedTime.reset();
}

}  // namespace platform
