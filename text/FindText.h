#pragma once
#include <cstdint>
#include <string_view>

namespace jestlark {

// The one byte search of the system. Returns the 1-based byte position of the
// first occurrence of needle at or after startPosition, or -1. A match never
// begins on the trail byte of a double-byte character (boundaries counted
// from the start of the searched range); ignoreCase folds only A to Z, on
// every compared byte, trail bytes included.
int32_t FindText(std::string_view subject, std::string_view needle,
                 int32_t startPosition = 1, bool ignoreCase = false);

}  // namespace jestlark
