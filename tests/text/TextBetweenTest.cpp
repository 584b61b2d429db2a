#include <gtest/gtest.h>

#include <cstdint>
#include "text/TextBetween.h"

namespace jestlark {
namespace {

// "#引号", the marker spelling of a double quote.
#define PLACEHOLDER "#\xD2\xFD\xBA\xC5"

struct BetweenCase {
    const char* label;
    const char* subject;
    const char* leftMarker;
    const char* rightMarker;
    int32_t startPosition;
    bool caseSensitive;
    const char* expected;
    const char* leftAfter;   // the caller's markers after the call
    const char* rightAfter;
};

TEST(TextBetween, Table) {
    const BetweenCase cases[] = {
        {"plain", "xLyRz", "L", "R", 0, false, "y", "L", "R"},
        {"first right marker ends it", "xLyRzR", "L", "R", 0, false, "y", "L", "R"},
        {"second left marker stays inside", "LaLbR", "L", "R", 0, false, "aLb", "L", "R"},
        {"right marker only in front", "RxLy", "L", "R", 0, false, "", "L", "R"},
        {"nothing behind the left marker", "xyL", "L", "R", 0, false, "", "L", "R"},
        {"markers adjacent", "xLRy", "L", "R", 0, false, "", "L", "R"},
        {"left marker missing", "xyRz", "L", "R", 0, false, "", "L", "R"},
        {"start behind the left marker", "xLyRz", "L", "R", 3, false, "", "L", "R"},
        {"start on the left marker", "xLyRz", "L", "R", 2, false, "y", "L", "R"},
        {"negative start", "xLyRz", "L", "R", -4, false, "y", "L", "R"},
        {"start beyond the end", "xLyRz", "L", "R", 99, false, "", "L", "R"},
        {"case ignored by default", "Host: a\r\nUSER-AGENT: Moz/5\r\nX: y\r\n", "User-Agent:", "\r\n", 0, false,
         " Moz/5", "User-Agent:", "\r\n"},
        {"case kept when asked", "Host: a\r\nUSER-AGENT: Moz/5\r\nX: y\r\n", "User-Agent:", "\r\n", 0, true, "",
         "User-Agent:", "\r\n"},
        {"placeholders in the left marker", "<p class=\"x\">hi</p>", "class=" PLACEHOLDER "x" PLACEHOLDER ">",
         "</p>", 0, false, "hi", "class=\"x\">", "</p>"},
        {"placeholder in both markers", "a=\"b\"c", "a=" PLACEHOLDER, PLACEHOLDER, 0, false, "b", "a=\"", "\""},
        {"placeholder behind a lead byte is a trail byte", "\x81" PLACEHOLDER "yz", "\x81" PLACEHOLDER, "z", 0,
         false, "y", "\x81" PLACEHOLDER, "z"},
        {"empty left marker takes from the first byte", "abRc", "", "R", 0, false, "ab", "", "R"},
        {"empty right marker", "xLyRz", "L", "", 0, false, "", "L", ""},
        {"right marker as trail byte is passed over", "L\x81RxRz", "L", "R", 0, false, "\x81Rx", "L", "R"},
        {"rest counts characters from behind the left marker", "a\x81Rb", "a\x81", "R", 0, false, "", "a\x81",
         "R"},
        {"joke markers", "<td class=\"break-all\">P&nbsp;Q</td>\xC9\xCF\xD2\xBB\xC6\xAA\xD0\xA6\xBB\xB0",
         "BREAK-ALL\">", "\xC9\xCF\xD2\xBB\xC6\xAA\xD0\xA6\xBB\xB0", 0, false, "P&nbsp;Q</td>", "BREAK-ALL\">",
         "\xC9\xCF\xD2\xBB\xC6\xAA\xD0\xA6\xBB\xB0"},
    };
    for (const BetweenCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Text subject(c.subject);
        Text left(c.leftMarker), right(c.rightMarker);
        EXPECT_EQ(TextBetween(subject, left, right, c.startPosition, c.caseSensitive), c.expected);
        EXPECT_EQ(left, c.leftAfter);
        EXPECT_EQ(right, c.rightAfter);
        EXPECT_EQ(subject, c.subject);
    }
}

TEST(TextBetween, DefaultsSearchFromTheFirstByteIgnoringCase) {
    Text left("l"), right("r");
    EXPECT_EQ(TextBetween(Text("xLyRz"), left, right), "y");
}

struct BeforeCase {
    const char* label;
    const char* subject;
    const char* marker;
    int32_t startPosition;
    bool ignoreCase;
    const char* expected;
};

TEST(TextBefore, Table) {
    const BeforeCase cases[] = {
        {"cookie name and value", "name=value; path=/", ";", 0, false, "name=value"},
        {"marker missing", "name=value", ";", 0, false, ""},
        {"marker first", ";name=value", ";", 0, false, ""},
        {"start skips a marker, result from byte 1", "aXbXc", "X", 3, false, "aXb"},
        {"start 0 counts as 1", "aXbXc", "X", 0, false, "a"},
        {"negative start counts as 1", "aXbXc", "X", -3, false, "a"},
        {"exact by default", "aXb", "x", 0, false, ""},
        {"folded when asked", "aXb", "x", 0, true, "a"},
        {"empty marker", "abc", "", 0, false, ""},
        {"empty subject", "", ";", 0, false, ""},
        {"placeholder is not converted", "a\"b", PLACEHOLDER, 0, false, ""},
        {"marker as trail byte is passed over", "\x81;a;", ";", 0, false, "\x81;a"},
    };
    for (const BeforeCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(TextBefore(Text(c.subject), Text(c.marker), c.startPosition, c.ignoreCase), c.expected);
    }
    EXPECT_EQ(TextBefore(Text("aXbxc"), Text("x")), "aXb");
}

}  // namespace
}  // namespace jestlark
