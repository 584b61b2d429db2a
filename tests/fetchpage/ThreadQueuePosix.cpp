#include "tests/fetchpage/ThreadTimer.h"

namespace jestlark::test {

bool StartThreadTimer(unsigned, void (*)()) { return false; }

}  // namespace jestlark::test
