#include <gtest/gtest.h>

#include "plugin/JokeNumber.h"

namespace {

using jestlark::JokeNumberFromSeed;
using jestlark::NextSeed;
using jestlark::SeedCounter;

TEST(JokeNumber, DrawsFromTheSeed) {
    struct { uint32_t seed; int32_t number; } cases[] = {
        {1, 42}, {100000, 13899}, {0, 1 + ((2531011u >> 16) & 0x7FFF) % 17786}};
    for (auto& c : cases) EXPECT_EQ(JokeNumberFromSeed(c.seed), c.number) << c.seed;
}

TEST(JokeNumber, StaysInRangeForEverySeedSample) {
    for (uint32_t seed = 0; seed < 200000; seed += 7) {
        const int32_t n = JokeNumberFromSeed(seed * 2654435761u);
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 17786);
    }
}

TEST(JokeNumber, SeedCounterSpreadsRunsInOneMillisecond) {
    SeedCounter = 0;
    EXPECT_EQ(NextSeed(100000), 100000u);
    EXPECT_EQ(SeedCounter, 260u);
    EXPECT_EQ(NextSeed(100000), 100260u);
}

TEST(JokeNumber, SeedWrapsInThirtyTwoBits) {
    SeedCounter = 0xFFFFFFF0u;
    EXPECT_EQ(NextSeed(0x20), 0x10u);
    EXPECT_EQ(SeedCounter, 0xFFFFFFF0u + 0x10u + 100u);
}

}  // namespace
