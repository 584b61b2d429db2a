#pragma once
#include <cstddef>
#include <string_view>

namespace jestlark {

// Equal when A to Z are taken as a to z: header fields and automation member
// names both compare this way.
inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x + 0x20);
        if (y >= 'A' && y <= 'Z') y = char(y + 0x20);
        if (x != y) return false;
    }
    return true;
}

}  // namespace jestlark
