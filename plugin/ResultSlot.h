#pragma once
#include "text/Text.h"

namespace jestlark {

// Keeps the last text an export returned alive for the host, which reads the
// bytes behind the pointer until the same export is called again.
class ResultSlot {
public:
    const char* Store(Text text) {
        text_ = std::move(text);
        return text_.c_str();
    }
    void Release() { Text().swap(text_); }

private:
    Text text_;
};

}  // namespace jestlark
