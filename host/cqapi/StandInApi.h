#pragma once
// The stand-in host API library: the one call the plugin makes, and what a
// test or the stand-in host reads back.
#include <cstddef>
#include <cstdint>

#include "platform/Export.h"

extern "C" {

// Records one post; a null pointer is recorded as null, not as an empty text.
JESTLARK_EXPORT int32_t JESTLARK_STDCALL api_message_group_send(const char* groupId, const char* message);

JESTLARK_EXPORT std::size_t JESTLARK_STDCALL standin_post_count();
// The index-th post's texts, null where null was posted; false past the end.
JESTLARK_EXPORT bool JESTLARK_STDCALL standin_post_at(std::size_t index, const char** groupId,
                                                       const char** message);
JESTLARK_EXPORT void JESTLARK_STDCALL standin_posts_clear();

}
