#include "platform/posix/CookieStore.h"

#include <curl/curl.h>

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <vector>

namespace jestlark {
namespace {

struct Cookie {
    std::string domain;  // host, or the domain attribute without its leading dot
    bool tailMatch = false;
    std::string path;
    std::string name;
    std::string value;
    std::time_t expires = 0;  // 0: for the process's life
};

struct Store {
    std::mutex mutex;
    std::vector<Cookie> cookies;  // in the order they were first set
};

Store& TheStore() {
    static Store store;
    return store;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') c = char(c + 0x20);
    }
    return lowered;
}

// The default path: the request path up to, not including, its last "/".
std::string DefaultPath(const std::string& requestPath) {
    const std::string path = requestPath.substr(0, requestPath.find_first_of("?#"));
    const std::size_t slash = path.rfind('/');
    return (slash == std::string::npos || slash == 0) ? "/" : path.substr(0, slash);
}

bool DomainMatches(const Cookie& cookie, const std::string& host) {
    if (host == cookie.domain) return true;
    return cookie.tailMatch && host.size() > cookie.domain.size() &&
           host.compare(host.size() - cookie.domain.size(), cookie.domain.size(), cookie.domain) == 0 &&
           host[host.size() - cookie.domain.size() - 1] == '.';
}

bool PathMatches(const Cookie& cookie, const std::string& path) {
    if (path.compare(0, cookie.path.size(), cookie.path) != 0) return false;
    return path.size() == cookie.path.size() || cookie.path.back() == '/' || path[cookie.path.size()] == '/' ||
           path[cookie.path.size()] == '?';
}

}  // namespace

void StoreCookie(const std::string& host, const std::string& requestPath, const std::string& name,
                 std::string_view data) {
    Cookie cookie;
    cookie.name = name;
    cookie.domain = Lower(host);
    cookie.path = DefaultPath(requestPath);
    const std::size_t semicolon = data.find(';');
    cookie.value = std::string(Trim(data.substr(0, semicolon)));
    bool expired = false;
    std::string_view attributes = semicolon == std::string_view::npos ? std::string_view() : data.substr(semicolon + 1);
    while (!attributes.empty()) {
        const std::size_t end = attributes.find(';');
        const std::string_view attribute = Trim(attributes.substr(0, end));
        attributes = end == std::string_view::npos ? std::string_view() : attributes.substr(end + 1);
        const std::size_t equals = attribute.find('=');
        const std::string key = Lower(Trim(attribute.substr(0, equals)));
        const std::string value(equals == std::string_view::npos ? std::string_view() : Trim(attribute.substr(equals + 1)));
        if (key == "path" && !value.empty() && value[0] == '/') {
            cookie.path = value;
        } else if (key == "domain" && !value.empty()) {
            cookie.domain = Lower(value[0] == '.' ? value.substr(1) : value);
            cookie.tailMatch = true;
        } else if (key == "expires") {
            const std::time_t when = curl_getdate(value.c_str(), nullptr);
            if (when != -1) {
                cookie.expires = when;
                expired = when <= std::time(nullptr);
            }
        } else if (key == "max-age") {
            const long seconds = std::strtol(value.c_str(), nullptr, 10);
            cookie.expires = std::time(nullptr) + seconds;
            expired = seconds <= 0;
        }
    }
    Store& store = TheStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    for (auto it = store.cookies.begin(); it != store.cookies.end(); ++it) {
        if (it->domain == cookie.domain && it->path == cookie.path && it->name == cookie.name) {
            if (expired) {
                store.cookies.erase(it);
            } else {
                *it = std::move(cookie);
            }
            return;
        }
    }
    if (!expired) store.cookies.push_back(std::move(cookie));
}

void StoreSetCookieValue(const std::string& host, const std::string& requestPath, std::string_view value) {
    const std::size_t equals = value.find('=');
    const std::size_t semicolon = value.find(';');
    if (equals == std::string_view::npos || equals > semicolon) {
        StoreCookie(host, requestPath, std::string(), value);
        return;
    }
    StoreCookie(host, requestPath, std::string(Trim(value.substr(0, equals))), value.substr(equals + 1));
}

std::string CookieHeaderFor(const std::string& host, const std::string& path) {
    const std::string lowered = Lower(host);
    const std::time_t now = std::time(nullptr);
    Store& store = TheStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    std::string header;
    for (const Cookie& cookie : store.cookies) {
        if (cookie.expires != 0 && cookie.expires <= now) continue;
        if (!DomainMatches(cookie, lowered) || !PathMatches(cookie, path)) continue;
        if (!header.empty()) header += "; ";
        header += cookie.name.empty() ? cookie.value : cookie.name + "=" + cookie.value;
    }
    return header;
}

}  // namespace jestlark
