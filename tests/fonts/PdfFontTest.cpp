// Font files as a document uses them: text to glyph ids and widths, what is
// missing, and the objects described at the end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pdfengine/FontError.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/PdfTrueTypeFont.h"
#include "pdfengine/PdfType0Font.h"
#include "tests/fonts/CffFontBuilder.h"
#include "tests/fonts/FontTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;

namespace {

std::shared_ptr<const FontFile> gothic()
{
    return FontFile::load(fonttest::kGothic);
}

}  // namespace

TEST(PdfType0Font, MapsUnicodeAndGlyphIdsAndCountsMissingCharacters)
{
    REQUIRE_FILE(fonttest::kGothic);
    auto font = gothic();
    PdfType0Font type0(font, {});
    uint32_t kan = font->glyphFor(U'漢');
    GlyphRun run = type0.mapUnicode(U"漢\U0001F600A");
    ASSERT_EQ(run.glyphs.size(), 3u);
    EXPECT_EQ(run.glyphs[0].glyph, kan);
    EXPECT_TRUE(run.glyphs[1].missing);
    EXPECT_EQ(run.glyphs[1].glyph, 0u);
    EXPECT_EQ(run.missing, 1);
    // The notdef glyph keeps its width in the line.
    EXPECT_EQ(run.width, font->width(kan) + font->width(0) + font->width(font->glyphFor(U'A')));
    EXPECT_EQ(run.codes.size(), 6u);
    EXPECT_EQ(static_cast<uint8_t>(run.codes[0]), kan >> 8);
    EXPECT_EQ(static_cast<uint8_t>(run.codes[1]), kan & 0xFF);
    EXPECT_EQ(run.codes.substr(2, 2), std::string("\0\0", 2));
    EXPECT_EQ(run.wordSpaces, 0);

    GlyphRun ids = type0.mapGlyphIds({static_cast<uint16_t>(kan), 0xFFFF});
    EXPECT_EQ(ids.glyphs[0].unicode, U'漢');
    EXPECT_TRUE(ids.glyphs[1].missing);
    EXPECT_EQ(ids.missing, 1);
    EXPECT_THROW(type0.mapBytes("abc"), FontError);

    type0.use(run);
    type0.use(ids);
    FontObjects o = type0.objects();
    EXPECT_EQ(o.kind, FontObjects::Kind::Type0);
    EXPECT_EQ(o.encodingName, "Identity-H");
    EXPECT_EQ(o.cidFontType, "CIDFontType2");
    // The subset's glyphs are renumbered; the CIDs stay the whole font's glyph
    // ids, and the map leads them to the subset's (SubsetTest checks the outlines).
    EXPECT_FALSE(o.cidToGidIdentity);
    ASSERT_EQ(o.cidToGidMap.size(), kan + 1);
    const uint16_t newKan = o.cidToGidMap[kan], newA = o.cidToGidMap[font->glyphFor(U'A')];
    EXPECT_TRUE(newKan > 0 && newA > 0 && newKan != newA && newKan < 3 && newA < 3) << newKan << " " << newA;
    EXPECT_EQ(o.cidToGidMap[0], 0u);
    EXPECT_EQ(o.cidToGidMap[kan - 1], 0u);
    EXPECT_EQ(o.ordering, "Identity");
    ASSERT_TRUE(o.program.has_value());
    EXPECT_EQ(o.baseFont, o.program->tag + "+IPAexGothic");
    EXPECT_EQ(o.descriptor->fontName, o.baseFont);
    EXPECT_EQ(o.defaultWidth, font->width(0));
    // Only the characters shown are in the ToUnicode map; notdef is not.
    EXPECT_NE(o.toUnicode.find("<6F22>"), std::string::npos);
    EXPECT_EQ(o.toUnicode.find("<0000>"), o.toUnicode.find("<0000> <FFFF>"));
}

TEST(PdfType0Font, EmbeddingChoices)
{
    REQUIRE_FILE(fonttest::kGothic);
    PdfType0Font::Options options;
    options.embed = false;
    PdfType0Font plain(gothic(), options);
    plain.use(plain.mapUnicode(U"漢"));
    FontObjects o = plain.objects();
    EXPECT_FALSE(o.program.has_value());
    EXPECT_TRUE(o.cidToGidIdentity);  // the reader's copy of the font has the same ids
    EXPECT_TRUE(o.cidToGidMap.empty());
    EXPECT_EQ(o.baseFont, "IPAexGothic");
    EXPECT_TRUE(o.descriptor.has_value());

    options.embed = true;
    options.subset = false;
    options.byteEncoding = FontEncoding::find("winansi");
    PdfType0Font whole(gothic(), options);
    GlyphRun run = whole.mapBytes("A\x80");
    EXPECT_EQ(run.glyphs[1].unicode, U'€');
    whole.use(run);
    o = whole.objects();
    ASSERT_TRUE(o.program.has_value());
    EXPECT_EQ(o.baseFont, "IPAexGothic");
    EXPECT_GT(o.program->data.size(), 1000000u);
    EXPECT_TRUE(o.cidToGidIdentity);
    EXPECT_TRUE(o.cidToGidMap.empty());
}

TEST(PdfTrueTypeFont, EightBitTextInAFontFile)
{
    REQUIRE_FILE(fonttest::kMincho);
    auto font = std::shared_ptr<const FontFile>(FontFile::load(fonttest::kMincho));
    PdfTrueTypeFont simple(font, *FontEncoding::find("macroman"), true, true);
    GlyphRun run = simple.mapBytes("a\x8E\xAD\x01");  // a, é, ≠, and an undefined code
    ASSERT_EQ(run.glyphs.size(), 4u);
    EXPECT_EQ(run.glyphs[1].glyph, font->glyphFor(U'é'));
    EXPECT_EQ(run.glyphs[2].glyph, font->glyphFor(U'≠'));
    EXPECT_TRUE(run.glyphs[3].missing);
    EXPECT_EQ(run.codes, std::string("a\x8E\xAD\x00", 4));
    EXPECT_EQ(run.width, font->width(font->glyphFor(U'a')) + font->width(font->glyphFor(U'é')) +
                             font->width(font->glyphFor(U'≠')) + font->width(0));
    GlyphRun unicode = simple.mapUnicode(U"é漢");
    EXPECT_EQ(unicode.codes, std::string("\x8E\x00", 2));
    EXPECT_EQ(unicode.missing, 1);

    simple.use(run);
    FontObjects o = simple.objects();
    EXPECT_EQ(o.kind, FontObjects::Kind::TrueType);
    ASSERT_TRUE(o.encodingDictionary.has_value());
    EXPECT_EQ(o.encodingDictionary->baseEncoding, "MacRomanEncoding");
    EXPECT_EQ(o.encodingDictionary->differences,
              (std::vector<std::pair<int, std::string>>{{0xAD, "notequal"}}));
    EXPECT_EQ(o.firstChar, 0);
    EXPECT_EQ(o.widths.size(), 0xAEu);
    EXPECT_EQ(o.widths[0], font->width(0));
    EXPECT_TRUE(o.descriptor->flags & FontDescriptor::kNonsymbolic);
    ASSERT_TRUE(o.program.has_value());
    EXPECT_EQ(o.program->program, FontSubsetter::Program::FontFile2);
}

TEST(PdfTrueTypeFont, RefusesCffOutlines)
{
    std::string path = std::string(fonttest::kOtfDir) + "NimbusSans-Regular.otf";
    REQUIRE_FILE(path);
    EXPECT_THROW(PdfTrueTypeFont(FontFile::load(path), *FontEncoding::find("winansi"), true, true),
                 FontError);
}
