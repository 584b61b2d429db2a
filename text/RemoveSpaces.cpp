#include <cstring>
#include "text/CharacterBoundaries.h"
#include "text/Cleaners.h"

namespace jestlark {
namespace {

constexpr unsigned char FullWidthSpaceByte = 0xA1;  // A1 A1 is the full-width space

std::size_t Next(const char* bytes, std::size_t from, std::size_t end, unsigned char wanted) {
    const void* found = std::memchr(bytes + from, wanted, end - from);
    return found ? std::size_t(static_cast<const char*>(found) - bytes) : end;
}

}  // namespace

// Only a space byte or an A1 byte can start something to drop, so the text is
// copied in runs between those candidates; each candidate is checked for
// beginning a character, since either byte can also be a trail byte.
Text RemoveSpaces(const Text& text) {
    const char* bytes = text.data();
    const std::size_t end = text.size();
    CharacterBoundaries boundaries(text, 0);
    Text out;
    out.reserve(end);
    std::size_t copyFrom = 0;
    std::size_t searchFrom = 0;
    std::size_t space = Next(bytes, 0, end, ' ');
    std::size_t wide = Next(bytes, 0, end, FullWidthSpaceByte);
    while (true) {
        if (space < searchFrom) space = Next(bytes, searchFrom, end, ' ');
        if (wide < searchFrom) wide = Next(bytes, searchFrom, end, FullWidthSpaceByte);
        const std::size_t at = space < wide ? space : wide;
        // A lead byte that ends the text is left to the check behind the loop.
        if (at + 1 >= end) break;
        if (!boundaries.IsStart(at)) {
            searchFrom = at + 1;
            continue;
        }
        if (at == space) {
            out.append(bytes + copyFrom, at - copyFrom);
            copyFrom = searchFrom = at + 1;
        } else if (static_cast<unsigned char>(bytes[at + 1]) == FullWidthSpaceByte) {
            out.append(bytes + copyFrom, at - copyFrom);
            copyFrom = searchFrom = at + 2;
        } else {
            searchFrom = at + 2;
        }
    }
    std::size_t keepTo = end;
    if (copyFrom < end) {
        const std::size_t last = end - 1;
        const unsigned char lastByte = static_cast<unsigned char>(bytes[last]);
        // The last byte goes when it is a space, or a lead byte with no trail byte.
        if (last >= searchFrom && (lastByte == ' ' || lastByte >= 0x80) && boundaries.IsStart(last)) keepTo = last;
    }
    if (copyFrom < keepTo) out.append(bytes + copyFrom, keepTo - copyFrom);
    return out;
}

}  // namespace jestlark
