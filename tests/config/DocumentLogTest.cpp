#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "tests/config/ConfigFixture.h"
#include "tests/logging/LogFixture.h"

namespace {

using logtest::lineAt;

TEST_F(ConfigTest, TheRunLogTakesTheBannerAndErrors)
{
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    const std::string log = file("run.log");
    auto document = load(minimal("log_file=" + log + "\npdiName=form.pdf\n"));
    EXPECT_TRUE(document->logText("banner line"));
    EXPECT_TRUE(document->logError(TORPDFException(-1, "boom", -1)));
    const std::string at = "2024/03/05 14:07:09";
    EXPECT_EQ(testsupport::readFile(log),
              lineAt(at, "banner line") + lineAt(at, "Error(-1[0xffffffff]):boom") +
                  lineAt(at, " confName: " + path()) + lineAt(at, " pdfName: out.pdf") +
                  lineAt(at, " pdiName: form.pdf"));
}

TEST_F(ConfigTest, AMissingPdfNameIsStillLogged)
{
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    const std::string log = file("run.log");
    write("[PDF]\nlog_file=" + log + "\npages=1\n");
    tr_pdffile document;
    try {
        document.load(path().c_str());
        ADD_FAILURE() << "loading did not fail";
    } catch (const TORException& error) {
        EXPECT_TRUE(document.logError(error));
    }
    const std::string at = "2024/03/05 14:07:09";
    EXPECT_EQ(testsupport::readFile(log),
              lineAt(at, "Error(-1[0xffffffff]):" + noPdfName) + lineAt(at, " confName: " + path()) +
                  lineAt(at, " pdfName: not specified") + lineAt(at, " pdiName: not specified"));
}

TEST_F(ConfigTest, NoLogFileNoLines)
{
    auto document = load(minimal());
    EXPECT_FALSE(document->logText("banner line"));
    EXPECT_FALSE(document->logError(TORPDFException(-1, "boom", -1)));
    tr_pdffile unloaded;
    EXPECT_FALSE(unloaded.logText("banner line"));
    EXPECT_FALSE(testsupport::fileExists(file("run.log")));
}

TEST_F(ConfigTest, TheLogRotatesByTheConfiguredTypeAndSize)
{
    platform::ScopedLocalTime clock(2024, 3, 5, 14, 7, 9);
    const std::string log = file("run.log");
    // By size (7), at 0x10 bytes: the second line finds the file full.
    auto document = load(minimal("log_file=" + log + "\nlog_type=7\nlog_size=10\n"));
    document->logText("first");
    document->logText("second");
    EXPECT_EQ(testsupport::readFile(file("run.20240305.1407.log")),
              lineAt("2024/03/05 14:07:09", "first") + "... rename from " + log + " to " +
                  file("run.20240305.1407.log") + "\r\n");
    EXPECT_EQ(testsupport::readFile(log), lineAt("2024/03/05 14:07:09", "second"));
}

}  // namespace
