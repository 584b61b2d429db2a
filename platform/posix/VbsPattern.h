#pragma once
// The component's pattern dialect (the scripting engines' one) rewritten as
// an equivalent PCRE2 pattern, so that PCRE2 accepts exactly the patterns the
// component accepts and gives each construct the component's meaning.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jestlark {

struct PcrePattern {
    std::u16string source;
    uint32_t groups = 0;
};

// Empty when the component would reject the pattern.
std::optional<PcrePattern> TranslateVbsPattern(std::u16string_view pattern, bool multiline);

}  // namespace jestlark
