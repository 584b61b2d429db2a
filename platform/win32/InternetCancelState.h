#pragma once
// What the cancel of one exchange holds on Windows: the exchange's open WinInet
// handles. Closing a handle from another thread makes a call blocked on it
// return, so Cancel closes them all; their owners then leave them alone.
#include <windows.h>
#include <wininet.h>

#include <mutex>
#include <vector>

#include "platform/InternetCancel.h"

namespace jestlark {

struct InternetCancel::State {
    std::mutex mutex;
    bool cancelled = false;
    std::vector<HINTERNET> handles;
};

// An open WinInet handle, closed with its value unless a cancel closed it first.
class WinInetHandle {
public:
    // Takes handle over (it may be null); when the exchange is already
    // cancelled it is closed at once and the value stays empty.
    WinInetHandle(HINTERNET handle, InternetCancel::State* cancel);
    ~WinInetHandle();
    WinInetHandle(const WinInetHandle&) = delete;
    WinInetHandle& operator=(const WinInetHandle&) = delete;

    // The handle for a call, or null once it is closed or cancelled.
    HINTERNET Get() const;
    InternetCancel::State* Cancel() const { return cancel_; }

private:
    HINTERNET handle_;
    InternetCancel::State* cancel_;
};

}  // namespace jestlark
