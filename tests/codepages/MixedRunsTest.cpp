// Long texts are converted in runs (plain ASCII several bytes at a time, the
// rest one character at a time): a text must convert exactly as its
// characters do one by one, wherever a character falls against a run.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/CodePages.h"

namespace jestlark {
namespace {

// Pieces that each convert on their own: ASCII (with the zero byte), a
// defined pair, a lead byte with a trail no pair has, single high bytes.
const std::vector<std::string> kBytePieces = {"A", "z", std::string(1, '\0'), "\xD6\xD0", "\xA4\xA4", "\x81\x30",
                                              "\x80", "\xFF", "\xA1\xA1", "        "};
// Units: ASCII, zero, CJK, a letter neither code page has, a lone
// surrogate, U+0080.
const std::u16string kUnitPieces[] = {u"A", std::u16string(1, u'\0'), u"\u4E2D", u"\u570B", u"\u0E01",
                                      std::u16string(1, char16_t(0xD800)), u"\u0080", u"abcdefgh"};

TEST(MixedRuns, TextConvertsAsItsCharactersDo) {
    std::mt19937 random(6);
    for (const uint32_t codePage : {CodePageGbk, CodePageBig5}) {
        for (int round = 0; round < 400; ++round) {
            std::string bytes;
            std::u16string expected;
            const int count = int(random() % 24);
            for (int i = 0; i < count; ++i) {
                const std::string& piece = kBytePieces[random() % kBytePieces.size()];
                bytes += piece;
                expected += MultiByteToUtf16(piece, codePage);
            }
            // A lead byte at the very end has no trail to take.
            if (round % 3 == 0) {
                bytes += '\x81';
                expected += MultiByteToUtf16("\x81", codePage);
            }
            EXPECT_EQ(MultiByteToUtf16(bytes, codePage), expected) << "code page " << codePage << " round " << round;
        }
    }
}

TEST(MixedRuns, UnitsWriteAsTheyDoOneByOne) {
    std::mt19937 random(7);
    for (const uint32_t codePage : {CodePageGbk, CodePageBig5}) {
        for (int round = 0; round < 400; ++round) {
            std::u16string units;
            std::string expected;
            const int count = int(random() % 24);
            for (int i = 0; i < count; ++i) {
                const std::u16string& piece = kUnitPieces[random() % std::size(kUnitPieces)];
                units += piece;
                expected += Utf16ToMultiByte(piece, codePage);
            }
            EXPECT_EQ(Utf16ToMultiByte(units, codePage), expected) << "code page " << codePage << " round " << round;
        }
    }
}

TEST(MixedRuns, PiecesConvertAsWindowsDoes) {
    EXPECT_EQ(MultiByteToUtf16(std::string("ab\0\xD6\xD0\x81", 6), CodePageGbk),
              (std::u16string{u'a', u'b', u'\0', u'\u4E2D', u'?'}));
    EXPECT_EQ(Utf16ToMultiByte(u"x\u4E2D\u0E01yyyyyyyy", CodePageGbk), "x\xD6\xD0?yyyyyyyy");
}

}  // namespace
}  // namespace jestlark
