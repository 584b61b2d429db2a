// Sends one fixed set of requests through this build's internet backend to a
// recording server, each recorded as <tag>-<case>. wire_compare.py runs it
// from the linux and the win64 build against one server and compares.
// With OUT, the raw headers and cookie list of every answer go into
// OUT/<case>.headers and OUT/<case>.cookies for the same comparison.
// usage: worker_wire_corpus TAG HOST:PORT [OUT]
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/InternetSession.h"
#include "tests/support/LoopbackServer.h"
#include "tests/worker/WorkerHarness.h"

using namespace jestlark;
using namespace jestlark::test;

namespace {

struct Case {
    const char* name;
    std::string behaviour;  // path behind /r/<id>/, or a full URL tail
    WorkerRequest request;
    std::string hostOverride;  // another loopback name for the URL (proxy cases)
};

WorkerRequest Make(const std::string& verb, const std::string& extra = "", const std::string& body = "",
                   const std::string& cookies = "", const std::string& redirects = Yes) {
    WorkerRequest request;
    request.verb = verb;
    request.extraHeaders = extra;
    request.postBody = body;
    request.cookies = cookies;
    request.redirects = redirects;
    return request;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s TAG HOST:PORT [OUT]\n", argv[0]);
        return 2;
    }
    const std::string tag = argv[1];
    const std::string address = argv[2];
    const std::string base = "http://" + address;
    const std::string port = address.substr(address.rfind(':') + 1);
    const std::string out = argc == 4 ? argv[3] : "";
    auto record = [&tag](const std::string& name, const std::string& behaviour) {
        return LoopbackServer::RecordPath(tag + "-" + name, behaviour);
    };

    std::vector<Case> cases = {
        {"get", "echo", Make("GET"), ""},
        {"post-11", "echo", Make("POST", "", "hello world"), ""},
        {"post-empty", "echo", Make("POST"), ""},
        {"accept-language", "echo", Make("GET", "Accept-Language: en\r\n"), ""},
        {"referer-no", "echo", Make("GET", "RefererNo\r\n"), ""},
        {"referer-no-small", "echo", Make("GET", "refererno\r\n"), ""},
        {"user-agent", "echo", Make("GET", "User-Agent: Probe/1.0\r\n"), ""},
        {"user-agent-small", "echo", Make("GET", "X-First: 1\r\nuser-agent:   Probe/1.0  \r\n"), ""},
        {"spacing", "echo", Make("GET", "X-Sp:   a  b  \r\nX-NoSpace:v\r\nX-Tab:\tt\r\n"), ""},
        {"no-line-end", "echo", Make("GET", "X-A: 1"), ""},
        {"cookie-text", "echo", Make("GET", "", "", "a=1; b=2"), ""},
        {"cookie-blank", "echo", Make("POST", "", "abc", " "), ""},
        {"path-bytes", "echo?q=a%20b&x=\xD5\xE6&y=[1]", Make("GET"), ""},
        {"redirect-302-get", "redirect?status=302&to=" + QueryEscape(record("redirect-302-get-2", "echo")), Make("GET"), ""},
        {"redirect-302-post", "redirect?status=302&to=" + QueryEscape(record("redirect-302-post-2", "echo")),
         Make("POST", "", "hello world"), ""},
        {"redirect-307-post", "redirect?status=307&to=" + QueryEscape(record("redirect-307-post-2", "echo")),
         Make("POST", "", "hello world"), ""},
        {"redirect-303-cookie",
         "fixed?status=303&h=" + QueryEscape("Location: " + base + record("redirect-303-cookie-2", "echo")) +
             "&h=" + QueryEscape("Set-Cookie: hop=1; path=/"),
         Make("POST", "X-Extra: 1\r\n", "abc"), ""},
        {"redirect-refused", "redirect?status=302&to=/elsewhere", Make("GET", "", "", "", No), ""},
        {"response-fields",
         "fixed?status=201&reason=Made%20It&h=" + QueryEscape("X-Sp:   a  b  ") + "&h=" + QueryEscape("X-Tab:\tt") +
             "&h=" + QueryEscape("X-Gbk: \xD5\xE6\xBC\xD9") + "&h=" + QueryEscape("X-Odd: a\x1A" "b") +
             "&h=" + QueryEscape("x-dup: 1") + "&h=" + QueryEscape("X-Dup: 2") + "&h=" +
             QueryEscape("set-cookie: r1=1; path=/") + "&h=" + QueryEscape("Set-Cookie: r2=2") + "&body=ok",
         Make("GET"), ""},
        {"response-big", "fixed?pad=3000&h=" + QueryEscape("Set-Cookie: late=1; path=/"), Make("GET"), ""},
        // The recording server stands in as the proxy for a host WinInet does not go around.
        {"proxy", "echo", Make("GET"), "127.0.0.2:" + port},
    };
    cases.back().request.proxy = address;

    SetInternetCookie(Text("http://" + address.substr(0, address.rfind(':'))), Text("stored"), Text("1; path=/r/" + tag + "-stored"));
    cases.push_back({"stored", "echo", Make("GET"), ""});

    int failures = 0;
    for (Case& c : cases) {
        const std::string host = c.hostOverride.empty() ? address : c.hostOverride;
        c.request.url = "http://" + host + record(c.name, c.behaviour);
        const WorkerAnswer answer = RunWorker(c.request);
        std::printf("%-22s %s body %zu bytes, headers %zu bytes\n", c.name, answer.answered ? "answered" : "NO ANSWER",
                    answer.Body().size(), answer.Headers().size());
        if (!answer.answered) ++failures;
        if (!out.empty()) {
            std::ofstream(out + "/" + c.name + ".headers", std::ios::binary) << answer.Headers();
            std::ofstream(out + "/" + c.name + ".cookies", std::ios::binary) << answer.Cookies();
        }
    }
    return failures == 0 ? 0 : 1;
}
