#include "text/RegexObject.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace jestlark {
namespace {

struct CountCase {
    const char* pattern;
    const char* subject;
    std::optional<bool> caseSensitive;
    std::optional<bool> multiline;
    std::optional<bool> global;
    int32_t count;
};

TEST(RegexObject, OptionsDecideTheMatchCount) {
    const CountCase cases[] = {
        {"a", "xAxa", std::nullopt, std::nullopt, std::nullopt, 2},  // IgnoreCase and Global by default
        {"a", "xAxa", true, std::nullopt, std::nullopt, 1},
        {"a", "xAxa", false, std::nullopt, false, 1},                // Global off: the first match only
        {"^b", "a\r\nb\r\nb", std::nullopt, std::nullopt, std::nullopt, 2},
        {"^b", "a\r\nb\r\nb", std::nullopt, false, std::nullopt, 0},
        {"x", "", std::nullopt, std::nullopt, std::nullopt, 0},
    };
    for (const CountCase& c : cases) {
        RegexObject regex;
        EXPECT_TRUE(regex.Create(Text(c.pattern), Text(c.subject), c.caseSensitive, c.multiline, c.global));
        EXPECT_EQ(regex.GetMatchCount(), c.count) << c.pattern << " on " << c.subject;
    }
}

TEST(RegexObject, ReplacesInTheStoredSubjectEveryTime) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create(Text("a"), Text("xAxa")));
    EXPECT_EQ(regex.ReplaceMatches(Text()), "xx");
    EXPECT_EQ(regex.ReplaceMatches(Text()), "xx");
    EXPECT_EQ(regex.ReplaceMatches(Text("[$&]")), "x[A]x[a]");
    EXPECT_EQ(regex.GetPattern(), "a");
}

struct MatchCase {
    const char* pattern;
    const char* subject;
    int32_t matchIndex;
    const char* text;
    int32_t position;
};

TEST(RegexObject, MatchTextAndBytePosition) {
    const MatchCase cases[] = {
        {"a", "xAxa", 1, "A", 1},
        {"a", "xAxa", 2, "a", 3},
        {"a+", "baa", 1, "aa", 1},
        // A repeated text is found at its own match, not at an earlier one.
        {"a", "aa", 2, "a", 1},
        {"b", "abab", 2, "b", 3},
        // Double-byte characters before the match: one unit each, two bytes each.
        {"a", "\xD6\xD0" "a\xD6\xD0" "a", 2, "a", 5},
        {"\xCE\xC4", "\xD6\xD0\xCE\xC4", 1, "\xCE\xC4", 2},
        // An index the collection lacks: empty text, the empty text found at the start.
        {"a", "xAxa", 3, "", 0},
        {"a", "xAxa", 0, "", 0},
    };
    for (const MatchCase& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.Create(Text(c.pattern), Text(c.subject)));
        int32_t position = -100;
        EXPECT_EQ(regex.GetMatchText(c.matchIndex, &position), c.text) << c.pattern << " #" << c.matchIndex;
        EXPECT_EQ(position, c.position) << c.pattern << " on " << c.subject << " #" << c.matchIndex;
        EXPECT_EQ(regex.GetMatchText(c.matchIndex), c.text);
    }
}

TEST(RegexObject, SubMatches) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create(Text("(a)(b)"), Text("xab")));
    EXPECT_EQ(regex.GetSubMatchCount(), 2);
    int32_t position = -100;
    EXPECT_EQ(regex.GetSubMatchText(1, 2, &position), "b");
    EXPECT_EQ(position, 2);
    EXPECT_EQ(regex.GetSubMatchText(1, 1, &position), "a");
    EXPECT_EQ(position, 1);
    EXPECT_EQ(regex.GetSubMatchText(1, 3, &position), "");
    EXPECT_EQ(regex.GetSubMatchText(2, 1), "");

    // A group that took part in no match reads as the empty text.
    ASSERT_TRUE(regex.Create(Text("(a)|(b)"), Text("b")));
    EXPECT_EQ(regex.GetSubMatchText(1, 1), "");
    EXPECT_EQ(regex.GetSubMatchText(1, 2), "b");

    // No match at all: the first match cannot be asked.
    ASSERT_TRUE(regex.Create(Text("(a)(b)"), Text("xyz")));
    EXPECT_EQ(regex.GetSubMatchCount(), 0);
}

TEST(RegexObject, BeforeAnyCreateEverythingIsEmpty) {
    RegexObject regex;
    EXPECT_EQ(regex.GetMatchCount(), 0);
    EXPECT_EQ(regex.GetSubMatchCount(), 0);
    EXPECT_EQ(regex.GetPattern(), "");
    EXPECT_EQ(regex.ReplaceMatches(Text("x")), "");
    int32_t position = 0;
    EXPECT_EQ(regex.GetMatchText(1, &position), "");
    EXPECT_EQ(position, -2);  // the empty subject holds not even the empty text
}

TEST(RegexObject, RejectedPatternFailsCreateButKeepsTheObjectUsable) {
    RegexObject regex;
    EXPECT_FALSE(regex.Create(Text("(a"), Text("aaa")));
    EXPECT_EQ(regex.GetMatchCount(), 0);
    EXPECT_EQ(regex.GetMatchText(1), "");
    EXPECT_EQ(regex.ReplaceMatches(Text("b")), "");
    EXPECT_EQ(regex.GetPattern(), "(a");
    EXPECT_TRUE(regex.Create(Text("a"), Text("aaa")));
    EXPECT_EQ(regex.GetMatchCount(), 3);
}

TEST(RegexObject, CopySharesTheResultAndANewCreateLeavesTheSourceAlone) {
    RegexObject source;
    ASSERT_TRUE(source.Create(Text("a"), Text("xAxa")));
    RegexObject copy(source);
    EXPECT_EQ(copy.GetMatchCount(), 2);
    EXPECT_EQ(copy.ReplaceMatches(Text("-")), "x-x-");
    ASSERT_TRUE(copy.Create(Text("x"), Text("xxxx")));
    EXPECT_EQ(copy.GetMatchCount(), 4);
    EXPECT_EQ(source.GetMatchCount(), 2);
    EXPECT_EQ(source.GetPattern(), "a");
    EXPECT_EQ(source.GetMatchText(2), "a");
}

TEST(RegexObject, CopyOutlivesItsSource) {
    std::optional<RegexObject> source;
    source.emplace();
    ASSERT_TRUE(source->Create(Text("b+"), Text("abba")));
    RegexObject copy(*source);
    source.reset();
    EXPECT_EQ(copy.GetMatchText(1), "bb");
    EXPECT_EQ(copy.ReplaceMatches(Text()), "aa");
}

}  // namespace
}  // namespace jestlark
