// Whole-program runs: a configuration written by the test (as UTF-8, stored as
// Shift-JIS) into a folder of its own, build/quillon run there, and what it left.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "app/Banner.h"
#include "tests/cli/PdfChecks.h"
#include "tests/support/TestSupport.h"
#include "text/TORConverter.h"

namespace clitest {

// The Shift-JIS bytes of a UTF-8 text.
inline std::string sjis(const std::string& utf8)
{
    std::unique_ptr<char[]> converted(TORConverter::utf8ToSjis(nullptr, 0, utf8.c_str(), nullptr));
    return converted ? converted.get() : "";
}

// What standard error holds after a run that failed with message (Shift-JIS).
inline std::string errorOutput(const std::string& message)
{
    return "\r\nERROR: " + message + "\r\n";
}

// The lines of a log file without their date, time and process prefix.
inline std::vector<std::string> logTexts(const std::string& log)
{
    static const std::regex prefix(
        "^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d [0-9A-F]{4,}\\([0-9a-f]{4,}\\) ");
    std::string content = testsupport::readFile(log);
    std::vector<std::string> texts;
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find("\r\n", at);
        if (end == std::string::npos) {
            texts.push_back("(no CR LF) " + content.substr(at));
            break;
        }
        std::string line = content.substr(at, end - at);
        std::smatch m;
        texts.push_back(std::regex_search(line, m, prefix) ? m.suffix().str() : "(no prefix) " + line);
        at = end + 2;
    }
    return texts;
}

class CliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { formatBannerText(); }

    // Writes the configuration (UTF-8 in the test, Shift-JIS on disk) as name.
    std::string writeConf(const std::string& utf8, const std::string& name = "test.conf") const
    {
        std::string path = dir.file(name);
        testsupport::writeFile(path, sjis(utf8));
        return path;
    }

    // Runs quillon in the test's folder on a configuration file there.
    testsupport::RunResult quillon(const std::string& conf = "test.conf",
                                   const std::vector<std::string>& more = {})
    {
        std::vector<std::string> argv{testsupport::quillonExe(), conf};
        argv.insert(argv.end(), more.begin(), more.end());
        return testsupport::run(argv, dir.path().string());
    }

    // Writes and runs a configuration that must succeed, with nothing on standard error.
    testsupport::RunResult render(const std::string& utf8)
    {
        writeConf(utf8);
        testsupport::RunResult result = quillon();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        return result;
    }

    std::string file(const std::string& name) const { return dir.file(name); }

    testsupport::TempDir dir;
};

}  // namespace clitest
