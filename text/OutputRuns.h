#pragma once
#include <cstddef>
#include <cstring>
#include "text/Text.h"

namespace jestlark {

// Builds a text from runs of another text's bytes: the result never grows
// beyond the source, so its room is taken once and each run is a plain copy.
class OutputRuns {
public:
    explicit OutputRuns(std::size_t capacity) { text_.resize(capacity); }
    void Append(const char* bytes, std::size_t count) {
        std::memcpy(&text_[0] + size_, bytes, count);
        size_ += count;
    }
    Text Take() {
        text_.resize(size_);
        return std::move(text_);
    }

private:
    Text text_;
    std::size_t size_ = 0;
};

}  // namespace jestlark
