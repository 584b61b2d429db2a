#pragma once
#include <cstddef>

namespace jestlark {

// The program's global allocation functions record the largest request made
// since the last reset, so a test can tell that a routine never asked for a
// size it was only told about.
void ResetLargestAllocation();
std::size_t LargestAllocation();

}  // namespace jestlark
