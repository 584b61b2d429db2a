#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jestlark {

constexpr std::size_t NotFound = std::string_view::npos;

// FindText on 0-based offsets, prepared once for one needle so that a caller
// searching the same needle many times (removing every occurrence) pays for
// the preparation once. The needle's bytes must outlive the object.
class TextSearch {
public:
    TextSearch(std::string_view needle, bool ignoreCase);

    // The offset of the first occurrence of the needle at or after offset whose
    // first byte begins a character (counted from offset), or NotFound. An
    // empty needle is found at 0 when the searched range is not empty.
    std::size_t Find(std::string_view subject, std::size_t offset);

private:
    struct Scan;
    std::size_t PairSkip(Scan& scan);
    template <bool Folded>
    std::size_t PairSkipLoop(Scan& scan);
    std::size_t RareByte(Scan& scan);
    std::size_t NextRareByte(Scan& scan, std::size_t from);
    std::size_t LinearFrom(Scan& scan, std::size_t from);
    std::size_t LiteralFrom(Scan& scan, std::size_t from);
    bool MatchesAt(std::string_view subject, std::size_t at) const;

    std::string_view needle_;
    bool ignoreCase_;
    std::size_t rare_ = 0;                 // the needle's rarest byte, and its two cases
    unsigned char rareBytes_[2] = {0, 0};
    bool shiftReady_ = false;              // the pair table is made on first use
    std::array<uint32_t, 256> shift_{};
    std::size_t afterCandidate_ = 1;
};

inline std::size_t FindOffset(std::string_view subject, std::string_view needle, std::size_t offset,
                              bool ignoreCase) {
    return TextSearch(needle, ignoreCase).Find(subject, offset);
}

}  // namespace jestlark
