#include <string_view>
#include "text/Cleaners.h"
#include "text/FindOffset.h"
#include "text/OutputRuns.h"

namespace jestlark {

Text RemoveAll(const Text& text, const Text& run) {
    if (text.empty() || run.empty()) return text;
    TextSearch search(run, false);
    std::size_t found = search.Find(text, 0);
    if (found == NotFound) return text;
    OutputRuns kept(text.size());
    std::size_t from = 0;
    while (found != NotFound) {
        kept.Append(text.data() + from, found - from);
        from = found + run.size();
        found = search.Find(text, from);
    }
    kept.Append(text.data() + from, text.size() - from);
    return kept.Take();
}

}  // namespace jestlark
