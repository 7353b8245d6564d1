#include <gtest/gtest.h>

#include <utime.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "logging/TORLogging.h"
#include "tests/logging/LogFixture.h"

namespace {

using logtest::lineAt;
using logtest::LogFolder;
using Names = std::vector<std::string>;

std::string note(const LogFolder& log, const std::string& archive)
{
    return "... rename from " + log.path + " to " + log.file(archive) + "\r\n";
}

TEST(RotationTest, DaylyRotatesAtMidnightIntoTheFirstLinesDate)
{
    LogFolder log;
    log.seed("2024/03/05 23:59:59");
    platform::ScopedLocalTime clock(2024, 3, 5, 23, 59, 59);
    EXPECT_EQ(log.write(TORLogging::dayly, "same day"), 1);
    EXPECT_EQ(log.names(), Names{"app.log"});

    clock.set(2024, 3, 6, 0, 0, 1);
    EXPECT_EQ(log.write(TORLogging::dayly, "next day"), 1);
    EXPECT_EQ(log.names(), (Names{"app.20240305.log", "app.log"}));
    EXPECT_EQ(log.read("app.20240305.log"), lineAt("2024/03/05 23:59:59", "seeded") +
                                                lineAt("2024/03/05 23:59:59", "same day") +
                                                note(log, "app.20240305.log"));
    // The line that found the new day dates the new file.
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/06 00:00:01", "next day"));
}

struct WeekCase {
    int day;  // of March 2024; the file began on Wednesday the 6th
    bool rotates;
};

class WeeklyTest : public ::testing::TestWithParam<WeekCase> {};

TEST_P(WeeklyTest, AWeekEndsBeforeSunday)
{
    LogFolder log;
    log.seed("2024/03/06 10:00:00");
    platform::ScopedLocalTime clock(2024, 3, GetParam().day, 9, 0, 0);
    EXPECT_EQ(log.write(TORLogging::weekly, "line"), 1);
    if (GetParam().rotates)
        EXPECT_EQ(log.names(), (Names{"app.20240306.log", "app.log"}));
    else
        EXPECT_EQ(log.names(), Names{"app.log"});
}

INSTANTIATE_TEST_SUITE_P(FromWednesday, WeeklyTest,
                         ::testing::Values(WeekCase{6, false},   // same day, earlier hour
                                           WeekCase{9, false},   // Saturday
                                           WeekCase{10, true},   // Sunday
                                           WeekCase{11, true},   // Monday
                                           WeekCase{14, true},   // 8 days later, a Thursday again
                                           WeekCase{5, true}));  // the clock went back

struct PeriodCase {
    uint16_t type;
    const char* first;  // first line's time
    int now[6];
    const char* archive;  // none when the file stays current
};

class PeriodTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodTest, RotatesExactlyAtThePeriodBoundary)
{
    const PeriodCase& c = GetParam();
    LogFolder log;
    log.seed(c.first);
    platform::ScopedLocalTime clock(c.now[0], c.now[1], c.now[2], c.now[3], c.now[4], c.now[5]);
    EXPECT_EQ(log.write(c.type, "line"), 1);
    if (c.archive) {
        EXPECT_EQ(log.names(), (Names{c.archive, "app.log"}));
        EXPECT_EQ(log.read(c.archive), lineAt(c.first, "seeded") + note(log, c.archive));
    } else {
        EXPECT_EQ(log.names(), Names{"app.log"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Periods, PeriodTest,
    ::testing::Values(
        PeriodCase{TORLogging::hourly, "2024/03/05 14:00:00", {2024, 3, 5, 14, 59, 59}, nullptr},
        PeriodCase{TORLogging::hourly, "2024/03/05 14:07:00", {2024, 3, 5, 15, 0, 0}, "app.20240305.14.log"},
        PeriodCase{TORLogging::hourly, "2024/03/05 14:07:00", {2024, 3, 6, 14, 7, 0}, "app.20240305.14.log"},
        PeriodCase{TORLogging::monthly, "2024/03/01 00:00:00", {2024, 3, 31, 23, 59, 59}, nullptr},
        PeriodCase{TORLogging::monthly, "2024/03/05 14:07:00", {2024, 4, 1, 0, 0, 0}, "app.202403.log"},
        PeriodCase{TORLogging::quarter, "2023/11/20 08:00:00", {2024, 1, 2, 8, 0, 0}, "app.202311.log"},
        PeriodCase{TORLogging::quarter, "2024/02/10 08:00:00", {2024, 4, 30, 23, 59, 59}, nullptr},
        PeriodCase{TORLogging::quarter, "2024/02/10 08:00:00", {2024, 5, 1, 0, 0, 0}, "app.202402.log"},
        PeriodCase{TORLogging::yearly, "2024/01/01 00:00:00", {2024, 12, 31, 23, 59, 59}, nullptr},
        PeriodCase{TORLogging::yearly, "2023/12/31 23:59:59", {2024, 1, 1, 0, 0, 0}, "app.202312.log"},
        // No period: never rotates.
        PeriodCase{0, "2020/01/01 00:00:00", {2024, 1, 1, 0, 0, 0}, nullptr},
        PeriodCase{8, "2020/01/01 00:00:00", {2024, 1, 1, 0, 0, 0}, nullptr}));

TEST(RotationTest, SizelyRotatesOnceTheLimitIsReached)
{
    LogFolder log;
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    std::string first = lineAt("2024/03/05 14:07:09", "x");
    // 1023 bytes: one more line goes in, though it takes the file past the limit.
    std::string fill(1023 - first.size() - 2, 'f');
    testsupport::writeFile(log.path, first + fill + "\r\n");
    EXPECT_EQ(log.write(TORLogging::sizely, "over", 1024), 1);
    EXPECT_EQ(log.names(), Names{"app.log"});
    EXPECT_GT(std::filesystem::file_size(log.path), 1024u);

    clock.set(2024, 3, 5, 15, 30, 0);
    EXPECT_EQ(log.write(TORLogging::sizely, "new file", 1024), 1);
    // Named by the first line's date, hour and minute.
    EXPECT_EQ(log.names(), (Names{"app.20240305.1407.log", "app.log"}));
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/05 15:30:00", "new file"));

    // Exactly 1024 bytes rotates before the line is written.
    LogFolder exact;
    testsupport::writeFile(exact.path, first + std::string(1024 - first.size() - 2, 'f') + "\r\n");
    EXPECT_EQ(exact.write(TORLogging::sizely, "after", 1024), 1);
    EXPECT_EQ(exact.names(), (Names{"app.20240305.1407.log", "app.log"}));
}

TEST(RotationTest, DefaultTypeKeepsOnlyTheNewWeeksFile)
{
    LogFolder log;
    log.seed("2024/03/06 10:00:00");
    platform::ScopedLocalTime clock(2024, 3, 10, 0, 0, 0);
    TORLogging writer(log.path.c_str());
    EXPECT_EQ(writer.type, 0x23);
    EXPECT_EQ(writer.sizeLimit, 0x100000u);
    auto* message = new TORLogMessage();
    message->format(0, "%s", "sunday");
    EXPECT_EQ(writer.log(message), 1);
    EXPECT_EQ(log.names(), Names{"app.log"});
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/10 00:00:00", "sunday"));
}

TEST(RotationTest, ATakenArchiveNameIsNeverReplaced)
{
    LogFolder log;
    testsupport::writeFile(log.file("app.20240305.log"), "older archive\r\n");
    platform::ScopedLocalTime clock(2024, 3, 6, 0, 0, 0);

    log.seed("2024/03/05 08:00:00", "first");
    EXPECT_EQ(log.write(TORLogging::dayly, "a"), 1);
    log.seed("2024/03/05 09:00:00", "second");
    EXPECT_EQ(log.write(TORLogging::dayly, "b"), 1);

    EXPECT_EQ(log.names(),
              (Names{"app.20240305.log", "app.20240305000.log", "app.20240305001.log", "app.log"}));
    EXPECT_EQ(log.read("app.20240305.log"), "older archive\r\n");
    // The note names the archive first tried.
    EXPECT_EQ(log.read("app.20240305000.log"),
              lineAt("2024/03/05 08:00:00", "first") + note(log, "app.20240305.log"));
    EXPECT_EQ(log.read("app.20240305001.log"),
              lineAt("2024/03/05 09:00:00", "second") + note(log, "app.20240305.log"));
}

TEST(RotationTest, WhenEveryArchiveNameIsTakenTheLineGoesToTheOldFile)
{
    LogFolder log;
    testsupport::writeFile(log.file("app.20240305.log"), "kept");
    for (int n = 0; n < 1000; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "app.20240305%03d.log", n);
        testsupport::writeFile(log.file(name), "kept");
    }
    log.seed("2024/03/05 08:00:00");
    platform::ScopedLocalTime clock(2024, 3, 6, 0, 0, 0);
    // ERASE must not delete anything when no rename happened.
    const uint16_t type = TORLogging::dayly | TORLogging::eraseFlag;
    EXPECT_EQ(log.write(type, "one"), 1);
    EXPECT_EQ(log.write(type, "two"), 1);
    EXPECT_EQ(log.names().size(), 1002u);
    EXPECT_EQ(log.read("app.20240305.log"), "kept");
    EXPECT_EQ(log.read("app.20240305999.log"), "kept");
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/05 08:00:00", "seeded") + note(log, "app.20240305.log") +
                                       lineAt("2024/03/06 00:00:00", "one") + note(log, "app.20240305.log") +
                                       lineAt("2024/03/06 00:00:00", "two"));
}

TEST(RotationTest, ArchiveNamesCutOnlyTheFileNamesExtension)
{
    platform::ScopedLocalTime clock(2024, 3, 6, 0, 0, 0);

    LogFolder plain("applog");
    plain.seed("2024/03/05 08:00:00");
    EXPECT_EQ(plain.write(TORLogging::dayly, "x"), 1);
    EXPECT_EQ(plain.names(), (Names{"applog", "applog.20240305.log"}));

    LogFolder dotted("my.dir");
    std::filesystem::create_directory(dotted.path);
    dotted.path += "/app";
    dotted.seed("2024/03/05 08:00:00");
    EXPECT_EQ(dotted.write(TORLogging::dayly, "x"), 1);
    // The archive stays beside the log, named after it, not after the folder.
    EXPECT_EQ(dotted.names(), Names{"my.dir"});
    std::vector<std::string> inside;
    for (const auto& entry : std::filesystem::directory_iterator(dotted.file("my.dir")))
        inside.push_back(entry.path().filename().string());
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(inside, (Names{"app", "app.20240305.log"}));

    LogFolder twoDots("app.run.log");
    twoDots.seed("2024/03/05 08:00:00");
    EXPECT_EQ(twoDots.write(TORLogging::dayly, "x"), 1);
    EXPECT_EQ(twoDots.names(), (Names{"app.run.20240305.log", "app.run.log"}));
}

TEST(RotationTest, NewAndEmptyFilesAreWrittenWithoutATest)
{
    platform::ScopedLocalTime clock(2024, 3, 6, 12, 0, 0);
    LogFolder log;
    EXPECT_EQ(log.write(TORLogging::dayly, "created"), 1);
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/06 12:00:00", "created"));

    // The new file is dated by that first line: the next day rotates it.
    clock.set(2024, 3, 7, 0, 0, 0);
    EXPECT_EQ(log.write(TORLogging::dayly, "next"), 1);
    EXPECT_EQ(log.names(), (Names{"app.20240306.log", "app.log"}));

    LogFolder empty;
    testsupport::writeFile(empty.path, "");
    EXPECT_EQ(empty.write(TORLogging::sizely, "into empty", 0), 1);
    EXPECT_EQ(empty.names(), Names{"app.log"});
    EXPECT_EQ(empty.read("app.log"), lineAt("2024/03/07 00:00:00", "into empty"));
}

TEST(RotationTest, AFirstLineWithoutADateDatesTheFileNow)
{
    platform::ScopedLocalTime clock(2024, 3, 6, 12, 0, 0);
    LogFolder log;
    testsupport::writeFile(log.path, "written by hand\r\n");
    EXPECT_EQ(log.write(TORLogging::hourly, "kept"), 1);
    EXPECT_EQ(log.names(), Names{"app.log"});
    // Size rotation still works, with the current time in the archive name.
    EXPECT_EQ(log.write(TORLogging::sizely, "rotated", 10), 1);
    EXPECT_EQ(log.names(), (Names{"app.20240306.1200.log", "app.log"}));
}

TEST(RotationTest, ALongFirstLineStillDatesTheFile)
{
    LogFolder log;
    log.seed("2024/03/05 08:00:00", std::string(5000, 'l'));
    platform::ScopedLocalTime clock(2024, 3, 6, 0, 0, 0);
    EXPECT_EQ(log.write(TORLogging::dayly, "x"), 1);
    EXPECT_EQ(log.names(), (Names{"app.20240305.log", "app.log"}));
}

TEST(RotationTest, UnwritableLogsReportZero)
{
    LogFolder log;
    TORLogging noPath(nullptr);
    EXPECT_EQ(noPath.writeLine("x"), 0);
    TORLogging writer(log.file("missing/app.log").c_str());
    EXPECT_EQ(writer.writeLine("x"), 0);
    EXPECT_EQ(writer.writeLine(nullptr), 0);
    EXPECT_EQ(log.names(), Names{});
}

TEST(RotationTest, SetTypeTakesExactKeywords)
{
    TORLogging writer("unused.log");
    EXPECT_EQ(writer.setType("WEEKLY"), 3);
    EXPECT_EQ(writer.setType("ERASE"), 0x23);
    EXPECT_EQ(writer.setType("WEEKLY"), 3);
    EXPECT_EQ(writer.setType("RENAME"), 0x13);
    EXPECT_EQ(writer.setType("weekly"), 0x13);
    EXPECT_EQ(writer.setType("SIZELY"), 7);
    EXPECT_EQ(writer.setType("DAYLY"), 2);
    EXPECT_EQ(writer.setType("HOURLY"), 1);
    EXPECT_EQ(writer.setType("MONTHLY"), 4);
    EXPECT_EQ(writer.setType("QUARTER"), 5);
    EXPECT_EQ(writer.setType("YEARLY"), 6);
    EXPECT_EQ(writer.setType(""), 6);
    EXPECT_EQ(writer.setType(nullptr), 6);
}

// Sets a file's last-write time to a local date.
void setLastWrite(const std::string& path, int year, int month, int day)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    std::time_t when = std::mktime(&local);
    utimbuf times{when, when};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

TEST(RotationTest, PruningDeletesOnlyThisLogsOldArchives)
{
    LogFolder log;
    const Names old = {"app.20240101.log",      "app.202401.log",      "app.20240102.03.log",
                       "app.20240102.0304.log", "app.20240103000.log", "app.other.log",
                       "other.20240101.log",    "notes.log",           "app.2024.log",
                       "app.20240101.txt"};
    for (const auto& name : old) {
        testsupport::writeFile(log.file(name), "x");
        setLastWrite(log.file(name), 2024, 1, 10);
    }
    testsupport::writeFile(log.file("app.20240228.log"), "recent");
    setLastWrite(log.file("app.20240228.log"), 2024, 2, 28);
    std::filesystem::create_directory(log.file("app.20240104.log"));
    setLastWrite(log.file("app.20240104.log"), 2024, 1, 10);

    log.seed("2024/03/05 08:00:00");
    platform::ScopedLocalTime clock(2024, 3, 6, 9, 0, 0);
    TORLogging writer(log.path.c_str());
    writer.type = TORLogging::dayly | TORLogging::pruneDays;
    writer.keepCount = 14;  // cutoff 2024-02-21 00:00:00
    auto* message = new TORLogMessage();
    message->format(0, "%s", "pruned");
    EXPECT_EQ(writer.log(message), 1);

    EXPECT_EQ(log.names(),
              (Names{"app.2024.log", "app.20240101.txt", "app.20240104.log", "app.20240228.log",
                     "app.20240305.log", "app.log", "app.other.log", "notes.log", "other.20240101.log"}));
}

TEST(RotationTest, PruningByMonthsAndYearsCountsBackFromToday)
{
    LogFolder log;
    testsupport::writeFile(log.file("app.202401.log"), "x");
    setLastWrite(log.file("app.202401.log"), 2024, 1, 5);
    testsupport::writeFile(log.file("app.202402.log"), "x");
    setLastWrite(log.file("app.202402.log"), 2024, 2, 7);
    testsupport::writeFile(log.file("app.202301.log"), "x");
    setLastWrite(log.file("app.202301.log"), 2023, 1, 5);
    log.seed("2024/03/05 08:00:00");
    platform::ScopedLocalTime clock(2024, 4, 6, 9, 0, 0);

    TORLogging months(log.path.c_str());
    months.type = TORLogging::monthly | TORLogging::pruneMonths;
    months.keepCount = 2;  // cutoff 2024-02-06
    months.writeLine("x");
    EXPECT_EQ(log.names(), (Names{"app.202402.log", "app.202403.log", "app.log"}));

    testsupport::writeFile(log.file("app.202301.log"), "x");
    setLastWrite(log.file("app.202301.log"), 2023, 5, 5);
    testsupport::writeFile(log.file("app.202304.log"), "x");
    setLastWrite(log.file("app.202304.log"), 2023, 5, 6);
    clock.set(2024, 5, 6, 9, 0, 0);
    log.seed("2024/04/06 09:00:00");
    TORLogging years(log.path.c_str());
    years.type = TORLogging::monthly | TORLogging::pruneYears;
    years.keepCount = 1;  // cutoff 2023-05-06 00:00:00
    years.writeLine("x");
    EXPECT_EQ(log.names(),
              (Names{"app.202304.log", "app.202402.log", "app.202403.log", "app.202404.log", "app.log"}));
}

}  // namespace
