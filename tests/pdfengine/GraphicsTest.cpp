// Paths and the graphics state: what the content stream says and what
// poppler draws from it, and resources shared between pages.
#include <gtest/gtest.h>

#include <string>

#include "pdfengine/Handle.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;

namespace {

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The content of the open page so far.
std::string content(PDF* p)
{
    return p->engine.page().content().data();
}

TEST(GraphicsTest, RedLineAndFilledRectangleAreDrawnWhereTheyBelong)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("drawing.pdf");
    {
        Handle p;
        PDF_begin_document(p, path.c_str(), 0, "");
        PDF_begin_page_ext(p, 200, 100, "");
        // A red horizontal line 4 points wide at y = 80, from x = 20 to 180.
        PDF_setlinewidth(p, 4);
        PDF_setcolor(p, "stroke", "rgb", 1, 0, 0, 0);
        PDF_moveto(p, 20, 80);
        PDF_lineto(p, 180, 80);
        PDF_stroke(p);
        // A blue rectangle with a green border, 40 x 30 at (50, 20).
        PDF_set_graphics_option(p, "fillcolor={rgb 0 0 1} strokecolor={rgb 0 1 0} linewidth=2");
        PDF_rect(p, 50, 20, 40, 30);
        PDF_fill_stroke(p);
        // A grey square drawn with a negative width and height, filled only.
        PDF_setcolor(p, "fill", "gray", 0.5, 0, 0, 0);
        PDF_rect(p, 160, 50, -30, -30);
        PDF_fill(p);
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
    }
    EXPECT_EQ(run({"qpdf", "--check", path}).status, 0);
    Raster raster = render(path);
    ASSERT_EQ(raster.width, 200);
    ASSERT_EQ(raster.height, 100);
    EXPECT_EQ(raster.pixel(100, 80), 0xFF0000u);
    EXPECT_EQ(raster.pixel(25, 81), 0xFF0000u);
    EXPECT_EQ(raster.pixel(100, 85), 0xFFFFFFu) << "the line is 4 points wide";
    EXPECT_EQ(raster.pixel(10, 80), 0xFFFFFFu) << "the line starts at x = 20";
    EXPECT_EQ(raster.pixel(70, 35), 0x0000FFu);
    EXPECT_EQ(raster.pixel(50, 35), 0x00FF00u) << "the border";
    EXPECT_EQ(raster.pixel(70, 55), 0xFFFFFFu);
    const unsigned long grey = raster.pixel(145, 35);
    EXPECT_TRUE(grey == 0x7F7F7F || grey == 0x808080) << std::hex << grey;
    EXPECT_EQ(raster.pixel(165, 35), 0xFFFFFFu);
}

TEST(GraphicsTest, OperatorsAreWrittenOnceAndOnlyWhenTheStateChanges)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_setlinewidth(p, 1);                             // PDF's initial width: nothing to write
    PDF_setcolor(p, "fillstroke", "gray", 0, 0, 0, 0);  // initial colours too
    PDF_set_graphics_option(p, "linecap=0 linejoin=0 miterlimit=10");
    EXPECT_EQ(content(p), "");
    PDF_set_graphics_option(p,
                            "linewidth=0.5 linecap=1 linejoin=2 miterlimit=4 dasharray={3 1.5} dashphase=1");
    PDF_set_graphics_option(p, "linewidth=0.5 linecap=1");
    EXPECT_EQ(content(p), "[ 3 1.5 ] 1 d\n0.5 w\n1 J\n2 j\n4 M\n");
    PDF_setcolor(p, "fillstroke", "cmyk", 0.1, 0.2, 0.3, 0.4);
    PDF_setcolor(p, "stroke", "cmyk", 0.1, 0.2, 0.3, 0.4);
    PDF_setcolor(p, "fill", "rgb", 1.0 / 255, 128.0 / 255, 1, 0);
    EXPECT_TRUE(has(content(p), "4 M\n0.1 0.2 0.3 0.4 k\n0.1 0.2 0.3 0.4 K\n0.004 0.502 1 rg\n"))
        << content(p);
    PDF_set_graphics_option(p, "dasharray={}");
    EXPECT_TRUE(has(content(p), "rg\n[ ] 0 d\n")) << content(p);
}

TEST(GraphicsTest, WrittenNumbersKeepEveryColourStepAndAThousandthOfAPoint)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    // Colours usually come as 8-bit values: each of the 256 steps must read
    // back as itself.
    for (int step = 0; step < 256; ++step) {
        PDF_setcolor(p, "fill", "rgb", step / 255.0, 0.5, 0.5, 0);
        const std::string& written = content(p);
        const size_t end = written.rfind(" 0.5 0.5 rg\n");
        ASSERT_NE(end, std::string::npos) << step;
        const size_t begin = written.rfind('\n', end) + 1;
        const double value = std::stod(written.substr(begin, end - begin));
        EXPECT_EQ(static_cast<int>(value * 255 + 0.5), step) << written.substr(begin, end - begin);
    }
    PDF_moveto(p, 12.34567, 0.0004);
    PDF_lineto(p, -7.0006, 99.9996);
    EXPECT_TRUE(has(content(p), "12.346 0 m\n-7.001 100 l\n")) << content(p);
}

TEST(GraphicsTest, SaveAndRestoreBringBackTheStateTheyKept)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_setcolor(p, "stroke", "rgb", 1, 0, 0, 0);
    PDF_save(p);
    PDF_setcolor(p, "stroke", "rgb", 0, 0, 1, 0);
    PDF_setlinewidth(p, 3);
    PDF_restore(p);
    // After Q the stroke colour is red again, so setting red writes nothing;
    // the width is 1 again, so setting 3 writes it anew.
    PDF_setcolor(p, "stroke", "rgb", 1, 0, 0, 0);
    PDF_setlinewidth(p, 3);
    EXPECT_EQ(content(p), "1 0 0 RG\nq\n0 0 1 RG\n3 w\nQ\n3 w\n");
    PDF_moveto(p, 1, 2);
    PDF_lineto(p, 3.25, -4);
    PDF_closepath(p);
    PDF_moveto(p, 5, 5);
    PDF_rect(p, 0, 0, 10, 10);
    PDF_fill_stroke(p);
    EXPECT_TRUE(has(content(p), "3 w\n1 2 m\n3.25 -4 l\nh\n5 5 m\n0 0 10 10 re\nB\n")) << content(p);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
}

TEST(GraphicsTest, ContentStreamsAreCompressedAndReadBackUnchanged)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("content.pdf");
    {
        Handle p;
        PDF_begin_document(p, path.c_str(), 0, "masterpassword=m userpassword=u");
        for (int page = 0; page < 3; ++page) {
            PDF_begin_page_ext(p, 100, 100, "");
            if (page == 1) {
                for (int i = 0; i < 50; ++i) {
                    PDF_moveto(p, i, 0);
                    PDF_lineto(p, i, 100);
                    PDF_stroke(p);
                }
            }
            PDF_end_page_ext(p, "");
        }
        PDF_end_document(p, "");
    }
    const std::string raw = readFile(path);
    EXPECT_TRUE(has(raw, "/FlateDecode"));
    const std::string second = pageContent(path, 2, "u");
    EXPECT_EQ(second.substr(0, 17), "0 0 m\n0 100 l\nS\n1");
    EXPECT_TRUE(has(second, "49 0 m\n49 100 l\nS\n"));
    // A page without drawing has no content stream at all.
    RunResult json = run({"qpdf", "--json", "--json-key=pages", "--password=u", path});
    EXPECT_TRUE(has(json.out, "\"contents\": []")) << json.out;
}

TEST(GraphicsTest, AResourceUsedByEveryPageIsWrittenOnce)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("shared.pdf");
    const int pages = 200;
    {
        Handle p;
        PDF_begin_document(p, path.c_str(), 0, "");
        pdfengine::Document& document = p->engine.document();
        // A background form XObject, made once and kept under a key, as page
        // import keeps imported pages.
        auto background = document.pdf().newStream("0 0 1 rg 0 0 10 10 re f");
        background.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        background.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        background.getDict().replaceKey("/BBox", QPDFObjectHandle::parse("[0 0 10 10]"));
        document.shared().add("pdi:1:1:crop", background);
        for (int i = 0; i < pages; ++i) {
            PDF_begin_page_ext(p, 100, 100, "");
            pdfengine::Page& page = p->engine.page();
            auto shared = p->engine.document().shared().find("pdi:1:1:crop");
            const std::string name = page.useResource(pdfengine::ResourceType::XObject, shared);
            EXPECT_EQ(name, "X1");
            EXPECT_EQ(page.useResource(pdfengine::ResourceType::XObject, shared), "X1");
            page.content().op("q").raw("1 0 0 1 5 5").op("cm").name(name).op("Do").op("Q");
            PDF_end_page_ext(p, "");
        }
        EXPECT_FALSE(document.shared().find("other").isInitialized());
        PDF_end_document(p, "");
    }
    EXPECT_EQ(run({"qpdf", "--check", path}).status, 0);
    // Catalog, page tree, info, one XObject, one shared resource dictionary,
    // and a page object and a content stream per page, counted in a copy
    // without the object streams and the cross-reference stream.
    const std::string plain = dir.file("plain.pdf");
    ASSERT_EQ(run({"qpdf", "--object-streams=disable", path, plain}).status, 0);
    EXPECT_NE(readFile(path).find("/ObjStm"), std::string::npos);
    RunResult json = run({"qpdf", "--json", "--json-key=qpdf", plain});
    size_t objects = 0;
    for (size_t at = json.out.find("\"obj:"); at != std::string::npos; at = json.out.find("\"obj:", at + 1))
        ++objects;
    EXPECT_EQ(objects, 5u + 2u * pages);
}

}  // namespace
