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
    changed_.notify_all();
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
        for (int32_t n = 1; n <= pages_ && !stop_; ++n) {
            auto page = std::make_unique<tr_pdfpage>(n, path_.c_str());
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return discard_ || loaded_.size() < waitingPages; });
            if (discard_)
                continue;  // the page is let go at the end of the step, unlocked first
            loaded_.push_back(std::move(page));
            lock.unlock();
            changed_.notify_all();
        }
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = error;
        done_ = true;
    }
    changed_.notify_all();
}

std::unique_ptr<tr_pdfpage> PageLoader::next()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !loaded_.empty() || done_; });
    if (loaded_.empty()) {
        if (error_)
            std::rethrow_exception(error_);
        return nullptr;
    }
    std::unique_ptr<tr_pdfpage> page = std::move(loaded_.front());
    loaded_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return page;
}

void PageLoader::finish()
{
    std::deque<std::unique_ptr<tr_pdfpage>> unused;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        discard_ = true;
        unused.swap(loaded_);
        changed_.notify_all();
        changed_.wait(lock, [&] { return done_; });
    }
    join();
    if (error_)
        std::rethrow_exception(error_);
}
