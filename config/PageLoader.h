// Loads the pages of a configuration on a thread of its own, in order, while the
// caller takes the pages already loaded: a long document is rendered while the
// rest of it is still being read, and both use a core of their own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config/tr_pdfpage.h"

class PageLoader {
public:
    // At most this many loaded pages wait to be taken; the loader then waits until
    // the caller has taken half of them, so memory does not grow with the document
    // and the two threads do not wake each other for every page.
    static constexpr size_t waitingPages = 32;

    // Starts loading pages 1 to pages of the configuration at path. The loader reads
    // within the profile read scope alive on the calling thread, which must outlive
    // it, and so sees the same file content. Raises std::system_error when no thread
    // can be started.
    PageLoader(const char* path, int32_t pages);
    // Stops loading and waits for the thread.
    ~PageLoader();
    PageLoader(const PageLoader&) = delete;
    PageLoader& operator=(const PageLoader&) = delete;

    // The next page, waiting until it is loaded; none after the last. Raises the
    // error that stopped the loading at this page. The page stays until the next
    // call, which lets it go.
    const tr_pdfpage* next();
    // Loads the rest without keeping it and raises the error of the first page that
    // failed, if any: a caller that stops taking pages still learns whether the whole
    // configuration loads, as loading it before anything else would have told.
    void finish();

private:
    void run(uint64_t scope);
    void join();

    const std::string path_;
    const int32_t pages_;
    std::mutex mutex_;
    std::condition_variable pageReady_;               // the caller waits on it
    std::condition_variable roomFree_;                // the loader waits on it
    std::deque<std::unique_ptr<tr_pdfpage>> loaded_;  // in page order
    std::unique_ptr<tr_pdfpage> current_;             // the page handed out last
    std::vector<std::unique_ptr<tr_pdfpage>> drawn_;  // pages handed out before it
    bool done_ = false;                               // the loader has ended: every page loaded, or an error
    bool discard_ = false;                            // pages loaded from now on are let go
    bool callerWaiting_ = false;                      // the caller waits for a page or for the end
    bool loaderWaiting_ = false;                      // the loader waits for room
    std::atomic<bool> stop_ = false;
    std::exception_ptr error_;
    std::thread thread_;
};
