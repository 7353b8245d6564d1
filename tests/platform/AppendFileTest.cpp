#include <gtest/gtest.h>

#include <string>

#include "platform/append_file.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(AppendFileTest, ReadsTheFirstLineAndAppendsAtTheEnd)
{
    testsupport::TempDir folder;
    const std::string path = folder.file("app.log");
    platform::AppendFile file;
    EXPECT_FALSE(file.openExisting(path.c_str()));
    EXPECT_FALSE(file.append("lost"));

    ASSERT_TRUE(file.openForAppend(path.c_str()));
    EXPECT_TRUE(file.append("first line\r\nsecond"));
    EXPECT_TRUE(file.close());
    // Opening for appending again keeps what is there.
    ASSERT_TRUE(file.openForAppend(path.c_str()));
    EXPECT_TRUE(file.append(" line\r\n"));
    file.close();

    ASSERT_TRUE(file.openExisting(path.c_str()));
    EXPECT_EQ(file.readFirstLine(511), "first line\r\n");
    EXPECT_EQ(file.readFirstLine(5), "first");
    EXPECT_EQ(file.size(), 25u);
    EXPECT_TRUE(file.append("third\r\n"));
    file.close();
    EXPECT_EQ(testsupport::readFile(path), "first line\r\nsecond line\r\nthird\r\n");
    EXPECT_EQ(file.size(), 0u);
}

TEST(AppendFileTest, EmptyAndLongFiles)
{
    testsupport::TempDir folder;
    const std::string path = folder.file("long.log");
    testsupport::writeFile(path, "");
    platform::AppendFile file;
    ASSERT_TRUE(file.openExisting(path.c_str()));
    EXPECT_EQ(file.readFirstLine(511), "");
    EXPECT_EQ(file.size(), 0u);

    testsupport::writeFile(path, std::string(100000, 'x') + "\n");
    ASSERT_TRUE(file.openExisting(path.c_str()));
    EXPECT_EQ(file.readFirstLine(511), std::string(511, 'x'));
    EXPECT_EQ(file.size(), 100001u);
    EXPECT_FALSE(file.openExisting(folder.path().c_str()));  // a folder is no log file
}

}  // namespace
