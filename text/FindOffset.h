#pragma once
#include <cstddef>
#include <string_view>

namespace jestlark {

constexpr std::size_t NotFound = std::string_view::npos;

// FindText on 0-based offsets: the offset of the first occurrence of needle at
// or after offset whose first byte begins a character (counted from offset),
// or NotFound. An empty needle is found at 0 when the searched range is not
// empty.
std::size_t FindOffset(std::string_view subject, std::string_view needle, std::size_t offset, bool ignoreCase);

}  // namespace jestlark
