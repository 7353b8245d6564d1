// A calendar date and time of day in local time, to the second, without a zone.
// Serial day numbers count from 1980-01-01 (day 1). The day numbers and the year
// walk follow the Gregorian leap rule, while daysInMonth (and so isValid) gives
// February 29 days in every fourth year, 2100 included: the two rules differ on
// purpose and are kept apart.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/file_time.h"

class tr_datetime {
public:
    // All fields 0.
    tr_datetime() = default;
    tr_datetime(int year, int month, int day, int hour, int minute, int second);
    // At 00:00:00.
    tr_datetime(int year, int month, int day);
    // n > 0: the date of day number n at 00:00:00; n <= 0: the current local time,
    // weekday included.
    explicit tr_datetime(int32_t n);
    tr_datetime(const tr_datetime& other) { assign(other); }
    tr_datetime& operator=(const tr_datetime& other)
    {
        assign(other);
        return *this;
    }
    virtual ~tr_datetime() = default;

    // True when other is given, both are valid and this is not after other.
    virtual bool isOnOrBefore(const tr_datetime* other) const;
    virtual bool isValid() const;
    virtual bool isSameDateTm(std::tm time) const;
    virtual bool isSameDate(const tr_datetime& other) const;
    virtual bool isSameTimeTm(std::tm time) const;
    virtual bool isSameTime(const tr_datetime& other) const;
    virtual bool equalsTm(std::tm time) const;
    virtual bool equals(const tr_datetime& other) const;
    virtual bool differsTm(std::tm time) const;
    virtual bool differs(const tr_datetime& other) const;
    virtual bool isAfter(const tr_datetime& other) const;
    virtual bool isBefore(const tr_datetime& other) const;
    virtual bool isAfterOrSame(const tr_datetime& other) const;
    virtual bool isBeforeOrSame(const tr_datetime& other) const;
    virtual void assignTm(std::tm time);
    virtual void assign(const tr_datetime& other);
    // The span's fields are amounts: years, months, days, hours, minutes, seconds.
    virtual void addSpan(const tr_datetime& span);
    // The tm's fields as amounts, its month counted from 1 (tm_mon + 1).
    virtual void addSpanTm(std::tm span);
    virtual void subtractSpan(const tr_datetime& span);
    virtual void subtractSpanTm(std::tm span);
    // Seconds between the two on the same date, else days; -1 for an invalid value.
    virtual int32_t differenceTm(std::tm time) const;
    virtual int32_t difference(const tr_datetime& other) const;
    // Month by month, each step cutting the day to the length of the month reached.
    virtual void addMonths(int32_t n);
    virtual void previousMonth();
    virtual void nextMonth();
    // Nothing happens to an invalid value.
    virtual void addDays(int32_t n);
    virtual void previousDay();
    virtual void nextDay();
    virtual void addHours(int32_t n);
    virtual void addMinutes(int32_t n);
    virtual void addSeconds(int32_t n);
    // Names of the date's weekday, worked out from the date, not the weekday field.
    virtual const char* weekdayName() const;
    virtual const char* weekdayShortName() const;
    // Shift-JIS.
    virtual const char* weekdayShortNameJa() const;
    virtual const char* weekdayNameJa() const;
    // None for a month outside 1-12.
    virtual const char* monthShortName() const;
    virtual const char* monthName() const;

    int daysInMonth() const;
    // Sets the weekday field from the date (0 when the value is invalid).
    int computeWeekday();

    uint16_t year = 0;
    uint8_t month = 0;    // 1-12
    uint8_t day = 0;      // 1-31
    uint8_t hour = 0;     // 0-23
    uint8_t minute = 0;   // 0-59
    uint8_t second = 0;   // 0-59
    uint8_t weekday = 0;  // 1 = Sunday ... 7 = Saturday; 0 = not set
};

// Serial day number: 1980-01-01 is 1, 1979-12-31 is 0, earlier days are negative.
// -1 for a month outside 1-12 or a day of 0.
int32_t dayNumber(int year, int month, int day);
int32_t dayNumber(const tr_datetime& value);
// 1 = Sunday ... 7 = Saturday.
int weekday(int year, int month, int day);
int weekday(const tr_datetime& value);
// February has 29 days in every year divisible by 4; 0 for a month outside 1-12.
int daysInMonth(int year, int month);
// Sets the date of value to day number n; the time stays.
void fromDayNumber(tr_datetime& value, int32_t n);
// Stores the local date and time of a file time into value (weekday untouched).
void fromFileTime(tr_datetime* value, const platform::FileTime& time);
// Stores the file time of value, read as local time.
void toFileTime(platform::FileTime* time, const tr_datetime& value);
// Reads a date and time out of text by a pattern of field letters (Y year, M month,
// D day, H hour, N minute, S second, either case), one letter per digit; separators
// are stepped over inside a field and end it at its last letter. Fields whose letters
// are not in the pattern keep their values; nothing is validated.
void parseDateTime(tr_datetime* value, const char* text, const char* pattern);
