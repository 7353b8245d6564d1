// The worker that compresses page contents: every ticket gives back the
// compressed form of its own content, few contents wait uncompressed, a
// failure reaches the caller, and an abandoned compressor stops cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pdfengine/ContentCompressor.h"
#include "pdfengine/Deflater.h"

using pdfengine::ContentCompressor;

namespace {

std::string pageContent(int page)
{
    std::string content;
    for (int i = 0; i < 1 + page % 50; ++i)
        content += std::to_string(page) + " " + std::to_string(i * 12.5) + " Td (line " + std::to_string(i) +
                   ") Tj\n";
    return content;
}

TEST(ContentCompressorTest, EveryTicketGetsItsOwnContentCompressed)
{
    auto deflater = std::make_shared<pdfengine::Deflater>(1);
    pdfengine::Deflater reference(1);
    for (int pages : {1, 2, 3, 200}) {
        const auto caller = std::this_thread::get_id();
        std::atomic<int> onCaller = 0;
        std::atomic<int> elsewhere = 0;
        ContentCompressor compressor([&](std::string_view data) {
            (std::this_thread::get_id() == caller ? onCaller : elsewhere)++;
            return deflater->compress(data);
        });
        std::vector<size_t> tickets;
        for (int page = 0; page < pages; ++page)
            tickets.push_back(compressor.submit(pageContent(page)));
        // Alone, the first content is not compressed before it is taken.
        if (pages == 1) {
            EXPECT_FALSE(compressor.tryTake(tickets[0]));
        }
        // Taken in another order than submitted: the last page first, every other
        // one without waiting.
        for (int page = pages - 1; page >= 0; --page) {
            const size_t ticket = tickets[static_cast<size_t>(page)];
            std::optional<std::string> compressed;
            if (pages > 1 && page % 2 == 0) {
                while (!(compressed = compressor.tryTake(ticket)))
                    std::this_thread::yield();
            } else {
                compressed = compressor.take(ticket);
            }
            EXPECT_EQ(*compressed, reference.compress(pageContent(page))) << pages << " pages, page " << page;
        }
        // One page is compressed by the caller, without a thread.
        EXPECT_EQ(onCaller, pages == 1 ? 1 : 0) << pages;
        EXPECT_EQ(elsewhere, pages == 1 ? 0 : pages) << pages;
        EXPECT_LE(compressor.peakWaiting(), ContentCompressor::maxWaiting);
    }
}

TEST(ContentCompressorTest, NoMoreThanTheBoundWaitUncompressed)
{
    const size_t pages = 100;
    ContentCompressor* self = nullptr;
    std::atomic<bool> first = true;
    ContentCompressor compressor([&](std::string_view data) {
        // The first content is held until the queue is full: a submitter that did not
        // wait for room would queue every page meanwhile.
        if (first.exchange(false)) {
            while (self->peakWaiting() < ContentCompressor::maxWaiting)
                std::this_thread::yield();
        }
        return std::string(data.substr(0, 3));
    });
    self = &compressor;
    for (size_t page = 0; page < pages; ++page)
        compressor.submit(pageContent(static_cast<int>(page)));
    for (size_t page = 0; page < pages; ++page)
        EXPECT_EQ(compressor.take(page), pageContent(static_cast<int>(page)).substr(0, 3));
    EXPECT_EQ(compressor.peakWaiting(), ContentCompressor::maxWaiting);
}

TEST(ContentCompressorTest, AFailureReachesTheCallerAndStopsTheWorker)
{
    // Failing on the first page, which is compressed when taken, and on later ones
    // that the worker compresses.
    for (int failing : {0, 1, 5, 30}) {
        std::atomic<int> calls = 0;
        bool caught = false;
        size_t lastTicket = 0;
        {
            ContentCompressor compressor([&](std::string_view data) {
                if (calls++ == failing)
                    throw std::bad_alloc();
                return std::string(data);
            });
            try {
                for (int page = 0; page < 60; ++page)
                    lastTicket = compressor.submit(pageContent(page));
                for (size_t ticket = 0; ticket <= lastTicket; ++ticket) {
                    EXPECT_EQ(compressor.take(ticket), pageContent(static_cast<int>(ticket))) << failing;
                    EXPECT_LT(ticket, static_cast<size_t>(failing)) << "taken after the failure";
                }
            } catch (const std::bad_alloc&) {
                caught = true;
            }
        }
        EXPECT_TRUE(caught) << failing;
        // Nothing was compressed after the failure.
        EXPECT_EQ(calls, failing + 1) << failing;
    }
}

TEST(ContentCompressorTest, AnAbandonedCompressorStopsWithWorkQueued)
{
    std::atomic<int> calls = 0;
    {
        ContentCompressor compressor([&](std::string_view data) {
            ++calls;
            return std::string(data);
        });
        for (int page = 0; page < 40; ++page)
            compressor.submit(pageContent(page));
        compressor.take(0);
    }
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, 40);

    ContentCompressor unused([](std::string_view) -> std::string { throw std::bad_alloc(); });
    EXPECT_THROW(unused.take(0), std::logic_error);
}

}  // namespace
