// https against the run's own TLS servers, with full verification.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/InternetTrust.h"
#include "tests/worker/WorkerTestSupport.h"

namespace jestlark::test {
namespace {

using ::testing::IsEmpty;
using ::testing::StartsWith;

class WorkerTlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const LoopbackServer* server : {&trusted_, &untrusted_}) {
            if (!server->Available()) GTEST_SKIP() << server->Missing();
        }
        trust_ = std::make_unique<ScopedInternetTrust>(Environment("JESTLARK_TEST_CA_PEM"),
                                                       Environment("JESTLARK_TEST_CA_DER"));
        ASSERT_TRUE(*trust_) << "the test CA could not be trusted for this run";
    }

    LoopbackServer trusted_{"https"};
    LoopbackServer untrusted_{"https_untrusted"};
    std::unique_ptr<ScopedInternetTrust> trust_;
};

TEST_F(WorkerTlsTest, TrustedServerAnswersOnPort443) {
    const std::string id = UniqueId("tls-get");
    WorkerRequest request;
    // The port in the URL is passed over: every https request goes to 443.
    request.url = "https://" + trusted_.Host() + ":8443" + LoopbackServer::RecordPath(id, "echo");
    const WorkerAnswer answer = RunWorker(request);
    const auto recorded = ParseRecordedRequest(trusted_.RecordedRequest(id));
    ASSERT_TRUE(recorded) << "nothing reached the TLS server";
    EXPECT_EQ(recorded->requestLine, "GET " + LoopbackServer::RecordPath(id, "echo") + " HTTP/1.1");
    EXPECT_EQ(recorded->Values("Host"), std::vector<std::string>{trusted_.Host()});
    EXPECT_THAT(answer.Body(), StartsWith(recorded->requestLine));
    EXPECT_THAT(answer.Headers(), StartsWith("HTTP/1.1 200 OK\r\n"));
}

TEST_F(WorkerTlsTest, HttpUrlNamingHttpsLaterGoesOverTlsTo443) {
    const std::string id = UniqueId("tls-in-query");
    WorkerRequest request;
    request.url = "http://" + trusted_.Host() + ":8080" + LoopbackServer::RecordPath(id, "echo") +
                  "?next=https://elsewhere.test/";
    const WorkerAnswer answer = RunWorker(request);
    const auto recorded = ParseRecordedRequest(trusted_.RecordedRequest(id));
    ASSERT_TRUE(recorded) << "the request did not reach the TLS server on 443";
    EXPECT_THAT(answer.Body(), StartsWith(recorded->requestLine));
}

TEST_F(WorkerTlsTest, HttpsFollowsRedirectsWhateverTheSlotSays) {
    const std::string to = LoopbackServer::RecordPath(UniqueId("tls-final"), "fixed") + "?body=arrived";
    WorkerRequest request;
    request.url = trusted_.Url(LoopbackServer::RecordPath(UniqueId("tls-redirect"), "redirect"), "https") +
                  "?body=moved&to=" + QueryEscape(to);
    request.redirects = No;
    request.cookies = "c=1";
    EXPECT_EQ(RunWorker(request).Body(), "arrived");
}

TEST_F(WorkerTlsTest, UntrustedCertificateFails) {
    const std::string id = UniqueId("tls-untrusted");
    WorkerRequest request;
    request.url = untrusted_.Url(LoopbackServer::RecordPath(id, "echo"), "https");
    const WorkerAnswer answer = RunWorker(request);
    ASSERT_TRUE(answer.answered);
    EXPECT_THAT(answer.Body(), IsEmpty());
    EXPECT_THAT(answer.Headers(), IsEmpty());
    EXPECT_FALSE(untrusted_.RecordedRequest(id)) << "a request went out over an untrusted connection";
}

}  // namespace
}  // namespace jestlark::test
