#include "platform/InternetCancel.h"

#include <algorithm>

#include "platform/win32/InternetCancelState.h"

namespace jestlark {
namespace {

// Across all exchanges of the process: the values that Cancels closed while a
// call was underway on them. Taken before any exchange's own lock.
struct HeldValues {
    std::mutex mutex;
    std::vector<HINTERNET> values;

    bool Holds(HINTERNET handle) const {
        return std::find(values.begin(), values.end(), handle) != values.end();
    }
};

HeldValues& Held() {
    static HeldValues held;
    return held;
}

// Newest first: a child before its parent.
void CloseAll(std::vector<HINTERNET>& handles) {
    for (auto handle = handles.rbegin(); handle != handles.rend(); ++handle) InternetCloseHandle(*handle);
    handles.clear();
}

// A fresh handle may be opened with a held value this many times in a row at
// most: each one kept unused takes that value out of WinInet's hands.
constexpr int OpenAttempts = 8;

}  // namespace

InternetCancel::InternetCancel() : state_(std::make_unique<State>()) {}
InternetCancel::~InternetCancel() = default;

void InternetCancel::Cancel() {
    HeldValues& held = Held();
    std::lock_guard<std::mutex> heldLock(held.mutex);
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->cancelled) return;
    state_->cancelled = true;
    // Held aside before they are freed, so no open can be handed one of them
    // while the late call may still use it.
    if (state_->callsUnderway > 0) {
        state_->heldAside = state_->handles;
        held.values.insert(held.values.end(), state_->handles.begin(), state_->handles.end());
    }
    CloseAll(state_->unused);
    CloseAll(state_->handles);
}

bool InternetCancel::IsCancelled() const { return state_->cancelled; }

HINTERNET OpenWinInetHandle(InternetCancel::State* cancel, const std::function<HINTERNET()>& open) {
    if (!cancel) return open();
    HeldValues& held = Held();
    // Held through the opens: no Cancel frees a value in between.
    std::lock_guard<std::mutex> heldLock(held.mutex);
    if (cancel->cancelled) return nullptr;
    for (int attempt = 0; attempt < OpenAttempts; ++attempt) {
        HINTERNET handle = open();
        if (!handle || !held.Holds(handle)) return handle;
        std::lock_guard<std::mutex> lock(cancel->mutex);
        cancel->unused.push_back(handle);
    }
    return nullptr;
}

WinInetHandle::WinInetHandle(HINTERNET handle, InternetCancel::State* cancel)
    : handle_(handle), cancel_(cancel) {
    if (!handle_ || !cancel_) return;
    std::lock_guard<std::mutex> lock(cancel_->mutex);
    if (cancel_->cancelled) {
        InternetCloseHandle(handle_);
        handle_ = nullptr;
        return;
    }
    cancel_->handles.push_back(handle_);
}

WinInetHandle::~WinInetHandle() {
    if (!handle_) return;
    if (!cancel_) {
        InternetCloseHandle(handle_);
        return;
    }
    std::lock_guard<std::mutex> lock(cancel_->mutex);
    auto& handles = cancel_->handles;
    auto found = std::find(handles.begin(), handles.end(), handle_);
    if (found == handles.end()) return;  // the cancel closed it
    handles.erase(found);
    CloseAll(cancel_->unused);
    InternetCloseHandle(handle_);
}

bool WinInetHandle::EnterCall() const {
    std::lock_guard<std::mutex> lock(cancel_->mutex);
    if (cancel_->cancelled) return false;
    ++cancel_->callsUnderway;
    return true;
}

void WinInetHandle::LeaveCall() const {
    HeldValues& held = Held();
    std::lock_guard<std::mutex> heldLock(held.mutex);
    std::lock_guard<std::mutex> lock(cancel_->mutex);
    if (--cancel_->callsUnderway > 0) return;
    for (HINTERNET value : cancel_->heldAside) {
        const auto found = std::find(held.values.begin(), held.values.end(), value);
        if (found != held.values.end()) held.values.erase(found);
    }
    cancel_->heldAside.clear();
}

}  // namespace jestlark
