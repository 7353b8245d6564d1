// Form fields as other programs see them: pypdf lists the fields and their
// values, poppler draws their appearances, qpdf finds the file sound.
#include <gtest/gtest.h>

#include <string>

#include "tests/fields/FieldsTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using enginetest::Handle;
using fieldstest::ink;
using fieldstest::report;
using testsupport::TempDir;

namespace {

constexpr const char* kGothicFile = "/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf";

// 山田太郎 and 鈴木, as UTF-8.
const std::string kYamada = "\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E";
const std::string kSuzuki = "\xE9\x88\xB4\xE6\x9C\xA8";
const std::string kBom = "\xEF\xBB\xBF";

// One page of 400 x 400 points with what `draw` puts on it.
std::string writeForm(const TempDir& dir, const std::function<void(PDF*)>& draw,
                      const char* name = "form.pdf")
{
    Handle p;
    const std::string path = dir.file(name);
    PDF_begin_document(p, path.c_str(), 0, "");
    PDF_begin_page_ext(p, 400, 400, "");
    draw(p);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    return path;
}

TEST(FormFields, ReadersListEveryFieldWithItsValueAndButtonsTheirState)
{
    REQUIRE_PYPDF();
    TempDir dir;
    const std::string pdf = writeForm(dir, [](PDF* p) {
        PDF_create_field(p, 20, 340, 220, 360, "name", 0, "textfield", "currentvalue={Alice Smith}");
        PDF_create_field(p, 20, 300, 220, 320, "empty", 0, "textfield", "");
        // The options as the tool writes them: the key's case differs.
        PDF_create_field(p, 20, 260, 40, 280, "agree", 0, "checkbox", " currentValue={On}");
        PDF_create_field(p, 60, 260, 80, 280, "news", 0, "checkbox", " ");
        PDF_create_fieldgroup(p, "size", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 20, 220, 40, 240, "size.s", 0, "radiobutton", " ");
        PDF_create_field(p, 60, 220, 80, 240, "size.m", 0, "radiobutton", " currentValue={On}");
        PDF_create_field(p, 100, 220, 120, 240, "size.l", 0, "radiobutton", "");
        PDF_create_fieldgroup(p, "color", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 20, 180, 40, 200, "color.red", 0, "radiobutton", "");
        PDF_create_field(p, 60, 180, 80, 200, "color.blue", 0, "radiobutton", "");
    });
    EXPECT_EQ(fieldstest::qpdfProblems(pdf), "");
    auto form = report(pdf);
    EXPECT_EQ(form.field("name"), "Alice Smith 0");
    EXPECT_EQ(form.field("empty"), "- 0");
    EXPECT_EQ(form.field("agree"), "/Yes 0");
    EXPECT_EQ(form.field("news"), "/Off 0");
    // A group is one field whose kids are the buttons, linked both ways.
    EXPECT_EQ(form.field("size"), "/m 3");
    EXPECT_EQ(form.field("color"), "/Off 2");
    EXPECT_EQ(form.field("size.s"), "missing");
    EXPECT_EQ(form.widget("agree"), "/Yes 1");
    EXPECT_EQ(form.widget("news"), "/Off 1");
    auto widgets = form.all("widget");
    ASSERT_EQ(widgets.size(), 9u);
    std::string sizes;
    for (const auto& w : widgets)
        if (w[2] == "size")
            sizes += w[3] + w[4] + " ";
    EXPECT_EQ(sizes, "/Off1 /m1 /Off1 ");
    // Viewers are not asked to make appearances: every widget has its own.
    EXPECT_EQ(form.find("acroform", "-").size(), 2u);
}

TEST(FormFields, LaterButtonSwitchedOnTurnsTheEarlierOneOff)
{
    REQUIRE_PYPDF();
    TempDir dir;
    const std::string pdf = writeForm(dir, [](PDF* p) {
        PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 20, 20, 40, 40, "g.first", 0, "radiobutton", "currentvalue=On");
        PDF_create_field(p, 60, 20, 80, 40, "g.second", 0, "radiobutton", "currentvalue=On");
        // Items are PDF names: delimiters and UTF-8 are escaped.
        PDF_create_fieldgroup(p, "h", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 20, 60, 40, 80, "\xEF\xBB\xBFh.\xE6\x97\xA5 #(x)", 0, "radiobutton",
                         "currentvalue=On");
    });
    EXPECT_EQ(fieldstest::qpdfProblems(pdf), "");
    auto form = report(pdf);
    EXPECT_EQ(form.field("g"), "/second 2");
    std::string states;
    for (const auto& w : form.all("widget"))
        states += w[3] + " ";
    EXPECT_EQ(states, "/Off /second /\xE6\x97\xA5 #(x) ");
    EXPECT_EQ(form.field("h"), "/\xE6\x97\xA5 #(x) 1");
}

TEST(FormFields, DottedNamesMakeFieldsThatHoldFields)
{
    REQUIRE_PYPDF();
    TempDir dir;
    const std::string pdf = writeForm(dir, [](PDF* p) {
        PDF_create_field(p, 20, 20, 120, 40, "address.city", 0, "textfield", "currentvalue=Osaka");
        PDF_create_field(p, 20, 60, 120, 80, "address.zip", 0, "textfield", "currentvalue=530");
        PDF_create_fieldgroup(p, "address.kind", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 20, 100, 40, 120, "address.kind.home", 0, "radiobutton", "currentvalue=On");
    });
    EXPECT_EQ(fieldstest::qpdfProblems(pdf), "");
    auto form = report(pdf);
    EXPECT_EQ(form.field("address"), "- 3");
    EXPECT_EQ(form.field("address.city"), "Osaka 0");
    EXPECT_EQ(form.field("address.zip"), "530 0");
    EXPECT_EQ(form.field("address.kind"), "/home 1");
}

TEST(FormFields, AppearancesShowTextAndSwitchedOnButtonsOnly)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    TempDir dir;
    const char* styles[] = {"check", "circle", "cross", "diamond", "square", "star"};
    const std::string pdf = writeForm(dir, [&](PDF* p) {
        PDF_create_field(p, 20, 340, 220, 370, "latin", 0, "textfield", "currentvalue={Hello} fontsize=14");
        PDF_create_field(p, 20, 300, 220, 330, "blank", 0, "textfield", "");
        for (int i = 0; i < 6; ++i) {
            const double x = 20 + 40 * i;
            const std::string name = std::string("on_") + styles[i];
            const std::string options = std::string("currentvalue=On buttonstyle=") + styles[i];
            PDF_create_field(p, x, 240, x + 24, 264, name.c_str(), 0, "checkbox", options.c_str());
            PDF_create_field(p, x, 200, x + 24, 224, (std::string("off_") + styles[i]).c_str(), 0, "checkbox",
                             options.substr(options.find(' ')).c_str());
        }
        PDF_create_fieldgroup(p, "g", 0, "fieldtype=radiobutton");
        PDF_create_field(p, 20, 140, 44, 164, "g.a", 0, "radiobutton", "");
        PDF_create_field(p, 60, 140, 84, 164, "g.b", 0, "radiobutton", "currentvalue=On");
        PDF_create_field(p, 20, 80, 120, 120, "framed", 0, "checkbox",
                         "bordercolor={rgb 0 0 1} backgroundcolor={rgb 1 0 0}");
    });
    auto raster = enginetest::render(pdf);
    ASSERT_EQ(raster.width, 400);
    EXPECT_GT(ink(raster, 20, 340, 220, 370), 40);
    EXPECT_EQ(ink(raster, 20, 300, 220, 330), 0);
    for (int i = 0; i < 6; ++i) {
        const double x = 20 + 40 * i;
        EXPECT_GT(ink(raster, x, 240, x + 24, 264), 20) << styles[i];
        EXPECT_EQ(ink(raster, x, 200, x + 24, 224), 0) << styles[i];
    }
    EXPECT_EQ(ink(raster, 20, 140, 44, 164), 0);
    EXPECT_GT(ink(raster, 60, 140, 84, 164), 20);
    // Background and border are drawn though the box is off.
    EXPECT_EQ(raster.colour(70, 100), 'r');
    EXPECT_EQ(raster.colour(20, 100), 'b');
    // Nothing is drawn outside the widgets.
    EXPECT_EQ(ink(raster, 250, 20, 390, 390), 0);
}

TEST(FormFields, AlignmentAndMultilinePlaceTheText)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    TempDir dir;
    const std::string pdf = writeForm(dir, [](PDF* p) {
        PDF_create_field(p, 20, 340, 380, 370, "right", 0, "textfield", "currentvalue=Right alignment=right");
        PDF_create_field(p, 20, 300, 380, 330, "center", 0, "textfield", "currentvalue=Mid alignment=center");
        PDF_create_field(
            p, 20, 100, 200, 160, "notes", 0, "textfield",
            "multiline currentvalue={one two three four five six seven eight nine ten eleven twelve "
            "thirteen fourteen fifteen sixteen seventeen eighteen}");
    });
    auto raster = enginetest::render(pdf);
    ASSERT_EQ(raster.width, 400);
    EXPECT_EQ(ink(raster, 20, 340, 300, 370), 0);
    EXPECT_GT(ink(raster, 300, 340, 380, 370), 20);
    EXPECT_EQ(ink(raster, 20, 300, 160, 330), 0);
    EXPECT_EQ(ink(raster, 240, 300, 380, 330), 0);
    EXPECT_GT(ink(raster, 160, 300, 240, 330), 20);
    // The long value wraps to lines in the top and the bottom half of the
    // box, auto-sized to fill it; none runs past its right edge.
    EXPECT_GT(ink(raster, 20, 130, 200, 160), 50);
    EXPECT_GT(ink(raster, 20, 100, 200, 130), 50);
    EXPECT_EQ(ink(raster, 200, 100, 240, 160), 0);
}

TEST(FormFields, JapaneseValuesShowInAnEditableNonSubsetFont)
{
    REQUIRE_PYPDF();
    QUILLON_REQUIRE_TOOL("pdftoppm");
    if (!testsupport::fileExists(kGothicFile))
        GTEST_SKIP() << kGothicFile << " is not installed";
    TempDir dir;
    const std::string pdf = writeForm(dir, [](PDF* p) {
        // A font file as the tool loads fonts for blocks, and the option list
        // it sends: the byte-order mark, then UTF-8.
        const int gothic = PDF_load_font(p, kGothicFile, 0, "unicode", "");
        const int helvetica = PDF_load_font(p, "Helvetica", 0, "winansi", "");
        const std::string fromFile =
            kBom + " currentvalue={" + kYamada + "} font=" + std::to_string(gothic) + " fontsize=10 ";
        PDF_create_field(p, 20, 340, 220, 370, "file", 0, "textfield", fromFile.c_str());
        // A Latin font cannot show it: the field takes a Japanese one.
        const std::string latin = kBom + "currentvalue={" + kSuzuki + "} font=" + std::to_string(helvetica);
        PDF_create_field(p, 20, 300, 220, 330, "latin", 0, "textfield", latin.c_str());
        const std::string none = kBom + "currentvalue={" + kSuzuki + "}";
        PDF_create_field(p, 20, 260, 220, 290, "none", 0, "textfield", none.c_str());
        // Page text in the same font file is subset as usual.
        PDF_setfont(p, gothic, 12);
        PDF_set_text_pos(p, 20, 20);
        PDF_show(p, (std::string("\xFF\xFE") + "\x71\x5C").c_str());
    });
    EXPECT_EQ(fieldstest::qpdfProblems(pdf), "");
    auto form = report(pdf);
    EXPECT_EQ(form.field("file"), kYamada + " 0");
    EXPECT_EQ(form.field("latin"), kSuzuki + " 0");
    EXPECT_EQ(form.field("none"), kSuzuki + " 0");
    // The appearance shows the value's characters, not notdef: UCS-2 codes
    // of 山田太郎 in the CMap's font.
    auto ap = form.find("ap", "file");
    ASSERT_EQ(ap.size(), 3u) << form.dump();
    EXPECT_NE(ap[2].find("/HeiseiKakuGoW5 10 Tf"), std::string::npos) << ap[2];
    EXPECT_NE(ap[2].find("<5C717530592A90CE> Tj"), std::string::npos) << ap[2];
    // The font viewers type into: the whole Japanese font, not embedded.
    auto font = form.find("font", "/HeiseiKakuGoW5");
    ASSERT_EQ(font.size(), 7u);
    EXPECT_EQ(font[2], "/HeiseiKakuGo-W5-UniJIS-UCS2-H");
    EXPECT_EQ(font[3], "/Type0");
    EXPECT_EQ(font[4], "/UniJIS-UCS2-H");
    EXPECT_EQ(font[5], "0");
    EXPECT_EQ(font[6], "/HeiseiKakuGo-W5");
    EXPECT_EQ(form.all("font").size(), 1u);

    auto raster = enginetest::render(pdf);
    EXPECT_GT(ink(raster, 20, 340, 220, 370), 40);
    EXPECT_GT(ink(raster, 20, 300, 220, 330), 40);
    EXPECT_GT(ink(raster, 20, 260, 220, 290), 40);
}

TEST(FormFields, LatinFieldsUseTheWholeStandardFont)
{
    REQUIRE_PYPDF();
    TempDir dir;
    const std::string pdf = writeForm(dir, [](PDF* p) {
        const int times = PDF_load_font(p, "Times-Roman", 0, "winansi", "");
        PDF_create_field(p, 20, 340, 220, 370, "a", 0, "textfield", "currentvalue={Caf\xE9}");
        PDF_create_field(
            p, 20, 300, 220, 330, "b", 0, "textfield",
            ("currentvalue=x fontsize=9 fillcolor={rgb 1 0 0} font=" + std::to_string(times)).c_str());
    });
    auto form = report(pdf);
    // The value was read in the hypertext encoding (code page 1252).
    EXPECT_EQ(form.field("a"), "Caf\xC3\xA9 0");
    auto helvetica = form.find("font", "/Helvetica");
    ASSERT_EQ(helvetica.size(), 7u);
    EXPECT_EQ(helvetica[2] + " " + helvetica[3] + " " + helvetica[4] + " " + helvetica[5],
              "/Helvetica /Type1 /WinAnsiEncoding 0");
    EXPECT_EQ(form.find("font", "/TimesRoman").size(), 7u);
    auto ap = form.find("ap", "b");
    ASSERT_EQ(ap.size(), 3u) << form.dump();
    EXPECT_NE(ap[2].find("/TimesRoman 9 Tf 1 0 0 rg"), std::string::npos) << ap[2];
}

TEST(FormFields, FontHandlesChooseWholeStandardFonts)
{
    REQUIRE_PYPDF();
    const char* mincho = "/usr/share/fonts/opentype/ipaexfont-mincho/ipaexm.ttf";
    const char* dejavu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!testsupport::fileExists(mincho) || !testsupport::fileExists(dejavu))
        GTEST_SKIP() << "IPAex Mincho or DejaVu Sans is not installed";
    TempDir dir;
    const std::string pdf = writeForm(dir, [&](PDF* p) {
        PDF_set_option(p, (std::string("FontOutline={IPAexMincho=") + mincho + "}").c_str());
        const std::pair<std::string, int> fonts[] = {
            {"times", PDF_load_font(p, "Times-Bold", 0, "winansi", "")},
            {"dingbats", PDF_load_font(p, "ZapfDingbats", 0, "builtin", "")},
            {"kozmin", PDF_load_font(p, "KozMinPro-Regular", 0, "UniJIS-UCS2-H", "")},
            {"mincho", PDF_load_font(p, "IPAexMincho", 0, "unicode", "")},
            {"dejavu", PDF_load_font(p, dejavu, 0, "unicode", "")},
        };
        double y = 20;
        for (const auto& [name, handle] : fonts) {
            PDF_create_field(p, 20, y, 200, y + 20, name.c_str(), 0, "textfield",
                             ("currentvalue=x font=" + std::to_string(handle)).c_str());
            y += 30;
        }
    });
    auto form = report(pdf);
    const std::pair<const char*, const char*> expected[] = {
        {"times", "BT /TimesBold "},    {"dingbats", "BT /Helvetica "}, {"kozmin", "BT /KozMinProRegular "},
        {"mincho", "BT /HeiseiMinW3 "}, {"dejavu", "BT /Helvetica "},
    };
    for (const auto& [name, font] : expected) {
        auto ap = form.find("ap", name);
        ASSERT_EQ(ap.size(), 3u) << name << "\n" << form.dump();
        EXPECT_NE(ap[2].find(font), std::string::npos) << ap[2];
    }
    for (const auto& font : form.all("font"))
        EXPECT_EQ(font[5], "0") << font[1] << " is embedded";
}

TEST(FormFields, EachDocumentHasItsOwnFields)
{
    REQUIRE_PYPDF();
    TempDir dir;
    Handle p;
    for (const char* name : {"one.pdf", "two.pdf"}) {
        PDF_begin_document(p, dir.file(name).c_str(), 0, "");
        PDF_begin_page_ext(p, 200, 200, "");
        PDF_create_field(p, 10, 10, 100, 30, "same", 0, "textfield",
                         ("currentvalue=" + std::string(name)).c_str());
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
    }
    EXPECT_EQ(report(dir.file("two.pdf")).field("same"), "two.pdf 0");
    // Without fields, no form; a group without buttons is left out.
    PDF_begin_document(p, dir.file("plain.pdf").c_str(), 0, "");
    PDF_create_fieldgroup(p, "unused", 0, "fieldtype=radiobutton");
    PDF_begin_page_ext(p, 200, 200, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    EXPECT_EQ(report(dir.file("plain.pdf")).find("acroform", "none").size(), 2u);
}

}  // namespace
