#include "text/FindText.h"

#include <cstddef>
#include "text/FindOffset.h"

namespace jestlark {
namespace {

unsigned char Fold(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte; }

bool MatchesAt(std::string_view subject, std::size_t at, std::string_view needle, bool ignoreCase) {
    for (std::size_t i = 0; i < needle.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(subject[at + i]);
        unsigned char b = static_cast<unsigned char>(needle[i]);
        if (ignoreCase ? Fold(a) != Fold(b) : a != b) return false;
    }
    return true;
}

}  // namespace

std::size_t FindOffset(std::string_view subject, std::string_view needle, std::size_t offset, bool ignoreCase) {
    const std::size_t n = subject.size();
    if (offset >= n) return NotFound;
    if (needle.empty()) return 0;
    for (std::size_t at = offset; n - at >= needle.size();) {
        if (MatchesAt(subject, at, needle, ignoreCase)) return at;
        at += static_cast<unsigned char>(subject[at]) >= 0x80 ? 2 : 1;
        if (at >= n) return NotFound;
    }
    return NotFound;
}

int32_t FindText(std::string_view subject, std::string_view needle, int32_t startPosition, bool ignoreCase) {
    const std::size_t offset = startPosition > 1 ? std::size_t(startPosition) - 1 : 0;
    const std::size_t found = FindOffset(subject, needle, offset, ignoreCase);
    // Positions beyond what a 32-bit position can name count as not found.
    if (found == NotFound || found >= std::size_t(INT32_MAX)) return -1;
    return int32_t(found + 1);
}

}  // namespace jestlark
