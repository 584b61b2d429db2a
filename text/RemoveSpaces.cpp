#include "text/ByteScan.h"
#include "text/CharacterBoundaries.h"
#include "text/Cleaners.h"
#include "text/OutputRuns.h"

namespace jestlark {
namespace {

constexpr unsigned char FullWidthSpaceByte = 0xA1;  // A1 A1 is the full-width space

}  // namespace

// Only a space byte or an A1 byte can start something to drop, so the text is
// copied in runs between those candidates; each candidate is checked for
// beginning a character, since either byte can also be a trail byte.
Text RemoveSpaces(const Text& text) {
    const char* bytes = text.data();
    const std::size_t end = text.size();
    CharacterBoundaries boundaries(text, 0);
    OutputRuns out(end);
    std::size_t copyFrom = 0;
    std::size_t searchFrom = 0;
    while (true) {
        const std::size_t at = FindEitherByte(bytes, searchFrom, end, ' ', FullWidthSpaceByte);
        // A lead byte that ends the text is left to the check behind the loop.
        if (at + 1 >= end) break;
        if (!boundaries.IsStart(at)) {
            searchFrom = at + 1;
            continue;
        }
        if (bytes[at] == ' ') {
            out.Append(bytes + copyFrom, at - copyFrom);
            copyFrom = searchFrom = at + 1;
        } else if (static_cast<unsigned char>(bytes[at + 1]) == FullWidthSpaceByte) {
            out.Append(bytes + copyFrom, at - copyFrom);
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
    if (copyFrom < keepTo) out.Append(bytes + copyFrom, keepTo - copyFrom);
    return out.Take();
}

}  // namespace jestlark
