#include "platform/InternetCancel.h"

#include "platform/posix/InternetCancelState.h"

namespace jestlark {

InternetCancel::InternetCancel() : state_(std::make_unique<State>()) {}
InternetCancel::~InternetCancel() = default;

void InternetCancel::Cancel() { state_->cancelled.store(true, std::memory_order_release); }

bool InternetCancel::IsCancelled() const { return state_->cancelled.load(std::memory_order_acquire); }

}  // namespace jestlark
