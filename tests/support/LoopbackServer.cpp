#include "tests/support/LoopbackServer.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace jestlark::test {
namespace {

bool AsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string EnvironmentName(const char* prefix, const std::string& fixture) {
    std::string name = prefix;
    for (unsigned char c : fixture) name += AsciiAlnum(c) ? char(c >= 'a' && c <= 'z' ? c - 0x20 : c) : '_';
    return name;
}

}  // namespace

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

LoopbackServer::LoopbackServer(const std::string& fixture) : fixture_(fixture) {
    const std::string address = Environment(EnvironmentName("JESTLARK_SERVER_", fixture).c_str());
    const std::size_t colon = address.rfind(':');
    if (colon == std::string::npos) return;
    host_ = address.substr(0, colon);
    port_ = std::atoi(address.c_str() + colon + 1);
    spool_ = Environment(EnvironmentName("JESTLARK_SPOOL_", fixture).c_str());
}

std::string LoopbackServer::Missing() const {
    return "the " + fixture_ + " server fixture is not running for this test (" +
           EnvironmentName("JESTLARK_SERVER_", fixture_) + " is not set; run the test through ctest)";
}

std::string LoopbackServer::BaseUrl(const std::string& scheme) const {
    const bool ownPort = (scheme == "http" && port_ == 80) || (scheme == "https" && port_ == 443);
    return scheme + "://" + host_ + (ownPort ? "" : ":" + std::to_string(port_));
}

std::string LoopbackServer::Url(const std::string& path, const std::string& scheme) const {
    return BaseUrl(scheme) + path;
}

std::string LoopbackServer::RecordPath(const std::string& id, const std::string& behaviour) {
    return "/r/" + id + "/" + behaviour;
}

std::optional<std::string> LoopbackServer::ReadSpool(const std::string& name) const {
    if (spool_.empty()) return std::nullopt;
    std::ifstream file(spool_ + "/" + name, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::optional<std::string> LoopbackServer::RecordedRequest(const std::string& id) const {
    return ReadSpool(id + ".req");
}

std::optional<std::string> LoopbackServer::SentBody(const std::string& id) const {
    return ReadSpool(id + ".sent");
}

std::string UniqueId(const std::string& name) {
    static const long long run =
        std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
    static std::atomic<int> counter{0};
    std::ostringstream id;
    id << name << "-" << run << "-" << counter++;
    return id.str();
}

std::string QueryEscape(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (AsciiAlnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

}  // namespace jestlark::test
