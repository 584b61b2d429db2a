#include "host/cqapi/StandInApi.h"

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Post {
    std::optional<std::string> groupId;
    std::optional<std::string> message;
};

std::mutex postsLock;
std::vector<Post>& Posts() {
    static std::vector<Post> posts;
    return posts;
}

std::optional<std::string> Copy(const char* text) {
    if (!text) return std::nullopt;
    return std::string(text);
}

}  // namespace

extern "C" {

int32_t JESTLARK_STDCALL api_message_group_send(const char* groupId, const char* message) {
    std::lock_guard<std::mutex> hold(postsLock);
    Posts().push_back(Post{Copy(groupId), Copy(message)});
    return 0;
}

std::size_t JESTLARK_STDCALL standin_post_count() {
    std::lock_guard<std::mutex> hold(postsLock);
    return Posts().size();
}

bool JESTLARK_STDCALL standin_post_at(std::size_t index, const char** groupId, const char** message) {
    std::lock_guard<std::mutex> hold(postsLock);
    if (index >= Posts().size()) return false;
    const Post& post = Posts()[index];
    *groupId = post.groupId ? post.groupId->c_str() : nullptr;
    *message = post.message ? post.message->c_str() : nullptr;
    return true;
}

void JESTLARK_STDCALL standin_posts_clear() {
    std::lock_guard<std::mutex> hold(postsLock);
    Posts().clear();
}

}
