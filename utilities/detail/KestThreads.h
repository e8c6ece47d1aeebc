// Work split over threads that all end before the call that started them returns.
#pragma once

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

/// Calls task(i) for every i below `count`: task(0) on the calling thread, each other on a
/// thread of its own (on the calling thread too, after task(0), when no more threads can be
/// started). Returns once every call has ended; when calls threw, the exception of the lowest i
/// among them is rethrown then. Without memory to track the threads, the calls run one after
/// the other on the calling thread, up to the first that throws.
template <class Task>
void run(std::size_t count, const Task& task) {
    std::vector<std::exception_ptr> failures;
    std::vector<std::thread> threads;
    try {
        failures.resize(count > 1 ? count : 0);
        threads.reserve(failures.size());
    } catch (...) {
        failures.clear();
    }
    if (failures.empty()) {
        for (std::size_t i = 0; i < count; ++i) {
            task(i);
        }
        return;
    }
    const auto call = [&task, &failures](std::size_t i) noexcept {
        try {
            task(i);
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    std::size_t started = 1;
    try {
        for (; started < count; ++started) {
            threads.emplace_back(call, started);
        }
    } catch (...) {
        // Out of threads: the calls not started run here.
    }
    call(0);
    for (std::size_t i = started; i < count; ++i) {
        call(i);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

} // namespace KestThreads
