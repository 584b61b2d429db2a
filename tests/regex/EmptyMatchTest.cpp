#include <gtest/gtest.h>

#include "text/RegexObject.h"

namespace jestlark {
namespace {

struct EmptyMatchCase {
    const char* pattern;
    const char* subject;
    const char* replaced;  // with "-"
    int32_t count;
};

// Under Global, a search after an empty match resumes one character later.
TEST(RegexEmptyMatch, GlobalStepsPastEmptyMatches) {
    if (JESTLARK_REGEX_UNDER_WINE) GTEST_SKIP() << "Wine's component loops forever on these empty matches";
    const EmptyMatchCase cases[] = {
        {"x*", "abc", "-a-b-c-", 4},
        {"a*", "baac", "-b--c-", 4},
        {"^", "a\r\nb", "-a\r-\n-b", 3},
        {"$", "a\r\nb", "a-\r-\nb-", 3},
        {"\\b", "ab cd", "-ab- -cd-", 4},
        {"(?=b)", "abab", "a-ba-b", 2},
        {"a|", "bab", "-b--b-", 4},
    };
    for (const EmptyMatchCase& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.Create(Text(c.pattern), Text(c.subject)));
        EXPECT_EQ(regex.GetMatchCount(), c.count) << c.pattern;
        EXPECT_EQ(regex.ReplaceMatches(Text("-")), c.replaced) << c.pattern;
    }
}

}  // namespace
}  // namespace jestlark
