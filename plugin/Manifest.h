#pragma once
#include "text/Text.h"

namespace jestlark {

// The eleven manifest lines the host reads, each ending in CR LF.
Text BuildManifest();

}  // namespace jestlark
