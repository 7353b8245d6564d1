// Block definitions: names from every storage form, sorting, properties and
// their tolerated spellings.
#include "pdfengine/BlockReader.h"

#include <gtest/gtest.h>

#include "pdfengine/ImportedDocument.h"
#include "pdfengine/PageBlocks.h"
#include "pdfengine/PdfText.h"
#include "pdfengine/TextEncoding.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;
using fixtures::PdfBuilder;

namespace {

std::vector<std::string> names(const std::vector<BlockDefinition>& blocks)
{
    std::vector<std::string> result;
    for (const auto& b : blocks)
        result.push_back(b.name);
    return result;
}

}  // namespace

TEST(BlockReaderTest, NamesDecodeFromEveryStorageFormAndSortByBytes)
{
    PdfBuilder b;
    QPDFObjectHandle page = b.addPage();
    // Keys that are the names themselves, in UTF-8 and in Shift-JIS.
    b.addTextBlock(page, "zeta");
    b.addTextBlock(page, "Alpha");
    b.addTextBlock(page, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");  // 日本語
    b.addTextBlock(page, "\x83\x75\x83\x8D\x83\x62\x83\x4E");      // ブロック in Shift-JIS
    // /Name entries that differ from their keys.
    b.addTextBlock(page, "k1", "[0 0 1 1]", "/Name " + fixtures::hexString(fixtures::utf16be("住所")));
    b.addTextBlock(page, "k2", "[0 0 1 1]", "/Name <FFFE0F4E0D54>");    // 住名 ... UTF-16LE: U+4E0F U+540D
    b.addTextBlock(page, "k3", "[0 0 1 1]", "/Name (Caf\\351 \\200)");  // PDFDocEncoding: é and a bullet
    b.addTextBlock(page, "k4", "[0 0 1 1]", "/Name /#E6#B0#8F#E5#90#8D");  // 氏名 as a name
    b.addTextBlock(page, "k5", "[0 0 1 1]", "/Name <EFBBBFE5908D>");       // 名 after the UTF-8 mark
    b.addTextBlock(page, "k6", "[0 0 1 1]", "/Name ()");
    b.addBlock(page, "notablock", QPDFObjectHandle::newInteger(5));
    testsupport::TempDir dir;
    std::string path = dir.file("names.pdf");
    b.write(path);

    ImportOptions options;
    options.legacyNames = cp932ToUtf8;  // as the engine does
    auto doc = ImportedDocument::open(path, options);
    const auto& blocks = doc->blocks(1);
    EXPECT_EQ(names(blocks), (std::vector<std::string>{
                                 "",                                                  // k6: empty /Name
                                 "Alpha",                                             //
                                 "Caf\xC3\xA9 \xE2\x80\xA2",                          // k3
                                 "zeta",                                              //
                                 "\xE3\x83\x96\xE3\x83\xAD\xE3\x83\x83\xE3\x82\xAF",  // ブロック
                                 "\xE4\xB8\x8F\xE5\x90\x8D",                          // k2
                                 "\xE4\xBD\x8F\xE6\x89\x80",                          // k1 住所
                                 "\xE5\x90\x8D",                                      // k5 名
                                 "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",              // 日本語
                                 "\xE6\xB0\x8F\xE5\x90\x8D",                          // k4 氏名
                             }));
    EXPECT_EQ(blocks[0].key, "k6");
    EXPECT_EQ(blocks[4].key, "\x83\x75\x83\x8D\x83\x62\x83\x4E");
    EXPECT_EQ(blocks[9].key, "k4");

    // Looked up by name, or by the key's bytes.
    EXPECT_EQ(BlockReader::find(blocks, "\xE4\xBD\x8F\xE6\x89\x80"), &blocks[6]);
    EXPECT_EQ(BlockReader::find(blocks, "k1"), &blocks[6]);
    EXPECT_EQ(BlockReader::find(blocks, "\x83\x75\x83\x8D\x83\x62\x83\x4E"), &blocks[4]);
    EXPECT_EQ(BlockReader::find(blocks, "nothing"), nullptr);

    // Without a decoder for Shift-JIS the name is still UTF-8, though not the
    // intended one, and the key still finds the block.
    auto plain = ImportedDocument::open(path, {});
    const BlockDefinition* sjis = BlockReader::find(plain->blocks(1), "\x83\x75\x83\x8D\x83\x62\x83\x4E");
    ASSERT_NE(sjis, nullptr);
    EXPECT_TRUE(isValidUtf8(sjis->name));
    EXPECT_NE(sjis->name, blocks[4].name);
}

// The name index answers as the search in order does, for names, keys,
// names that are another block's key, repeated names and names given in code
// page 932, also when the same name is asked for again.
TEST(BlockReaderTest, PageIndexFindsWhatTheSearchFinds)
{
    // ブロック and 住所 in code page 932, and their UTF-8.
    const std::string blockSjis = "\x83\x75\x83\x8D\x83\x62\x83\x4E";
    const std::string blockUtf8 = "\xE3\x83\x96\xE3\x83\xAD\xE3\x83\x83\xE3\x82\xAF";
    const std::string addressSjis = "\x8F\x5A\x8F\x8A";
    const std::string addressUtf8 = "\xE4\xBD\x8F\xE6\x89\x80";
    const std::vector<std::pair<std::string, std::string>> namesAndKeys = {
        {"", "k6"},         {"a", "b"},         {"b", "a"},       {"dup", "d1"},
        {"dup", "d2"},      {"d1", "x"},        {"k6", "k7"},     {blockUtf8, blockSjis},
        {"x", addressSjis}, {addressUtf8, "y"}, {"same", "same"}, {"late", "dup"},
    };
    std::vector<BlockDefinition> definitions;
    for (const auto& [name, key] : namesAndKeys) {
        BlockDefinition block;
        block.name = name;
        block.key = key;
        definitions.push_back(block);
    }
    const PageBlocks page(definitions);
    const std::vector<BlockDefinition>& blocks = page.all();
    ASSERT_EQ(blocks.size(), definitions.size());

    std::vector<std::string> asked = {"",        "nothing",   "DUP",       "y ",   blockSjis,
                                      blockUtf8, addressSjis, addressUtf8, "\x83", "\xFF\xFE"};
    for (const auto& [name, key] : namesAndKeys) {
        asked.push_back(name);
        asked.push_back(key);
    }
    for (int round = 0; round < 2; ++round) {
        for (const std::string& name : asked) {
            const BlockDefinition* searched = BlockReader::find(blocks, name);
            EXPECT_EQ(page.find(name), searched) << name;
            const BlockDefinition* given = searched;
            if (!given)
                if (std::optional<std::string> utf8 = cp932ToUtf8(name))
                    given = BlockReader::find(blocks, *utf8);
            EXPECT_EQ(page.findAsGiven(name), given) << name << " round " << round;
        }
    }
    // The cases that make the order matter did occur.
    EXPECT_EQ(page.find("dup"), &blocks[3]);
    EXPECT_EQ(page.find("d1"), &blocks[5]);                // a name before another block's key
    EXPECT_EQ(page.findAsGiven(addressSjis), &blocks[8]);  // its key's bytes, not 住所's name
    EXPECT_EQ(page.findAsGiven("\x8F\x5A"), nullptr);
}

TEST(BlockReaderTest, PropertiesAreReadInTheirStoredSpellings)
{
    PdfBuilder b;
    QPDFObjectHandle page = b.addPage();
    b.addBlock(page, "full",
               b.parse("<< /Type /Block /Name (full) /Subtype /Text /Rect [300 700 100 650] "
                       "/fontname /HeiseiMin-W3 /fontsize 12.5 /fillcolor [1 0 0] /strokecolor [0.5] "
                       "/bgcolor [0 0.1 0.2 0.3] /bordercolor [/DeviceRGB 0 0 1] /position [/left /top] "
                       "/fitmethod /auto /margin 2 /charspacing -0.5 /wordspacing 1 /horizscaling 90 "
                       "/linewidth 0.25 /rotate 90 /textflow true /defaulttext <FEFF65E5672C> "
                       "/defaultimage (logo.png) >>"));
    // The same properties spelled otherwise: strings for keywords, keys in
    // capitals, colour spaces by their short names.
    b.addBlock(page, "spelled",
               b.parse("<< /Type /Block /Subtype (Image) /Rect [0 0 10 10] /FontName (Helvetica) "
                       "/FillColor [(rgb) 0 1 0] /StrokeColor [/DeviceGray 1] /BgColor [/DeviceCMYK 0 0 0 1] "
                       "/Position (center) /FitMethod (meet) /Margin [1 3] /TextFlow (false) >>"));
    b.addBlock(page, "numbers", b.parse("<< /Subtype /PDF /Rect [0 0 10 10] /position [25 75] >>"));
    b.addBlock(page, "bad",
               b.parse("<< /Subtype /Movie /Rect [0 0 10] /fontsize -3 /fillcolor [2 0 0] "
                       "/bordercolor [/DeviceRGB 0 0] /position [/top /left] /fitmethod /squeeze "
                       "/margin [1 2 3] /textflow 1 /rotate (ninety) >>"));
    BlockReader reader;
    auto blocks = reader.read(page);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(names(blocks), (std::vector<std::string>{"bad", "full", "numbers", "spelled"}));

    const BlockDefinition& full = blocks[1];
    EXPECT_EQ(full.type, BlockType::Text);
    EXPECT_EQ(full.rect, (PdfRect{100, 650, 300, 700}));
    EXPECT_EQ(full.fontName, "HeiseiMin-W3");
    EXPECT_EQ(full.fontSize, 12.5);
    EXPECT_EQ(full.fillColor, (BlockColor{BlockColor::Space::Rgb, {1, 0, 0}}));
    EXPECT_EQ(full.strokeColor, (BlockColor{BlockColor::Space::Gray, {0.5}}));
    EXPECT_EQ(full.bgColor, (BlockColor{BlockColor::Space::Cmyk, {0, 0.1, 0.2, 0.3}}));
    EXPECT_EQ(full.borderColor, (BlockColor{BlockColor::Space::Rgb, {0, 0, 1}}));
    EXPECT_EQ(full.position, (std::array<double, 2>{0, 100}));
    EXPECT_EQ(full.fitMethod, FitMethod::Auto);
    EXPECT_EQ(full.margin, (std::array<double, 2>{2, 2}));
    EXPECT_EQ(full.charSpacing, -0.5);
    EXPECT_EQ(full.wordSpacing, 1);
    EXPECT_EQ(full.horizScaling, 90);
    EXPECT_EQ(full.lineWidth, 0.25);
    EXPECT_EQ(full.rotate, 90);
    EXPECT_EQ(full.textFlow, true);
    EXPECT_EQ(full.defaultText, "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(full.defaultImage, "logo.png");
    EXPECT_TRUE(full.problems.empty());

    const BlockDefinition& spelled = blocks[3];
    EXPECT_EQ(spelled.type, BlockType::Image);
    EXPECT_EQ(spelled.fontName, "Helvetica");
    EXPECT_EQ(spelled.fillColor, (BlockColor{BlockColor::Space::Rgb, {0, 1, 0}}));
    EXPECT_EQ(spelled.strokeColor, (BlockColor{BlockColor::Space::Gray, {1}}));
    EXPECT_EQ(spelled.bgColor, (BlockColor{BlockColor::Space::Cmyk, {0, 0, 0, 1}}));
    EXPECT_EQ(spelled.position, (std::array<double, 2>{50, 50}));
    EXPECT_EQ(spelled.fitMethod, FitMethod::Meet);
    EXPECT_EQ(spelled.margin, (std::array<double, 2>{1, 3}));
    EXPECT_EQ(spelled.textFlow, false);
    EXPECT_TRUE(spelled.problems.empty());

    EXPECT_EQ(blocks[2].type, BlockType::Pdf);
    EXPECT_EQ(blocks[2].position, (std::array<double, 2>{25, 75}));
    EXPECT_FALSE(blocks[2].fontSize.has_value());

    // Unreadable properties are left out and listed; the block stays.
    const BlockDefinition& bad = blocks[0];
    EXPECT_EQ(bad.type, BlockType::Other);
    EXPECT_EQ(bad.subtype, "Movie");
    EXPECT_FALSE(bad.rect.has_value());
    EXPECT_FALSE(bad.fontSize || bad.fillColor || bad.borderColor || bad.position || bad.fitMethod ||
                 bad.margin || bad.textFlow || bad.rotate);
    EXPECT_EQ(bad.problems,
              (std::vector<std::string>{
                  "Rect: not an array of four numbers", "fontsize: not a positive number",
                  "fillcolor: not a colour", "bordercolor: not a colour", "position: not a position",
                  "fitmethod: not a fit method", "margin: not one or two non-negative numbers",
                  "rotate: not a number", "textflow: not a boolean"}));
}

TEST(BlockReaderTest, PagesWithoutTheDictionaryChainHaveNoBlocks)
{
    PdfBuilder b;
    BlockReader reader;
    EXPECT_TRUE(reader.read(b.addPage()).empty());
    EXPECT_TRUE(reader.read(b.addPage("[0 0 1 1]", "", "/PieceInfo << /PDFlib << /Private 5 >> >>")).empty());
    EXPECT_TRUE(reader.read(b.addPage("[0 0 1 1]", "", "/PieceInfo << /Other << >> >>")).empty());
    EXPECT_TRUE(
        reader.read(b.addPage("[0 0 1 1]", "", "/PieceInfo << /PDFlib << /Private << /Blocks [] >> >> >>"))
            .empty());
}

TEST(BlockReaderTest, TheDocumentedExampleReads)
{
    // The example of pdfengine/README.md, as written there.
    PdfBuilder b;
    QPDFObjectHandle page = b.addPage(
        "[0 0 595 842]", "",
        "/PieceInfo << /PDFlib << /LastModified (D:20240401120000) /Private << /Blocks << "
        "/customer << /Type /Block /Name (customer) /Subtype /Text /Rect [56 700 356 724] "
        "/fontname /HeiseiKakuGo-W5 /fontsize 12 /fillcolor [0 0 0.4] /position [/left /center] "
        "/fitmethod /auto /margin 2 >> "
        "/#E4#BD#8F#E6#89#80 << /Type /Block /Name <FEFF4F4F6240> /Subtype /Text /Rect [56 650 556 690] "
        "/textflow true /defaulttext <FEFF672A8A185165> /bordercolor [/DeviceGray 0.5] /linewidth 0.5 >> "
        "/logo << /Type /Block /Subtype /Image /Rect [450 760 540 820] /fitmethod (meet) /position [50 50] "
        "/defaultimage (logo.png) >> >> >> >> >>");
    auto blocks = BlockReader().read(page);
    ASSERT_EQ(names(blocks), (std::vector<std::string>{"customer", "logo", "\xE4\xBD\x8F\xE6\x89\x80"}));
    for (const auto& block : blocks)
        EXPECT_TRUE(block.problems.empty()) << block.name;
    EXPECT_EQ(blocks[0].position, (std::array<double, 2>{0, 50}));
    EXPECT_EQ(blocks[1].type, BlockType::Image);
    EXPECT_EQ(blocks[2].key, blocks[2].name);
    EXPECT_EQ(blocks[2].defaultText, "\xE6\x9C\xAA\xE8\xA8\x98\xE5\x85\xA5");  // 未記入
}
