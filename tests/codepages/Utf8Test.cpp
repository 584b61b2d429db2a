// UTF-8 read and written as Windows does it: each ill-formed piece one
// U+FFFD, characters beyond the BMP as surrogate pairs, a lone surrogate
// written as U+FFFD.
#include <gtest/gtest.h>

#include <string>

#include "platform/CodePages.h"

namespace jestlark {
namespace {

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string units;
};

TEST(Utf8, ReadsLikeWindows) {
    const Utf8Case cases[] = {
        {"ascii with zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"two three four bytes", "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", u"\u00E9\u4E2D\U0001F600"},
        {"overlong is two pieces", "\xC0\x80z", u"\uFFFD\uFFFDz"},
        {"cut at the end", "x\xE4\xB8", u"x\uFFFD"},
        {"cut before ascii", "\xF0\x9F\x98y", u"\uFFFDy"},
        {"stray continuation", "\x80\xBF", u"\uFFFD\uFFFD"},
    };
    for (const Utf8Case& c : cases) EXPECT_EQ(MultiByteToUtf16(c.utf8, CodePageUtf8), c.units) << c.name;
}

TEST(Utf8, WritesLikeWindows) {
    EXPECT_EQ(Utf16ToMultiByte(u"a\u00E9\u4E2D\U0001F600", CodePageUtf8), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    const std::u16string lone = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    EXPECT_EQ(Utf16ToMultiByte(lone, CodePageUtf8), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace jestlark
