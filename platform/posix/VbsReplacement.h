#pragma once
// The component's replacement text: $1 to $99, $&, $`, $', $$; every other
// "$" stands for itself.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jestlark {

// A span of the subject in UTF-16 units; a group that took part in no match
// has no span.
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    bool set = false;
};

struct MatchSpans {
    Span whole;
    std::vector<Span> groups;
};

// Appends the replacement for one match to `out`.
void ExpandReplacement(std::u16string_view replacement, std::u16string_view subject, const MatchSpans& match,
                       std::u16string& out);

}  // namespace jestlark
