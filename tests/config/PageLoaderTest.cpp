// Pages loaded on a thread of their own: handed out in order, the first error at its
// page and again from finish(), the caller's view of the file, and no hang when the
// caller stops early.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config/PageLoader.h"
#include "config/Units.h"
#include "platform/profile.h"
#include "tests/config/ConfigFixture.h"

namespace {

// pages pages, page n of width n (in the configuration's units), each with one line;
// the page numbered bad, if any, has an object of an unknown type instead.
std::string document(int pages, int bad = 0)
{
    std::string text = "[PDF]\npdfName=out.pdf\npages=" + std::to_string(pages) + "\n";
    for (int n = 1; n <= pages; ++n) {
        text += "[PAGE_" + std::to_string(n) + "]\nwidth=" + std::to_string(n) + "0\nobjects=1\n";
        text += "[PUT_" + std::to_string(n) + "_1]\nobject_type=" + (n == bad ? "circle" : "line") +
                "\nleft=1\ntop=1\nright=2\nbottom=2\n";
    }
    return text;
}

double widthOf(int n)
{
    return toPoints(n * 10);
}

class PageLoaderTest : public ConfigTest {};

TEST_F(PageLoaderTest, PagesComeInOrderThenNone)
{
    // More pages than may wait, so that the loader has to wait for the caller.
    const int pages = static_cast<int>(PageLoader::waitingPages) * 3 + 5;
    write(document(pages));
    platform::ProfileReadScope scope;
    PageLoader loader(path().c_str(), pages);
    for (int n = 1; n <= pages; ++n) {
        const tr_pdfpage* page = loader.next();
        ASSERT_TRUE(page) << n;
        EXPECT_EQ(page->getPageNo(), n);
        EXPECT_NEAR(page->getWidth(), widthOf(n), 1e-9);
        EXPECT_EQ(page->getCount(), 1);
    }
    EXPECT_FALSE(loader.next());
    EXPECT_FALSE(loader.next());
    EXPECT_NO_THROW(loader.finish());
}

TEST_F(PageLoaderTest, TheFirstErrorStopsTheLoadAtItsPage)
{
    write(document(80, 50));
    platform::ProfileReadScope scope;
    PageLoader loader(path().c_str(), 80);
    int taken = 0;
    try {
        while (loader.next())
            ++taken;
        FAIL() << "no error after " << taken << " pages";
    } catch (const TORPDFException& error) {
        EXPECT_EQ(error.getMessage(), badObjectType("circle", "PUT_50_1"));
    }
    EXPECT_EQ(taken, 49);
    EXPECT_THROW(loader.finish(), TORPDFException);
}

TEST_F(PageLoaderTest, FinishLoadsTheRestAndReportsItsError)
{
    // A caller that stops after a few pages still learns of an error far behind.
    write(document(200, 190));
    {
        platform::ProfileReadScope scope;
        PageLoader loader(path().c_str(), 200);
        ASSERT_TRUE(loader.next());
        ASSERT_TRUE(loader.next());
        try {
            loader.finish();
            FAIL() << "the error of page 190 was not reported";
        } catch (const TORPDFException& error) {
            EXPECT_EQ(error.getMessage(), badObjectType("circle", "PUT_190_1"));
        }
    }
    write(document(200));
    platform::ProfileReadScope scope;
    PageLoader loader(path().c_str(), 200);
    ASSERT_TRUE(loader.next());
    EXPECT_NO_THROW(loader.finish());
}

TEST_F(PageLoaderTest, ALoaderLeftEarlyEndsWithoutWaitingForTheCaller)
{
    const int pages = static_cast<int>(PageLoader::waitingPages) * 20;
    write(document(pages));
    platform::ProfileReadScope scope;
    for (int taken : {0, 1, 10}) {
        PageLoader loader(path().c_str(), pages);
        for (int n = 0; n < taken; ++n)
            ASSERT_TRUE(loader.next());
        // Destroyed here, with the loader blocked on a full queue or still loading.
    }
}

TEST_F(PageLoaderTest, TheLoaderReadsTheFileTheCallerRead)
{
    write(document(10));
    platform::ProfileReadScope scope;
    tr_pdffile settings;
    settings.loadSettings(path().c_str());
    ASSERT_EQ(settings.getPageCount(), 10);
    // Rewritten after the caller's first read, with other sizes and a bad page: the
    // loader still sees the file as the caller saw it.
    write(document(10, 3) + "; a longer file\n");
    PageLoader loader(path().c_str(), 10);
    for (int n = 1; n <= 10; ++n) {
        const tr_pdfpage* page = loader.next();
        ASSERT_TRUE(page) << n;
        EXPECT_NEAR(page->getWidth(), widthOf(n), 1e-9);
    }
    EXPECT_FALSE(loader.next());
}

}  // namespace
