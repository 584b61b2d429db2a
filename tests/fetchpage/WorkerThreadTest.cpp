#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/WorkerThread.h"
#include "tests/fetchpage/ThreadCount.h"
#include "tests/fetchpage/ThreadQueue.h"

namespace jestlark {
namespace {

using Result = WorkerThread::WaitResult;

TEST(WorkerThread, WaitEndsAtTheLimitOrTheEnd) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    const WorkerThread worker = WorkerThread::Start([release] {
        while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    ASSERT_TRUE(worker);
    EXPECT_EQ(worker.Wait(0), Result::TimedOut);
    EXPECT_EQ(worker.Wait(20), Result::TimedOut);
    *release = true;
    EXPECT_EQ(worker.Wait(10000), Result::Ended);
    EXPECT_EQ(worker.Wait(0), Result::Ended);
}

TEST(WorkerThread, RoutineIsReleasedBeforeTheEndIsReported) {
    auto held = std::make_shared<int>(1);
    const std::weak_ptr<int> watch = held;
    const WorkerThread worker = WorkerThread::Start([held] {});
    held.reset();
    ASSERT_EQ(worker.Wait(10000), Result::Ended);
    // The waiter may free what the routine used as soon as it sees the end.
    EXPECT_TRUE(watch.expired());
}

TEST(WorkerThread, ThreadLetGoOfEndsOnItsOwn) {
    const int before = test::ThreadCount();
    auto release = std::make_shared<std::atomic<bool>>(false);
    {
        const WorkerThread worker = WorkerThread::Start([release] {
            while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        ASSERT_EQ(worker.Wait(0), Result::TimedOut);
    }
    *release = true;
    EXPECT_TRUE(test::ThreadsBackTo(before)) << test::ThreadCount() << " threads, " << before << " before";
}

TEST(DispatchWaitingMessages, LeavesQuitQueued) {
    if (!test::PostQuitAndMessage()) GTEST_SKIP() << "no window messages on POSIX";
    const WorkerThread worker = WorkerThread::Start([] {
        std::this_thread::sleep_for(std::chrono::seconds(5));
    });
    // The posted message wakes the wait long before the worker ends.
    EXPECT_EQ(worker.Wait(10000), Result::MessageWaiting);
    DispatchWaitingMessages();
    EXPECT_TRUE(test::QuitIsWaiting());
    DispatchWaitingMessages();  // a queued WM_QUIT alone is no work and no spin
    EXPECT_TRUE(test::QuitIsWaiting());
}

}  // namespace
}  // namespace jestlark
