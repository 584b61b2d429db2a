#pragma once
#include "text/Text.h"

namespace jestlark {

// Posts message into group through the host's api_message_group_send. The
// function is looked up on the first post and kept; while the host library
// or the function cannot be found nothing is posted and the next post looks
// again. An empty message goes as an empty text, never as a null pointer.
void PostToGroup(const Text& groupId, const Text& message);

}  // namespace jestlark
