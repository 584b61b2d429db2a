#pragma once
#include <memory>

namespace jestlark {

// Lets another thread stop one exchange: a blocked network call returns
// soon, and every later call of the exchange fails at once.
class InternetCancel {
public:
    InternetCancel();
    ~InternetCancel();
    InternetCancel(const InternetCancel&) = delete;
    InternetCancel& operator=(const InternetCancel&) = delete;

    void Cancel();  // any thread, any number of times
    bool IsCancelled() const;

    struct State;  // the platform's own; the internet session reaches it
    State& GetState() { return *state_; }

private:
    std::unique_ptr<State> state_;
};

}  // namespace jestlark
