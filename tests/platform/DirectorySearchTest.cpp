#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/directory_search.h"
#include "platform/file_rename.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> search(const std::string& text)
{
    std::vector<std::string> names;
    platform::DirectorySearch listing;
    platform::FindData record;
    for (bool found = listing.findFirst(text, record); found; found = listing.findNext(record))
        names.push_back(record.fileName);
    return names;
}

TEST(FilePatternTest, StarAndQuestionMarkInEitherCase)
{
    EXPECT_TRUE(platform::matchesFilePattern("app.log", "*.log"));
    EXPECT_TRUE(platform::matchesFilePattern("APP.LOG", "*.log"));
    EXPECT_FALSE(platform::matchesFilePattern("app.logx", "*.log"));
    EXPECT_TRUE(platform::matchesFilePattern("app.20240305.log", "app.*.log"));
    EXPECT_FALSE(platform::matchesFilePattern("app.log", "app.*.log"));
    EXPECT_TRUE(platform::matchesFilePattern("abc", "a?c"));
    EXPECT_FALSE(platform::matchesFilePattern("ac", "a?c"));
    EXPECT_TRUE(platform::matchesFilePattern("", "*"));
    EXPECT_TRUE(platform::matchesFilePattern("a.b.c", "*.*"));
    EXPECT_TRUE(platform::matchesFilePattern("[x].log", "[x].log"));  // no character classes
    EXPECT_FALSE(platform::matchesFilePattern("x.log", "[x].log"));
    EXPECT_TRUE(platform::matchesFilePattern("aaab", "*a*b"));
}

TEST(DirectorySearchTest, ListsMatchesInNameOrder)
{
    testsupport::TempDir folder;
    for (const char* name : {"b.log", "a.log", "C.LOG", "notes.txt"})
        testsupport::writeFile(folder.file(name), "x");
    std::filesystem::create_directory(folder.file("d.log"));
    const std::string dir = folder.path().string();
    EXPECT_EQ(search(dir + "/*.log"), (std::vector<std::string>{"C.LOG", "a.log", "b.log", "d.log"}));
    EXPECT_EQ(search(dir + "/*"),
              (std::vector<std::string>{".", "..", "C.LOG", "a.log", "b.log", "d.log", "notes.txt"}));
    EXPECT_TRUE(search(dir + "/*.pdf").empty());
    EXPECT_TRUE(search(dir + "/").empty());
    EXPECT_TRUE(search(dir + "/missing/*").empty());

    platform::DirectorySearch listing;
    platform::FindData record;
    ASSERT_TRUE(listing.findFirst(dir + "/a.log", record));
    listing.close();
    EXPECT_FALSE(listing.findNext(record));
}

TEST(DirectorySearchTest, DescribesEachEntry)
{
    testsupport::TempDir folder;
    testsupport::writeFile(folder.file("data.bin"), std::string(3000, 'd'));
    testsupport::writeFile(folder.file(".hidden"), "");
    ::chmod(folder.file("data.bin").c_str(), 0444);
    std::filesystem::create_directory(folder.file("sub"));
    const std::string dir = folder.path().string();

    platform::DirectorySearch listing;
    platform::FindData record;
    ASSERT_TRUE(listing.findFirst(dir + "/data.bin", record));
    EXPECT_EQ(record.fileName, "data.bin");
    EXPECT_EQ(record.alternateFileName, "");
    EXPECT_EQ(record.sizeLow, 3000u);
    EXPECT_EQ(record.sizeHigh, 0u);
    EXPECT_EQ(record.attributes, platform::fileAttributeReadOnly);
    EXPECT_GT(record.lastWriteTime.ticks, 0u);
    EXPECT_LE(record.creationTime.ticks, record.lastWriteTime.ticks);

    ASSERT_TRUE(listing.findFirst(dir + "/sub", record));
    EXPECT_EQ(record.attributes, platform::fileAttributeDirectory);
    ASSERT_TRUE(listing.findFirst(dir + "/.hidden", record));
    EXPECT_EQ(record.attributes, platform::fileAttributeHidden);
    ::chmod(folder.file("data.bin").c_str(), 0644);
    ASSERT_TRUE(listing.findFirst(dir + "/data.bin", record));
    EXPECT_EQ(record.attributes, platform::fileAttributeNormal);
}

TEST(FileRenameTest, NeverReplacesAnExistingFile)
{
    testsupport::TempDir folder;
    const std::string from = folder.file("from"), to = folder.file("to");
    testsupport::writeFile(from, "new");
    testsupport::writeFile(to, "old");
    EXPECT_FALSE(platform::renameNoReplace(from.c_str(), to.c_str()));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(testsupport::readFile(to), "old");
    EXPECT_EQ(testsupport::readFile(from), "new");

    const std::string free = folder.file("free");
    EXPECT_TRUE(platform::renameNoReplace(from.c_str(), free.c_str()));
    EXPECT_EQ(testsupport::readFile(free), "new");
    EXPECT_FALSE(testsupport::fileExists(from));
    EXPECT_FALSE(platform::renameNoReplace(from.c_str(), folder.file("other").c_str()));
    EXPECT_EQ(errno, ENOENT);
}

}  // namespace
