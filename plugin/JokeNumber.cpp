#include "plugin/JokeNumber.h"

namespace jestlark {

uint32_t SeedCounter = 0;

uint32_t NextSeed(uint32_t tickCount) {
    const uint32_t seed = tickCount + SeedCounter;
    SeedCounter += (seed & 0xFF) + 100;
    return seed;
}

int32_t JokeNumberFromSeed(uint32_t seed) {
    const uint32_t state = seed * 214013u + 2531011u;
    const uint32_t draw = (state >> 16) & 0x7FFF;
    return int32_t(1 + draw % 17786);
}

}  // namespace jestlark
