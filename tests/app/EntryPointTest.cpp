#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/Banner.h"
#include "app/EntryPoint.h"
#include "pdfengine/Version.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

const std::string usageError = std::string("\r\nERROR: ") + usageMessage + "\r\n";

std::string expectedHeader()
{
    return std::string(bannerText()) + "\n DLL version " PDFENGINE_VERSION "\n";
}

TEST(EntryPointTest, BannerReadsAsDocumented)
{
    std::string banner = bannerText();
    ASSERT_EQ(banner.rfind("Quillon v4.0.2 for PDFlib 9.1.1p3\n ", 0), 0u);
    EXPECT_EQ(banner.find('\n'), banner.rfind('\n'));
    EXPECT_NE(banner.back(), '\n');
}

TEST(EntryPointTest, MissingArgumentIsAUsageError)
{
    RunResult result = run({quillonExe()});
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.out, expectedHeader());
    EXPECT_EQ(result.err, usageError);
    // The usage message is Shift-JIS with CR LF line ends.
    EXPECT_EQ(std::string(usageMessage).substr(0, 4), "\x83R\x83\x93");
    EXPECT_NE(std::string(usageMessage).find("\r\n  \x8Eg\x82\xA2\x95\xFB: Quillon configuration.conf\r\n"),
              std::string::npos);
}

TEST(EntryPointTest, OnlyConfAndPdfExtensionsAreAccepted)
{
    TempDir dir;
    for (const char* name : {"a.txt", "a.conf.bak", "nodot", "dir.old/file", "a.conf "}) {
        RunResult result = run({quillonExe(), name}, dir.path().string());
        EXPECT_EQ(result.status, 255) << name;
        EXPECT_EQ(result.out, expectedHeader()) << name;
        EXPECT_EQ(result.err, usageError) << name;
    }
    for (const char* name : {"REPORT.CONF", "a.Pdf"}) {
        RunResult result = run({quillonExe(), name}, dir.path().string());
        EXPECT_EQ(result.status, 0) << name;
        EXPECT_EQ(result.err.find(usageMessage), std::string::npos) << name;
    }
}

TEST(EntryPointTest, ExtensionIsTakenFromTheLastDotOfTheWholePath)
{
    EXPECT_EQ(modeOfPath("/work/REPORT.CONF"), RunMode::Configuration);
    EXPECT_EQ(modeOfPath("/work/a.Pdf"), RunMode::Template);
    EXPECT_EQ(modeOfPath("/work/dir.old/file"), RunMode::None);
    EXPECT_EQ(modeOfPath("/work/x.conf.bak"), RunMode::None);
    EXPECT_EQ(modeOfPath("/work/file"), RunMode::None);
    EXPECT_EQ(modeOfPath("/work/.conf"), RunMode::Configuration);
}

TEST(EntryPointTest, PathsAreCompletedAgainstTheCurrentFolder)
{
    std::string path;
    ASSERT_TRUE(completePath("x.conf", true, "/", path));
    EXPECT_EQ(path, "/x.conf");
    ASSERT_TRUE(completePath("x.conf", true, "/work", path));
    EXPECT_EQ(path, "/work/x.conf");
    ASSERT_TRUE(completePath("sub/x.conf", true, "/work", path));
    EXPECT_EQ(path, "sub/x.conf");
    ASSERT_TRUE(completePath("/abs/x.conf", false, "", path));
    EXPECT_EQ(path, "/abs/x.conf");
    EXPECT_FALSE(completePath("x.conf", false, "", path));
    // No fixed buffer: folders of any length complete whole.
    std::string deep = "/" + std::string(2000, 'd');
    ASSERT_TRUE(completePath("x.conf", true, deep, path));
    EXPECT_EQ(path, deep + "/x.conf");
}

TEST(EntryPointTest, LongFoldersAndAVanishedFolderAreHandled)
{
    TempDir dir;
    // A folder path of well over 512 bytes.
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 6; ++i)
        deep /= std::string(100, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    RunResult longPath = run({quillonExe(), "x.txt"}, deep.string());
    EXPECT_EQ(longPath.status, 255);
    EXPECT_EQ(longPath.err, usageError);

    // A process whose current folder was removed cannot complete a relative name.
    std::filesystem::path gone = dir.path() / "gone";
    std::filesystem::create_directory(gone);
    std::string script = "cd '" + gone.string() + "' && rmdir '" + gone.string() + "' && exec '" +
                         quillonExe() + "' x.conf";
    RunResult vanished = run({"/bin/sh", "-c", script});
    EXPECT_EQ(vanished.status, 255);
    EXPECT_EQ(vanished.err, usageError);
}

}  // namespace
