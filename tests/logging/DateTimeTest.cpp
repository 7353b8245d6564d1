#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "logging/tr_datetime.h"
#include "platform/clock.h"

namespace {

std::string show(const tr_datetime& v)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", v.year, v.month, v.day, v.hour,
                  v.minute, v.second);
    return text;
}

bool gregorianLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The day number counted the slow way, year by year from 1980.
int32_t countedDayNumber(int year, int month, int day)
{
    static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int32_t n = day + before[month - 1] + (month > 2 && gregorianLeap(year) ? 1 : 0);
    for (int y = 1980; y < year; ++y)
        n += gregorianLeap(y) ? 366 : 365;
    for (int y = year; y < 1980; ++y)
        n -= gregorianLeap(y) ? 366 : 365;
    return n;
}

TEST(DateTimeTest, DayNumbersCountFrom1980)
{
    EXPECT_EQ(dayNumber(1980, 1, 1), 1);
    EXPECT_EQ(dayNumber(1979, 12, 31), 0);
    EXPECT_EQ(dayNumber(1980, 3, 1), 61);
    EXPECT_EQ(dayNumber(1981, 1, 1), 367);
    EXPECT_EQ(dayNumber(1900, 3, 1), countedDayNumber(1900, 3, 1));
    EXPECT_EQ(dayNumber(2024, 13, 1), -1);
    EXPECT_EQ(dayNumber(2024, 0, 1), -1);
    EXPECT_EQ(dayNumber(2024, 1, 0), -1);
    for (int year : {1, 399, 400, 1600, 1700, 1899, 1979, 1980, 1999, 2000, 2100, 2400, 9999, 65535})
        for (int month : {1, 2, 3, 12})
            EXPECT_EQ(dayNumber(year, month, 15), countedDayNumber(year, month, 15)) << year << "-" << month;
}

TEST(DateTimeTest, DayNumbersGoBackToTheSameDate)
{
    for (int32_t n = -700000; n <= 800000; n += 997) {  // years 63 to 4170
        tr_datetime value(0, 0, 0, 12, 34, 56);
        fromDayNumber(value, n);
        ASSERT_EQ(dayNumber(value), n) << show(value);
        ASSERT_GE(value.day, 1);
        EXPECT_EQ(value.hour, 12);  // the time is left alone
    }
    tr_datetime value;
    fromDayNumber(value, 0);
    EXPECT_EQ(show(value), "1979-12-31 00:00:00");
    fromDayNumber(value, 366);
    EXPECT_EQ(show(value), "1980-12-31 00:00:00");
    EXPECT_EQ(show(tr_datetime(61)), "1980-03-01 00:00:00");
}

TEST(DateTimeTest, WeekdaysRunFromSunday)
{
    EXPECT_EQ(weekday(1980, 1, 1), 3);
    EXPECT_EQ(weekday(2024, 3, 3), 1);
    EXPECT_EQ(weekday(2024, 3, 9), 7);
    EXPECT_EQ(weekday(1979, 12, 30), 1);  // day -1: the remainder takes the sign
    EXPECT_EQ(weekday(1970, 1, 1), 5);
    tr_datetime wednesday(2024, 3, 6);
    EXPECT_EQ(weekday(wednesday), 4);
    EXPECT_EQ(wednesday.weekday, 0);
    EXPECT_EQ(wednesday.computeWeekday(), 4);
    EXPECT_EQ(wednesday.weekday, 4);
    EXPECT_STREQ(wednesday.weekdayName(), "Wednesday");
    EXPECT_STREQ(wednesday.weekdayShortName(), "Wed");
    // 水
    EXPECT_STREQ(wednesday.weekdayShortNameJa(), "\x90\x85");
    // 水曜
    EXPECT_STREQ(wednesday.weekdayNameJa(), "\x90\x85\x97j");
    tr_datetime saturday(2024, 3, 9);
    // 土曜
    EXPECT_STREQ(saturday.weekdayNameJa(), "\x93y\x97j");
    EXPECT_STREQ(tr_datetime(2024, 3, 10).weekdayName(), "Sunday");
    tr_datetime invalid(2024, 2, 30);
    EXPECT_EQ(invalid.computeWeekday(), 0);
}

TEST(DateTimeTest, MonthNames)
{
    EXPECT_STREQ(tr_datetime(2024, 1, 1).monthShortName(), "Jan");
    EXPECT_STREQ(tr_datetime(2024, 9, 1).monthName(), "September");
    EXPECT_STREQ(tr_datetime(2024, 12, 1).monthName(), "December");
    EXPECT_EQ(tr_datetime(2024, 13, 1).monthName(), nullptr);
    EXPECT_EQ(tr_datetime().monthShortName(), nullptr);
}

TEST(DateTimeTest, FebruaryLengthIsEveryFourthYearWhileDayNumbersAreGregorian)
{
    EXPECT_EQ(daysInMonth(2100, 2), 29);
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2023, 2), 28);
    EXPECT_EQ(daysInMonth(2024, 4), 30);
    EXPECT_EQ(daysInMonth(2024, 0), 0);
    EXPECT_EQ(daysInMonth(2024, 13), 0);
    EXPECT_TRUE(tr_datetime(2100, 2, 29).isValid());
    // 2100 is no leap year for the day count: 29 February falls on 1 March's number.
    EXPECT_EQ(dayNumber(2100, 2, 29), dayNumber(2100, 3, 1));
    EXPECT_EQ(dayNumber(2101, 1, 1) - dayNumber(2100, 1, 1), 365);
}

TEST(DateTimeTest, Validity)
{
    EXPECT_TRUE(tr_datetime(2024, 2, 29, 23, 59, 59).isValid());
    EXPECT_FALSE(tr_datetime(2024, 2, 30).isValid());
    EXPECT_FALSE(tr_datetime(2024, 3, 5, 24, 0, 0).isValid());
    EXPECT_FALSE(tr_datetime(2024, 3, 5, 0, 60, 0).isValid());
    EXPECT_FALSE(tr_datetime(2024, 3, 5, 0, 0, 60).isValid());
    EXPECT_FALSE(tr_datetime(0, 3, 5).isValid());
    EXPECT_FALSE(tr_datetime(2024, 0, 5).isValid());
    EXPECT_FALSE(tr_datetime(2024, 3, 0).isValid());
    EXPECT_FALSE(tr_datetime().isValid());
}

TEST(DateTimeTest, Comparisons)
{
    tr_datetime a(2024, 3, 5, 14, 7, 9);
    tr_datetime b(2024, 3, 5, 14, 7, 10);
    tr_datetime c(2023, 12, 31, 23, 59, 59);
    EXPECT_TRUE(b.isAfter(a));
    EXPECT_FALSE(a.isAfter(a));
    EXPECT_TRUE(c.isBefore(a));
    EXPECT_TRUE(a.isAfterOrSame(a));
    EXPECT_TRUE(a.isBeforeOrSame(b));
    EXPECT_FALSE(b.isBeforeOrSame(a));
    EXPECT_TRUE(a.isSameDate(b));
    EXPECT_FALSE(a.isSameTime(b));
    EXPECT_TRUE(a.differs(b));
    tr_datetime copy(a);
    copy.weekday = 5;  // not compared
    EXPECT_TRUE(copy.equals(a));
    EXPECT_FALSE(copy.differs(a));

    EXPECT_TRUE(a.isOnOrBefore(&a));
    EXPECT_TRUE(a.isOnOrBefore(&b));
    EXPECT_FALSE(b.isOnOrBefore(&a));
    EXPECT_FALSE(a.isOnOrBefore(nullptr));
    tr_datetime invalid(2024, 2, 30);
    EXPECT_FALSE(a.isOnOrBefore(&invalid));
    EXPECT_FALSE(invalid.isOnOrBefore(&a));
}

TEST(DateTimeTest, TmRecordsCountYearsFrom1900AndMonthsFrom0)
{
    std::tm record{};
    record.tm_year = 124;
    record.tm_mon = 2;
    record.tm_mday = 5;
    record.tm_hour = 14;
    record.tm_min = 7;
    record.tm_sec = 9;
    record.tm_wday = 2;
    tr_datetime value;
    value.assignTm(record);
    EXPECT_EQ(show(value), "2024-03-05 14:07:09");
    EXPECT_EQ(value.weekday, 3);
    EXPECT_TRUE(value.equalsTm(record));
    EXPECT_TRUE(value.isSameDateTm(record));
    EXPECT_TRUE(value.isSameTimeTm(record));
    record.tm_sec = 10;
    EXPECT_TRUE(value.differsTm(record));
    EXPECT_EQ(value.differenceTm(record), -1);
    record.tm_mday = 3;
    EXPECT_EQ(value.differenceTm(record), 2);
    EXPECT_EQ(tr_datetime(2024, 2, 30).differenceTm(record), -1);
}

TEST(DateTimeTest, ZeroOrLessIsTheCurrentLocalTime)
{
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    tr_datetime now(0);
    EXPECT_EQ(show(now), "2024-03-05 14:07:09");
    EXPECT_EQ(now.weekday, 3);  // Tuesday
    EXPECT_EQ(show(tr_datetime(-5)), "2024-03-05 14:07:09");
    tr_datetime copy = now;
    EXPECT_EQ(copy.weekday, 3);
}

TEST(DateTimeTest, MonthStepsCutTheDay)
{
    tr_datetime value(2024, 1, 31);
    value.nextMonth();
    EXPECT_EQ(show(value), "2024-02-29 00:00:00");
    value = tr_datetime(2024, 3, 31);
    value.addMonths(-1);
    EXPECT_EQ(show(value), "2024-02-29 00:00:00");
    value = tr_datetime(2024, 1, 15);
    value.previousMonth();
    EXPECT_EQ(show(value), "2023-12-15 00:00:00");
    // The cut happens at every step, not only at the end.
    value = tr_datetime(2024, 1, 31);
    value.addMonths(2);
    EXPECT_EQ(show(value), "2024-03-29 00:00:00");
    value = tr_datetime(2023, 12, 31);
    value.addMonths(14);
    EXPECT_EQ(show(value), "2025-02-28 00:00:00");
    value = tr_datetime(2024, 5, 10, 1, 2, 3);
    value.addMonths(-29);
    EXPECT_EQ(show(value), "2021-12-10 01:02:03");
    value.addMonths(1200);
    EXPECT_EQ(show(value), "2121-12-10 01:02:03");
}

TEST(DateTimeTest, MonthStepsAgreeWithOneAtATime)
{
    for (int start = 25; start <= 31; ++start) {
        for (int n : {-40, -13, -12, -1, 1, 11, 12, 13, 25, 49}) {
            tr_datetime fast(2023, 1, start > 31 ? 31 : start);
            if (!fast.isValid())
                continue;
            tr_datetime slow(fast);
            fast.addMonths(n);
            for (int i = 0; i < (n < 0 ? -n : n); ++i)
                n < 0 ? slow.previousMonth() : slow.nextMonth();
            EXPECT_EQ(show(fast), show(slow)) << start << " " << n;
        }
    }
}

TEST(DateTimeTest, DaySteps)
{
    tr_datetime value(2024, 3, 1, 10, 0, 0);
    value.addDays(-1);
    EXPECT_EQ(show(value), "2024-02-29 10:00:00");
    value.nextDay();
    EXPECT_EQ(show(value), "2024-03-01 10:00:00");
    value = tr_datetime(1980, 1, 1);
    value.previousDay();
    EXPECT_EQ(show(value), "1979-12-31 00:00:00");
    value = tr_datetime(2024, 12, 31);
    value.addDays(366);
    EXPECT_EQ(show(value), "2026-01-01 00:00:00");
    tr_datetime invalid(2024, 2, 30);
    invalid.addDays(1);
    EXPECT_EQ(show(invalid), "2024-02-30 00:00:00");
}

TEST(DateTimeTest, ClockStepsCarryAndBorrow)
{
    tr_datetime value(2024, 3, 5, 23, 30, 0);
    value.addMinutes(45);
    EXPECT_EQ(show(value), "2024-03-06 00:15:00");
    value = tr_datetime(2024, 3, 5, 0, 10, 0);
    value.addMinutes(-20);
    EXPECT_EQ(show(value), "2024-03-04 23:50:00");
    value = tr_datetime(2024, 3, 1, 1, 0, 0);
    value.addHours(-50);
    EXPECT_EQ(show(value), "2024-02-27 23:00:00");
    value.addHours(25);
    EXPECT_EQ(show(value), "2024-02-29 00:00:00");
    value.addSeconds(-1);
    EXPECT_EQ(show(value), "2024-02-28 23:59:59");
    value.addSeconds(3601);
    EXPECT_EQ(show(value), "2024-02-29 01:00:00");
    value.addMinutes(-1500);  // 25 hours back
    EXPECT_EQ(show(value), "2024-02-28 00:00:00");
}

TEST(DateTimeTest, SpansAddFieldByField)
{
    tr_datetime value(2024, 1, 31, 22, 0, 0);
    tr_datetime span(1, 1, 1, 3, 0, 0);
    value.addSpan(span);
    // Year, then the month (cutting to 28 February 2025), then the day and hours.
    EXPECT_EQ(show(value), "2025-03-02 01:00:00");
    value.subtractSpan(span);
    EXPECT_EQ(show(value), "2024-01-31 22:00:00");

    std::tm record{};
    record.tm_year = 1;
    record.tm_mon = 0;  // read as one month
    record.tm_mday = 2;
    value = tr_datetime(2024, 3, 5);
    value.addSpanTm(record);
    EXPECT_EQ(show(value), "2025-04-07 00:00:00");
    value.subtractSpanTm(record);
    EXPECT_EQ(show(value), "2024-03-05 00:00:00");
}

TEST(DateTimeTest, DifferenceIsSecondsOnOneDayElseDays)
{
    EXPECT_EQ(tr_datetime(2024, 3, 5, 10, 0, 30).difference(tr_datetime(2024, 3, 5, 10, 0, 0)), 30);
    EXPECT_EQ(tr_datetime(2024, 3, 5, 9, 0, 0).difference(tr_datetime(2024, 3, 5, 10, 0, 0)), -3600);
    EXPECT_EQ(tr_datetime(2024, 3, 6, 0, 0, 0).difference(tr_datetime(2024, 3, 5, 23, 59, 0)), 1);
    EXPECT_EQ(tr_datetime(2024, 3, 1).difference(tr_datetime(2023, 3, 1)), 366);
    EXPECT_EQ(tr_datetime(2024, 3, 1).difference(tr_datetime(2024, 2, 30)), -1);
}

struct ParseCase {
    const char* text;
    const char* pattern;
    const char* expected;  // starting from 1111-11-11 11:11:11
};

class ParseDateTimeTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDateTimeTest, ReadsFieldsByPattern)
{
    tr_datetime value(1111, 11, 11, 11, 11, 11);
    parseDateTime(&value, GetParam().text, GetParam().pattern);
    EXPECT_EQ(show(value), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseDateTimeTest,
    ::testing::Values(ParseCase{"2024/03/05 14:07:09 1A2C(09f4) done", "YYYYMMDDHHNNSS",
                                "2024-03-05 14:07:09"},
                      ParseCase{"2024/3/5 9:05:03", "YYYYMMDDHHNNSS", "2024-03-05 09:05:03"},
                      ParseCase{"20240305140709", "YYYYMMDDHHNNSS", "2024-03-05 14:07:09"},
                      ParseCase{"2024", "YYYYMMDDHHNNSS", "2024-11-11 11:11:11"},
                      ParseCase{"24/03/05", "YYYYMMDDHHNNSS", "2403-05-11 11:11:11"},
                      ParseCase{"no digits here", "YYYYMMDDHHNNSS", "1111-11-11 11:11:11"},
                      ParseCase{"2024/03/05", "yyyymmdd", "2024-03-05 11:11:11"},
                      ParseCase{"05.03.2024", "DDMMYYYY", "2024-03-05 11:11:11"},
                      ParseCase{"14:07", "HHNN", "1111-11-11 14:07:11"},
                      ParseCase{"2024-Mar-05", "YYYYMMMDD", "2024-03-05 11:11:11"},
                      ParseCase{"2024/03/05", "YYYY/MM/DD", "2024-03-05 11:11:11"}));

TEST(DateTimeTest, ParseNeedsAllThree)
{
    tr_datetime value(1111, 11, 11, 11, 11, 11);
    parseDateTime(&value, "", "YYYY");
    parseDateTime(&value, "2024", "");
    parseDateTime(&value, nullptr, "YYYY");
    parseDateTime(&value, "2024", nullptr);
    parseDateTime(nullptr, "2024", "YYYY");
    EXPECT_EQ(show(value), "1111-11-11 11:11:11");
    // Runs of digits longer than any field are read without overrunning anything.
    std::string digits(400, '9');
    parseDateTime(&value, digits.c_str(),
                  "YYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYYY");
    EXPECT_EQ(value.month, 11);
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

TEST(DateTimeTest, FileTimesAreUtcAndReadAsLocalTime)
{
    inZone("JST-9", [] {
        // 2024-03-05 05:07:09 UTC is 14:07:09 in Tokyo.
        platform::FileTime time = platform::fileTimeFromUnix(1709615229, 0);
        tr_datetime value(1, 1, 1);
        value.weekday = 6;
        fromFileTime(&value, time);
        EXPECT_EQ(show(value), "2024-03-05 14:07:09");
        EXPECT_EQ(value.weekday, 6);  // untouched

        platform::FileTime back;
        toFileTime(&back, value);
        EXPECT_EQ(back.ticks, time.ticks);
        fromFileTime(nullptr, time);
        toFileTime(nullptr, value);
    });
}

}  // namespace
