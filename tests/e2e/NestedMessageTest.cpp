// While a group message waits for its page, the host's thread keeps serving
// window messages; a second group message handed to the plugin from a timer
// callback must complete too, and both replies must stay valid.
#include <gtest/gtest.h>

#include <string>

#include "host/StandInHost.h"
#include "tests/e2e/JokeSite.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace jestlark::e2e {
namespace {

#if defined(_WIN32)
StandInHost* nestedHost = nullptr;
std::string nestedReply = "<not called>";
UINT_PTR nestedTimer = 0;

void CALLBACK SecondMessage(HWND, UINT, UINT_PTR, DWORD) {
    KillTimer(nullptr, nestedTimer);
    const char* reply = nestedHost->Handle(std::string(), std::string("2"), std::string("222"),
                                           std::string(), std::string());
    nestedReply = reply ? reply : "<null>";
}
#endif

TEST(NestedMessage, SecondGroupMessageFromATimerCallbackCompletes) {
#if !defined(_WIN32)
    GTEST_SKIP() << "window messages and thread timers exist only on Windows";
#else
    StandInHost host(JESTLARK_E2E_PLUGIN, JESTLARK_E2E_CQAPI);
    ASSERT_TRUE(host.Error().empty()) << host.Error();
    host.ClearPosts();
    JokeSite site;
    site.ServePage("<p>break-all\">nested\xC9\xCF\xD2\xBB\xC6\xAA\xD0\xA6\xBB\xB0</p>");
    site.StallSeconds(1);

    nestedHost = &host;
    nestedTimer = SetTimer(nullptr, 0, 200, SecondMessage);
    ASSERT_NE(nestedTimer, 0u);
    const char* outer = host.Handle(std::string(), std::string("2"), std::string("111"), std::string(),
                                    std::string());
    ASSERT_NE(outer, nullptr);
    EXPECT_STREQ(outer, "");
    EXPECT_EQ(nestedReply, "");

    const std::vector<RecordedPost> posts = host.Posts();
    ASSERT_EQ(posts.size(), 2u);
    // The nested message finishes first, inside the outer one's wait.
    EXPECT_EQ(posts[0].groupId, std::string("222"));
    EXPECT_EQ(posts[1].groupId, std::string("111"));
    for (const RecordedPost& post : posts) EXPECT_EQ(post.message, std::string("nested"));
#endif
}

}  // namespace
}  // namespace jestlark::e2e
