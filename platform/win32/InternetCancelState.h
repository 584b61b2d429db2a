#pragma once
// What the cancel of one exchange holds on Windows: the exchange's open WinInet
// handles. Closing a handle from another thread makes a call blocked on it
// return, so Cancel closes them all; their owners then leave them alone.
//
// A closed handle's value may be handed out again by WinInet. A worker that
// passed its cancelled check just before a Cancel may still make its call with
// the old value, so while such a late call is underway the values its Cancel
// closed are held aside: a handle opened meanwhile with one of them is kept
// open unused (see OpenWinInetHandle) and another is opened, so the late call
// can never reach a handle that another exchange uses.
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/InternetCancel.h"

namespace jestlark {

struct InternetCancel::State {
    std::mutex mutex;
    std::atomic<bool> cancelled{false};
    std::vector<HINTERNET> handles;
    int callsUnderway = 0;
    // The values a Cancel closed while a call was underway; held aside until
    // the last of those calls has returned.
    std::vector<HINTERNET> heldAside;
    // Handles this exchange opened with a value held aside for another: kept
    // open and unused, closed before any of the exchange's own handles.
    std::vector<HINTERNET> unused;
};

// Opens a handle through open() whose value is held aside for no late call;
// null without calling open() when cancel is cancelled.
HINTERNET OpenWinInetHandle(InternetCancel::State* cancel, const std::function<HINTERNET()>& open);

// An open WinInet handle, closed with its value unless a cancel closed it first.
class WinInetHandle {
public:
    // Takes handle over (it may be null); when the exchange is already
    // cancelled it is closed at once and the value stays empty.
    WinInetHandle(HINTERNET handle, InternetCancel::State* cancel);
    ~WinInetHandle();
    WinInetHandle(const WinInetHandle&) = delete;
    WinInetHandle& operator=(const WinInetHandle&) = delete;

    explicit operator bool() const { return handle_ != nullptr; }
    InternetCancel::State* Cancel() const { return cancel_; }

    // Calls call(handle) and returns its result, or fallback without calling
    // when the handle is closed or the exchange cancelled.
    template <class Result, class Call>
    Result Use(Result fallback, Call call) const {
        if (!handle_) return fallback;
        if (!cancel_) return call(handle_);
        if (!EnterCall()) return fallback;
        struct Leave {
            const WinInetHandle& owner;
            ~Leave() { owner.LeaveCall(); }
        } leave{*this};
        return call(handle_);
    }

private:
    bool EnterCall() const;
    void LeaveCall() const;

    HINTERNET handle_;
    InternetCancel::State* cancel_;
};

}  // namespace jestlark
