// Blocks and form fields as the renderer hands them to the engine, read through the
// engine's trace: the bytes and option list of a text block, images that do or do not
// load, fields at their corners, radio groups made once, and lists too long to pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/cli/BlockFixtures.h"
#include "tests/render/RenderFixture.h"

using namespace rendertest;

namespace {

const char gothicFile[] = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";

// ブロック '%s' のオプションまたは内容が長すぎます, filled with a name.
std::string tooLong(const std::string& name)
{
    return "\x83u\x83\x8D\x83"
           "b\x83N '" +
           name +
           "' \x82\xCC\x83I\x83v\x83V\x83\x87\x83\x93\x82\xDC\x82\xBD\x82\xCD\x93\xE0\x97"
           "e\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xDC\x82\xB7";
}

// A renderer with an output page over page 1 of an imported PDF.
class BlockTest : public RenderTest {
protected:
    void SetUp() override
    {
        renderer = tracedRenderer();
        testsupport::writeFile(file("in.pdf"), onePagePdf("0 0 400 300"));
        ASSERT_TRUE(renderer->beginDocument(file("out.pdf").c_str()));
        ASSERT_TRUE(renderer->openPdiDocument(file("in.pdf").c_str()));
        ASSERT_TRUE(renderer->openPdiPage(1));
        ASSERT_TRUE(renderer->beginPage(400, 300));
        page = std::to_string(renderer->getPdiPageHandle());
    }

    void markTrace() { mark = trace().size(); }

    // The calls traced since markTrace, without their results and errors.
    std::vector<std::string> calls() const
    {
        std::string content = trace().substr(mark);
        std::vector<std::string> lines;
        for (size_t at = 0; at < content.size();) {
            size_t end = content.find('\n', at);
            std::string line = content.substr(at, end - at);
            for (const char* tail : {") = ", ") -> "}) {
                size_t cut = line.find(tail);
                if (cut != std::string::npos)
                    line.resize(cut + 1);
            }
            lines.push_back(line);
            at = end == std::string::npos ? content.size() : end + 1;
        }
        return lines;
    }

    // The calls since markTrace of one engine function.
    std::vector<std::string> callsOf(const std::string& function) const
    {
        std::vector<std::string> all = calls(), found;
        std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                     [&](const std::string& line) { return line.rfind(function + "(", 0) == 0; });
        return found;
    }

    // A block of a field kind with both corners.
    static TORPDFBlock field(const char* name, uint16_t kind, const char* description, const char* state,
                             const char* options)
    {
        TORPDFBlock block(name, kind, description, state, options);
        TORPDFPoint lowerLeft(10, 20), upperRight(110.5, 40);
        block.setCorner(&lowerLeft, true);
        block.setCorner(&upperRight, false);
        return block;
    }

    std::unique_ptr<OpenRenderer> renderer;
    std::string page;
    size_t mark = 0;
};

TEST_F(BlockTest, TextBlocksGoAsUtf16WithTheirLength)
{
    TORPDFBlock plain("total", TORPDFBlock::kindText, "ABC", nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&plain));
    EXPECT_EQ(calls(), std::vector<std::string>{"PDF_fill_textblock(" + page +
                                                ", \"total\", \"\\xFF\\xFEA\\x00B\\x00C\\x00\", 8, "
                                                "\"encoding UniJIS-UCS2-H textlen=8\")"});

    // 日本 in Shift-JIS: U+65E5 U+672C after the mark; the options follow the font.
    TORPDFBlock japanese("\x8E\x81\x96\xBC", TORPDFBlock::kindText, "\x93\xFA\x96\x7B", nullptr,
                         "fontsize=9 fillcolor={rgb 1 0 0}");
    TORPDFFont font("Gothic", gothicFile, "unicode", 12, nullptr, 0);
    japanese.setFont(&font);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&japanese));
    std::string handle = std::to_string(renderer->getFontHandle());
    ASSERT_NE(handle, "-1");
    EXPECT_EQ(callsOf("PDF_load_font").size(), 1u);
    EXPECT_EQ(callsOf("PDF_fill_textblock"),
              std::vector<std::string>{"PDF_fill_textblock(" + page +
                                       ", \"\\x8E\\x81\\x96\\xBC\", \"\\xFF\\xFE\\xE5e,g\", 6, "
                                       "\"encoding UniJIS-UCS2-H font=" +
                                       handle + " fontsize=9 fillcolor={rgb 1 0 0} textlen=6\")"});
    // The font is set before the block is filled.
    std::vector<std::string> all = calls();
    EXPECT_LT(
        std::find_if(all.begin(), all.end(), [](auto& l) { return l.rfind("PDF_setfont(", 0) == 0; }),
        std::find_if(all.begin(), all.end(), [](auto& l) { return l.rfind("PDF_fill_textblock(", 0) == 0; }));

    // Empty options add nothing; no text means nothing is done, not even the font.
    TORPDFBlock emptyOptions("e", TORPDFBlock::kindText, "", nullptr, "");
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&emptyOptions));
    EXPECT_EQ(calls(), std::vector<std::string>{"PDF_fill_textblock(" + page +
                                                ", \"e\", \"\\xFF\\xFE\", 2, \"encoding UniJIS-UCS2-H "
                                                "textlen=2\")"});
    TORPDFBlock empty("none", TORPDFBlock::kindText, nullptr, nullptr, "x");
    empty.setFont(&font);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&empty));
    EXPECT_EQ(calls(), std::vector<std::string>{});
}

TEST_F(BlockTest, ALongTextIsCutToTheUnitsKeptNotOverflowed)
{
    TORPDFBlock longText("long", TORPDFBlock::kindText, std::string(6000, 'x').c_str(), nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&longText));
    std::vector<std::string> fill = callsOf("PDF_fill_textblock");
    ASSERT_EQ(fill.size(), 1u);
    // The mark and 2048 units: 4098 bytes.
    EXPECT_NE(fill[0].find(", 4098, \"encoding UniJIS-UCS2-H textlen=4098\")"), std::string::npos) << fill[0];
}

TEST_F(BlockTest, ATextBlockOnAPageWithoutImportGetsNoPage)
{
    renderer->endPage();
    ASSERT_TRUE(renderer->beginPage(400, 300));
    TORPDFBlock block("b", TORPDFBlock::kindText, "A", nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&block));
    EXPECT_EQ(
        callsOf("PDF_fill_textblock"),
        std::vector<std::string>{
            "PDF_fill_textblock(-1, \"b\", \"\\xFF\\xFEA\\x00\", 4, \"encoding UniJIS-UCS2-H textlen=4\")"});
}

TEST_F(BlockTest, ImagesAreLoadedFilledAndClosed)
{
    testsupport::writeFile(file("logo.png"), blockfixtures::tinyPng());
    TORPDFBlock logo("logo", TORPDFBlock::kindImage, file("logo.png").c_str(), nullptr, "fitmethod=meet");
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&logo));
    std::vector<std::string> all = calls();
    ASSERT_EQ(all.size(), 3u) << testsupport::readFile(file("trace.txt"));
    EXPECT_EQ(all[0], "PDF_load_image(\"auto\", \"" + file("logo.png") + "\", 0, \"\")");
    std::string traced = trace();
    size_t result = traced.rfind("PDF_load_image(");
    std::string image = traced.substr(traced.find(" = ", result) + 3);
    image = image.substr(0, image.find('\n'));
    ASSERT_NE(image, "-1");
    EXPECT_EQ(all[1], "PDF_fill_imageblock(" + page + ", \"logo\", " + image + ", \"fitmethod=meet\")");
    EXPECT_EQ(all[2], "PDF_close_image(" + image + ")");

    // A file that cannot be loaded still reaches the block, as -1; nothing is closed.
    TORPDFBlock missing("photo", TORPDFBlock::kindImage, file("missing.png").c_str(), nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&missing));
    EXPECT_EQ(calls(),
              (std::vector<std::string>{"PDF_load_image(\"auto\", \"" + file("missing.png") + "\", 0, \"\")",
                                        "PDF_fill_imageblock(" + page + ", \"photo\", -1, \"\")"}));
    TORPDFBlock noFile("photo", TORPDFBlock::kindImage, nullptr, nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&noFile));
    EXPECT_EQ(calls(), std::vector<std::string>{"PDF_fill_imageblock(" + page + ", \"photo\", -1, \"\")"});
}

TEST_F(BlockTest, PdfBlocksAndUnknownKindsDoNothing)
{
    TORPDFBlock pdfBlock("p", TORPDFBlock::kindPdf, "x.pdf", "default", "o");
    TORPDFBlock seven = field("s", 7, "x", "default", "o");
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&pdfBlock));
    EXPECT_TRUE(renderer->renderBlock(&seven));
    EXPECT_EQ(calls(), std::vector<std::string>{});
}

TEST_F(BlockTest, TextFieldsCarryTheirValueAndFontAsUtf8)
{
    // 山田 and a tooltip of 氏名: both reach the engine as UTF-8 after the mark.
    TORPDFBlock name =
        field("name", TORPDFBlock::kindTextField, "\x8ER\x93\x63", nullptr, "tooltip={\x8E\x81\x96\xBC}");
    TORPDFFont font("Gothic", gothicFile, "unicode", 12.9, nullptr, 0);
    name.setFont(&font);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&name));
    std::string handle = std::to_string(renderer->getFontHandle());
    EXPECT_EQ(callsOf("PDF_create_field"),
              std::vector<std::string>{"PDF_create_field(10, 20, 110.5, 40, \"name\", 0, \"textfield\", "
                                       "\"\\xEF\\xBB\\xBFtooltip={\\xE6\\xB0\\x8F\\xE5\\x90\\x8D} "
                                       "currentvalue={\\xE5\\xB1\\xB1\\xE7\\x94\\xB0} font=" +
                                       handle + " fontsize=12 \")"});

    TORPDFBlock bare = field("bare", TORPDFBlock::kindTextField, nullptr, nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&bare));
    EXPECT_EQ(calls(),
              std::vector<std::string>{"PDF_create_field(10, 20, 110.5, 40, \"bare\", 0, \"textfield\", "
                                       "\"\\xEF\\xBB\\xBF currentvalue={} \")"});
}

TEST_F(BlockTest, FieldsWithoutBothCornersAreNotCreated)
{
    TORPDFPoint corner(1, 2);
    for (uint16_t kind :
         {TORPDFBlock::kindTextField, TORPDFBlock::kindRadioButton, TORPDFBlock::kindCheckBox}) {
        TORPDFBlock lowerOnly("nocorner.a", kind, "v", "default", nullptr);
        lowerOnly.setCorner(&corner, true);
        TORPDFBlock upperOnly("nocorner.b", kind, "v", "default", nullptr);
        upperOnly.setCorner(&corner, false);
        markTrace();
        EXPECT_FALSE(renderer->renderBlock(&lowerOnly)) << kind;
        EXPECT_FALSE(renderer->renderBlock(&upperOnly)) << kind;
        EXPECT_EQ(calls(), std::vector<std::string>{}) << kind;
    }
}

TEST_F(BlockTest, RadioGroupsAreCreatedOnceBeforeTheirFirstButton)
{
    TORPDFBlock first = field("pay.cash", TORPDFBlock::kindRadioButton, nullptr, "default", nullptr);
    TORPDFBlock second =
        field("pay.card.visa", TORPDFBlock::kindRadioButton, nullptr, nullptr, "bordercolor={rgb 1 0 0}");
    TORPDFBlock otherCase = field("Pay.x", TORPDFBlock::kindRadioButton, nullptr, nullptr, nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&first));
    EXPECT_TRUE(renderer->renderBlock(&second));
    // Group names are compared with case.
    EXPECT_TRUE(renderer->renderBlock(&otherCase));
    EXPECT_EQ(
        calls(),
        (std::vector<std::string>{
            "PDF_create_fieldgroup(\"pay\", 0, \"fieldtype=radiobutton\")",
            "PDF_create_field(10, 20, 110.5, 40, \"pay.cash\", 0, \"radiobutton\", \" currentValue={On}\")",
            "PDF_create_field(10, 20, 110.5, 40, \"pay.card.visa\", 0, \"radiobutton\", \"bordercolor={rgb 1 "
            "0 0} "
            "\")",
            "PDF_create_fieldgroup(\"Pay\", 0, \"fieldtype=radiobutton\")",
            "PDF_create_field(10, 20, 110.5, 40, \"Pay.x\", 0, \"radiobutton\", \" \")"}));

    // "*" and "?" in a group's name are patterns, so this one counts as made. The
    // engine may refuse a button whose group it does not know: that ends the test.
    TORPDFBlock pattern = field("p?y.y", TORPDFBlock::kindRadioButton, nullptr, nullptr, nullptr);
    markTrace();
    raisedBy([&] { renderer->renderBlock(&pattern); });
    EXPECT_EQ(calls(), std::vector<std::string>{
                           "PDF_create_field(10, 20, 110.5, 40, \"p?y.y\", 0, \"radiobutton\", \" \")"});
}

TEST_F(BlockTest, AButtonNameWithoutFullStopMakesNoGroup)
{
    TORPDFBlock alone = field("alone", TORPDFBlock::kindRadioButton, nullptr, nullptr, nullptr);
    markTrace();
    // Whether the engine accepts a button without a group is its own affair.
    raisedBy([&] { renderer->renderBlock(&alone); });
    EXPECT_EQ(calls(), std::vector<std::string>{
                           "PDF_create_field(10, 20, 110.5, 40, \"alone\", 0, \"radiobutton\", \" \")"});
}

TEST_F(BlockTest, CheckBoxesAreOnOnlyForDefaultInLowerCase)
{
    TORPDFBlock on =
        field("agree", TORPDFBlock::kindCheckBox, nullptr, "checked,default", "buttonstyle=cross");
    TORPDFBlock capital = field("news", TORPDFBlock::kindCheckBox, nullptr, "Default", nullptr);
    TORPDFBlock dotted = field("a.b", TORPDFBlock::kindCheckBox, nullptr, "", nullptr);
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&on));
    EXPECT_TRUE(renderer->renderBlock(&capital));
    EXPECT_TRUE(renderer->renderBlock(&dotted));
    // Check boxes never make groups, even with a full stop in the name.
    EXPECT_EQ(calls(),
              (std::vector<std::string>{
                  "PDF_create_field(10, 20, 110.5, 40, \"agree\", 0, \"checkbox\", \"buttonstyle=cross "
                  "currentValue={On}\")",
                  "PDF_create_field(10, 20, 110.5, 40, \"news\", 0, \"checkbox\", \" \")",
                  "PDF_create_field(10, 20, 110.5, 40, \"a.b\", 0, \"checkbox\", \" \")"}));
}

TEST_F(BlockTest, ListsThatDoNotFitAreRefusedBeforeTheEngineIsCalled)
{
    // A check box's list is its options and a blank: 4095 bytes fit, 4096 do not.
    std::string fits = "tooltip={" + std::string(4084, 'o') + "}", over(4095, 'o');
    TORPDFBlock fitting = field("fits", TORPDFBlock::kindCheckBox, nullptr, nullptr, fits.c_str());
    markTrace();
    EXPECT_TRUE(renderer->renderBlock(&fitting));
    EXPECT_EQ(callsOf("PDF_create_field").size(), 1u);

    TORPDFBlock radio = field("big.one", TORPDFBlock::kindRadioButton, nullptr, nullptr, over.c_str());
    TORPDFBlock box = field("box", TORPDFBlock::kindCheckBox, nullptr, nullptr, over.c_str());
    TORPDFBlock textBlock("text", TORPDFBlock::kindText, "A", nullptr, over.c_str());
    TORPDFBlock textField = field("value", TORPDFBlock::kindTextField, nullptr, nullptr, over.c_str());
    // 3000 full-width characters: 6000 bytes of Shift-JIS, 9000 of UTF-8.
    std::string wide;
    for (int i = 0; i < 3000; ++i)
        wide += "\x82\xA0";
    TORPDFBlock longValue = field("memo", TORPDFBlock::kindTextField, wide.c_str(), nullptr, nullptr);
    markTrace();
    EXPECT_RAISES(renderer->renderBlock(&radio), tooLong("big.one"));
    EXPECT_RAISES(renderer->renderBlock(&box), tooLong("box"));
    EXPECT_RAISES(renderer->renderBlock(&textBlock), tooLong("text"));
    EXPECT_RAISES(renderer->renderBlock(&textField), tooLong("value"));
    EXPECT_RAISES(renderer->renderBlock(&longValue), tooLong("memo"));
    // Nothing was filled or created, and the refused radio button made no group.
    EXPECT_EQ(calls(), std::vector<std::string>{});
    TORPDFBlock later = field("big.two", TORPDFBlock::kindRadioButton, nullptr, nullptr, nullptr);
    EXPECT_TRUE(renderer->renderBlock(&later));
    EXPECT_EQ(callsOf("PDF_create_fieldgroup").size(), 1u);
}

}  // namespace
