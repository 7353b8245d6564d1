// The example configurations render as make demo renders them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/cli/CliFixture.h"

using namespace clitest;
using testsupport::sourcePath;

namespace {

TEST_F(CliTest, TheDemoRendersOverItsBackground)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdffonts");
    if (!testsupport::fileExists("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"))
        GTEST_SKIP() << "fonts-ipaexfont is not installed";
    // The examples name their files relative to the folder they are run from.
    std::filesystem::create_directories(dir.path() / "examples");
    std::filesystem::create_directories(dir.path() / "out");
    for (const char* name : {"background.conf", "demo.conf"})
        std::filesystem::copy_file(sourcePath(std::string("examples/") + name),
                                   dir.path() / "examples" / name);

    for (const char* conf : {"examples/background.conf", "examples/demo.conf"}) {
        testsupport::RunResult result = quillon(conf);
        EXPECT_EQ(result.status, 0) << conf;
        EXPECT_EQ(result.err, "") << conf;
    }
    std::string demo = file("out/demo.pdf");
    // Both layers' texts: the form's labels and what the demo writes over them.
    std::string text = pdfcheck::text(demo);
    for (const char* expected : {"INVOICE", "Bill to", "株式会社サンプル商事", "2024年4月1日",
                                 "INV-2024-0042", "下記のとおりご請求申し上げます。", "Shipping & handling",
                                 "101,500", "Thank you for your business!"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    EXPECT_EQ(pdfcheck::info(demo, "Title"), "請求書（デモ）");
    std::string fonts = testsupport::run({"pdffonts", demo}).out;
    for (const char* font :
         {"Helvetica", "Times-Italic", "Courier", "HeiseiKakuGo-W5", "IPAexGothic", "IPAexMincho"})
        EXPECT_NE(fonts.find(font), std::string::npos) << font << "\n" << fonts;
    // One run logged: the banner.
    EXPECT_EQ(logTexts(file("out/demo.log")), std::vector<std::string>{bannerText()});
}

}  // namespace
