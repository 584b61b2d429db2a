#include "tests/fetchpage/ThreadQueue.h"

namespace jestlark::test {

bool StartThreadTimer(unsigned, void (*)()) { return false; }
bool PostQuitAndMessage() { return false; }
bool QuitIsWaiting() { return false; }

}  // namespace jestlark::test
