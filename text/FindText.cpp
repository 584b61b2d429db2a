#include "text/FindText.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>
#include "text/CharacterBoundaries.h"
#include "text/FindOffset.h"

// The search looks for byte occurrences of the needle with a fast scan and
// keeps the first one that begins a character. Longer needles on longer
// subjects skip along with a Horspool table of byte pairs; short ones take
// their candidates from memchr on the needle's rarest byte. If candidates turn
// out to cost more than a few compares per byte of subject (a needle like
// "aaaa" in a subject of "a"), the rest of the subject is searched with
// Knuth-Morris-Pratt, so no input takes more than linear time.

namespace jestlark {
namespace {

constexpr unsigned char Fold(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte; }
// The same without a branch, for the skip loop.
inline unsigned FoldFast(unsigned byte) { return byte + ((byte - 'A' < 26u) << 5); }

// Compares allowed per byte passed before the linear search takes over.
constexpr std::size_t ComparesPerByte = 4;
constexpr std::size_t FreeCompares = 256;
constexpr std::size_t PairSkipNeedle = 5, PairSkipRange = 256, PairSkipLongest = 1 << 16;

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

unsigned PairHash(unsigned first, unsigned second) { return (first * 33u + second) & 0xFF; }

}  // namespace

// What one Find call works with.
struct TextSearch::Scan {
    std::string_view subject;
    std::size_t offset;
    std::size_t lastStart;  // the last offset where the needle still fits
    CharacterBoundaries boundaries;
    std::size_t next[2] = {NotFound, NotFound};  // memchr hits not yet passed
};

TextSearch::TextSearch(std::string_view needle, bool ignoreCase) : needle_(needle), ignoreCase_(ignoreCase) {
    unsigned best = ~0u;
    for (std::size_t i = 0; i < needle_.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(needle_[i]);
        const unsigned char lower = ignoreCase_ ? Fold(byte) : byte;
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

std::size_t TextSearch::Find(std::string_view subject, std::size_t offset) {
    const std::size_t n = subject.size(), m = needle_.size();
    if (offset >= n) return NotFound;
    if (m == 0) return 0;
    if (n - offset < m) return NotFound;
    Scan scan{subject, offset, n - m, CharacterBoundaries(subject, offset)};
    if (m >= PairSkipNeedle && m <= PairSkipLongest && scan.lastStart - offset >= PairSkipRange) return PairSkip(scan);
    return RareByte(scan);
}

bool TextSearch::MatchesAt(std::string_view subject, std::size_t at) const {
    if (!ignoreCase_) return std::memcmp(subject.data() + at, needle_.data(), needle_.size()) == 0;
    for (std::size_t i = 0; i < needle_.size(); ++i) {
        if (Fold(static_cast<unsigned char>(subject[at + i])) != Fold(static_cast<unsigned char>(needle_[i])))
            return false;
    }
    return true;
}

// Horspool on the last byte pair of the window. The table holds, for each
// pair hash, the rightmost place in the needle where a pair with that hash
// ends (0: nowhere), so the common step, past a pair the needle lacks, is a
// fixed stride that does not wait for the table lookup.
std::size_t TextSearch::PairSkip(Scan& scan) {
    if (!shiftReady_) {
        const std::size_t m = needle_.size();
        auto pair = [&](std::size_t end) {
            unsigned first = static_cast<unsigned char>(needle_[end - 1]);
            unsigned second = static_cast<unsigned char>(needle_[end]);
            return ignoreCase_ ? PairHash(Fold(first), Fold(second)) : PairHash(first, second);
        };
        shift_.fill(0);
        for (std::size_t end = 1; end + 1 < m; ++end) shift_[pair(end)] = uint32_t(end);
        // Behind a candidate: to the previous place the last pair's hash ends.
        afterCandidate_ = m - 1 - shift_[pair(m - 1)];
        shift_[pair(m - 1)] = uint32_t(m - 1);
        shiftReady_ = true;
    }
    return ignoreCase_ ? PairSkipLoop<true>(scan) : PairSkipLoop<false>(scan);
}

template <bool Folded>
std::size_t TextSearch::PairSkipLoop(Scan& scan) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(scan.subject.data());
    const std::size_t last = needle_.size() - 1;
    const std::size_t lastEnd = scan.lastStart + last;
    std::size_t compared = 0;
    // end is the last byte of the window that starts at end - last.
    for (std::size_t end = scan.offset + last; end <= lastEnd;) {
        unsigned first = bytes[end - 1], second = bytes[end];
        if (Folded) {
            first = FoldFast(first);
            second = FoldFast(second);
        }
        const uint32_t place = shift_[PairHash(first, second)];
        if (place == 0) {
            end += last;
            continue;
        }
        if (place != last) {
            end += last - place;
            continue;
        }
        const std::size_t at = end - last;
        if (MatchesAt(scan.subject, at) && scan.boundaries.IsStart(at)) return at;
        compared += needle_.size();
        if (compared > FreeCompares + ComparesPerByte * (at + 1 - scan.offset)) return LinearFrom(scan, at + 1);
        end += afterCandidate_;
    }
    return NotFound;
}

std::size_t TextSearch::RareByte(Scan& scan) {
    std::size_t compared = 0;
    for (std::size_t from = scan.offset; from <= scan.lastStart;) {
        const std::size_t at = NextRareByte(scan, from + rare_);
        if (at == NotFound) return NotFound;
        const std::size_t candidate = at - rare_;
        if (MatchesAt(scan.subject, candidate) && scan.boundaries.IsStart(candidate)) return candidate;
        from = candidate + 1;
        compared += needle_.size();
        if (compared > FreeCompares + ComparesPerByte * (from - scan.offset)) return LinearFrom(scan, from);
    }
    return NotFound;
}

// The first position at or after from, up to the last one a candidate can use,
// that holds the rare byte in either case.
std::size_t TextSearch::NextRareByte(Scan& scan, std::size_t from) {
    const char* bytes = scan.subject.data();
    const std::size_t end = scan.lastStart + rare_ + 1;
    std::size_t best = NotFound;
    for (int k = 0; k < (rareBytes_[0] == rareBytes_[1] ? 1 : 2); ++k) {
        if (scan.next[k] == NotFound || scan.next[k] < from) {
            const void* hit = from < end ? std::memchr(bytes + from, rareBytes_[k], end - from) : nullptr;
            scan.next[k] = hit ? std::size_t(static_cast<const char*>(hit) - bytes) : end;
        }
        if (scan.next[k] < end && scan.next[k] < best) best = scan.next[k];
    }
    return best;
}

// Knuth-Morris-Pratt over the compared keys, from a position on which every
// earlier candidate has been settled.
std::size_t TextSearch::LinearFrom(Scan& scan, std::size_t from) {
    const std::size_t m = needle_.size();
    std::vector<std::size_t> border;
    try {
        border.resize(m);
    } catch (const std::bad_alloc&) {
        return LiteralFrom(scan, from);
    }
    auto key = [&](unsigned char byte) { return ignoreCase_ ? Fold(byte) : byte; };
    auto needleKey = [&](std::size_t i) { return key(static_cast<unsigned char>(needle_[i])); };
    for (std::size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && needleKey(i) != needleKey(k)) k = border[k - 1];
        if (needleKey(i) == needleKey(k)) ++k;
        border[i] = k;
    }
    for (std::size_t i = from, k = 0; i < scan.subject.size(); ++i) {
        const unsigned char byte = key(static_cast<unsigned char>(scan.subject[i]));
        while (k > 0 && byte != needleKey(k)) k = border[k - 1];
        if (byte == needleKey(k)) ++k;
        if (k == m) {
            const std::size_t candidate = i + 1 - m;
            if (scan.boundaries.IsStart(candidate)) return candidate;
            k = border[k - 1];
        }
    }
    return NotFound;
}

// Without memory for the linear search: every remaining candidate in turn.
std::size_t TextSearch::LiteralFrom(Scan& scan, std::size_t from) {
    for (std::size_t candidate = from; candidate <= scan.lastStart; ++candidate) {
        if (MatchesAt(scan.subject, candidate) && scan.boundaries.IsStart(candidate)) return candidate;
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
