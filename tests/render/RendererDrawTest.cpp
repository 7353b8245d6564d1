// Lines, rectangles, fonts and texts as the renderer hands them to the engine (read
// through the engine's trace), and texts fitted into boxes, read back with pdftotext.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/cli/PdfChecks.h"
#include "tests/render/RenderFixture.h"

using namespace rendertest;

namespace {

const char gothicFile[] = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";

// A renderer with an open document and page of 400 x 300 points.
class DrawTest : public RenderTest {
protected:
    void SetUp() override
    {
        renderer = tracedRenderer();
        ASSERT_TRUE(renderer->beginDocument(file("out.pdf").c_str()));
        ASSERT_TRUE(renderer->beginPage(400, 300));
    }

    // The trace lines written after the mark set by markTrace.
    void markTrace() { mark = trace().size(); }
    std::vector<std::string> traced() const
    {
        std::string content = trace().substr(mark);
        std::vector<std::string> lines;
        for (size_t at = 0; at < content.size();) {
            size_t end = content.find('\n', at);
            lines.push_back(content.substr(at, end - at));
            at = end == std::string::npos ? content.size() : end + 1;
        }
        return lines;
    }

    std::unique_ptr<OpenRenderer> renderer;
    size_t mark = 0;
};

TEST_F(DrawTest, LineTypesSetOnlyWhatIsMeaningful)
{
    TORPDFLineType plain(0, 1, 5, 0, 2, 0.99, 0xFF8000);
    markTrace();
    ASSERT_TRUE(renderer->applyLineType(&plain));
    EXPECT_EQ(traced(), (std::vector<std::string>{"PDF_set_graphics_option(\"linecap=1\")",
                                                  "PDF_set_graphics_option(\"linejoin=2\")",
                                                  "PDF_set_graphics_option(\"dasharray={}\")",
                                                  "PDF_setcolor(\"stroke\", \"rgb\", 1, 0.501961, 0, 0)"}));
    TORPDFLineType full(1.5, 0, 3, 1.25, 0, 1.0, 0x0000FF);
    markTrace();
    ASSERT_TRUE(renderer->applyLineType(&full));
    EXPECT_EQ(traced(),
              (std::vector<std::string>{"PDF_setlinewidth(1.5)", "PDF_set_graphics_option(\"linecap=0\")",
                                        "PDF_set_graphics_option(\"linejoin=0\")",
                                        "PDF_set_graphics_option(\"dasharray={3.00 1.25}\")",
                                        "PDF_set_graphics_option(\"miterlimit=1.00\")",
                                        "PDF_setcolor(\"stroke\", \"rgb\", 0, 0, 1, 0)"}));
    markTrace();
    EXPECT_FALSE(renderer->applyLineType(nullptr));
    EXPECT_FALSE(renderer->drawLine(nullptr, nullptr));
    EXPECT_FALSE(renderer->drawRect(nullptr, nullptr));
    EXPECT_FALSE(renderer->moveTextTo(nullptr));
    EXPECT_FALSE(renderer->applyFont(nullptr));
    EXPECT_FALSE(renderer->showText(nullptr, 0x11));
    EXPECT_EQ(traced(), std::vector<std::string>{});
}

TEST_F(DrawTest, OptionNumbersAreRoundedAsPrintfRoundsThem)
{
    // 0.125 lies exactly halfway and goes to the even digit; 2.675 and 1234.565
    // are stored a little below and a little above their decimal forms.
    TORPDFLineType halves(0, 0, 0.125, 2.675, 0, 1234.565, 0);
    markTrace();
    ASSERT_TRUE(renderer->applyLineType(&halves));
    std::vector<std::string> lines = traced();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[2], "PDF_set_graphics_option(\"dasharray={0.12 2.67}\")");
    EXPECT_EQ(lines[3], "PDF_set_graphics_option(\"miterlimit=1234.57\")");
}

TEST_F(DrawTest, AreasByKindAndFill)
{
    TORPDFPoint a(10, 20), b(110, 70);
    TORPDFArea line(&a, &b, nullptr, 0);
    markTrace();
    ASSERT_TRUE(renderer->renderArea(&line));
    EXPECT_EQ(traced(),
              (std::vector<std::string>{"PDF_moveto(10, 20)", "PDF_lineto(110, 70)", "PDF_stroke()"}));

    // Both bits: a line.
    TORPDFArea both(&a, &b, nullptr, 0x000001);
    both.setKind(3);
    markTrace();
    ASSERT_TRUE(renderer->renderArea(&both));
    EXPECT_EQ(traced().at(0), "PDF_moveto(10, 20)");

    TORPDFArea rect(&b, &a, nullptr, 0);
    rect.setKind(2);
    markTrace();
    ASSERT_TRUE(renderer->renderArea(&rect));
    EXPECT_EQ(traced(), (std::vector<std::string>{"PDF_rect(110, 70, -100, -50)", "PDF_stroke()"}));
    EXPECT_EQ(renderer->area, &rect);

    // 000001 is a fill, practically black; the fill comes from the area being drawn.
    TORPDFArea filled(&a, &b, nullptr, 0x000001);
    filled.setKind(2);
    markTrace();
    ASSERT_TRUE(renderer->renderArea(&filled));
    EXPECT_EQ(traced(), (std::vector<std::string>{"PDF_setcolor(\"fill\", \"rgb\", 0, 0, 0.00392157, 0)",
                                                  "PDF_rect(10, 20, 100, 50)", "PDF_fill_stroke()"}));
    markTrace();
    ASSERT_TRUE(renderer->drawRect(&a, &b));
    EXPECT_EQ(traced().back(), "PDF_fill_stroke()");

    // Neither bit, or a missing point: nothing drawn, and no error.
    TORPDFArea none(&a, &b, nullptr, 0);
    none.setKind(4);
    TORPDFArea half(&a, nullptr, nullptr, 0);
    markTrace();
    EXPECT_TRUE(renderer->renderArea(&none));
    EXPECT_TRUE(renderer->renderArea(&half));
    EXPECT_EQ(traced(), std::vector<std::string>{});

    // Without an area being drawn a rectangle is only stroked.
    OpenRenderer fresh;
    ASSERT_TRUE(fresh.initialize(("filename=" + file("fresh.txt")).c_str()));
    ASSERT_TRUE(fresh.beginDocument(file("fresh.pdf").c_str()));
    ASSERT_TRUE(fresh.beginPage(100, 100));
    ASSERT_TRUE(fresh.drawRect(&a, &b));
    std::string freshTrace = testsupport::readFile(file("fresh.txt"));
    EXPECT_NE(freshTrace.find("PDF_rect(10, 20, 100, 50)\nPDF_stroke()"), std::string::npos) << freshTrace;
}

TEST_F(DrawTest, FontsRegisterTheirFileAndColourTheText)
{
    TORPDFFont font("Gothic", gothicFile, "unicode", 12, "embedding", 0x0000FF);
    markTrace();
    ASSERT_TRUE(renderer->applyFont(&font));
    std::vector<std::string> lines = traced();
    ASSERT_EQ(lines.size(), 4u) << trace();
    EXPECT_EQ(lines[0],
              "PDF_set_option(\"\\xEF\\xBB\\xBFFontOutline={Gothic=" + std::string(gothicFile) + "}\")");
    EXPECT_EQ(lines[1].rfind("PDF_load_font(\"Gothic\", 0, \"unicode\", \"embedding\") = ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("PDF_setfont(", 0), 0u);
    EXPECT_NE(lines[2].find(", 12)"), std::string::npos);
    EXPECT_EQ(lines[3], "PDF_setcolor(\"fillstroke\", \"rgb\", 0, 0, 1, 0)");
    EXPECT_GE(renderer->getFontHandle(), 0);

    // A registration longer than its buffer is not cut: the font is then unknown.
    std::string longFile = "/" + std::string(600, 'f') + ".ttf";
    TORPDFFont overlong("Other", longFile.c_str(), "unicode", 12, nullptr, 0);
    markTrace();
    Raised raised = raisedBy([&] { renderer->applyFont(&overlong); });
    EXPECT_TRUE(raised.raised);
    EXPECT_NE(raised.code, -1);
    EXPECT_EQ(traced().at(0).rfind("PDF_load_font(\"Other\", 0, \"unicode\", \"\") = -1", 0), 0u) << trace();
}

TEST_F(DrawTest, TheNarrowPathAlignsTheWidePathDoesNot)
{
    TORPDFPoint at(200, 100);
    TORPDFFont helvetica("Helvetica", nullptr, "winansi", 10, nullptr, 0);
    TORPDFText centred("Hello", 0x12, &at, &helvetica);
    markTrace();
    ASSERT_TRUE(renderer->renderText(&centred));
    std::vector<std::string> lines = traced();
    // Helvetica "Hello" is 22.78 points wide at 10 points.
    auto stringwidth = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& l) { return l.rfind("PDF_stringwidth(", 0) == 0; });
    ASSERT_NE(stringwidth, lines.end()) << trace();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "PDF_set_text_pos(188.61, 100)"), lines.end()) << trace();
    EXPECT_EQ(lines.back(), "PDF_restore()");
    EXPECT_EQ(lines[lines.size() - 2], "PDF_show(\"Hello\")");

    // Without a font of its own there is nothing to measure: shown at the point, in
    // the font still in force.
    TORPDFText fontless("Hi", 0x14, &at, nullptr);
    markTrace();
    ASSERT_TRUE(renderer->renderText(&fontless));
    lines = traced();
    EXPECT_EQ(lines, (std::vector<std::string>{"PDF_set_text_pos(200, 100)", "PDF_save()", "PDF_show(\"Hi\")",
                                               "PDF_restore()"}));

    TORPDFFont gothic("HeiseiKakuGo-W5", nullptr, "UniJIS-UCS2-H", 10, nullptr, 0);
    TORPDFText wide("AB", 0x12, &at, &gothic);
    markTrace();
    ASSERT_TRUE(renderer->renderText(&wide));
    lines = traced();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("PDF_stringwidth(", 0) == 0; }),
              0);
    EXPECT_EQ(lines.at(0), "PDF_set_text_pos(200, 100)");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "PDF_show2(\"\\xFF\\xFEA\\x00B\\x00\", 6)"), lines.end())
        << trace();
}

TEST_F(DrawTest, SpacingsAndFittingOptionLists)
{
    TORPDFPoint at(50, 60), box(120.5, 30);
    TORPDFFont helvetica("Helvetica", nullptr, "winansi", 10, nullptr, 0);
    struct Case {
        uint16_t align;
        const char* encoding;
        std::string list;
    };
    const Case cases[] = {
        // Top is the upper edge of the box: 100 percent from its lower-left corner.
        {0x111, "winansi", "position {0 100} boxsize {120.50 30.00} fitmethod=auto margin={3.00}"},
        {0x122, "winansi", "position {50 50} boxsize {120.50 30.00} fitmethod=auto"},
        {0x144, "winansi", "position {100 0} boxsize {120.50 30.00} fitmethod=auto margin={3.00}"},
        {0x124, "winansi", "position {100 50} boxsize {120.50 30.00} fitmethod=auto margin={3.00}"},
        {0x111, "unicode", "position={0 100} boxsize={120.50 30.00} fitmethod=auto margin={3.00}"},
        {0x122, "UniJIS-UCS2-HW-H", "position={50 50} boxsize={120.50 30.00} fitmethod=auto"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        TORPDFFont font = helvetica;
        if (std::string(c.encoding) != "winansi") {
            font.setFace("HeiseiKakuGo-W5");
            font.setEncoding(c.encoding);
        }
        TORPDFText text("Fit", c.align, &at, &font);
        text.setPoint(&box, false);
        markTrace();
        ASSERT_TRUE(renderer->renderText(&text));
        std::string lines = trace().substr(mark);
        EXPECT_NE(lines.find(", 50, 60, \"" + c.list + "\")\n"), std::string::npos) << lines;
    }

    TORPDFText spaced("Sp", 0x11, &at, &helvetica);
    spaced.setCharSpacing(0).setWordSpacing(-1);
    markTrace();
    ASSERT_TRUE(renderer->renderText(&spaced));
    std::string lines = trace().substr(mark);
    EXPECT_NE(lines.find("PDF_save()\nPDF_set_text_option(\"charspacing=0.00\")\nPDF_show(\"Sp\")\n"),
              std::string::npos)
        << lines;
    spaced.setCharSpacing(-1).setWordSpacing(7);
    markTrace();
    ASSERT_TRUE(renderer->renderText(&spaced));
    lines = trace().substr(mark);
    EXPECT_NE(lines.find("PDF_save()\nPDF_set_text_option(\"wordspacing=7.00\")\nPDF_show(\"Sp\")\n"),
              std::string::npos)
        << lines;

    // Fitting without a box is a plain text.
    TORPDFText boxless("Plain", 0x111, &at, &helvetica);
    markTrace();
    ASSERT_TRUE(renderer->renderText(&boxless));
    lines = trace().substr(mark);
    EXPECT_EQ(lines.find("PDF_fit_textline"), std::string::npos);
    EXPECT_NE(lines.find("PDF_show(\"Plain\")"), std::string::npos);
}

TEST_F(DrawTest, FittedTextsStayInTheirBoxes)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    TORPDFFont helvetica("Helvetica", nullptr, "winansi", 40, nullptr, 0);
    TORPDFPoint corner(50, 100), box(100, 40);
    // A long text, shrunk into a 100 x 40 box at (50, 100) with its margin of 3.
    TORPDFText longText("Extraordinarily", 0x111, &corner, &helvetica);
    longText.setPoint(&box, false);
    ASSERT_TRUE(renderer->renderText(&longText));
    // A short one, centred in a box of 300 x 40 at (50, 200).
    TORPDFPoint high(50, 200), wideBox(300, 40);
    TORPDFText shortText("Mid", 0x122, &high, &helvetica);
    shortText.setPoint(&wideBox, false);
    ASSERT_TRUE(renderer->renderText(&shortText));
    // A short text at the top of a tall box of 300 x 100 at (50, 150).
    TORPDFPoint lower(50, 150), tallBox(300, 100);
    TORPDFFont small("Helvetica", nullptr, "winansi", 20, nullptr, 0);
    TORPDFText topText("Top", 0x111, &lower, &small);
    topText.setPoint(&tallBox, false);
    ASSERT_TRUE(renderer->renderText(&topText));
    renderer->closeDocument();

    auto top = pdfcheck::findWord(file("out.pdf"), "Top");
    ASSERT_TRUE(top);
    // The box spans 50 to 150 from the top of the page.
    EXPECT_GE(top->yMin, 50 + 3 - 1);
    EXPECT_LT(top->yMax, 50 + 3 + 30);
    EXPECT_NEAR(top->xMin, 50 + 3, 1);

    auto fitted = pdfcheck::findWord(file("out.pdf"), "Extraordinarily");
    auto centred = pdfcheck::findWord(file("out.pdf"), "Mid");
    ASSERT_TRUE(fitted && centred);
    // Page height 300: the box spans y 160 to 200 from the top.
    EXPECT_GE(fitted->xMin, 50 + 3 - 0.5);
    EXPECT_LE(fitted->xMax, 150 - 3 + 0.5);
    EXPECT_GE(fitted->yMin, 160 - 0.5);
    EXPECT_LE(fitted->yMax, 200 + 0.5);
    EXPECT_NEAR(centred->centerX(), 200, 0.5);
    EXPECT_NEAR((centred->yMin + centred->yMax) / 2, 300 - 200 - 20, 2);
}

}  // namespace
