#include "platform/InternetCancel.h"

#include <algorithm>

#include "platform/win32/InternetCancelState.h"

namespace jestlark {

InternetCancel::InternetCancel() : state_(std::make_unique<State>()) {}
InternetCancel::~InternetCancel() = default;

void InternetCancel::Cancel() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->cancelled = true;
    // Newest first: the request, then the connection, then the internet handle.
    for (auto handle = state_->handles.rbegin(); handle != state_->handles.rend(); ++handle) {
        InternetCloseHandle(*handle);
    }
    state_->handles.clear();
}

bool InternetCancel::IsCancelled() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->cancelled;
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
    InternetCloseHandle(handle_);
}

HINTERNET WinInetHandle::Get() const {
    if (!handle_ || !cancel_) return handle_;
    std::lock_guard<std::mutex> lock(cancel_->mutex);
    return cancel_->cancelled ? nullptr : handle_;
}

}  // namespace jestlark
