// The places where fonts, imported pages and fields plug into the core: end
// hooks, kept-alive imported documents, the header version, the page
// dictionary.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "pdfengine/EngineError.h"
#include "pdfengine/Handle.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;

namespace {

TEST(ExtensionPointsTest, EndHooksSeeTheWholeDocumentBeforeItIsWritten)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TempDir dir;
    const std::string path = dir.file("hooked.pdf");
    Handle p;
    PDF_begin_document(p, path.c_str(), 0, "");
    int calls = 0;
    p->engine.document().addEndHook([&](pdfengine::Document& document) {
        ++calls;
        document.setInfo(
            "Subject", QPDFObjectHandle::newUnicodeString("pages: " + std::to_string(document.pageCount())));
    });
    for (int i = 0; i < 3; ++i) {
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_end_page_ext(p, "");
    }
    EXPECT_EQ(calls, 0);
    PDF_end_document(p, "");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(pdfinfoField(run({"pdfinfo", path}).out, "Subject"), "pages: 3");

    // A hook that fails stops the file from being written.
    PDF_begin_document(p, path.c_str(), 0, "");
    p->engine.document().addEndHook([](pdfengine::Document&) {
        throw pdfengine::EngineError(pdfengine::err::BadText, "Font 'X' cannot be subset");
    });
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_end_page_ext(p, "");
    remove(path.c_str());
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }), "5006 9 Font 'X' cannot be subset");
    EXPECT_FALSE(fileExists(path));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ExtensionPointsTest, ImportedObjectsAreWrittenAfterTheirDocumentWasReleased)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    // The document to import from: a red square in the lower left corner.
    const std::string source = dir.file("source.pdf");
    writeRedSquare(source);
    const std::string path = dir.file("placed.pdf");
    Handle p;
    PDF_begin_document(p, path.c_str(), 0, "");
    pdfengine::Document& document = p->engine.document();
    {
        auto imported = std::make_shared<QPDF>();
        imported->processFile(source.c_str());
        auto page = QPDFPageDocumentHelper(*imported).getAllPages().at(0);
        document.shared().add("pdi:1:1", document.pdf().copyForeignObject(page.getFormXObjectForPage()));
        document.keepAlive(imported);
    }
    // The imported page placed twice, on two pages, at different places.
    for (int i = 0; i < 2; ++i) {
        PDF_begin_page_ext(p, 200, 200, "");
        pdfengine::Page& page = p->engine.page();
        const std::string name =
            page.useResource(pdfengine::ResourceType::XObject, document.shared().find("pdi:1:1"));
        page.content().op("q").raw("1 0 0 1").number(i * 100).number(i * 100).op("cm").name(name).op("Do").op(
            "Q");
        PDF_end_page_ext(p, "");
    }
    PDF_end_document(p, "");
    EXPECT_EQ(run({"qpdf", "--check", path}).status, 0);
    Raster first = render(path, 1);
    EXPECT_EQ(first.pixel(25, 25), 0xFF0000u);
    EXPECT_EQ(first.pixel(125, 125), 0xFFFFFFu);
    Raster second = render(path, 2);
    EXPECT_EQ(second.pixel(25, 25), 0xFFFFFFu);
    EXPECT_EQ(second.pixel(125, 125), 0xFF0000u);
}

TEST(ExtensionPointsTest, ImportsRaiseTheVersionUnlessCompatibilityWasGiven)
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    p->engine.document().raiseVersion(15);
    EXPECT_EQ(p->engine.document().version(), 17);
    p->engine.document().raiseVersion(20);
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    long size = 0;
    EXPECT_EQ(std::string(PDF_get_buffer(p, &size), 8), "%PDF-2.0");

    PDF_begin_document(p, "", 0, "compatibility=1.4");
    p->engine.document().raiseVersion(20);
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    EXPECT_EQ(std::string(PDF_get_buffer(p, &size), 8), "%PDF-1.4");
}

TEST(ExtensionPointsTest, ThePageDictionaryExistsWhileThePageIsOpen)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("annotated.pdf");
    Handle p;
    PDF_begin_document(p, path.c_str(), 0, "");
    PDF_begin_page_ext(p, 100, 100, "");
    // A field's widget must name its page and be listed in the page's /Annots.
    QPDFObjectHandle page = p->engine.document().pageDictionary();
    auto widget = QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Square /Rect [10 10 50 50] >>");
    widget.replaceKey("/P", page);
    page.replaceKey("/Annots",
                    QPDFObjectHandle::newArray({p->engine.document().pdf().makeIndirectObject(widget)}));
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    const std::string pages = run({"qpdf", "--json", "--json-key=pages", path}).out;
    const size_t at = pages.find("\"object\": \"");
    ASSERT_NE(at, std::string::npos) << pages;
    const std::string pageObject = pages.substr(at + 11, pages.find('"', at + 11) - at - 11);
    const std::string objects = run({"qpdf", "--json", "--json-key=qpdf", path}).out;
    EXPECT_NE(objects.find("\"/P\": \"" + pageObject + "\""), std::string::npos) << pageObject << objects;
    EXPECT_NE(objects.find("\"/Annots\": ["), std::string::npos) << objects;
}

}  // namespace
