// Template mode as users run it: `quillon form.pdf` prints the banner, the
// engine's version and one object section per named block, or one error line;
// it always ends with status 0 and never writes a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/Banner.h"
#include "pdfengine/Version.h"
#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;
using fixtures::PdfBuilder;

namespace {

std::string header()
{
    return std::string(bannerText()) + "\n DLL version " PDFENGINE_VERSION "\n";
}

std::string section(int page, int block, const std::string& name)
{
    return "[PUT_" + std::to_string(page) + "_" + std::to_string(block) +
           "]\nobject_type=block\ntype=text\nname=" + name + "\ndescription=\noptions=\n\n";
}

// Runs the template mode on `file` from the folder `cwd`.
RunResult runTemplate(const std::string& file, const std::string& cwd)
{
    return run({quillonExe(), file}, cwd);
}

// The files of a folder, so that a test can see nothing was written.
std::vector<std::string> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(TemplateModeTest, OneSectionPerNamedBlockNumberedByPageAndBlock)
{
    TempDir dir;
    PdfBuilder b;
    QPDFObjectHandle first = b.addPage();
    // Sorted by name: the unnamed block comes first and leaves a gap.
    b.addTextBlock(first, "unnamed", "[0 0 10 10]", "/Name ()");
    b.addTextBlock(first, "Alpha");
    b.addTextBlock(first, "rate%d%s");  // not a format
    b.addTextBlock(first, "address", "[0 0 10 10]",
                   "/Name " + fixtures::hexString(fixtures::utf16be("\xE4\xBD\x8F\xE6\x89\x80")));  // 住所
    b.addPage();  // no blocks: nothing printed
    QPDFObjectHandle third = b.addPage();
    b.addTextBlock(third, "\x83\x75\x83\x8D\x83\x62\x83\x4E");  // ブロック as a Shift-JIS name
    b.addTextBlock(third, "\xE6\xB0\x8F\xE5\x90\x8D");          // 氏名 as a UTF-8 name
    // PDFDocEncoding: a dagger and an ellipsis, which code page 932 has too.
    b.addTextBlock(third, "signs", "[0 0 10 10]", "/Name (Sign\\201\\203)");
    const std::string longName(300, 'n');
    b.addTextBlock(third, longName);
    b.write(dir.file("form.pdf"));

    RunResult result = runTemplate("form.pdf", dir.path().string());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, header() + section(1, 2, "Alpha") + section(1, 3, "rate%d%s") +
                              // 住所
                              section(1, 4, "\x8FZ\x8F\x8A") +
                              // Sign†…
                              section(3, 1, "Sign\x81\xF5\x81\x63") +
                              // Names of 128 bytes and more are printed whole.
                              section(3, 2, longName) +
                              // ブロック
                              section(3, 3,
                                      "\x83u\x83\x8D\x83"
                                      "b\x83N") +
                              // 氏名
                              section(3, 4, "\x8E\x81\x96\xBC"));
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"form.pdf"});
}

TEST(TemplateModeTest, APdfWithoutBlocksPrintsOnlyTheHeader)
{
    TempDir dir;
    PdfBuilder b;
    b.addPage();
    b.addPage();
    b.write(dir.file("plain.PDF"));
    RunResult result = runTemplate(dir.file("plain.PDF"), "");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, header());
    EXPECT_EQ(result.err, "");
}

TEST(TemplateModeTest, FilesThatCannotBeReadGiveOneErrorLine)
{
    TempDir dir;
    writeFile(dir.file("text.pdf"), "This is a text file, not a PDF.\n");
    PdfBuilder b;
    b.addTextBlock(b.addPage(), "name");
    b.write(dir.file("locked.pdf"), {fixtures::Encryption::Aes128, "user", "owner"});

    struct Case {
        std::string file;
        std::string line;
    };
    const std::string folder = dir.path().string();
    const std::vector<Case> cases = {
        {"missing.pdf", "ERRPR: 0x3001 [2201] PDF_open_pdi_document: Couldn't open PDF file '" + folder +
                            "/missing.pdf' for reading (file not found)\n"},
        {"text.pdf", "ERRPR: 0x3001 [2203] PDF_open_pdi_document: Couldn't open PDF file '" + folder +
                         "/text.pdf' (not a PDF file)\n"},
        {"locked.pdf", "ERRPR: 0x3001 [2204] PDF_open_pdi_document: PDF file '" + folder +
                           "/locked.pdf' requires a password\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        RunResult result = runTemplate(c.file, folder);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, header() + c.line);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"locked.pdf", "text.pdf"}));
}

TEST(TemplateModeTest, SectionsBeforeAnErrorStayPrinted)
{
    TempDir dir;
    // The page tree claims three pages and holds one.
    const std::string path = dir.file("lying.pdf");
    writeFile(path, fixtures::rawPdf({
                        "<< /Type /Catalog /Pages 2 0 R >>",
                        "<< /Type /Pages /Kids [3 0 R] /Count 3 >>",
                        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /PieceInfo << /PDFlib << "
                        "/Private << /Blocks << /first << /Type /Block /Subtype /Text /Rect [0 0 10 10] >> "
                        ">> >> >> >> >>",
                    }));
    RunResult result = runTemplate(path, "");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, header() + section(1, 1, "first") +
                              "ERRPR: 0x4002 [4103] PDF_open_pdi_page: Page 2 of PDF file '" + path +
                              "' does not exist (the document has 1 page)\n");
}

TEST(TemplateModeTest, DamagedAndHostileFilesEndInAnErrorLineOrWhatCouldBeRead)
{
    TempDir dir;
    const char* const catalog = "<< /Type /Catalog /Pages 2 0 R >>";
    const char* const pages = "<< /Type /Pages /Kids [3 0 R] /Count 1 >>";
    const std::string page =
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R /PieceInfo << /PDFlib << "
        "/Private << /Blocks << /name << /Type /Block /Subtype /Text /Rect [0 0 10 10] >> >> >> >> >> >>";
    const std::string content = "<< /Length 15 >>\nstream\n0 0 m 10 10 l S\nendstream";
    const std::string good = fixtures::rawPdf({catalog, pages, page, content});
    std::string shifted = good;
    shifted.insert(shifted.find("1 0 obj"), "%garbage\n");
    std::vector<std::string> deep{catalog};
    for (int i = 0; i < 5000; ++i)
        deep.push_back("<< /Type /Pages /Kids [" + std::to_string(i + 3) + " 0 R] /Count 1 >>");
    deep.push_back(page);

    const std::vector<std::pair<std::string, std::string>> files = {
        {"truncated", good.substr(0, good.size() * 3 / 4)},
        {"wrong xref", shifted},
        {"no pages", fixtures::rawPdf({"<< /Type /Catalog >>"})},
        {"page tree loop",
         fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R 2 0 R] /Count 2 >>", page, content})},
        {"deep page tree", fixtures::rawPdf(deep)},
        {"1 GB length", fixtures::rawPdf({catalog, pages, page,
                                          "<< /Length 1073741824 >>\nstream\n0 0 m 10 10 l S\nendstream"})},
        {"huge count",
         fixtures::rawPdf({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 99999999999999999999999999.5 >>",
                           page, content})},
    };
    const std::string errorStart = "ERRPR: 0x";
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string path = dir.file("hostile.pdf");
        writeFile(path, bytes);
        RunResult result = runTemplate(path, "");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        ASSERT_EQ(result.out.substr(0, header().size()), header());
        const std::string rest = result.out.substr(header().size());
        // What was read, then at most one error line that ends the output.
        const size_t error = rest.find(errorStart);
        if (error != std::string::npos) {
            EXPECT_EQ(rest.find('\n', error), rest.size() - 1) << rest;
            EXPECT_NE(rest.find(path, error), std::string::npos) << rest;
        }
        for (size_t at = 0; at < error && at < rest.size(); at += section(1, 1, "name").size())
            EXPECT_EQ(rest.substr(at, section(1, 1, "name").size()), section(1, 1, "name")) << rest;
    }
    // A count beyond every integer is read as the largest: the walk ends at
    // the first page that is not there.
    writeFile(dir.file("count.pdf"), files.back().second);
    EXPECT_EQ(runTemplate(dir.file("count.pdf"), "").out,
              header() + section(1, 1, "name") +
                  "ERRPR: 0x4002 [4103] PDF_open_pdi_page: Page 2 of PDF file '" + dir.file("count.pdf") +
                  "' does not exist (the document has 1 page)\n");
    // The repaired ones still show their block.
    writeFile(dir.file("shifted.pdf"), shifted);
    EXPECT_EQ(runTemplate(dir.file("shifted.pdf"), "").out, header() + section(1, 1, "name"));
    writeFile(dir.file("loop.pdf"), files[3].second);
    EXPECT_EQ(runTemplate(dir.file("loop.pdf"), "").out,
              header() + "ERRPR: 0x3001 [2207] PDF_open_pdi_document: PDF file '" + dir.file("loop.pdf") +
                  "' is damaged (the page tree reaches node 2 0 R twice)\n");
}
