#pragma once
#include <cstdint>

namespace jestlark {

// Spreads the seeds of runs that start in the same millisecond.
extern uint32_t SeedCounter;

// The seed of one run at the given tick count; advances SeedCounter.
uint32_t NextSeed(uint32_t tickCount);

// The one draw of the generator seeded with seed: a joke number, 1 to 17786.
int32_t JokeNumberFromSeed(uint32_t seed);

}  // namespace jestlark
