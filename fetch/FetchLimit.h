#pragma once
#include <cstdint>
#include <optional>

namespace jestlark {

// The time limit of one fetch in milliseconds: timeoutSeconds × 1000.0
// truncated (60000 when left out), its low 32 bits.
uint32_t FetchLimitMs(const std::optional<int32_t>& timeoutSeconds);

// Whether the limit has passed between two tick readings. The difference is
// taken unsigned, so it stays right across the counter's wrap; the limit is
// read signed, so a negative limit has always passed.
bool FetchLimitReached(uint32_t start, uint32_t now, uint32_t limit);

}  // namespace jestlark
