#pragma once
#include "text/Text.h"

namespace jestlark {

// Fetches a random joke page, cleans the joke out of it and posts it into
// the group through the host API.
void PostRandomJoke(const Text& groupId);

}  // namespace jestlark
