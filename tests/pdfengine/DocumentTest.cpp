// Documents as the PDF tools see them: pages, sizes, information, in-memory
// output, the deterministic mode, and files that are replaced only whole.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <string>

#include "pdfengine/Handle.h"
#include "tests/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace enginetest;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {

RunResult pdfinfo(const std::string& path, const std::vector<std::string>& extra = {})
{
    std::vector<std::string> argv = {"pdfinfo"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(path);
    return run(argv);
}

void expectCheckedClean(const std::string& path, const std::string& password = "")
{
    std::vector<std::string> argv = {"qpdf", "--check"};
    if (!password.empty())
        argv.push_back("--password=" + password);
    argv.push_back(path);
    RunResult result = run(argv);
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("No syntax or stream encoding errors found"), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "");
}

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DocumentTest, PagesAndSizesAsPdfinfoReadsThem)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("sizes.pdf");
    {
        Handle p;
        ASSERT_EQ(PDF_begin_document(p, path.c_str(), 0, ""), 1);
        for (auto [w, h] : {std::pair{595.8, 843.25}, {1.0, 14400.0}, {842.0, 595.0}}) {
            PDF_begin_page_ext(p, w, h, "");
            PDF_end_page_ext(p, "");
        }
        PDF_end_document(p, "");
    }
    expectCheckedClean(path);
    RunResult info = pdfinfo(path, {"-f", "1", "-l", "3"});
    EXPECT_EQ(pdfinfoField(info.out, "Pages"), "3");
    EXPECT_EQ(pdfinfoField(info.out, "PDF version"), "1.7");
    EXPECT_EQ(pdfinfoField(info.out, "Page    1 size"), "595.8 x 843.25 pts (A4)");
    EXPECT_EQ(pdfinfoField(info.out, "Page    2 size"), "1 x 14400 pts");
    EXPECT_EQ(pdfinfoField(info.out, "Page    3 size"), "842 x 595 pts (A4)");
    EXPECT_EQ(pdfinfoField(info.out, "Producer"), "Quillon PDF engine 1.0.0");
}

TEST(DocumentTest, EveryCompatibilityIsTheHeaderVersion)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TempDir dir;
    for (const char* version : {"1.3", "1.4", "1.5", "1.6", "1.7", "2.0"}) {
        const std::string path = dir.file(std::string("v") + version + ".pdf");
        writeEmptyPages(path, 1, 100, 100, std::string("compatibility=") + version);
        EXPECT_EQ(readFile(path).substr(0, 8), std::string("%PDF-") + version);
        EXPECT_EQ(pdfinfoField(pdfinfo(path).out, "PDF version"), version);
    }
}

struct InfoCase {
    const char* encoding;  // hypertextencoding, or nullptr for the default
    const char* title;     // as handed to PDF_set_info
    const char* expected;  // UTF-8, as pdfinfo prints it
};

TEST(DocumentTest, InformationTextsInEveryEncodingComeOutAsWritten)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    const InfoCase cases[] = {
        {nullptr, "Plain ASCII title", "Plain ASCII title"},
        // Latin-1 in winansi, with the two code page 1252 specials that differ from Latin-1.
        {nullptr, "Caf\xE9 \xFC\xDF \x80 \x99", "Caf\xC3\xA9 \xC3\xBC\xC3\x9F \xE2\x82\xAC \xE2\x84\xA2"},
        {nullptr,
         "\xEF\xBB\xBF"
         "Caf\xC3\xA9",
         "Caf\xC3\xA9"},
        // 日本語の題名 with the UTF-8 mark, then without it in utf8 and unicode.
        {nullptr, "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE9\xA1\x8C\xE5\x90\x8D",
         "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE9\xA1\x8C\xE5\x90\x8D"},
        {"utf8", "\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"unicode", "\xE6\x97\xA5 \xC3\xA9", "\xE6\x97\xA5 \xC3\xA9"},
        // Outside the Basic Multilingual Plane: a surrogate pair in UTF-16.
        {"utf8", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    TempDir dir;
    int n = 0;
    for (const InfoCase& c : cases) {
        const std::string path = dir.file("info" + std::to_string(++n) + ".pdf");
        {
            Handle p;
            if (c.encoding)
                PDF_set_parameter(p, "hypertextencoding", c.encoding);
            PDF_begin_document(p, path.c_str(), 0, "");
            PDF_set_info(p, "Title", c.title);
            PDF_set_info(p, "Author", c.title);
            PDF_set_info(p, "Creator", c.title);
            PDF_begin_page_ext(p, 100, 100, "");
            PDF_end_page_ext(p, "");
            PDF_end_document(p, "");
        }
        RunResult info = pdfinfo(path);
        EXPECT_EQ(pdfinfoField(info.out, "Title"), c.expected) << c.title;
        EXPECT_EQ(pdfinfoField(info.out, "Author"), c.expected) << c.title;
        EXPECT_EQ(pdfinfoField(info.out, "Creator"), c.expected) << c.title;
    }
}

TEST(DocumentTest, InformationKeysAreCheckedAndCustomKeysKept)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    const std::string path = dir.file("keys.pdf");
    {
        Handle p;
        PDF_set_parameter(p, "hypertextencoding", "utf8");
        PDF_begin_document(p, path.c_str(), 0, "");
        EXPECT_EQ(failure(p, [&] { PDF_set_info(p, "", "x"); }),
                  "5005 9 Document information key must not be empty");
        EXPECT_EQ(failure(p, [&] { PDF_set_info(p, "Producer", "x"); }),
                  "5005 9 Document information key 'Producer' is set by the engine");
        EXPECT_EQ(failure(p, [&] { PDF_set_info(p, "Title", "caf\xE9"); }),
                  "5006 9 Value of document information 'Title' is not valid UTF-8");
        EXPECT_EQ(failure(p, [&] { PDF_set_info(p, "Trapped", "Maybe"); }),
                  "5006 9 Document information 'Trapped' must be True, False or Unknown, not 'Maybe'");
    }
    {
        Handle p;
        PDF_begin_document(p, path.c_str(), 0, "");
        PDF_set_info(p, "Trapped", "True");
        PDF_set_info(p, "Job Number", "4711");
        PDF_set_info(p, "Keywords", "first");
        PDF_set_info(p, "Keywords", "second");
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
    }
    expectCheckedClean(path);
    RunResult json = run({"qpdf", "--json", "--json-key=qpdf", path});
    EXPECT_NE(json.out.find("\"/Trapped\": \"/True\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"/Job Number\": \"u:4711\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"/Keywords\": \"u:second\""), std::string::npos) << json.out;
}

TEST(DocumentTest, InMemoryDocumentsAreReturnedByGetBuffer)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    TempDir dir;
    Handle p;
    PDF_set_option(p, "deterministic");
    ASSERT_EQ(PDF_begin_document(p, "", 0, "compatibility=1.5"), 1);
    PDF_begin_page_ext(p, 300, 200, "");
    PDF_end_page_ext(p, "");
    PDF_end_document(p, "");
    long size = 0;
    const char* data = PDF_get_buffer(p, &size);
    ASSERT_GT(size, 100);
    std::string bytes(data, static_cast<size_t>(size));
    EXPECT_EQ(bytes.substr(0, 8), "%PDF-1.5");
    EXPECT_EQ(bytes.substr(bytes.size() - 6), "%%EOF\n");
    writeFile(dir.file("memory.pdf"), bytes);
    expectCheckedClean(dir.file("memory.pdf"));
    // Readable again until the next document begins.
    EXPECT_EQ(std::string(PDF_get_buffer(p, &size), static_cast<size_t>(size)), bytes);
    PDF_begin_document(p, "", 0, "");
    EXPECT_EQ(failure(p, [&] { PDF_get_buffer(p, &size); }),
              "3001 3 Function 'PDF_get_buffer' must not be called in 'document' scope");
}

TEST(DocumentTest, DeterministicModeWritesTheSameBytesTwice)
{
    TempDir dir;
    auto write = [&](const std::string& name, const std::string& options) {
        writeRedSquare(dir.file(name), options, "deterministic=true");
        return readFile(dir.file(name));
    };
    // Every encryption method too: RC4, AES-128 and AES-256 (whose keys and
    // salts are random outside this mode).
    for (const char* version : {"1.3", "1.5", "1.7", "2.0"}) {
        const std::string options =
            std::string("compatibility=") + version + " masterpassword=m userpassword=u";
        const std::string first = write("a.pdf", options);
        EXPECT_EQ(write("b.pdf", options), first) << version;
    }
    EXPECT_EQ(write("c.pdf", ""), write("d.pdf", ""));
    if (haveTool("pdfinfo")) {
        RunResult info = run({"pdfinfo", "-isodates", dir.file("c.pdf")});
        EXPECT_EQ(pdfinfoField(info.out, "CreationDate"), "2000-01-01T00:00:00Z");
        EXPECT_EQ(pdfinfoField(info.out, "ModDate"), "2000-01-01T00:00:00Z");
    }
}

TEST(DocumentTest, DeterministicModeCanComeFromTheEnvironment)
{
    TempDir dir;
    setenv("QUILLON_PDF_DETERMINISTIC", "1", 1);
    writeEmptyPages(dir.file("a.pdf"), 2, 100, 100);
    writeEmptyPages(dir.file("b.pdf"), 2, 100, 100);
    unsetenv("QUILLON_PDF_DETERMINISTIC");
    EXPECT_EQ(readFile(dir.file("a.pdf")), readFile(dir.file("b.pdf")));
    writeEmptyPages(dir.file("c.pdf"), 2, 100, 100);
    EXPECT_EQ(readFile(dir.file("c.pdf")).find("D:20000101000000Z"), std::string::npos);
}

TEST(DocumentTest, AMissingFolderFailsAtBeginAndAVanishedOneAtEnd)
{
    TempDir dir;
    Handle p;
    const std::string missing = dir.file("nowhere/out.pdf");
    EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, missing.c_str(), 0, ""); }),
              "2001 2 Couldn't open PDF file '" + missing + "' for writing (No such file or directory)");
    EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, dir.path().c_str(), 0, ""); }),
              "2001 2 Couldn't open PDF file '" + dir.path().string() + "' for writing (Is a directory)");

    fs::create_directory(dir.file("gone"));
    const std::string target = dir.file("gone/out.pdf");
    ASSERT_EQ(PDF_begin_document(p, target.c_str(), 0, ""), 1);
    PDF_begin_page_ext(p, 100, 100, "");
    PDF_end_page_ext(p, "");
    fs::remove(dir.file("gone"));
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }),
              "2001 2 Couldn't open PDF file '" + target + "' for writing (No such file or directory)");
    EXPECT_FALSE(fileExists(target));
    // Back in object scope: a new document can begin.
    EXPECT_EQ(PDF_begin_document(p, "", 0, ""), 1);
}

TEST(DocumentTest, ADocumentWithoutPagesIsAnErrorAndWritesNothing)
{
    TempDir dir;
    const std::string target = dir.file("empty.pdf");
    writeFile(target, "older");
    Handle p;
    PDF_begin_document(p, target.c_str(), 0, "");
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }),
              "2106 12 The document has no pages; no file was written");
    EXPECT_EQ(readFile(target), "older");
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"empty.pdf"});
    // Ended all the same: closing again is quiet, a new document may begin.
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }), "no error");
    EXPECT_EQ(PDF_begin_document(p, "", 0, ""), 1);
    // An in-memory document without pages ends the same way, with no bytes.
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }),
              "2106 12 The document has no pages; no file was written");
    EXPECT_EQ(failure(p, [&] { PDF_get_buffer(p, nullptr); }),
              "3004 3 PDF_get_buffer needs a finished document begun with an empty file name");
}

TEST(DocumentTest, ASymbolicLinkStaysAndItsFileIsReplaced)
{
    TempDir dir;
    fs::create_directory(dir.file("real"));
    const std::string real = dir.file("real/report.pdf");
    const std::string link = dir.file("report.pdf");
    writeFile(real, "older");
    fs::create_symlink(real, link);
    writeRedSquare(link);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(real).substr(0, 5), "%PDF-");
    EXPECT_EQ(filesIn(dir.file("real")), std::vector<std::string>{"report.pdf"});
}

TEST(DocumentTest, AFileTheUserMayNotWriteIsNotReplaced)
{
    // Read-only for everybody: refused for root too.
    TempDir dir;
    const std::string target = dir.file("locked.pdf");
    writeFile(target, "locked");
    chmod(target.c_str(), 0444);
    Handle p;
    EXPECT_EQ(failure(p, [&] { PDF_begin_document(p, target.c_str(), 0, ""); }),
              "2001 2 Couldn't open PDF file '" + target + "' for writing (Permission denied)");
    EXPECT_EQ(readFile(target), "locked");
}

TEST(DocumentTest, AFailedWriteLeavesTheOlderFileUntouched)
{
    using pdfengine::OutputFault;
    struct FaultCase {
        OutputFault fault;
        std::string expected;  // the error, with @ for the target's path
    };
    const FaultCase cases[] = {
        {OutputFault::Create, "2001 2 Couldn't open PDF file '@' for writing (Permission denied)"},
        {OutputFault::Write, "2002 2 Couldn't write PDF file '@' (No space left on device)"},
        {OutputFault::Close, "2002 2 Couldn't write PDF file '@' (Input/output error)"},
        {OutputFault::Rename, "2003 2 Couldn't rename the temporary file to '@' (Input/output error)"},
    };
    for (const FaultCase& c : cases) {
        TempDir dir;
        const std::string target = dir.file("report.pdf");
        writeFile(target, "the older report");
        chmod(target.c_str(), 0640);
        Handle p;
        p->engine.setOutputFault(c.fault);
        PDF_begin_document(p, target.c_str(), 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_end_page_ext(p, "");
        std::string expected = c.expected;
        expected.replace(expected.find('@'), 1, target);
        EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }), expected);
        EXPECT_EQ(readFile(target), "the older report");
        EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"report.pdf"}) << "no temporary file is left";

        // Without the fault the file is replaced and keeps its permissions.
        p->engine.setOutputFault(OutputFault::None);
        PDF_begin_document(p, target.c_str(), 0, "");
        PDF_begin_page_ext(p, 100, 100, "");
        PDF_end_page_ext(p, "");
        PDF_end_document(p, "");
        EXPECT_EQ(readFile(target).substr(0, 5), "%PDF-");
        EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"report.pdf"});
        struct stat info {};
        stat(target.c_str(), &info);
        EXPECT_EQ(info.st_mode & 0777, 0640u);
    }
}

// A document large enough that its writer sends bytes to the file while it
// writes the object streams, not only at the end.
void writeManyPages(PDF* p, const std::string& path, const std::string& options)
{
    PDF_begin_document(p, path.c_str(), 0, options.c_str());
    for (int page = 0; page < 1500; ++page) {
        PDF_begin_page_ext(p, 200, 200, "");
        for (int line = 0; line < 10; ++line) {
            PDF_moveto(p, line * 7.25 + page % 13, 10);
            PDF_lineto(p, 190 - line * 3.5, 180 - page % 17);
            PDF_stroke(p);
        }
        PDF_end_page_ext(p, "");
    }
    PDF_end_document(p, "");
}

TEST(DocumentTest, SmallObjectsAreWrittenInObjectStreamsFromVersion15)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    QUILLON_REQUIRE_TOOL("pdfinfo");
    TempDir dir;
    struct VersionCase {
        const char* options;
        bool objectStreams;
    };
    const VersionCase cases[] = {
        {"compatibility=1.4", false},
        {"compatibility=1.5", true},
        {"", true},
        {"compatibility=2.0", true},
        {"compatibility=1.4 masterpassword=m userpassword=u", false},
        {"compatibility=1.7 masterpassword=m userpassword=u", true},
    };
    for (const VersionCase& c : cases) {
        const std::string path = dir.file("streams.pdf");
        {
            Handle p;
            PDF_begin_document(p, path.c_str(), 0, c.options);
            for (int page = 0; page < 3; ++page) {
                PDF_begin_page_ext(p, 300, 200, "");
                PDF_rect(p, 10, 10, 50 + page, 50);
                PDF_fill(p);
                PDF_end_page_ext(p, "");
            }
            PDF_end_document(p, "");
        }
        const std::string bytes = readFile(path);
        EXPECT_EQ(bytes.find("/ObjStm") != std::string::npos, c.objectStreams) << c.options;
        const bool encrypted = std::string(c.options).find("password") != std::string::npos;
        expectCheckedClean(path, encrypted ? "u" : "");
        RunResult info =
            pdfinfo(path, encrypted ? std::vector<std::string>{"-upw", "u"} : std::vector<std::string>{});
        EXPECT_EQ(pdfinfoField(info.out, "Pages"), "3") << c.options << info.err;
    }
}

// The program sets this for its whole process; each test runs in a process of
// its own, so no other test sees it.
TEST(DocumentTest, DocumentsKeptUntilTheExitAreWrittenWholeAndTheHandleGoesOn)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    QUILLON_REQUIRE_TOOL("pdfinfo");
    pdfengine::Engine::keepWrittenDocumentsUntilExit();
    TempDir dir;
    Handle p;
    for (const char* name : {"first.pdf", "second.pdf"}) {
        const std::string path = dir.file(name);
        writeManyPages(p, path, "");
        expectCheckedClean(path);
        EXPECT_EQ(pdfinfoField(pdfinfo(path).out, "Pages"), "1500") << name;
    }
    // A document that fails still fails, and the handle goes on.
    PDF_begin_document(p, dir.file("empty.pdf").c_str(), 0, "");
    EXPECT_EQ(failure(p, [&] { PDF_end_document(p, ""); }),
              "2106 12 The document has no pages; no file was written");
    EXPECT_FALSE(fs::exists(dir.file("empty.pdf")));
    writeManyPages(p, dir.file("third.pdf"), "compatibility=1.4");
    expectCheckedClean(dir.file("third.pdf"));
}

TEST(DocumentTest, AFullDiskWhileObjectStreamsAreWrittenIsAWriteError)
{
    using pdfengine::OutputFault;
    for (const char* options : {"compatibility=1.4", "compatibility=1.7"}) {
        TempDir dir;
        const std::string target = dir.file("report.pdf");
        writeFile(target, "the older report");
        Handle p;
        p->engine.setOutputFault(OutputFault::Write);
        EXPECT_EQ(failure(p, [&] { writeManyPages(p, target, options); }),
                  "2002 2 Couldn't write PDF file '" + target + "' (No space left on device)")
            << options;
        EXPECT_EQ(readFile(target), "the older report");
        EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"report.pdf"});

        // The handle writes the next document as if nothing had happened.
        p->engine.setOutputFault(OutputFault::None);
        writeManyPages(p, target, options);
        if (haveTool("qpdf"))
            expectCheckedClean(target);
    }
}

}  // namespace
