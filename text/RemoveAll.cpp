#include <string_view>
#include "text/Cleaners.h"
#include "text/FindOffset.h"

namespace jestlark {

Text RemoveAll(const Text& text, const Text& run) {
    if (text.empty() || run.empty()) return text;
    std::size_t found = FindOffset(text, run, 0, false);
    if (found == NotFound) return text;
    Text kept;
    kept.reserve(text.size());
    std::size_t from = 0;
    while (found != NotFound) {
        kept.append(text, from, found - from);
        from = found + run.size();
        found = FindOffset(text, run, from, false);
    }
    kept.append(text, from, std::string::npos);
    return kept;
}

}  // namespace jestlark
