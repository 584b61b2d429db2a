#pragma once
// The process-wide cookie store that stands in for the system's: what
// SetInternetCookie and responses put in, requests to that host carry.
#include <string>
#include <string_view>

namespace jestlark {

// Stores name with data (the value and its attributes: path, domain,
// expires, max-age) for host, as received for requestPath. An expiry in the
// past removes the cookie.
void StoreCookie(const std::string& host, const std::string& requestPath, const std::string& name,
                 std::string_view data);

// A Set-Cookie header value: "name=value; attributes".
void StoreSetCookieValue(const std::string& host, const std::string& requestPath, std::string_view value);

// "a=1; b=2" for a request to host and path, or "" when none applies.
std::string CookieHeaderFor(const std::string& host, const std::string& path);

}  // namespace jestlark
