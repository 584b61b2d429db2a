#include <windows.h>

#include "tests/fetchpage/ThreadQueue.h"

namespace jestlark::test {
namespace {

void (*pending)() = nullptr;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    void (*callback)() = pending;
    pending = nullptr;
    if (callback) callback();
}

}  // namespace

bool StartThreadTimer(unsigned milliseconds, void (*callback)()) {
    pending = callback;
    return SetTimer(nullptr, 0, milliseconds, OnTimer) != 0;
}

bool PostQuitAndMessage() {
    PostQuitMessage(7);
    return PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0) != 0;
}

bool QuitIsWaiting() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

}  // namespace jestlark::test
