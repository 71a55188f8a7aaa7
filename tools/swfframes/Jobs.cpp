#include "tools/swfframes/Jobs.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

void RunJobs(size_t count, int jobs, const std::function<void(size_t)>& work) {
    const size_t threads = std::min(count, size_t(std::max(1, jobs)));
    if (threads <= 1) {
        for (size_t i = 0; i < count; ++i) work(i);
        return;
    }
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard<std::mutex> hold(failureLock);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    for (size_t t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

int DefaultJobs() {
    return std::max(1, int(std::thread::hardware_concurrency()));
}
