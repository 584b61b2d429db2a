#include <gtest/gtest.h>

#include "platform/RegexComponent.h"
#include "text/RegexObject.h"
#include "text/RemoveBlankLines.h"

namespace jestlark {
namespace {

class ComponentUnavailable : public testing::Test {
protected:
    void SetUp() override { SetRegexComponentUnavailableForTest(true); }
    void TearDown() override { SetRegexComponentUnavailableForTest(false); }
};

TEST_F(ComponentUnavailable, ObjectAnswersEmpty) {
    RegexObject regex;
    EXPECT_FALSE(regex.Create(Text("(a)"), Text("xAxa")));
    EXPECT_EQ(regex.GetMatchCount(), 0);
    EXPECT_EQ(regex.GetSubMatchCount(), 0);
    EXPECT_EQ(regex.GetPattern(), "");
    EXPECT_EQ(regex.ReplaceMatches(Text("b")), "");
    int32_t position = -100;
    EXPECT_EQ(regex.GetMatchText(1, &position), "");
    EXPECT_EQ(position, 0);
    EXPECT_EQ(regex.GetSubMatchText(1, 1, &position), "");
    EXPECT_EQ(position, 0);
}

TEST_F(ComponentUnavailable, RemoveBlankLinesGivesEmptyButStillTrims) {
    Text text("\r\na\r\n\r\nb\r\n");
    EXPECT_EQ(RemoveBlankLines(text), "");
    EXPECT_EQ(text, "a\r\n\r\nb");
}

TEST_F(ComponentUnavailable, AnEarlierInstanceIsReleasedByTheFailedCreate) {
    SetRegexComponentUnavailableForTest(false);
    RegexObject regex;
    ASSERT_TRUE(regex.Create(Text("a"), Text("aa")));
    SetRegexComponentUnavailableForTest(true);
    EXPECT_FALSE(regex.Create(Text("a"), Text("aa")));
    EXPECT_EQ(regex.GetMatchCount(), 0);
    EXPECT_EQ(regex.GetPattern(), "");
}

}  // namespace
}  // namespace jestlark
