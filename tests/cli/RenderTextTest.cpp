// Where texts land and how they look, read back with pdftotext -bbox and pdftoppm.
// Positions are configuration units (tenths of a millimetre) from the top-left corner.
#include <gtest/gtest.h>

#include <string>

#include "tests/cli/CliFixture.h"

using namespace clitest;
using namespace pdfcheck;

namespace {

const char gothicFile[] = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";
const char minchoFile[] = "/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf";

double pt(double tenths)
{
    return tenths / 3.528;
}

// One text section on page 1.
std::string textSection(int n, const std::string& text, int x, int y, const std::string& align,
                        const std::string& font)
{
    return "[PUT_1_" + std::to_string(n) + "]\nobject_type=text\ntext=" + text + "\nx=" + std::to_string(x) +
           "\ny=" + std::to_string(y) + "\nalign=" + align + "\n" + font;
}

const std::string helvetica = "face=Helvetica\nencoding=winansi\nsize=20\n";

class TextTest : public CliTest {
protected:
    void SetUp() override
    {
        QUILLON_REQUIRE_TOOL("pdftotext");
        if (!testsupport::fileExists(gothicFile) || !testsupport::fileExists(minchoFile))
            GTEST_SKIP() << "fonts-ipaexfont is not installed";
    }

    std::string pdf() const { return file("out.pdf"); }

    void renderTexts(int count, const std::string& sections)
    {
        render("[PDF]\npdfName=out.pdf\npages=1\n[PAGE_1]\nobjects=" + std::to_string(count) + "\n" +
               sections);
    }

    // The word's box holds the baseline at y, with most of the glyphs above it.
    static void expectBaseline(const Word& word, int y, double size)
    {
        double baseline = pt(y);
        EXPECT_LT(word.yMin, baseline - 0.5 * size) << word.text;
        EXPECT_GT(word.yMax, baseline) << word.text;
        EXPECT_LT(word.yMax, baseline + 0.4 * size) << word.text;
    }
};

TEST_F(TextTest, NarrowTextsAreAlignedOnTheirPoint)
{
    renderTexts(4, textSection(1, "LEFTWORD", 1000, 500, "left", helvetica) +
                       textSection(2, "CENTREWORD", 1000, 800, "center", helvetica) +
                       textSection(3, "RIGHTWORD", 1000, 1100, "right", helvetica) +
                       // Japanese in a Shift-JIS encoding takes the same path.
                       textSection(4, "中央揃え", 1000, 1400, "center middle",
                                   "face=IPAexGothic\nfile=" + std::string(gothicFile) +
                                       "\nencoding=cp932\nsize=20\n"));
    auto left = findWord(pdf(), "LEFTWORD");
    auto centre = findWord(pdf(), "CENTREWORD");
    auto right = findWord(pdf(), "RIGHTWORD");
    auto japanese = findPhrase(pdf(), "中央揃え");
    ASSERT_TRUE(left && centre && right && japanese) << text(pdf());
    EXPECT_NEAR(left->xMin, pt(1000), 0.5);
    EXPECT_NEAR(centre->centerX(), pt(1000), 0.5);
    EXPECT_NEAR(right->xMax, pt(1000), 0.5);
    EXPECT_NEAR(japanese->centerX(), pt(1000), 0.5);
    EXPECT_NEAR(japanese->xMax - japanese->xMin, 80, 1);  // four full-width characters
    expectBaseline(*left, 500, 20);
    expectBaseline(*centre, 800, 20);
    expectBaseline(*right, 1100, 20);
    expectBaseline(*japanese, 1400, 20);
}

TEST_F(TextTest, WideTextsAreNotAligned)
{
    renderTexts(3, textSection(1, "日本語の見出し", 1000, 500, "center",
                               "face=HeiseiKakuGo-W5\nencoding=UniJIS-UCS2-H\nsize=20\n") +
                       textSection(2, "右寄せ指定", 1000, 800, "right",
                                   "face=IPAexMincho\nfile=" + std::string(minchoFile) +
                                       "\nencoding=unicode\nsize=20\n") +
                       textSection(3, "Half", 1000, 1100, "center",
                                   "face=HeiseiKakuGo-W5\nencoding=UniJIS-UCS2-HW-H\nsize=20\n"));
    auto gothic = findPhrase(pdf(), "日本語の見出し");
    auto mincho = findPhrase(pdf(), "右寄せ指定");
    auto half = findWord(pdf(), "Half");
    ASSERT_TRUE(gothic && mincho && half) << text(pdf());
    EXPECT_NEAR(gothic->xMin, pt(1000), 0.5);
    EXPECT_NEAR(mincho->xMin, pt(1000), 0.5);
    EXPECT_NEAR(half->xMin, pt(1000), 0.5);
    // Half-width Latin letters: four of 10 points each.
    EXPECT_NEAR(half->xMax - half->xMin, 40, 1);
    expectBaseline(*gothic, 500, 20);
    expectBaseline(*mincho, 800, 20);
}

TEST_F(TextTest, SpacingsWidenOnlyTheirOwnText)
{
    renderTexts(3, textSection(1, "SPACED", 200, 500, "left", helvetica + "charspacing=10\n") +
                       textSection(2, "SPACED", 200, 800, "left", helvetica) +
                       textSection(3, "two words", 200, 1100, "left", helvetica + "wordspacing=30\n"));
    // pdftotext takes the spaced letters for words of their own.
    auto spaced = findPhrase(pdf(), "SPACED");
    auto plain = findWord(pdf(), "SPACED");
    auto two = findWord(pdf(), "two");
    auto wordsAfter = findWord(pdf(), "words");
    ASSERT_TRUE(spaced && plain && two && wordsAfter) << text(pdf());
    EXPECT_NEAR(spaced->yMax, pt(500) + 5, 5);
    EXPECT_NEAR(plain->yMax, pt(800) + 5, 5);
    EXPECT_GT((spaced->xMax - spaced->xMin) - (plain->xMax - plain->xMin), 5 * 10 - 1);
    // The word spacing opens the gap between the two words.
    EXPECT_GT(wordsAfter->xMin - two->xMax, 30);
}

TEST_F(TextTest, TheFontColourColoursTheText)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    render("[PDF]\npdfName=out.pdf\npages=1\n[PAGE_1]\nobjects=3\n" +
           textSection(1, "RED", 200, 500, "left",
                       "face=Helvetica-Bold\nencoding=winansi\nsize=40\ncolor=FF0000\n") +
           "[PUT_1_2]\nobject_type=rect\nleft=150\ntop=700\nright=1500\nbottom=1100\nbgcolor=00FF00\n" +
           // Default colour on a filled rectangle: black, not the rectangle's green.
           "[PUT_1_3]\nobject_type=text\ntext=ONGREEN\nx=200\ny=1000\nface=Helvetica-Bold\n"
           "encoding=winansi\nsize=40\n");
    auto red = findWord(pdf(), "RED");
    auto onGreen = findWord(pdf(), "ONGREEN");
    ASSERT_TRUE(red && onGreen);
    Raster page(pdf());
    EXPECT_TRUE(page.contains(*red, pdfcheck::red, 30));
    EXPECT_TRUE(page.contains(*onGreen, black, 30));
}

}  // namespace
