// Blocks that cannot be filled: the call returns -1 without calling the error
// handler, says why in the trace, and the document is still written. Hostile
// block definitions are bounded; mistakes in the option list stay fatal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/blocks-engine/BlockTestSupport.h"
#include "tests/images/ImageTestSupport.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/text-engine/TextTestSupport.h"

using enginetest::Handle;

namespace {

struct Failing {
    const char* label;
    std::function<int(PDF*, int page)> call;
    int errnum;
    std::string traced;  // a part of the call's trace line
};

void writeForm(const std::string& path)
{
    blocktest::writeTemplate(path, "[0 0 300 300]", [](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
        b.addTextBlock(page, "name", "[10 250 290 290]", "/fontname /Helvetica");
        b.addTextBlock(page, "nofont", "[10 200 290 240]", "/fontname /NoSuchFont-Quillon");
        b.addTextBlock(page, "flat", "[10 150 290 150]", "/fontname /Helvetica");
        // PDF numbers have no exponent: 1e300 written out.
        b.addTextBlock(page, "far", "[0 0 1" + std::string(300, '0') + ".0 10]", "/fontname /Helvetica");
        b.addBlock(page, "norect", b.parse("<< /Type /Block /Subtype /Text /fontname /Helvetica >>"));
        b.addBlock(page, "logo", b.parse("<< /Type /Block /Subtype /Image /Rect [10 10 100 100] >>"));
        b.addBlock(page, "odd", b.parse("<< /Type /Block /Subtype /Barcode /Rect [110 10 200 100] >>"));
    });
}

}  // namespace

TEST(BlockFailures, ReturnMinusOneAndTraceWhy)
{
    testsupport::TempDir dir;
    writeForm(dir.file("form.pdf"));
    testsupport::writeFile(dir.file("logo.png"), imagetest::solidPng(4, 4, 0x0000FF));
    const std::string form = dir.file("form.pdf");
    const std::vector<Failing> cases = {
        {"missing block", [](PDF* p, int page) { return PDF_fill_textblock(p, page, "nmae", "x", 0, ""); },
         2601,
         "PDF_fill_textblock(1, \"nmae\", \"x\", 0, \"\") = -1 -> error 2601 (value, non-fatal): Block "
         "'nmae' not "
         "found on page 1 of PDF file '" +
             form + "' (its blocks: 'far', 'flat', 'logo', 'name', 'nofont', 'norect', 'odd')"},
        {"image block as text",
         [](PDF* p, int page) { return PDF_fill_textblock(p, page, "logo", "x", 0, ""); }, 2602,
         "Block 'logo' on page 1 of PDF file '" + form + "' is an image block, not a text block"},
        {"text block as image", [](PDF* p, int page) { return PDF_fill_imageblock(p, page, "name", 1, ""); },
         2602, "is a text block, not an image block"},
        {"other subtype", [](PDF* p, int page) { return PDF_fill_textblock(p, page, "odd", "x", 0, ""); },
         2602, "is a block of subtype 'Barcode', not a text block"},
        {"unloadable font",
         [](PDF* p, int page) { return PDF_fill_textblock(p, page, "nofont", "x", 0, ""); }, 2301,
         "Couldn't fill block 'nofont' on page 1 of PDF file '" + form +
             "': Couldn't load font 'NoSuchFont-Quillon' with encoding 'unicode': font not found"},
        {"font handle of a failed load",
         [](PDF* p, int page) {
             PDF_load_font(p, "NoSuchFont-Quillon", 0, "winansi", "");
             return PDF_fill_textblock(p, page, "name", "x", 0, "font=-1");
         },
         4001, "font handle -1 is not valid; the last font load failed"},
        {"no area", [](PDF* p, int page) { return PDF_fill_textblock(p, page, "flat", "x", 0, ""); }, 2603,
         "has no area (280 x 0)"},
        {"beyond any page", [](PDF* p, int page) { return PDF_fill_textblock(p, page, "far", "x", 0, ""); },
         2603, "has a rectangle beyond 1e+06 points"},
        {"no rectangle", [](PDF* p, int page) { return PDF_fill_textblock(p, page, "norect", "x", 0, ""); },
         2603, "has no rectangle (/Rect)"},
        {"page -1", [](PDF* p, int) { return PDF_fill_textblock(p, -1, "name", "x", 0, ""); }, 4102,
         "Couldn't fill block 'name': PDI page handle -1 is not valid"},
        {"image page -1", [](PDF* p, int) { return PDF_fill_imageblock(p, -1, "logo", 1, ""); }, 4102,
         "PDI page handle -1 is not valid"},
        {"image -1",
         [&](PDF* p, int page) {
             PDF_load_image(p, "auto", dir.file("missing.png").c_str(), 0, "");
             return PDF_fill_imageblock(p, page, "logo", -1, "");
         },
         4301,
         "PDF_fill_imageblock(1, \"logo\", -1, \"\") = -1 -> error 4301 (index, non-fatal): Couldn't fill "
         "block "
         "'logo' on page 1 of PDF file '" +
             form + "': image handle -1 is not valid; the last image load failed: Couldn't open image file"},
        {"default image missing",
         [&](PDF* p, int page) {
             return PDF_fill_imageblock(p, page, "logo", -1,
                                        ("defaultimage={" + dir.file("gone.png") + "}").c_str());
         },
         2401, "Couldn't open image file"},
    };
    for (const Failing& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string trace = dir.file("trace.txt");
        Handle p;
        PDF_set_option(p, ("logging={filename={" + trace + "} remove}").c_str());
        int result = 0;
        blocktest::writeFilled(p, dir.file("out.pdf"), form, {}, [&](PDF* p, int page) {
            PDF_load_image(p, "auto", dir.file("logo.png").c_str(), 0, "");
            result = c.call(p, page);
            EXPECT_EQ(PDF_get_errnum(p), c.errnum) << PDF_get_errmsg(p);
        });
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(testsupport::fileExists(dir.file("out.pdf"))) << "the document was not written";
        std::string lines = testsupport::readFile(trace);
        EXPECT_NE(lines.find(c.traced), std::string::npos) << lines;
        EXPECT_NE(lines.find(", non-fatal): "), std::string::npos) << lines;
    }
}

// Values no page could use are ignored (and traced) or refused, never drawn
// as they are.
TEST(BlockFailures, HostileBlockDefinitionsAreBounded)
{
    QUILLON_REQUIRE_TOOL("pdftotext");
    testsupport::TempDir dir;
    blocktest::writeTemplate(
        dir.file("form.pdf"), "[0 0 300 300]", [](fixtures::PdfBuilder& b, QPDFObjectHandle page) {
            // PDF numbers have no exponent: 1e30, -1e12, 1e9 and 1e300 written out.
            b.addTextBlock(page, "huge", "[10 250 290 290]",
                           "/fontname /Helvetica /fontsize 1" + std::string(30, '0') + ".0 /charspacing -1" +
                               std::string(12, '0') + ".0 /horizscaling 0.000001 /margin 1" +
                               std::string(9, '0') + ".0");
            b.addTextBlock(page, "nan", "[10 200 290 240]",
                           "/fontname /Helvetica /fontsize (nan) /rotate 1" + std::string(300, '0') +
                               ".0 /position [(inf) 50] /fillcolor [2 0 0]");
            b.addTextBlock(page, "flow", "[10 100 290 190]",
                           "/fontname /Helvetica /textflow true /fontsize 9999");
            b.addTextBlock(page, "tiny", "[10 10 10.001 10.001]", "/fontname /Helvetica /textflow true");
        });
    const std::string trace = dir.file("trace.txt");
    Handle p;
    PDF_set_option(p, ("logging={filename={" + trace + "}}").c_str());
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "word" + std::to_string(i) + " ";
    blocktest::writeFilled(p, dir.file("out.pdf"), dir.file("form.pdf"), {}, [&](PDF* p, int page) {
        EXPECT_EQ(PDF_fill_textblock(p, page, "huge", "Huge", 0, ""), 1);
        EXPECT_EQ(PDF_fill_textblock(p, page, "nan", "Nan", 0, ""), 1);
        EXPECT_EQ(PDF_fill_textblock(p, page, "flow", many.c_str(), 0, ""), 1);
        EXPECT_EQ(PDF_fill_textblock(p, page, "tiny", "Tiny text", 0, ""), 1);
    });
    const std::string lines = testsupport::readFile(trace);
    EXPECT_NE(lines.find("block 'huge' on page 1 of PDF file '" + dir.file("form.pdf") +
                         "': fontsize 1e+30 is out of range (0 to 10000), ignored"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("horizscaling 1e-06 is out of range (1 to 10000), ignored"), std::string::npos);
    EXPECT_NE(lines.find("fontsize: not a positive number, ignored"), std::string::npos) << lines;

    std::vector<texttest::Word> words = texttest::words(dir.file("out.pdf"));
    texttest::Word huge = texttest::word(words, "Huge");
    EXPECT_GT(huge.xMin, 9);
    EXPECT_LT(huge.xMax, 291);
    EXPECT_GT(huge.yMin, 249);
    EXPECT_LT(huge.yMax, 291);
    texttest::Word last = texttest::word(words, "word299");
    EXPECT_GT(last.yMin, 99) << "flowing text left its block";
    EXPECT_LT(last.xMax, 291);
}

TEST(BlockFailures, MistakesInTheCallAreFatal)
{
    testsupport::TempDir dir;
    writeForm(dir.file("form.pdf"));
    struct Case {
        const char* options;
        std::string failure;
    };
    const std::vector<Case> cases = {
        {"fontsize=0", "1108 9 Option 'fontsize' must be greater than 0, not '0'"},
        {"fontsiz=12", "1101 8 Unknown option 'fontsiz'"},
        {"fitmethod=squeeze",
         "1109 9 Option 'fitmethod' does not accept 'squeeze' (expected nofit, meet, slice, entire, clip or "
         "auto)"},
        {"font=99", "4001 4 font handle 99 is not valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        Handle p;
        PDF_begin_document(p, "", 0, "");
        PDF_begin_page_ext(p, 300, 300, "");
        int doc = PDF_open_pdi_document(p, dir.file("form.pdf").c_str(), 0, "");
        int page = PDF_open_pdi_page(p, doc, 1, "");
        EXPECT_EQ(enginetest::failure(p, [&] { PDF_fill_textblock(p, page, "name", "x", 0, c.options); }),
                  c.failure);
    }
    Handle p;
    PDF_begin_document(p, "", 0, "");
    EXPECT_EQ(enginetest::failure(p, [&] { PDF_fill_imageblock(p, 1, "logo", 1, ""); }),
              "3001 3 Function 'PDF_fill_imageblock' must not be called in 'document' scope");
}

// Option lists parsed once are kept per handle for the next fills: a list
// that text blocks accept is still checked against the options of image blocks.
TEST(BlockFailures, KeptOptionListsAreCheckedForEachKindOfBlock)
{
    testsupport::TempDir dir;
    writeForm(dir.file("form.pdf"));
    const std::string textList = "fontsize=12 fitmethod=meet";
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 300, 300, "");
    int doc = PDF_open_pdi_document(p, dir.file("form.pdf").c_str(), 0, "");
    int page = PDF_open_pdi_page(p, doc, 1, "");
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(PDF_fill_textblock(p, page, "name", "x", 0, textList.c_str()), 1);
    EXPECT_EQ(enginetest::failure(p, [&] { PDF_fill_imageblock(p, page, "logo", -1, textList.c_str()); }),
              "1101 8 Unknown option 'fontsize'");
}
