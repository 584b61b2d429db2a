#include <cstring>
#include "text/ByteScan.h"
#include "text/Cleaners.h"
#include "text/OutputRuns.h"

namespace jestlark {

// Bytes, not characters: no trail byte of a double-byte character is "<" or
// ">" in GBK, so the characters come through whole.
Text TagStripper(const Text& text) {
    const char* bytes = text.data();
    const std::size_t end = text.size();
    OutputRuns out(end);
    std::size_t from = 0;
    while (from < end) {
        const std::size_t at = FindEitherByte(bytes, from, end, '<', '>');
        out.Append(bytes + from, at - from);
        if (at == end) break;
        // A ">" outside a tag is dropped on its own.
        if (bytes[at] == '>') {
            from = at + 1;
            continue;
        }
        // Inside a tag only ">" matters; an unclosed tag drops the rest.
        const void* close = std::memchr(bytes + at + 1, '>', end - at - 1);
        if (!close) break;
        from = std::size_t(static_cast<const char*>(close) - bytes) + 1;
    }
    return out.Take();
}

}  // namespace jestlark
