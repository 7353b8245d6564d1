#include <gtest/gtest.h>

#include <unistd.h>
#include <utime.h>
#include <filesystem>
#include <string>
#include <vector>

#include "logging/TORFile.h"
#include "logging/TORFileList.h"
#include "platform/directory_search.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> namesOf(const TORFileList& list)
{
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.getCount(); ++i)
        names.push_back(list.getFile(i)->getName());
    return names;
}

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.log", "b.log", "c.log", "notes.txt"})
            testsupport::writeFile(folder.file(name), name);
        std::filesystem::create_directory(folder.file("dir.log"));
    }
    testsupport::TempDir folder;
};

TEST_F(FileListTest, ListsMatchingEntriesInReverseOfTheirOrder)
{
    const std::string dir = folder.path().string();
    TORFileList plain(dir.c_str(), "*.log");
    EXPECT_TRUE(plain.scan());
    // Folders are listed like files; each new entry goes before the earlier ones.
    EXPECT_EQ(namesOf(plain), (std::vector<std::string>{"dir.log", "c.log", "b.log", "a.log"}));

    TORFileList slashed((dir + "/").c_str(), "*.log");
    EXPECT_TRUE(slashed.scan());
    EXPECT_EQ(namesOf(slashed), namesOf(plain));

    EXPECT_TRUE(plain.scan());
    EXPECT_EQ(plain.getCount(), 8);
}

TEST_F(FileListTest, FindsByNameInEitherCaseAndIndex)
{
    TORFileList list(folder.path().c_str(), "*.log");
    list.scan();
    ASSERT_NE(list.findByName("B.LOG"), nullptr);
    EXPECT_STREQ(list.findByName("B.LOG")->getName(), "b.log");
    EXPECT_EQ(list.findByName("notes.txt"), nullptr);
    EXPECT_EQ(list.findByName(nullptr), nullptr);
    EXPECT_EQ(list.getFile(4), nullptr);
    EXPECT_EQ(list.getFile(-1), nullptr);
}

TEST_F(FileListTest, ExclusionsLeaveNamesOut)
{
    TORFileList list(folder.path().c_str(), "*");
    list.getExclusions()->add("*.LOG");
    list.getExclusions()->add(".*");
    list.scan();
    EXPECT_EQ(namesOf(list), std::vector<std::string>{"notes.txt"});
}

TEST_F(FileListTest, EmptyFolderTextMeansTheCurrentFolder)
{
    std::string previous = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    TORFileList list("", "*.txt");
    bool scanned = list.scan();
    ASSERT_EQ(::chdir(previous.c_str()), 0);
    EXPECT_TRUE(scanned);
    EXPECT_EQ(namesOf(list), std::vector<std::string>{"notes.txt"});
}

TEST_F(FileListTest, MissingTextsOrFolders)
{
    TORFileList noPattern(folder.path().c_str(), nullptr);
    EXPECT_FALSE(noPattern.scan());
    EXPECT_EQ(noPattern.getCount(), 0);
    EXPECT_EQ(noPattern.getFile(0), nullptr);
    EXPECT_EQ(noPattern.findByName("a.log"), nullptr);
    EXPECT_EQ(noPattern.getExclusions(), nullptr);
    TORFileList noFolder(nullptr, "*.log");
    EXPECT_FALSE(noFolder.scan());

    TORFileList missing(folder.file("nowhere").c_str(), "*.log");
    EXPECT_TRUE(missing.scan());
    EXPECT_EQ(missing.getCount(), 0);
}

TEST_F(FileListTest, FilesCarrySizeAttributesAndLocalTimes)
{
    testsupport::writeFile(folder.file("sized.log"), std::string(5000, 's'));
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 14;
    local.tm_min = 7;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    std::time_t when = std::mktime(&local);
    utimbuf times{when, when};
    ASSERT_EQ(::utime(folder.file("sized.log").c_str(), &times), 0);

    TORFileList list(folder.path().c_str(), "sized.log");
    list.scan();
    ASSERT_EQ(list.getCount(), 1);
    const TORFile* file = list.getFile(0);
    EXPECT_EQ(file->getSizeLow(), 5000u);
    EXPECT_EQ(file->getSizeHigh(), 0u);
    EXPECT_EQ(file->getSize(), 5000.0);
    EXPECT_STREQ(file->getShortName(), "");
    EXPECT_FALSE(file->getAttributes() & platform::fileAttributeDirectory);
    EXPECT_TRUE(file->getLastWriteTime().equals(tr_datetime(2024, 3, 5, 14, 7, 9)));
    EXPECT_TRUE(file->getLastAccessTime().equals(tr_datetime(2024, 3, 5, 14, 7, 9)));
    EXPECT_TRUE(file->getCreationTime().isValid());

    TORFileList folders(folder.path().c_str(), "dir.log");
    folders.scan();
    ASSERT_EQ(folders.getCount(), 1);
    EXPECT_TRUE(folders.getFile(0)->getAttributes() & platform::fileAttributeDirectory);

    TORFile copy("other");
    copy.assign(*file);
    EXPECT_STREQ(copy.getName(), "sized.log");
    EXPECT_EQ(copy.getSize(), 5000.0);
    EXPECT_TRUE(copy.getLastWriteTime().equals(file->getLastWriteTime()));
}

TEST(FileTest, CompareFollowsTheSortKey)
{
    platform::FindData record;
    record.fileName = "b.log";
    record.sizeLow = 100;
    record.lastWriteTime = platform::fileTimeFromUnix(1'700'000'000, 0);
    TORFile b(record);
    record.fileName = "a.log";
    record.sizeLow = 300;
    record.lastWriteTime = platform::fileTimeFromUnix(1'700'100'000, 0);
    TORFile a(record);
    TORFile unnamed(nullptr);
    EXPECT_STREQ(unnamed.getName(), "");

    struct KeyCase {
        uint16_t key;
        int sign;  // of a.compare(&b)
    };
    for (KeyCase c : {KeyCase{0, -1}, KeyCase{1, 1}, KeyCase{2, -1}, KeyCase{3, -1}, KeyCase{11, -1},
                      KeyCase{12, 1}, KeyCase{13, 1}, KeyCase{4, -1}}) {
        TORFile::sortKey = c.key;
        int32_t result = a.compare(&b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << "key " << c.key;
    }
    TORFile::sortKey = 3;
    EXPECT_EQ(a.compare(&a), 0);
    TORFile::sortKey = 2;
    EXPECT_EQ(a.compare(&b), -200);
    TORFile::sortKey = 1;
    TORFileList notAFile("x", "y");
    EXPECT_EQ(a.compare(&notAFile), -1);
    TORFile::sortKey = 0;
}

}  // namespace
