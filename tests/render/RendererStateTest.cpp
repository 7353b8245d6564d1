// The renderer's state checks: which operation needs which state, in which order the
// checks run, and what each raises.
#include <gtest/gtest.h>

#include "tests/render/RenderFixture.h"

using namespace rendertest;

namespace {

TEST_F(RenderTest, NothingWorksBeforeInitialize)
{
    OpenRenderer renderer;
    TORPDFFile document("out.pdf");
    TORPDFPage page(1, 100, 100);
    TORPDFText text("x", 0x11, nullptr, nullptr);
    TORPDFArea area(nullptr, nullptr, nullptr, 0);
    TORPDFBlock block("b", 1, nullptr, nullptr, nullptr);
    double number = 0;
    int32_t integer = 0;
    char buffer[16];
    EXPECT_EQ(renderer.getPdf(), nullptr);
    EXPECT_RAISES(renderer.renderFile(&document), notInitialized);
    EXPECT_RAISES(renderer.renderFile(nullptr), notInitialized);
    EXPECT_RAISES(renderer.renderPage(&page), notInitialized);
    EXPECT_RAISES(renderer.renderText(&text), notInitialized);
    EXPECT_RAISES(renderer.renderArea(&area), notInitialized);
    EXPECT_RAISES(renderer.renderBlock(&block), notInitialized);
    EXPECT_RAISES(renderer.beginDocument("out.pdf"), notInitialized);
    EXPECT_RAISES(renderer.beginDocument(""), notInitialized);
    EXPECT_RAISES(renderer.setSearchPath(), notInitialized);
    EXPECT_RAISES(renderer.setDocumentInfo(), notInitialized);
    EXPECT_RAISES(renderer.openPdiDocument("in.pdf"), notInitialized);
    EXPECT_RAISES(renderer.openPdiPage(1), notInitialized);
    EXPECT_RAISES(renderer.fitPdiPage(1, 1, "adjustpage"), notInitialized);
    EXPECT_RAISES(renderer.processPdi(""), notInitialized);
    EXPECT_RAISES(renderer.getPdiNumber(number, "length:pages"), notInitialized);
    EXPECT_RAISES(renderer.getPdiInteger(integer, "length:pages"), notInitialized);
    EXPECT_RAISES(renderer.getPdiString(buffer, sizeof buffer, "/Root/Title", integer), notInitialized);
    EXPECT_RAISES(renderer.beginPage(100, 100), notInitialized);
    // These never raise, and do nothing without a handle.
    renderer.setOption("SearchPath", "/tmp");
    renderer.setInfo("Title", "x");
    renderer.closeDocument();
    renderer.endPage();
    renderer.terminate();
    renderer.abandon();
}

TEST_F(RenderTest, ChecksRunInTheirOrder)
{
    auto renderer = tracedRenderer();
    TORPDFPage page(1, 100, 100);
    TORPDFText text("x", 0x11, nullptr, nullptr);
    TORPDFArea area(nullptr, nullptr, nullptr, 0);
    TORPDFBlock block("b", 1, nullptr, nullptr, nullptr);
    double number = 0;
    int32_t length = 0;
    char buffer[16];

    // Without a document: D, and D* for import and queries.
    EXPECT_RAISES(renderer->renderPage(&page), noDocument);
    EXPECT_RAISES(renderer->renderPage(nullptr), noDocument);
    EXPECT_RAISES(renderer->beginPage(100, 100), noDocument);
    EXPECT_RAISES(renderer->renderText(&text), noDocument);
    EXPECT_RAISES(renderer->renderArea(&area), noDocument);
    EXPECT_RAISES(renderer->renderBlock(&block), noDocument);
    EXPECT_RAISES(renderer->openPdiDocument("in.pdf"), noDocument);
    EXPECT_RAISES(renderer->openPdiPage(1), noDocument);
    EXPECT_RAISES(renderer->processPdi("x"), noDocument);
    EXPECT_RAISES(renderer->getPdiNumber(number, "length:pages"), noDocument);
    EXPECT_RAISES(renderer->getPdiString(buffer, sizeof buffer, "/Root/Title", length), noDocument);
    EXPECT_RAISES(renderer->fitPdiPage(1, 1, nullptr), noDocument);
    EXPECT_RAISES(renderer->renderFile(nullptr), badFile);

    // A document, but no imported PDF and no page.
    ASSERT_TRUE(renderer->beginDocument(file("out.pdf").c_str()));
    EXPECT_RAISES(renderer->renderPage(nullptr), badPage);
    EXPECT_RAISES(renderer->openPdiDocument(nullptr), noPdiName);
    EXPECT_RAISES(renderer->openPdiPage(1), noPdiDocument);
    EXPECT_RAISES(renderer->processPdi(nullptr), noPdiDocument);
    EXPECT_RAISES(renderer->fitPdiPage(1, 1, nullptr), noPdiDocument);
    EXPECT_RAISES(renderer->getPdiNumber(number, "length:pages"), noPdiDocument);
    EXPECT_RAISES(renderer->renderText(&text), noPage);
    EXPECT_RAISES(renderer->renderArea(&area), noPage);
    EXPECT_RAISES(renderer->renderBlock(&block), noPage);

    // An output page, still no imported PDF.
    ASSERT_TRUE(renderer->beginPage(100, 100));
    EXPECT_RAISES(renderer->renderText(nullptr), badText);
    EXPECT_RAISES(renderer->renderArea(nullptr), badArea);
    EXPECT_RAISES(renderer->renderBlock(&block), noPdiDocument);
    EXPECT_RAISES(renderer->renderBlock(nullptr), noPdiDocument);

    // With an imported PDF but no imported page: Q for fitting and strings.
    testsupport::writeFile(file("in.pdf"), onePagePdf("0 0 200 300"));
    ASSERT_TRUE(renderer->openPdiDocument(file("in.pdf").c_str()));
    EXPECT_RAISES(renderer->fitPdiPage(1, 1, "adjustpage"), noPage);
    EXPECT_RAISES(renderer->getPdiString(buffer, sizeof buffer, "/Root/Title", length), noPage);
    EXPECT_RAISES(renderer->renderBlock(nullptr), badBlock);
    TORPDFBlock unnamed(nullptr, 1, nullptr, nullptr, nullptr);
    EXPECT_RAISES(renderer->renderBlock(&unnamed), badBlockName);
    // An empty name is a name; blocks are only checked for now.
    TORPDFBlock emptyName("", 1, "text", nullptr, nullptr);
    EXPECT_TRUE(renderer->renderBlock(&emptyName));

    // Ending the page also closes the imported page; the document stays.
    ASSERT_TRUE(renderer->openPdiPage(1));
    EXPECT_TRUE(renderer->pdiPageOpen);
    renderer->endPage();
    EXPECT_FALSE(renderer->pageOpen);
    EXPECT_FALSE(renderer->pdiPageOpen);
    EXPECT_EQ(renderer->getPdiPageHandle(), -1);
    EXPECT_TRUE(renderer->pdiDocumentOpen);
    renderer->closeDocument();
    EXPECT_FALSE(renderer->documentOpen);
    EXPECT_FALSE(renderer->pdiDocumentOpen);
    EXPECT_EQ(renderer->getPdiDocumentHandle(), -1);
}

TEST_F(RenderTest, AnEmptyOutputNameOnlyPreparesImport)
{
    auto renderer = tracedRenderer();
    ASSERT_TRUE(renderer->beginDocument(""));
    EXPECT_TRUE(renderer->noOutput);
    EXPECT_FALSE(renderer->documentOpen);
    EXPECT_EQ(trace().find("PDF_begin_document"), std::string::npos);

    testsupport::writeFile(file("in.pdf"), onePagePdf("0 0 200 300"));
    ASSERT_TRUE(renderer->openPdiDocument(file("in.pdf").c_str()));
    double count = 0;
    ASSERT_TRUE(renderer->getPdiNumber(count, "length:pages"));
    EXPECT_EQ(count, 1);
    // Strings need no imported page without output.
    char buffer[32];
    int32_t length = 0;
    ASSERT_TRUE(renderer->getPdiString(buffer, sizeof buffer, "/Root/Title", length));
    EXPECT_EQ(std::string(buffer), "Imported");

    TORPDFPage page(1, 100, 100);
    EXPECT_RAISES(renderer->renderPage(&page), noDocument);
    EXPECT_RAISES(renderer->beginPage(100, 100), noDocument);
    renderer->closeDocument();
    EXPECT_FALSE(renderer->noOutput);
    EXPECT_FALSE(renderer->pdiDocumentOpen);
}

TEST_F(RenderTest, AttachStoresOnlyIntoAnEmptyField)
{
    OpenRenderer renderer;
    TORPDFFile first, second;
    TORPDFPage pageOne(1, 1, 1), pageTwo(2, 1, 1);
    TORPDFText textOne(nullptr, 0, nullptr, nullptr), textTwo(nullptr, 0, nullptr, nullptr);
    TORPDFArea areaOne(nullptr, nullptr, nullptr, 0), areaTwo(nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(renderer.attachFile(&first)->attachFile(&second), &renderer);
    EXPECT_EQ(renderer.file, &first);
    renderer.attachPage(&pageOne)->attachPage(&pageTwo);
    EXPECT_EQ(renderer.page, &pageOne);
    renderer.attachText(&textOne)->attachText(&textTwo);
    EXPECT_EQ(renderer.text, &textOne);
    renderer.attachArea(&areaOne)->attachArea(&areaTwo);
    EXPECT_EQ(renderer.area, &areaOne);
}

TEST_F(RenderTest, EngineErrorsBecomeExceptionsWithTheEngineType)
{
    auto renderer = tracedRenderer();
    ASSERT_TRUE(renderer->beginDocument(file("out.pdf").c_str()));
    Raised raised = raisedBy([&] { renderer->beginPage(0, 100); });
    EXPECT_TRUE(raised.raised);
    EXPECT_EQ(raised.code, 9);
    EXPECT_EQ(raised.subCode, -1);
    EXPECT_EQ(raised.message, "Page width 0 is out of range (1 to 14400)");
    // The renderer keeps its state; abandoning it writes nothing.
    renderer->abandon();
    EXPECT_FALSE(testsupport::fileExists(file("out.pdf")));
    EXPECT_EQ(renderer->getPdf(), nullptr);
}

}  // namespace
