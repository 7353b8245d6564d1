// quillon-blocks as users run it: INI files written by the tests, PDFs made
// with qpdf, the output read back with the engine's block reader.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "pdfengine/BlockReader.h"
#include "pdfengine/PageTree.h"
#include "pdfengine/PdfRect.h"
#include "pdfengine/Qpdf.h"
#include "tests/support/TestSupport.h"
#include "tools/quillon-blocks/ShiftJis.h"

using namespace testsupport;
using pdfengine::BlockDefinition;
using pdfengine::PdfRect;

namespace {

struct PageSpec {
    double width = 595.8;
    double height = 843.25;
    int rotate = 0;
    std::optional<PdfRect> crop;
};

// A PDF of empty pages. sharedPieceInfo: every page refers to one indirect
// /PieceInfo dictionary that already holds a block named "old".
void writePdf(const std::string& path, const std::vector<PageSpec>& pages, bool sharedPieceInfo = false,
              const std::string& userPassword = "")
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper helper(pdf);
    QPDFObjectHandle shared;
    if (sharedPieceInfo) {
        shared = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /PDFlib << /LastModified (D:20240101000000) /Private << /Blocks << /old << /Type /Block "
            "/Subtype /Text /Rect [10 10 50 30] >> >> >> >> >>"));
    }
    for (const PageSpec& spec : pages) {
        auto page = QPDFObjectHandle::newDictionary();
        page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        page.replaceKey("/MediaBox", QPDFObjectHandle::newArray(
                                         QPDFObjectHandle::Rectangle(0, 0, spec.width, spec.height)));
        if (spec.crop)
            page.replaceKey("/CropBox", spec.crop->toObject());
        if (spec.rotate)
            page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(spec.rotate));
        if (shared.isInitialized())
            page.replaceKey("/PieceInfo", shared);
        helper.addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    }
    QPDFWriter writer(pdf, path.c_str());
    if (!userPassword.empty())
        writer.setR6EncryptionParameters(userPassword.c_str(), "owner", true, true, true, true, true, true,
                                         qpdf_r3p_full, true);
    writer.write();
}

// The blocks of every page, as the engine reads them.
std::vector<std::vector<BlockDefinition>> readBlocks(const std::string& path)
{
    QPDF pdf;
    pdf.processFile(path.c_str());
    pdfengine::BlockReader reader(
        [](std::string_view bytes) { return quillonblocks::shiftJisToUtf8(bytes); });
    std::vector<std::vector<BlockDefinition>> result;
    for (const auto& page : pdfengine::PageTree::walk(pdf, path))
        result.push_back(reader.read(page.dict));
    return result;
}

RunResult runTool(const std::vector<std::string>& arguments, const std::string& cwd = "")
{
    std::vector<std::string> argv{std::string(QUILLON_BINARY_DIR) + "/quillon-blocks"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return run(argv, cwd);
}

const BlockDefinition* find(const std::vector<BlockDefinition>& blocks, const std::string& name)
{
    return pdfengine::BlockReader::find(blocks, name);
}

void expectRect(const BlockDefinition& block, double llx, double lly, double urx, double ury)
{
    ASSERT_TRUE(block.rect.has_value()) << block.name;
    EXPECT_NEAR(block.rect->llx, llx, 1e-3) << block.name;
    EXPECT_NEAR(block.rect->lly, lly, 1e-3) << block.name;
    EXPECT_NEAR(block.rect->urx, urx, 1e-3) << block.name;
    EXPECT_NEAR(block.rect->ury, ury, 1e-3) << block.name;
}

double pt(double tenths)
{
    return tenths / 3.528;
}

TEST(QuillonBlocksTest, BlocksAreReadBackByTheEngineWithTheirNamesRectanglesAndProperties)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    writePdf(dir.file("form.pdf"), {PageSpec{}, PageSpec{}});
    writeFile(
        dir.file("blocks.ini"),
        "; blocks of the order form\r\n"
        "[customer]\r\n"
        "page=1\r\n"
        "x=200\r\ny=300\r\nwidth=800\r\nheight=60\r\n"
        "fontname=HeiseiKakuGo-W5\r\nfontsize=12\r\nfillcolor=000066\r\nstrokecolor=cmyk 0 0 0 1\r\n"
        "position=left center\r\nfitmethod=AUTO\r\nmargin=2 1.5\r\ncharspacing=-0.5\r\n"
        "wordspacing=3\r\nhorizscaling=90\r\nrotate=90\r\n"
        // 住所: the block's name comes from its section.
        "[\x8FZ\x8F\x8A]\r\n"
        "page=1\r\n"
        "x=200\r\ny=400\r\nwidth=1000\r\nheight=150\r\n"
        // 未記入
        "textflow=yes\r\ndefaulttext=\x96\xA2\x8BL\x93\xFC\r\nbordercolor=0.5\r\nbgcolor=rgb 1 1 0.8\r\n"
        "linewidth=0.5\r\n"
        "[picture]\r\n"
        // ロゴ
        "name=\x83\x8D\x83S\r\n"
        "type=Image\r\npage=2\r\n"
        "x=1600\r\ny=100\r\nwidth=300\r\nheight=200\r\n"
        "fitmethod=meet\r\nposition=50\r\ndefaultimage=logo.png\r\n"
        "[insert]\r\ntype=pdf\r\npage=2\r\nx=0\r\ny=0\r\nwidth=2102\r\nheight=2975\r\n");
    RunResult result = runTool({dir.file("form.pdf"), dir.file("blocks.ini"), dir.file("out.pdf")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(run({"qpdf", "--check", dir.file("out.pdf")}).status, 0);

    const auto pages = readBlocks(dir.file("out.pdf"));
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), 2u);
    ASSERT_EQ(pages[1].size(), 2u);
    for (const auto& page : pages)
        for (const BlockDefinition& block : page)
            EXPECT_TRUE(block.problems.empty()) << block.name << ": " << block.problems.front();

    const BlockDefinition* customer = find(pages[0], "customer");
    ASSERT_NE(customer, nullptr);
    EXPECT_EQ(customer->type, pdfengine::BlockType::Text);
    expectRect(*customer, pt(200), 843.25 - pt(360), pt(1000), 843.25 - pt(300));
    EXPECT_EQ(customer->fontName, "HeiseiKakuGo-W5");
    EXPECT_EQ(customer->fontSize, 12);
    ASSERT_TRUE(customer->fillColor);
    EXPECT_EQ(customer->fillColor->space, pdfengine::BlockColor::Space::Rgb);
    EXPECT_EQ(customer->fillColor->components, (std::vector<double>{0, 0, 0.4}));
    ASSERT_TRUE(customer->strokeColor);
    EXPECT_EQ(customer->strokeColor->components, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(customer->position, (std::array<double, 2>{0, 50}));
    EXPECT_EQ(customer->fitMethod, pdfengine::FitMethod::Auto);
    EXPECT_EQ(customer->margin, (std::array<double, 2>{2, 1.5}));
    EXPECT_EQ(customer->charSpacing, -0.5);
    EXPECT_EQ(customer->wordSpacing, 3);
    EXPECT_EQ(customer->horizScaling, 90);
    EXPECT_EQ(customer->rotate, 90);

    const BlockDefinition* address = find(pages[0], "\u4f4f\u6240");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->type, pdfengine::BlockType::Text);
    EXPECT_EQ(address->textFlow, true);
    EXPECT_EQ(address->defaultText, "\u672a\u8a18\u5165");
    EXPECT_EQ(address->borderColor->space, pdfengine::BlockColor::Space::Gray);
    EXPECT_EQ(address->bgColor->components, (std::vector<double>{1, 1, 0.8}));
    EXPECT_EQ(address->lineWidth, 0.5);
    // The key is the name in UTF-8 too, so readers of either find it.
    EXPECT_EQ(address->key, "\u4f4f\u6240");

    const BlockDefinition* logo = find(pages[1], "\u30ed\u30b4");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->type, pdfengine::BlockType::Image);
    expectRect(*logo, pt(1600), 843.25 - pt(300), pt(1900), 843.25 - pt(100));
    EXPECT_EQ(logo->position, (std::array<double, 2>{50, 50}));
    EXPECT_EQ(logo->defaultImage, "logo.png");
    const BlockDefinition* insert = find(pages[1], "insert");
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->type, pdfengine::BlockType::Pdf);
    // The whole page: 2102 x 2975 tenths of a millimetre are 595.8 x 843.25
    // points, less than a hundredth of a point rounded off.
    expectRect(*insert, 0, 0, 595.8, 843.25);
}

TEST(QuillonBlocksTest, RectanglesAreMeasuredOnThePageAsItIsDisplayed)
{
    TempDir dir;
    // The same corner block on pages turned every way, with a crop box away from the origin.
    const PdfRect crop{100, 50, 400, 250};  // 300 x 200 points
    std::vector<PageSpec> specs;
    for (int rotate : {0, 90, 180, 270})
        specs.push_back(PageSpec{500, 400, rotate, crop});
    writePdf(dir.file("turned.pdf"), specs);
    std::string ini;
    for (int page = 1; page <= 4; ++page)
        ini += "[corner" + std::to_string(page) + "]\npage=" + std::to_string(page) +
               "\nx=0\ny=0\nwidth=" + std::to_string(3.528 * 30) + "\nheight=" + std::to_string(3.528 * 10) +
               "\n";
    writeFile(dir.file("blocks.ini"), ini);
    RunResult result = runTool({dir.file("turned.pdf"), dir.file("blocks.ini"), dir.file("out.pdf")});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto pages = readBlocks(dir.file("out.pdf"));
    ASSERT_EQ(pages.size(), 4u);
    // A block 30 wide and 10 high in the top left corner as displayed. Turned
    // clockwise by 90, the page shows its lower left corner at the top left.
    expectRect(pages[0][0], 100, 240, 130, 250);
    expectRect(pages[1][0], 100, 50, 110, 80);
    expectRect(pages[2][0], 370, 50, 400, 60);
    expectRect(pages[3][0], 390, 220, 400, 250);
}

TEST(QuillonBlocksTest, BlocksAreAddedBesideThoseThePageHasAndReplaceThoseOfTheSameName)
{
    TempDir dir;
    // Both pages share one /PieceInfo holding the block "old".
    writePdf(dir.file("form.pdf"), {PageSpec{}, PageSpec{}}, true);
    writeFile(dir.file("first.ini"), "[new]\npage=1\nx=10\ny=10\nwidth=100\nheight=100\nfontsize=9\n");
    ASSERT_EQ(runTool({dir.file("form.pdf"), dir.file("first.ini"), dir.file("one.pdf")}).status, 0);
    writeFile(dir.file("second.ini"),
              "[new]\npage=1\nx=10\ny=10\nwidth=100\nheight=100\nfontsize=14\n"
              "[old]\npage=2\nx=20\ny=20\nwidth=50\nheight=50\n");
    RunResult result = runTool({dir.file("one.pdf"), dir.file("second.ini"), dir.file("two.pdf")});
    ASSERT_EQ(result.status, 0) << result.err;

    const auto pages = readBlocks(dir.file("two.pdf"));
    ASSERT_EQ(pages[0].size(), 2u);
    EXPECT_EQ(find(pages[0], "new")->fontSize, 14);
    expectRect(*find(pages[0], "old"), 10, 10, 50, 30);
    // Page 2's "old" was replaced there only; page 1 still has the shared one.
    ASSERT_EQ(pages[1].size(), 1u);
    expectRect(pages[1][0], pt(20), 843.25 - pt(70), pt(70), 843.25 - pt(20));
    // The first output is as it was written.
    EXPECT_EQ(find(readBlocks(dir.file("one.pdf"))[0], "new")->fontSize, 9);
}

TEST(QuillonBlocksTest, AUnicodeBlockFileWorksLikeAShiftJisOne)
{
    TempDir dir;
    writePdf(dir.file("form.pdf"), {PageSpec{}});
    writeFile(dir.file("blocks.ini"), "\xEF\xBB\xBF[\u4f4f\u6240]\npage=1\nx=1\ny=1\nwidth=10\nheight=10\n");
    ASSERT_EQ(runTool({dir.file("form.pdf"), dir.file("blocks.ini"), dir.file("out.pdf")}).status, 0);
    EXPECT_NE(find(readBlocks(dir.file("out.pdf"))[0], "\u4f4f\u6240"), nullptr);
}

TEST(QuillonBlocksTest, TheExampleOfTheDocumentationWorks)
{
    const std::string manual = readFile(sourcePath("docs/quillon-blocks.md"));
    const size_t start = manual.find("```ini\n");
    ASSERT_NE(start, std::string::npos);
    const size_t end = manual.find("```", start + 7);
    TempDir dir;
    writePdf(dir.file("order.pdf"), {PageSpec{}});
    // The manual is UTF-8; with its byte-order mark the INI file may be too.
    writeFile(dir.file("blocks.ini"), "\xEF\xBB\xBF" + manual.substr(start + 7, end - start - 7));
    RunResult result = runTool({dir.file("order.pdf"), dir.file("blocks.ini"), dir.file("out.pdf")});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto blocks = readBlocks(dir.file("out.pdf"))[0];
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_NE(find(blocks, "customer"), nullptr);
    EXPECT_NE(find(blocks, "\u4f4f\u6240"), nullptr);
    EXPECT_NE(find(blocks, "\u30ed\u30b4"), nullptr);
}

TEST(QuillonBlocksTest, MistakesAreReportedAndNoFileIsWritten)
{
    TempDir dir;
    writePdf(dir.file("form.pdf"), {PageSpec{}, PageSpec{}});
    writePdf(dir.file("locked.pdf"), {PageSpec{}}, false, "secret");
    const std::string rect = "x=10\ny=10\nwidth=100\nheight=100\n";
    const std::string ini = dir.file("blocks.ini");
    struct Case {
        std::string blocks;
        std::string message;  // after "quillon-blocks: "
    };
    const Case cases[] = {
        {"[a]\n" + rect, ini + " [a]: 'page' is missing"},
        {"[a]\npage=0\n" + rect, ini + " [a]: 'page' must be a page number from 1, not '0'"},
        {"[a]\npage=3\n" + rect, ini + " [a]: page 3 does not exist ('" + dir.file("form.pdf") + "' has 2)"},
        {"[a]\npage=1\nx=10\ny=10\nwidth=100\n", ini + " [a]: 'height' is missing"},
        {"[a]\npage=1\nx=10\ny=10\nwidth=0\nheight=5\n",
         ini + " [a]: 'width' must be a number above 0, not '0'"},
        {"[a]\npage=1\nx=-1\ny=10\nwidth=5\nheight=5\n",
         ini + " [a]: 'x' must be a number not below 0, not '-1'"},
        {"[a]\npage=1\nx=ten\ny=10\nwidth=5\nheight=5\n",
         ini + " [a]: 'x' must be a number not below 0, not 'ten'"},
        {"[a]\npage=1\nx=2000\ny=10\nwidth=200\nheight=5\n",
         ini + " [a]: the rectangle (x 2000, y 10, width 200, height 5) reaches beyond page 1 (2102 x 2975 "
               "tenths of a "
               "millimetre)"},
        {"[a]\npage=1\n" + rect + "[b]\nname=a\npage=1\n" + rect,
         ini + " [b]: page 1 already has a block of this name, from [a]"},
        {"[a]\npage=1\n" + rect + "[A]\npage=2\n" + rect, ini + ": section [A] appears more than once"},
        {"[a]\npage=1\ntype=picture\n" + rect,
         ini + " [a]: 'type' must be text, image or pdf, not 'picture'"},
        {"[a]\npage=1\n" + rect + "fillcolor=red\n",
         ini + " [a]: 'fillcolor' must be a colour (RRGGBB, or 1, 3 or 4 components from 0 to 1), not 'red'"},
        {"[a]\npage=1\n" + rect + "fillcolor=rgb 1 0\n",
         ini + " [a]: 'fillcolor' must be a colour (RRGGBB, or 1, 3 or 4 components from 0 to 1), not 'rgb 1 "
               "0'"},
        {"[a]\npage=1\n" + rect + "fitmethod=squeeze\n",
         ini + " [a]: 'fitmethod' must be nofit, meet, slice, entire, clip or auto, not 'squeeze'"},
        {"[a]\npage=1\n" + rect + "position=left left\n",
         ini + " [a]: 'position' must be a position (two percentages, or left, center, right and bottom, "
               "center, "
               "top), not 'left left'"},
        {"[a]\npage=1\n" + rect + "fontsize=0\n", ini + " [a]: 'fontsize' must be a number above 0, not '0'"},
        {"[a]\npage=1\n" + rect + "margin=1 2 3\n",
         ini + " [a]: 'margin' must be one or two numbers not below 0, not '1 2 3'"},
        {"[a]\npage=1\n" + rect + "textflow=maybe\n",
         ini + " [a]: 'textflow' must be true or false, not 'maybe'"},
        // A lead byte without its trail byte.
        {"[a]\npage=1\n" + rect + "defaulttext=\x82\n",
         ini + " [a]: 'defaulttext' is not valid Shift-JIS text"},
        {"[a]\npage=1\nname=" + std::string(128, 'n') + "\n" + rect,
         ini + " [a]: 'name' is longer than 127 bytes in UTF-8"},
        {"; nothing but a comment\n", ini + ": no block sections"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.blocks);
        writeFile(ini, c.blocks);
        RunResult result = runTool({dir.file("form.pdf"), ini, dir.file("out.pdf")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "quillon-blocks: " + c.message + "\n");
        EXPECT_FALSE(fileExists(dir.file("out.pdf")));
    }

    writeFile(ini, "[a]\npage=1\n" + rect);
    struct FileCase {
        std::vector<std::string> arguments;
        std::string message;
    };
    std::filesystem::create_symlink(dir.file("form.pdf"), dir.file("link.pdf"));
    const FileCase fileCases[] = {
        {{dir.file("form.pdf"), ini, dir.file("form.pdf")},
         "The output file '" + dir.file("form.pdf") + "' is the input file; write to another file"},
        {{dir.file("form.pdf"), ini, dir.file("link.pdf")},
         "The output file '" + dir.file("link.pdf") + "' is the input file; write to another file"},
        {{dir.file("nosuch.pdf"), ini, dir.file("out.pdf")},
         "Cannot read the PDF file '" + dir.file("nosuch.pdf") + "' (No such file or directory)"},
        {{dir.file("locked.pdf"), ini, dir.file("out.pdf")},
         "The PDF file '" + dir.file("locked.pdf") + "' needs a password"},
        {{dir.file("form.pdf"), dir.file("nosuch.ini"), dir.file("out.pdf")},
         "Cannot read the block file '" + dir.file("nosuch.ini") + "'"},
        {{dir.file("form.pdf"), ini, dir.file("no/such/out.pdf")},
         "Couldn't open PDF file '" + dir.file("no/such/out.pdf") +
             "' for writing (No such file or directory)"},
    };
    for (const FileCase& c : fileCases) {
        SCOPED_TRACE(c.message);
        RunResult result = runTool(c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "quillon-blocks: " + c.message + "\n");
    }
    EXPECT_TRUE(readBlocks(dir.file("form.pdf"))[0].empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);

    RunResult usage = runTool({dir.file("form.pdf"), ini});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "usage: quillon-blocks input.pdf blocks.ini output.pdf\n");
}

}  // namespace
