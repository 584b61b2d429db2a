// What the server receives from the worker, byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/InternetSession.h"
#include "tests/worker/WorkerTestSupport.h"

namespace jestlark::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WorkerWireTest : public WorkerTest {};

TEST_F(WorkerWireTest, PlainGetSendsTheThreeDefaultLinesInOrder) {
    WorkerRequest request;
    request.url = RecordingUrl("plain-get");
    const WorkerAnswer answer = RunWorker(request);

    const std::string path = LoopbackServer::RecordPath(id_, "echo");
    const std::string expected = "GET " + path + " HTTP/1.1\r\n" + "Host: " + HostField() + "\r\n" +
                                 "User-Agent: " + DefaultAgent + "\r\n" + DefaultAccept + "\r\n" +
                                 "Referer: " + request.url + "\r\n" + "Accept-Language: zh-cn\r\n\r\n";
    EXPECT_EQ(RecordedBytes().value_or("(nothing)"), expected);
    EXPECT_EQ(answer.Body(), expected);
}

TEST_F(WorkerWireTest, PostWithElevenByteBodyAddsContentTypeAndLength) {
    WorkerRequest request;
    request.url = RecordingUrl("post-11");
    request.verb = "POST";
    request.postBody = "hello world";
    RunWorker(request);

    const std::string expected = "POST " + LoopbackServer::RecordPath(id_, "echo") + " HTTP/1.1\r\n" +
                                 "Host: " + HostField() + "\r\n" + "User-Agent: " + DefaultAgent + "\r\n" +
                                 DefaultAccept + "\r\n" + "Referer: " + request.url + "\r\n" +
                                 "Accept-Language: zh-cn\r\n" +
                                 "Content-Type: application/x-www-form-urlencoded\r\n" +
                                 "Content-Length: 11\r\n\r\nhello world";
    EXPECT_EQ(RecordedBytes().value_or("(nothing)"), expected);
}

TEST_F(WorkerWireTest, PostWithoutBodySendsNoDataAndNoContentType) {
    WorkerRequest request;
    request.url = RecordingUrl("post-empty");
    request.verb = "POST";
    RunWorker(request);

    const auto recorded = Recorded();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->requestLine, "POST " + LoopbackServer::RecordPath(id_, "echo") + " HTTP/1.1");
    EXPECT_THAT(recorded->Values("Content-Type"), IsEmpty());
    EXPECT_THAT(recorded->Values("Content-Length"), ElementsAre("0"));
    EXPECT_THAT(recorded->body, IsEmpty());
}

TEST_F(WorkerWireTest, CallerHeadersDecideWhichDefaultsAreAdded) {
    struct Case {
        const char* name;
        std::string extraHeaders;
        std::vector<std::string> accept, referer, acceptLanguage;  // "url" stands for the request URL
    };
    const Case cases[] = {
        // The word Accept in Accept-Language counts as an Accept line.
        {"accept-language-only", "Accept-Language: en\r\n", {}, {"url"}, {"en"}},
        // The exact marker is removed and suppresses the Referer line.
        {"referer-no", "RefererNo\r\n", {DefaultAccept + 8}, {}, {"zh-cn"}},
        {"own-referer", "Referer: http://elsewhere.test/\r\n", {DefaultAccept + 8}, {"http://elsewhere.test/"}, {"zh-cn"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WorkerRequest request;
        request.url = RecordingUrl(c.name);
        request.extraHeaders = c.extraHeaders;
        RunWorker(request);
        const auto recorded = Recorded();
        ASSERT_TRUE(recorded);
        std::vector<std::string> referer = c.referer;
        for (std::string& value : referer) {
            if (value == "url") value = request.url;
        }
        EXPECT_EQ(recorded->Values("Accept"), c.accept);
        EXPECT_EQ(recorded->Values("Referer"), referer);
        EXPECT_EQ(recorded->Values("Accept-Language"), c.acceptLanguage);
    }
}

TEST_F(WorkerWireTest, MarkerInSmallLettersStillSuppressesTheReferer) {
    WorkerRequest request;
    request.url = RecordingUrl("referer-no-small");
    request.extraHeaders = "refererno\r\n";
    RunWorker(request);
    const auto recorded = Recorded();
    ASSERT_TRUE(recorded);
    EXPECT_THAT(recorded->Values("Referer"), IsEmpty());
}

TEST_F(WorkerWireTest, UserAgentLineBecomesTheAgentTheServerSees) {
    for (const char* line : {"User-Agent: Probe/1.0\r\n", "user-agent:   Probe/1.0  \r\n"}) {
        SCOPED_TRACE(line);
        WorkerRequest request;
        request.url = RecordingUrl("agent");
        request.extraHeaders = line;
        RunWorker(request);
        const auto recorded = Recorded();
        ASSERT_TRUE(recorded);
        EXPECT_THAT(recorded->Values("User-Agent"), ElementsAre("Probe/1.0"));
    }
}

TEST_F(WorkerWireTest, CookieTextIsSentAloneWithoutStoredCookies) {
    SetInternetCookie(Text("http://" + http_.Host()), Text("stored"), Text("9; path=/"));
    WorkerRequest request;
    request.url = RecordingUrl("cookie-text");
    request.cookies = "a=1; b=2";
    RunWorker(request);
    const auto recorded = Recorded();
    ASSERT_TRUE(recorded);
    EXPECT_THAT(recorded->Values("Cookie"), ElementsAre("a=1; b=2"));
    EXPECT_EQ(recorded->fields.back(), "Cookie: a=1; b=2");
}

TEST_F(WorkerWireTest, BlankCookieTextLeavesTheStoreInCharge) {
    // A single blank is no cookie text for the flags, so the stored cookie
    // goes out; the blank line the worker adds carries no value of its own.
    SetInternetCookie(Text("http://" + http_.Host()), Text("kept"), Text("7; path=/"));
    WorkerRequest request;
    request.url = RecordingUrl("cookie-blank");
    request.cookies = " ";
    RunWorker(request);
    const auto recorded = Recorded();
    ASSERT_TRUE(recorded);
    EXPECT_THAT(recorded->Values("Cookie"), ElementsAre("kept=7"));
}

TEST_F(WorkerWireTest, StoredCookiesKeepToTheirPathAndExpiry) {
    const Text site("http://" + http_.Host());
    const std::string mine = "/r/" + UniqueId("cookie-path");
    SetInternetCookie(site, Text("here"), Text("1; path=" + mine));
    SetInternetCookie(site, Text("elsewhere"), Text("2; path=/r/elsewhere"));
    SetInternetCookie(site, Text("gone"), Text("3; path=/"));
    SetInternetCookie(site, Text("gone"), Text("x; path=/; expires=Thu, 01 Jan 1970 00:00:00 GMT"));
    WorkerRequest request;
    id_ = mine.substr(3);
    request.url = http_.Url(LoopbackServer::RecordPath(id_, "echo"));
    RunWorker(request);
    const auto recorded = Recorded();
    ASSERT_TRUE(recorded);
    EXPECT_THAT(recorded->Values("Cookie"), ElementsAre("here=1"));
}

}  // namespace
}  // namespace jestlark::test
