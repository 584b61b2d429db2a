#pragma once
#include <cstdint>
#include "text/Text.h"

namespace jestlark {

// What lies between the first leftMarker at or after startPosition and the next
// rightMarker behind it; empty when either is missing. The placeholder "#引号"
// in a marker stands for a double quote: the caller's marker is replaced by
// its converted form. caseSensitive false (the default) ignores A-Z case.
Text TextBetween(const Text& subject, Text& leftMarker, Text& rightMarker,
                 int32_t startPosition = 0, bool caseSensitive = false);

// Everything in front of the first marker found from startPosition (below 1
// counts as 1); empty when the marker is missing. ignoreCase false (the
// default) matches the marker byte for byte.
Text TextBefore(const Text& subject, const Text& marker,
                int32_t startPosition = 0, bool ignoreCase = false);

}  // namespace jestlark
