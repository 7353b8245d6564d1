// Configuration runs given hostile names and sizes: each ends with an error or a
// bounded result, never a crash or a hang, and every file the run reads is
// byte for byte what it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/PdfFixtures.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

const std::string errorStart = "\r\nERROR: ";

class ConfigurationRunTest : public ::testing::Test {
protected:
    // Writes an input file and remembers its bytes.
    std::string input(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir_.file(name);
        writeFile(path, bytes);
        inputs_[path] = bytes;
        return path;
    }

    // Writes test.conf and runs quillon on it in the test's folder. A run killed by
    // a signal (a crash, or ASan's abort) fails here.
    RunResult runConf(const std::string& conf)
    {
        input("test.conf", conf);
        RunResult result = run({quillonExe(), "test.conf"}, dir_.path().string());
        EXPECT_EQ(result.status, 0) << result.err;
        return result;
    }

    // Every input is as it was written.
    void expectInputsIntact() const
    {
        for (const auto& [path, bytes] : inputs_) {
            ASSERT_TRUE(fileExists(path)) << path;
            EXPECT_TRUE(readFile(path) == bytes) << path << " changed";
        }
    }

    static void expectError(const RunResult& result)
    {
        EXPECT_EQ(result.err.rfind(errorStart, 0), 0u) << result.err;
    }

    std::string file(const std::string& name) const { return dir_.file(name); }

    TempDir dir_;
    std::map<std::string, std::string> inputs_;
};

// A one-page document with a red square: a PDF to import.
std::string background()
{
    fixtures::PdfBuilder b;
    b.addPage("[0 0 200 100]", "1 0 0 rg 10 10 50 50 re f");
    TempDir dir;
    b.write(dir.file("bg.pdf"));
    return readFile(dir.file("bg.pdf"));
}

std::string onePage(const std::string& pdfKeys, const std::string& pdfName = "out.pdf")
{
    return "[PDF]\npdfName=" + pdfName + "\n" + pdfKeys +
           "pages=1\n[PAGE_1]\nobjects=1\n[PUT_1_1]\nobject_type=line\n"
           "left=10\ntop=10\nright=100\nbottom=10\n";
}

}  // namespace

TEST_F(ConfigurationRunTest, OutputNamesThatCannotOrMustNotBeWritten)
{
    // A folder that does not exist: nothing is made.
    RunResult result = runConf(onePage("", "no/such/folder/out.pdf"));
    expectError(result);
    EXPECT_FALSE(std::filesystem::exists(file("no")));

    // A read-only file keeps its bytes, also for a user whom the system would let
    // write it.
    const std::string readOnly = input("locked.pdf", "%PDF-1.4 read-only\n");
    ::chmod(readOnly.c_str(), 0444);
    result = runConf(onePage("", "locked.pdf"));
    expectError(result);

    // The configuration itself.
    result = runConf(onePage("", "test.conf"));
    expectError(result);
    // Through a link to it.
    std::filesystem::create_symlink(file("test.conf"), file("link.conf"));
    result = runConf(onePage("", "link.conf"));
    expectError(result);
    expectInputsIntact();
}

TEST_F(ConfigurationRunTest, AnImportedPdfThatIsTheOutput)
{
    input("bg.pdf", background());
    for (const std::string& name : {std::string("bg.pdf"), file("bg.pdf"), std::string("./bg.pdf")}) {
        SCOPED_TRACE(name);
        RunResult result =
            runConf("[PDF]\npdfName=" + name + "\npdiName=bg.pdf\npages=1\n[PAGE_1]\npdiPage=1\n");
        expectError(result);
        expectInputsIntact();
    }
    // The same background into another file works.
    RunResult result = runConf("[PDF]\npdfName=out.pdf\npdiName=bg.pdf\npages=1\n[PAGE_1]\npdiPage=1\n");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(fileExists(file("out.pdf")));
    expectInputsIntact();
}

TEST_F(ConfigurationRunTest, ALogFileInAFolderThatDoesNotExist)
{
    // The log is lost, the PDF is not: the run itself succeeds or says why not.
    RunResult result = runConf(onePage("log_file=no/such/folder/run.log\n"));
    EXPECT_FALSE(std::filesystem::exists(file("no")));
    if (result.err.empty())
        EXPECT_TRUE(fileExists(file("out.pdf")));
    else
        expectError(result);
    expectInputsIntact();
}

TEST_F(ConfigurationRunTest, TextFilesThatAreNoFiles)
{
    std::filesystem::create_directory(file("folder"));
    for (const std::string& name : {file("folder"), std::string("/dev/zero")}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(file("out.pdf"));
        RunResult result = runConf(
            "[PDF]\npdfName=out.pdf\npages=1\n[PAGE_1]\nobjects=1\n[PUT_1_1]\n"
            "object_type=text\nx=100\ny=100\nface=Helvetica\nsize=12\ntextfile=" +
            name + "\n");
        if (result.err.empty())
            EXPECT_TRUE(fileExists(file("out.pdf")));
        else
            expectError(result);
    }
    expectInputsIntact();
}

TEST_F(ConfigurationRunTest, CountsBeyondAnyDocument)
{
    // "ページがありまません"
    const std::string noPages = "\x83y\x81[\x83W\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xDC\x82\xB9\x82\xF1";
    RunResult result = runConf("[PDF]\npdfName=out.pdf\npages=-5\n");
    EXPECT_EQ(result.err, errorStart + noPages + "\r\n");

    result = runConf("[PDF]\npdfName=out.pdf\npages=1\n[PAGE_1]\nobjects=2000000000\n");
    expectError(result);
    EXPECT_FALSE(fileExists(file("out.pdf")));
    expectInputsIntact();
}

TEST_F(ConfigurationRunTest, AHundredMegabyteLine)
{
    QUILLON_REQUIRE_TOOL("pdfinfo");
    // A title of 100 MB is cut to what a title holds; the keys after it still count.
    std::string conf = "[PDF]\npdfName=out.pdf\ntitle=";
    conf.append(100u << 20, 'a');
    conf += "\npages=1\n";
    RunResult result = runConf(conf);
    EXPECT_EQ(result.err, "");
    ASSERT_TRUE(fileExists(file("out.pdf")));
    EXPECT_LT(std::filesystem::file_size(file("out.pdf")), 100000u);
    const std::string info = run({"pdfinfo", file("out.pdf")}).out;
    const size_t title = info.find("Title:");
    ASSERT_NE(title, std::string::npos) << info;
    const std::string value = info.substr(title, info.find('\n', title) - title);
    EXPECT_NE(value.find(" aaaa"), std::string::npos) << value;
    EXPECT_LT(value.size(), 300u);
    expectInputsIntact();
}
