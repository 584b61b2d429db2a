#include "fetch/FetchLimit.h"

namespace jestlark {
namespace {

constexpr double DefaultLimitMs = 60000.0;
constexpr double ElapsedTolerance = -0.0000001;

}  // namespace

uint32_t FetchLimitMs(const std::optional<int32_t>& timeoutSeconds) {
    const double ms = timeoutSeconds ? *timeoutSeconds * 1000.0 : DefaultLimitMs;
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(ms)));
}

bool FetchLimitReached(uint32_t start, uint32_t now, uint32_t limit) {
    const uint32_t elapsed = now - start;
    return double(elapsed) - double(static_cast<int32_t>(limit)) >= ElapsedTolerance;
}

}  // namespace jestlark
