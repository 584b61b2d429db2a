// Link-time double of the joke pipeline: records each call instead of posting.
#include "tests/plugin/PostRandomJokeDouble.h"

namespace jestlark {

std::vector<Text>& PostRandomJokeCalls() {
    static std::vector<Text> calls;
    return calls;
}

void PostRandomJoke(const Text& groupId) { PostRandomJokeCalls().push_back(groupId); }

}  // namespace jestlark
