#pragma once
// What the worker suites share: the servers of the run and short ways to
// send one request and read back what the server saw.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/LoopbackServer.h"
#include "tests/worker/RecordedRequest.h"
#include "tests/worker/WorkerHarness.h"

namespace jestlark::test {

inline const char DefaultAgent[] =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
inline const char DefaultAccept[] =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*";

// The win64 build's tests run under Wine, whose wine-run.sh names the prefix.
inline bool RunningUnderWine() {
#if defined(_WIN32)
    return !Environment("WINEPREFIX").empty();
#else
    return false;
#endif
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!http_.Available()) GTEST_SKIP() << http_.Missing();
    }

    // A URL on the http server that records the request under a fresh id.
    std::string RecordingUrl(const std::string& name, const std::string& behaviour = "echo") {
        id_ = UniqueId(name);
        return http_.Url(LoopbackServer::RecordPath(id_, behaviour));
    }
    std::optional<RecordedRequest> Recorded() const { return ParseRecordedRequest(http_.RecordedRequest(id_)); }
    std::optional<std::string> RecordedBytes() const { return http_.RecordedRequest(id_); }
    std::optional<std::string> Sent() const { return http_.SentBody(id_); }
    std::string HostField() const { return http_.Host() + ":" + std::to_string(http_.Port()); }

    LoopbackServer http_{"http"};
    std::string id_;
};

}  // namespace jestlark::test
