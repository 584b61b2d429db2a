#pragma once
#include <cstdint>
#include "text/Text.h"

namespace jestlark {

// The host name in small letters: scheme texts removed, cut at "/" then ":".
Text UrlHost(const Text& url);
// The path with query and fragment, always beginning with "/".
Text UrlPath(const Text& url);
// The port of an http:// URL: 80 without one; the number read from the port
// text, cut toward zero, its low 32 bits. Defined for every text.
int32_t UrlPort(const Text& url);

}  // namespace jestlark
