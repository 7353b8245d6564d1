// Blocks filled by whole runs: text where the block is, images with their
// transparency, blocks that are missing or cannot be filled, and the form example
// made with quillon-blocks, listed by the template mode and filled.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/BlockFixtures.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/PdfFixtures.h"

using namespace clitest;
using testsupport::sourcePath;

namespace {

// One row of pdfimages -list.
struct ListedImage {
    int page = 0;
    std::string type;  // image, smask, mask
    int width = 0, height = 0;
};

std::vector<ListedImage> listImages(const std::string& pdf)
{
    std::istringstream rows(testsupport::run({"pdfimages", "-list", pdf}).out);
    std::vector<ListedImage> images;
    std::string row;
    while (std::getline(rows, row)) {
        std::istringstream fields(row);
        ListedImage image;
        int number = 0;
        if (fields >> image.page >> number >> image.type >> image.width >> image.height)
            images.push_back(image);
    }
    return images;
}

// A background of the configuration's default page size (595.8 x 843.25 points),
// so that it is placed unscaled and block rectangles are page positions.
class BlockRunTest : public CliTest {
protected:
    void writeForm()
    {
        fixtures::PdfBuilder b;
        QPDFObjectHandle page = b.addPage("[0 0 595.8 843.25]");
        b.addTextBlock(page, "customer", "[100 700 300 730]", "/fontname /HeiseiKakuGo-W5 /fontsize 12");
        // 氏名, keyed by its UTF-8 bytes as block tools write it.
        b.addTextBlock(page, "\xE6\xB0\x8F\xE5\x90\x8D", "[100 600 300 630]",
                       "/fontname /Helvetica /fontsize 10");
        b.addBlock(page, "photo", b.parse("<< /Type /Block /Subtype /Image /Rect [400 500 500 600] >>"));
        b.write(file("form.pdf"));
        testsupport::writeFile(file("seal.png"), blockfixtures::tinyPng());
    }

    static std::string header(int objects)
    {
        return "[PDF]\npdfName=out.pdf\npdiName=form.pdf\npages=1\n[PAGE_1]\npdiPage=1\nobjects=" +
               std::to_string(objects) + "\n";
    }
};

TEST_F(BlockRunTest, TextAndImagesLandInTheirBlocks)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdfimages");
    writeForm();
    render(header(3) +
           "[PUT_1_1]\nobject_type=block\ntype=text\nname=customer\ndescription=山田商店\n"
           "[PUT_1_2]\nobject_type=block\ntype=TEXT\nname=氏名\ndescription=Yamada Taro\n"
           "[PUT_1_3]\nobject_type=block\ntype=image\nname=photo\ndescription=seal.png\n");
    std::string out = file("out.pdf");

    // pdftotext measures from the top: the block [100 700 300 730] is 113.25 to 143.25 down.
    std::optional<pdfcheck::Word> customer = pdfcheck::findPhrase(out, "山田商店");
    ASSERT_TRUE(customer) << pdfcheck::text(out);
    EXPECT_GE(customer->xMin, 99);
    EXPECT_LE(customer->xMax, 301);
    EXPECT_GE(customer->yMin, 112);
    EXPECT_LE(customer->yMax, 144.5);
    // The block named in Japanese is found from its Shift-JIS name.
    std::optional<pdfcheck::Word> taro = pdfcheck::findPhrase(out, "YamadaTaro");
    ASSERT_TRUE(taro) << pdfcheck::text(out);
    EXPECT_GE(taro->yMin, 212);
    EXPECT_LE(taro->yMax, 244.5);

    // The image with its alpha channel as a soft mask.
    std::vector<ListedImage> images = listImages(out);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].type, "image");
    EXPECT_EQ(images[1].type, "smask");
    EXPECT_EQ(images[0].width, 2);
    EXPECT_EQ(images[1].height, 2);
}

TEST_F(BlockRunTest, BlocksThatCannotBeFilledLeaveThePageAndTheRunGoesOn)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdfimages");
    writeForm();
    // A missing block, a text for an image block, an image file that is not there,
    // a PDF block; then a block that can be filled, which still is.
    render(header(5) +
           "[PUT_1_1]\nobject_type=block\nname=nosuch\ndescription=lost words\n"
           "[PUT_1_2]\nobject_type=block\nname=photo\ndescription=wrong kind\n"
           "[PUT_1_3]\nobject_type=block\ntype=image\nname=photo\ndescription=missing.png\n"
           "[PUT_1_4]\nobject_type=block\ntype=pdf\nname=customer\ndescription=other.pdf\n"
           "[PUT_1_5]\nobject_type=block\nname=customer\ndescription=Filled\n");
    std::string text = pdfcheck::text(file("out.pdf"));
    EXPECT_EQ(text.find("lost"), std::string::npos) << text;
    EXPECT_EQ(text.find("wrong"), std::string::npos) << text;
    EXPECT_NE(text.find("Filled"), std::string::npos) << text;
    EXPECT_TRUE(listImages(file("out.pdf")).empty());
}

TEST_F(BlockRunTest, TheBlockFontOfTheConfigurationIsTheOneUsed)
{
    QUILLON_REQUIRE_TOOL("pdffonts");
    if (!testsupport::fileExists("/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf"))
        GTEST_SKIP() << "fonts-ipaexfont is not installed";
    writeForm();
    render(header(1) +
           "[PUT_1_1]\nobject_type=block\nname=customer\ndescription=山田商店\n"
           "face=IPAexMincho\nfile=/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf\n"
           "encoding=unicode\nsize=10\n");
    std::string fonts = testsupport::run({"pdffonts", file("out.pdf")}).out;
    EXPECT_NE(fonts.find("IPAexMincho"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find("HeiseiKakuGo"), std::string::npos) << fonts;
}

// The form example as make demo makes it: the background rendered, quillon-blocks
// adding the blocks, the template mode listing them, the configuration filling them.
class FormExampleTest : public CliTest {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "examples");
        std::filesystem::create_directories(dir.path() / "out");
        for (const char* name : {"background.conf", "form-blocks.ini", "form.conf", "seal.png"})
            std::filesystem::copy_file(sourcePath(std::string("examples/") + name),
                                       dir.path() / "examples" / name);
        if (!testsupport::fileExists("/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf"))
            GTEST_SKIP() << "fonts-ipaexfont is not installed";
        testsupport::RunResult background = quillon("examples/background.conf");
        ASSERT_EQ(background.err, "");
        testsupport::RunResult blocks =
            testsupport::run({std::string(QUILLON_BINARY_DIR) + "/quillon-blocks", "out/background.pdf",
                              "examples/form-blocks.ini", "out/form.pdf"},
                             dir.path().string());
        ASSERT_EQ(blocks.status, 0) << blocks.err;
    }
};

TEST_F(FormExampleTest, TheTemplateModeListsTheBlocksWithTheirJapaneseNames)
{
    testsupport::RunResult listed = quillon("out/form.pdf");
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.err, "");
    size_t sections = 0;
    for (size_t at = listed.out.find("[PUT_1_"); at != std::string::npos;
         at = listed.out.find("[PUT_1_", at + 1))
        ++sections;
    EXPECT_EQ(sections, 10u) << listed.out;
    for (const char* name :
         {"宛名", "date", "number", "品名1", "数量1", "単価1", "金額1", "合計", "備考", "印影"})
        EXPECT_NE(listed.out.find("\nname=" + sjis(name) + "\n"), std::string::npos) << name;
}

TEST_F(FormExampleTest, TheConfigurationFillsEveryBlock)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdfimages");
    testsupport::RunResult filled = quillon("examples/form.conf");
    EXPECT_EQ(filled.status, 0);
    EXPECT_EQ(filled.err, "");
    std::string out = file("out/form-filled.pdf");
    // Wrapped notes may break anywhere between Japanese characters.
    std::string text = pdfcheck::text(out);
    std::erase(text, '\n');
    for (const char* expected :
         {"株式会社サンプル商事", "2024年5月1日", "INV-2024-0043", "ウェブサイト制作一式", "120,000",
          "お支払期限", "ご不明な点はお問い合わせください。"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // The seal keeps its transparency.
    std::vector<ListedImage> images = listImages(out);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].type, "image");
    EXPECT_EQ(images[1].type, "smask");
    EXPECT_EQ(images[0].width, 96);
    EXPECT_EQ(logTexts(file("out/form.log")), std::vector<std::string>{bannerText()});
}

}  // namespace
