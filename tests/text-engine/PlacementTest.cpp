// Where text lands, read back with pdftotext -bbox: the widths PDF_stringwidth
// gives (spacings and scaling included), the text position after PDF_show, and
// lines fitted into boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/text-engine/TextTestSupport.h"

using enginetest::Handle;
using texttest::Word;

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

TEST(Placement, RightAlignedWithStringWidthEndsAtItsPoint)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    REQUIRE_FONT(texttest::kGothic);
    struct Case {
        const char* font;
        const char* encoding;
        std::string shown;     // as PDF_show2 gets it
        std::string measured;  // as PDF_stringwidth gets it: NUL-terminated, so 16-bit texts go as UTF-8
        const char* state;
        const char* lastWord;
    };
    const std::vector<Case> cases = {
        {"Helvetica", "winansi", "Total: 1,234 \xE9t\xE9", "Total: 1,234 \xE9t\xE9", "", "été"},
        {"Times-Bold", "winansi", "Spaced out", "Spaced out", "charspacing=1.5 wordspacing=7 horizscaling=80",
         "out"},
        {texttest::kGothic, "unicode", texttest::utf16le("合計 金額"), kUtf8Mark + "合計 金額",
         "wordspacing=12 charspacing=0.5", "金額"},
        {texttest::kGothic, "cp932", "\x8d\x87\x8c\x76 \x8b\xe0\x8a\x7a", "\x8d\x87\x8c\x76 \x8b\xe0\x8a\x7a",
         "horizscaling=90", "金額"},
        {"HeiseiKakuGo-W5", "UniJIS-UCS2-H", texttest::utf16be("ｱｲｳ ABC 日本"), kUtf8Mark + "ｱｲｳ ABC 日本",
         "horizscaling=120 wordspacing=3", "日本"},
        {"HeiseiMin-W3", "90ms-RKSJ-H", "ABC \x93\xfa\x96\x7b", "ABC \x93\xfa\x96\x7b", "wordspacing=5",
         "日本"},
    };
    testsupport::TempDir dir;
    Handle p;
    texttest::writePage(p, dir.file("right.pdf"), [&](PDF* p) {
        double y = 800;
        for (const Case& c : cases) {
            int font = PDF_load_font(p, c.font, 0, c.encoding, "");
            PDF_save(p);
            PDF_set_text_option(p, c.state);
            PDF_setfont(p, font, 14);
            double width = PDF_stringwidth(p, c.measured.c_str(), font, 14);
            PDF_set_text_pos(p, 500 - width, y -= 30);
            PDF_show2(p, c.shown.data(), static_cast<int>(c.shown.size()));
            PDF_restore(p);
        }
    });
    std::vector<Word> words = texttest::words(dir.file("right.pdf"));
    for (const Case& c : cases) {
        Word last = texttest::word(words, c.lastWord);
        EXPECT_NEAR(last.xMax, 500, 0.5) << c.font << " " << c.encoding << " " << c.state;
    }
}

TEST(Placement, ShowingMovesTheTextPositionAndSpacingsWiden)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    REQUIRE_FONT(texttest::kGothic);
    testsupport::TempDir dir;
    Handle p;
    double helveticaWidth = 0;
    texttest::writePage(p, dir.file("advance.pdf"), [&](PDF* p) {
        int helvetica = PDF_load_font(p, "Helvetica", 0, "winansi", "");
        PDF_setfont(p, helvetica, 20);
        PDF_set_text_pos(p, 100, 700);
        PDF_show(p, "Left");
        PDF_show(p, "Right");
        helveticaWidth = PDF_stringwidth(p, "Left", helvetica, 20);
        // Word spacing in a font with two-byte codes, where PDF ignores it.
        int gothic = PDF_load_font(p, texttest::kGothic, 0, "unicode", "");
        PDF_setfont(p, gothic, 20);
        std::string plain = texttest::utf16le("東京 大阪");
        PDF_set_text_pos(p, 100, 600);
        PDF_show2(p, plain.data(), static_cast<int>(plain.size()));
        PDF_set_text_option(p, "wordspacing=30");
        PDF_set_text_pos(p, 100, 500);
        PDF_show2(p, plain.data(), static_cast<int>(plain.size()));
    });
    std::vector<Word> words = texttest::words(dir.file("advance.pdf"));
    Word both = texttest::word(words, "LeftRight");
    EXPECT_NEAR(both.xMin, 100, 0.5);
    EXPECT_NEAR(helveticaWidth, 20 * 1.668, 0.01);  // L 556, e 556, f 278, t 278 (Helvetica's widths)
    std::vector<Word> osaka;
    for (const Word& w : words) {
        if (w.text == "大阪")
            osaka.push_back(w);
    }
    ASSERT_EQ(osaka.size(), 2u);
    EXPECT_NEAR(osaka[1].xMin - osaka[0].xMin, 30, 0.5);
}

TEST(Placement, LinesFittedIntoBoxes)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    testsupport::TempDir dir;
    Handle p;
    texttest::writePage(p, dir.file("fit.pdf"), [](PDF* p) {
        int font = PDF_load_font(p, "Helvetica", 0, "winansi", "");
        PDF_setfont(p, font, 12);
        PDF_fit_textline(p, "Centred", 0, 100, 700, "boxsize={300 40} position={50 50}");
        PDF_fit_textline(p, "A line much too long for its box", 0, 100, 600,
                         "boxsize={100 30} fitmethod=auto");
        PDF_fit_textline(p, "Short", 0, 100, 500, "boxsize={200 30} fitmethod=auto position={right bottom}");
        PDF_fit_textline(p, "Meet", 0, 100, 400, "boxsize={200 50} fitmethod=meet position=center");
        PDF_fit_textline(p, "Margin", 0, 300, 400, "boxsize={200 50} margin=10 position={100 0}");
        // A box that reaches down from its reference point: position 0 0 is its top left.
        PDF_fit_textline(p, "Hanging", 0, 100, 300, "boxsize={200 -40} margin=5");
        PDF_fit_textline(p, "Reference", 0, 400, 300, "position={100 0} fontsize=10");
    });
    std::vector<Word> words = texttest::words(dir.file("fit.pdf"));
    Word centred = texttest::word(words, "Centred");
    EXPECT_NEAR((centred.xMin + centred.xMax) / 2, 250, 0.5);
    EXPECT_NEAR((centred.yMin + centred.yMax) / 2, 720, 1.5);

    Word shrunk = texttest::word(words, "long");
    EXPECT_GT(shrunk.xMin, 100);
    Word lastWord = texttest::word(words, "box");
    EXPECT_NEAR(lastWord.xMax, 200, 0.5);

    // Short enough: not scaled, at the right bottom corner.
    Word kept = texttest::word(words, "Short");
    EXPECT_NEAR(kept.xMax, 300, 0.5);
    EXPECT_NEAR(kept.xMax - kept.xMin, 12 * 2.39, 0.5);  // S 667, h 556, o 556, r 333, t 278
    EXPECT_NEAR(kept.yMin, 500, 1.5);

    // Meet scales up to the box height (the line box is the font's ascender to descender).
    Word meet = texttest::word(words, "Meet");
    EXPECT_NEAR((meet.xMin + meet.xMax) / 2, 200, 0.5);
    EXPECT_GT(meet.yMax - meet.yMin, 40);

    Word margin = texttest::word(words, "Margin");
    EXPECT_NEAR(margin.xMax, 490, 0.5);
    EXPECT_NEAR(margin.yMin, 410, 1.5);

    Word hanging = texttest::word(words, "Hanging");
    EXPECT_NEAR(hanging.xMin, 105, 0.5);
    EXPECT_NEAR(hanging.yMax, 295, 1.5);

    Word reference = texttest::word(words, "Reference");
    EXPECT_NEAR(reference.xMax, 400, 0.5);
}

// The Japanese standard fonts are not embedded: their widths place every
// character, and must be those of what readers show for each code.
TEST(Placement, JapaneseStandardFontWidths)
{
    Handle p;
    int proportional = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "UniJIS-UCS2-H", "");
    int halfWidth = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "UniJIS-UCS2-HW-H", "");
    int rksj = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "90ms-RKSJ-H", "");
    int rksjProportional = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "90msp-RKSJ-H", "");
    auto width = [&](int font, const std::string& text) {
        return PDF_stringwidth(p, text.c_str(), font, 10);
    };
    // Kanji and kana are a full em, half-width katakana half of one.
    EXPECT_DOUBLE_EQ(width(proportional, kUtf8Mark + "日本かな"), 40);
    EXPECT_DOUBLE_EQ(width(proportional, kUtf8Mark + "ｱｲｳ"), 15);
    EXPECT_DOUBLE_EQ(width(rksj, "\x93\xfa\x96\x7b\xb1\xb2"), 30);
    // ASCII is half-width with the HW and 90ms CMaps, proportional with the others.
    EXPECT_DOUBLE_EQ(width(halfWidth, kUtf8Mark + "iiWW"), 20);
    EXPECT_DOUBLE_EQ(width(rksj, "iiWW"), 20);
    double proportionalWidth = width(proportional, kUtf8Mark + "iiWW");
    EXPECT_LT(width(proportional, kUtf8Mark + "ii"), 10);
    EXPECT_GT(width(proportional, kUtf8Mark + "WW"), 10);
    EXPECT_DOUBLE_EQ(width(rksjProportional, "iiWW"), proportionalWidth);
}
