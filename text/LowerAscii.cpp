#include "text/LowerAscii.h"

#include <cstddef>

namespace jestlark {

Text LowerAscii(Text text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (static_cast<unsigned char>(text[at]) >= 0x80) {
            ++at;
        } else if (text[at] >= 'A' && text[at] <= 'Z') {
            text[at] = char(text[at] + 0x20);
        }
    }
    return text;
}

}  // namespace jestlark
