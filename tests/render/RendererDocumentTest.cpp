// The renderer at document level, read through the engine's trace: options,
// information, the document's option list, import and pCOS queries, ending and
// abandoning a document.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/render/RenderFixture.h"

using namespace rendertest;
using testsupport::fileExists;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

// Runs in a folder for as long as it lives.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& folder) : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(previous); }

private:
    std::filesystem::path previous;
};

TEST_F(RenderTest, TheTraceIsOnlyForBitZero)
{
    InFolder here(dir.path());
    {
        TORPDF renderer;
        renderer.debugFlags = 2;
        ASSERT_TRUE(renderer.initialize(nullptr));
        ASSERT_TRUE(renderer.initialize(nullptr));  // once only
    }
    EXPECT_FALSE(fileExists(file("pdflib_trace.txt")));
    {
        TORPDF renderer;
        renderer.debugFlags = 3;
        ASSERT_TRUE(renderer.initialize(""));
        renderer.setOption("SearchPath", "/tmp");
    }
    std::string lines = readFile(file("pdflib_trace.txt"));
    EXPECT_EQ(lines.rfind("PDF_set_option(\"\\xEF\\xBB\\xBFlogging={filename=pdflib_trace.txt}\")\n", 0), 0u)
        << lines;
    EXPECT_NE(lines.find("SearchPath={/tmp}"), std::string::npos) << lines;
    // A trace option switches bit 0 on by itself.
    TORPDF traced;
    std::string option = "filename=" + file("own.txt");
    ASSERT_TRUE(traced.initialize(option.c_str()));
    EXPECT_EQ(traced.debugFlags, 1);
    EXPECT_TRUE(fileExists(file("own.txt")));
}

TEST_F(RenderTest, OptionsAndInformationGoAsUtf8WhereNeeded)
{
    auto renderer = tracedRenderer();
    renderer->setOption("SearchPath", "/some dir");
    renderer->setOption("", "x");
    renderer->setOption("SearchPath", nullptr);
    // 日本
    renderer->setOption("SearchPath", "/\x93\xFA\x96\x7B");
    TORPDFFile document(file("out.pdf").c_str(), nullptr, "Creator Name", nullptr, "Monthly");
    // 山田 as the author
    document.setAuthor("\x8ER\x93\x63");
    renderer->attachFile(&document);
    ASSERT_TRUE(renderer->beginDocument(document.getPdfName()));
    ASSERT_TRUE(renderer->setDocumentInfo());
    renderer->setInfo("Keywords", nullptr);
    renderer->setInfo(nullptr, "x");
    std::vector<std::string> expected{
        "PDF_set_option(\"\\xEF\\xBB\\xBFSearchPath={/some dir}\")",
        "PDF_set_option(\"\\xEF\\xBB\\xBFSearchPath={/\\xE6\\x97\\xA5\\xE6\\x9C\\xAC}\")",
        "PDF_begin_document(\"" + file("out.pdf") + "\", 0, \"\") = 1",
        "PDF_set_info(\"Creator\", \"Creator Name\")",
        "PDF_set_info(\"Author\", \"\\xEF\\xBB\\xBF\\xE5\\xB1\\xB1\\xE7\\x94\\xB0\")",
        "PDF_set_info(\"Title\", \"Monthly\")",
    };
    EXPECT_EQ(traceFrom("PDF_set_option(\"\\xEF\\xBB\\xBFSearchPath"), expected);

    // toUtf8Option: the mark, then UTF-8; half-width katakana take three bytes each.
    std::unique_ptr<char[]> converted(TORPDF::toUtf8Option("\xB1\xB2"));
    EXPECT_EQ(std::string(converted.get()), "\xEF\xBB\xBF\xEF\xBD\xB1\xEF\xBD\xB2");
    converted.reset(TORPDF::toUtf8Option(""));
    EXPECT_EQ(std::string(converted.get()), "\xEF\xBB\xBF");
}

TEST_F(RenderTest, TheDocumentOptionListInItsOrder)
{
    struct Case {
        const char *compatibility, *master, *user, *permissions;
        std::string list;
    };
    const Case cases[] = {
        {"1.6", "m", "u", "noprint nocopy",
         "compatibility={1.6} masterpassword={m} userpassword={u} permissions={noprint nocopy}"},
        {nullptr, "m", nullptr, nullptr, "masterpassword={m} "},
        {nullptr, "m", nullptr, "nocopy", "masterpassword={m} permissions={nocopy}"},
        // Without a master password neither of the others is passed.
        {"1.4", nullptr, "u", "noprint", "compatibility={1.4} "},
        {nullptr, "", "u", nullptr, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        auto renderer = tracedRenderer();
        std::string name = file("out" + std::to_string(++n) + ".pdf");
        TORPDFFile document(name.c_str(), nullptr, nullptr, nullptr, nullptr, c.master, c.user,
                            c.permissions);
        document.setCompatibility(c.compatibility);
        renderer->attachFile(&document);
        ASSERT_TRUE(renderer->beginDocument(name.c_str()));
        EXPECT_NE(trace().find("PDF_begin_document(\"" + name + "\", 0, \"" + c.list + "\") = "),
                  std::string::npos)
            << trace();
        renderer->abandon();
    }
    // Without a document model the list is empty; a null name is an in-memory document.
    auto renderer = tracedRenderer();
    ASSERT_TRUE(renderer->beginDocument(nullptr));
    EXPECT_NE(trace().find("PDF_begin_document(\"\", 0, \"\") = "), std::string::npos);
}

TEST_F(RenderTest, AnOutputTheEngineRefusesWithoutRaising)
{
    // The engine reports an output it cannot create by returning -1 when asked to.
    auto renderer = tracedRenderer();
    renderer->setOption("errorpolicy", "return");
    EXPECT_RAISES(renderer->beginDocument(file("no/such/folder.pdf").c_str()), cannotCreateDocument);
    EXPECT_FALSE(renderer->documentOpen);
    EXPECT_NE(trace().find("PDF_begin_document(\"" + file("no/such/folder.pdf") + "\", 0, \"\") = -1"),
              std::string::npos)
        << trace();
}

TEST_F(RenderTest, AnOverlongDocumentOptionListIsRefusedBeforeTheEngine)
{
    // "compatibility={" + value + "} " is 511 bytes with a value of 494: it fits, and
    // the engine then judges the value.
    TORPDFFile document(file("out.pdf").c_str());
    document.setCompatibility(std::string(494, '9').c_str());
    auto renderer = tracedRenderer();
    renderer->attachFile(&document);
    Raised fits = raisedBy([&] { renderer->beginDocument(document.getPdfName()); });
    EXPECT_TRUE(fits.raised);
    EXPECT_NE(fits.code, -1);
    EXPECT_NE(trace().find("PDF_begin_document("), std::string::npos);

    document.setCompatibility(std::string(495, '9').c_str());
    auto second = std::make_unique<OpenRenderer>();
    ASSERT_TRUE(second->initialize(("filename=" + file("second.txt")).c_str()));
    second->attachFile(&document);
    EXPECT_RAISES(second->beginDocument(document.getPdfName()), cannotCreateDocument);
    EXPECT_EQ(readFile(file("second.txt")).find("PDF_begin_document("), std::string::npos);
    EXPECT_FALSE(second->documentOpen);
}

TEST_F(RenderTest, ImportAndQueries)
{
    writeFile(file("in.pdf"), onePagePdf("-2.9 2.9 200 300", "Form (1)"));
    writeFile(file("text.pdf"), "not a PDF at all\n");
    auto renderer = tracedRenderer();
    ASSERT_TRUE(renderer->beginDocument(file("out.pdf").c_str()));

    std::string missing = file("missing.pdf");
    // 入力 PDF ファイル '...' が見つかりません
    EXPECT_RAISES(renderer->openPdiDocument(missing.c_str()),
                  "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
                  "C\x83\x8B '" +
                      missing + "' \x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
    EXPECT_EQ(trace().find("PDF_open_pdi_document("), std::string::npos);
    // 入力 PDF ファイル '...' を開けません
    EXPECT_RAISES(renderer->openPdiDocument(file("text.pdf").c_str()),
                  "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
                  "C\x83\x8B '" +
                      file("text.pdf") + "' \x82\xF0\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1");
    EXPECT_FALSE(renderer->pdiDocumentOpen);

    ASSERT_TRUE(renderer->openPdiDocument(file("in.pdf").c_str()));
    // 入力 PDF ファイルのページ '2' を開けません
    EXPECT_RAISES(renderer->openPdiPage(2),
                  "\x93\xFC\x97\xCD PDF \x83t\x83@\x83"
                  "C\x83\x8B\x82\xCC\x83y\x81[\x83W '2' \x82\xF0\x8AJ\x82\xAF\x82\xDC"
                  "\x82\xB9\x82\xF1");
    EXPECT_TRUE(renderer->processPdi(""));
    EXPECT_TRUE(renderer->processPdi(nullptr));

    int32_t integer = 0;
    ASSERT_TRUE(renderer->getPdiInteger(integer, "/Root/Pages/Kids[0]/MediaBox[1]"));
    EXPECT_EQ(integer, 2);
    ASSERT_TRUE(renderer->getPdiInteger(integer, "/Root/Pages/Kids[0]/MediaBox[0]"));
    EXPECT_EQ(integer, -2);
    double number = 0;
    ASSERT_TRUE(renderer->getPdiNumber(number, "/Root/Pages/Kids[0]/MediaBox[0]"));
    EXPECT_DOUBLE_EQ(number, -2.9);

    ASSERT_TRUE(renderer->beginPage(100, 100));
    ASSERT_TRUE(renderer->openPdiPage(1));
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    int32_t length = 0;
    // "Form (1)" and four zero bytes need 12 bytes.
    EXPECT_FALSE(renderer->getPdiString(buffer, 11, "/Root/Title", length));
    EXPECT_EQ(length, 8);
    EXPECT_EQ(buffer[0], 'x');
    length = 0;
    ASSERT_TRUE(renderer->getPdiString(buffer, 12, "/Root/Title", length));
    EXPECT_EQ(length, 8);
    EXPECT_EQ(std::string(buffer, 12), std::string("Form (1)\0\0\0\0", 12));

    // Without options the imported page goes to the origin.
    ASSERT_TRUE(renderer->fitPdiPage(100, 100, nullptr));
    EXPECT_NE(trace().find("PDF_fit_pdi_page(1, 0, 0, \"\")"), std::string::npos) << trace();

    // A path is never a format: its % reaches the engine as it is, which finds no
    // such object. The engine's errors leave as exceptions with its error type...
    Raised formatted = raisedBy([&] { renderer->getPdiNumber(number, "/Root/%s%n"); });
    EXPECT_EQ(formatted.message, "pCOS path '/Root/%s%n' does not resolve");
    EXPECT_NE(formatted.code, -1);
    Raised missingKey =
        raisedBy([&] { renderer->getPdiString(buffer, sizeof buffer, "/Root/NoSuchKey", length); });
    EXPECT_TRUE(missingKey.raised);
    EXPECT_NE(missingKey.code, -1);
    // ...and the document that saw them writes no file.
    renderer->closeDocument();
    renderer->closeDocument();
    EXPECT_FALSE(fileExists(file("out.pdf")));
}

TEST_F(RenderTest, DestroyingEndsTheDocumentAbandoningDropsIt)
{
    writeFile(file("kept.pdf"), "older");
    {
        auto renderer = tracedRenderer();
        ASSERT_TRUE(renderer->beginDocument(file("kept.pdf").c_str()));
        ASSERT_TRUE(renderer->beginPage(100, 100));
        renderer->abandon();
        renderer->abandon();
    }
    EXPECT_EQ(readFile(file("kept.pdf")), "older");
    {
        auto renderer = tracedRenderer();
        ASSERT_TRUE(renderer->beginDocument(file("ended.pdf").c_str()));
        ASSERT_TRUE(renderer->beginPage(100, 100));
    }
    EXPECT_EQ(readFile(file("ended.pdf")).rfind("%PDF-", 0), 0u);
    {
        // A document without pages cannot be written; the destructor swallows that.
        auto renderer = tracedRenderer();
        ASSERT_TRUE(renderer->beginDocument(file("empty.pdf").c_str()));
    }
    EXPECT_FALSE(fileExists(file("empty.pdf")));
}

TEST_F(RenderTest, RenderFileWalksThePagesAndSkipsOtherElements)
{
    TORPDFFile document(file("out.pdf").c_str());
    document.setTrace(file("key.txt").c_str());
    auto* first = new TORPDFPage(1, 200, 100);
    TORPDFLineType lineType(2, 0, 0, 0, 0, 0, 0);
    first->add(new TORPDFArea(nullptr, nullptr, &lineType, 0));  // no points: nothing drawn
    document.add(first);
    document.add(new TORPDFPoint(1, 1));  // not a page
    document.add(new TORPDFPage(2, 100, 200));
    TORPDF renderer;
    ASSERT_TRUE(renderer.initialize(nullptr));
    ASSERT_TRUE(renderer.renderFile(&document));
    std::string lines = readFile(file("key.txt"));
    EXPECT_NE(lines.find("PDF_begin_page_ext(200, 100, \"\")\nPDF_setlinewidth("), std::string::npos)
        << lines;
    EXPECT_NE(
        lines.find("PDF_begin_page_ext(100, 200, \"\")\nPDF_end_page_ext(\"\")\nPDF_end_document(\"\")"),
        std::string::npos);
    EXPECT_EQ(lines.find("PDF_moveto"), std::string::npos);
    EXPECT_EQ(lines.find("PDF_rect"), std::string::npos);
    EXPECT_TRUE(fileExists(file("out.pdf")));
}

}  // namespace
