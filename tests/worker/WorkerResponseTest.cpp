// What comes back in the packet: bodies, raw headers, cookies, redirects.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/worker/WorkerTestSupport.h"

namespace jestlark::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class WorkerResponseTest : public WorkerTest {};

TEST_F(WorkerResponseTest, RedirectsAreFollowedOnlyWithTrue) {
    const std::string finalId = UniqueId("redirect-final");
    const std::string to = LoopbackServer::RecordPath(finalId, "fixed") + "?body=arrived";
    for (const char* redirects : {Yes, No}) {
        SCOPED_TRACE(redirects == Yes ? "true" : "false");
        WorkerRequest request;
        request.url = RecordingUrl("redirect", "redirect") + "?status=302&body=moved&to=" + QueryEscape(to);
        request.redirects = redirects;
        const WorkerAnswer answer = RunWorker(request);
        if (redirects == Yes) {
            EXPECT_EQ(answer.Body(), "arrived");
            EXPECT_THAT(answer.Headers(), StartsWith("HTTP/1.1 200 OK\r\n"));
        } else {
            EXPECT_EQ(answer.Body(), "moved");
            EXPECT_THAT(answer.Headers(), StartsWith("HTTP/1.1 302 Found\r\n"));
            EXPECT_THAT(answer.Headers(), HasSubstr("\r\nLocation: " + to + "\r\n"));
        }
    }
}

TEST_F(WorkerResponseTest, SetCookieLinesAreCollectedAndReachTheStore) {
    WorkerRequest request;
    request.url = RecordingUrl("set-cookie", "fixed") + "?h=" + QueryEscape("Set-Cookie: ca=1; path=/") +
                  "&h=" + QueryEscape("set-cookie: cb=2; path=/r") + "&h=" + QueryEscape("SET-COOKIE: cc=3");
    const WorkerAnswer answer = RunWorker(request);
    // A cookie without attributes is collected whole.
    EXPECT_EQ(answer.Cookies(), "ca=1;cb=2;cc=3;");
    EXPECT_THAT(answer.Headers(), HasSubstr("\r\nset-cookie: cb=2; path=/r\r\n"));

    WorkerRequest later;
    later.url = RecordingUrl("set-cookie-later");
    RunWorker(later);
    const auto recorded = Recorded();
    ASSERT_TRUE(recorded);
    const auto cookies = recorded->Values("Cookie");
    ASSERT_EQ(cookies.size(), 1u);
    for (const char* cookie : {"ca=1", "cb=2", "cc=3"}) EXPECT_THAT(cookies[0], HasSubstr(cookie));
}

TEST_F(WorkerResponseTest, ResponseWithoutSetCookieCollectsNothing) {
    WorkerRequest request;
    request.url = RecordingUrl("no-cookie", "fixed") + "?body=x";
    const WorkerAnswer answer = RunWorker(request);
    EXPECT_TRUE(answer.Cookies().empty());
    EXPECT_EQ(answer.Body(), "x");
    EXPECT_EQ(answer.Headers(), "HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n");
}

TEST_F(WorkerResponseTest, BodiesArriveWholeByteForByte) {
    struct Case {
        const char* name;
        const char* behaviour;
    };
    const Case cases[] = {
        {"random-3mb", "random?size=3145739"},
        {"chunked", "random?size=300007&chunked=4093"},
        {"empty", "random?size=0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerRequest request;
        request.url = RecordingUrl(c.name, c.behaviour);
        const WorkerAnswer answer = RunWorker(request);
        const auto sent = Sent();
        ASSERT_TRUE(sent);
        EXPECT_EQ(answer.Body().size(), sent->size());
        EXPECT_TRUE(answer.Body() == *sent) << "the body differs from what was sent";
        if (sent->size() > 0) {
            EXPECT_NE(sent->find('\0'), std::string::npos) << "no zero byte to carry";
        }
    }
}

TEST_F(WorkerResponseTest, ConnectionCutMidBodyKeepsWhatArrived) {
    WorkerRequest request;
    request.url = RecordingUrl("cut", "cut?size=400000&cut=150001");
    const WorkerAnswer answer = RunWorker(request);
    const auto sent = Sent();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->size(), 150001u);
    EXPECT_EQ(answer.Body().size(), sent->size());
    EXPECT_TRUE(answer.Body() == *sent);
}

TEST_F(WorkerResponseTest, HeadersOver2048BytesComeBackWholeWithTheirCookie) {
    WorkerRequest request;
    request.url = RecordingUrl("big-headers", "fixed") + "?pad=3000&h=" + QueryEscape("Set-Cookie: late=1; path=/");
    const WorkerAnswer answer = RunWorker(request);
    EXPECT_GT(answer.Headers().size(), 3000u);
    EXPECT_THAT(answer.Headers(), StartsWith("HTTP/1.1 200 OK\r\nX-Pad-0: "));
    EXPECT_THAT(answer.Headers(), EndsWith("\r\nSet-Cookie: late=1; path=/\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(answer.Cookies(), "late=1;");
}

TEST_F(WorkerResponseTest, ByteOneAInHeadersIsAnOrdinaryByte) {
    WorkerRequest request;
    request.url = RecordingUrl("ctrl-z", "fixed") + "?h=" + QueryEscape("X-Odd: a\x1A" "b") + "&h=" +
                  QueryEscape("Set-Cookie: after=26; path=/") + "&h=" + QueryEscape("Set-Cookie: x=\x1A; path=/");
    const WorkerAnswer answer = RunWorker(request);
    EXPECT_THAT(answer.Headers(), HasSubstr("\r\nX-Odd: a\x1A" "b\r\n"));
    EXPECT_EQ(answer.Cookies(), "after=26;x=\x1A;");
}

TEST_F(WorkerResponseTest, RequestThroughTheProxy) {
    LoopbackServer proxy("proxy");
    LoopbackServer origin("http_behind_proxy");
    if (!proxy.Available()) GTEST_SKIP() << proxy.Missing();
    if (!origin.Available()) GTEST_SKIP() << origin.Missing();
    const std::string id = UniqueId("proxied");
    WorkerRequest request;
    request.url = origin.Url(LoopbackServer::RecordPath(id, "echo"));
    request.proxy = proxy.Host() + ":" + std::to_string(proxy.Port());
    const WorkerAnswer answer = RunWorker(request);
    const auto recorded = ParseRecordedRequest(origin.RecordedRequest(id));
    ASSERT_TRUE(recorded) << "nothing reached the origin";
    EXPECT_EQ(recorded->requestLine, "GET " + LoopbackServer::RecordPath(id, "echo") + " HTTP/1.1");
    EXPECT_THAT(recorded->Values("Via"), ElementsAre(HasSubstr("tinyproxy")));
    EXPECT_THAT(recorded->Values("Referer"), ElementsAre(request.url));
    EXPECT_THAT(answer.Body(), StartsWith(recorded->requestLine));
}

}  // namespace
}  // namespace jestlark::test
