#pragma once
#include <chrono>
#include <thread>

namespace jestlark::test {

// How many threads the test process has now.
int ThreadCount();

// Waits, up to a generous bound, for the process to be back at count threads.
inline bool ThreadsBackTo(int count) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ThreadCount() > count && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ThreadCount() <= count;
}

}  // namespace jestlark::test
