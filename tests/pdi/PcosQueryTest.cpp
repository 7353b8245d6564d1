// pCOS queries: the paths the template mode asks, every type code, text
// conversion, pseudo-objects and errors.
#include "pdfengine/PcosQuery.h"

#include <gtest/gtest.h>

#include "tests/pdi/PdiTestSupport.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace pdfengine;
using fixtures::PdfBuilder;

namespace {

const std::string pageContent = "0 0 m 100 100 l S\n";

class PcosQueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PdfBuilder b;
        QPDFObjectHandle first = b.addPage("[0 0 600 800]", pageContent);
        b.addTextBlock(first, "second", "[10 20 110 40]", "/Name (second)");
        b.addTextBlock(first, "first", "[50 60 70 80]",
                       "/Name " + fixtures::hexString(fixtures::utf16be("first")));
        b.addPage("[0 0 300 300]");
        QPDFObjectHandle third = b.addPage("[0 0 600 800]", "", "/Rotate -270 /CropBox [100 -50 500 700]");
        b.addTextBlock(third, "keyonly");
        QPDF& pdf = b.pdf();
        QPDFObjectHandle info =
            b.parse("<< /Title " + fixtures::hexString(fixtures::utf16be("表題")) +
                    " /Subject (Caf\\351) /Trapped /False#20Really /Flag true /Ratio 0.5 /Nothing null "
                    "/A#20B 7 /List [1 (two) /three [4] << /five 5 >>] >>");
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
        QPDFObjectHandle jpeg = pdf.newStream("\xFF\xD8 not really a JPEG");
        jpeg.getDict().replaceKey("/Filter", QPDFObjectHandle::newName("/DCTDecode"));
        info.replaceKey("/Jpeg", jpeg);
        info.replaceKey("/Text", pdf.newStream("plain text"));
        path_ = dir_.file("query.pdf");
        b.write(path_);
        doc_ = ImportedDocument::open(path_, {});
    }

    testsupport::TempDir dir_;
    std::string path_;
    std::shared_ptr<ImportedDocument> doc_;
};

}  // namespace

TEST_F(PcosQueryTest, TheTemplateModeQueries)
{
    PcosQuery q(*doc_);
    EXPECT_EQ(q.number("/Root/Pages/Count"), 3);
    EXPECT_EQ(q.number("type:/Root/Pages/Count"), 2);
    EXPECT_EQ(q.number("length:pages[0]/blocks"), 2);
    EXPECT_EQ(q.number("length:pages[1]/blocks"), 0);
    EXPECT_EQ(q.number("type:pages[1]/blocks"), 5);
    EXPECT_EQ(q.number("type:pages[0]/blocks[0]/Name"), 4);
    EXPECT_EQ(q.string("pages[0]/blocks[0]/Name"), "first");
    EXPECT_EQ(q.string("pages[0]/blocks[1]/Name"), "second");
    EXPECT_EQ(q.number("type:pages[0]/blocks[2]/Name"), 0);
    EXPECT_EQ(q.number("type:pages[1]/blocks[0]/Name"), 0);
    EXPECT_PDI_ERROR(q.string("pages[0]/blocks[2]/Name"), PdiErrorKind::PathNotFound,
                     "pCOS path 'pages[0]/blocks[2]/Name' does not resolve");
    EXPECT_PDI_ERROR(q.number("length:pages[3]/blocks"), PdiErrorKind::PathNotFound,
                     "'length:pages[3]/blocks'");
}

TEST_F(PcosQueryTest, TypeCodesOfEveryKindOfObject)
{
    PcosQuery q(*doc_);
    const std::pair<const char*, int> cases[] = {
        {"/Info/Flag", 1},
        {"/Info/Ratio", 2},
        {"/Info/Trapped", 3},
        {"/Info/Title", 4},
        {"/Info/List", 5},
        {"/Info", 6},
        {"/Info/Text", 7},
        {"/Info/Jpeg", 8},
        {"/Info/Nothing", 0},
        {"/Info/Missing", 0},
        {"/Info/List[9]", 0},
        {"/Info/Ratio/Deeper", 0},
        {"pages", 5},
        {"pages[2]", 6},
        {"pages[0]/blocks/first", 6},
        {"pages[0]/Contents", 7},
        {"pdfversion", 2},
        {"filename", 4},
        {"encrypt", 6},
        {"encrypt/description", 4},
        {"trailer", 6},
        {"/", 6},
        {"pages[0]/blocks[0]/Rect", 5},
        {"pages[2]/width", 2},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(q.number(std::string("type:") + path), type) << path;
}

TEST_F(PcosQueryTest, ValuesAsNumbersTextsAndStreams)
{
    PcosQuery q(*doc_);
    EXPECT_EQ(q.string("/Info/Title"), "\xE8\xA1\xA8\xE9\xA1\x8C");  // 表題 from UTF-16
    EXPECT_EQ(q.string("/Info/Subject"), "Caf\xC3\xA9");             // PDFDocEncoding
    EXPECT_EQ(q.string("/Info/Trapped"), "False Really");            // a name's bytes, #20 decoded
    EXPECT_EQ(q.string("/Info/Flag"), "true");
    EXPECT_EQ(q.number("/Info/Flag"), 1);
    EXPECT_EQ(q.string("/Info/Ratio"), "0.5");
    EXPECT_EQ(q.string("/Root/Pages/Count"), "3");
    EXPECT_EQ(q.number("/Info/A#20B"), 7);
    EXPECT_EQ(q.string("/Info/List[1]"), "two");
    EXPECT_EQ(q.string("/Info/List[2]"), "three");
    EXPECT_EQ(q.number("/Info/List[3][0]"), 4);
    EXPECT_EQ(q.number("/Info/List[4]/five"), 5);
    EXPECT_EQ(q.number("trailer/Root/Pages/Count"), 3);
    EXPECT_EQ(q.string("length:/Info/List"), "5");

    // Streams decoded (the writer compressed the page content), or as stored
    // when their filter cannot be decoded; strings as their bytes.
    EXPECT_EQ(q.stream("pages[0]/Contents"), pageContent);
    EXPECT_EQ(q.stream("/Info/Jpeg"), "\xFF\xD8 not really a JPEG");
    EXPECT_EQ(q.stream("/Info/Title"), fixtures::utf16be("表題"));

    EXPECT_PDI_ERROR(q.number("/Info/Title"), PdiErrorKind::WrongType,
                     "pCOS path '/Info/Title' is a string, not a number");
    EXPECT_PDI_ERROR(q.string("/Info/List"), PdiErrorKind::WrongType,
                     "pCOS path '/Info/List' is an array, not a string, name, number or boolean");
    EXPECT_PDI_ERROR(q.stream("/Info/Ratio"), PdiErrorKind::WrongType, "not a stream or string");
    EXPECT_PDI_ERROR(q.number("length:/Info/Ratio"), PdiErrorKind::WrongType, "not an array or dictionary");
}

TEST_F(PcosQueryTest, PagePseudoObjects)
{
    PcosQuery q(*doc_);
    EXPECT_EQ(q.number("length:pages"), 3);
    EXPECT_EQ(q.number("pages[0]/width"), 600);
    EXPECT_EQ(q.number("pages[0]/height"), 800);
    // Turned by a quarter: the crop box, clipped to the media box, lies on its side.
    EXPECT_EQ(q.number("pages[2]/Rotate"), -270);
    EXPECT_EQ(q.number("pages[2]/width"), 700);
    EXPECT_EQ(q.number("pages[2]/height"), 400);
    EXPECT_EQ(q.number("pages[0]/blocks/second/Rect[1]"), 20);
    EXPECT_EQ(q.number("length:pages[0]/blocks/second"), 4);  // Type, Subtype, Rect, Name
    // A block without /Name is named by its key, and its Name counts.
    EXPECT_EQ(q.string("pages[2]/blocks[0]/Name"), "keyonly");
    EXPECT_EQ(q.number("length:pages[2]/blocks/keyonly"), 4);
    EXPECT_EQ(q.string("pages[0]/blocks/second/Subtype"), "Text");
    EXPECT_EQ(q.number("type:pages[0]/blocks/third"), 0);
    EXPECT_EQ(q.number("type:pages[0]/blocks[0]/Name[0]"), 0);
}

TEST(PcosQueryInheritanceTest, PagesShowInheritedAttributes)
{
    testsupport::TempDir dir;
    std::string path = dir.file("inherit.pdf");
    testsupport::writeFile(path,
                           fixtures::rawPdf({
                               "<< /Type /Catalog /Pages 2 0 R >>",
                               "<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 400 500] /Rotate 90 >>",
                               "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
                               "<< /Length 0 >>\nstream\n\nendstream",
                           }));
    auto doc = ImportedDocument::open(path, {});
    PcosQuery q(*doc);
    EXPECT_EQ(q.number("pages[0]/MediaBox[3]"), 500);
    EXPECT_EQ(q.number("pages[0]/Rotate"), 90);
    EXPECT_EQ(q.number("type:pages[0]/CropBox"), 0);
    EXPECT_EQ(q.number("length:pages[0]"), 5);                    // Type, Parent, Contents, MediaBox, Rotate
    EXPECT_EQ(q.number("type:/Root/Pages/Kids[0]/MediaBox"), 0);  // not there without inheritance
    EXPECT_EQ(q.number("pages[0]/width"), 500);
    EXPECT_EQ(q.number("pdfversion"), 17);
    EXPECT_EQ(q.string("filename"), path);
    EXPECT_EQ(q.number("encrypt/algorithm"), 0);
    EXPECT_EQ(q.number("encrypt/keylength"), 0);
    EXPECT_EQ(q.string("encrypt/description"), "No encryption");
}

TEST(PcosQueryEncryptionTest, EncryptedDocumentsDescribeTheirEncryption)
{
    testsupport::TempDir dir;
    PdfBuilder b;
    b.addPage();
    std::string path = dir.file("aes.pdf");
    b.write(path, {fixtures::Encryption::Aes256, "user", "master"});
    ImportOptions options;
    options.password = "user";
    auto doc = ImportedDocument::open(path, options);
    PcosQuery q(*doc);
    EXPECT_EQ(q.number("encrypt/algorithm"), 3);
    EXPECT_EQ(q.number("encrypt/keylength"), 256);
    EXPECT_EQ(q.string("encrypt/description"), "AES 256-bit");
    EXPECT_EQ(q.number("type:encrypt/permissions"), 0);
    EXPECT_EQ(q.number("pdfversion"), 17);                        // R6 needs 1.7 with extension level 8
    EXPECT_EQ(q.stream("pages[0]/Contents"), "0 0 m 10 10 l S");  // decrypted and decoded
}

TEST_F(PcosQueryTest, MalformedPathsAreSyntaxErrorsEvenUnderType)
{
    PcosQuery q(*doc_);
    const std::pair<const char*, const char*> cases[] = {
        {"", "(empty path)"},
        {"pages[", "(an index must be a number in brackets)"},
        {"pages[x]", "(an index must be a number in brackets)"},
        {"pages[-1]", "(an index must be a number in brackets)"},
        {"pages[99999999999]", "(index too large)"},
        {"pages]", "(']' without '[')"},
        {"pages[0]x", "(unexpected 'x')"},
        {"/Root//Pages", "(empty key)"},
        {"/Root/", "(ends with '/')"},
        {"/Info/A#2", "('#' must be followed by two hexadecimal digits)"},
        {"Root/Pages/Count", "(unknown root 'Root'; paths into the document's objects begin with '/')"},
    };
    EXPECT_PDI_ERROR(q.number("length:"), PdiErrorKind::PathSyntax, "Bad pCOS path 'length:' (empty path)");
    for (const auto& [path, reason] : cases) {
        EXPECT_PDI_ERROR(q.number(std::string("type:") + path), PdiErrorKind::PathSyntax, reason);
        EXPECT_PDI_ERROR(q.string(path), PdiErrorKind::PathSyntax,
                         std::string("Bad pCOS path '") + path + "' " + reason);
    }
}
