#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "logging/TORLogging.h"
#include "tests/logging/LogFixture.h"

namespace {

using logtest::lineAt;
using logtest::LogFolder;

TORLogMessage* message(const char* text)
{
    auto* made = new TORLogMessage();
    made->format(0, "%s", text);
    return made;
}

TEST(QueueTest, BufferedMessagesWaitForFlushAndKeepTheirOrder)
{
    platform::ScopedLocalTime clock(2024, 3, 6, 12, 0, 0);
    LogFolder log;
    {
        TORLogging writer(log.path.c_str());
        writer.buffered = 1;
        EXPECT_EQ(writer.log(message("one")), 0);
        EXPECT_EQ(writer.log(message("two")), 0);
        EXPECT_EQ(writer.log(nullptr), 0);
        EXPECT_FALSE(testsupport::fileExists(log.path));
        EXPECT_EQ(writer.flush(), 2);
        EXPECT_EQ(writer.queue->getCount(), 0);
        EXPECT_EQ(writer.skipCheck, 0);
        // Whatever is still queued is written when the writer goes.
        writer.log(message("three"));
    }
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/06 12:00:00", "one") +
                                       lineAt("2024/03/06 12:00:00", "two") +
                                       lineAt("2024/03/06 12:00:00", "three"));
}

TEST(QueueTest, AFullQueueDropsItsOldestMessages)
{
    platform::ScopedLocalTime clock(2024, 3, 6, 12, 0, 0);
    LogFolder log;
    TORLogging writer(log.path.c_str());
    writer.buffered = 1;
    writer.queueLimit = 3;
    writer.dropCount = 2;
    for (const char* text : {"a", "b", "c", "d"})
        writer.log(message(text));
    EXPECT_EQ(writer.queue->getCount(), 2);
    auto* first = dynamic_cast<TORMessage*>(writer.queue->get(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::string(first->getText()) + "\r\n", lineAt("2024/03/06 12:00:00", "c"));

    // A non-message at the front stops the dropping.
    writer.queue->insert(new TORLogging("stranger"), 0);
    writer.log(message("e"));
    EXPECT_EQ(writer.queue->getCount(), 4);
    EXPECT_EQ(writer.flush(), 3);
    EXPECT_EQ(writer.queue->getCount(), 0);
    EXPECT_EQ(log.read("app.log"), lineAt("2024/03/06 12:00:00", "c") + lineAt("2024/03/06 12:00:00", "d") +
                                       lineAt("2024/03/06 12:00:00", "e"));
}

TEST(QueueTest, MessagesThatCouldNotBeWrittenStayQueued)
{
    platform::ScopedLocalTime clock(2024, 3, 6, 12, 0, 0);
    LogFolder log;
    std::string folder = log.file("later");
    TORLogging writer((folder + "/app.log").c_str());
    writer.buffered = 1;
    writer.log(message("kept"));
    EXPECT_EQ(writer.flush(), 0);
    EXPECT_EQ(writer.queue->getCount(), 1);

    // A message without text cannot be written either; the others go once possible.
    writer.log(new TORLogMessage());
    std::filesystem::create_directory(folder);
    EXPECT_EQ(writer.flush(), 1);
    EXPECT_EQ(writer.queue->getCount(), 1);
    EXPECT_EQ(testsupport::readFile(folder + "/app.log"), lineAt("2024/03/06 12:00:00", "kept"));
    writer.clear();
    EXPECT_EQ(writer.queue->getCount(), 0);
}

TEST(QueueTest, UnbufferedLogTestsEveryLine)
{
    LogFolder log;
    log.seed("2024/03/05 08:00:00");
    platform::ScopedLocalTime clock(2024, 3, 5, 23, 0, 0);
    TORLogging writer(log.path.c_str());
    writer.type = TORLogging::dayly;
    EXPECT_EQ(writer.log(message("same day")), 1);
    // The current-file verdict of one line is not carried to the next.
    clock.set(2024, 3, 6, 0, 0, 0);
    EXPECT_EQ(writer.log(message("next day")), 1);
    EXPECT_EQ(log.names(), (std::vector<std::string>{"app.20240305.log", "app.log"}));
}

}  // namespace
