#include <gtest/gtest.h>

#include <filesystem>

#include "app/Banner.h"
#include "config/Units.h"
#include "config/tr_pdfpage.h"
#include "tests/config/ConfigFixture.h"

namespace {

TEST_F(ConfigTest, DocumentKeysAndTheirDefaults)
{
    auto document = load(minimal());
    EXPECT_STREQ(document->getConfName(), path().c_str());
    EXPECT_STREQ(document->getLogFile(), "");
    EXPECT_EQ(document->getLogType(), 0x23u);
    EXPECT_EQ(document->getLogSize(), 0x100000u);
    EXPECT_STREQ(document->getPdfName(), "out.pdf");
    EXPECT_STREQ(document->getCreator(), bannerText());
    for (const char* absent : {document->getPdiName(), document->getAuthor(), document->getTitle(),
                               document->getMasterPwd(), document->getUserPwd(), document->getPermissions(),
                               document->getCompatibility(), document->getTrace(), document->getPath()})
        EXPECT_EQ(absent, nullptr);
    ASSERT_EQ(document->getCount(), 1);

    document = load(
        "[PDF]\nlog_file=run.log\npdfName=out.pdf\npdiName=form.pdf\nauthor=A\ncreator=C\ntitle=T\n"
        "masterPwd=m\nuserPwd=u\npermissions=noprint\ncompatibility=1.7\ntrace=t.txt\npath=/"
        "fonts\npages=1\n");
    EXPECT_STREQ(document->getLogFile(), "run.log");
    EXPECT_STREQ(document->getPdiName(), "form.pdf");
    EXPECT_STREQ(document->getAuthor(), "A");
    EXPECT_STREQ(document->getCreator(), "C");
    EXPECT_STREQ(document->getTitle(), "T");
    EXPECT_STREQ(document->getMasterPwd(), "m");
    EXPECT_STREQ(document->getUserPwd(), "u");
    EXPECT_STREQ(document->getPermissions(), "noprint");
    EXPECT_STREQ(document->getCompatibility(), "1.7");
    EXPECT_STREQ(document->getTrace(), "t.txt");
    EXPECT_STREQ(document->getPath(), "/fonts");
}

TEST_F(ConfigTest, EmptyValuesStoreNothing)
{
    // An empty creator is no creator; an empty log type is 0, a missing one 35.
    auto document = load(minimal("creator=\nauthor=\nlog_type=\n"));
    EXPECT_EQ(document->getCreator(), nullptr);
    EXPECT_EQ(document->getAuthor(), nullptr);
    EXPECT_EQ(document->getLogType(), 0u);
}

TEST_F(ConfigTest, LogSettingsAreHexadecimal)
{
    struct Case {
        const char* value;
        uint32_t type;
    } cases[] = {{"23", 35},  {"0x23", 35},       {"zz", 0},
                 {" 1f", 31}, {"-1", 0xFFFFFFFF}, {"123456789", 0xFFFFFFFF}};
    for (const Case& c : cases) {
        auto document = load(minimal(std::string("log_type=") + c.value + "\n"));
        EXPECT_EQ(document->getLogType(), c.type) << c.value;
    }
    EXPECT_EQ(load(minimal("log_size=400\n"))->getLogSize(), 1024u);
}

TEST_F(ConfigTest, DocumentErrors)
{
    EXPECT_EQ(loadError("[PDF]\npages=1\n"), noPdfName);
    EXPECT_EQ(loadError("[PDF]\npdfName=\npages=1\n"), noPdfName);
    // A file that does not exist reads as an empty one.
    std::string missing = file("none.conf");
    tr_pdffile document;
    try {
        document.load(missing.c_str());
        ADD_FAILURE() << "a missing file loaded";
    } catch (const TORPDFException& error) {
        EXPECT_EQ(error.getMessage(), noPdfName);
        EXPECT_EQ(error.getSubCode(), -1);
    }

    EXPECT_EQ(loadError(minimal("userPwd=u\n")), noMasterPwd);
    EXPECT_EQ(loadError(minimal("permissions=noprint\n")), noMasterPwd);
    EXPECT_EQ(load(minimal("masterPwd=m\n"))->getUserPwd(), nullptr);

    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\n"), noPages);
    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\npages=0\n"), noPages);
    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\npages=-5\n"), noPages);
    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\npages=abc\n"), noPages);
}

TEST_F(ConfigTest, TheOutputNeverReplacesTheConfiguration)
{
    // "PDF ファイル名がコンフィグレーションファイルと同じです"
    const std::string sameFile =
        "PDF \x83t\x83@\x83"
        "C\x83\x8B\x96\xBC\x82\xAA\x83R\x83\x93\x83t\x83"
        "B\x83O\x83\x8C\x81[\x83V\x83\x87\x83\x93\x83t\x83@\x83"
        "C\x83\x8B\x82\xC6\x93\xAF\x82\xB6\x82\xC5\x82\xB7";
    const std::string link = file("link.conf");
    std::filesystem::create_symlink(path(), link);
    for (const std::string& name : {path(), link}) {
        const std::string text = "[PDF]\npdfName=" + name + "\npages=1\n";
        EXPECT_EQ(loadError(text), sameFile) << name;
        EXPECT_EQ(testsupport::readFile(path()), text);
    }
    // A name beside it, and one that only looks alike, load.
    EXPECT_STREQ(load("[PDF]\npdfName=" + path() + ".pdf\npages=1\n")->getPdfName(),
                 (path() + ".pdf").c_str());
    EXPECT_NE(load("[PDF]\npdfName=" + file("./other.conf") + "\npages=1\n"), nullptr);
}

TEST_F(ConfigTest, LogSettingsSurviveALaterError)
{
    write("[PDF]\nlog_file=run.log\nlog_type=5\n");
    tr_pdffile document;
    EXPECT_THROW(document.load(path().c_str()), TORPDFException);
    EXPECT_STREQ(document.getLogFile(), "run.log");
    EXPECT_EQ(document.getLogType(), 5u);
    EXPECT_STREQ(document.getConfName(), path().c_str());
}

TEST_F(ConfigTest, TooManyPagesIsAnErrorNotAnAllocation)
{
    // "ページ数 2000000000 が多すぎます(最大 100000)"
    EXPECT_EQ(loadError("[PDF]\npdfName=out.pdf\npages=2000000000\n"),
              "\x83y\x81[\x83W\x90\x94 2000000000 "
              "\x82\xAA\x91\xBD\x82\xB7\x82\xAC\x82\xDC\x82\xB7(\x8D\xC5\x91\xE5 "
              "100000)");
}

TEST_F(ConfigTest, LongValuesAreCutAtTheirBuffer)
{
    std::string longName(300, 'n');
    auto document = load("[PDF]\npages=1\npdfName=" + longName + "\nlog_file=" + longName + "\n");
    EXPECT_EQ(std::string(document->getPdfName()), std::string(255, 'n'));
    EXPECT_EQ(std::string(document->getLogFile()), std::string(255, 'n'));

    // A configuration path past 255 bytes is kept cut, but the file is read through all of it.
    std::string folder = file(std::string(150, 'a'));
    std::filesystem::create_directories(folder + "/" + std::string(150, 'b'));
    std::string deep = folder + "/" + std::string(150, 'b') + "/x.conf";
    testsupport::writeFile(deep, minimal());
    tr_pdffile deepDocument(deep.c_str());
    EXPECT_EQ(std::string(deepDocument.getConfName()), deep.substr(0, 255));
    EXPECT_STREQ(deepDocument.getPdfName(), "out.pdf");
}

TEST_F(ConfigTest, ConstructingWithAPathLoads)
{
    write(minimal("title=T\n"));
    tr_pdffile document(path().c_str());
    EXPECT_STREQ(document.getTitle(), "T");
    EXPECT_EQ(document.getCount(), 1);
    EXPECT_FALSE(document.logText("line"));
}

TEST_F(ConfigTest, PagesInOrderWithDefaults)
{
    auto document = load(
        "[PDF]\npdfName=out.pdf\npages=2\n"
        "[PAGE_2]\nwidth=1000\nheight=2000\npdiPage=2\npdiProcess=p\n"
        "[PAGE_3]\nobject_type=bad\nobjects=1\n");
    ASSERT_EQ(document->getCount(), 2);
    auto* first = dynamic_cast<tr_pdfpage*>(document->get(0));
    auto* second = dynamic_cast<tr_pdfpage*>(document->get(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->getPageNo(), 1);
    EXPECT_DOUBLE_EQ(first->getWidth(), 2102 / 3.528);
    EXPECT_DOUBLE_EQ(first->getHeight(), 2975 / 3.528);
    EXPECT_NEAR(first->getWidth(), 595.80, 0.005);
    EXPECT_NEAR(first->getHeight(), 843.25, 0.005);
    EXPECT_EQ(first->getPdiPage(), 0);
    EXPECT_EQ(first->getPdiOption(), nullptr);
    EXPECT_EQ(first->getPdiProcess(), nullptr);
    EXPECT_EQ(first->getCount(), 0);

    EXPECT_EQ(second->getPageNo(), 2);
    EXPECT_DOUBLE_EQ(second->getWidth(), toPoints(1000));
    EXPECT_DOUBLE_EQ(second->getHeight(), toPoints(2000));
    EXPECT_EQ(second->getPdiPage(), 2);
    EXPECT_STREQ(second->getPdiOption(), "adjustpage");
    EXPECT_STREQ(second->getPdiProcess(), "p");
}

TEST_F(ConfigTest, AdjustPageOnlyForAnImportedPage)
{
    auto pageOf = [this](const std::string& keys) {
        auto document = load(minimal("[PAGE_1]\n" + keys));
        auto* page = dynamic_cast<tr_pdfpage*>(document->get(0));
        std::string option = page && page->getPdiOption() ? page->getPdiOption() : "(none)";
        return std::to_string(page ? page->getPdiPage() : -1) + " " + option;
    };
    EXPECT_EQ(pageOf("pdiPage=2\n"), "2 adjustpage");
    EXPECT_EQ(pageOf("pdiPage=2\npdiOption=\n"), "2 adjustpage");
    EXPECT_EQ(pageOf("pdiPage=2\npdiOption=scale 0.5\n"), "2 scale 0.5");
    EXPECT_EQ(pageOf("pdiPage=0\npdiOption=\n"), "0 (none)");
    EXPECT_EQ(pageOf("pdiOption=keep\n"), "0 keep");
    // Only the low 16 bits count: 65536 is no page at all, 65537 is page 1.
    EXPECT_EQ(pageOf("pdiPage=65536\n"), "0 (none)");
    EXPECT_EQ(pageOf("pdiPage=65537\n"), "1 adjustpage");
}

}  // namespace
