#pragma once
#include <cstdint>

namespace jestlark {

// Milliseconds since the system started, wrapping at 2^32.
uint32_t TickCount();

}  // namespace jestlark
