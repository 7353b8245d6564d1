// Text blocks filled on placed pages, read back with poppler: where the words
// land (pdftotext -bbox), what colour they are (pdftoppm), how long values
// shrink and how flowing text wraps.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/blocks-engine/BlockTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/text-engine/TextTestSupport.h"

using blocktest::Placement;
using enginetest::Handle;
using texttest::Word;

namespace {

struct Box {
    double x0, y0, x1, y1;
};

::testing::AssertionResult inside(const Word& w, const Box& b, double tolerance = 1)
{
    if (w.text.empty())
        return ::testing::AssertionFailure() << "word not found";
    if (w.xMin >= b.x0 - tolerance && w.xMax <= b.x1 + tolerance && w.yMin >= b.y0 - tolerance &&
        w.yMax <= b.y1 + tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "'" << w.text << "' [" << w.xMin << " " << w.yMin << " " << w.xMax << " " << w.yMax
           << "] is not inside [" << b.x0 << " " << b.y0 << " " << b.x1 << " " << b.y1 << "]";
}

int fill(PDF* p, int page, const char* block, const std::string& text, const std::string& options = "")
{
    return PDF_fill_textblock(p, page, block, text.data(), static_cast<int>(text.size()), options.c_str());
}

// How many pixels of that colour letter lie inside the box.
int countColour(const enginetest::Raster& raster, const Box& b, char colour)
{
    int count = 0;
    for (int y = static_cast<int>(b.y0) + 1; y < static_cast<int>(b.y1); ++y)
        for (int x = static_cast<int>(b.x0) + 1; x < static_cast<int>(b.x1); ++x)
            count += raster.colour(x, y) == colour;
    return count;
}

}  // namespace

// The block follows the imported page: placed at its own size, scaled and
// moved, and turned by the page's /Rotate.
TEST(TextBlocks, LandInTheirRectanglesWhereverThePageIsPlaced)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    testsupport::TempDir dir;
    auto addBlocks = [](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
        b.addTextBlock(page, "name", "[40 200 360 240]", "/fontname /Helvetica /fontsize 16");
    };
    blocktest::writeTemplate(dir.file("form.pdf"), "[0 0 400 300]", addBlocks);
    blocktest::writeTemplate(dir.file("turned.pdf"), "[0 0 400 300]", addBlocks, "/Rotate 90");
    struct Case {
        const char* label;
        std::string templ;
        Placement placement;
        Box expected;  // the block's rectangle on the output page
        bool upright;  // whether the text runs left to right
    };
    const std::vector<Case> cases = {
        {"own size", "form.pdf", {"adjustpage", 0, 0}, {40, 200, 360, 240}, true},
        {"scaled", "form.pdf", {"scale 0.5", 100, 100}, {120, 200, 280, 220}, true},
        {"turned by /Rotate", "turned.pdf", {"adjustpage", 0, 0}, {200, 40, 240, 360}, false},
        {"rotated", "form.pdf", {"rotate=180", 500, 500}, {140, 260, 460, 300}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Handle p;
        const std::string text = blocktest::rendererText("Yamada Trading");
        blocktest::writeFilled(p, dir.file("out.pdf"), dir.file(c.templ), c.placement, [&](PDF* p, int page) {
            EXPECT_EQ(fill(p, page, "name", text, blocktest::rendererOptions(text)), 1);
        });
        std::vector<Word> words = texttest::words(dir.file("out.pdf"));
        EXPECT_TRUE(inside(texttest::word(words, "Yamada"), c.expected));
        EXPECT_TRUE(inside(texttest::word(words, "Trading"), c.expected));
        if (c.upright) {
            // position {0 50}: at the left edge, centred vertically.
            Word first = texttest::word(words, "Yamada");
            EXPECT_NEAR(first.xMin, c.expected.x0, 1.5);
            EXPECT_NEAR((first.yMin + first.yMax) / 2, (c.expected.y0 + c.expected.y1) / 2, 2);
        }
    }
}

TEST(TextBlocks, AutoShrinksALongValueAndNofitLetsItOverflow)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    testsupport::TempDir dir;
    blocktest::writeTemplate(
        dir.file("form.pdf"), "[0 0 300 200]", [](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
            b.addTextBlock(page, "auto", "[50 120 150 140]", "/fontname /Times-Roman /fontsize 14");
            b.addTextBlock(page, "nofit", "[50 50 150 70]", "/fontname /Times-Roman /fontsize 14");
        });
    const std::string value = "Internationale Handelsgesellschaft Yamada";
    Handle p;
    blocktest::writeFilled(p, dir.file("out.pdf"), dir.file("form.pdf"), {}, [&](PDF* p, int page) {
        EXPECT_EQ(fill(p, page, "auto", value), 1);
        EXPECT_EQ(fill(p, page, "nofit", value, "fitmethod=nofit"), 1);
    });
    std::vector<Word> words = texttest::words(dir.file("out.pdf"));
    std::vector<Word> shrunk, overflowing;
    for (const Word& w : words)
        (w.yMin > 100 ? shrunk : overflowing).push_back(w);
    ASSERT_EQ(shrunk.size(), 3u);
    ASSERT_EQ(overflowing.size(), 3u);
    for (const Word& w : shrunk)
        EXPECT_TRUE(inside(w, {50, 120, 150, 140}));
    // The whole width is used: the last word ends at the right edge.
    EXPECT_NEAR(shrunk.back().xMax, 150, 1.5);
    EXPECT_GT(overflowing.back().xMax, 200);
}

TEST(TextBlocks, BlockPropertiesAndOptionsThatOverrideThem)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    const std::string properties =
        "/fontname /Helvetica-Bold /fontsize 40 /fillcolor [1 0 0] /position [/right /center]";
    blocktest::writeTemplate(dir.file("form.pdf"), "[0 0 300 200]",
                             [&](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
                                 b.addTextBlock(page, "stored", "[20 120 280 180]", properties);
                                 b.addTextBlock(page, "overridden", "[20 20 280 80]", properties);
                             });
    Handle p;
    blocktest::writeFilled(p, dir.file("out.pdf"), dir.file("form.pdf"), {}, [&](PDF* p, int page) {
        EXPECT_EQ(fill(p, page, "stored", "MWM"), 1);
        EXPECT_EQ(
            fill(p, page, "overridden", "WMW", "fontsize=20 fillcolor={rgb 0 0 1} position={left bottom}"),
            1);
    });
    std::vector<Word> words = texttest::words(dir.file("out.pdf"));
    Word stored = texttest::word(words, "MWM");
    Word overridden = texttest::word(words, "WMW");
    EXPECT_NEAR(stored.xMax, 280, 1.5);
    EXPECT_NEAR(overridden.xMin, 20, 1.5);
    EXPECT_LT(overridden.yMin, 24);
    // The same letters at half the size.
    EXPECT_NEAR((overridden.yMax - overridden.yMin) * 2, stored.yMax - stored.yMin, 1);

    enginetest::Raster raster = enginetest::render(dir.file("out.pdf"));
    const Box top{20, 120, 280, 180}, bottom{20, 20, 280, 80};
    EXPECT_GT(countColour(raster, top, 'r'), 300);
    EXPECT_EQ(countColour(raster, top, 'b'), 0);
    EXPECT_GT(countColour(raster, bottom, 'b'), 100);
    EXPECT_EQ(countColour(raster, bottom, 'r'), 0);
}

TEST(TextBlocks, TextflowWrapsJapaneseAndLatinInsideTheBlock)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    REQUIRE_FONT(texttest::kGothic);
    testsupport::TempDir dir;
    const Box address{50, 150, 250, 300}, note{300, 150, 450, 300}, lines{50, 20, 450, 120};
    blocktest::writeTemplate(dir.file("form.pdf"), "[0 0 500 400]",
                             [&](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
                                 b.addTextBlock(page, "address", "[50 150 250 300]",
                                                std::string("/textflow true /fontsize 30 /fontname ") +
                                                    fixtures::hexString(texttest::kGothic));
                                 b.addTextBlock(page, "note", "[300 150 450 300]",
                                                "/textflow true /fontsize 30 /position [0 100]");
                                 b.addTextBlock(page, "lines", "[50 20 450 120]",
                                                "/textflow (true) /fontname /Courier /fontsize 12");
                             });
    const std::string addressText =
        "東京都千代田区丸の内一丁目1番1号 Marunouchi Building 35F, Chiyoda-ku, Tokyo 100-0005";
    const std::string noteText = "お届けは平日の午前中にお願いします。Thank you for your order.";
    Handle p;
    blocktest::writeFilled(p, dir.file("out.pdf"), dir.file("form.pdf"), {}, [&](PDF* p, int page) {
        std::string text = blocktest::rendererText(addressText);
        EXPECT_EQ(fill(p, page, "address", text, blocktest::rendererOptions(text)), 1);
        // As the renderer passes a font it loaded itself.
        int font = PDF_load_font(p, "HeiseiKakuGo-W5", 0, "UniJIS-UCS2-H", "");
        text = blocktest::rendererText(noteText);
        EXPECT_EQ(fill(p, page, "note", text, blocktest::rendererOptions(text, font)), 1);
        EXPECT_EQ(fill(p, page, "lines", "First line\nSecond line"), 1);
    });

    std::vector<Word> words = texttest::words(dir.file("out.pdf"));
    auto in = [&](const Box& b) {
        std::vector<Word> found;
        for (const Word& w : words)
            if ((w.xMin + w.xMax) / 2 > b.x0 && (w.xMin + w.xMax) / 2 < b.x1 &&
                (w.yMin + w.yMax) / 2 > b.y0 && (w.yMin + w.yMax) / 2 < b.y1)
                found.push_back(w);
        return found;
    };
    auto withoutSpaces = [](std::string s) {
        s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
        return s;
    };
    for (const auto& [box, text] : {std::pair{address, addressText}, std::pair{note, noteText}}) {
        std::vector<Word> found = in(box);
        std::string joined;
        std::set<int> baselines;
        for (const Word& w : found) {
            EXPECT_TRUE(inside(w, box));
            joined += w.text;
            baselines.insert(static_cast<int>(w.yMin));
        }
        EXPECT_EQ(joined, withoutSpaces(text));
        EXPECT_GE(baselines.size(), 3u) << "the text did not wrap";
    }
    // position [0 100]: the first line at the top of the block.
    double highest = 0;
    for (const Word& w : in(note))
        highest = std::max(highest, w.yMax);
    EXPECT_NEAR(highest, note.y1, 3);

    // A line feed ends a line; short lines keep the block's font size.
    Word first = texttest::word(words, "First");
    Word second = texttest::word(words, "Second");
    EXPECT_TRUE(inside(first, lines));
    EXPECT_TRUE(inside(second, lines));
    EXPECT_NEAR(first.xMin, 50, 1);
    EXPECT_NEAR(second.xMin, 50, 1);
    EXPECT_NEAR(first.yMin - second.yMin, 12 * 1.2, 0.5);
}

TEST(TextBlocks, DefaultTextBackgroundBorderAndJapaneseNames)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    QUILLON_REQUIRE_TOOL("pdftoppm");
    testsupport::TempDir dir;
    blocktest::writeTemplate(
        dir.file("form.pdf"), "[0 0 300 200]", [](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
            b.addTextBlock(page, "fallback", "[20 120 280 180]",
                           "/fontname /Helvetica /defaulttext (Unknown) /bgcolor [0 1 0] /bordercolor "
                           "[/DeviceRGB 0 0 1] "
                           "/linewidth 4");
            b.addTextBlock(page, "empty", "[20 70 280 100]", "/fontname /Helvetica");
            // 住所, stored under its UTF-8 bytes with a UTF-16 /Name.
            b.addTextBlock(
                page, "\xE4\xBD\x8F\xE6\x89\x80", "[20 10 280 40]",
                "/Name " + fixtures::hexString(fixtures::utf16be("住所")) + " /fontname /Helvetica");
        });
    Handle p;
    blocktest::writeFilled(p, dir.file("out.pdf"), dir.file("form.pdf"), {}, [&](PDF* p, int page) {
        EXPECT_EQ(fill(p, page, "fallback", ""), 1);
        EXPECT_EQ(fill(p, page, "empty", ""), 1);
        // 住所 in code page 932, as the configuration spells it.
        EXPECT_EQ(fill(p, page, "\x8FZ\x8F\x8A", "Tokyo"), 1);
    });
    std::vector<Word> words = texttest::words(dir.file("out.pdf"));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_TRUE(inside(texttest::word(words, "Unknown"), {20, 120, 280, 180}));
    EXPECT_TRUE(inside(texttest::word(words, "Tokyo"), {20, 10, 280, 40}));

    enginetest::Raster raster = enginetest::render(dir.file("out.pdf"));
    EXPECT_EQ(raster.colour(200, 130), 'g');  // the background, right of the text
    EXPECT_EQ(raster.colour(150, 120), 'b');  // the border, on the bottom edge
    EXPECT_EQ(raster.colour(150, 85), 'w');   // an empty block without default stays empty
}
