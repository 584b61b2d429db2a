#pragma once
#include "text/Text.h"

namespace jestlark {

// The reply to kinds "1" and "3", messages from outside a group.
extern const char* const GroupOnlyReply;

// The handler behind the export: dispatches on messageKind alone and runs the
// joke pipeline for a group message ("2").
Text JokeSearch(const Text& first, const Text& messageKind, const Text& groupId,
                const Text& fourth, const Text& fifth);

}  // namespace jestlark
