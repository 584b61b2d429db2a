#include "text/FindText.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>
#include "text/CharacterBoundaries.h"
#include "text/FindOffset.h"

// The search looks for byte occurrences of the needle with a fast scan and
// keeps the first one that begins a character. Candidates come from memchr on
// the needle's rarest byte; if they turn out to cost more than a few compares
// per byte of subject (a needle like "aaaa" in a subject of "a"), the rest of
// the subject is searched with Knuth-Morris-Pratt, so no input takes more than
// linear time.

namespace jestlark {
namespace {

unsigned char Fold(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte; }

// How often a byte appears in a GBK web page, roughly, on a scale to 255.
constexpr std::array<unsigned char, 256> MakeByteFrequency() {
    std::array<unsigned char, 256> frequency{};
    for (int b = 0; b < 256; ++b) {
        unsigned char f = 1;
        if (b >= 0x21 && b <= 0x7E) f = 10;
        if (b >= '0' && b <= '9') f = 60;
        if (b >= 'A' && b <= 'Z') f = 20;
        if (b >= 0x80) f = 25;
        if (b >= 0xA1 && b <= 0xAF) f = 60;
        if (b >= 0xB0 && b <= 0xF7) f = 40;
        if (b == 0xA1 || b == 0xA3) f = 120;
        if (b == 0xFF) f = 2;
        frequency[b] = f;
    }
    const char* lowerByUse = "etaoinsrhldcumfpgwybvkxjqz";
    const unsigned char lowerFrequency[26] = {200, 180, 170, 165, 160, 160, 150, 150, 120, 110, 100, 90, 80,
                                              75,  60,  60,  55,  50,  50,  40,  30,  20,  8,   5,   4,  3};
    for (int i = 0; i < 26; ++i) frequency[static_cast<unsigned char>(lowerByUse[i])] = lowerFrequency[i];
    frequency[' '] = 255;
    frequency['\t'] = 60;
    frequency['\n'] = 80;
    frequency['\r'] = 60;
    frequency['<'] = 120;
    frequency['>'] = 120;
    frequency['/'] = 110;
    frequency['"'] = 100;
    frequency['='] = 90;
    frequency['.'] = 80;
    frequency[','] = 60;
    frequency['0'] = 80;
    frequency['1'] = 80;
    return frequency;
}
constexpr std::array<unsigned char, 256> ByteFrequency = MakeByteFrequency();

class Search {
public:
    Search(std::string_view subject, std::string_view needle, std::size_t offset, bool ignoreCase)
        : subject_(subject), needle_(needle), offset_(offset), ignoreCase_(ignoreCase),
          lastStart_(subject.size() - needle.size()), boundaries_(subject, offset) {
        ChooseRareByte();
    }

    std::size_t Run() {
        // Compares allowed per byte passed before the linear search takes over.
        constexpr std::size_t ComparesPerByte = 4;
        constexpr std::size_t FreeCompares = 256;
        std::size_t compared = 0;
        for (std::size_t from = offset_; from <= lastStart_;) {
            const std::size_t at = NextRareByte(from + rare_);
            if (at == NotFound) return NotFound;
            const std::size_t candidate = at - rare_;
            if (MatchesAt(candidate) && boundaries_.IsStart(candidate)) return candidate;
            from = candidate + 1;
            compared += needle_.size();
            if (compared > FreeCompares + ComparesPerByte * (from - offset_)) return LinearFrom(from);
        }
        return NotFound;
    }

private:
    unsigned char At(std::size_t i) const { return static_cast<unsigned char>(subject_[i]); }
    unsigned char Key(unsigned char byte) const { return ignoreCase_ ? Fold(byte) : byte; }

    void ChooseRareByte() {
        unsigned best = ~0u;
        for (std::size_t i = 0; i < needle_.size(); ++i) {
            const unsigned char byte = static_cast<unsigned char>(needle_[i]);
            const unsigned char lower = Key(byte);
            const unsigned char upper = (ignoreCase_ && lower >= 'a' && lower <= 'z') ? lower - 0x20 : lower;
            const unsigned cost = ByteFrequency[lower] + (upper != lower ? ByteFrequency[upper] : 0u);
            if (cost < best) {
                best = cost;
                rare_ = i;
                rareBytes_[0] = lower;
                rareBytes_[1] = upper;
            }
        }
    }

    // The first position at or after from, up to the last one a candidate can
    // use, that holds the rare byte in either case.
    std::size_t NextRareByte(std::size_t from) {
        const std::size_t end = lastStart_ + rare_ + 1;
        std::size_t best = NotFound;
        for (int k = 0; k < (rareBytes_[0] == rareBytes_[1] ? 1 : 2); ++k) {
            if (next_[k] == NotFound || next_[k] < from) {
                const void* hit = from < end ? std::memchr(subject_.data() + from, rareBytes_[k], end - from) : nullptr;
                next_[k] = hit ? std::size_t(static_cast<const char*>(hit) - subject_.data()) : end;
            }
            if (next_[k] < end && next_[k] < best) best = next_[k];
        }
        return best;
    }

    bool MatchesAt(std::size_t at) const {
        if (!ignoreCase_) return std::memcmp(subject_.data() + at, needle_.data(), needle_.size()) == 0;
        for (std::size_t i = 0; i < needle_.size(); ++i) {
            if (Fold(At(at + i)) != Fold(static_cast<unsigned char>(needle_[i]))) return false;
        }
        return true;
    }

    // Knuth-Morris-Pratt over the compared keys, from a position on which
    // every earlier candidate has been settled.
    std::size_t LinearFrom(std::size_t from) {
        const std::size_t m = needle_.size();
        std::vector<std::size_t> border;
        try {
            border.resize(m);
        } catch (const std::bad_alloc&) {
            return LiteralFrom(from);
        }
        auto key = [&](std::size_t i) { return Key(static_cast<unsigned char>(needle_[i])); };
        for (std::size_t i = 1, k = 0; i < m; ++i) {
            while (k > 0 && key(i) != key(k)) k = border[k - 1];
            if (key(i) == key(k)) ++k;
            border[i] = k;
        }
        for (std::size_t i = from, k = 0; i < subject_.size(); ++i) {
            const unsigned char byte = Key(At(i));
            while (k > 0 && byte != key(k)) k = border[k - 1];
            if (byte == key(k)) ++k;
            if (k == m) {
                const std::size_t candidate = i + 1 - m;
                if (boundaries_.IsStart(candidate)) return candidate;
                k = border[k - 1];
            }
        }
        return NotFound;
    }

    // Without memory for the linear search: every remaining candidate in turn.
    std::size_t LiteralFrom(std::size_t from) {
        for (std::size_t candidate = from; candidate <= lastStart_; ++candidate) {
            if (MatchesAt(candidate) && boundaries_.IsStart(candidate)) return candidate;
        }
        return NotFound;
    }

    std::string_view subject_;
    std::string_view needle_;
    std::size_t offset_;
    bool ignoreCase_;
    std::size_t lastStart_;
    CharacterBoundaries boundaries_;
    std::size_t rare_ = 0;
    unsigned char rareBytes_[2] = {0, 0};
    std::size_t next_[2] = {NotFound, NotFound};
};

}  // namespace

std::size_t FindOffset(std::string_view subject, std::string_view needle, std::size_t offset, bool ignoreCase) {
    const std::size_t n = subject.size();
    if (offset >= n) return NotFound;
    if (needle.empty()) return 0;
    if (n - offset < needle.size()) return NotFound;
    return Search(subject, needle, offset, ignoreCase).Run();
}

int32_t FindText(std::string_view subject, std::string_view needle, int32_t startPosition, bool ignoreCase) {
    const std::size_t offset = startPosition > 1 ? std::size_t(startPosition) - 1 : 0;
    const std::size_t found = FindOffset(subject, needle, offset, ignoreCase);
    // Positions beyond what a 32-bit position can name count as not found.
    if (found == NotFound || found >= std::size_t(INT32_MAX)) return -1;
    return int32_t(found + 1);
}

}  // namespace jestlark
