// One thread of the host that runs writing jobs in the order given, so that a frame is
// encoded and written while the next one is drawn.  At most `depth` jobs wait; Add blocks
// while the queue is full, which bounds the pictures held in memory.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class WriterThread {
public:
    explicit WriterThread(size_t depth = 2);
    // Waits for the queued jobs (their errors are dropped: call Finish to see them).
    ~WriterThread();
    WriterThread(const WriterThread&) = delete;
    WriterThread& operator=(const WriterThread&) = delete;

    // Queues `job`; rethrows at once an error of an earlier job.
    void Add(std::function<void()> job);
    // Waits until every queued job has run, then rethrows the first error, if any.
    void Finish();

private:
    void Run();
    void RethrowError();

    const size_t depth_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    bool running_ = false; // a job taken from the queue is being run
    bool stopping_ = false;
    std::exception_ptr error_;
    std::thread thread_;
};
