// A cancel closes an exchange's WinInet handles while its worker may be about
// to call with one of them; WinInet may hand the freed value straight to the
// next handle opened. The late call must never reach another exchange's
// handle that way.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/InternetSession.h"
#include "tests/worker/WorkerTestSupport.h"

#if defined(_WIN32)
#include "platform/win32/InternetCancelState.h"
#endif

namespace jestlark::test {
namespace {

class WorkerCancelReuseTest : public WorkerTest {};

#if defined(_WIN32)
std::vector<HINTERNET> OpenHandles(InternetCancel& cancel) {
    std::lock_guard<std::mutex> lock(cancel.GetState().mutex);
    return cancel.GetState().handles;
}

bool CallUnderway(InternetCancel& cancel) {
    std::lock_guard<std::mutex> lock(cancel.GetState().mutex);
    return cancel.GetState().callsUnderway > 0;
}
#endif

#if defined(_WIN32)
DWORD ConnectTimeout(HINTERNET handle) {
    DWORD timeout = 0;
    DWORD size = sizeof timeout;
    InternetQueryOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, &size);
    return timeout;
}
#endif

TEST_F(WorkerCancelReuseTest, ALateCallNeverReachesAnotherExchangesHandle) {
#if !defined(_WIN32)
    GTEST_SKIP() << "WinInet handle values only: libcurl's handles are never reused under a call";
#else
    InternetCancel late;
    WinInetHandle lateHandle(InternetOpenA("late", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0),
                             &late.GetState());
    ASSERT_TRUE(lateHandle);
    const std::vector<HINTERNET> closed = OpenHandles(late);

    // The late worker has passed its cancelled check and is on its way into
    // WinInet with its old value when the cancel comes.
    std::mutex gate;
    std::unique_lock<std::mutex> held(gate);
    constexpr DWORD LateTimeout = 12345;
    std::thread worker([&] {
        lateHandle.Use(false, [&](HINTERNET handle) {
            std::lock_guard<std::mutex> through(gate);
            DWORD timeout = LateTimeout;
            return InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout) != FALSE;
        });
    });
    for (int wait = 0; wait < 5000 && !CallUnderway(late); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(CallUnderway(late));
    late.Cancel();

    InternetCancel next;
    InternetSession nextSession = InternetSession::Open(Text("next"), Text(), &next);
    ASSERT_TRUE(nextSession);
    const std::vector<HINTERNET> opened = OpenHandles(next);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(std::find(closed.begin(), closed.end(), opened[0]), closed.end());

    held.unlock();
    worker.join();
    EXPECT_NE(ConnectTimeout(opened[0]), LateTimeout);
#endif
}

}  // namespace
}  // namespace jestlark::test
