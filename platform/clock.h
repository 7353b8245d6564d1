// The local time as the program sees it. Everything that asks for "now" comes here,
// so tests can fix the time for date-driven code without touching the system clock.
#pragma once

#include <ctime>

namespace platform {

// The current local time broken down, or the time fixed with setLocalTime.
std::tm localNow();

// Fixes what localNow answers (month 1-12); the weekday and day of the year are
// worked out from the date. Values out of range carry over as in a calendar
// (minute 60 is the next hour).
void setLocalTime(int year, int month, int day, int hour, int minute, int second);
// Back to the system clock.
void clearLocalTime();

// Fixes the local time for as long as it lives, then returns to the system clock.
class ScopedLocalTime {
public:
    ScopedLocalTime(int year, int month, int day, int hour, int minute, int second)
    {
        setLocalTime(year, month, day, hour, minute, second);
    }
    ~ScopedLocalTime() { clearLocalTime(); }
    ScopedLocalTime(const ScopedLocalTime&) = delete;
    ScopedLocalTime& operator=(const ScopedLocalTime&) = delete;

    void set(int year, int month, int day, int hour, int minute, int second)
    {
        setLocalTime(year, month, day, hour, minute, second);
    }
};

}  // namespace platform
