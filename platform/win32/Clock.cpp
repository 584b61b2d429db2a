#include "platform/Clock.h"

#include <windows.h>

namespace jestlark {

uint32_t TickCount() { return GetTickCount(); }

}  // namespace jestlark
