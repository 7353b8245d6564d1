// What the engine keeps so that callers can repeat themselves cheaply must give
// what working everything out again gives: graphics option lists parsed once,
// font registrations sent again, Latin texts mapped in one pass and their
// measures kept while mapping.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pdfengine/EngineError.h"
#include "pdfengine/FontEncoding.h"
#include "pdfengine/GraphicsOptions.h"
#include "pdfengine/Handle.h"
#include "pdfengine/PdfStandardFont.h"
#include "pdfengine/StandardFont.h"
#include "pdfengine/TextFit.h"
#include "tests/support/EngineTestSupport.h"

using namespace pdfengine;
using enginetest::Handle;

namespace {

const std::vector<std::string> graphicsLists = {"linecap=0",
                                                "linecap=1",
                                                "linejoin=2",
                                                "dasharray={}",
                                                "dasharray={3 1.5}",
                                                "dashphase=2",
                                                "dasharray={4 1} dashphase=1",
                                                "miterlimit=4.5",
                                                "linewidth=0.25",
                                                "fillcolor={rgb 1 0 0}",
                                                "strokecolor={gray 0.5}",
                                                "strokecolor={cmyk 0 0 0 1}",
                                                "linewidth=2 linecap=2 linejoin=1 miterlimit=10",
                                                "LineCap=1",
                                                "linecap=0 linecap=2"};

TEST(RepeatedCallsTest, GraphicsListsGiveWhatParsingThemAgainGives)
{
    // More different lists than the cache keeps, in an order that evicts them.
    std::vector<std::string> lists = graphicsLists;
    for (int i = 0; i < 40; ++i)
        lists.push_back("linewidth=" + std::to_string(0.5 + i));
    std::mt19937 random(11);
    Handle cached;
    Handle fresh;
    for (PDF* p : {static_cast<PDF*>(cached), static_cast<PDF*>(fresh)}) {
        PDF_begin_document(p, "", 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
    }
    for (int call = 0; call < 2000; ++call) {
        const std::string& list = lists[random() % lists.size()];
        cached->engine.setGraphicsOptions(list);
        GraphicsOptions::parse(list).apply(fresh->engine.page());
    }
    EXPECT_EQ(cached->engine.page().content().data(), fresh->engine.page().content().data());
    EXPECT_GT(cached->engine.page().content().data().size(), 1000u);

    // A phase alone keeps the array; an array alone starts at phase 0.
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    Engine& engine = p->engine;
    for (const char* list : {"dasharray={3 1} dashphase=1", "dashphase=2", "dasharray={3 1}", "dashphase=2"})
        engine.setGraphicsOptions(list);
    EXPECT_EQ(engine.page().content().data(), "[ 3 1 ] 1 d\n[ 3 1 ] 2 d\n[ 3 1 ] 0 d\n[ 3 1 ] 2 d\n");

    // A list that fails fails every time, and one that the page refuses writes nothing.
    for (int i = 0; i < 3; ++i) {
        EXPECT_THROW(engine.setGraphicsOptions("linecap=7"), EngineError);
        EXPECT_THROW(engine.setGraphicsOptions("dasharray={0 0} linewidth=3"), EngineError);
    }
    EXPECT_EQ(engine.page().content().data(), "[ 3 1 ] 1 d\n[ 3 1 ] 2 d\n[ 3 1 ] 0 d\n[ 3 1 ] 2 d\n");
}

TEST(RepeatedCallsTest, ARepeatedRegistrationIsSkippedOnlyWhileItHolds)
{
    Handle p;
    Engine& engine = p->engine;
    auto outline = [&](const std::string& name) {
        auto found = engine.settings().fontOutlines.find(name);
        return found == engine.settings().fontOutlines.end() ? std::string("(none)") : found->second;
    };
    engine.setOptions("FontOutline={Gothic=/a.ttf}");
    engine.setOptions("FontOutline={Gothic=/a.ttf}");
    EXPECT_EQ(outline("Gothic"), "/a.ttf");
    engine.setOptions("FontOutline={Gothic=/b.ttf}");
    EXPECT_EQ(outline("Gothic"), "/b.ttf");
    // The list that was a repeat before is a change now.
    engine.setOptions("FontOutline={Gothic=/a.ttf}");
    EXPECT_EQ(outline("Gothic"), "/a.ttf");
    engine.setOptions("FontOutline={Gothic=/a.ttf}");
    engine.setOptions("FontOutline={Mincho=/m.ttf}");
    engine.setOptions("FontOutline={Gothic=/a.ttf}");
    EXPECT_EQ(outline("Gothic"), "/a.ttf");
    EXPECT_EQ(outline("Mincho"), "/m.ttf");
    EXPECT_THROW(engine.setOptions("FontOutline={Gothic}"), EngineError);
}

void expectSameRun(const GlyphRun& run, const GlyphRun& expected, const std::string& what)
{
    EXPECT_EQ(run.codes, expected.codes) << what;
    ASSERT_EQ(run.glyphs.size(), expected.glyphs.size()) << what;
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
        const GlyphRun::Glyph& a = run.glyphs[i];
        const GlyphRun::Glyph& b = expected.glyphs[i];
        EXPECT_TRUE(a.code == b.code && a.codeLength == b.codeLength && a.glyph == b.glyph &&
                    a.unicode == b.unicode && a.width == b.width && a.missing == b.missing)
            << what << ", glyph " << i;
    }
    EXPECT_EQ(run.width, expected.width) << what;
    EXPECT_EQ(run.missing, expected.missing) << what;
    EXPECT_EQ(run.wordSpaces, expected.wordSpaces) << what;
    EXPECT_EQ(run.spacings, expected.spacings) << what;
}

void expectSameMeasure(const GlyphRun& run, const std::string& what)
{
    const LineMeasure whole = LineMeasure::of(run);
    const LineMeasure counted = LineMeasure::of(run, {0, run.glyphs.size()});
    EXPECT_EQ(whole.advances, counted.advances) << what;
    EXPECT_EQ(whole.glyphs, counted.glyphs) << what;
    EXPECT_EQ(whole.spaces, counted.spaces) << what;
}

TEST(RepeatedCallsTest, LatinTextsMapAsCharacterByCharacter)
{
    std::mt19937 random(5);
    std::vector<std::string> texts = {"", " ", "Invoice  No. 2024-001 (paid)", std::string("\0 \xA0\xFF", 4)};
    std::string every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    texts.push_back(every);
    for (int i = 0; i < 50; ++i) {
        std::string text(random() % 80, ' ');
        for (char& c : text)
            c = static_cast<char>(random() % 3 == 0 ? ' ' : random());
        texts.push_back(text);
    }
    for (const char* fontName : {"Helvetica", "Times-BoldItalic", "Courier", "Symbol", "ZapfDingbats"}) {
        for (const char* encodingName : {"winansi", "macroman", "iso8859-1"}) {
            const StandardFont* standard = StandardFont::find(fontName);
            const FontEncoding* encoding = FontEncoding::find(encodingName);
            ASSERT_TRUE(standard && encoding) << fontName << " " << encodingName;
            PdfStandardFont font(*standard, *encoding);
            for (const std::string& text : texts) {
                GlyphRun expected;
                for (char c : text)
                    expected.add(font.mapBytes(std::string(1, c)).glyphs.at(0));
                const std::string what = std::string(fontName) + " " + encodingName + " '" + text + "'";
                const GlyphRun run = font.mapBytes(text);
                expectSameRun(run, expected, what);
                expectSameMeasure(run, what);
                std::u32string characters(text.begin(), text.end());
                for (char32_t& c : characters)
                    c &= 0xFF;
                expectSameMeasure(font.mapUnicode(characters), what + " as Unicode");
            }
        }
    }
    // Two-byte codes take the word spacing on the space character itself.
    GlyphRun wide;
    wide.add({.code = 0x20, .codeLength = 2, .glyph = 3, .unicode = U' ', .width = 250});
    wide.add({.code = 0x3042, .codeLength = 2, .glyph = 843, .unicode = U'\u3042', .width = 1000});
    wide.add({.code = 0x20, .codeLength = 2, .glyph = 3, .unicode = U' ', .width = 250});
    EXPECT_EQ(wide.spacings, 2);
    EXPECT_EQ(wide.wordSpaces, 0);
    expectSameMeasure(wide, "two-byte codes");
}

}  // namespace
