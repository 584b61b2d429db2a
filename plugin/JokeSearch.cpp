#include "plugin/JokeSearch.h"

#include "plugin/PostRandomJoke.h"

namespace jestlark {

const char* const GroupOnlyReply = "\xC7\xEB\xD4\xDA\xC8\xBA\xC0\xEF\xCA\xB9\xD3\xC3";  // 请在群里使用

Text JokeSearch(const Text&, const Text& messageKind, const Text& groupId, const Text&, const Text&) {
    if (messageKind == "1") return Text(GroupOnlyReply);
    if (messageKind == "2") {
        PostRandomJoke(groupId);
        return Text();
    }
    if (messageKind == "3") return Text(GroupOnlyReply);
    return Text();
}

}  // namespace jestlark
