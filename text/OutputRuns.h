#pragma once
#include <cstddef>
#include "text/Text.h"

namespace jestlark {

// Builds a text from runs of another text's bytes: the result never grows
// beyond the source, so its room is taken once, unfilled, and no run moves it.
class OutputRuns {
public:
    explicit OutputRuns(std::size_t capacity) { text_.reserve(capacity); }
    void Append(const char* bytes, std::size_t count) { text_.append(bytes, count); }
    Text Take() { return std::move(text_); }

private:
    Text text_;
};

}  // namespace jestlark
