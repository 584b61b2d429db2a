#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace jestlark {

// One worker thread that its starter waits for under a time limit, and may
// let go of while it still runs: a thread let go of ends on its own, and
// keeps this module loaded until it has (on POSIX, unloading joins it).
class WorkerThread {
public:
    enum class WaitResult { Ended, TimedOut, MessageWaiting, Failed };

    // Starts routine on a new thread; an empty WorkerThread when none could be
    // started. routine must not let an exception out.
    static WorkerThread Start(std::function<void()> routine);

    WorkerThread();
    WorkerThread(WorkerThread&&) noexcept;
    WorkerThread& operator=(WorkerThread&&) noexcept;
    ~WorkerThread();  // lets go of the thread, ended or not

    explicit operator bool() const { return state_ != nullptr; }

    // Blocks until the thread has ended, limitMs have passed, or (on Windows)
    // input or a posted message, timer, paint or hot key arrives for the
    // calling thread (QS_ALLEVENTS).
    WaitResult Wait(uint32_t limitMs) const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

// Test seam: while set, Start fails as if no thread could be created.
void SetWorkerThreadStartFailsForTest(bool fails);

// Dispatches the calling thread's waiting window messages, up to a WM_QUIT,
// which stays queued. Nothing to do where there are no window messages.
void DispatchWaitingMessages();

}  // namespace jestlark
