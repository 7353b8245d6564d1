#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "pdfengine/FontError.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/FontSubsetter.h"
#include "pdfengine/PdfType0Font.h"
#include "tests/fonts/CffFontBuilder.h"
#include "tests/fonts/FontTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;

namespace {

// The message of the FontError a call raises, or "" when it raises none.
template <typename F>
std::string errorOf(F call)
{
    try {
        call();
    } catch (const FontError& e) {
        return e.what();
    }
    return "";
}

// Offset of a table in a single font file, 0 when it has none.
size_t tableOffset(const std::string& font, const char* tag)
{
    int tables = (uint8_t(font[4]) << 8) | uint8_t(font[5]);
    for (int t = 0; t < tables; ++t) {
        size_t record = 12 + 16 * t;
        if (font.compare(record, 4, tag) == 0)
            return (size_t(uint8_t(font[record + 8])) << 24) | (size_t(uint8_t(font[record + 9])) << 16) |
                   (size_t(uint8_t(font[record + 10])) << 8) | size_t(uint8_t(font[record + 11]));
    }
    return 0;
}

}  // namespace

TEST(FontFile, ReadsNamesMetricsAndCmap)
{
    REQUIRE_FILE(fonttest::kGothic);
    auto font = FontFile::load(fonttest::kGothic);
    EXPECT_EQ(font->format(), FontFile::Format::TrueType);
    EXPECT_EQ(font->postScriptName(), "IPAexGothic");
    EXPECT_EQ(font->familyName(), "IPAexGothic");
    EXPECT_EQ(font->unitsPerEm(), 2048);
    EXPECT_EQ(font->faceCount(), 1);
    EXPECT_GT(font->glyphCount(), 12000);
    EXPECT_TRUE(font->embeddingAllowed());
    uint32_t a = font->glyphFor(U'A');
    uint32_t kanji = font->glyphFor(U'漢');
    EXPECT_NE(a, 0u);
    EXPECT_NE(kanji, 0u);
    EXPECT_EQ(font->glyphFor(U'\U0001F600'), 0u);  // no emoji in IPAex
    EXPECT_EQ(font->unicodeOf(kanji), U'漢');
    EXPECT_EQ(font->width(kanji), 1000);
    FontDescriptor d = font->descriptor(true);
    EXPECT_EQ(d.fontName, "IPAexGothic");
    EXPECT_TRUE(d.flags & FontDescriptor::kSymbolic);
    EXPECT_FALSE(d.flags & FontDescriptor::kNonsymbolic);
    EXPECT_GT(d.ascent, 0);
    EXPECT_LT(d.descent, 0);
    EXPECT_GT(d.capHeight, 0);
    EXPECT_LT(d.capHeight, d.ascent);
    EXPECT_EQ(d.stemV, FontFile::stemVForWeight(400));
    EXPECT_TRUE(font->descriptor(false).flags & FontDescriptor::kNonsymbolic);
}

TEST(FontFile, AdvancesMatchFreeType)
{
    REQUIRE_FILE(fonttest::kMincho);
    std::string bytes = testsupport::readFile(fonttest::kMincho);
    auto font = FontFile::fromBytes(bytes, 0, "mincho");
    for (char32_t c : std::u32string(U"AWil .,あア漢字①ｱ")) {
        uint32_t glyph = font->glyphFor(c);
        ASSERT_NE(glyph, 0u);
        EXPECT_EQ(font->advance(glyph), fonttest::glyphInfo(bytes, 0, glyph).advance) << uint32_t(c);
    }
    for (uint32_t glyph : {0u, 1u, 100u, uint32_t(font->glyphCount() - 1)})
        EXPECT_EQ(font->advance(glyph), fonttest::glyphInfo(bytes, 0, glyph).advance) << glyph;
    EXPECT_FALSE(font->hasGlyph(font->glyphCount()));
    EXPECT_EQ(font->advance(font->glyphCount()), 0);
}

// Characters, widths and CIDs are looked up when first asked for. The answers
// must be those of the whole cmap read at once (a second copy of the font
// reads it, so that nothing one copy worked out answers for the other), for
// every character of the BMP asked in a scattered order, every character
// beyond it that the font maps and a sample of those it does not.
TEST(FontFile, LookupsAgreeWithTheWholeCmap)
{
    std::vector<std::string> sources;
    for (std::string path : {std::string(fonttest::kGothic), std::string(fonttest::kMincho),
                             std::string("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
                             std::string(fonttest::kOtfDir) + "NimbusSans-Regular.otf",
                             std::string(fonttest::kOtfDir) + "StandardSymbolsPS.otf"}) {
        if (fonttest::exists(path))
            sources.push_back(testsupport::readFile(path));
    }
    std::vector<fonttest::CffGlyph> glyphs;
    for (int i = 0; i < 300; ++i)
        glyphs.push_back({static_cast<char32_t>(i < 150 ? 0x4E00 + 3 * i : 0x20000 + i), 900 + i});
    sources.push_back(fonttest::buildCffFont("QuillonTest-Regular", glyphs));
    ASSERT_GE(sources.size(), 1u);

    for (const std::string& bytes : sources) {
        auto lazy = FontFile::fromBytes(bytes, 0, "lazy");
        auto whole = FontFile::fromBytes(bytes, 0, "whole");
        const std::string name = whole->postScriptName();
        const auto& map = whole->unicodeMap();
        ASSERT_FALSE(map.empty()) << name;
        std::vector<uint32_t> bmp(0x10000, 0);
        std::map<uint32_t, char32_t> lowest;  // glyph -> its lowest character
        for (const auto& [code, glyph] : map) {
            if (code <= 0xFFFF)
                bmp[code] = glyph;
            lowest.try_emplace(glyph, code);
        }
        for (const auto& [glyph, code] : lowest)
            EXPECT_EQ(lazy->codeFoundFor(glyph), 0u) << name << ": nothing looked up yet";

        int wrong = 0;
        for (uint32_t i = 0; i < 0x10000; ++i) {
            char32_t c = (i * 40503u) & 0xFFFF;  // every code once, pages in no order
            if (lazy->glyphFor(c) != bmp[c] && ++wrong <= 5)
                ADD_FAILURE() << name << ": U+" << std::hex << uint32_t(c) << " gives glyph " << std::dec
                              << lazy->glyphFor(c) << ", the cmap says " << bmp[c];
        }
        for (const auto& [code, glyph] : map) {
            if (code > 0xFFFF) {
                EXPECT_EQ(lazy->glyphFor(code), glyph) << name << " U+" << std::hex << uint32_t(code);
            }
        }
        for (char32_t c = 0x10000; c <= 0x10FFFF; c += 7919) {
            auto found = std::lower_bound(map.begin(), map.end(), std::make_pair(c, uint32_t{0}));
            uint32_t expected = found != map.end() && found->first == c ? found->second : 0;
            EXPECT_EQ(lazy->glyphFor(c), expected) << name << " U+" << std::hex << uint32_t(c);
        }
        EXPECT_EQ(lazy->glyphFor(0x110000), 0u);
        EXPECT_EQ(lazy->glyphFor(0xFFFFFFFF), 0u);
        // Every character of the BMP was asked for: each glyph was found by its lowest.
        for (const auto& [glyph, code] : lowest) {
            if (code <= 0xFFFF) {
                EXPECT_EQ(lazy->codeFoundFor(glyph), code) << name << " glyph " << glyph;
            }
        }

        for (uint32_t glyph = 0; glyph < static_cast<uint32_t>(whole->glyphCount());
             glyph += glyph < 300 ? 1 : 97) {
            int advance = static_cast<int>(fonttest::glyphInfo(bytes, 0, glyph).advance);
            EXPECT_EQ(lazy->advance(glyph), advance) << name << " glyph " << glyph;
            EXPECT_EQ(lazy->width(glyph), whole->toThousandths(advance)) << name << " glyph " << glyph;
            EXPECT_EQ(lazy->pdfCid(glyph), glyph) << name;
        }
        EXPECT_EQ(lazy->width(static_cast<uint32_t>(whole->glyphCount())), 0);
        EXPECT_EQ(lazy->codeFoundFor(static_cast<uint32_t>(whole->glyphCount())), 0u);
    }

    // A CID-keyed font's CIDs, asked for from the last glyph down.
    std::vector<fonttest::CffGlyph> keyed;
    for (int i = 0; i < 600; ++i)
        keyed.push_back({static_cast<char32_t>(0x4E00 + i), 1000, 1 + (i * 37) % 9000});
    auto cid = FontFile::fromBytes(fonttest::buildCffFont("QuillonTest-CID", keyed, true), 0, "cid.otf");
    ASSERT_TRUE(cid->cidKeyed());
    for (int i = 599; i >= 0; --i)
        EXPECT_EQ(cid->pdfCid(static_cast<uint32_t>(i + 1)), static_cast<uint32_t>(keyed[i].cid)) << i;
    EXPECT_EQ(cid->pdfCid(0), 0u);
    EXPECT_EQ(cid->pdfCid(601), 0u);
}

TEST(FontFile, ReadsEachFaceOfACollection)
{
    REQUIRE_FILE(fonttest::kGothic);
    REQUIRE_FILE(fonttest::kMincho);
    std::string ttc = fonttest::makeCollection(testsupport::readFile(fonttest::kGothic),
                                               testsupport::readFile(fonttest::kMincho));
    auto first = FontFile::fromBytes(ttc, 0, "both.ttc");
    auto second = FontFile::fromBytes(ttc, 1, "both.ttc");
    EXPECT_EQ(first->faceCount(), 2);
    EXPECT_EQ(first->postScriptName(), "IPAexGothic");
    EXPECT_EQ(second->postScriptName(), "IPAexMincho");
    EXPECT_EQ(second->faceIndex(), 1);
    EXPECT_NE(second->glyphFor(U'漢'), 0u);
    EXPECT_EQ(errorOf([&] { FontFile::fromBytes(ttc, 2, "both.ttc"); }),
              "Face index 2 of font file 'both.ttc' is out of range (the file has 2 faces)");
    EXPECT_EQ(errorOf([&] { FontFile::fromBytes(ttc, -1, "both.ttc"); }),
              "Face index -1 of font file 'both.ttc' is out of range (the file has 2 faces)");
}

TEST(FontFile, ReportsFilesThatAreNoFonts)
{
    EXPECT_EQ(errorOf([] { FontFile::load("/nonexistent/font.ttf"); }),
              "Couldn't open font file '/nonexistent/font.ttf' for reading (No such file or directory)");
    EXPECT_EQ(errorOf([] { FontFile::load("/tmp"); }), "Couldn't read font file '/tmp' (not a regular file)");
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("empty.ttf"), "");
    EXPECT_EQ(errorOf([&] { FontFile::load(dir.file("empty.ttf")); }),
              "Font file '" + dir.file("empty.ttf") +
                  "' is not a TrueType or OpenType font or collection (unsupported format)");
    EXPECT_EQ(errorOf([] { FontFile::fromBytes("%PDF-1.7 not a font at all", 0, "x.ttf"); }),
              "Font file 'x.ttf' is not a TrueType or OpenType font or collection (unsupported format)");
    EXPECT_EQ(errorOf([] { FontFile::fromBytes("", 0, "empty.ttf"); }),
              "Font file 'empty.ttf' is not a TrueType or OpenType font or collection (unsupported format)");
    EXPECT_EQ(errorOf([] { FontFile::fromBytes(std::string("wOFF") + std::string(40, '\0'), 0, "x.woff"); }),
              "Font file 'x.woff' is not a TrueType or OpenType font or collection (unsupported format)");
}

// Truncated and garbled copies of a real font give an error or a usable font,
// never a crash (the sanitizer build checks the "never").
TEST(FontFile, DamagedFilesGiveErrorsNotCrashes)
{
    REQUIRE_FILE(fonttest::kGothic);
    std::string good = testsupport::readFile(fonttest::kGothic);
    int errors = 0;
    auto tryLoad = [&](const std::string& bytes) {
        try {
            auto font = FontFile::fromBytes(bytes, 0, "damaged.ttf");
            // Whatever loads must answer queries within bounds.
            font->glyphFor(U'漢');
            font->width(font->glyphFor(U'A'));
            font->descriptor(true);
            std::set<uint32_t> glyphs = {font->glyphFor(U'A'), font->glyphFor(U'漢'), 1, 100};
            FontSubsetter::subset(*font, glyphs);
        } catch (const FontError& e) {
            ++errors;
            EXPECT_NE(std::string(e.what()).find("'damaged.ttf'"), std::string::npos) << e.what();
        }
    };
    for (size_t length :
         {size_t(4), size_t(12), size_t(100), size_t(300), size_t(1000), good.size() / 2, good.size() - 1})
        tryLoad(good.substr(0, length));
    // Garbling: the table directory, then every table's first bytes, with a fixed
    // pseudo-random sequence so that failures can be replayed.
    uint32_t state = 12345;
    auto random = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (int round = 0; round < 40; ++round) {
        std::string bad = good;
        size_t span = round < 20 ? 300 : bad.size();
        for (int i = 0; i < 30; ++i)
            bad[random() % span] = static_cast<char>(random());
        tryLoad(bad);
    }
    // hmtx and hhea cut short or claiming more than there is.
    std::string noMetrics = good;
    size_t hhea = tableOffset(good, "hhea");
    ASSERT_NE(hhea, 0u);
    noMetrics[hhea + 34] = noMetrics[hhea + 35] = 0;  // numberOfHMetrics = 0
    tryLoad(noMetrics);
    EXPECT_GE(errors, 8);
}

TEST(FontFile, EmbeddingPermission)
{
    REQUIRE_FILE(fonttest::kGothic);
    std::string bytes = testsupport::readFile(fonttest::kGothic);
    size_t os2 = tableOffset(bytes, "OS/2");
    ASSERT_NE(os2, 0u);
    auto withFsType = [&](uint16_t fsType) {
        std::string copy = bytes;
        copy[os2 + 8] = static_cast<char>(fsType >> 8);
        copy[os2 + 9] = static_cast<char>(fsType);
        return std::shared_ptr<const FontFile>(FontFile::fromBytes(copy, 0, "restricted.ttf"));
    };
    auto restricted = withFsType(0x0002);
    EXPECT_FALSE(restricted->embeddingAllowed());
    EXPECT_EQ(errorOf([&] { PdfType0Font(restricted, {}); }),
              "Font IPAexGothic of file 'restricted.ttf' doesn't allow embedding (fsType 2)");
    // Not embedding such a font is fine.
    PdfType0Font::Options noEmbedding;
    noEmbedding.embed = false;
    EXPECT_EQ(errorOf([&] { PdfType0Font(restricted, noEmbedding); }), "");
    EXPECT_TRUE(withFsType(0x0002 | 0x0004)->embeddingAllowed());  // the least restrictive bit counts
    EXPECT_TRUE(withFsType(0x0008)->embeddingAllowed());
    EXPECT_FALSE(withFsType(0x0200)->embeddingAllowed());  // bitmaps only
    EXPECT_FALSE(withFsType(0x0100)->subsettingAllowed());
    EXPECT_TRUE(withFsType(0x0100)->embeddingAllowed());
}

TEST(FontFile, ReadsCffOpenTypeFonts)
{
    std::string bytes =
        fonttest::buildCffFont("QuillonTest-Regular", {{U'A', 600}, {U'B', 650}, {U'漢', 1000}});
    auto font = FontFile::fromBytes(bytes, 0, "test.otf");
    EXPECT_EQ(font->format(), FontFile::Format::OpenTypeCff);
    EXPECT_FALSE(font->cidKeyed());
    EXPECT_EQ(font->postScriptName(), "QuillonTest-Regular");
    EXPECT_EQ(font->unitsPerEm(), 1000);
    EXPECT_EQ(font->glyphCount(), 4);
    EXPECT_EQ(font->glyphFor(U'B'), 2u);
    EXPECT_EQ(font->width(font->glyphFor(U'B')), 650);
    EXPECT_EQ(font->width(font->glyphFor(U'漢')), 1000);
    EXPECT_EQ(font->pdfCid(2), 2u);
    EXPECT_EQ(font->ascender(), 800);
    EXPECT_EQ(font->descender(), -200);
    // Cap height measured on the outline of H (absent), else the ascender.
    EXPECT_EQ(font->descriptor(true).capHeight, 800);

    // In a CID-keyed font PDF codes are the glyphs' CIDs.
    auto cid = FontFile::fromBytes(
        fonttest::buildCffFont("QuillonTest-CID", {{U'A', 600, 500}, {U'漢', 1000, 3000}}, true), 0,
        "cid.otf");
    EXPECT_TRUE(cid->cidKeyed());
    EXPECT_EQ(cid->pdfCid(cid->glyphFor(U'A')), 500u);
    EXPECT_EQ(cid->pdfCid(cid->glyphFor(U'漢')), 3000u);
    EXPECT_EQ(cid->pdfCid(0), 0u);
    EXPECT_EQ(cid->pdfCid(99), 0u);

    std::string path = std::string(fonttest::kOtfDir) + "NimbusSans-Regular.otf";
    if (fonttest::exists(path)) {
        auto nimbus = FontFile::load(path);
        EXPECT_EQ(nimbus->format(), FontFile::Format::OpenTypeCff);
        EXPECT_EQ(nimbus->postScriptName(), "NimbusSans-Regular");
        EXPECT_EQ(nimbus->width(nimbus->glyphFor(U'H')), 722);
    }
}
