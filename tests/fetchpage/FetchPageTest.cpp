#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fetch/FetchPage.h"
#include "platform/WorkerThread.h"
#include "tests/fetchpage/ThreadCount.h"
#include "tests/fetchpage/ThreadQueue.h"
#include "tests/fetchpage/WorkerDouble.h"

namespace jestlark {
namespace {

const std::string TimeoutMessage =
    "\xb3\xac\xca\xb1\xb7\xb5\xbb\xd8\xa3\xac\xd6\xb8\xb6\xa8\xcd\xf8\xd5\xbe\xb2\xbb\xc4\xdc"
    "\xb7\xc3\xce\xca\xa3\xac\xbb\xf2\xd5\xdf\xc4\xe3\xb5\xc4\xcd\xf8\xc2\xe7\xb3\xf6\xcf\xd6"
    "\xce\xca\xcc\xe2\xa3\xac\xc4\xe3\xbf\xc9\xd2\xd4\xb0\xd1\xb2\xce\xca\xfd\xd6\xd0\xb5\xc4"
    "\xa3\xa2\xb3\xac\xca\xb1\xb7\xb5\xbb\xd8\xa3\xa2\xb5\xc4\xd6\xb5\xc9\xe8\xd6\xc3\xb3\xa4"
    "\xd2\xbb\xd0\xa9\xa1\xa3";

class FetchPageTest : public testing::Test {
protected:
    void SetUp() override { test::ResetWorkerDouble(); }
    void TearDown() override { test::ReleaseHeld(); }
};

TEST_F(FetchPageTest, BlankUrlStartsNoWorker) {
    for (const char* blank : {"", " ", "   ", "\xa1\xa1", " \xa1\xa1 \xa1\xa1"}) {
        Text url(blank);
        EXPECT_EQ(FetchPage(url), "") << blank;
        EXPECT_EQ(url, blank);
    }
    EXPECT_EQ(test::WorkerStarts(), 0);
}

struct SchemeCase {
    const char* url;
    const char* corrected;
};

class SchemeCorrection : public FetchPageTest, public testing::WithParamInterface<SchemeCase> {};

TEST_P(SchemeCorrection, IsWrittenBackAndSent) {
    Text url(GetParam().url);
    FetchPage(url);
    EXPECT_EQ(url, GetParam().corrected);
    EXPECT_EQ(test::LastWorkerRequest().at(SlotUrl), GetParam().corrected);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, SchemeCorrection,
    testing::Values(SchemeCase{"host/page", "http://host/page"},
                    SchemeCase{"HTTP://host/", "http://HTTP://host/"},
                    SchemeCase{" http://host/", "http:// http://host/"},
                    SchemeCase{"http://host/", "http://host/"},
                    SchemeCase{"https://host/", "https://host/"},
                    SchemeCase{"ftp://host/", "http://ftp://host/"},
                    SchemeCase{"http:/", "http://http:/"},
                    SchemeCase{"\thttp://host/", "http://\thttp://host/"}));

TEST_F(FetchPageTest, PacketCarriesTheOptions) {
    struct {
        std::optional<int32_t> method;
        std::optional<bool> allowRedirects;
        const char* verb;
        const char* redirects;
    } const cases[] = {
        {std::nullopt, std::nullopt, "GET", "\xd5\xe6"},  // 真
        {1, true, "POST", "\xd5\xe6"},
        {2, false, "GET", "\xbc\xd9"},  // 假
        {-1, std::nullopt, "GET", "\xd5\xe6"},
    };
    for (const auto& c : cases) {
        FetchOptions options;
        if (c.method) options.method = *c.method;
        options.allowRedirects = c.allowRedirects;
        options.proxy = Text("127.0.0.1:3128");
        options.extraHeaders = Text("X-A: 1\r\n");
        options.postBody = ByteString(std::string("a\0b", 3));
        options.cookies = Text("a=1; b=2");
        Text url("http://h/");
        FetchPage(url, options);
        const RequestPacket sent = test::LastWorkerRequest();
        ASSERT_EQ(sent.size(), RequestPacketItems);
        EXPECT_EQ(sent[SlotVerb], c.verb);
        EXPECT_EQ(sent[SlotProxy], "127.0.0.1:3128");
        EXPECT_EQ(sent[SlotExtraHeaders], "X-A: 1\r\n");
        EXPECT_EQ(sent[SlotPostBody], std::string("a\0b", 3));
        EXPECT_EQ(sent[SlotCookies], "a=1; b=2");
        EXPECT_EQ(sent[SlotRedirects], c.redirects);
    }
}

TEST_F(FetchPageTest, AnswerFillsBodyAndOutParameters) {
    test::SetWorkerAnswer({ByteString(std::string("<p>\0tail", 8)), ByteString("a=1;b=2;"),
                           ByteString(std::string("HTTP/1.1 200 OK\r\n\r\n\0junk", 24))});
    Text headers("old"), cookies("old");
    FetchOptions options;
    options.responseHeaders = &headers;
    options.responseCookies = &cookies;
    Text url("http://h/");
    EXPECT_EQ(FetchPage(url, options), std::string("<p>\0tail", 8));
    EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\n\r\n");
    EXPECT_EQ(cookies, "a=1;b=2;");
}

TEST_F(FetchPageTest, FailedExchangeGivesEmptyValues) {
    Text headers("old"), cookies("old");
    FetchOptions options;
    options.responseHeaders = &headers;
    options.responseCookies = &cookies;
    options.bodyConversion = ConvertUtf8ToGbk;
    Text url("http://h/");
    EXPECT_EQ(FetchPage(url, options), "");
    EXPECT_EQ(headers, "");
    EXPECT_EQ(cookies, "");
}

TEST_F(FetchPageTest, BodyConversionByValue) {
    struct {
        int32_t conversion;
        std::string body;
        std::string result;
    } const cases[] = {
        {ConvertNone, std::string("\xe4\xb8\xad\0z", 5), std::string("\xe4\xb8\xad\0z", 5)},
        {3, std::string("\xe4\xb8\xad\0z", 5), std::string("\xe4\xb8\xad\0z", 5)},
        {ConvertUtf8ToGbk, std::string("\xe4\xb8\xad\0z", 5), "\xd6\xd0"},
        {ConvertBig5ToGbkSimplified, std::string("\xa4\xa4\0z", 4), "\xd6\xd0"},
        {ConvertUtf8ToGbk, "", ""},
    };
    for (const auto& c : cases) {
        test::SetWorkerAnswer({ByteString(c.body), {}, {}});
        FetchOptions options;
        options.bodyConversion = c.conversion;
        Text url("http://h/");
        EXPECT_EQ(FetchPage(url, options), c.result) << c.conversion;
    }
}

TEST_F(FetchPageTest, ZeroOrNegativeLimitAlwaysTimesOut) {
    // The worker answers at once; the elapsed-time test still wins.
    test::SetWorkerAnswer({ByteString("body"), ByteString("a=1;"), ByteString("H")});
    for (const int32_t seconds : {0, -1, -60}) {
        Text headers("kept"), cookies("kept");
        FetchOptions options;
        options.timeoutSeconds = seconds;
        options.responseHeaders = &headers;
        options.responseCookies = &cookies;
        options.bodyConversion = ConvertUtf8ToGbk;
        Text url("http://h/");
        const ByteString result = FetchPage(url, options);
        EXPECT_EQ(result, TimeoutMessage) << seconds;
        EXPECT_EQ(result.size(), 94u);
        EXPECT_EQ(headers, "kept");
        EXPECT_EQ(cookies, "kept");
    }
}

TEST_F(FetchPageTest, TimeoutCancelsAndLetsGoOfTheWorker) {
    const int before = test::ThreadCount();
    Text headers("kept");
    FetchOptions options;
    options.timeoutSeconds = 1;
    options.responseHeaders = &headers;
    Text url("http://h/stall");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(FetchPage(url, options), TimeoutMessage);
    // A bound far above the limit: it tells "returned at the limit" from
    // "waited for a worker that never ends".
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_EQ(headers, "kept");
    EXPECT_TRUE(test::ThreadsBackTo(before)) << test::ThreadCount() << " threads, " << before << " before";
    EXPECT_EQ(test::WorkersCancelled(), 1);

    test::SetWorkerAnswer({ByteString("second"), {}, {}});
    Text again("http://h/");
    EXPECT_EQ(FetchPage(again, options), "second");
}

TEST_F(FetchPageTest, NoThreadGivesTheTimeoutAtOnce) {
    // The answer would be read if anything ran it; with no thread nothing may.
    test::SetWorkerAnswer({ByteString("body"), ByteString("a=1;"), ByteString("H")});
    SetWorkerThreadStartFailsForTest(true);
    Text headers("kept"), cookies("kept");
    FetchOptions options;  // the 60-second default limit
    options.responseHeaders = &headers;
    options.responseCookies = &cookies;
    Text url("http://h/");
    const auto started = std::chrono::steady_clock::now();
    const ByteString result = FetchPage(url, options);
    const auto took = std::chrono::steady_clock::now() - started;
    SetWorkerThreadStartFailsForTest(false);
    EXPECT_EQ(result, TimeoutMessage);
    // Half the limit tells "gave up at once" from "spun until the limit".
    EXPECT_LT(took, std::chrono::seconds(30));
    EXPECT_EQ(test::WorkerStarts(), 0);
    EXPECT_EQ(headers, "kept");
    EXPECT_EQ(cookies, "kept");
    EXPECT_EQ(url, "http://h/");

    Text again("http://h/");
    EXPECT_EQ(FetchPage(again), "body");
}

TEST_F(FetchPageTest, HundredTimeoutsLeaveNoThreadBehind) {
    const int before = test::ThreadCount();
    FetchOptions options;
    options.timeoutSeconds = 0;
    for (int i = 0; i < 100; ++i) {
        Text url("http://h/stall");
        ASSERT_EQ(FetchPage(url, options), TimeoutMessage);
    }
    EXPECT_TRUE(test::ThreadsBackTo(before)) << test::ThreadCount() << " threads, " << before << " before";
}

ByteString nestedResult;
bool nestedDone = false;

void FetchFromTimer() {
    test::SetWorkerAnswer({ByteString("inner"), {}, {}});
    Text url("http://h/inner");
    nestedResult = FetchPage(url);
    nestedDone = true;
    test::SetWorkerAnswer({ByteString("outer"), {}, {}});
    test::ReleaseHeld();
}

TEST_F(FetchPageTest, MessagesAreDispatchedDuringTheWait) {
    nestedDone = false;
    nestedResult.clear();
    if (!test::StartThreadTimer(50, FetchFromTimer)) GTEST_SKIP() << "no window messages on POSIX";
    FetchOptions options;
    options.timeoutSeconds = 20;
    Text url("http://h/hold");
    // The held worker ends only when the timer's callback has run and its own
    // fetch has come back: the outer fetch must dispatch messages meanwhile.
    EXPECT_EQ(FetchPage(url, options), "outer");
    EXPECT_TRUE(nestedDone);
    EXPECT_EQ(nestedResult, "inner");
}

}  // namespace
}  // namespace jestlark
