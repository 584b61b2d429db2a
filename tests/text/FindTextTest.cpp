#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include "text/FindText.h"

namespace jestlark {
namespace {

struct FindCase {
    const char* label;
    std::string subject;
    std::string needle;
    int32_t startPosition;
    bool ignoreCase;
    int32_t expected;
};

TEST(FindText, Table) {
    const FindCase cases[] = {
        {"plain", "xLyRz", "L", 1, false, 2},
        {"first of several", "abab", "ab", 1, false, 1},
        {"from the start position", "abab", "ab", 2, false, 3},
        {"start 0 is the first byte", "xLyRz", "x", 0, false, 1},
        {"negative start is the first byte", "xLyRz", "x", -7, false, 1},
        {"most negative start", "xLyRz", "x", INT32_MIN, false, 1},
        {"start beyond the end", "abc", "c", 4, false, -1},
        {"largest start", "abc", "c", INT32_MAX, false, -1},
        {"needle longer than the range", "abc", "bcd", 1, false, -1},
        {"needle ends the subject", "abc", "bc", 1, false, 2},
        {"empty needle gives 1, not the start", "abcde", "", 5, false, 1},
        {"empty needle, range empty", "abcd", "", 5, false, -1},
        {"empty needle, empty subject", "", "", 1, false, -1},
        {"empty subject", "", "a", 1, false, -1},
        {"0x40 as trail byte of 81 40", "\x81\x40", "\x40", 1, false, -1},
        {"0x40 as a character", "a\x40", "\x40", 1, false, 2},
        {"0x40 behind a double-byte character", "\x81\x40\x40", "\x40", 1, false, 3},
        {"trail byte above 0x80 is stepped over", "\x81\x81\x40", "\x81\x40", 1, false, -1},
        {"start on a trail byte counts as a character", "\x81\x40\x40", "\x40", 2, false, 2},
        {"boundaries counted from the start position", "\x81\x81\x40", "\x81\x40", 2, false, 2},
        {"trail byte below 0x40", "\x81\x30\x30", "\x30", 1, false, 3},
        {"lone lead byte at the end is found", "ab\x81", "\x81", 1, false, 3},
        {"lone lead byte at the end, longer needle", "ab\x81", "b\x81", 1, false, 2},
        {"nothing past a lone lead byte", "ab\x81", "\x81x", 1, false, -1},
        {"case differs, exact", "aXb", "x", 1, false, -1},
        {"case differs, folded", "aXb", "x", 1, true, 2},
        {"folded on either side", "axb", "X", 1, true, 2},
        {"trail bytes folded: 81 41 is 81 61", "\x81\x41", "\x81\x61", 1, true, 1},
        {"trail bytes exact", "\x81\x41", "\x81\x61", 1, false, -1},
        {"only A-Z fold: [ and {", "[", "{", 1, true, -1},
        {"only A-Z fold: @ and `", "@", "`", 1, true, -1},
        {"high bytes never fold", "\xC1", "\xE1", 1, true, -1},
        {"repeats of one byte", std::string(1000, 'a'), std::string(500, 'a') + "b", 1, false, -1},
        {"repeats found at the end", std::string(1000, 'a') + "b", std::string(500, 'a') + "b", 1, false, 501},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(FindText(c.subject, c.needle, c.startPosition, c.ignoreCase), c.expected);
    }
}

// The search taken literally: one candidate after the other, two bytes on
// after a lead byte.
int32_t ReferenceFind(const std::string& subject, const std::string& needle, int32_t start, bool ignoreCase) {
    auto fold = [&](unsigned char b) { return ignoreCase && b >= 'A' && b <= 'Z' ? b + 0x20 : int(b); };
    const std::size_t n = subject.size();
    const std::size_t offset = start > 1 ? std::size_t(start) - 1 : 0;
    if (offset >= n) return -1;
    if (needle.empty()) return 1;
    for (std::size_t at = offset; at < n && n - at >= needle.size();) {
        std::size_t i = 0;
        while (i < needle.size() && fold(subject[at + i]) == fold(needle[i])) ++i;
        if (i == needle.size()) return int32_t(at + 1);
        at += static_cast<unsigned char>(subject[at]) >= 0x80 ? 2 : 1;
    }
    return -1;
}

// Texts over a few bytes that exercise every rule at once (lead bytes, trail
// bytes on both sides of 0x80, letters of both cases) agree with the literal
// search, including long needles and subjects with many near matches.
TEST(FindText, AgreesWithTheLiteralSearch) {
    const char alphabet[] = {'a', 'A', 'b', '\x81', '\xA1', '@', ' '};
    std::mt19937 random(20261211);
    auto text = [&](std::size_t length, int letters) {
        std::string s;
        for (std::size_t i = 0; i < length; ++i) s.push_back(alphabet[random() % letters]);
        return s;
    };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        const int letters = 2 + int(random() % 6);
        const std::string subject = text(random() % 600, letters);
        std::string needle = text(random() % 6, letters);
        if (round % 4 == 0 && subject.size() > 10) needle = subject.substr(random() % 10, random() % 40);
        const int32_t start = int32_t(random() % 12) - 2;
        const bool ignoreCase = random() % 2 == 0;
        const int32_t expected = ReferenceFind(subject, needle, start, ignoreCase);
        ASSERT_EQ(FindText(subject, needle, start, ignoreCase), expected)
            << "round " << round << " needle size " << needle.size() << " start " << start;
        found += expected > 0;
    }
    EXPECT_GT(found, 5000);  // the rounds do exercise matches, not only misses
}

// Long subjects of two or three bytes with long needles taken from them: many
// near matches, many matches on trail bytes, periodic needles.
TEST(FindText, AgreesOnRepetitiveTexts) {
    const char alphabet[] = {'a', '\x81', 'A'};
    std::mt19937 random(7);
    for (int round = 0; round < 600; ++round) {
        const int letters = 2 + round % 2;
        std::string subject;
        const std::size_t length = 500 + random() % 3000;
        const std::size_t period = 1 + random() % 5;
        for (std::size_t i = 0; i < length; ++i) {
            subject.push_back(random() % 50 == 0 ? alphabet[random() % letters] : alphabet[(i % period) % letters]);
        }
        std::string needle = subject.substr(random() % 400, 1 + random() % 120);
        if (round % 3 == 0) needle.back() = needle.back() == 'a' ? '\x81' : 'a';
        const int32_t start = int32_t(random() % 50);
        const bool ignoreCase = round % 4 < 2;
        ASSERT_EQ(FindText(subject, needle, start, ignoreCase), ReferenceFind(subject, needle, start, ignoreCase))
            << "round " << round;
    }
}

}  // namespace
}  // namespace jestlark
