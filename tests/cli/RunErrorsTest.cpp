// How a configuration run ends when something is wrong: the error line on standard
// error, the four log lines, status 0, and no PDF written or lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/cli/CliFixture.h"

using namespace clitest;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::writeFile;

namespace {

// 入力 PDF ファイル '<name>' が見つかりません
std::string pdiNotFound(const std::string& name)
{
    return "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
           "C\x83\x8B '" +
           name + "' \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
}
// 入力 PDF ファイル '<name>' を開けません
std::string pdiCannotOpen(const std::string& name)
{
    return "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
           "C\x83\x8B '" +
           name + "' \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";
}
// 入力 PDF ファイルのページ '<n>' を開けません
std::string pdiPageCannotOpen(int page)
{
    return "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
           "C\x83\x8B\x82\xCC\x83y\x81[\x83W '" +
           std::to_string(page) + "' \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1";
}
// 入力 PDF ファイルが準備されていません
const std::string noPdiDocument =
    "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x8F\x80\x94\xF5\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// PDF 文書を作成できません
const std::string cannotCreateDocument =
    "PDF \x95\xB6\x8F\x91\x82\xF0\x8D\xEC\x90\xAC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";
// PDF ファイル名が指定されていません
const std::string noPdfName =
    "PDF \x83t\x83@\x83"
    "C\x83\x8B\x96\xBC\x82\xAA\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";

const std::string oldPdf = "%PDF-1.4 an older file that must survive\n";

// A run that must fail: the PDF name is out.pdf and an older out.pdf exists.
class RunErrorTest : public CliTest {
protected:
    void SetUp() override { writeFile(file("out.pdf"), oldPdf); }

    // Runs the configuration (the [PDF] section gets pdfName, log_file and pages=1
    // unless extra sets pages) and checks everything a failed run leaves.
    void expectFailure(const std::string& pdfKeys, const std::string& rest, const std::string& message,
                       int code, const std::string& pdiName = "not specified",
                       const std::string& pdfName = "out.pdf")
    {
        std::string log = file("run.log");
        std::filesystem::remove(log);
        writeConf("[PDF]\npdfName=" + pdfName + "\nlog_file=" + log + "\n" + pdfKeys + rest);
        RunResult result = quillon();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, errorOutput(message));
        char codeText[64];
        std::snprintf(codeText, sizeof codeText, "Error(%d[0x%x]):", code, static_cast<unsigned>(code));
        // The configuration loaded, so the banner came first.
        std::vector<std::string> expected{bannerText(), codeText + message, " confName: " + file("test.conf"),
                                          " pdfName: " + pdfName, " pdiName: " + pdiName};
        EXPECT_EQ(logTexts(log), expected);
        // Nothing was written over the older file, and nothing was left beside it.
        EXPECT_EQ(readFile(file("out.pdf")), oldPdf);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "out.pdf" || name == "test.conf" || name == "run.log" || name == "bg.pdf" ||
                        name == "bg.conf" || name == "notapdf.pdf")
                << "left behind: " << name;
        }
    }

    // A one-page PDF to import, made by the program itself.
    void makeBackground()
    {
        writeConf(
            "[PDF]\npdfName=bg.pdf\npages=1\n[PAGE_1]\nobjects=1\n"
            "[PUT_1_1]\nobject_type=line\nleft=100\ntop=100\nright=500\nbottom=100\n",
            "bg.conf");
        RunResult made = quillon("bg.conf");
        ASSERT_EQ(made.err, "");
        ASSERT_TRUE(fileExists(file("bg.pdf")));
    }
};

TEST_F(RunErrorTest, ImportedDocumentErrors)
{
    expectFailure("pdiName=missing.pdf\npages=1\n", "[PAGE_1]\npdiPage=1\n", pdiNotFound("missing.pdf"), -1,
                  "missing.pdf");

    writeFile(file("notapdf.pdf"), "just some text\n");
    expectFailure("pdiName=notapdf.pdf\npages=1\n", "[PAGE_1]\npdiPage=1\n", pdiCannotOpen("notapdf.pdf"), -1,
                  "notapdf.pdf");
}

TEST_F(RunErrorTest, ImportedPageErrors)
{
    makeBackground();
    // Page 2 of a one-page PDF, after page 1 was rendered: no PDF with one page.
    expectFailure("pdiName=bg.pdf\npages=2\n", "[PAGE_1]\npdiPage=1\n[PAGE_2]\npdiPage=2\n",
                  pdiPageCannotOpen(2), -1, "bg.pdf");
    // A page that imports without an imported PDF named.
    expectFailure("pages=1\n", "[PAGE_1]\npdiPage=1\n", noPdiDocument, -1);
    // A block needs the imported PDF too.
    expectFailure("pages=1\n", "[PAGE_1]\nobjects=1\n[PUT_1_1]\nobject_type=block\nname=b\n", noPdiDocument,
                  -1);
}

TEST_F(RunErrorTest, EngineErrorsCarryTheEngineMessageAndType)
{
    // A cap of 11 tenths of a millimetre is style 3, which the engine refuses.
    expectFailure(
        "pages=2\n",
        "[PAGE_2]\nobjects=1\n[PUT_2_1]\nobject_type=line\nleft=1\ntop=1\nright=100\nbottom=100\ncap=11\n",
        "Option 'linecap' must be between 0 and 2, not '3'", 9);
    expectFailure("pages=1\n", "[PAGE_1]\nwidth=0\n", "Page width 0 is out of range (1 to 14400)", 9);
    makeBackground();
    expectFailure("pdiName=bg.pdf\npages=1\n", "[PAGE_1]\npdiPage=1\npdiOption=adjstpage\n",
                  "Unknown option 'adjstpage'", 8, "bg.pdf");
}

// Long documents are drawn while their later pages are still being read; what a
// failed run reports and leaves must not show it.
TEST_F(RunErrorTest, ALongDocumentFailsAsIfItWereLoadedFirst)
{
    // Pages 2 to 60 have a line each; page 3 imports a page without an imported PDF,
    // which fails only when it is drawn.
    auto pages = [](int badObjectPage) {
        std::string text;
        for (int n = 2; n <= 60; ++n) {
            text += "[PAGE_" + std::to_string(n) + "]\n" + (n == 3 ? "pdiPage=1\n" : "");
            text += "objects=1\n[PUT_" + std::to_string(n) +
                    "_1]\nobject_type=" + (n == badObjectPage ? "circle" : "line") +
                    "\nleft=1\ntop=1\nright=90\nbottom=90\n";
        }
        return text;
    };
    // Drawing fails on page 3 and nothing else is wrong: the banner, then that error.
    expectFailure("pages=60\n", pages(0), noPdiDocument, -1);

    // A bad object on page 58 is an error of the configuration: it is the one
    // reported, without the banner, although page 3 was reached first.
    std::string log = file("run.log");
    std::filesystem::remove(log);
    writeConf("[PDF]\npdfName=out.pdf\nlog_file=" + log + "\npages=60\n" + pages(58));
    RunResult result = quillon();
    EXPECT_EQ(result.status, 0);
    // オブジェクトタイプ 'circle' が不正です(セクション [PUT_58_1])
    const std::string badObject =
        "\x83I\x83u\x83W\x83"
        "F\x83N\x83g\x83^\x83"
        "C\x83v 'circle' \x82\xAA\x95s\x90\xB3\x82\xC5\x82\xB7(\x83Z\x83N\x83V\x83\x87\x83\x93 "
        "[PUT_58_1])";
    EXPECT_EQ(result.err, errorOutput(badObject));
    std::vector<std::string> expected{"Error(-1[0xffffffff]):" + badObject, " confName: " + file("test.conf"),
                                      " pdfName: out.pdf", " pdiName: not specified"};
    EXPECT_EQ(logTexts(log), expected);
    EXPECT_EQ(readFile(file("out.pdf")), oldPdf);
    EXPECT_FALSE(fileExists(file("pdflib_trace.txt")));
}

TEST_F(RunErrorTest, AnOutputThatCannotBeCreated)
{
    expectFailure("pages=1\n", "",
                  "Couldn't open PDF file 'nofolder/out.pdf' for writing (No such file or directory)", 2,
                  "not specified", "nofolder/out.pdf");
}

TEST_F(RunErrorTest, OverlongDocumentOptionsAreRefusedNotCut)
{
    // Four values of 150 bytes do not fit the document's 511-byte option list.
    std::string value(150, 'p');
    expectFailure("compatibility=" + value + "\nmasterPwd=" + value + "\nuserPwd=" + value +
                      "\npermissions=" + value + "\npages=1\n",
                  "", cannotCreateDocument, -1);
}

TEST_F(RunErrorTest, LoadErrorsAreLoggedWithoutTheBanner)
{
    std::string log = file("run.log");
    writeConf("[PDF]\nlog_file=" + log + "\npages=1\n");
    RunResult result = quillon();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, errorOutput(noPdfName));
    std::vector<std::string> expected{"Error(-1[0xffffffff]):" + noPdfName, " confName: " + file("test.conf"),
                                      " pdfName: not specified", " pdiName: not specified"};
    EXPECT_EQ(logTexts(log), expected);
    EXPECT_EQ(readFile(file("out.pdf")), oldPdf);

    // A configuration file that does not exist reads as an empty one.
    RunResult missing = quillon("nosuch.conf");
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.err, errorOutput(noPdfName));
}

TEST_F(CliTest, ASuccessfulRunLogsOnlyTheBanner)
{
    std::string log = file("run.log");
    render("[PDF]\npdfName=out.pdf\nlog_file=" + log + "\npages=1\n");
    // The banner's two lines are one log message.
    EXPECT_EQ(logTexts(log), std::vector<std::string>{bannerText()});
    EXPECT_EQ(pdfcheck::info(file("out.pdf"), "Pages"), "1");

    // Without log_file nothing is logged, neither the banner nor errors.
    testsupport::TempDir other;
    writeFile(other.file("a.conf"), "[PDF]\npdfName=a.pdf\npages=1\n");
    writeFile(other.file("b.conf"), "[PDF]\npdfName=b.pdf\n");
    EXPECT_EQ(testsupport::run({testsupport::quillonExe(), "a.conf"}, other.path().string()).err, "");
    EXPECT_NE(testsupport::run({testsupport::quillonExe(), "b.conf"}, other.path().string()).err, "");
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(other.path()))
        ++entries;
    EXPECT_EQ(entries, 3u);  // a.conf, b.conf, a.pdf
}

}  // namespace
