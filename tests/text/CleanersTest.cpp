#include <gtest/gtest.h>

#include <string>
#include "text/Cleaners.h"

namespace jestlark {
namespace {

struct RemoveAllCase {
    const char* label;
    std::string text;
    std::string run;
    std::string expected;
};

TEST(RemoveAll, Table) {
    const RemoveAllCase cases[] = {
        {"entity", "P&nbsp;Q&nbsp;", "&nbsp;", "PQ"},
        {"exact case only", "&NBSP;&Nbsp;", "&nbsp;", "&NBSP;&Nbsp;"},
        {"other entities stay", "&amp;&quot;&lt;", "&nbsp;", "&amp;&quot;&lt;"},
        {"left to right without overlap", "aaa", "aa", "a"},
        {"whole text", "abab", "ab", ""},
        {"empty text", "", "x", ""},
        {"empty run", "abc", "", "abc"},
        {"run longer than the text", "ab", "abc", "ab"},
        {"trail byte is not a match", "\x81\x40\x40", "\x40", "\x81\x40"},
        {"match across two characters", "\x81\x82\x83\x84", "\x82\x83", "\x81\x82\x83\x84"},
        {"double-byte run", "a\xB0\xA1" "b\xB0\xA1", "\xB0\xA1", "ab"},
        {"lone lead byte at the end matches", "ab\x81", "\x81", "ab"},
        {"lone lead byte at the end is kept", "ab\x81", "b", "a\x81"},
        {"run 1", "x\n\t\t\t\t\ty\n\t\t\t\t\t", "\n\t\t\t\t\t", "xy"},
        {"run 2", "x\t\t\n\t" + std::string(32, ' ') + "y", "\t\t\n\t" + std::string(32, ' '), "xy"},
        {"run 4 next to a double-byte character", "\xD6\xD0\n\t\xCE\xC4", "\n\t", "\xD6\xD0\xCE\xC4"},
    };
    for (const RemoveAllCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RemoveAll(Text(c.text), Text(c.run)), c.expected);
    }
}

struct CleanCase {
    const char* label;
    std::string text;
    std::string expected;
};

TEST(TagStripper, Table) {
    const CleanCase cases[] = {
        {"tags go, text stays", "P<b>R</b>S", "PRS"},
        {"attributes go with the tag", "<a href=\"x.html\">link</a>", "link"},
        {"lone > is dropped", "a>b", "ab"},
        {"unclosed < drops the rest", "a<b c", "a"},
        {"< inside a tag", "a<b<c>d", "ad"},
        {"empty tag", "a<>b", "ab"},
        {"only brackets", ">><<", ""},
        {"empty text", "", ""},
        {"double-byte characters whole", "\xD6\xD0<i>\xCE\xC4</i>", "\xD6\xD0\xCE\xC4"},
        {"lone lead byte at the end", "<p>\x81", "\x81"},
        {"line breaks stay", "a\r\n<br>\tb", "a\r\n\tb"},
    };
    for (const CleanCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(TagStripper(Text(c.text)), c.expected);
    }
}

TEST(RemoveSpaces, Table) {
    const CleanCase cases[] = {
        {"ASCII spaces", " a b  c ", "abc"},
        {"full-width space", "a\xA1\xA1" "b", "ab"},
        {"A1 with another trail byte stays", "\xA1\xA2\xA1\xA3", "\xA1\xA2\xA1\xA3"},
        {"A1 A1 across two characters stays", "\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
        {"full-width spaces in a row", "\xA1\xA1\xA1\xA1", ""},
        {"tab, CR and LF stay", "a\t\r\nb", "a\t\r\nb"},
        {"space as a trail byte stays", "\x81 x", "\x81 x"},
        {"space as the last trail byte stays", "x\x81 ", "x\x81 "},
        {"lone lead byte at the end", "ab\x81", "ab"},
        {"lone A1 at the end", "ab\xA1", "ab"},
        {"A1 as the last trail byte stays", "a\x81\xA1", "a\x81\xA1"},
        {"trail A1 then a lone A1", "\x81\xA1\xA1", "\x81\xA1"},
        {"A1 then space is one character", "\xA1 ", "\xA1 "},
        {"only a space", " ", ""},
        {"empty text", "", ""},
    };
    for (const CleanCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RemoveSpaces(Text(c.text)), c.expected);
    }
}

}  // namespace
}  // namespace jestlark
