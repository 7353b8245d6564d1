// Compresses the pages' content streams on a worker thread while the next
// pages are drawn: compression is about a fifth of a page's work, and the
// result is only needed when the file is written.
//
// Each content handed over gets a ticket; take() gives its compressed form,
// waiting for it. The first content is kept as it is until a second one
// comes: a one-page document never starts the thread and is compressed by
// take() itself. At most `maxWaiting` contents wait uncompressed: submit()
// blocks while that many are queued, so a long document holds only the
// compressed forms. The worker is woken for `wakeAt` contents at a time. A failure of the worker (no memory) is kept and thrown
// by the next submit() or take(); the worker stops after it. The destructor
// stops the worker and joins it, dropping what was not compressed yet.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace pdfengine {

class ContentCompressor {
public:
    using Compress = std::function<std::string(std::string_view)>;
    static constexpr size_t maxWaiting = 16;
    // The worker is woken when this many contents wait (or when one is taken):
    // waking a thread on another processor costs more than compressing a small
    // page, so it is done for a batch of pages rather than for each.
    static constexpr size_t wakeAt = maxWaiting / 2;

    // compress is called on one thread at a time, in the order of submission.
    explicit ContentCompressor(Compress compress);
    ~ContentCompressor() { stop(); }
    ContentCompressor(const ContentCompressor&) = delete;
    ContentCompressor& operator=(const ContentCompressor&) = delete;

    size_t submit(std::string content);
    // Once per ticket.
    std::string take(size_t ticket);
    // The same without waiting: nothing while the content is not compressed
    // yet (the first one, before a second came, included).
    std::optional<std::string> tryTake(size_t ticket);

    // Ends the worker; nothing may be submitted afterwards.
    void stop();

    // The most contents that waited at once, for tests of the bound.
    size_t peakWaiting() const;

private:
    struct Job {
        size_t ticket;
        std::string content;
    };

    void work();
    void rethrowFailure();

    Compress compress_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> waiting_;
    std::vector<std::string> done_;
    std::vector<bool> ready_;
    size_t submitted_ = 0;
    size_t peakWaiting_ = 0;
    std::exception_ptr failure_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace pdfengine
