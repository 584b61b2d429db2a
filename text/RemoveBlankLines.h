#pragma once
#include "text/Text.h"

namespace jestlark {

// Deletes the empty and white-space-only lines of CR LF text. text itself is
// replaced by its form with one CR LF trimmed from each end; the result is
// the cleaned text (empty when the regular-expression component is missing).
Text RemoveBlankLines(Text& text, bool initCom = false);

}  // namespace jestlark
