#pragma once
// The calling thread's window message queue, for tests. Where threads have no
// window messages every routine returns false.
namespace jestlark::test {

// A one-shot timer that needs no window: its callback runs when the thread's
// messages are dispatched.
bool StartThreadTimer(unsigned milliseconds, void (*callback)());
// Posts WM_QUIT, then an ordinary message behind it.
bool PostQuitAndMessage();
// Whether WM_QUIT waits in the queue (it stays there).
bool QuitIsWaiting();

}  // namespace jestlark::test
