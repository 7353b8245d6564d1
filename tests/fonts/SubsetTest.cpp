#include <gtest/gtest.h>

#include <zlib.h>

#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pdfengine/FontFile.h"
#include "pdfengine/FontSubsetter.h"
#include "tests/fonts/CffFontBuilder.h"
#include "tests/fonts/FontTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;

namespace {

// Twenty kanji of an invoice.
const std::u32string kKanji = U"東京都千代田区丸内一丁目請求書御中株式会社様";

size_t deflatedSize(const std::string& data)
{
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
              data.size(), Z_DEFAULT_COMPRESSION);
    return size;
}

std::set<uint32_t> glyphsOf(const FontFile& font, const std::u32string& text)
{
    std::set<uint32_t> glyphs;
    for (char32_t c : text)
        glyphs.insert(font.glyphFor(c));
    return glyphs;
}

// Where a glyph of the whole font is in a subset.
uint32_t newId(const FontSubsetter::Result& subset, uint32_t glyph)
{
    if (subset.newGlyphIds.empty())
        return glyph;
    return glyph < subset.newGlyphIds.size() ? subset.newGlyphIds[glyph] : 0;
}

}  // namespace

// The subset keeps the used glyphs at their ids with their advances, and the rest
// empty; twenty kanji of a 6 MB font come to a few KB once compressed as in a PDF.
TEST(FontSubsetter, KeepsTheUsedGlyphsAtTheirIds)
{
    REQUIRE_FILE(fonttest::kGothic);
    auto font = FontFile::load(fonttest::kGothic);
    std::u32string text = kKanji.substr(0, 20);
    std::set<uint32_t> used = glyphsOf(*font, text);
    ASSERT_EQ(used.size(), 20u);
    FontSubsetter::Result subset = FontSubsetter::subset(*font, used);
    EXPECT_EQ(subset.program, FontSubsetter::Program::FontFile2);

    auto back = FontFile::fromBytes(subset.data, 0, "subset");
    EXPECT_EQ(back->unitsPerEm(), font->unitsPerEm());
    for (uint32_t glyph : used) {
        fonttest::GlyphInfo info = fonttest::glyphInfo(subset.data, 0, glyph);
        EXPECT_TRUE(info.loaded) << glyph;
        EXPECT_GT(info.points, 0) << glyph;
        EXPECT_EQ(info.advance, font->advance(glyph)) << glyph;
        EXPECT_EQ(back->unicodeOf(glyph), font->unicodeOf(glyph)) << glyph;
    }
    EXPECT_GT(fonttest::glyphInfo(subset.data, 0, 0).points, 0);  // notdef keeps its outline
    for (char32_t other : std::u32string(U"A漢あ日")) {
        uint32_t glyph = font->glyphFor(other);
        ASSERT_FALSE(used.count(glyph));
        if (back->hasGlyph(glyph)) {
            EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, glyph).points, 0) << uint32_t(other);
        }
        EXPECT_EQ(back->glyphFor(other), 0u) << uint32_t(other);
    }
    // Glyphs no character maps to (shown by glyph id) are kept too, with or
    // without the character tables.
    const std::string whole(font->bytes());
    uint32_t unmapped = 1;
    while (unmapped < static_cast<uint32_t>(font->glyphCount()) &&
           (font->unicodeOf(unmapped) != 0 || fonttest::glyphInfo(whole, 0, unmapped).points == 0))
        ++unmapped;
    ASSERT_LT(unmapped, static_cast<uint32_t>(font->glyphCount()));
    for (auto tables : {FontSubsetter::Tables::ForSimpleFont, FontSubsetter::Tables::ForCidFont}) {
        std::set<uint32_t> mixed = {unmapped, *used.begin()};
        FontSubsetter::Result withUnmapped = FontSubsetter::subset(*font, mixed, tables);
        EXPECT_EQ(fonttest::glyphInfo(withUnmapped.data, 0, newId(withUnmapped, unmapped)).points,
                  fonttest::glyphInfo(whole, 0, unmapped).points);
        EXPECT_GT(fonttest::glyphInfo(withUnmapped.data, 0, newId(withUnmapped, *used.begin())).points, 0);
    }

    size_t compressed = deflatedSize(subset.data);
    std::cout << "[ measure  ] " << font->bytes().size() << " byte font, 20 kanji: subset "
              << subset.data.size() << " bytes, " << compressed << " compressed\n";
    EXPECT_LT(compressed, 8 * 1024u);
    EXPECT_LT(subset.data.size(), 80 * 1024u);
}

// For a CIDFont a TrueType subset holds only the glyphs shown (and the
// components of composite ones), renumbered; every glyph asked for is found at
// its new id with its own outline and advance, and the map sends every other
// id to notdef.
TEST(FontSubsetter, RenumbersTrueTypeGlyphsForACidFont)
{
    std::vector<std::pair<std::string, std::u32string>> cases = {
        {fonttest::kGothic, kKanji + U"Aあ、"},
        // Accented letters are composites of other glyphs in DejaVu.
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", U"Grüße Ångström ŵ ǻ"}};
    int tested = 0;
    for (const auto& [path, text] : cases) {
        if (!fonttest::exists(path))
            continue;
        ++tested;
        auto font = FontFile::load(path);
        const std::string whole(font->bytes());
        std::set<uint32_t> used = glyphsOf(*font, text);
        ASSERT_FALSE(used.count(0)) << path;
        used.insert(static_cast<uint32_t>(font->glyphCount()) + 5);  // not in the font
        FontSubsetter::Result subset = FontSubsetter::subset(*font, used, FontSubsetter::Tables::ForCidFont);
        EXPECT_EQ(subset.program, FontSubsetter::Program::FontFile2);
        ASSERT_EQ(subset.newGlyphIds.size(), *std::prev(used.end(), 2) + 1) << path;
        auto back = FontFile::fromBytes(subset.data, 0, "subset");
        EXPECT_LT(back->glyphCount(), static_cast<int>(used.size()) * 3) << path;
        std::set<uint32_t> newIds;
        for (uint32_t glyph = 0; glyph < subset.newGlyphIds.size(); ++glyph) {
            uint32_t id = subset.newGlyphIds[glyph];
            if (!used.count(glyph)) {
                EXPECT_EQ(id, 0u) << path << " glyph " << glyph;
                continue;
            }
            EXPECT_TRUE(newIds.insert(id).second) << path << " glyph " << glyph << " shares " << id;
            fonttest::GlyphInfo before = fonttest::glyphInfo(whole, 0, glyph);
            fonttest::GlyphInfo after = fonttest::glyphInfo(subset.data, 0, id);
            EXPECT_TRUE(after.loaded) << path << " glyph " << glyph;
            EXPECT_EQ(after.points, before.points) << path << " glyph " << glyph;
            EXPECT_EQ(after.advance, before.advance) << path << " glyph " << glyph;
        }
        EXPECT_FALSE(newIds.count(0)) << path;
        EXPECT_GT(fonttest::glyphInfo(subset.data, 0, 0).points, 0) << path;  // notdef keeps its outline

        // A simple font's subset keeps the ids, which its cmap leads to.
        EXPECT_TRUE(FontSubsetter::subset(*font, used).newGlyphIds.empty()) << path;
    }
    if (tested == 0)
        GTEST_SKIP() << "neither IPAex Gothic nor DejaVu Sans is installed";
}

TEST(FontSubsetter, TagsAreStableAndFollowTheGlyphSet)
{
    std::set<uint32_t> a = {0, 5, 7}, b = {0, 5, 8};
    std::string tag = FontSubsetter::tag("IPAexGothic", a);
    EXPECT_EQ(tag.size(), 6u);
    for (char c : tag)
        EXPECT_TRUE(c >= 'A' && c <= 'Z') << tag;
    EXPECT_EQ(FontSubsetter::tag("IPAexGothic", a), tag);
    EXPECT_NE(FontSubsetter::tag("IPAexGothic", b), tag);
    EXPECT_NE(FontSubsetter::tag("IPAexMincho", a), tag);
}

TEST(FontSubsetter, TakesAFaceOutOfACollection)
{
    REQUIRE_FILE(fonttest::kGothic);
    REQUIRE_FILE(fonttest::kMincho);
    std::string ttc = fonttest::makeCollection(testsupport::readFile(fonttest::kGothic),
                                               testsupport::readFile(fonttest::kMincho));
    auto mincho = FontFile::fromBytes(ttc, 1, "both.ttc");
    std::set<uint32_t> used = glyphsOf(*mincho, U"請求書");
    FontSubsetter::Result subset = FontSubsetter::subset(*mincho, used);
    ASSERT_NE(subset.data.substr(0, 4), "ttcf");
    auto back = FontFile::fromBytes(subset.data, 0, "subset");
    EXPECT_EQ(back->postScriptName(), "IPAexMincho");
    for (uint32_t glyph : used)
        EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, glyph).advance, mincho->advance(glyph));

    FontSubsetter::Result whole = FontSubsetter::whole(*mincho);
    EXPECT_TRUE(whole.tag.empty());
    auto all = FontFile::fromBytes(whole.data, 0, "whole");
    EXPECT_EQ(all->glyphCount(), mincho->glyphCount());
    EXPECT_EQ(all->glyphFor(U'漢'), mincho->glyphFor(U'漢'));
}

TEST(FontSubsetter, SubsetsCffFonts)
{
    std::vector<fonttest::CffGlyph> glyphs;
    for (char32_t c = U'A'; c <= U'Z'; ++c)
        glyphs.push_back({c, 500 + 10 * static_cast<int>(c - U'A')});
    auto font = FontFile::fromBytes(fonttest::buildCffFont("QuillonTest-Regular", glyphs), 0, "test.otf");
    std::set<uint32_t> used = glyphsOf(*font, U"HELLO");
    FontSubsetter::Result subset = FontSubsetter::subset(*font, used);
    EXPECT_EQ(subset.program, FontSubsetter::Program::OpenTypeCff);
    EXPECT_EQ(subset.data.substr(0, 4), "OTTO");
    auto back = FontFile::fromBytes(subset.data, 0, "subset");
    EXPECT_EQ(back->format(), FontFile::Format::OpenTypeCff);
    for (uint32_t glyph : used) {
        EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, glyph).points, 4) << glyph;
        EXPECT_EQ(back->advance(glyph), font->advance(glyph));
    }
    EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, 0).points, 4);  // notdef keeps its outline
    EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, font->glyphFor(U'X')).points, 0);
    // A CIDFont of CFF outlines has no CIDToGIDMap: its glyph ids must stay.
    FontSubsetter::Result forCid = FontSubsetter::subset(*font, used, FontSubsetter::Tables::ForCidFont);
    EXPECT_TRUE(forCid.newGlyphIds.empty());
    for (uint32_t glyph : used)
        EXPECT_EQ(fonttest::glyphInfo(forCid.data, 0, glyph).points, 4) << glyph;
    std::string cff = FontSubsetter::cffTable(subset.data);
    ASSERT_GT(cff.size(), 4u);
    EXPECT_EQ(cff[0], 1);  // CFF major version
    EXPECT_LT(cff.size(), FontSubsetter::cffTable(font->bytes()).size());

    std::string path = std::string(fonttest::kOtfDir) + "NimbusSans-Regular.otf";
    if (fonttest::exists(path)) {
        auto nimbus = FontFile::load(path);
        FontSubsetter::Result small = FontSubsetter::subset(*nimbus, glyphsOf(*nimbus, U"Hello"));
        EXPECT_LT(small.data.size(), nimbus->bytes().size() / 4);
        EXPECT_GT(fonttest::glyphInfo(small.data, 0, nimbus->glyphFor(U'H')).points, 0);
        EXPECT_EQ(fonttest::glyphInfo(small.data, 0, nimbus->glyphFor(U'x')).points, 0);
    }
}

// A CID-keyed font keeps its CIDs rather than its glyph ids, and is embedded as
// bare CFF: a large CJK font shrinks to the glyphs shown.
TEST(FontSubsetter, SubsetsCidKeyedFontsByCid)
{
    std::vector<fonttest::CffGlyph> glyphs;
    for (int i = 0; i < 300; ++i)
        glyphs.push_back({static_cast<char32_t>(0x4E00 + i), 1000, 1000 + 7 * i});
    auto font = FontFile::fromBytes(fonttest::buildCffFont("QuillonTest-CID", glyphs, true), 0, "cid.otf");
    ASSERT_TRUE(font->cidKeyed());
    std::set<uint32_t> used = glyphsOf(*font, U"\u4E05\u4E10\u4F00");
    FontSubsetter::Result subset = FontSubsetter::subset(*font, used);
    EXPECT_EQ(subset.program, FontSubsetter::Program::CidFontType0C);
    EXPECT_TRUE(subset.newGlyphIds.empty());  // the charset keeps the CIDs
    ASSERT_GT(subset.data.size(), 4u);
    EXPECT_EQ(subset.data[0], 1);  // a CFF header, not an OpenType wrapper
    // FreeType reads a bare CID-keyed CFF font by CID.
    for (uint32_t glyph : used)
        EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, font->pdfCid(glyph)).points, 4) << glyph;
    EXPECT_EQ(fonttest::glyphInfo(subset.data, 0, font->pdfCid(font->glyphFor(0x4E06))).points, 0);
    EXPECT_LT(subset.data.size(), FontSubsetter::cffTable(font->bytes()).size() / 10);

    std::string noto = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
    if (fonttest::exists(noto)) {
        auto big = FontFile::load(noto, 0);
        FontSubsetter::Result small = FontSubsetter::subset(*big, glyphsOf(*big, kKanji.substr(0, 20)));
        std::cout << "[ measure  ] " << big->bytes().size() << " byte collection, 20 kanji: subset "
                  << small.data.size() << " bytes, " << deflatedSize(small.data) << " compressed\n";
        EXPECT_LT(small.data.size(), 16 * 1024u);
        uint32_t east = big->glyphFor(U'東');
        EXPECT_GT(fonttest::glyphInfo(small.data, 0, big->pdfCid(east)).points, 0);
    }
}

TEST(FontSubsetter, CffTableOfDamagedData)
{
    EXPECT_EQ(FontSubsetter::cffTable(""), "");
    EXPECT_EQ(FontSubsetter::cffTable("OTTO"), "");
    // A directory that claims a table beyond the end.
    std::string fake = std::string("OTTO\x00\x01", 6) + std::string(6, '\0') + "CFF " + std::string(4, '\0') +
                       std::string("\x00\x00\x00\x20\x7F\xFF\xFF\xFF", 8);
    EXPECT_EQ(FontSubsetter::cffTable(fake), "");
}
