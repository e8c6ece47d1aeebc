// Work split over threads that all end before the call that started them returns.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace KestThreads {

/// The number of threads that `wanted` asks for: itself, or for 0 as many as the hardware runs
/// at once (1 when that is unknown).
inline std::size_t resolve(std::size_t wanted) {
    if (wanted != 0) {
        return wanted;
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware != 0 ? hardware : 1;
}

/// Calls task(i) for every i below `count` on up to `threads` threads, the calling thread one of
/// them: each thread takes the lowest i not yet taken until none is left, so that tasks of
/// uneven length keep every thread busy (the calling thread alone does them all when no other
/// can be started). Returns once every call has ended; when calls threw, the exception of the
/// lowest i among them is rethrown then. Without memory to track the threads, the calls run one
/// after the other on the calling thread, up to the first that throws.
template <class Task>
void run(std::size_t count, std::size_t threads, const Task& task) {
    std::vector<std::exception_ptr> failures;
    std::vector<std::thread> started;
    threads = threads < count ? threads : count;
    try {
        failures.resize(threads > 1 ? count : 0);
        started.reserve(threads);
    } catch (...) {
        failures.clear();
    }
    if (failures.empty()) {
        for (std::size_t i = 0; i < count; ++i) {
            task(i);
        }
        return;
    }
    std::atomic<std::size_t> next{0};
    const auto work = [&task, &failures, &next, count]() noexcept {
        for (std::size_t i = next++; i < count; i = next++) {
            try {
                task(i);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    try {
        while (started.size() + 1 < threads) {
            started.emplace_back(work);
        }
    } catch (...) {
        // Out of threads: those started and this one share the calls.
    }
    work();
    for (std::thread& thread : started) {
        thread.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

} // namespace KestThreads
