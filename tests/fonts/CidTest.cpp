#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pdfengine/CidCMap.h"
#include "pdfengine/CidStandardFont.h"
#include "pdfengine/FontError.h"
#include "pdfengine/FontFile.h"
#include "pdfengine/PdfJapaneseFont.h"
#include "tests/fonts/FontTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;

namespace {

const char* const kCMapNames[] = {"UniJIS-UCS2-H", "UniJIS-UCS2-HW-H", "UniJIS-UTF16-H", "90ms-RKSJ-H",
                                  "90msp-RKSJ-H"};

uint16_t cidOf(const char* cmap, uint32_t code)
{
    return CidCMap::find(cmap)->cid(code).value_or(0);
}

}  // namespace

TEST(CidCMap, EveryMappingAgreesWithTheCMapFile)
{
    REQUIRE_FILE(std::string(fonttest::kCMapDir) + "UniJIS-UCS2-H");
    for (const char* name : kCMapNames) {
        const CidCMap& cmap = *CidCMap::find(name);
        auto file = fonttest::cmapFile(name);
        ASSERT_GT(file.size(), 7000u) << name;
        for (const auto& [code, cid] : file) {
            std::optional<uint16_t> ours = cmap.cid(code);
            ASSERT_TRUE(ours.has_value()) << name << " " << std::hex << code;
            ASSERT_EQ(*ours, cid) << name << " " << std::hex << code;
        }
        // And nothing beyond: probe the whole two-byte range.
        for (uint32_t code = 0; code <= 0xFFFF; ++code) {
            if (!file.count(code)) {
                ASSERT_FALSE(cmap.cid(code).has_value()) << name << " " << std::hex << code;
            }
        }
    }
}

// The table that answers codes up to FFFF against the search of the ranges it
// is made from: every code of every CMap, through both ways of asking.
TEST(CidCMap, TableAgreesWithTheRangesForEveryCode)
{
    for (const char* name : kCMapNames) {
        const CidCMap& cmap = *CidCMap::find(name);
        size_t mapped = 0;
        size_t notdefRanges = 0;
        for (uint32_t code = 0; code <= 0xFFFF; ++code) {
            bool notdefRange = false;
            const std::optional<uint16_t> searched = cmap.searchRanges(code, notdefRange);
            const bool shows = searched && !notdefRange && *searched != 0;
            ASSERT_EQ(cmap.cid(code), shows ? searched : std::nullopt) << name << " " << std::hex << code;
            // next() reads the code from its bytes; only whole codes of the code
            // space are compared (the rest never reach the table).
            const std::string bytes = cmap.bytesOf(code);
            const CidCMap::Code read = cmap.next(bytes, 0);
            if (read.code == code && read.length == cmap.codeLength(code)) {
                ASSERT_EQ(read.mapped, shows) << name << " " << std::hex << code;
                ASSERT_EQ(read.cid, searched.value_or(0)) << name << " " << std::hex << code;
            }
            mapped += shows;
            notdefRanges += notdefRange;
        }
        // Both kinds of entries were there to be compared.
        EXPECT_GT(mapped, 7000u) << name;
        EXPECT_GT(notdefRanges, 0u) << name;
    }
}

TEST(CidCMap, KnownCodes)
{
    // The codes below and their CIDs as the CMap files give them.
    EXPECT_EQ(cidOf("UniJIS-UCS2-H", 0x0041), 34);          // A, proportional
    EXPECT_EQ(cidOf("UniJIS-UCS2-HW-H", 0x0041), 264);      // A, half-width
    EXPECT_EQ(cidOf("UniJIS-UCS2-H", 0xFF71), 343);         // half-width katakana a
    EXPECT_EQ(cidOf("UniJIS-UCS2-H", 0x65E5), 3284);        // 日
    EXPECT_EQ(cidOf("UniJIS-UCS2-H", 0x2460), 7555);        // ①
    EXPECT_EQ(cidOf("90ms-RKSJ-H", 0x8740), 7555);          // ① in the NEC special characters
    EXPECT_EQ(cidOf("90ms-RKSJ-H", 0x878A), 7618);          // ㈱
    EXPECT_EQ(cidOf("90ms-RKSJ-H", 0x878D), 7621);          // ㍾
    EXPECT_EQ(cidOf("UniJIS-UCS2-H", 0x3231), 7618);        // ㈱ through Unicode
    EXPECT_EQ(cidOf("90ms-RKSJ-H", 0xFA5C), 8359);          // 纊, an IBM extension kanji
    EXPECT_EQ(cidOf("90ms-RKSJ-H", 0x41), 264);             // half-width in 90ms
    EXPECT_EQ(cidOf("90msp-RKSJ-H", 0x41), 34);             // proportional in 90msp
    EXPECT_EQ(cidOf("90ms-RKSJ-H", 0xB1), 343);             // half-width katakana a
    EXPECT_EQ(cidOf("UniJIS-UTF16-H", 0xD842DFB7), 13706);  // 𠮷, a surrogate pair
    EXPECT_EQ(CidCMap::find("UniJIS-UCS2-H")->cid(0x0001), std::nullopt);   // control codes show notdef
    EXPECT_EQ(CidCMap::find("UniJIS-UTF16-H")->cid(0x01C0), std::nullopt);  // dropped from the base
    EXPECT_EQ(CidCMap::find("Identity-H"), nullptr);
}

TEST(CidCMap, KnownCodesMatchTheFilesWhereInstalled)
{
    REQUIRE_FILE(std::string(fonttest::kCMapDir) + "90ms-RKSJ-H");
    auto rksj = fonttest::cmapFile("90ms-RKSJ-H");
    for (uint32_t code : {0x8740u, 0x878Au, 0x878Du, 0xFA5Cu, 0x41u, 0xB1u})
        EXPECT_EQ(cidOf("90ms-RKSJ-H", code), rksj.at(code)) << std::hex << code;
    auto ucs2 = fonttest::cmapFile("UniJIS-UCS2-H");
    for (uint32_t code : {0x41u, 0xFF71u, 0x65E5u, 0x2460u})
        EXPECT_EQ(cidOf("UniJIS-UCS2-H", code), ucs2.at(code)) << std::hex << code;
    EXPECT_EQ(cidOf("UniJIS-UTF16-H", 0xD842DFB7), fonttest::cmapFile("UniJIS-UTF16-H").at(0xD842DFB7));
}

TEST(CidCMap, SplitsBytesIntoCodes)
{
    const CidCMap& sjis = *CidCMap::find("90ms-RKSJ-H");
    std::string text = "A\xB1\x87\x40\x93\xFA\xFD\x81";
    std::vector<std::pair<uint32_t, int>> codes;
    std::vector<bool> mapped;
    for (size_t pos = 0; pos < text.size();) {
        CidCMap::Code c = sjis.next(text, pos);
        codes.emplace_back(c.code, c.length);
        mapped.push_back(c.mapped);
        pos += c.length;
    }
    std::vector<std::pair<uint32_t, int>> expected = {{0x41, 1},   {0xB1, 1}, {0x8740, 2},
                                                      {0x93FA, 2}, {0xFD, 1}, {0x81, 1}};
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(mapped, (std::vector<bool>{true, true, true, true, false, false}));  // FD invalid, 81 cut off

    const CidCMap& utf16 = *CidCMap::find("UniJIS-UTF16-H");
    CidCMap::Code pair = utf16.next(std::string("\xD8\x42\xDF\xB7", 4), 0);
    EXPECT_EQ(pair.code, 0xD842DFB7u);
    EXPECT_EQ(pair.length, 4);
    EXPECT_TRUE(pair.mapped);
    CidCMap::Code lone = utf16.next(std::string("\xD8\x42\x00\x41", 4), 0);
    EXPECT_FALSE(lone.mapped);
    EXPECT_EQ(lone.length, 2);
    CidCMap::Code half = utf16.next(std::string("\x00", 1), 0);
    EXPECT_FALSE(half.mapped);
    EXPECT_EQ(half.length, 1);
    // UCS-2 has no surrogate pairs: each half is a code of its own, and no valid one.
    EXPECT_FALSE(CidCMap::find("UniJIS-UCS2-H")->next(std::string("\xD8\x42\xDF\xB7", 4), 0).mapped);

    EXPECT_EQ(utf16.codeFor(U'𠮷'), 0xD842DFB7u);
    EXPECT_EQ(utf16.bytesOf(0xD842DFB7), std::string("\xD8\x42\xDF\xB7", 4));
    EXPECT_EQ(CidCMap::find("UniJIS-UCS2-H")->codeFor(U'𠮷'), std::nullopt);
    EXPECT_EQ(sjis.codeFor(U'A'), std::nullopt);
    EXPECT_EQ(sjis.bytesOf(0x41), "A");
    EXPECT_EQ(sjis.bytesOf(0x8740), "\x87\x40");
    // The code written for missing characters selects CID 0 in every CMap.
    for (const char* name : kCMapNames) {
        const CidCMap& cmap = *CidCMap::find(name);
        CidCMap::Code c = cmap.next(cmap.bytesOf(cmap.notdefCode()), 0);
        EXPECT_EQ(c.cid, 0) << name;
        EXPECT_EQ(c.code, cmap.notdefCode()) << name;
    }
}

TEST(CidStandardFont, WidthsByClass)
{
    for (const char* name : {"HeiseiKakuGo-W5", "HeiseiMin-W3", "KozMinPro-Regular", "KozGoPro-Medium"}) {
        const CidStandardFont& font = *CidStandardFont::find(name);
        int a = font.width(cidOf("UniJIS-UCS2-H", 'A'));
        int i = font.width(cidOf("UniJIS-UCS2-H", 'i'));
        EXPECT_GT(a, i) << name;  // proportional
        EXPECT_NE(a, 500) << name;
        EXPECT_EQ(font.width(cidOf("UniJIS-UCS2-HW-H", 'A')), 500) << name;
        EXPECT_EQ(font.width(cidOf("UniJIS-UCS2-HW-H", 'i')), 500) << name;
        for (uint16_t cid = 327; cid <= 389; ++cid)
            EXPECT_EQ(font.width(cid), 500) << name << " " << cid;            // half-width katakana
        EXPECT_EQ(font.width(cidOf("UniJIS-UCS2-H", 0x65E5)), 1000) << name;  // 日
        EXPECT_EQ(font.width(cidOf("UniJIS-UCS2-H", 0x3042)), 1000) << name;  // あ
        EXPECT_EQ(font.width(cidOf("90ms-RKSJ-H", 0x8740)), 1000) << name;    // ①
        EXPECT_EQ(font.width(0), 1000) << name;
        FontDescriptor d = font.descriptor();
        EXPECT_EQ(d.ascent, 880);
        EXPECT_EQ(d.descent, -120);
        EXPECT_TRUE(d.flags & FontDescriptor::kSymbolic);
        EXPECT_EQ((d.flags & FontDescriptor::kSerif) != 0, font.mincho()) << name;
    }
    EXPECT_EQ(CidStandardFont::find("HeiseiMin"), nullptr);
}

// The width table against the runs it is made from, for every CID.
TEST(CidStandardFont, WidthTableAgreesWithTheRuns)
{
    for (const char* name : {"HeiseiKakuGo-W5", "HeiseiMin-W3", "KozMinPro-Regular", "KozGoPro-Medium"}) {
        const CidStandardFont& font = *CidStandardFont::find(name);
        size_t narrow = 0;
        for (uint32_t cid = 0; cid <= 0xFFFF; ++cid) {
            ASSERT_EQ(font.width(static_cast<uint16_t>(cid)), font.searchWidths(static_cast<uint16_t>(cid)))
                << name << " " << cid;
            narrow += font.width(static_cast<uint16_t>(cid)) != 1000;
        }
        EXPECT_GT(narrow, 300u) << name;
    }
}

// The proportional widths are those of the IPAex designs of the same CIDs.
TEST(CidStandardFont, ProportionalWidthsComeFromIpaex)
{
    REQUIRE_FILE(fonttest::kGothic);
    REQUIRE_FILE(fonttest::kMincho);
    std::string gothic = testsupport::readFile(fonttest::kGothic);
    std::string mincho = testsupport::readFile(fonttest::kMincho);
    for (uint16_t cid : {1, 34, 66, 95, 101, 9361}) {
        for (bool isMincho : {false, true}) {
            const std::string& bytes = isMincho ? mincho : gothic;
            uint32_t glyph = fonttest::glyphByName(bytes, "aj" + std::to_string(cid));
            ASSERT_NE(glyph, 0u) << cid;
            long advance = fonttest::glyphInfo(bytes, 0, glyph).advance;
            int expected = static_cast<int>(std::lround(advance * 1000.0 / 2048));
            const char* name = isMincho ? "HeiseiMin-W3" : "HeiseiKakuGo-W5";
            EXPECT_EQ(CidStandardFont::find(name)->width(cid), expected) << name << " " << cid;
        }
    }
}

TEST(PdfJapaneseFont, MapsCodesAndReplacesWhatTheCollectionLacks)
{
    PdfJapaneseFont font(*CidStandardFont::find("HeiseiMin-W3"), *CidCMap::find("UniJIS-UCS2-H"));
    GlyphRun run = font.mapUnicode(U"A日\U00020BB7\x01");
    ASSERT_EQ(run.glyphs.size(), 4u);
    EXPECT_EQ(run.glyphs[0].glyph, 34u);
    EXPECT_EQ(run.glyphs[1].glyph, 3284u);
    EXPECT_TRUE(run.glyphs[2].missing);  // beyond UCS-2
    EXPECT_TRUE(run.glyphs[3].missing);  // a control code
    EXPECT_EQ(run.missing, 2);
    EXPECT_EQ(run.codes, std::string("\x00\x41\x65\xE5\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(run.width, font.mapUnicode(U"A").width + 3000);
    EXPECT_EQ(run.wordSpaces, 0);  // two-byte codes: word spacing never applies

    PdfJapaneseFont sjis(*CidStandardFont::find("HeiseiKakuGo-W5"), *CidCMap::find("90ms-RKSJ-H"));
    GlyphRun bytes = sjis.mapBytes("A \x87\x40\xFD");
    EXPECT_EQ(bytes.codes, "A \x87\x40\x80");
    EXPECT_EQ(bytes.missing, 1);
    EXPECT_EQ(bytes.wordSpaces, 1);
    EXPECT_EQ(bytes.width, 500 + 500 + 1000 + 1000);
    // Unicode text goes to the code page 932 codes, as Windows encodes them; the
    // text of every code is known, so that it can be extracted.
    GlyphRun unicode = sjis.mapUnicode(U"A ①㈱ｱ\u00E9");
    EXPECT_EQ(unicode.codes, "A \x87\x40\x87\x8A\xB1\x80");
    EXPECT_EQ(unicode.missing, 1);
    EXPECT_EQ(unicode.glyphs[4].unicode, U'ｱ');
    EXPECT_EQ(bytes.glyphs[2].unicode, U'①');
    sjis.use(unicode);
    FontObjects shiftJis = sjis.objects();
    EXPECT_NE(shiftJis.toUnicode.find("<878A> <3231>"), std::string::npos) << shiftJis.toUnicode;
    EXPECT_NE(shiftJis.toUnicode.find("<B1> <FF71>"), std::string::npos) << shiftJis.toUnicode;

    font.use(run);
    FontObjects o = font.objects();
    EXPECT_EQ(o.kind, FontObjects::Kind::Type0);
    EXPECT_EQ(o.baseFont, "HeiseiMin-W3-UniJIS-UCS2-H");
    EXPECT_EQ(o.encodingName, "UniJIS-UCS2-H");
    EXPECT_EQ(o.cidFontType, "CIDFontType0");
    EXPECT_EQ(o.registry, "Adobe");
    EXPECT_EQ(o.ordering, "Japan1");
    EXPECT_EQ(o.supplement, 4);
    EXPECT_FALSE(o.program.has_value());
    EXPECT_EQ(CidWidthArray::toPdf(o.cidWidths),
              "[34 [" + std::to_string(font.mapUnicode(U"A").width) + "]]");
    EXPECT_NE(o.toUnicode.find("<65E5> <65E5>"), std::string::npos);
}
