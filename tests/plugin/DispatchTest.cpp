#include <gtest/gtest.h>

#include <string>

#include "tests/plugin/ExportsDecl.h"
#include "tests/plugin/PostRandomJokeDouble.h"

namespace {

const std::string GroupOnly = "\xC7\xEB\xD4\xDA\xC8\xBA\xC0\xEF\xCA\xB9\xD3\xC3";

struct DispatchCase {
    const char* name;
    const char* kind;
    std::string reply;
    bool runsPipeline;
};

class Dispatch : public ::testing::TestWithParam<DispatchCase> {
protected:
    void SetUp() override { jestlark::PostRandomJokeCalls().clear(); }
};

TEST_P(Dispatch, RepliesAndRunsByKindAlone) {
    const DispatchCase& c = GetParam();
    // Arguments 1, 4 and 5 vary and never change the outcome.
    const char* others[][3] = {{nullptr, nullptr, nullptr}, {"", "", ""}, {"x", "#\xD0\xA6\xBB\xB0", "2"}};
    for (auto& other : others) {
        jestlark::PostRandomJokeCalls().clear();
        const char* reply = JokeSearchHandler(other[0], c.kind, "12345", other[1], other[2]);
        ASSERT_NE(reply, nullptr);
        EXPECT_EQ(std::string(reply), c.reply);
        if (c.runsPipeline) {
            ASSERT_EQ(jestlark::PostRandomJokeCalls().size(), 1u);
            EXPECT_EQ(jestlark::PostRandomJokeCalls()[0], "12345");
        } else {
            EXPECT_TRUE(jestlark::PostRandomJokeCalls().empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Dispatch,
    ::testing::Values(DispatchCase{"Private1", "1", GroupOnly, false},
                      DispatchCase{"Private3", "3", GroupOnly, false},
                      DispatchCase{"Group", "2", "", true},
                      DispatchCase{"LeadingSpace", " 2", "", false},
                      DispatchCase{"TrailingSpace", "2 ", "", false},
                      DispatchCase{"LeadingZero", "02", "", false},
                      DispatchCase{"Empty", "", "", false},
                      DispatchCase{"Null", nullptr, "", false},
                      DispatchCase{"Other", "4", "", false},
                      DispatchCase{"DoubleByteTail", "1\xA1", "", false}),
    [](const ::testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

TEST(DispatchNulls, EveryPositionMayBeNull) {
    jestlark::PostRandomJokeCalls().clear();
    const char* reply = JokeSearchHandler(nullptr, "2", nullptr, nullptr, nullptr);
    ASSERT_NE(reply, nullptr);
    EXPECT_STREQ(reply, "");
    ASSERT_EQ(jestlark::PostRandomJokeCalls().size(), 1u);
    EXPECT_EQ(jestlark::PostRandomJokeCalls()[0], "");  // an absent group is the empty text
    EXPECT_STREQ(JokeSearchHandler(nullptr, nullptr, nullptr, nullptr, nullptr), "");
}

TEST(DispatchNulls, ReplyStaysValidUntilTheNextCall) {
    const char* first = JokeSearchHandler(nullptr, "1", nullptr, nullptr, nullptr);
    const std::string copy = first;
    EXPECT_EQ(copy, GroupOnly);
    EXPECT_EQ(std::string(first), GroupOnly);
    EXPECT_STREQ(JokeSearchHandler(nullptr, "9", nullptr, nullptr, nullptr), "");
}

}  // namespace
