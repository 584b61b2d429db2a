// The ways an exchange fails, and its cancel.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fetch/PacketStream.h"
#include "fetch/RequestWorker.h"
#include "tests/worker/WorkerTestSupport.h"

namespace jestlark::test {
namespace {

using ::testing::IsEmpty;

class WorkerFailureTest : public WorkerTest {};

void ExpectEmptyAnswerWithRequestKept(const WorkerAnswer& answer, const WorkerRequest& request) {
    ASSERT_TRUE(answer.answered);
    EXPECT_THAT(answer.Body(), IsEmpty());
    EXPECT_THAT(answer.Cookies(), IsEmpty());
    EXPECT_THAT(answer.Headers(), IsEmpty());
    EXPECT_EQ(answer.packet[SlotProxy], request.proxy);
    EXPECT_EQ(answer.packet[SlotExtraHeaders], request.extraHeaders);
    EXPECT_EQ(answer.packet[SlotPostBody], request.postBody);
    EXPECT_EQ(answer.packet[SlotRedirects], request.redirects);
}

TEST_F(WorkerFailureTest, UnreachableServersGiveEmptySlots) {
    // A label over 63 bytes is refused by the resolver library itself, so the
    // unknown host costs no query to any name server.
    const std::string unknownHost = std::string(70, 'x') + ".invalid";
    const std::string closedPort = Environment("JESTLARK_CLOSED_PORT");
    ASSERT_FALSE(closedPort.empty());
    for (const std::string& url : {"http://127.0.0.1:" + closedPort + "/x", "http://" + unknownHost + "/x"}) {
        SCOPED_TRACE(url);
        WorkerRequest request;
        request.url = url;
        request.extraHeaders = "X-Kept: 1\r\n";
        request.postBody = "kept";
        request.cookies = "c=1";
        ExpectEmptyAnswerWithRequestKept(RunWorker(request), request);
    }
}

TEST_F(WorkerFailureTest, OtherVerbSendsNothing) {
    WorkerRequest request;
    request.url = RecordingUrl("put");
    request.verb = "PUT";
    request.postBody = "data";
    const WorkerAnswer answer = RunWorker(request);
    ASSERT_TRUE(answer.answered);
    EXPECT_THAT(answer.Body(), IsEmpty());
    EXPECT_THAT(answer.Headers(), IsEmpty());
    EXPECT_FALSE(RecordedBytes()) << "the server received a request";
}

TEST_F(WorkerFailureTest, StreamWithoutWholePacketIsLeftUntouched) {
    RequestPacket three(3);
    three[0] = ByteString(http_.Url("/echo"));
    three[1] = ByteString("GET");
    PacketStream stream;
    stream.Write(three);
    const std::string before = stream.Bytes();
    RequestWorker(stream);
    EXPECT_EQ(stream.Bytes(), before);

    PacketStream empty;
    RequestWorker(empty);
    EXPECT_THAT(empty.Bytes(), IsEmpty());
}

TEST_F(WorkerFailureTest, ResponseShorterThanRequestLeavesTheTailBehind) {
    WorkerRequest request;
    request.url = RecordingUrl("short-answer", "fixed") + "?body=k";
    request.verb = "POST";
    request.postBody = std::string(5000, 'p');
    const WorkerAnswer answer = RunWorker(request);
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(answer.Body(), "k");
    EXPECT_EQ(answer.packet[SlotPostBody], request.postBody);
}

TEST_F(WorkerFailureTest, CancelEndsABlockedExchange) {
    if (RunningUnderWine()) {
        GTEST_SKIP() << "Wine's WinInet does not end a blocked receive when another thread closes "
                        "its handle (Windows does); the cancel there only fails the calls after it";
    }
    InternetCancel cancel;
    WorkerRequest request;
    request.url = RecordingUrl("stall", "stall?seconds=20");
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        cancel.Cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    const WorkerAnswer answer = RunWorker(request, &cancel);
    const auto waited = std::chrono::steady_clock::now() - start;
    canceller.join();
    // The server answers after 20 s; returning well before that shows the
    // cancel, not the answer, ended the exchange.
    EXPECT_LT(waited, std::chrono::seconds(15));
    EXPECT_THAT(answer.Body(), IsEmpty());
}

TEST_F(WorkerFailureTest, CallsAfterACancelFailAtOnce) {
    InternetCancel cancel;
    cancel.Cancel();
    cancel.Cancel();
    EXPECT_TRUE(cancel.IsCancelled());
    WorkerRequest request;
    request.url = RecordingUrl("after-cancel");
    ExpectEmptyAnswerWithRequestKept(RunWorker(request, &cancel), request);
    EXPECT_FALSE(RecordedBytes()) << "a cancelled exchange still sent a request";
}

}  // namespace
}  // namespace jestlark::test
