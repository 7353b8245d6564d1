#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "foundation/TORAllocator.h"
#include "foundation/TORContainer.h"
#include "foundation/TORPDFException.h"

namespace {

// a, then the two-byte character "あ" (82 A0), then b.
const char mixed[] = "a\x82\xA0" "b";

std::string bounded(const char* source, size_t size)
{
    std::string buffer(size + 4, '#');
    TORAllocator::boundedCopy(buffer.data(), source, size);
    return std::string(buffer.c_str());
}

TEST(AllocatorTest, BoundedCopyNeverSplitsTwoByteCharacters)
{
    EXPECT_EQ(bounded(mixed, 4), "a\x82\xA0");
    EXPECT_EQ(bounded(mixed, 3), "a");
    EXPECT_EQ(bounded(mixed, 5), mixed);
    EXPECT_EQ(bounded(mixed, 1), "");
    // A lead byte standing last has no partner and is dropped.
    EXPECT_EQ(bounded("ab\x82", 10), "ab");
    // Half-width katakana (A1-DF) are single bytes.
    EXPECT_EQ(bounded("\xB1\xB2\xB3", 3), "\xB1\xB2");
    char buffer[4];
    EXPECT_EQ(TORAllocator::boundedCopy(nullptr, "a", 4), nullptr);
    EXPECT_EQ(TORAllocator::boundedCopy(buffer, nullptr, 4), nullptr);
}

TEST(AllocatorTest, CopiesOwnTheirBytes)
{
    std::unique_ptr<char[]> empty(TORAllocator::duplicate(""));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], '\0');
    EXPECT_EQ(TORAllocator::duplicate(nullptr), nullptr);

    std::unique_ptr<char[]> bounded(TORAllocator::duplicateBounded(mixed, 3));
    EXPECT_STREQ(bounded.get(), "a");

    size_t capacity = 2;
    std::unique_ptr<char[]> grown(TORAllocator::duplicateWithCapacity("abcd", capacity));
    EXPECT_EQ(capacity, 5u);
    EXPECT_STREQ(grown.get(), "abcd");
    capacity = 64;
    std::unique_ptr<char[]> kept(TORAllocator::duplicateWithCapacity("ab", capacity));
    EXPECT_EQ(capacity, 64u);

    char* joined = TORAllocator::append(TORAllocator::duplicate("ab"), "cd");
    joined = TORAllocator::append(joined, nullptr);
    EXPECT_STREQ(joined, "abcd");
    delete[] joined;
    std::unique_ptr<char[]> second(TORAllocator::append(nullptr, "x"));
    EXPECT_STREQ(second.get(), "x");

    std::unique_ptr<char[]> exact(TORAllocator::duplicateExact("abcdef", 3));
    EXPECT_STREQ(exact.get(), "abc");
}

TEST(ExceptionTest, PdfExceptionIsCaughtAsException)
{
    try {
        throw TORPDFException(-1, "\x83G\x83\x89\x81[", -1);
    } catch (const TORException& error) {
        EXPECT_EQ(error.getCode(), -1);
        EXPECT_EQ(error.getSubCode(), -1);
        EXPECT_STREQ(error.getMessage(), "\x83G\x83\x89\x81[");
    }
}

TEST(ExceptionTest, CopiesOwnTheirText)
{
    auto source = std::make_unique<TORPDFException>(7, "original", 3);
    TORPDFException copy(*source);
    source.reset();
    EXPECT_STREQ(copy.getMessage(), "original");
    EXPECT_EQ(copy.getCode(), 7);
    EXPECT_EQ(copy.getSubCode(), 3);

    TORException absent(1, nullptr, 2);
    EXPECT_EQ(absent.getMessage(), nullptr);
    TORException absentCopy(absent);
    EXPECT_EQ(absentCopy.getMessage(), nullptr);
}

TEST(ExceptionTest, FormattedMessagesAreBoundedByTheirBuffer)
{
    std::string name(1000, 'x');
    TORPDFException fits(-1, 512, "file %s: %d", name.c_str(), 42);
    EXPECT_EQ(fits.getSubCode(), 0);
    EXPECT_EQ(std::string(fits.getMessage()), "file " + name + ": 42");

    // 2 * 512 + 2 bytes of buffer hold a message of 1025 bytes, and no more.
    std::string longest(1025, 'y');
    EXPECT_EQ(std::strlen(TORException(-1, 512, "%s", longest.c_str()).getMessage()), 1025u);
    std::string tooLong(5000, 'z');
    EXPECT_EQ(std::strlen(TORException(-1, 512, "%s", tooLong.c_str()).getMessage()), 1025u);
}

TEST(ObjectTest, EveryClassReportsTheSameCodes)
{
    TORPDFException error(-1, "x", -1);
    TORContainer container(1, 1);
    for (const TORObject* object : {static_cast<const TORObject*>(&error), static_cast<const TORObject*>(&container)}) {
        EXPECT_EQ(object->getTypeCode(), 0x01000500);
        EXPECT_EQ(object->getVersionCode(), 0x00010000);
        EXPECT_EQ(object->getRevisionCode(), 0x00050000);
    }
}

}  // namespace
