// UrlHost, UrlPath and UrlPort on any text, with and without the scheme.
#include <cstddef>
#include <cstdint>
#include <string>
#include "FuzzInput.h"
#include "fetch/Url.h"

using namespace jestlark;

namespace {
bool IsDigits(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const uint8_t form = input.Byte();
    const std::string rest = input.Rest();
    const std::string url = (form & 1 ? "http://" : "") + rest;

    const Text host = UrlHost(Text(url));
    const Text path = UrlPath(Text(url));
    const int32_t port = UrlPort(Text(url));
    FUZZ_CHECK(host.size() <= url.size());
    FUZZ_CHECK(!path.empty() && path[0] == '/');
    FUZZ_CHECK(path == "/" || (path.size() <= url.size() && url.compare(url.size() - path.size(), path.size(), path) == 0));
    // A plain decimal port is read as itself.
    if (IsDigits(rest)) FUZZ_CHECK(UrlPort(Text("http://h:" + rest + "/")) == std::stoi(rest));
    (void)port;
    return 0;
}
