#pragma once
#include <cstdint>
#include <optional>

#include "text/Text.h"

namespace jestlark {

// Each routine reads its text up to the first zero byte and returns a fresh
// value; none of them reports an error.

// UTF-8 text in GBK; a character GBK lacks becomes "?".
Text Utf8ToGbk(const Text& text);
// Big5 text in GBK with traditional characters mapped to simplified ones.
Text Big5ToGbkSimplified(const Text& text);

// The text read in codePage (UTF-8 when left out) as little-endian UTF-16 code
// units, ending with one zero unit.
ByteString TextToUtf16(const Text& text, std::optional<uint32_t> codePage = std::nullopt);
// UTF-16 code units, up to the first zero unit, written in codePage (the ANSI
// code page when left out).
Text Utf16ToText(const ByteString& wide, std::optional<uint32_t> codePage = std::nullopt);
// Big5 text in GBK; a character GBK lacks becomes "?".
Text Big5ToGbk(const Text& text);
// GBK text with traditional characters mapped to simplified ones, one for
// one; unchanged when the mapping is not available.
Text TraditionalToSimplified(const Text& text);

}  // namespace jestlark
