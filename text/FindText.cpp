#include "text/FindText.h"

#include <cstddef>

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

int32_t FindText(std::string_view subject, std::string_view needle, int32_t startPosition, bool ignoreCase) {
    const std::size_t n = subject.size();
    const std::size_t offset = startPosition > 1 ? std::size_t(startPosition) - 1 : 0;
    if (offset >= n) return -1;
    if (needle.empty()) return 1;
    for (std::size_t at = offset; n - at >= needle.size();) {
        if (MatchesAt(subject, at, needle, ignoreCase)) return int32_t(at + 1);
        if (static_cast<unsigned char>(subject[at]) >= 0x80) {
            if (at + 1 >= n) return -1;
            at += 2;
        } else {
            at += 1;
        }
        if (at > n) return -1;
    }
    return -1;
}

}  // namespace jestlark
