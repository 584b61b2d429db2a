#pragma once
#include <vector>

#include "plugin/PostRandomJoke.h"

namespace jestlark {

// The groups the double was called with, in order.
std::vector<Text>& PostRandomJokeCalls();

}  // namespace jestlark
