#pragma once
#include <optional>
#include <string>

namespace jestlark::test {

// A loopback server that a CTest fixture started for this run, found through
// the environment that jestlark_require_servers gives the tests:
// JESTLARK_SERVER_<FIXTURE> (host:port) and JESTLARK_SPOOL_<FIXTURE>.
class LoopbackServer {
public:
    // fixture as named in CMake, e.g. "http" or "https_untrusted".
    explicit LoopbackServer(const std::string& fixture);

    // False when the test runs without the fixture (started by hand, say).
    bool Available() const { return !host_.empty(); }
    // Why it is not available, for a skip message.
    std::string Missing() const;

    const std::string& Host() const { return host_; }
    int Port() const { return port_; }
    // "http://127.0.0.1:28100" (the port left out when it is the scheme's own).
    std::string BaseUrl(const std::string& scheme = "http") const;
    // BaseUrl + path; path begins with "/".
    std::string Url(const std::string& path, const std::string& scheme = "http") const;
    // The path that makes the http server record a request under id and then
    // serve behaviour, e.g. RecordPath("get1", "echo") is "/r/get1/echo".
    static std::string RecordPath(const std::string& id, const std::string& behaviour);

    // The raw bytes of the request recorded under id, or nothing when none came.
    std::optional<std::string> RecordedRequest(const std::string& id) const;
    // The response body the server sent for it (all bytes, or those before a cut).
    std::optional<std::string> SentBody(const std::string& id) const;

private:
    std::optional<std::string> ReadSpool(const std::string& name) const;

    std::string fixture_;
    std::string host_;
    int port_ = 0;
    std::string spool_;
};

// The test run's unique id prefix for recordings, so that repeated runs and
// several suites sharing one server never read each other's requests.
std::string UniqueId(const std::string& name);

// Percent-encodes every byte outside A-Z a-z 0-9 - _ . ~ for a query value.
std::string QueryEscape(const std::string& bytes);

// An environment variable's value, or "".
std::string Environment(const char* name);

}  // namespace jestlark::test
