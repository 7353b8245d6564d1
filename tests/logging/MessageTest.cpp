#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "logging/TORLogMessage.h"
#include "logging/TORMessage.h"
#include "platform/clock.h"
#include "platform/process_ids.h"
#include "tests/support/TestSupport.h"

namespace {

std::string ids(uint32_t process, uint32_t thread)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04X(%04x) ", process, thread);
    return text;
}

TEST(MessageTest, FormatsPrintfStyle)
{
    TORMessage message;
    EXPECT_TRUE(message.format(7, "%s=%d", "pages", 3));
    EXPECT_EQ(message.getCode(), 7);
    EXPECT_STREQ(message.getText(), "pages=3");
    EXPECT_FALSE(message.format(9, nullptr));
    EXPECT_EQ(message.getText(), nullptr);
    EXPECT_EQ(message.getCode(), 0);
    message.format(1, "%s", "again");
    message.reset();
    EXPECT_EQ(message.getText(), nullptr);
}

TEST(MessageTest, LogMessagesBeginWithTimeProcessAndThread)
{
    platform::ScopedLocalTime clock(2024, 1, 2, 9, 5, 3);
    TORLogMessage message;
    ASSERT_TRUE(message.format(0, "%s", "done"));
    const std::string expected =
        "2024/01/02 09:05:03 " + ids(platform::currentProcessId(), platform::currentThreadId()) + "done";
    EXPECT_EQ(message.getText(), expected);

    // Formatting again replaces text and time.
    clock.set(2024, 1, 2, 9, 5, 4);
    message.format(3, "%d lines", 2);
    EXPECT_EQ(
        message.getText(),
        "2024/01/02 09:05:04 " + ids(platform::currentProcessId(), platform::currentThreadId()) + "2 lines");
    EXPECT_EQ(message.getCode(), 3);
    // Through the base class too, every text carries the prefix.
    TORMessage& base = message;
    base.format(0, "plain");
    EXPECT_EQ(std::string(message.getText()).substr(0, 20), "2024/01/02 09:05:04 ");
    EXPECT_FALSE(base.format(0, nullptr));
    EXPECT_EQ(message.getText(), nullptr);
}

TEST(MessageTest, IdentifiersAreHexadecimalWithAtLeastFourDigits)
{
    EXPECT_EQ(ids(0x12, 0xABCDE), "0012(abcde) ");
    // Another thread writes its own identifier.
    platform::ScopedLocalTime clock(2024, 1, 2, 9, 5, 3);
    std::string fromThread;
    uint32_t threadId = 0;
    std::thread worker([&] {
        TORLogMessage message;
        message.format(0, "x");
        fromThread = message.getText();
        threadId = platform::currentThreadId();
    });
    worker.join();
    EXPECT_NE(threadId, platform::currentThreadId());
    EXPECT_EQ(fromThread, "2024/01/02 09:05:03 " + ids(platform::currentProcessId(), threadId) + "x");
}

TEST(MessageTest, TextsLongerThanTheScratchBufferAreKeptWhole)
{
    std::string big(TORMessage::bufferSize + 100, 'x');
    TORLogMessage message;
    ASSERT_TRUE(message.format(0, "%s|end", big.c_str()));
    std::string text = message.getText();
    EXPECT_EQ(text.size(),
              20 + ids(platform::currentProcessId(), platform::currentThreadId()).size() + big.size() + 4);
    EXPECT_EQ(text.substr(text.size() - 5), "x|end");
}

TEST(MessageTest, ResourceFormatsAreSharedUntilTheLastMessageGoes)
{
    testsupport::TempDir folder;
    std::string file = folder.file("messages.txt");
    testsupport::writeFile(file, "# messages\n10,COPIED,%d files copied\r\n");
    ASSERT_EQ(TORMessage::getInstanceCount(), 0);
    {
        TORMessage first;
        EXPECT_FALSE(first.formatResource(0x10, nullptr));
        EXPECT_TRUE(first.formatResource(0x10, file.c_str(), 5));
        EXPECT_STREQ(first.getText(), "5 files copied");
        EXPECT_EQ(first.getCode(), 0x10);
        ASSERT_NE(TORMessage::getSharedResources(), nullptr);

        TORMessage second;
        EXPECT_EQ(TORMessage::getInstanceCount(), 2);
        EXPECT_TRUE(second.formatResource(0x10, nullptr, 7));
        EXPECT_STREQ(second.getText(), "7 files copied");
        EXPECT_TRUE(second.formatResource(0x99, nullptr));
        EXPECT_STREQ(second.getText(), "unknown resource");
    }
    EXPECT_EQ(TORMessage::getInstanceCount(), 0);
    EXPECT_EQ(TORMessage::getSharedResources(), nullptr);
    TORMessage later;
    EXPECT_FALSE(later.formatResource(0x10, nullptr));
}

}  // namespace
