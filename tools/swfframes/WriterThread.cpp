#include "tools/swfframes/WriterThread.h"

WriterThread::WriterThread(size_t depth)
    : depth_(depth == 0 ? 1 : depth), thread_([this] { Run(); }) {}

WriterThread::~WriterThread() {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WriterThread::Add(std::function<void()> job) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return jobs_.size() < depth_ || error_; });
    if (error_) {
        hold.unlock();
        RethrowError();
    }
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

void WriterThread::Finish() {
    {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [this] { return (jobs_.empty() && !running_) || error_; });
    }
    RethrowError();
}

void WriterThread::RethrowError() {
    std::exception_ptr error;
    {
        const std::lock_guard<std::mutex> hold(lock_);
        error = error_;
    }
    if (error) std::rethrow_exception(error);
}

void WriterThread::Run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        changed_.wait(hold, [this] { return !jobs_.empty() || stopping_; });
        if (jobs_.empty()) return; // stopping with nothing left
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = true;
        const bool failed = error_ != nullptr; // after an error the rest is not written
        hold.unlock();
        std::exception_ptr failure;
        try {
            if (!failed) job();
        } catch (...) {
            failure = std::current_exception();
        }
        hold.lock();
        running_ = false;
        if (failure && !error_) error_ = failure;
        changed_.notify_all();
    }
}
