// Every encoding gives back, through pdftotext, exactly the Unicode text it was
// given: Latin text in the standard fonts, Japanese text in a font file and in
// the Japanese standard fonts, with the characters code page 932 adds (half-width
// katakana, NEC special characters, IBM extension kanji).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pdfengine/FontFile.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/text-engine/TextTestSupport.h"

using texttest::utf16be;
using texttest::utf16le;

namespace {

// Shows each text on a line of its own, from the top of the page down.
class Lines {
public:
    explicit Lines(PDF* p) : p_(p) {}

    void show(int font, const std::string& text)
    {
        PDF_setfont(p_, font, 12);
        PDF_set_text_pos(p_, 40, y_);
        PDF_show2(p_, text.data(), static_cast<int>(text.size()));
        y_ -= 24;
    }

private:
    PDF* p_;
    double y_ = 800;
};

// 請求書①㈱ｱｲｳ纊髙﨑 in code page 932: kanji, NEC row 13, half-width katakana and
// three IBM extension kanji (FA5C, FBFC, FAB1).
const std::string kInvoiceSjis =
    "\x90\xbf\x8b\x81\x8f\x91\x87\x40\x87\x8a\xb1\xb2\xb3\xfa\x5c\xfb\xfc\xfa\xb1";
const std::string kInvoice = "請求書①㈱ｱｲｳ纊髙﨑";

}  // namespace

TEST(Extraction, LatinTextInTheStandardFonts)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    testsupport::TempDir dir;
    enginetest::Handle p;
    texttest::writePage(p, dir.file("latin.pdf"), [](PDF* p) {
        Lines lines(p);
        int winansi = PDF_load_font(p, "Helvetica", 0, "winansi", "");
        lines.show(winansi,
                   "Caf\xE9 cr\xE8me br\xFBl\xE9"
                   "e \x80"
                   "5 \x93quoted\x94 \xC6r\xF8");
        // The same font read as Unicode: UTF-16LE, and a UTF-8 text with its mark.
        int unicode = PDF_load_font(p, "Helvetica", 0, "unicode", "");
        lines.show(unicode, utf16le("Grüße – naïve"));
        lines.show(winansi, "\xEF\xBB\xBFZ\xC3\xBCrich \xE2\x82\xAC");
        int mac = PDF_load_font(p, "Times-Roman", 0, "macroman", "");
        lines.show(mac,
                   "a\xAD"
                   "b \x8E");
        // StandardEncoding: AE is the fi ligature, E8 Lslash.
        int builtin = PDF_load_font(p, "Courier", 0, "builtin", "");
        lines.show(builtin, "fl\xAE \xE8");
        int symbol = PDF_load_font(p, "Symbol", 0, "builtin", "");
        lines.show(symbol, "abg");
    });
    EXPECT_EQ(texttest::textLines(dir.file("latin.pdf")),
              (std::vector<std::string>{"Café crème brûlée €5 “quoted” Ærø", "Grüße – naïve", "Zürich €",
                                        "a≠b é", "fl\xEF\xAC\x81 Ł", "αβγ"}));
}

TEST(Extraction, JapaneseTextInAFontFile)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    REQUIRE_FONT(texttest::kGothic);
    auto gothic = pdfengine::FontFile::load(texttest::kGothic);
    std::string glyphIds;
    for (char32_t c : std::u32string(U"東京都ABC")) {
        uint32_t glyph = gothic->glyphFor(c);
        glyphIds += static_cast<char>(glyph & 0xFF);
        glyphIds += static_cast<char>(glyph >> 8);
    }
    testsupport::TempDir dir;
    enginetest::Handle p;
    texttest::writePage(p, dir.file("file.pdf"), [&](PDF* p) {
        Lines lines(p);
        int unicode = PDF_load_font(p, texttest::kGothic, 0, "unicode", "");
        lines.show(unicode, utf16le(kInvoice + " 千代田区 (ABC)"));
        int cp932 = PDF_load_font(p, texttest::kGothic, 0, "cp932", "");
        lines.show(cp932, kInvoiceSjis + " \x81\x60\x81\x7c~\\");
        int glyphid = PDF_load_font(p, texttest::kGothic, 0, "glyphid", "");
        lines.show(glyphid, glyphIds);
        // A UniJIS CMap name with a font file: UTF-16BE; and a mark wins over the encoding.
        int ucs2 = PDF_load_font(p, texttest::kGothic, 0, "UniJIS-UCS2-H", "");
        lines.show(ucs2, utf16be("日本語ｶﾀｶﾅ"));
        lines.show(cp932, "\xFF\xFE" + utf16le("印鑑"));
        int rksj = PDF_load_font(p, texttest::kGothic, 0, "90msp-RKSJ-H", "");
        lines.show(rksj, kInvoiceSjis);
    });
    EXPECT_EQ(texttest::textLines(dir.file("file.pdf")),
              (std::vector<std::string>{kInvoice + " 千代田区 (ABC)", kInvoice + " ～－~\\", "東京都ABC",
                                        "日本語ｶﾀｶﾅ", "印鑑", kInvoice}));
    // One font, however many encodings it was loaded with: one subset.
    std::vector<texttest::FontRow> rows = texttest::fonts(dir.file("file.pdf"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].embedded && rows[0].subset && rows[0].toUnicode);
}

TEST(Extraction, JapaneseStandardFontsWithTheirCMaps)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    testsupport::TempDir dir;
    enginetest::Handle p;
    texttest::writePage(p, dir.file("cid.pdf"), [&](PDF* p) {
        Lines lines(p);
        int ucs2 = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "UniJIS-UCS2-H", "");
        lines.show(ucs2, utf16be("日本語ｱ① ABC ~—－"));
        // The renderer hands UCS-2 text over with a little-endian mark.
        lines.show(ucs2, "\xFF\xFE" + utf16le("㈱髙橋"));
        int halfWidth = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "UniJIS-UCS2-HW-H", "");
        lines.show(halfWidth, utf16be("ABC ｱｲｳ 123"));
        int rksj = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "90ms-RKSJ-H", "");
        lines.show(rksj, kInvoiceSjis);
        int cp932 = PDF_load_font(p, "HeiseiMin-W3", 0, "cp932", "");
        lines.show(cp932, "\x81\x60\x81\x7c~\\ \x87\x90");
        int unicode = PDF_load_font(p, "KozMinPro-Regular", 0, "unicode", "");
        lines.show(unicode, utf16le("𠮷野家~—"));
        int proportional = PDF_load_font(p, "KozGoPro-Medium", 0, "90msp-RKSJ-H", "");
        lines.show(proportional, "Mixed \x93\xfa\x96\x7b");
    });
    EXPECT_EQ(texttest::textLines(dir.file("cid.pdf")),
              (std::vector<std::string>{"日本語ｱ① ABC ~—－", "㈱髙橋", "ABC ｱｲｳ 123", kInvoice, "～－~\\ ≒",
                                        "𠮷野家~—", "Mixed 日本"}));
    for (const texttest::FontRow& row : texttest::fonts(dir.file("cid.pdf"))) {
        EXPECT_FALSE(row.embedded) << row.name;
        EXPECT_EQ(row.type, "CID Type 0") << row.name;
    }
}
