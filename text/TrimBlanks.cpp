#include "text/TrimBlanks.h"

#include <cstddef>

namespace jestlark {

Text TrimBlanks(const Text& text) {
    std::size_t first = std::string::npos;
    std::size_t end = 0;
    for (std::size_t at = 0; at < text.size();) {
        const bool lead = static_cast<unsigned char>(text[at]) >= 0x80;
        const std::size_t width = (lead && at + 1 < text.size()) ? 2 : 1;
        const bool blank = text[at] == ' ' || (width == 2 && text[at] == '\xA1' && text[at + 1] == '\xA1');
        if (!blank) {
            if (first == std::string::npos) first = at;
            end = at + width;
        }
        at += width;
    }
    return first == std::string::npos ? Text() : Text(text.substr(first, end - first));
}

}  // namespace jestlark
