#include "logging/tr_datetime.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/clock.h"

namespace {

constexpr int daysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int64_t daysPer400Years = 146097;

const char* const weekdayShortNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const weekdayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
// 日, 月, 火, 水, 木, 金, 土
const char* const weekdayShortNamesJa[7] = {"\x93\xFA", "\x8C\x8E", "\x89\xCE", "\x90\x85",
                                            "\x96\xD8", "\x8B\xE0", "\x93y"};
// 日曜, 月曜, 火曜, 水曜, 木曜, 金曜, 土曜
const char* const weekdayNamesJa[7] = {"\x93\xFA\x97j", "\x8C\x8E\x97j", "\x89\xCE\x97j", "\x90\x85\x97j",
                                       "\x96\xD8\x97j", "\x8B\xE0\x97j", "\x93y\x97j"};
const char* const monthShortNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const monthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};

bool isGregorianLeap(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t yearLength(int64_t year)
{
    return isGregorianLeap(year) ? 366 : 365;
}

int64_t floorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Leap years from year 1 up to and including year (the count runs backwards below 1).
int64_t leapYearsThrough(int64_t year)
{
    return floorDiv(year, 4) - floorDiv(year, 100) + floorDiv(year, 400);
}

// Day number of the given number counted in 64 bits; see fromDayNumber.
void setDate(tr_datetime& value, int64_t n)
{
    int64_t year;
    if (n <= 0) {
        year = 1979;
        while (n + daysPer400Years <= 0) {
            n += daysPer400Years;
            year -= 400;
        }
        for (;;) {
            n += yearLength(year);
            if (n > 0)
                break;
            --year;
        }
    } else {
        year = 1980;
        while (n > daysPer400Years) {
            n -= daysPer400Years;
            year += 400;
        }
        while (n > yearLength(year)) {
            n -= yearLength(year);
            ++year;
        }
    }
    int month = 1;
    for (; month < 12; ++month) {
        int64_t length = monthLengths[month - 1] + (month == 2 && isGregorianLeap(year) ? 1 : 0);
        if (n <= length)
            break;
        n -= length;
    }
    value.year = static_cast<uint16_t>(year);
    value.month = static_cast<uint8_t>(month);
    value.day = static_cast<uint8_t>(n);
}

// Adds n to one clock field of 0..base-1, carrying into the next larger unit through
// addLarger (which takes whole units of the larger field).
template <typename AddLarger>
void addOnClock(uint8_t& field, int32_t n, int base, AddLarger addLarger)
{
    addLarger(n / base);
    int64_t magnitude = n < 0 ? -static_cast<int64_t>(n) : n;
    int rest = static_cast<int>(magnitude % base);
    if (n < 0) {
        if (field < rest) {
            addLarger(-1);
            field = static_cast<uint8_t>(field - rest + base);
        } else {
            field = static_cast<uint8_t>(field - rest);
        }
    } else {
        field = static_cast<uint8_t>(field + rest);
        if (field > base - 1) {
            field = static_cast<uint8_t>(field - base);
            addLarger(1);
        }
    }
}

int secondsOfDayDifference(int hour, int minute, int second, int otherHour, int otherMinute, int otherSecond)
{
    return (hour - otherHour) * 3600 + (minute - otherMinute) * 60 + (second - otherSecond);
}

}  // namespace

int32_t dayNumber(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1)
        return -1;
    int64_t y = year;
    int64_t days = 365 * (y - 1980) + leapYearsThrough(y - 1) - leapYearsThrough(1979);
    days += daysBeforeMonth[month - 1] + day;
    if (month > 2 && isGregorianLeap(y))
        ++days;
    return static_cast<int32_t>(days);
}

int32_t dayNumber(const tr_datetime& value)
{
    return dayNumber(value.year, value.month, value.day);
}

int weekday(int year, int month, int day)
{
    int w = 2 + dayNumber(year, month, day) % 7;
    if (w > 7)
        w -= 7;
    if (w < 1)
        w += 7;
    return w;
}

int weekday(const tr_datetime& value)
{
    return weekday(value.year, value.month, value.day);
}

int daysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && year % 4 == 0)
        return 29;
    return monthLengths[month - 1];
}

void fromDayNumber(tr_datetime& value, int32_t n)
{
    setDate(value, n);
}

void fromFileTime(tr_datetime* value, const platform::FileTime& time)
{
    platform::SystemTime local;
    if (!value || !platform::fileTimeToLocalSystemTime(time, local))
        return;
    value->year = local.year;
    value->month = static_cast<uint8_t>(local.month);
    value->day = static_cast<uint8_t>(local.day);
    value->hour = static_cast<uint8_t>(local.hour);
    value->minute = static_cast<uint8_t>(local.minute);
    value->second = static_cast<uint8_t>(local.second);
}

void toFileTime(platform::FileTime* time, const tr_datetime& value)
{
    if (!time)
        return;
    platform::SystemTime local;
    local.year = value.year;
    local.month = value.month;
    local.day = value.day;
    local.hour = value.hour;
    local.minute = value.minute;
    local.second = value.second;
    local.milliseconds = 0;
    platform::localSystemTimeToFileTime(local, *time);
}

void parseDateTime(tr_datetime* value, const char* text, const char* pattern)
{
    if (!value || !text || !pattern || !*text || !*pattern)
        return;
    const size_t textLength = std::strlen(text);
    const size_t patternLength = std::strlen(pattern);
    // Letters outside the pattern read as 0, so nothing is read past either end.
    auto letterAt = [&](size_t i) -> char { return i < patternLength ? pattern[i] : '\0'; };
    auto store = [&](char letter, const std::string& digits) {
        // Wider than any field: the field keeps the low bits, as a plain store would.
        long long number = std::strtoll(digits.c_str(), nullptr, 10);
        switch (std::toupper(static_cast<unsigned char>(letter))) {
            case 'Y':
                value->year = static_cast<uint16_t>(number);
                break;
            case 'M':
                value->month = static_cast<uint8_t>(number);
                break;
            case 'D':
                value->day = static_cast<uint8_t>(number);
                break;
            case 'H':
                value->hour = static_cast<uint8_t>(number);
                break;
            case 'N':
                value->minute = static_cast<uint8_t>(number);
                break;
            case 'S':
                value->second = static_cast<uint8_t>(number);
                break;
            default:
                break;
        }
    };

    size_t t = 0;  // position in the text
    size_t p = 0;  // position in the pattern
    std::string digits;
    constexpr size_t digitLimit = 127;
    for (;;) {
        // One character of the text: a digit of the current field, or something to
        // step over or to end the field with.
        bool skipped = false;
        if (std::isdigit(static_cast<unsigned char>(text[t]))) {
            if (digits.size() < digitLimit)
                digits += text[t];
            if (p < patternLength)
                ++p;
        } else {
            if (textLength - t >= 3) {
                for (int m = 0; m < 12; ++m) {
                    if (strncasecmp(text + t, monthShortNames[m], 3) == 0) {
                        digits = std::to_string(m + 1);
                        t += 2;
                        p = std::min(p + 2, patternLength);
                        break;
                    }
                }
            }
            if (p < patternLength && letterAt(p) == letterAt(p + 1)) {
                ++t;
                if (t < textLength)
                    skipped = true;
                else
                    --t;
            } else if (p + 1 < patternLength) {
                ++p;
                if (letterAt(p) == text[t])
                    --t;  // the separator is the pattern's own: read it again there
            }
        }
        if (skipped)
            continue;
        ++t;
        if (p > 0 && letterAt(p - 1) == letterAt(p) && p < patternLength && t < textLength)
            continue;
        if (p > 0)
            store(letterAt(p - 1), digits);
        if (t >= textLength || p >= patternLength)
            return;
        digits.clear();
    }
}

tr_datetime::tr_datetime(int year, int month, int day, int hour, int minute, int second)
    : year(static_cast<uint16_t>(year)),
      month(static_cast<uint8_t>(month)),
      day(static_cast<uint8_t>(day)),
      hour(static_cast<uint8_t>(hour)),
      minute(static_cast<uint8_t>(minute)),
      second(static_cast<uint8_t>(second))
{
}

tr_datetime::tr_datetime(int year, int month, int day) : tr_datetime(year, month, day, 0, 0, 0) {}

tr_datetime::tr_datetime(int32_t n)
{
    if (n > 0)
        setDate(*this, n);
    else
        assignTm(platform::localNow());
}

bool tr_datetime::isOnOrBefore(const tr_datetime* other) const
{
    return other && isValid() && other->isValid() && !isAfter(*other);
}

bool tr_datetime::isValid() const
{
    return year != 0 && month >= 1 && month <= 12 && day >= 1 && day <= ::daysInMonth(year, month) &&
           hour <= 23 && minute <= 59 && second < 60;
}

bool tr_datetime::isSameDateTm(std::tm time) const
{
    return year == time.tm_year + 1900 && month == time.tm_mon + 1 && day == time.tm_mday;
}

bool tr_datetime::isSameDate(const tr_datetime& other) const
{
    return year == other.year && month == other.month && day == other.day;
}

bool tr_datetime::isSameTimeTm(std::tm time) const
{
    return hour == time.tm_hour && minute == time.tm_min && second == time.tm_sec;
}

bool tr_datetime::isSameTime(const tr_datetime& other) const
{
    return hour == other.hour && minute == other.minute && second == other.second;
}

bool tr_datetime::equalsTm(std::tm time) const
{
    return isSameDateTm(time) && isSameTimeTm(time);
}

bool tr_datetime::equals(const tr_datetime& other) const
{
    return isSameDate(other) && isSameTime(other);
}

bool tr_datetime::differsTm(std::tm time) const
{
    return !equalsTm(time);
}

bool tr_datetime::differs(const tr_datetime& other) const
{
    return !equals(other);
}

namespace {

// Negative, zero or positive as a is earlier than, the same as or later than b; the
// weekday field plays no part.
int chronologicalOrder(const tr_datetime& a, const tr_datetime& b)
{
    const int left[6] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
    const int right[6] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
    for (int i = 0; i < 6; ++i) {
        if (left[i] != right[i])
            return left[i] < right[i] ? -1 : 1;
    }
    return 0;
}

}  // namespace

bool tr_datetime::isAfter(const tr_datetime& other) const
{
    return chronologicalOrder(*this, other) > 0;
}

bool tr_datetime::isBefore(const tr_datetime& other) const
{
    return chronologicalOrder(*this, other) < 0;
}

bool tr_datetime::isAfterOrSame(const tr_datetime& other) const
{
    return chronologicalOrder(*this, other) >= 0;
}

bool tr_datetime::isBeforeOrSame(const tr_datetime& other) const
{
    return chronologicalOrder(*this, other) <= 0;
}

void tr_datetime::assignTm(std::tm time)
{
    year = static_cast<uint16_t>(time.tm_year + 1900);
    month = static_cast<uint8_t>(time.tm_mon + 1);
    day = static_cast<uint8_t>(time.tm_mday);
    hour = static_cast<uint8_t>(time.tm_hour);
    minute = static_cast<uint8_t>(time.tm_min);
    second = static_cast<uint8_t>(time.tm_sec);
    weekday = static_cast<uint8_t>(time.tm_wday + 1);
}

void tr_datetime::assign(const tr_datetime& other)
{
    year = other.year;
    month = other.month;
    day = other.day;
    hour = other.hour;
    minute = other.minute;
    second = other.second;
    weekday = other.weekday;
}

void tr_datetime::addSpan(const tr_datetime& span)
{
    year = static_cast<uint16_t>(year + span.year);
    addMonths(span.month);
    addDays(span.day);
    addHours(span.hour);
    addMinutes(span.minute);
    addSeconds(span.second);
}

void tr_datetime::addSpanTm(std::tm span)
{
    year = static_cast<uint16_t>(year + span.tm_year);
    addMonths(span.tm_mon + 1);
    addDays(span.tm_mday);
    addHours(span.tm_hour);
    addMinutes(span.tm_min);
    addSeconds(span.tm_sec);
}

void tr_datetime::subtractSpan(const tr_datetime& span)
{
    year = static_cast<uint16_t>(year - span.year);
    addMonths(-span.month);
    addDays(-span.day);
    addHours(-span.hour);
    addMinutes(-span.minute);
    addSeconds(-span.second);
}

void tr_datetime::subtractSpanTm(std::tm span)
{
    year = static_cast<uint16_t>(year - span.tm_year);
    addMonths(-(span.tm_mon + 1));
    addDays(-span.tm_mday);
    addHours(-span.tm_hour);
    addMinutes(-span.tm_min);
    addSeconds(-span.tm_sec);
}

int32_t tr_datetime::differenceTm(std::tm time) const
{
    if (!isValid())
        return -1;
    if (isSameDateTm(time))
        return secondsOfDayDifference(hour, minute, second, time.tm_hour, time.tm_min, time.tm_sec);
    return dayNumber(*this) - dayNumber(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday);
}

int32_t tr_datetime::difference(const tr_datetime& other) const
{
    if (isSameDate(other))
        return secondsOfDayDifference(hour, minute, second, other.hour, other.minute, other.second);
    if (!isValid() || !other.isValid())
        return -1;
    return dayNumber(*this) - dayNumber(other);
}

void tr_datetime::addMonths(int32_t n)
{
    // Step by step while a step can still cut the day (or the month is out of range);
    // after that every month holds the day and the rest is plain arithmetic.
    while (n != 0 && (day > 28 || month < 1 || month > 12)) {
        if (n > 0) {
            nextMonth();
            --n;
        } else {
            previousMonth();
            ++n;
        }
    }
    if (n == 0)
        return;
    int64_t months = static_cast<int64_t>(month - 1) + n;
    int64_t years = months / 12;
    int64_t rest = months % 12;
    if (rest < 0) {
        rest += 12;
        --years;
    }
    year = static_cast<uint16_t>(year + years);
    month = static_cast<uint8_t>(rest + 1);
}

void tr_datetime::previousMonth()
{
    if (month == 1) {
        month = 12;
        --year;
    } else {
        --month;
    }
    day = static_cast<uint8_t>(std::min<int>(day, daysInMonth()));
}

void tr_datetime::nextMonth()
{
    if (month == 12) {
        month = 1;
        ++year;
    } else {
        ++month;
    }
    day = static_cast<uint8_t>(std::min<int>(day, daysInMonth()));
}

void tr_datetime::addDays(int32_t n)
{
    if (!isValid())
        return;
    setDate(*this, static_cast<int64_t>(dayNumber(*this)) + n);
}

void tr_datetime::previousDay()
{
    addDays(-1);
}

void tr_datetime::nextDay()
{
    addDays(1);
}

void tr_datetime::addHours(int32_t n)
{
    addOnClock(hour, n, 24, [this](int32_t days) {
        if (days != 0)
            addDays(days);
    });
}

void tr_datetime::addMinutes(int32_t n)
{
    addOnClock(minute, n, 60, [this](int32_t hours) {
        if (hours != 0)
            addHours(hours);
    });
}

void tr_datetime::addSeconds(int32_t n)
{
    addOnClock(second, n, 60, [this](int32_t minutes) {
        if (minutes != 0)
            addMinutes(minutes);
    });
}

const char* tr_datetime::weekdayName() const
{
    return weekdayNames[::weekday(*this) - 1];
}

const char* tr_datetime::weekdayShortName() const
{
    return weekdayShortNames[::weekday(*this) - 1];
}

const char* tr_datetime::weekdayShortNameJa() const
{
    return weekdayShortNamesJa[::weekday(*this) - 1];
}

const char* tr_datetime::weekdayNameJa() const
{
    return weekdayNamesJa[::weekday(*this) - 1];
}

const char* tr_datetime::monthShortName() const
{
    return month >= 1 && month <= 12 ? monthShortNames[month - 1] : nullptr;
}

const char* tr_datetime::monthName() const
{
    return month >= 1 && month <= 12 ? monthNames[month - 1] : nullptr;
}

int tr_datetime::daysInMonth() const
{
    return ::daysInMonth(year, month);
}

int tr_datetime::computeWeekday()
{
    weekday = static_cast<uint8_t>(isValid() ? ::weekday(*this) : 0);
    return weekday;
}
