// The engine wrapper objects: every code of TORPDFlibException, the queries
// and their type tests, closing twice, and the current handle.
#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "foundation/TORException.h"
#include "render/TORPDFlib.h"
#include "render/TORPDFlibDoc.h"
#include "render/TORPDFlibException.h"
#include "render/TORPDFlibPdi.h"
#include "render/TORPDFlibPdiPage.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;
using fixtures::PdfBuilder;

namespace {

// The code the statement raises, or 0x7FFFFFFF when it raises nothing.
template <typename F>
int32_t codeOf(F&& statement)
{
    try {
        statement();
    } catch (const TORPDFlibException& e) {
        return e.code;
    }
    return 0x7FFFFFFF;
}

// A one-page PDF with objects of every type the queries test for.
class TORPDFlibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PdfBuilder b;
        QPDFObjectHandle page = b.addPage("[0 0 200 100]", "0 0 m 10 10 l S");
        // 住所 as a UTF-16 text string
        b.addTextBlock(page, "k", "[0 0 10 10]",
                       "/Name " + fixtures::hexString(fixtures::utf16be("\xE4\xBD\x8F\xE6\x89\x80")));
        QPDFObjectHandle info = b.parse("<< /Kind /Invoice /Title (Plain) /Count 7 /Ratio 0.5 /Flag true >>");
        info.replaceKey("/Note", b.pdf().newStream("\xE6\xB0\x8F\xE5\x90\x8D and more"));  // 氏名
        b.pdf().getTrailer().replaceKey("/Info", b.pdf().makeIndirectObject(info));
        path_ = dir_.file("form.pdf");
        b.write(path_);
    }

    TempDir dir_;
    std::string path_;
};

}  // namespace

TEST_F(TORPDFlibTest, TheExceptionIsACodeAndNothingElse)
{
    static_assert(!std::is_base_of_v<TORException, TORPDFlibException>);
    static_assert(std::is_base_of_v<TORPDFlibObject, TORPDFlibException>);
    TORPDFlibException original(0x4002);
    TORPDFlibException copy(original);
    EXPECT_EQ(copy.code, 0x4002);
}

TEST_F(TORPDFlibTest, TheMostRecentHandleObjectIsTheCurrentOne)
{
    EXPECT_EQ(currentPdflib, nullptr);
    {
        TORPDFlib first;
        EXPECT_EQ(currentPdflib, &first);
        ASSERT_NE(first.getHandle(), nullptr);
        auto second = std::make_unique<TORPDFlib>();
        EXPECT_EQ(currentPdflib, second.get());
        TORPDFlibPdi pdi(path_.c_str(), nullptr);
        EXPECT_GE(pdi.getDocument(), 1);
        second.reset();
        EXPECT_EQ(currentPdflib, nullptr);
        // Without a current handle every operation that checks it raises -1;
        // closing uses none and stays quiet.
        EXPECT_EQ(codeOf([&] { pdi.getType("/Info"); }), -1);
        EXPECT_EQ(codeOf([&] { TORPDFlibDoc("", ""); }), -1);
        EXPECT_EQ(codeOf([&] { TORPDFlibPdi(path_.c_str(), nullptr); }), -1);
        EXPECT_EQ(codeOf([&] { pdi.close(); }), 0x7FFFFFFF);
    }
    EXPECT_EQ(currentPdflib, nullptr);
}

TEST_F(TORPDFlibTest, EveryWrapperCodeIsRaisedWhereItBelongs)
{
    TORPDFlib pdflib;
    // Preconditions the wrappers test before the engine is asked.
    EXPECT_EQ(codeOf([&] { TORPDFlibDoc(nullptr, ""); }), -2);
    EXPECT_EQ(codeOf([&] { TORPDFlibPdi(nullptr, nullptr); }), -4);
    EXPECT_EQ(codeOf([&] { TORPDFlibPdiPage(nullptr, 1); }), 0x4001);

    // What the engine refuses with -1.
    EXPECT_EQ(codeOf([&] { TORPDFlibPdi(dir_.file("missing.pdf").c_str(), nullptr); }), 0x3001);
    EXPECT_EQ(PDF_get_errnum(pdflib.getHandle()), 2201);
    {
        TORPDFlibPdi pdi(path_.c_str(), nullptr);
        EXPECT_EQ(codeOf([&] { TORPDFlibPdiPage(&pdi, 2); }), 0x4002);
        EXPECT_EQ(PDF_get_errnum(pdflib.getHandle()), 4103);
        TORPDFlibPdiPage page(&pdi, 1);
        page.close();
        EXPECT_EQ(codeOf([&] { page.fillTextblock("k", "text", ""); }), 0x4003);
        page.close();  // twice: nothing happens
        pdi.close();
        pdi.close();
        EXPECT_EQ(codeOf([&] { pdi.getType("/Info"); }), 0x3002);
        EXPECT_EQ(codeOf([&] { page.fillTextblock("k", "text", ""); }), 0x4001);
        EXPECT_EQ(codeOf([&] { TORPDFlibPdiPage(&pdi, 1); }), 0x4001);
    }
    // A document that cannot be begun: -1 under errorpolicy=return, else the
    // engine's own error, whose code is the engine's error type.
    pdflib.setParameter("errorpolicy", "return");
    EXPECT_EQ(codeOf([&] { TORPDFlibDoc(dir_.file("no/such/folder.pdf").c_str(), ""); }), 0x1001);
    pdflib.setParameter("errorpolicy", "exception");
    EXPECT_EQ(codeOf([&] { TORPDFlibDoc(dir_.file("no/such/folder.pdf").c_str(), ""); }), PDF_IOError);
    EXPECT_EQ(PDF_get_errnum(pdflib.getHandle()), 2001);
    // A query the engine cannot parse.
    TORPDFlibPdi pdi(path_.c_str(), nullptr);
    EXPECT_EQ(codeOf([&] { pdi.getNumber("length:pages[x]"); }), PDF_SyntaxError);
}

TEST_F(TORPDFlibTest, QueriesAnswerOnlyForTheirTypes)
{
    TORPDFlib pdflib;
    TORPDFlibDoc document("", "");
    TORPDFlibPdi pdi(path_.c_str(), nullptr);
    TORPDFlibPdiPage page(&pdi, 1);

    EXPECT_EQ(pdi.getType("/Info/Kind"), 3);
    EXPECT_EQ(pdi.getType("/Info/Missing"), 0);
    // length: goes to the engine without a type test.
    EXPECT_EQ(pdi.getNumber("length:pages"), 1.0);
    EXPECT_EQ(pdi.getNumber("length:pages[0]/blocks"), 1.0);
    EXPECT_EQ(pdi.getNumber("/Info/Count"), 7.0);
    EXPECT_EQ(pdi.getNumber("/Info/Flag"), 1.0);
    EXPECT_EQ(pdi.getNumber("/Info/Title"), 0.0);
    EXPECT_EQ(pdi.getNumber("/Info/Missing"), 0.0);

    std::unique_ptr<char[]> text(pdi.getString("/Info/Kind"));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text.get(), "Invoice");
    text.reset(pdi.getString("/Info/Flag"));
    EXPECT_STREQ(text.get(), "true");
    // Text comes back as Shift-JIS: 住所
    text.reset(pdi.getString("pages[0]/blocks[0]/Name"));
    EXPECT_STREQ(text.get(), "\x8FZ\x8F\x8A");
    EXPECT_EQ(pdi.getString("/Info/Count"), nullptr);
    EXPECT_EQ(pdi.getString("/Info/Missing"), nullptr);

    EXPECT_TRUE(pdi.getBoolean("/Info/Flag"));
    EXPECT_TRUE(pdi.getBoolean("/Info/Ratio"));
    EXPECT_FALSE(pdi.getBoolean("/Info/Kind"));

    // A stream converted like a text, with the length of what is returned:
    // 氏名 takes six bytes in the stream and four in Shift-JIS.
    int32_t length = -1;
    text.reset(pdi.getStream(&length, "/Info/Note"));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text.get(), "\x8E\x81\x96\xBC and more");
    EXPECT_EQ(length, 13);
    EXPECT_EQ(pdi.getStream(&length, "/Info/Title"), nullptr);
}

TEST_F(TORPDFlibTest, DocumentsAreBegunWithTheirInformationAndEndedOnce)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TORPDFlib pdflib;
    const std::string out = dir_.file("out.pdf");
    {
        TORPDFlibDoc document(out.c_str(), "compatibility=1.6");
        PDF_begin_page_ext(pdflib.getHandle(), 100, 100, "");
        PDF_end_page_ext(pdflib.getHandle(), "");
        document.end();
        document.end();
    }
    const std::string info = run({"pdfinfo", out}).out;
    EXPECT_EQ(enginetest::pdfinfoField(info, "Creator"), "PDFlib Sample Program");
    EXPECT_EQ(enginetest::pdfinfoField(info, "Title"), "PDFlib Sample Program");
    EXPECT_EQ(enginetest::pdfinfoField(info, "Author"), "Hanako Yamada");
    EXPECT_EQ(enginetest::pdfinfoField(info, "PDF version"), "1.6");

    // A document without pages ends with the engine's error 12 / 2106, which
    // the template mode passes over; the destructor ends nothing again.
    auto empty = std::make_unique<TORPDFlibDoc>("", "");
    EXPECT_EQ(codeOf([&] { empty->end(); }), PDF_UnknownError);
    EXPECT_EQ(PDF_get_errnum(pdflib.getHandle()), 2106);
    empty.reset();
    // Its destructor ends a document left open without raising.
    auto left = std::make_unique<TORPDFlibDoc>("", "");
    EXPECT_EQ(codeOf([&] { left.reset(); }), 0x7FFFFFFF);
}
