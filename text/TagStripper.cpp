#include <cstring>
#include "text/Cleaners.h"

namespace jestlark {
namespace {

// The offset of the next byte equal to wanted at or after from, or end.
std::size_t Next(const char* bytes, std::size_t from, std::size_t end, char wanted) {
    const void* found = std::memchr(bytes + from, wanted, end - from);
    return found ? std::size_t(static_cast<const char*>(found) - bytes) : end;
}

}  // namespace

// Bytes, not characters: no trail byte of a double-byte character is "<" or
// ">" in GBK, so the characters come through whole.
Text TagStripper(const Text& text) {
    const char* bytes = text.data();
    const std::size_t end = text.size();
    Text out;
    out.reserve(end);
    std::size_t from = 0;
    // The next "<" and ">" at or after from; each only moves forward.
    std::size_t open = Next(bytes, 0, end, '<');
    std::size_t close = Next(bytes, 0, end, '>');
    while (from < end) {
        if (open < from) open = Next(bytes, from, end, '<');
        if (close < from) close = Next(bytes, from, end, '>');
        if (close < open) {
            // A ">" outside a tag is dropped on its own.
            out.append(bytes + from, close - from);
            from = close + 1;
            continue;
        }
        out.append(bytes + from, open - from);
        if (open == end) break;
        // Inside a tag only ">" matters, and close is already the first one
        // behind the "<"; an unclosed tag drops the rest.
        from = close == end ? end : close + 1;
    }
    return out;
}

}  // namespace jestlark
