#pragma once
// Word-at-a-time scans over bytes, eight bytes per step, for the text
// routines' hot loops. Portable: words are read with memcpy and only asked
// whether any of their bytes qualifies, never which.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace jestlark {

namespace byte_scan {
constexpr uint64_t Ones = 0x0101010101010101ull;
constexpr uint64_t Highs = 0x8080808080808080ull;

inline uint64_t Word(const char* at) {
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}
// Whether any byte of word equals the byte spread over pattern.
inline bool HasByte(uint64_t word, uint64_t pattern) {
    const uint64_t x = word ^ pattern;
    return ((x - Ones) & ~x & Highs) != 0;
}
}  // namespace byte_scan

// The first offset in [from, end) holding a or b, or end.
inline std::size_t FindEitherByte(const char* bytes, std::size_t from, std::size_t end, unsigned char a,
                                  unsigned char b) {
    using namespace byte_scan;
    const uint64_t patternA = a * Ones, patternB = b * Ones;
    std::size_t at = from;
    while (end - at >= 8) {
        const uint64_t word = Word(bytes + at);
        if (HasByte(word, patternA) || HasByte(word, patternB)) break;
        at += 8;
    }
    for (; at < end; ++at) {
        const unsigned char byte = static_cast<unsigned char>(bytes[at]);
        if (byte == a || byte == b) return at;
    }
    return end;
}

// Walks back from from over bytes of 0x80 and above, not below floor: the
// offset where that run of high bytes begins.
inline std::size_t BackOverHighBytes(const char* bytes, std::size_t floor, std::size_t from) {
    using namespace byte_scan;
    while (from - floor >= 8 && (Word(bytes + from - 8) & Highs) == Highs) from -= 8;
    while (from > floor && static_cast<unsigned char>(bytes[from - 1]) >= 0x80) --from;
    return from;
}

}  // namespace jestlark
