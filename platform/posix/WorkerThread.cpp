#include "platform/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

namespace jestlark {

struct Completion {
    std::mutex mutex;
    std::condition_variable ended;
    bool hasEnded = false;
};

struct WorkerThread::State {
    std::shared_ptr<Completion> completion;
    std::thread thread;

    bool HasEnded() const {
        std::lock_guard<std::mutex> lock(completion->mutex);
        return completion->hasEnded;
    }
};

namespace {

std::atomic<bool> startFailsForTest{false};

// Threads let go of before they ended. They are cancelled and end soon; the
// ones that have are joined whenever another is added, and the rest when the
// module unloads, so no thread runs this module's code after that.
class AbandonedThreads {
public:
    static AbandonedThreads& Get() {
        static AbandonedThreads threads;
        return threads;
    }

    void Add(WorkerThread::State state) {
        std::list<WorkerThread::State> ended;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto at = threads_.begin(); at != threads_.end();) {
                const auto next = std::next(at);
                if (at->HasEnded()) ended.splice(ended.end(), threads_, at);
                at = next;
            }
            threads_.push_back(std::move(state));
        }
        for (WorkerThread::State& thread : ended) thread.thread.join();
    }

    ~AbandonedThreads() {
        for (WorkerThread::State& thread : threads_) thread.thread.join();
    }

private:
    AbandonedThreads() = default;
    std::mutex mutex_;
    std::list<WorkerThread::State> threads_;
};

}  // namespace

WorkerThread::WorkerThread() = default;
WorkerThread::WorkerThread(WorkerThread&&) noexcept = default;
WorkerThread& WorkerThread::operator=(WorkerThread&&) noexcept = default;

WorkerThread WorkerThread::Start(std::function<void()> routine) {
    WorkerThread worker;
    if (startFailsForTest.load()) return worker;
    try {
        auto state = std::make_unique<State>();
        state->completion = std::make_shared<Completion>();
        state->thread = std::thread(
            [completion = state->completion](std::function<void()> work) {
                work();
                // Whatever the routine holds is released before its end is
                // reported: a waiter that sees the end may free it all.
                work = nullptr;
                std::lock_guard<std::mutex> lock(completion->mutex);
                completion->hasEnded = true;
                completion->ended.notify_all();
            },
            std::move(routine));
        worker.state_ = std::move(state);
    } catch (...) {
        worker.state_.reset();
    }
    return worker;
}

WorkerThread::~WorkerThread() {
    if (!state_) return;
    if (state_->HasEnded()) {
        state_->thread.join();
        return;
    }
    try {
        AbandonedThreads::Get().Add(std::move(*state_));
    } catch (...) {
        // Without room to keep it, the thread is waited for here rather than
        // left to run past the module's unload.
        if (state_->thread.joinable()) state_->thread.join();
    }
}

WorkerThread::WaitResult WorkerThread::Wait(uint32_t limitMs) const {
    if (!state_) return WaitResult::Failed;
    std::unique_lock<std::mutex> lock(state_->completion->mutex);
    const bool ended = state_->completion->ended.wait_for(
        lock, std::chrono::milliseconds(limitMs), [this] { return state_->completion->hasEnded; });
    return ended ? WaitResult::Ended : WaitResult::TimedOut;
}

void SetWorkerThreadStartFailsForTest(bool fails) { startFailsForTest = fails; }

void DispatchWaitingMessages() {}

}  // namespace jestlark
