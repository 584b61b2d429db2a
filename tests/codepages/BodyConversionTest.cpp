#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "fetch/BodyConversion.h"

namespace jestlark {
namespace {

#ifdef _WIN32
constexpr bool OnWine = true;
#else
constexpr bool OnWine = false;
#endif

Text Bytes(const std::string& bytes) { return Text(bytes); }

struct Case {
    const char* name;
    Text (*convert)(const Text&);
    std::string in;
    std::string out;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Conversions : public testing::TestWithParam<Case> {};

TEST_P(Conversions, GiveTheGbkBytes) {
    const Case& c = GetParam();
    EXPECT_EQ(c.convert(Bytes(c.in)), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Conversions,
    testing::Values(
        Case{"AsciiUnchanged", Utf8ToGbk, "<html>a b\r\n1;</html>", "<html>a b\r\n1;</html>"},
        Case{"Utf8Zhong", Utf8ToGbk, "\xe4\xb8\xad", "\xd6\xd0"},
        Case{"Utf8ThaiLetterBecomesQuestionMark", Utf8ToGbk, "a\xe0\xb8\x81z", "a?z"},
        Case{"Utf8Empty", Utf8ToGbk, "", ""},
        // A cut sequence stands for one character; what follows is kept.
        Case{"Utf8InvalidKeepsTheRest", Utf8ToGbk, "\xe4\xb8" "abc\xe4\xb8\xad", "?abc\xd6\xd0"},
        Case{"Utf8StopsAtZeroByte", Utf8ToGbk, std::string("ab\0\xe4\xb8\xad", 6), "ab"},
        Case{"Big5Zhong", Big5ToGbkSimplified, "\xa4\xa4", "\xd6\xd0"},
        Case{"Big5Empty", Big5ToGbkSimplified, "", ""},
        Case{"Big5AsciiUnchanged", Big5ToGbkSimplified, "Hello, 1+1", "Hello, 1+1"},
        Case{"Big5GuoTraditionalInGbk", Big5ToGbk, "\xb0\xea", "\x87\xf8"},
        // U+2027 is not in GBK: it becomes "?" and the page goes on after it.
        Case{"Big5CharacterGbkLacks", Big5ToGbk, "a\xa1\x45z\xa4\xa4", "a?z\xd6\xd0"},
        Case{"Big5StopsAtZeroByte", Big5ToGbkSimplified, std::string("\xa4\xa4\0\xa4\xa4", 5),
             "\xd6\xd0"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(TraditionalToSimplified, MapsOneCharacterForOne) {
    if (OnWine) GTEST_SKIP() << "Wine's LCMapStringA leaves traditional characters unchanged";
    // 國 -> 国, 發 -> 发, 乾 -> 干: one character for one, never a phrase.
    EXPECT_EQ(TraditionalToSimplified(Bytes("\x87\xf8")), "\xb9\xfa");
    EXPECT_EQ(TraditionalToSimplified(Bytes("a\x87\xf8z\x87\xf8")), "a\xb9\xfaz\xb9\xfa");
    EXPECT_EQ(Big5ToGbkSimplified(Bytes("\xb0\xea")), "\xb9\xfa");
}

TEST(TraditionalToSimplified, LeavesSimplifiedAndAsciiAlone) {
    // 中国 and ASCII are simplified already.
    const Text text = Bytes("x=\xd6\xd0\xb9\xfa;");
    EXPECT_EQ(TraditionalToSimplified(text), text);
    EXPECT_EQ(TraditionalToSimplified(Text()), "");
}

TEST(Utf16, CarriesOneZeroUnitAtTheEnd) {
    EXPECT_EQ(TextToUtf16(Bytes("\xe4\xb8\xad" "A")), std::string("\x2d\x4e" "A\0\0\0", 6));
    EXPECT_EQ(TextToUtf16(Text()), std::string("\0\0", 2));
    EXPECT_EQ(TextToUtf16(Bytes("\xd6\xd0"), 936), std::string("\x2d\x4e\0\0", 4));
}

TEST(Utf16, WritesUpToTheFirstZeroUnit) {
    const ByteString wide(std::string("\x2d\x4e" "A\0\0\0B\0", 8));
    EXPECT_EQ(Utf16ToText(wide), "\xd6\xd0" "A");  // the ANSI code page, 936
    EXPECT_EQ(Utf16ToText(wide, 65001), "\xe4\xb8\xad" "A");
    EXPECT_EQ(Utf16ToText(ByteString()), "");
}

TEST(Utf16, InvalidUtf8IsNeverCut) {
    // Fewer valid characters than bytes would count in GBK: the whole text
    // must still arrive.
    std::string in;
    for (int i = 0; i < 200; ++i) in += "\xff\xe4\xb8\xad";
    const std::string out = Utf8ToGbk(Bytes(in));
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += "?\xd6\xd0";
    EXPECT_EQ(out, expected);
}

}  // namespace
}  // namespace jestlark
