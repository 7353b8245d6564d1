// The import calls of the C API: handles and the errors that explain them,
// scopes, the trace, pCOS through the API, placement as the pixels show it,
// one form XObject per imported page, versions, output intents, passwords and
// damaged files.
#include <gtest/gtest.h>

#include <cmath>

#include "pdfengine/Handle.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;
using fixtures::PdfBuilder;

namespace {

// A 200 x 100 page: red in the lower left quarter, blue in the upper right.
const std::string quarters = "1 0 0 rg 0 0 100 50 re f 0 0 1 rg 100 50 100 50 re f";

std::string writeQuarters(const TempDir& dir, const std::string& name, const std::string& entries = "",
                          const fixtures::WriteOptions& options = {}, const std::string& version = "")
{
    PdfBuilder b;
    b.setVersion(version);
    b.addPage("[0 0 200 100]", quarters, entries);
    const std::string path = dir.file(name);
    b.write(path, options);
    return path;
}

// The first page of the in-memory document just ended, written to a file.
std::string saveBuffer(PDF* p, const TempDir& dir, const std::string& name)
{
    long size = 0;
    const char* bytes = PDF_get_buffer(p, &size);
    const std::string path = dir.file(name);
    writeFile(path, std::string(bytes, static_cast<size_t>(size)));
    return path;
}

// Places page 1 of `source` on a page of width x height with the options and
// returns the written file.
std::string placeOnce(const TempDir& dir, const std::string& source, double width, double height, double x,
                      double y, const std::string& options, const std::string& pageOptions = "")
{
    Handle p;
    PDF_begin_document(p, "", 0, "");
    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    const int page = PDF_open_pdi_page(p, doc, 1, pageOptions.c_str());
    PDF_begin_page_ext(p, width, height, "");
    PDF_fit_pdi_page(p, page, x, y, options.c_str());
    PDF_end_page_ext(p, "");
    PDF_close_pdi_page(p, page);
    PDF_close_pdi_document(p, doc);
    PDF_end_document(p, "");
    return saveBuffer(p, dir, "placed.pdf");
}

// The colours at the points (x, y from the bottom left), as letters.
std::string colours(const Raster& raster, std::initializer_list<std::pair<int, int>> points)
{
    std::string letters;
    for (auto [x, y] : points)
        letters += raster.colour(x, y);
    return letters;
}

std::string pageSize(const std::string& pdf)
{
    return pdfinfoField(run({"pdfinfo", pdf}).out, "Page size");
}

}  // namespace

TEST(PdiApiTest, HandlesAndTheErrorsThatExplainThem)
{
    TempDir dir;
    const std::string source = writeQuarters(dir, "quarters.pdf");
    const std::string missing = dir.file("missing.pdf");
    const std::string trace = dir.file("trace.txt");
    Handle p;
    PDF_set_option(p, ("logging={filename=" + trace + "}").c_str());

    // Failures to open are reported by -1 alone.
    EXPECT_EQ(failure(p, [&] { EXPECT_EQ(PDF_open_pdi_document(p, missing.c_str(), 0, ""), -1); }),
              "no error");
    EXPECT_EQ(PDF_get_errnum(p), 2201);
    EXPECT_EQ(std::string(PDF_get_errmsg(p)),
              "Couldn't open PDF file '" + missing + "' for reading (file not found)");
    EXPECT_EQ(std::string(PDF_get_apiname(p)), "PDF_open_pdi_document");
    // Using the -1 is an error that says why it is -1.
    EXPECT_EQ(failure(p, [&] { PDF_open_pdi_page(p, -1, 1, ""); }),
              "4101 4 PDI document handle -1 is not valid; the last PDF_open_pdi_document failed: "
              "Couldn't open PDF file '" +
                  missing + "' for reading (file not found)");

    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    EXPECT_GE(doc, 1);
    EXPECT_EQ(PDF_open_pdi_page(p, doc, 3, ""), -1);
    EXPECT_EQ(PDF_get_errnum(p), 4103);
    EXPECT_EQ(std::string(PDF_get_errmsg(p)),
              "Page 3 of PDF file '" + source + "' does not exist (the document has 1 page)");
    PDF_begin_document(p, "", 0, "");
    PDF_begin_page_ext(p, 300, 300, "");
    EXPECT_EQ(
        failure(p, [&] { PDF_fit_pdi_page(p, -1, 0, 0, ""); }),
        "4102 4 PDI page handle -1 is not valid; the last PDF_open_pdi_page failed: Page 3 of PDF file '" +
            source + "' does not exist (the document has 1 page)");

    // Closing twice is harmless; a closed handle says so when it is used.
    const int page = PDF_open_pdi_page(p, doc, 1, "");
    EXPECT_GE(page, 1);
    PDF_fit_pdi_page(p, page, 0, 0, "");
    PDF_close_pdi_page(p, page);
    EXPECT_EQ(failure(p, [&] { PDF_close_pdi_page(p, page); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, page, 0, 0, ""); }),
              "4102 4 PDI page handle " + std::to_string(page) + " is not valid (it was closed)");
    // Closing a document closes its pages.
    const int again = PDF_open_pdi_page(p, doc, 1, "");
    EXPECT_NE(again, page);
    PDF_close_pdi_document(p, doc);
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, again, 0, 0, ""); }),
              "4102 4 PDI page handle " + std::to_string(again) + " is not valid (it was closed)");
    EXPECT_EQ(failure(p, [&] { PDF_close_pdi_page(p, again); }), "no error");
    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_number(p, doc, "length:pages"); }),
              "4101 4 PDI document handle " + std::to_string(doc) + " is not valid (it was closed)");
    EXPECT_EQ(failure(p, [&] { PDF_close_pdi_document(p, 99); }),
              "4101 4 PDI document handle 99 is not valid");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");

    const int reopened = PDF_open_pdi_document(p, source.c_str(), 0, "");
    EXPECT_EQ(PDF_pcos_get_number(p, reopened, "pages[%d]/width", 0), 200);
    const std::string lines = readFile(trace);
    EXPECT_NE(lines.find("PDF_open_pdi_document(\"" + missing +
                         "\", 0, \"\") = -1 -> error 2201 (I/O, non-fatal): "
                         "Couldn't open PDF file '" +
                         missing + "' for reading (file not found)\n"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("PDF_open_pdi_page(" + std::to_string(doc) +
                         ", 3, \"\") = -1 -> error 4103 (index, non-fatal): Page 3"),
              std::string::npos)
        << lines;
    EXPECT_NE(lines.find("PDF_fit_pdi_page(" + std::to_string(page) + ", 0, 0, \"\")\n"), std::string::npos)
        << lines;
    EXPECT_NE(lines.find("PDF_pcos_get_number(" + std::to_string(reopened) + ", \"pages[0]/width\") = 200\n"),
              std::string::npos)
        << lines;
}

TEST(PdiApiTest, ReadingWorksInEveryScopeAndPlacingOnlyOnAPage)
{
    TempDir dir;
    const std::string source = writeQuarters(dir, "quarters.pdf");
    Handle p;
    // Object scope: no document.
    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    const int page = PDF_open_pdi_page(p, doc, 1, "");
    EXPECT_EQ(PDF_pcos_get_number(p, doc, "length:pages"), 1);
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, page, 0, 0, ""); }),
              "3001 3 Function 'PDF_fit_pdi_page' must not be called in 'object' scope");
    EXPECT_EQ(failure(p, [&] { PDF_process_pdi(p, doc, -1, "action=copyoutputintent"); }),
              "3001 3 Function 'PDF_process_pdi' must not be called in 'object' scope");
    // Document scope.
    PDF_begin_document(p, "", 0, "");
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, page, 0, 0, ""); }),
              "3001 3 Function 'PDF_fit_pdi_page' must not be called in 'document' scope");
    EXPECT_EQ(PDF_process_pdi(p, doc, -1, "action=copyoutputintent"), 1);
    EXPECT_GE(PDF_open_pdi_document(p, source.c_str(), 0, ""), 1);
    // Page scope, and inside a path, where nothing but path operators may be written.
    PDF_begin_page_ext(p, 300, 300, "");
    EXPECT_EQ(PDF_pcos_get_number(p, doc, "pages[0]/height"), 100);
    PDF_moveto(p, 0, 0);
    EXPECT_EQ(std::string(PDF_pcos_get_string(p, doc, "pdfversion")), "13");
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, page, 0, 0, ""); }),
              "3001 3 Function 'PDF_fit_pdi_page' must not be called in 'path' scope");
    PDF_lineto(p, 10, 10);
    PDF_stroke(p);
    PDF_fit_pdi_page(p, page, 0, 0, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    // The scope errors were fatal: the document wrote nothing.
    EXPECT_EQ(failure(p, [&] { PDF_get_buffer(p, nullptr); }),
              "3004 3 PDF_get_buffer needs a finished document begun with an empty file name");
}

TEST(PdiApiTest, PcosFormatsThePathFirst)
{
    TempDir dir;
    PdfBuilder b;
    QPDFObjectHandle page = b.addPage("[0 0 200 100]", quarters);
    b.addTextBlock(page, "50%", "[0 0 10 10]");
    b.addTextBlock(page, "\xE4\xBD\x8F\xE6\x89\x80");  // 住所
    const std::string source = dir.file("blocks.pdf");
    b.write(source);
    Handle p;
    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    EXPECT_EQ(PDF_pcos_get_number(p, doc, "length:pages[%d]/%s", 0, "blocks"), 2);
    EXPECT_EQ(std::string(PDF_pcos_get_string(p, doc, "pages[%d]/blocks[%d]/Name", 0, 0)), "50%");
    EXPECT_EQ(std::string(PDF_pcos_get_string(p, doc, "pages[0]/blocks[1]/Name")),
              "\xE4\xBD\x8F\xE6\x89\x80");
    EXPECT_EQ(PDF_pcos_get_number(p, doc, "pages[0]/blocks/%s/Rect[2]", "50%"), 10);
    EXPECT_EQ(PDF_pcos_get_number(p, doc, "type:pages[0]/blocks[7]"), 0);
    int length = -1;
    const unsigned char* content =
        PDF_pcos_get_stream(p, doc, &length, "", "/Root/Pages/Kids[%d]/Contents", 0);
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(content), static_cast<size_t>(length)), quarters);

    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_string(p, doc, "pages[0]/blocks[%d]/Name", 9); }),
              "2211 8 pCOS path 'pages[0]/blocks[9]/Name' does not resolve");
    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_number(p, doc, "pages[x]"); }),
              "2210 8 Bad pCOS path 'pages[x]' (an index must be a number in brackets)");
    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_number(p, doc, "pages[0]/blocks[0]/Name"); }),
              "2212 5 pCOS path 'pages[0]/blocks[0]/Name' is a string, not a number");
    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_stream(p, doc, &length, "adjustpage", "/Root"); }),
              "1101 8 Unknown option 'adjustpage'");
    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_number(p, doc, nullptr); }),
              "2210 8 Bad pCOS path NULL (a path is needed)");
    const std::string huge(70000, 'a');
    EXPECT_EQ(failure(p, [&] { PDF_pcos_get_number(p, doc, "/%s", huge.c_str()); }),
              "2210 8 Bad pCOS path '/%s' (longer than 65535 bytes once formatted)");

    // With a handler that returns, the failure values come back.
    PDF* quiet = PDF_new();
    const int quietDoc = PDF_open_pdi_document(quiet, source.c_str(), 0, "");
    EXPECT_EQ(PDF_pcos_get_string(quiet, quietDoc, "pages[0]/nothing"), nullptr);
    EXPECT_EQ(PDF_pcos_get_number(quiet, quietDoc, "pages[0]/nothing"), -1);
    EXPECT_EQ(PDF_pcos_get_stream(quiet, quietDoc, &length, "", "/nothing"), nullptr);
    EXPECT_EQ(length, 0);
    PDF_delete(quiet);
}

TEST(PdiApiTest, PlacedPagesLandWhereTheOptionsSay)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TempDir dir;
    const std::string source = writeQuarters(dir, "quarters.pdf");

    // adjustpage: the output page takes the imported page's size.
    std::string placed = placeOnce(dir, source, 595, 842, 50, 50, "adjustpage");
    EXPECT_EQ(pageSize(placed), "200 x 100 pts");
    Raster r = render(placed);
    EXPECT_EQ(colours(r, {{10, 10}, {190, 90}, {190, 10}}), "rbw");

    // Half size with its lower left corner at (100, 100).
    r = render(placeOnce(dir, source, 400, 400, 100, 100, "scale=0.5"));
    // Inside the corners of the red and the blue quarter, then just outside the page.
    EXPECT_EQ(colours(r, {{102, 102}, {148, 123}, {152, 127}, {198, 148}}), "rrbb");
    EXPECT_EQ(colours(r, {{97, 110}, {110, 97}, {202, 140}, {190, 152}, {160, 110}}), "wwwww");

    // Fitted into a box, centred: twice the size, 50 points above the box's bottom.
    r = render(placeOnce(dir, source, 400, 400, 0, 0, "boxsize={400 400} fitmethod=meet position={50 50}"));
    EXPECT_EQ(colours(r, {{5, 105}, {5, 95}, {395, 295}, {395, 305}}), "rwbw");

    // Turned a quarter counter-clockwise about the reference point.
    r = render(placeOnce(dir, source, 400, 400, 300, 100, "rotate=90"));
    EXPECT_EQ(colours(r, {{290, 110}, {210, 290}, {310, 110}}), "rbw");

    // orientate west: the page's top points left; adjustpage makes room for it.
    placed = placeOnce(dir, source, 595, 842, 0, 0, "orientate=west adjustpage");
    EXPECT_EQ(pageSize(placed), "100 x 200 pts");
    r = render(placed);
    EXPECT_EQ(colours(r, {{90, 10}, {10, 190}, {10, 10}}), "rbw");

    // pdiusebox picks the box that is placed.
    const std::string cropped = writeQuarters(dir, "cropped.pdf", "/CropBox [0 0 100 50]");
    EXPECT_EQ(pageSize(placeOnce(dir, cropped, 595, 842, 0, 0, "adjustpage")), "100 x 50 pts");
    EXPECT_EQ(pageSize(placeOnce(dir, cropped, 595, 842, 0, 0, "adjustpage", "pdiusebox=media")),
              "200 x 100 pts");
}

TEST(PdiApiTest, ARotatedPageComesOutAsViewersShowIt)
{
    QUILLON_REQUIRE_TOOL("pdftoppm");
    TempDir dir;
    for (int rotate : {90, 180, 270, -90}) {
        SCOPED_TRACE(rotate);
        const std::string source = writeQuarters(dir, "rotated.pdf", "/Rotate " + std::to_string(rotate));
        // poppler shows the source page turned; our placement must look the same.
        Raster expected = render(source);
        Raster placed = render(placeOnce(dir, source, 595, 842, 0, 0, "adjustpage"));
        ASSERT_EQ(placed.width, expected.width);
        ASSERT_EQ(placed.height, expected.height);
        ASSERT_EQ(expected.width, rotate % 180 ? 100 : 200);
        int compared = 0;
        for (int y = 5; y < expected.height; y += 10)
            for (int x = 5; x < expected.width; x += 10, ++compared)
                EXPECT_EQ(placed.colour(x, y), expected.colour(x, y)) << x << "," << y;
        EXPECT_EQ(compared, 200);
    }
}

TEST(PdiApiTest, TheOutputPageKeepsWhereEachImportedPageWasPlaced)
{
    TempDir dir;
    const std::string source = writeQuarters(dir, "quarters.pdf");
    Handle p;
    PDF_begin_document(p, "", 0, "");
    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    const int first = PDF_open_pdi_page(p, doc, 1, "");
    const int second = PDF_open_pdi_page(p, doc, 1, "");
    PDF_begin_page_ext(p, 400, 400, "");
    PDF_fit_pdi_page(p, first, 0, 0, "");
    PDF_fit_pdi_page(p, first, 100, 100, "scale=0.5");
    const QPDFMatrix* placement = p->engine.page().placement(first);
    ASSERT_NE(placement, nullptr);
    EXPECT_EQ(placement->unparse(), QPDFMatrix(0.5, 0, 0, 0.5, 100, 100).unparse());
    EXPECT_EQ(p->engine.page().placement(second), nullptr);
    PDF_end_page_ext(p, "");
    // A new page starts without placements.
    PDF_begin_page_ext(p, 400, 400, "");
    EXPECT_EQ(p->engine.page().placement(first), nullptr);
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
}

TEST(PdiApiTest, ABackgroundOnAThousandPagesIsStoredOnce)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    // A background of some weight: a few thousand distinct rectangles.
    std::string content;
    for (int i = 0; i < 3000; ++i)
        content += std::to_string(i % 97) + " " + std::to_string(i % 89) + " " + std::to_string(i % 13 + 1) +
                   " 3 re f\n";
    PdfBuilder b;
    b.addPage("[0 0 595 842]", content);
    const std::string source = dir.file("background.pdf");
    b.write(source);

    // As the renderer does it: the imported page is opened and closed for
    // every output page; half-way the imported document is closed and opened
    // again, which must not make a second copy either.
    auto job = [&](int pages, const std::string& name) {
        Handle p;
        const std::string path = dir.file(name);
        PDF_begin_document(p, path.c_str(), 0, "");
        int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
        for (int i = 0; i < pages; ++i) {
            if (i == pages / 2) {
                PDF_close_pdi_document(p, doc);
                doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
            }
            const int page = PDF_open_pdi_page(p, doc, 1, "");
            PDF_begin_page_ext(p, 595, 842, "");
            PDF_fit_pdi_page(p, page, 0, 0, "adjustpage");
            PDF_end_page_ext(p, "");
            PDF_close_pdi_page(p, page);
        }
        PDF_close_pdi_document(p, doc);
        PDF_end_document(p, "");
        return path;
    };
    const std::string one = job(1, "one.pdf");
    const std::string thousand = job(1000, "thousand.pdf");
    EXPECT_EQ(run({"qpdf", "--show-npages", thousand}).out, "1000\n");
    EXPECT_EQ(run({"qpdf", "--check", thousand}).status, 0);
    EXPECT_EQ(fixtures::countObjects(thousand, "/Subtype", "/Form"), 1);
    const auto oneSize = std::filesystem::file_size(one);
    const auto thousandSize = std::filesystem::file_size(thousand);
    EXPECT_GT(oneSize, 10000u);  // a copy per page would show
    EXPECT_LT((thousandSize - oneSize) / 999, 400u) << oneSize << " " << thousandSize;
}

TEST(PdiApiTest, TheOutputVersionRisesToTheImportedOnes)
{
    TempDir dir;
    auto headerAfter = [&](const std::string& source, const std::string& options) {
        Handle p;
        PDF_begin_document(p, "", 0, options.c_str());
        const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_fit_pdi_page(p, PDF_open_pdi_page(p, doc, 1, ""), 0, 0, "");
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
        long size = 0;
        return std::string(PDF_get_buffer(p, &size), 8);
    };
    const std::string v20 = writeQuarters(dir, "v20.pdf", "", {}, "2.0");
    const std::string v14 = writeQuarters(dir, "v14.pdf", "", {}, "1.4");
    EXPECT_EQ(headerAfter(v20, ""), "%PDF-2.0");
    EXPECT_EQ(headerAfter(v14, ""), "%PDF-1.7");
    EXPECT_EQ(headerAfter(v20, "compatibility=1.4"), "%PDF-1.4");
}

TEST(PdiApiTest, OutputIntentsAreCopiedOnRequest)
{
    TempDir dir;
    PdfBuilder b;
    b.addPage();
    QPDFObjectHandle intent =
        b.parse("<< /Type /OutputIntent /S /GTS_PDFX /OutputConditionIdentifier (Test) >>");
    intent.replaceKey("/DestOutputProfile", b.pdf().newStream("profile"));
    b.pdf().getRoot().replaceKey("/OutputIntents", QPDFObjectHandle::newArray({intent}));
    const std::string source = dir.file("intents.pdf");
    b.write(source);
    const std::string plain = writeQuarters(dir, "plain.pdf");

    {
        Handle p;
        PDF_begin_document(p, "", 0, "");
        const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
        EXPECT_EQ(failure(p, [&] { PDF_process_pdi(p, doc, -1, "action=copypages"); }),
                  "1109 9 Option 'action' does not accept 'copypages' (expected copyoutputintent)");
        EXPECT_EQ(failure(p, [&] { PDF_process_pdi(p, doc, -1, ""); }),
                  "1113 9 PDF_process_pdi needs option 'action'");
        EXPECT_EQ(failure(p, [&] { PDF_process_pdi(p, doc, 42, "action=copyoutputintent"); }),
                  "4102 4 PDI page handle 42 is not valid");
    }
    Handle p;
    PDF_begin_document(p, "", 0, "");
    const int without = PDF_open_pdi_document(p, plain.c_str(), 0, "");
    EXPECT_EQ(PDF_process_pdi(p, without, -1, "action=copyoutputintent"), 1);
    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    EXPECT_EQ(PDF_process_pdi(p, doc, PDF_open_pdi_page(p, doc, 1, ""), "action=copyoutputintent"), 1);
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");

    QPDF written;
    const std::string path = saveBuffer(p, dir, "out.pdf");
    written.processFile(path.c_str());
    QPDFObjectHandle intents = written.getRoot().getKey("/OutputIntents");
    ASSERT_TRUE(intents.isArray());
    ASSERT_EQ(intents.getArrayNItems(), 1);
    EXPECT_EQ(intents.getArrayItem(0).getKey("/OutputConditionIdentifier").getUTF8Value(), "Test");
}

TEST(PdiApiTest, PasswordsOpenEncryptedFiles)
{
    TempDir dir;
    const std::string aes =
        writeQuarters(dir, "aes.pdf", "", {fixtures::Encryption::Aes128, "secret", "owner"});
    Handle p;
    EXPECT_EQ(PDF_open_pdi_document(p, aes.c_str(), 0, ""), -1);
    EXPECT_EQ(PDF_get_errnum(p), 2204);
    EXPECT_EQ(std::string(PDF_get_errmsg(p)), "PDF file '" + aes + "' requires a password");
    EXPECT_EQ(PDF_open_pdi_document(p, aes.c_str(), 0, "password=guess"), -1);
    EXPECT_EQ(PDF_get_errnum(p), 2205);
    EXPECT_EQ(std::string(PDF_get_errmsg(p)), "Wrong password for PDF file '" + aes + "'");
    EXPECT_GE(PDF_open_pdi_document(p, aes.c_str(), 0, "password=secret"), 1);
    EXPECT_GE(PDF_open_pdi_document(p, aes.c_str(), 0, "password={owner}"), 1);

    // A password beyond ASCII, as the old methods (PDFDocEncoding) and
    // AES-256 (UTF-8) store it, given in code page 1252 or as UTF-8.
    const std::string latin =
        writeQuarters(dir, "latin.pdf", "", {fixtures::Encryption::Rc4_128, "caf\xE9", "owner"});
    const std::string unicode =
        writeQuarters(dir, "unicode.pdf", "", {fixtures::Encryption::Aes256, "caf\xC3\xA9", "owner"});
    for (const std::string& file : {latin, unicode}) {
        SCOPED_TRACE(file);
        EXPECT_GE(PDF_open_pdi_document(p, file.c_str(), 0, "password=caf\xE9"), 1) << PDF_get_errmsg(p);
        EXPECT_GE(PDF_open_pdi_document(p, file.c_str(), 0, "\xEF\xBB\xBFpassword=caf\xC3\xA9"), 1)
            << PDF_get_errmsg(p);
        EXPECT_EQ(PDF_open_pdi_document(p, file.c_str(), 0, "password=cafe"), -1);
    }
}

TEST(PdiApiTest, SearchPathFindsRelativeNames)
{
    TempDir dir;
    writeQuarters(dir, "quarters.pdf");
    Handle p;
    EXPECT_EQ(PDF_open_pdi_document(p, "quarters.pdf", 0, ""), -1);
    PDF_set_option(p, ("SearchPath={{/nonexistent} {" + dir.path().string() + "}}").c_str());
    const int doc = PDF_open_pdi_document(p, "quarters.pdf", 0, "");
    ASSERT_GE(doc, 1);
    EXPECT_EQ(std::string(PDF_pcos_get_string(p, doc, "filename")), dir.file("quarters.pdf"));
}

TEST(PdiApiTest, PlacementValuesAreChecked)
{
    TempDir dir;
    const std::string source = writeQuarters(dir, "quarters.pdf");
    PdfBuilder huge;
    huge.addPage("[0 0 20000 100]", quarters);
    const std::string hugePath = dir.file("huge.pdf");
    huge.write(hugePath);
    Handle p;
    PDF_begin_document(p, "", 0, "");
    const int page = PDF_open_pdi_page(p, PDF_open_pdi_document(p, source.c_str(), 0, ""), 1, "");
    const int hugePage = PDF_open_pdi_page(p, PDF_open_pdi_document(p, hugePath.c_str(), 0, ""), 1, "");
    PDF_begin_page_ext(p, 300, 300, "");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"scale=0", "1108 9 Option 'scale' must be above 0, not '0'"},
        {"scale={1 -2}", "1108 9 Option 'scale' must be above 0, not '1 -2'"},
        {"position={up down}",
         "1113 9 Option 'position' expects one or two numbers or keywords (left center right, bottom center "
         "top), not 'up down'"},
        {"boxsize={10}", "1110 8 Option 'boxsize' expects 2 values, not 1"},
        {"boxsize={10 -1}", "1108 9 Option 'boxsize' must be at least 0, not '-1'"},
        {"fitmethod=squeeze",
         "1109 9 Option 'fitmethod' does not accept 'squeeze' (expected nofit, meet, slice, entire, clip or "
         "auto)"},
        {"orientate=up",
         "1109 9 Option 'orientate' does not accept 'up' (expected north, east, south or west)"},
        {"adjstpage", "1101 8 Unknown option 'adjstpage'"},
    };
    for (const auto& [options, expected] : cases)
        EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, page, 0, 0, options.c_str()); }), expected);
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, page, NAN, 0, ""); }),
              "5002 9 Argument 'x' is not a finite number (nan)");
    // A page too large for adjustpage changes nothing of the output page.
    EXPECT_EQ(failure(p, [&] { PDF_fit_pdi_page(p, hugePage, 0, 0, "adjustpage"); }),
              "5001 9 Page width 20000 is out of range (1 to 14400)");
    EXPECT_EQ(p->engine.page().width(), 300);
    EXPECT_TRUE(p->engine.page().content().empty());
    EXPECT_EQ(failure(p, [&] { PDF_open_pdi_page(p, 1, 1, "pdiusebox=paper"); }),
              "1109 9 Option 'pdiusebox' does not accept 'paper' (expected media, crop, bleed, trim or art)");
    EXPECT_EQ(failure(p, [&] { PDF_open_pdi_document(p, source.c_str(), 0, "repair=always"); }),
              "1109 9 Option 'repair' does not accept 'always' (expected never or auto)");
}

TEST(PdiApiTest, DamagedFilesGiveErrorsNeverCrashes)
{
    TempDir dir;
    const char* const catalog = "<< /Type /Catalog /Pages 2 0 R >>";
    const char* const pages = "<< /Type /Pages /Kids [3 0 R] /Count 1 >>";
    const char* const page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>";
    const std::string content = "<< /Length 15 >>\nstream\n0 0 m 10 10 l S\nendstream";
    const std::string good = fixtures::rawPdf({catalog, pages, page, content});
    std::string shifted = good;
    shifted.insert(shifted.find("1 0 obj"), "%garbage\n");

    // The error number of the first call that fails while the file is opened
    // and its first page placed; 0 when everything works (after repairs).
    auto attempt = [](const std::string& path, const std::string& options) {
        Handle p;
        const int doc = PDF_open_pdi_document(p, path.c_str(), 0, options.c_str());
        if (doc == -1)
            return PDF_get_errnum(p);
        const int imported = PDF_open_pdi_page(p, doc, 1, "");
        if (imported == -1)
            return PDF_get_errnum(p);
        PDF_begin_document(p, "", 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
        int error = 0;
        try {
            PDF_fit_pdi_page(p, imported, 0, 0, "");
        } catch (const Raised&) {
            error = PDF_get_errnum(p);
        }
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
        return error;
    };
    struct Case {
        std::string name;
        std::string bytes;
        int repaired;  // the error with repairs; -1 for any
        int strict;    // with repair=never; -1 for any but 0
    };
    const std::vector<Case> cases = {
        {"truncated", good.substr(0, good.size() / 2), -1, -1},
        {"header only", "%PDF-1.7\n", 2207, 2207},
        {"wrong xref", shifted, 0, 2207},
        {"no pages", fixtures::rawPdf({"<< /Type /Catalog >>"}), 2207, 2207},
        {"page tree loop",
         fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R 2 0 R] /Count 2 >>", page, content}), 2207,
         2207},
        {"1 GB length",
         fixtures::rawPdf(
             {catalog, pages, page, "<< /Length 1073741824 >>\nstream\n0 0 m 10 10 l S\nendstream"}),
         0, 2207},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file("damaged.pdf");
        writeFile(path, c.bytes);
        const int repaired = attempt(path, "");
        if (c.repaired != -1) {
            EXPECT_EQ(repaired, c.repaired);
        }
        const int strict = attempt(path, "repair=never");
        if (c.strict != -1) {
            EXPECT_EQ(strict, c.strict);
        } else {
            EXPECT_NE(strict, 0);
        }
    }
}

TEST(PdiApiTest, TheOutputNeverReplacesADocumentItImports)
{
    TempDir dir;
    const std::string source = writeQuarters(dir, "quarters.pdf");
    const std::string link = dir.file("link.pdf");
    std::filesystem::create_symlink(source, link);
    const std::string before = readFile(source);

    // Imported while the output is open: refused by either name, in either direction.
    for (const std::string& output : {source, link}) {
        for (const std::string& input : {source, link}) {
            SCOPED_TRACE(output + " <- " + input);
            Handle p;
            PDF_begin_document(p, output.c_str(), 0, "");
            EXPECT_EQ(PDF_open_pdi_document(p, input.c_str(), 0, ""), -1);
            EXPECT_EQ(PDF_get_errnum(p), 2202);
            EXPECT_EQ(std::string(PDF_get_errmsg(p)),
                      "Couldn't open PDF file '" + input + "' for reading (it is the output document)");
        }
    }
    // Opened before the output begins: beginning it is refused.
    {
        Handle p;
        EXPECT_GE(PDF_open_pdi_document(p, link.c_str(), 0, ""), 1);
        EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, source.c_str(), 0, ""); }),
                  "2001 2 Couldn't open PDF file '" + source +
                      "' for writing (it is the imported document '" + link + "')");
    }
    EXPECT_EQ(readFile(source), before);

    // Another file beside it is written as usual, and so is the same name once the
    // imported document is closed.
    Handle p;
    const int doc = PDF_open_pdi_document(p, source.c_str(), 0, "");
    PDF_begin_document(p, dir.file("out.pdf").c_str(), 0, "");
    const int page = PDF_open_pdi_page(p, doc, 1, "");
    PDF_begin_page_ext(p, 200, 100, "");
    PDF_fit_pdi_page(p, page, 0, 0, "");
    PDF_end_page_ext(p, "");
    PDF_close_pdi_page(p, page);
    PDF_close_pdi_document(p, doc);
    PDF_end_document(p, "");
    EXPECT_EQ(pageSize(dir.file("out.pdf")), "200 x 100 pts");
    PDF_begin_document(p, source.c_str(), 0, "");
    PDF_begin_page_ext(p, 10, 10, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    EXPECT_EQ(pageSize(source), "10 x 10 pts");
}
