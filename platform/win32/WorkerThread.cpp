#include "platform/WorkerThread.h"

#include <windows.h>

#include <atomic>
#include <memory>

namespace jestlark {

struct WorkerThread::State {
    HANDLE thread = nullptr;
    ~State() {
        if (thread) CloseHandle(thread);
    }
};

namespace {

std::atomic<bool> startFailsForTest{false};

struct ModuleRelease {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

struct Launch {
    std::function<void()> routine;
    // The thread's own reference to this module; the thread hands it to
    // FreeLibraryAndExitThread, and a thread never started gives it back here.
    std::unique_ptr<HINSTANCE__, ModuleRelease> module;
};

DWORD WINAPI RunWorker(void* parameter) {
    HMODULE module = nullptr;
    {
        const std::unique_ptr<Launch> launch(static_cast<Launch*>(parameter));
        module = launch->module.release();
        try {
            launch->routine();
        } catch (...) {
        }
    }
    // Releases the module only once no code of it is left to run on this
    // thread, so the host may unload it while a let-go worker still runs.
    FreeLibraryAndExitThread(module, 0);
}

}  // namespace

WorkerThread::WorkerThread() = default;
WorkerThread::WorkerThread(WorkerThread&&) noexcept = default;
WorkerThread& WorkerThread::operator=(WorkerThread&&) noexcept = default;
WorkerThread::~WorkerThread() = default;

WorkerThread WorkerThread::Start(std::function<void()> routine) {
    WorkerThread worker;
    if (startFailsForTest.load()) return worker;
    try {
        auto state = std::make_unique<State>();
        auto launch = std::make_unique<Launch>();
        launch->routine = std::move(routine);
        // Taken before the thread exists, so no unload can come in between.
        HMODULE module = nullptr;
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                reinterpret_cast<LPCWSTR>(&RunWorker), &module)) {
            return worker;
        }
        launch->module.reset(module);
        state->thread = CreateThread(nullptr, 0, RunWorker, launch.get(), 0, nullptr);
        if (!state->thread) return worker;
        launch.release();
        worker.state_ = std::move(state);
    } catch (...) {
    }
    return worker;
}

WorkerThread::WaitResult WorkerThread::Wait(uint32_t limitMs) const {
    if (!state_) return WaitResult::Failed;
    switch (MsgWaitForMultipleObjects(1, &state_->thread, FALSE, limitMs, QS_ALLEVENTS)) {
        case WAIT_OBJECT_0: return WaitResult::Ended;
        case WAIT_OBJECT_0 + 1: return WaitResult::MessageWaiting;
        case WAIT_TIMEOUT: return WaitResult::TimedOut;
        default: return WaitResult::Failed;
    }
}

void SetWorkerThreadStartFailsForTest(bool fails) { startFailsForTest = fails; }

void DispatchWaitingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        DispatchMessageA(&message);
    }
}

}  // namespace jestlark
