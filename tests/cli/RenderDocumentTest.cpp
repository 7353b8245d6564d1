// Document-level settings of a run: information, version, encryption and permissions,
// the engine's trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "tests/cli/CliFixture.h"

using namespace clitest;
using namespace pdfcheck;
using testsupport::fileExists;
using testsupport::readFile;

namespace {

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// Whether the encryption dictionary of an encrypted PDF says /EncryptMetadata false.
bool metadataInPlain(const std::string& pdf, const std::string& password)
{
    std::string trailer =
        testsupport::run({"qpdf", "--password=" + password, "--show-object=trailer", pdf}).out;
    std::smatch m;
    if (!std::regex_search(trailer, m, std::regex("/Encrypt (\\d+) 0 R")))
        return false;
    std::string dictionary =
        testsupport::run({"qpdf", "--password=" + password, "--show-object=" + m[1].str(), pdf}).out;
    return dictionary.find("/EncryptMetadata false") != std::string::npos;
}

TEST_F(CliTest, DocumentInformationInAsciiAndJapanese)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    render("[PDF]\npdfName=out.pdf\ntitle=Monthly Report\nauthor=山田太郎\npages=1\n");
    EXPECT_EQ(info(file("out.pdf"), "Title"), "Monthly Report");
    EXPECT_EQ(info(file("out.pdf"), "Author"), "山田太郎");
    // Without a creator key the banner is the creator.
    EXPECT_EQ(info(file("out.pdf"), "Creator"), firstLine(bannerText()));
    EXPECT_EQ(info(file("out.pdf"), "PDF version"), "1.7");

    render("[PDF]\npdfName=out.pdf\ntitle=月次報告書 ～ ①\ncreator=\ncompatibility=1.4\npages=1\n");
    EXPECT_EQ(info(file("out.pdf"), "Title"), "月次報告書 ～ ①");
    EXPECT_EQ(info(file("out.pdf"), "Creator"), "");
    EXPECT_EQ(info(file("out.pdf"), "PDF version"), "1.4");
}

TEST_F(CliTest, EachPermissionReachesTheEncryption)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    struct Case {
        const char* keyword;
        const char* compatibility;
        std::vector<std::string> denied;  // qpdf's lines for it
    };
    const std::string anyChange = "modify anything";
    const Case cases[] = {
        {"noprint", "1.7", {"print low resolution", "print high resolution"}},
        {"nohiresprint", "1.7", {"print high resolution"}},
        {"nocopy", "1.7", {"extract for any purpose"}},
        // The AES methods always allow extraction for accessibility.
        {"noaccessible", "1.4", {"extract for accessibility"}},
        {"nomodify", "1.7", {"modify other", anyChange}},
        {"noassemble", "1.7", {"modify document assembly", anyChange}},
        {"noforms", "1.7", {"modify forms", anyChange}},
        {"noannots", "1.7", {"modify annotations", anyChange}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword);
        render(std::string("[PDF]\npdfName=out.pdf\nmasterPwd=master\npermissions=") + c.keyword +
               "\ncompatibility=" + c.compatibility + "\npages=1\n");
        std::string shown = encryption(file("out.pdf"), "master");
        // Exactly those are denied.
        std::vector<std::string> denied;
        static const std::regex line("([a-z ]+): not allowed");
        for (auto it = std::sregex_iterator(shown.begin(), shown.end(), line); it != std::sregex_iterator();
             ++it)
            denied.push_back((*it)[1].str());
        std::vector<std::string> expected = c.denied;
        std::sort(expected.begin(), expected.end());
        std::sort(denied.begin(), denied.end());
        EXPECT_EQ(denied, expected) << shown;
    }
    render("[PDF]\npdfName=out.pdf\nmasterPwd=master\npermissions=plainmetadata nocopy\npages=1\n");
    EXPECT_TRUE(metadataInPlain(file("out.pdf"), "master"));
    render("[PDF]\npdfName=out.pdf\nmasterPwd=master\npermissions=nocopy\npages=1\n");
    EXPECT_FALSE(metadataInPlain(file("out.pdf"), "master"));
}

TEST_F(CliTest, PasswordsAndVersionsChooseTheEncryption)
{
    QUILLON_REQUIRE_TOOL("qpdf");
    QUILLON_REQUIRE_TOOL("pdfinfo");
    render("[PDF]\npdfName=out.pdf\nmasterPwd=master\nuserPwd=user\npages=1\n");
    EXPECT_EQ(info(file("out.pdf"), "Pages"), "");  // cannot be opened without a password
    EXPECT_EQ(info(file("out.pdf"), "Pages", "user"), "1");
    EXPECT_NE(encryption(file("out.pdf"), "master").find("AESv2"), std::string::npos);

    render("[PDF]\npdfName=out.pdf\nmasterPwd=master\ncompatibility=2.0\npages=1\n");
    EXPECT_NE(encryption(file("out.pdf"), "master").find("R = 6"), std::string::npos);
    EXPECT_EQ(info(file("out.pdf"), "PDF version"), "2.0");
    render("[PDF]\npdfName=out.pdf\nmasterPwd=master\ncompatibility=1.3\npages=1\n");
    EXPECT_NE(encryption(file("out.pdf"), "master").find("R = 2"), std::string::npos);

    // Without a master password nothing is encrypted.
    render("[PDF]\npdfName=out.pdf\npages=1\n");
    EXPECT_EQ(info(file("out.pdf"), "Encrypted"), "no");
}

TEST_F(CliTest, TheTraceFollowsTheFlagsArgument)
{
    writeConf("[PDF]\npdfName=out.pdf\npages=1\n");
    const std::string trace = file("pdflib_trace.txt");
    for (const char* flags : {"1", "3", " +7", "65537", "-1"}) {
        SCOPED_TRACE(flags);
        std::filesystem::remove(trace);
        ASSERT_EQ(quillon("test.conf", {flags}).err, "");
        ASSERT_TRUE(fileExists(trace));
        std::string lines = readFile(trace);
        EXPECT_NE(lines.find("PDF_begin_document(\"out.pdf\", 0, \"\")"), std::string::npos) << lines;
        EXPECT_NE(lines.find("PDF_end_document(\"\")"), std::string::npos);
    }
    for (const char* flags : {"2", "abc", "", "0x1", "65536"}) {
        SCOPED_TRACE(flags);
        std::filesystem::remove(trace);
        ASSERT_EQ(quillon("test.conf", {flags}).err, "");
        EXPECT_FALSE(fileExists(trace));
    }
    ASSERT_EQ(quillon().err, "");
    EXPECT_FALSE(fileExists(trace));
    EXPECT_TRUE(fileExists(file("out.pdf")));
}

TEST_F(CliTest, TheTraceKeyNamesItsOwnFile)
{
    render(
        "[PDF]\npdfName=out.pdf\ntrace=mine.txt\npages=1\n[PAGE_1]\nobjects=1\n"
        "[PUT_1_1]\nobject_type=line\nleft=100\ntop=100\nright=200\nbottom=200\nblack=10\nwhite=5\n");
    EXPECT_FALSE(fileExists(file("pdflib_trace.txt")));
    std::string lines = readFile(file("mine.txt"));
    // The line type as the renderer hands it on: width, cap, join, dash, colour.
    EXPECT_NE(lines.find("PDF_setlinewidth(0.85034)\n"
                         "PDF_set_graphics_option(\"linecap=0\")\n"
                         "PDF_set_graphics_option(\"linejoin=0\")\n"
                         "PDF_set_graphics_option(\"dasharray={2.83 1.42}\")\n"
                         "PDF_setcolor(\"stroke\", \"rgb\", 0, 0, 0, 0)\n"
                         "PDF_moveto("),
              std::string::npos)
        << lines;
}

TEST_F(CliTest, ALongDocumentIsTheSameWhetherItsPagesAreReadAheadOrFirst)
{
    // A long document's pages are read while the earlier ones are drawn, except when
    // the run is traced; the document must not show the difference.
    std::string conf = "[PDF]\npdfName=out.pdf\ntitle=Long\npages=70\n";
    for (int n = 1; n <= 70; ++n) {
        const std::string page = std::to_string(n);
        conf += "[PAGE_" + page + "]\nobjects=2\n[PUT_" + page + "_1]\nobject_type=text\ntext=Page " + page +
                "\nx=200\ny=300\nface=Helvetica\nencoding=winansi\nsize=" + std::to_string(8 + n % 5) +
                "\n[PUT_" + page + "_2]\nobject_type=rect\nleft=100\ntop=" + std::to_string(400 + n) +
                "\nright=900\nbottom=900\n";
    }
    writeConf(conf);
    setenv("QUILLON_PDF_DETERMINISTIC", "1", 1);
    testsupport::RunResult readAhead = quillon();
    ASSERT_EQ(readAhead.err, "");
    std::string first = readFile(file("out.pdf"));
    testsupport::RunResult traced = quillon("test.conf", {"1"});
    unsetenv("QUILLON_PDF_DETERMINISTIC");
    ASSERT_EQ(traced.err, "");
    EXPECT_TRUE(fileExists(file("pdflib_trace.txt")));
    EXPECT_TRUE(readFile(file("out.pdf")) == first) << "the documents differ";
    EXPECT_EQ(pdfcheck::info(file("out.pdf"), "Pages"), "70");
    for (int n : {1, 33, 70})
        EXPECT_EQ(pdfcheck::text(file("out.pdf"), n), "Page " + std::to_string(n) + "\n\n\f");
}

}  // namespace
