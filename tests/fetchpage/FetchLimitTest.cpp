#include <gtest/gtest.h>

#include <climits>

#include "fetch/FetchLimit.h"

namespace jestlark {
namespace {

TEST(FetchLimitMs, SecondsTimesThousandLowBits) {
    EXPECT_EQ(FetchLimitMs(std::nullopt), 60000u);
    EXPECT_EQ(FetchLimitMs(0), 0u);
    EXPECT_EQ(FetchLimitMs(1), 1000u);
    EXPECT_EQ(FetchLimitMs(-1), 4294966296u);  // -1000 read unsigned
    EXPECT_EQ(FetchLimitMs(2147483), 2147483000u);
    EXPECT_EQ(FetchLimitMs(INT32_MAX), uint32_t(2147483647000ull));
    EXPECT_EQ(FetchLimitMs(INT32_MIN), uint32_t(uint64_t(-2147483648000ll)));
}

TEST(FetchLimitReached, CountsAcrossTheWrap) {
    struct {
        uint32_t start, now, limit;
        bool reached;
    } const cases[] = {
        {1000, 1999, 1000, false},
        {1000, 2000, 1000, true},
        {0xFFFFFF00u, 0x000000FFu, 1000, false},  // 511 ms across the wrap
        {0xFFFFFF00u, 0x00000300u, 1000, true},   // 1024 ms across the wrap
        {0x7FFFFF00u, 0x80000010u, 1000, false},  // passing 2^31
        {5, 5, 0, true},
        {5, 5, 4294966296u, true},  // a negative limit has always passed
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FetchLimitReached(c.start, c.now, c.limit), c.reached)
            << c.start << " " << c.now << " " << c.limit;
    }
}

}  // namespace
}  // namespace jestlark
