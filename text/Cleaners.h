#pragma once
#include "text/Text.h"

namespace jestlark {

// Removes every occurrence of run, exact bytes, found left to right at
// character boundaries; an empty text or run leaves the text unchanged.
Text RemoveAll(const Text& text, const Text& run);

// Drops everything from a "<" to the next ">" and both brackets; a lone ">"
// is dropped, an unclosed "<" drops the rest.
Text TagStripper(const Text& text);

// Drops ASCII spaces, full-width spaces (A1 A1) and a lead byte that ends
// the text; every other character is kept.
Text RemoveSpaces(const Text& text);

}  // namespace jestlark
