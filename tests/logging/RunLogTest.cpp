#include <gtest/gtest.h>

#include "foundation/TORPDFException.h"
#include "logging/run_log.h"
#include "tests/logging/LogFixture.h"

namespace {

using logtest::lineAt;
using logtest::LogFolder;

TEST(RunLogTest, AnErrorTakesFourLines)
{
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    LogFolder log;
    TORPDFException error(-1, "boom", -1);
    EXPECT_TRUE(logRunError(log.path.c_str(), 0x23, 0x100000, error, "/work/a.conf", nullptr, "form.pdf"));
    const std::string at = "2024/03/05 14:07:09";
    EXPECT_EQ(log.read("app.log"),
              lineAt(at, "Error(-1[0xffffffff]):boom") + lineAt(at, " confName: /work/a.conf") +
                  lineAt(at, " pdfName: not specified") + lineAt(at, " pdiName: form.pdf"));

    TORException other(0x1234, "x", 0);
    EXPECT_TRUE(logRunError(log.path.c_str(), 0x23, 0x100000, other, "c.conf", "out.pdf", ""));
    EXPECT_NE(
        log.read("app.log").find(lineAt(at, "Error(4660[0x1234]):x") + lineAt(at, " confName: c.conf") +
                                 lineAt(at, " pdfName: out.pdf") + lineAt(at, " pdiName: not specified")),
        std::string::npos);
}

TEST(RunLogTest, TextIsOneLine)
{
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    LogFolder log;
    EXPECT_TRUE(logRunText(log.path.c_str(), 0x23, 0x100000, "Quillon 4.0.2\r\n(c) banner"));
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/05 14:07:09", "Quillon 4.0.2\r\n(c) banner"));
}

TEST(RunLogTest, TypeAndSizeReachTheWriter)
{
    LogFolder log;
    log.seed("2024/03/05 08:00:00");
    platform::ScopedLocalTime clock(2024, 3, 6, 0, 0, 0);
    // Only the low 16 bits of the type count: 0x10002 is DAYLY.
    EXPECT_TRUE(logRunText(log.path.c_str(), 0x10002, 0x100000, "next day"));
    EXPECT_EQ(log.names(), (std::vector<std::string>{"app.20240305.log", "app.log"}));

    EXPECT_TRUE(logRunText(log.path.c_str(), 7, 10, "full"));
    EXPECT_EQ(log.names(),
              (std::vector<std::string>{"app.20240305.log", "app.20240306.0000.log", "app.log"}));
}

TEST(RunLogTest, NoLogFileWritesNothing)
{
    LogFolder log;
    TORException error(-1, "boom", -1);
    EXPECT_FALSE(logRunError("", 0x23, 0x100000, error, "a.conf", nullptr, nullptr));
    EXPECT_FALSE(logRunError(nullptr, 0x23, 0x100000, error, "a.conf", nullptr, nullptr));
    EXPECT_FALSE(logRunText("", 0x23, 0x100000, "banner"));
    EXPECT_FALSE(logRunText(nullptr, 0x23, 0x100000, "banner"));
    EXPECT_TRUE(log.names().empty());
}

}  // namespace
