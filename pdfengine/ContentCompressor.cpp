#include "pdfengine/ContentCompressor.h"

#include <stdexcept>
#include <utility>

namespace pdfengine {

ContentCompressor::ContentCompressor(Compress compress) : compress_(std::move(compress)) {}

void ContentCompressor::stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void ContentCompressor::rethrowFailure()
{
    if (failure_)
        std::rethrow_exception(failure_);
}

size_t ContentCompressor::submit(std::string content)
{
    std::unique_lock lock(mutex_);
    rethrowFailure();
    if (submitted_ > 0 && !worker_.joinable())
        worker_ = std::thread(&ContentCompressor::work, this);
    changed_.wait(lock, [this] { return waiting_.size() < maxWaiting || failure_; });
    rethrowFailure();
    const size_t ticket = submitted_;
    done_.emplace_back();
    ready_.push_back(false);
    waiting_.push_back(Job{ticket, std::move(content)});
    ++submitted_;
    if (waiting_.size() > peakWaiting_)
        peakWaiting_ = waiting_.size();
    const bool wake = waiting_.size() >= wakeAt;
    lock.unlock();
    if (wake)
        changed_.notify_all();
    return ticket;
}

std::string ContentCompressor::take(size_t ticket)
{
    std::unique_lock lock(mutex_);
    if (ticket >= submitted_)
        throw std::logic_error("content ticket was never given out");
    if (!worker_.joinable()) {
        // Only the first content, which no thread was started for.
        while (!waiting_.empty()) {
            Job& job = waiting_.front();
            done_[job.ticket] = compress_(job.content);
            ready_[job.ticket] = true;
            waiting_.pop_front();
        }
    }
    if (!ready_[ticket] && !failure_) {
        // Fewer than a batch may be waiting: the worker is woken for them.
        changed_.notify_all();
        changed_.wait(lock, [&] { return ready_[ticket] || failure_; });
    }
    if (!ready_[ticket])
        rethrowFailure();
    return std::move(done_[ticket]);
}

std::optional<std::string> ContentCompressor::tryTake(size_t ticket)
{
    std::lock_guard lock(mutex_);
    if (ticket >= submitted_)
        throw std::logic_error("content ticket was never given out");
    if (ready_[ticket])
        return std::move(done_[ticket]);
    rethrowFailure();
    return std::nullopt;
}

size_t ContentCompressor::peakWaiting() const
{
    std::lock_guard lock(mutex_);
    return peakWaiting_;
}

void ContentCompressor::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_)
            return;
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        changed_.notify_all();
        std::string result;
        std::exception_ptr failure;
        try {
            result = compress_(job.content);
        } catch (...) {
            failure = std::current_exception();
        }
        // The uncompressed content goes before the next one is taken.
        job.content = std::string();
        lock.lock();
        if (failure) {
            failure_ = failure;
            changed_.notify_all();
            return;
        }
        done_[job.ticket] = std::move(result);
        ready_[job.ticket] = true;
        changed_.notify_all();
    }
}

}  // namespace pdfengine
