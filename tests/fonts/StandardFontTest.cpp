#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pdfengine/FontEncoding.h"
#include "pdfengine/PdfStandardFont.h"
#include "pdfengine/StandardFont.h"
#include "tests/fonts/FontTestSupport.h"

using namespace pdfengine;

namespace {

const char* const kAllNames[] = {
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Symbol",      "ZapfDingbats"};
const char* const kUrwNames[] = {
    "NimbusMonoPS-Regular", "NimbusMonoPS-Bold", "NimbusMonoPS-Italic", "NimbusMonoPS-BoldItalic",
    "NimbusSans-Regular",   "NimbusSans-Bold",   "NimbusSans-Italic",   "NimbusSans-BoldItalic",
    "NimbusRoman-Regular",  "NimbusRoman-Bold",  "NimbusRoman-Italic",  "NimbusRoman-BoldItalic",
    "StandardSymbolsPS",    "D050000L"};

int textWidth(const StandardFont& font, const FontEncoding& encoding, const std::string& text)
{
    int total = 0;
    for (char c : text)
        total += font.width(encoding, static_cast<uint8_t>(c));
    return total;
}

}  // namespace

TEST(StandardFont, FindsTheFourteenByExactNameOnly)
{
    for (const char* name : kAllNames) {
        const StandardFont* font = StandardFont::find(name);
        ASSERT_NE(font, nullptr) << name;
        EXPECT_STREQ(font->name(), name);
    }
    EXPECT_EQ(StandardFont::find("helvetica"), nullptr);
    EXPECT_EQ(StandardFont::find("Helvetica "), nullptr);
    EXPECT_EQ(StandardFont::find("Arial"), nullptr);
    EXPECT_EQ(StandardFont::find(""), nullptr);
}

// Adobe's Helvetica metrics give H 722, e 556, l 222, o 556: "Hello" is 2278/1000 em.
TEST(StandardFont, HelveticaHelloHasTheWidthOfItsMetrics)
{
    const StandardFont& helvetica = *StandardFont::find("Helvetica");
    const FontEncoding& winansi = *FontEncoding::find("winansi");
    EXPECT_EQ(textWidth(helvetica, winansi, "Hello"), 722 + 556 + 222 + 222 + 556);
    EXPECT_DOUBLE_EQ(textWidth(helvetica, winansi, "Hello") * 12 / 1000.0, 27.336);
    EXPECT_EQ(textWidth(*StandardFont::find("Courier"), winansi, "Hello"), 5 * 600);
    EXPECT_EQ(helvetica.width("H"), 722);
    EXPECT_EQ(helvetica.width("nosuchglyph"), -1);
}

TEST(StandardFont, WidthsAgreeWithTheAfmFilesForEveryEncodedGlyph)
{
    REQUIRE_FILE(std::string(fonttest::kAfmDir) + "NimbusSans-Regular.afm");
    for (size_t i = 0; i < std::size(kAllNames); ++i) {
        const StandardFont& font = *StandardFont::find(kAllNames[i]);
        auto afm = fonttest::afmWidths(std::string(fonttest::kAfmDir) + kUrwNames[i] + ".afm");
        const char* encodings[] = {"winansi", "iso8859-1", "macroman", "standard"};
        std::vector<const FontEncoding*> list;
        if (font.symbolic())
            list.push_back(&font.builtinEncoding());
        else
            for (const char* e : encodings)
                list.push_back(FontEncoding::find(e));
        int checked = 0;
        for (const FontEncoding* encoding : list) {
            for (int code = 0; code < 256; ++code) {
                const char* glyph = encoding->glyphName(static_cast<uint8_t>(code));
                if (!glyph)
                    continue;
                ASSERT_TRUE(afm.count(glyph)) << kAllNames[i] << " " << glyph;
                EXPECT_EQ(font.width(*encoding, static_cast<uint8_t>(code)), afm[glyph])
                    << kAllNames[i] << " " << encoding->name() << " " << code;
                ++checked;
            }
        }
        EXPECT_GT(checked, 180) << kAllNames[i];
    }
}

TEST(StandardFont, DescriptorValuesAreConsistent)
{
    for (const char* name : kAllNames) {
        FontDescriptor d = StandardFont::find(name)->descriptor();
        EXPECT_EQ(d.fontName, name);
        EXPECT_LT(d.bbox[0], d.bbox[2]) << name;
        EXPECT_LT(d.bbox[1], d.bbox[3]) << name;
        EXPECT_GT(d.ascent, 0) << name;
        EXPECT_LT(d.descent, 0) << name;
        EXPECT_LE(d.ascent, d.bbox[3]) << name;
        EXPECT_GE(d.descent, d.bbox[1]) << name;
        EXPECT_GT(d.capHeight, 0) << name;
        EXPECT_GT(d.stemV, 30) << name;
        bool italic = std::strstr(name, "Oblique") || std::strstr(name, "Italic");
        EXPECT_EQ(d.italicAngle != 0, italic) << name;
        EXPECT_EQ((d.flags & FontDescriptor::kItalic) != 0, italic) << name;
    }
    EXPECT_TRUE(StandardFont::find("Courier")->descriptor().flags & FontDescriptor::kFixedPitch);
    EXPECT_TRUE(StandardFont::find("Times-Roman")->descriptor().flags & FontDescriptor::kSerif);
    EXPECT_FALSE(StandardFont::find("Helvetica")->descriptor().flags & FontDescriptor::kSerif);
    EXPECT_TRUE(StandardFont::find("Symbol")->descriptor().flags & FontDescriptor::kSymbolic);
    EXPECT_GT(StandardFont::find("Helvetica-Bold")->descriptor().stemV,
              StandardFont::find("Helvetica")->descriptor().stemV);
}

TEST(FontEncoding, WinAnsiFollowsPdfsTable)
{
    const FontEncoding& winansi = *FontEncoding::find("WinAnsi");
    EXPECT_STREQ(winansi.pdfName(), "WinAnsiEncoding");
    EXPECT_STREQ(winansi.glyphName(0xE9), "eacute");
    EXPECT_STREQ(winansi.glyphName(0xFC), "udieresis");
    EXPECT_STREQ(winansi.glyphName(0x80), "Euro");
    EXPECT_STREQ(winansi.glyphName(0x27), "quotesingle");
    EXPECT_STREQ(winansi.glyphName(0x60), "grave");
    EXPECT_STREQ(winansi.glyphName(0xA0), "space");
    EXPECT_STREQ(winansi.glyphName(0xAD), "hyphen");
    EXPECT_STREQ(winansi.glyphName(0x8E), "Zcaron");
    for (uint8_t undefined : {0x00, 0x1F, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(winansi.glyphName(undefined), nullptr) << int(undefined);
        EXPECT_EQ(winansi.unicode(undefined), 0u) << int(undefined);
    }
    EXPECT_EQ(winansi.unicode(0xE9), U'é');
    EXPECT_EQ(winansi.unicode(0x80), U'€');
    EXPECT_EQ(winansi.unicode(0xA0), 0xA0u);
    EXPECT_EQ(winansi.code(U'ü'), 0xFC);
    EXPECT_EQ(winansi.code(U'€'), 0x80);
    EXPECT_EQ(winansi.code(U'A'), 0x41);
    EXPECT_EQ(winansi.code(U'あ'), std::nullopt);
    const StandardFont& helvetica = *StandardFont::find("Helvetica");
    EXPECT_EQ(helvetica.width(winansi, 0xE9), helvetica.width("eacute"));
    EXPECT_EQ(helvetica.width(winansi, 0x81), -1);
}

TEST(FontEncoding, OtherEncodingsAndTheirDifferences)
{
    const FontEncoding& latin1 = *FontEncoding::find("iso8859-1");
    EXPECT_EQ(latin1.glyphName(0x80), nullptr);
    EXPECT_STREQ(latin1.glyphName(0xE9), "eacute");
    const FontEncoding& mac = *FontEncoding::find("macroman");
    EXPECT_STREQ(mac.glyphName(0x8E), "eacute");
    EXPECT_STREQ(mac.glyphName(0xDB), "currency");
    EXPECT_STREQ(mac.glyphName(0xAD), "notequal");
    EXPECT_EQ(mac.code(U'é'), 0x8E);
    const FontEncoding& standard = *FontEncoding::find("standard");
    EXPECT_STREQ(standard.glyphName(0x27), "quoteright");
    EXPECT_STREQ(standard.glyphName(0xAE), "fi");
    EXPECT_EQ(FontEncoding::find("cp1252"), nullptr);

    // Codes whose glyphs PDF's MacRomanEncoding lacks are written as differences.
    std::array<const char*, 256> names{};
    names[0x8E] = mac.glyphName(0x8E);
    names[0xAD] = mac.glyphName(0xAD);
    FontEncoding::Dictionary d = FontEncoding::dictionaryFor(names);
    EXPECT_EQ(d.baseEncoding, "MacRomanEncoding");
    ASSERT_EQ(d.differences.size(), 1u);
    EXPECT_EQ(d.differences[0], std::make_pair(0xAD, std::string("notequal")));

    // Texts that WinAnsi covers need no dictionary.
    std::array<const char*, 256> win{};
    for (uint8_t c : {0x41, 0x80, 0xE9})
        win[c] = FontEncoding::find("winansi")->glyphName(c);
    d = FontEncoding::dictionaryFor(win);
    EXPECT_EQ(d.baseEncoding, "WinAnsiEncoding");
    EXPECT_FALSE(d.needsDictionary());
}

// code() answers the first 256 characters from a table: it must agree with the
// search by Unicode it is made from, and every character an encoding defines
// must come back to a code that stands for it.
TEST(FontEncoding, CodesOfCharactersAgreeWithTheSearchAndTheCodes)
{
    for (const char* name : {"winansi", "iso8859-1", "macroman", "standard", "symbol", "zapfdingbats"}) {
        const FontEncoding* encoding = FontEncoding::find(name);
        ASSERT_NE(encoding, nullptr) << name;
        for (char32_t c = 0; c < 0x3000; ++c)
            ASSERT_EQ(encoding->code(c), encoding->searchCode(c)) << name << " " << std::hex << uint32_t{c};
        for (char32_t c : {char32_t{0xFFFF}, char32_t{0x10FFFF}, char32_t{0x110000}})
            EXPECT_EQ(encoding->code(c), std::nullopt) << name;
        for (int code = 0; code < 256; ++code) {
            const char32_t unicode = encoding->unicode(static_cast<uint8_t>(code));
            if (unicode == 0)
                continue;
            const std::optional<uint8_t> back = encoding->code(unicode);
            ASSERT_TRUE(back.has_value()) << name << " " << code;
            EXPECT_EQ(encoding->unicode(*back), unicode) << name << " " << code;
        }
    }
}

TEST(FontEncoding, SymbolAndDingbatsHaveTheirOwnCodes)
{
    const StandardFont& symbol = *StandardFont::find("Symbol");
    EXPECT_STREQ(symbol.builtinEncoding().name(), "symbol");
    EXPECT_STREQ(symbol.builtinEncoding().glyphName(0x61), "alpha");
    EXPECT_EQ(symbol.builtinEncoding().unicode(0x61), U'α');
    EXPECT_EQ(symbol.builtinEncoding().unicode(0x22), U'∀');
    const StandardFont& dingbats = *StandardFont::find("ZapfDingbats");
    EXPECT_STREQ(dingbats.builtinEncoding().glyphName(0x21), "a1");
    EXPECT_EQ(dingbats.builtinEncoding().unicode(0x21), 0x2701u);
    EXPECT_GT(dingbats.width(dingbats.builtinEncoding(), 0x21), 0);
    // A Latin encoding finds only the glyphs these fonts share with it.
    EXPECT_EQ(symbol.width(*FontEncoding::find("winansi"), 0x20), symbol.width("space"));
    EXPECT_EQ(symbol.width(*FontEncoding::find("winansi"), 0x41), -1);
    EXPECT_STREQ(StandardFont::find("Times-Roman")->builtinEncoding().name(), "standard");
}

// Characters below 256 come from a table by character; every character must
// give the glyph of its code in the encoding, as the font's bytes would.
TEST(PdfStandardFont, EveryCharacterShowsTheGlyphOfItsCode)
{
    std::u32string text;
    for (char32_t c = 0; c < 0x3000; ++c)
        text += c;
    for (const char* name : kAllNames) {
        for (const char* encodingName : {"winansi", "iso8859-1", "macroman", "standard"}) {
            const StandardFont& standard = *StandardFont::find(name);
            PdfStandardFont font(standard, *FontEncoding::find(encodingName));
            const FontEncoding& encoding = font.encoding();
            const GlyphRun run = font.mapUnicode(text);
            ASSERT_EQ(run.glyphs.size(), text.size());
            int width = 0;
            for (char32_t c = 0; c < text.size(); ++c) {
                const uint8_t code = encoding.code(c).value_or(0);
                const GlyphRun::Glyph expected =
                    font.mapBytes(std::string(1, static_cast<char>(code))).glyphs[0];
                const GlyphRun::Glyph& got = run.glyphs[c];
                ASSERT_EQ(got.code, expected.code) << name << " " << encodingName << " " << uint32_t{c};
                ASSERT_EQ(got.glyph, expected.glyph) << name << " " << encodingName << " " << uint32_t{c};
                ASSERT_EQ(got.width, expected.width) << name << " " << encodingName << " " << uint32_t{c};
                ASSERT_EQ(got.missing, expected.missing) << name << " " << encodingName << " " << uint32_t{c};
                ASSERT_EQ(got.unicode, c);
                ASSERT_EQ(run.codes[c], static_cast<char>(code));
                width += expected.width;
            }
            EXPECT_EQ(run.width, width) << name << " " << encodingName;
        }
    }
}

TEST(PdfStandardFont, MapsTextAndCountsWhatTheFontLacks)
{
    PdfStandardFont font(*StandardFont::find("Helvetica"), *FontEncoding::find("winansi"));
    GlyphRun run = font.mapBytes("Hi \x80\x81");
    EXPECT_EQ(run.codes, std::string("Hi \x80\x00", 5));
    EXPECT_EQ(run.missing, 1);
    EXPECT_EQ(run.wordSpaces, 1);
    const StandardFont& helvetica = *StandardFont::find("Helvetica");
    EXPECT_EQ(run.width, helvetica.width("H") + helvetica.width("i") + helvetica.width("space") +
                             helvetica.width("Euro") + helvetica.notdefWidth());

    run = font.mapUnicode(U"é日");
    EXPECT_EQ(run.codes, std::string("\xE9\x00", 2));
    EXPECT_EQ(run.missing, 1);
    EXPECT_EQ(run.glyphs[1].unicode, U'日');

    font.use(font.mapBytes("AB"));
    font.use(font.mapUnicode(U"€"));
    FontObjects o = font.objects();
    EXPECT_EQ(o.kind, FontObjects::Kind::Type1);
    EXPECT_EQ(o.baseFont, "Helvetica");
    EXPECT_EQ(o.encodingName, "WinAnsiEncoding");
    EXPECT_EQ(o.firstChar, 0x41);
    ASSERT_EQ(o.widths.size(), 0x80u - 0x41u + 1);
    EXPECT_EQ(o.widths[0], 667);
    EXPECT_EQ(o.widths[1], 667);
    EXPECT_EQ(o.widths[2], 0);
    EXPECT_EQ(o.widths.back(), helvetica.width("Euro"));
    EXPECT_FALSE(o.descriptor.has_value());
    EXPECT_NE(o.toUnicode.find("<80> <20AC>"), std::string::npos) << o.toUnicode;
}
