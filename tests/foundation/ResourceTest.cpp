#include <gtest/gtest.h>

#include <string>

#include "foundation/TORResource.h"
#include "foundation/TORResourceData.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(ResourceDataTest, ParsesNumberNameAndText)
{
    TORResourceData entry;
    EXPECT_TRUE(entry.parse("1A,TITLE,Hello, world\r\n"));
    EXPECT_EQ(entry.getId(), 0x1A);
    EXPECT_STREQ(entry.getName(), "TITLE");
    EXPECT_STREQ(entry.getText(), "Hello, world");

    EXPECT_FALSE(entry.parse("2,NOTEXT"));
    EXPECT_EQ(entry.getId(), 0);
    EXPECT_EQ(entry.getText(), nullptr);
    EXPECT_FALSE(entry.parse("0,ZERO,never"));
    EXPECT_FALSE(entry.parse("NAME,text"));
    EXPECT_FALSE(entry.parse(nullptr));
    EXPECT_TRUE(entry.parse("ff,,empty name\n"));
    EXPECT_STREQ(entry.getName(), "");
    EXPECT_STREQ(entry.getText(), "empty name");

    TORResourceData made(5, nullptr, "line one\nline two");
    EXPECT_EQ(made.getName(), nullptr);
    EXPECT_STREQ(made.getText(), "line one");
    EXPECT_FALSE(made.set(5, "n", nullptr));
    EXPECT_FALSE(made.set(0, "n", "t"));
}

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::writeFile(file,
                               "# comment\n\n1A,TITLE,Hello, world\r\n2,NOTEXT\n0,ZERO,never\n"
                               "1A,TITLE,second copy\n3,OTHER,third\n");
    }
    testsupport::TempDir folder;
    std::string file = folder.file("messages.txt");
};

TEST_F(ResourceTest, LooksUpByNumberAndName)
{
    TORResource table(file.c_str());
    EXPECT_STREQ(table.getTextById(0x1A, "default", nullptr), "Hello, world");
    EXPECT_STREQ(table.getTextByName("TITLE", "default", nullptr), "Hello, world");
    EXPECT_STREQ(table.getTextById(0, "default", nullptr), "default");
    EXPECT_STREQ(table.getTextById(2, "default", nullptr), "default");
    EXPECT_STREQ(table.getTextByName("title", "default", nullptr), "default");
    EXPECT_STREQ(table.getTextById(3, "default", nullptr), "third");
}

TEST_F(ResourceTest, ReadsTheFileOnceWholly)
{
    TORResource table(file.c_str());
    EXPECT_STREQ(table.getTextById(0x77, "missing", file.c_str()), "missing");
    EXPECT_EQ(table.getAtEnd(), 1);
    EXPECT_EQ(table.getIsOpen(), 0);
    // Changing the file afterwards changes nothing: it is not read again.
    testsupport::writeFile(file, "77,LATE,late\n");
    EXPECT_STREQ(table.getTextById(0x77, "missing", file.c_str()), "missing");
}

TEST_F(ResourceTest, ReadsLazilyEntryByEntry)
{
    TORResource table(file.c_str());
    TORResourceData* entry = nullptr;
    EXPECT_STREQ(table.readNext(&entry), "Hello, world");
    EXPECT_EQ(entry->getId(), 0x1A);
    EXPECT_EQ(table.getIsOpen(), 1);
    EXPECT_EQ(table.readNext(nullptr), nullptr);
    // The loaded lookup reads on only as far as it must.
    EXPECT_STREQ(table.getTextByIdLoaded(0x1A, "d"), "Hello, world");
    EXPECT_EQ(table.getIsOpen(), 1);
    EXPECT_STREQ(table.getTextByNameLoaded("OTHER", "d"), "third");
    EXPECT_STREQ(table.getTextByNameLoaded(nullptr, "d"), "d");
    EXPECT_EQ(table.readNext(&entry), nullptr);
    EXPECT_EQ(table.getAtEnd(), 1);
}

TEST_F(ResourceTest, ASecondFileAddsAfterTheFirst)
{
    std::string second = folder.file("more.txt");
    testsupport::writeFile(second, "3,OTHER,from second\n4,FOURTH,fourth\n");
    TORResource table(file.c_str());
    TORResourceData* entry = nullptr;
    table.readNext(&entry);  // leaves the first file open half-read
    EXPECT_STREQ(table.getTextById(4, "d", second.c_str()), "fourth");
    EXPECT_STREQ(table.getFileName(), second.c_str());
    EXPECT_STREQ(table.getTextById(3, "d", second.c_str()), "from second");
    EXPECT_STREQ(table.getTextById(0x1A, "d", nullptr), "Hello, world");
}

TEST_F(ResourceTest, AMissingFileGivesDefaults)
{
    TORResource table(folder.file("none.txt").c_str());
    EXPECT_STREQ(table.getTextById(1, "unknown resource", nullptr), "unknown resource");
    EXPECT_FALSE(table.open());
    TORResource unnamed(nullptr);
    EXPECT_FALSE(unnamed.open());
    EXPECT_STREQ(unnamed.getTextByName("X", "d", nullptr), "d");
}

TEST_F(ResourceTest, LongLinesAreReadInPieces)
{
    std::string line = "5,LONG," + std::string(9000, 'a') + "\n";
    testsupport::writeFile(file, line);
    TORResource table(file.c_str());
    std::string text = table.getTextById(5, "d", nullptr);
    EXPECT_EQ(text.size(), 8191u - 7u);
}

}  // namespace
