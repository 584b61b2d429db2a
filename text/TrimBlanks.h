#pragma once
#include "text/Text.h"

namespace jestlark {

// Removes ASCII spaces and double-byte spaces (A1 A1) from both ends, reading
// the text character by character so that a trail byte never counts as a
// lead. Tabs and line breaks stay.
Text TrimBlanks(const Text& text);

}  // namespace jestlark
