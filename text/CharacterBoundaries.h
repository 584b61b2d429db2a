#pragma once
#include <cstddef>
#include <string_view>
#include "text/ByteScan.h"

namespace jestlark {

// Answers, for positions asked in increasing order, whether a position begins
// a character when characters are counted from origin (a byte from 0x80 on
// leads a two-byte character, whatever byte follows). A byte below 0x80 always
// ends a character, alone or as a trail byte, so only the run of high bytes in
// front of a position needs counting, and never further back than the last
// position answered: the total work is linear in the text.
class CharacterBoundaries {
public:
    CharacterBoundaries(std::string_view bytes, std::size_t origin) : bytes_(bytes), known_(origin) {}

    // at must not lie before the last position asked (or the origin).
    bool IsStart(std::size_t at) {
        const bool start = at == known_ || static_cast<unsigned char>(bytes_[at - 1]) < 0x80 ||
                           (at - BackOverHighBytes(bytes_.data(), known_, at)) % 2 == 0;
        known_ = start ? at : at + 1;
        return start;
    }

private:
    std::string_view bytes_;
    std::size_t known_;  // a position known to begin a character
};

}  // namespace jestlark
