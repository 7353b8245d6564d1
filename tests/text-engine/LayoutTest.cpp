// The arithmetic of lines: fitting one line into a box, and breaking a text into
// lines that fit one (textflow), on runs made up here so that every width is known.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdfengine/TextFit.h"
#include "pdfengine/TextFlow.h"

using namespace pdfengine;

namespace {

// Every character 500/1000 em wide, one-byte codes for ASCII, two-byte codes for the rest.
GlyphRun run(const std::u32string& text)
{
    GlyphRun r;
    for (char32_t c : text) {
        GlyphRun::Glyph g;
        g.code = c;
        g.codeLength = c < 0x80 ? 1 : 2;
        g.unicode = c;
        g.width = c < 0x80 ? 500 : 1000;
        r.add(g);
    }
    return r;
}

TextState state(double size)
{
    TextState s;
    s.fontSize = size;
    return s;
}

std::vector<std::u32string> lineTexts(const GlyphRun& r, const std::vector<TextFlow::Line>& lines)
{
    std::vector<std::u32string> out;
    for (const TextFlow::Line& line : lines) {
        std::u32string text;
        for (size_t i = line.glyphs.begin; i < line.glyphs.end; ++i)
            text.push_back(r.glyphs[i].unicode);
        out.push_back(text);
    }
    return out;
}

}  // namespace

TEST(LineMeasure, WidthsCountSpacingsBetweenGlyphsAndWordSpacingAtSpaces)
{
    GlyphRun r = run(U"ab c");
    LineMeasure m = LineMeasure::of(r);
    TextState s = state(10);
    EXPECT_DOUBLE_EQ(m.width(s), 20);
    s.charSpacing = 1;
    s.wordSpacing = 3;
    s.horizScaling = 50;
    // (20 + 3 gaps + 1 space) * 50 %
    EXPECT_DOUBLE_EQ(m.width(s), (20 + 3 + 3) * 0.5);
    EXPECT_DOUBLE_EQ(m.advance(s), (20 + 4 + 3) * 0.5);
    // The space character of a two-byte font takes word spacing too.
    EXPECT_EQ(LineMeasure::of(run(U"日 本")).spaces, 1);
    GlyphRun wide;
    wide.add({.code = 0x20, .codeLength = 2, .unicode = U' ', .width = 1000});
    wide.add(run(U"本").glyphs[0]);
    EXPECT_EQ(LineMeasure::of(wide).spaces, 1);
}

TEST(FitLine, PlacesTheLineBoxAtThePosition)
{
    LineMeasure m = LineMeasure::of(run(U"abcd"));  // 20 points at size 10
    LineFitOptions o;
    // No box: the point at `position` of the line's box goes to the reference point.
    LinePlacement p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.x, 0);
    EXPECT_DOUBLE_EQ(p.y, 2);  // the descender sits on the reference point
    o.position = {100, 100};
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.x, -20);
    EXPECT_DOUBLE_EQ(p.y, -8);
    // Centred in a box, margins taken off every side.
    o.boxSize = std::array<double, 2>{100, 40};
    o.position = {50, 50};
    o.margin = {10, 5};
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.x, 40);
    EXPECT_DOUBLE_EQ(p.y, 17);
    EXPECT_DOUBLE_EQ(p.boxX, 10);
    EXPECT_DOUBLE_EQ(p.boxWidth, 80);
    EXPECT_DOUBLE_EQ(p.boxHeight, 30);
    // A box drawn down and left from the reference point: position 0 0 is its
    // top right corner then, the line's top right at it.
    o.boxSize = std::array<double, 2>{-100, -40};
    o.position = {0, 0};
    o.margin = {0, 0};
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.x, -20);
    EXPECT_DOUBLE_EQ(p.y, -8);
}

TEST(FitLine, AutoShrinksHorizontallyThenTheFont)
{
    LineMeasure m = LineMeasure::of(run(U"abcdefghij"));  // 50 points at size 10
    LineFitOptions o;
    o.boxSize = std::array<double, 2>{45, 20};
    o.method = FitMethod::Auto;
    LinePlacement p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.fontSize, 10);
    EXPECT_DOUBLE_EQ(p.horizScaling, 90);
    EXPECT_DOUBLE_EQ(p.width, 45);
    // Down to the shrink limit, then a smaller font.
    o.boxSize = std::array<double, 2>{30, 20};
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.horizScaling, 75);
    EXPECT_DOUBLE_EQ(p.fontSize, 8);
    EXPECT_DOUBLE_EQ(p.width, 30);
    // Too high: the font shrinks to the box height first.
    o.boxSize = std::array<double, 2>{100, 5};
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.fontSize, 5);
    EXPECT_DOUBLE_EQ(p.horizScaling, 100);
    // Fits: left alone.
    o.boxSize = std::array<double, 2>{100, 20};
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.fontSize, 10);
    EXPECT_DOUBLE_EQ(p.horizScaling, 100);
    // Spacings alone wider than the box: the whole line is scaled down.
    TextState spaced = state(10);
    spaced.charSpacing = 10;
    o.boxSize = std::array<double, 2>{60, 20};
    p = fitLine(m, spaced, 800, -200, o);
    EXPECT_NEAR(p.width, 60, 1e-9);
    EXPECT_LT(p.scaleX, 1);
}

TEST(FitLine, MeetAndEntireScaleTheLine)
{
    LineMeasure m = LineMeasure::of(run(U"abcd"));  // 20 x 10 at size 10
    LineFitOptions o;
    o.boxSize = std::array<double, 2>{80, 20};
    o.method = FitMethod::Meet;
    LinePlacement p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.scaleX, 2);
    EXPECT_DOUBLE_EQ(p.scaleY, 2);
    o.method = FitMethod::Entire;
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.scaleX, 4);
    EXPECT_DOUBLE_EQ(p.scaleY, 2);
    EXPECT_DOUBLE_EQ(p.width, 80);
    EXPECT_DOUBLE_EQ(p.height, 20);
    // A box without height constrains the width only.
    o.boxSize = std::array<double, 2>{10, 0};
    o.method = FitMethod::Meet;
    p = fitLine(m, state(10), 800, -200, o);
    EXPECT_DOUBLE_EQ(p.scaleX, 0.5);
}

TEST(TextFlow, BreaksAtSpacesAroundCjkAndAtLineFeeds)
{
    // 10 points wide: four ASCII characters or two CJK ones at size 5.
    GlyphRun latin = run(U"ab cd efgh ijklmn");
    EXPECT_EQ(lineTexts(latin, TextFlow::breakLines(latin, state(5), 10)),
              (std::vector<std::u32string>{U"ab", U"cd", U"efgh", U"ijkl", U"mn"}));
    GlyphRun japanese = run(U"請求書の金額");
    EXPECT_EQ(lineTexts(japanese, TextFlow::breakLines(japanese, state(5), 10)),
              (std::vector<std::u32string>{U"請求", U"書の", U"金額"}));
    GlyphRun feeds = run(U"a\nb\r\nc\rd\n");
    EXPECT_EQ(lineTexts(feeds, TextFlow::breakLines(feeds, state(5), 100)),
              (std::vector<std::u32string>{U"a", U"b", U"c", U"d"}));
    GlyphRun empty = run(U"a\n\nb");
    EXPECT_EQ(lineTexts(empty, TextFlow::breakLines(empty, state(5), 100)),
              (std::vector<std::u32string>{U"a", U"", U"b"}));
    // Latin words next to CJK text break at the change.
    GlyphRun mixed = run(U"東京ab");
    EXPECT_EQ(lineTexts(mixed, TextFlow::breakLines(mixed, state(5), 12)),
              (std::vector<std::u32string>{U"東京", U"ab"}));
}

TEST(TextFlow, KeepsJapanesePunctuationInPlace)
{
    // No line begins with a closing mark or a small kana, none ends with an
    // opening bracket; where the rules leave no break within the width, the line
    // breaks where it must.
    GlyphRun closing = run(U"金額。「請求」ょ");
    EXPECT_EQ(lineTexts(closing, TextFlow::breakLines(closing, state(5), 10)),
              (std::vector<std::u32string>{U"金", U"額。", U"「請", U"求」", U"ょ"}));
    GlyphRun katakana = run(U"データ、コード");
    EXPECT_EQ(lineTexts(katakana, TextFlow::breakLines(katakana, state(5), 15)),
              (std::vector<std::u32string>{U"デー", U"タ、", U"コード"}));
    EXPECT_FALSE(TextFlow::canBreakBetween(U'額', U'、'));
    EXPECT_FALSE(TextFlow::canBreakBetween(U'（', U'株'));
    EXPECT_FALSE(TextFlow::canBreakBetween(U'ア', U'ー'));
    EXPECT_TRUE(TextFlow::canBreakBetween(U'株', U'式'));
    EXPECT_TRUE(TextFlow::canBreakBetween(U'a', U'株'));
    EXPECT_FALSE(TextFlow::canBreakBetween(U'a', U'b'));
    EXPECT_TRUE(TextFlow::canBreakBetween(U' ', U'b'));
}

TEST(TextFlow, ShrinksTheFontUntilTheLinesFit)
{
    GlyphRun text = run(U"株式会社 東京都千代田区丸の内一丁目");
    TextFlow::Box box;
    box.width = 60;
    box.height = 30;
    box.ascender = 800;
    box.descender = -200;
    box.lineSpacing = 1.2;
    TextFlow::Result fitted = TextFlow::fit(text, state(20), box);
    ASSERT_TRUE(fitted.fits);
    EXPECT_LT(fitted.fontSize, 20);
    double height = (fitted.lines.size() - 1) * fitted.lineHeight + fitted.fontSize;
    EXPECT_LE(height, 30);
    for (const TextFlow::Line& line : fitted.lines)
        EXPECT_LE(line.measure.width(state(fitted.fontSize)), 60 + 1e-9);
    // A hundredth of a point larger would not fit.
    TextFlow::Result larger = TextFlow::fit(text, state(fitted.fontSize + 0.02), box);
    EXPECT_NEAR(larger.fontSize, fitted.fontSize, 0.02);
    // A box too small for the smallest size says so.
    box.height = 0.5;
    EXPECT_FALSE(TextFlow::fit(text, state(20), box).fits);
    // Text that fits keeps its size.
    box.height = 1000;
    box.width = 1000;
    EXPECT_DOUBLE_EQ(TextFlow::fit(text, state(20), box).fontSize, 20);
}
