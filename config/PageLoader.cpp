#include "config/PageLoader.h"

#include "config/FileChecks.h"
#include "platform/profile.h"

PageLoader::PageLoader(const char* path, int32_t pages) : path_(path ? path : ""), pages_(pages)
{
    thread_ = std::thread(&PageLoader::run, this, platform::ProfileReadScope::current());
}

PageLoader::~PageLoader()
{
    stop_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        discard_ = true;
    }
    roomFree_.notify_one();
    join();
}

void PageLoader::join()
{
    if (thread_.joinable())
        thread_.join();
}

void PageLoader::run(uint64_t scope)
{
    platform::ProfileReadScope sharedScope(scope);
    FileCheckScope fileChecks;
    std::exception_ptr error;
    try {
        std::vector<std::unique_ptr<tr_pdfpage>> drawn;
        for (int32_t n = 1; n <= pages_ && !stop_; ++n) {
            drawn.clear();
            auto page = std::make_unique<tr_pdfpage>(n, path_.c_str());
            std::unique_lock<std::mutex> lock(mutex_);
            // The pages the caller is done with are let go here, by the thread that
            // made them: memory goes back where it came from.
            drawn.swap(drawn_);
            if (loaded_.size() >= waitingPages && !discard_) {
                loaderWaiting_ = true;
                roomFree_.wait(lock, [&] { return discard_ || loaded_.size() <= waitingPages / 2; });
                loaderWaiting_ = false;
            }
            if (discard_)
                continue;  // the page is let go at the end of the step, unlocked first
            loaded_.push_back(std::move(page));
            if (callerWaiting_)
                pageReady_.notify_one();
        }
    } catch (...) {
        error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    error_ = error;
    done_ = true;
    pageReady_.notify_one();
}

const tr_pdfpage* PageLoader::next()
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (current_)
        drawn_.push_back(std::move(current_));
    if (loaded_.empty() && !done_) {
        callerWaiting_ = true;
        pageReady_.wait(lock, [&] { return !loaded_.empty() || done_; });
        callerWaiting_ = false;
    }
    if (loaded_.empty()) {
        if (error_)
            std::rethrow_exception(error_);
        return nullptr;
    }
    current_ = std::move(loaded_.front());
    loaded_.pop_front();
    if (loaderWaiting_ && loaded_.size() <= waitingPages / 2)
        roomFree_.notify_one();
    return current_.get();
}

void PageLoader::finish()
{
    std::deque<std::unique_ptr<tr_pdfpage>> unused;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        discard_ = true;
        unused.swap(loaded_);
        roomFree_.notify_one();
        callerWaiting_ = true;
        pageReady_.wait(lock, [&] { return done_; });
        callerWaiting_ = false;
    }
    join();
    if (error_)
        std::rethrow_exception(error_);
}
