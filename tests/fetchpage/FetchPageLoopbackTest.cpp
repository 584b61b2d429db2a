#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "fetch/FetchPage.h"
#include "tests/fetchpage/ThreadCount.h"
#include "tests/fetchpage/ThreadQueue.h"
#include "tests/support/LoopbackServer.h"

namespace jestlark {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t TimeoutMessageBytes = 94;
constexpr const char* TimeoutMessageStart = "\xb3\xac\xca\xb1\xb7\xb5\xbb\xd8";  // 超时返回

bool IsTimeoutMessage(const ByteString& body) {
    return body.size() == TimeoutMessageBytes && body.rfind(TimeoutMessageStart, 0) == 0;
}

class FetchPageLoopback : public testing::Test {
protected:
    void SetUp() override {
        if (!server_.Available()) GTEST_SKIP() << server_.Missing();
        // The HTTP layer starts threads of its own on first use (WinInet
        // does); they are there before any thread is counted.
        Text warmUp = UrlOf("/fixed?body=warm");
        FetchPage(warmUp);
    }
    Text UrlOf(const std::string& path) const { return Text(server_.Url(path)); }

    test::LoopbackServer server_{"http"};
};

TEST_F(FetchPageLoopback, SchemelessPostComesBackWithHeadersAndCookies) {
    const std::string id = test::UniqueId("front-post");
    const std::string address = server_.Host() + ":" + std::to_string(server_.Port());
    Text url(address + server_.RecordPath(id, "fixed") + "?h=Set-Cookie:%20a=1;%20path=/&body=page");
    Text headers, cookies;
    FetchOptions options;
    options.method = 1;
    options.postBody = ByteString("k=v");
    options.responseHeaders = &headers;
    options.responseCookies = &cookies;
    EXPECT_EQ(FetchPage(url, options), "page");
    EXPECT_EQ(url.rfind("http://" + address + "/", 0), 0u) << url;
    EXPECT_EQ(headers.rfind("HTTP/1.1 200", 0), 0u) << headers;
    EXPECT_EQ(cookies, "a=1;");
    const std::optional<std::string> request = server_.RecordedRequest(id);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->rfind("POST /r/" + id + "/fixed?", 0), 0u) << *request;
}

TEST_F(FetchPageLoopback, ConvertsTheBodyItReceived) {
    Text url = UrlOf("/fixed?body=%E4%B8%AD%E6%96%87");  // 中文 in UTF-8
    FetchOptions options;
    options.bodyConversion = ConvertUtf8ToGbk;
    EXPECT_EQ(FetchPage(url, options), "\xd6\xd0\xce\xc4");
}

TEST_F(FetchPageLoopback, ClosedPortGivesEmptyBodyAtOnce) {
    // Nothing listens on the last port of this suite's range.
    const int closedPort = server_.Port() + 19;
    Text url("http://127.0.0.1:" + std::to_string(closedPort) + "/");
    Text headers("old");
    FetchOptions options;
    options.timeoutSeconds = 20;
    options.responseHeaders = &headers;
    const ByteString body = FetchPage(url, options);
    EXPECT_FALSE(IsTimeoutMessage(body));
    EXPECT_EQ(body, "");
}

TEST_F(FetchPageLoopback, StallingServerTimesOutAndTheWorkerEnds) {
    const int before = test::ThreadCount();
    Text url = UrlOf("/stall?seconds=20");
    FetchOptions options;
    options.timeoutSeconds = 1;
    const Clock::time_point started = Clock::now();
    EXPECT_TRUE(IsTimeoutMessage(FetchPage(url, options)));
    // Far above the limit, far below the stall: the call did not wait for
    // the worker.
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(8));
    EXPECT_TRUE(test::ThreadsBackTo(before)) << test::ThreadCount() << " threads, " << before << " before";

    Text again = UrlOf("/fixed?body=second");
    EXPECT_EQ(FetchPage(again, options), "second");
}

TEST_F(FetchPageLoopback, HundredTimedOutFetchesLeaveNothingBehind) {
    const int before = test::ThreadCount();
    // Ten callers, ten fetches each, every one cut off by its limit in the
    // middle of an exchange.
    std::vector<std::thread> callers;
    std::vector<int> timeouts(10, 0);
    for (int caller = 0; caller < 10; ++caller) {
        callers.emplace_back([this, caller, &timeouts] {
            for (int i = 0; i < 10; ++i) {
                Text url = UrlOf("/stall?seconds=5");
                FetchOptions options;
                options.timeoutSeconds = i % 2;  // 0: before connecting; 1: while waiting
                if (IsTimeoutMessage(FetchPage(url, options))) ++timeouts[caller];
            }
        });
    }
    for (std::thread& caller : callers) caller.join();
    for (const int count : timeouts) EXPECT_EQ(count, 10);
    EXPECT_TRUE(test::ThreadsBackTo(before)) << test::ThreadCount() << " threads, " << before << " before";
}

const test::LoopbackServer* timerServer = nullptr;
ByteString nestedBody;
Clock::time_point nestedEnd;

void FetchFromTimer() {
    Text url(timerServer->Url("/fixed?body=inner"));
    nestedBody = FetchPage(url);
    nestedEnd = Clock::now();
}

TEST_F(FetchPageLoopback, NestedFetchFromTimerCompletesWhileOuterWaits) {
    timerServer = &server_;
    nestedBody.clear();
    if (!test::StartThreadTimer(100, FetchFromTimer)) GTEST_SKIP() << "no window messages on POSIX";
    Text url = UrlOf("/stall?seconds=2");
    FetchOptions options;
    options.timeoutSeconds = 20;
    EXPECT_EQ(FetchPage(url, options), "stalled");
    const Clock::time_point outerEnd = Clock::now();
    EXPECT_EQ(nestedBody, "inner");
    EXPECT_LT(nestedEnd, outerEnd);
}

}  // namespace
}  // namespace jestlark
