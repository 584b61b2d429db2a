#include <windows.h>

#include "tests/fetchpage/ThreadTimer.h"

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

}  // namespace jestlark::test
