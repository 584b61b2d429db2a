#pragma once
// The two exports as the host sees them.
#include "platform/Export.h"

extern "C" const char* JESTLARK_STDCALL info();
extern "C" const char* JESTLARK_STDCALL JokeSearchHandler(const char*, const char*, const char*,
                                                          const char*, const char*)
    JESTLARK_EXPORT_AS("\xD0\xA6\xBB\xB0\xCB\xD1\xCB\xF7");
