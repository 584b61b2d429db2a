#pragma once
// What the cancel of one exchange holds on POSIX: a flag that the transfer
// loop and libcurl's progress callback check, so that a blocked exchange
// ends within a fraction of a second and later calls fail at once.
#include <atomic>

#include "platform/InternetCancel.h"

namespace jestlark {

struct InternetCancel::State {
    std::atomic<bool> cancelled{false};
};

inline bool IsCancelled(const InternetCancel::State* state) {
    return state && state->cancelled.load(std::memory_order_acquire);
}

}  // namespace jestlark
