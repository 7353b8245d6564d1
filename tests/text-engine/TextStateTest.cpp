// The text state and the calls that set it, as the content stream shows them:
// operators written when text is shown and only when a value changed, PDF_save
// and PDF_restore, options that last for one line only, errors, and the trace of
// characters a font lacks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "pdfengine/Handle.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/text-engine/TextTestSupport.h"

using enginetest::failure;
using enginetest::Handle;

namespace {

std::string content(PDF* p)
{
    return p->engine.page().content().data();
}

// The content written by `draw`.
template <typename F>
std::string written(PDF* p, F draw)
{
    size_t before = content(p).size();
    draw();
    return content(p).substr(before);
}

void beginPage(PDF* p)
{
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 200, 200, "");
}

}  // namespace

TEST(TextState, OperatorsAreWrittenWhenTextIsShownAndOnlyWhenTheyChange)
{
    Handle p;
    beginPage(p);
    int font = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    PDF_setfont(p, font, 12);
    PDF_set_text_pos(p, 10, 20);
    EXPECT_EQ(content(p), "");  // nothing until text is shown
    EXPECT_EQ(written(p, [&] { PDF_show(p, "Hi(x)"); }), "BT\n/F1 12 Tf\n10 20 Td\n(Hi\\(x\\)) Tj\nET\n");
    // The position moved by the text's advance: H 722, i 222, ( 333, x 500, ) 333.
    EXPECT_EQ(written(p, [&] { PDF_show(p, "!"); }), "BT\n35.32 20 Td\n(!) Tj\nET\n");
    PDF_set_text_option(p,
                        "charspacing=1 wordspacing=2 horizscaling=90 leading=14 textrise=3 textrendering=1");
    PDF_set_text_pos(p, 0, 0);
    EXPECT_EQ(written(p, [&] { PDF_show(p, "a b"); }),
              "BT\n1 Tc\n2 Tw\n90 Tz\n14 TL\n3 Ts\n1 Tr\n0 0 Td\n(a b) Tj\nET\n");
    PDF_set_text_option(p, "charspacing=1 wordspacing=2");
    PDF_setfont(p, font, 14);
    PDF_set_text_pos(p, 0, 0);
    EXPECT_EQ(written(p, [&] { PDF_show(p, ""); }), "");
    EXPECT_EQ(written(p, [&] { PDF_show(p, "a"); }), "BT\n/F1 14 Tf\n0 0 Td\n(a) Tj\nET\n");
    // set_text_option takes the font too, and colours like set_graphics_option.
    int times = PDF_load_font(p, "Times-Roman", 0, "winansi", "");
    EXPECT_EQ(
        written(p,
                [&] {
                    PDF_set_text_option(
                        p, ("font=" + std::to_string(times) + " fontsize=9 fillcolor={rgb 1 0 0}").c_str());
                }),
        "1 0 0 rg\n");
    PDF_set_text_pos(p, 0, 0);
    EXPECT_EQ(written(p, [&] { PDF_show(p, "t"); }), "BT\n/F2 9 Tf\n0 0 Td\n(t) Tj\nET\n");
}

TEST(TextState, SaveAndRestoreBringBackTheTextState)
{
    Handle p;
    beginPage(p);
    int helvetica = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    int courier = PDF_load_font(p, "Courier", 0, "winansi", "");
    PDF_setfont(p, helvetica, 10);
    PDF_show(p, "a");
    PDF_save(p);
    PDF_setfont(p, courier, 20);
    PDF_set_text_option(p, "charspacing=2");
    PDF_show(p, "b");
    PDF_restore(p);
    // Helvetica 10 and no character spacing again, in the content as in the state.
    PDF_set_text_pos(p, 50, 50);
    EXPECT_EQ(written(p, [&] { PDF_show(p, "c"); }), "BT\n50 50 Td\n(c) Tj\nET\n");
    EXPECT_NEAR(PDF_stringwidth(p, "cc", helvetica, 10), 10.0, 1e-9);
}

TEST(TextState, FitTextlineOptionsLastForTheLine)
{
    Handle p;
    beginPage(p);
    int helvetica = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    int courier = PDF_load_font(p, "Courier", 0, "unicode", "");
    PDF_setfont(p, helvetica, 10);
    std::string line = written(p, [&] {
        // A UTF-16 text given by textlen: its zero bytes are no terminator.
        PDF_fit_textline(
            p, "A\0B\0", 0, 20, 30,
            ("font=" + std::to_string(courier) + " fontsize=20 charspacing=1 fillcolor={gray 0.5} textlen=4")
                .c_str());
    });
    // Courier's descender (the bottom of p, -182/1000 at 20 points) lifts the
    // baseline off the reference point.
    EXPECT_EQ(line, "q\n0.5 g\nBT\n/F1 20 Tf\n1 Tc\n20 33.64 Td\n(AB) Tj\nET\nQ\n");
    EXPECT_EQ(written(p, [&] { PDF_show(p, "x"); }), "BT\n/F2 10 Tf\n0 0 Td\n(x) Tj\nET\n");
    // Rotation, clipping and the border frame the line in its own coordinates.
    line = written(p, [&] {
        PDF_fit_textline(p, "R", 0, 100, 100, "rotate=90 boxsize={40 20} fitmethod=clip showborder");
    });
    EXPECT_EQ(line.rfind("q\n0 1 -1 0 100 100 cm\n0 0 40 20 re\nS\n0 0 40 20 re\nW\nn\nBT\n", 0), 0u) << line;
}

TEST(TextState, MistakesAreReported)
{
    Handle p;
    int font = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    EXPECT_NEAR(PDF_stringwidth(p, "i", font, 10), 2.22, 1e-9);  // in object scope too
    EXPECT_EQ(failure(p, [&] { PDF_show(p, "x"); }),
              "3001 3 Function 'PDF_show' must not be called in 'object' scope");
    beginPage(p);
    EXPECT_EQ(failure(p, [&] { PDF_show(p, "x"); }),
              "3101 3 No font is set for text (call PDF_setfont first)");
    EXPECT_EQ(failure(p, [&] { PDF_fit_textline(p, "x", 0, 0, 0, ""); }),
              "3101 3 No font is set for text (call PDF_setfont first)");
    EXPECT_EQ(failure(p, [&] { PDF_setfont(p, font, 0); }), "5004 9 Font size must be greater than 0, not 0");
    EXPECT_EQ(failure(p, [&] { PDF_stringwidth(p, "x", font, -2); }),
              "5004 9 Font size must be greater than 0, not -2");
    EXPECT_EQ(failure(p, [&] { PDF_set_text_option(p, "fontsize=10"); }),
              "1201 9 Option 'fontsize' needs option 'font'");
    EXPECT_EQ(failure(p, [&] { PDF_set_text_option(p, "font=0"); }),
              "1201 9 Option 'font' needs option 'fontsize'");
    EXPECT_EQ(failure(p, [&] { PDF_set_text_option(p, "horizscaling=0"); }),
              "1108 9 Option 'horizscaling' must be greater than 0, not '0'");
    EXPECT_EQ(failure(p, [&] { PDF_set_text_option(p, "textrendering=8"); }),
              "1108 9 Option 'textrendering' must be between 0 and 7, not '8'");
    EXPECT_EQ(failure(p, [&] { PDF_set_text_pos(p, 1, std::nan("")); }),
              "5002 9 Argument 'y' is not a finite number (nan)");
    PDF_setfont(p, font, 10);
    EXPECT_EQ(failure(p, [&] { PDF_fit_textline(p, "x", 0, 0, 0, "position={middle 3}"); }),
              "1113 9 Option 'position' expects one or two numbers or keywords (left center right, bottom "
              "center top), "
              "not 'middle 3'");
    EXPECT_EQ(
        failure(p, [&] { PDF_fit_textline(p, "x", 0, 0, 0, "fitmethod=slice"); }),
        "1109 9 Option 'fitmethod' does not accept 'slice' (expected nofit, clip, auto, meet or entire)");
    EXPECT_EQ(failure(p, [&] { PDF_fit_textline(p, "x", 0, 0, 0, "boxsize={10}"); }).substr(0, 5), "1110 ");
    EXPECT_EQ(failure(p, [&] { PDF_fit_textline(p, "x", 0, 0, 0, "shrinklimit=0"); }).substr(0, 5), "1108 ");
    // A failed call changes nothing.
    EXPECT_EQ(
        failure(p, [&] { PDF_set_text_option(p, "charspacing=3 fillcolor={rgb 1 0 0} horizscaling=-1"); })
            .substr(0, 5),
        "1108 ");
    EXPECT_EQ(written(p, [&] { PDF_show(p, "x"); }), "BT\n/F1 10 Tf\n0 0 Td\n(x) Tj\nET\n");
}

TEST(TextState, CharactersAFontLacksAreShownAsNotdefAndTraced)
{
    REQUIRE_FONT(texttest::kGothic);
    testsupport::TempDir dir;
    std::string trace = dir.file("trace.txt");
    Handle p;
    PDF_set_option(p, ("logging={filename={" + trace + "}}").c_str());
    beginPage(p);
    int helvetica = PDF_load_font(p, "Helvetica", 0, "winansi", "");
    PDF_setfont(p, helvetica, 10);
    // A code without a glyph is written as code 0, which shows notdef.
    EXPECT_EQ(written(p, [&] { PDF_show(p, "a\x81"); }),
              std::string("BT\n/F1 10 Tf\n0 0 Td\n(a\0) Tj\nET\n", 31));
    int gothic = PDF_load_font(p, texttest::kGothic, 0, "unicode", "");
    PDF_setfont(p, gothic, 10);
    std::string smile = texttest::utf16le("A😀😀");
    std::string shown = written(p, [&] { PDF_show2(p, smile.data(), static_cast<int>(smile.size())); });
    EXPECT_NE(shown.find("00000000> Tj"), std::string::npos) << shown;
    // Missing characters keep their width: notdef's.
    double withMissing = PDF_stringwidth(p, "\xEF\xBB\xBF\xF0\x9F\x98\x80", gothic, 10);
    EXPECT_GT(withMissing, 0);
    std::string lines = testsupport::readFile(trace);
    EXPECT_NE(lines.find(
                  "PDF_show(\"a\\x81\") -- 1 character not in font 'Helvetica' (winansi), shown as notdef\n"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find(", 10) -- 2 characters not in font '" + std::string(texttest::kGothic) +
                         "' (unicode), shown as notdef\n"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("= " +
                         [&] {
                             std::string text;
                             char buffer[32];
                             std::snprintf(buffer, sizeof buffer, "%g", withMissing);
                             return std::string(buffer);
                         }() +
                         " -- 1 character not in font"),
              std::string::npos)
        << lines;
}

TEST(TextState, TextIsPaintedInTheFillColour)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    Handle p;
    texttest::writePage(p, dir.file("colour.pdf"), [](PDF* p) {
        PDF_setcolor(p, "fill", "rgb", 0, 0, 1, 0);
        PDF_setcolor(p, "stroke", "rgb", 1, 0, 0, 0);
        PDF_setfont(p, PDF_load_font(p, "Helvetica", 0, "winansi", ""), 200);
        PDF_set_text_pos(p, 100, 100);
        PDF_show(p, "I");
        // Stroked text takes the stroke colour.
        PDF_setlinewidth(p, 6);
        PDF_set_text_option(p, "textrendering=1");
        PDF_set_text_pos(p, 300, 100);
        PDF_show(p, "I");
    });
    enginetest::Raster raster = enginetest::render(dir.file("colour.pdf"));
    // Helvetica's I is a stem from 0.094 to 0.184 em.
    EXPECT_EQ(raster.pixel(128, 170), 0x0000FFu);
    EXPECT_EQ(raster.pixel(328, 170), 0xFFFFFFu);  // a stroked outline is hollow
    EXPECT_EQ(raster.pixel(300 + 19, 170), 0xFF0000u);
}
