#pragma once
#include "text/Text.h"

namespace jestlark {

// A to Z become a to z; a double-byte character is stepped over whole, so
// neither of its bytes changes.
Text LowerAscii(Text text);

}  // namespace jestlark
