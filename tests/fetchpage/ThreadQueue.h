#pragma once
// A one-shot timer of the calling thread that needs no window: its callback
// runs when the thread's window messages are dispatched.
namespace jestlark::test {
// False where threads have no window messages.
bool StartThreadTimer(unsigned milliseconds, void (*callback)());
}
