#pragma once
// The WinInet calls one HTTP exchange makes, as RAII handles: WinInet itself on
// Windows, libcurl elsewhere with the same meaning of every flag and the same
// request on the wire.
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/InternetCancel.h"
#include "text/Text.h"

namespace jestlark {

// Request flags of HttpOpenRequestA, with WinInet's values. wininet.h defines
// the same names as macros with the same values.
#ifndef INTERNET_FLAG_RELOAD
inline constexpr uint32_t INTERNET_FLAG_RELOAD = 0x80000000u;
inline constexpr uint32_t INTERNET_FLAG_NEED_FILE = 0x00000010u;
inline constexpr uint32_t INTERNET_FLAG_NO_COOKIES = 0x00080000u;
inline constexpr uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000u;
inline constexpr uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000u;
inline constexpr uint32_t INTERNET_FLAG_SECURE = 0x00800000u;
#endif

// A request handle (HttpOpenRequestA). Closed with its value.
class InternetRequest {
public:
    struct Handle;
    InternetRequest();
    explicit InternetRequest(std::unique_ptr<Handle> handle);
    InternetRequest(InternetRequest&&) noexcept;
    InternetRequest& operator=(InternetRequest&&) noexcept;
    ~InternetRequest();

    explicit operator bool() const { return handle_ != nullptr; }

    // HttpSendRequestA: headers are lines each ending "\r\n"; an empty body is
    // sent as no data. False when nothing came back.
    bool Send(std::string_view headers, std::string_view body);
    // InternetReadFile: the body bytes placed in buffer, at most capacity;
    // 0 at the end of the body and when the read fails.
    uint32_t Read(char* buffer, uint32_t capacity);
    // HttpQueryInfoA with HTTP_QUERY_CONTENT_LENGTH: the body's announced
    // size, 0 when the response names none. A hint only: the body may end
    // sooner or run longer.
    uint64_t ContentLength();
    // HttpQueryInfoA with HTTP_QUERY_RAW_HEADERS_CRLF, asked again with a
    // buffer that fits when they need more than 2048 bytes: the status line and
    // every header line, each ending "\r\n", and the closing empty line. Empty
    // when no response arrived.
    ByteString RawHeaders();

private:
    std::unique_ptr<Handle> handle_;
};

// A connection handle (InternetConnectA, INTERNET_SERVICE_HTTP).
class InternetConnection {
public:
    struct Handle;
    InternetConnection();
    explicit InternetConnection(std::unique_ptr<Handle> handle);
    InternetConnection(InternetConnection&&) noexcept;
    InternetConnection& operator=(InternetConnection&&) noexcept;
    ~InternetConnection();

    explicit operator bool() const { return handle_ != nullptr; }

    // HttpOpenRequestA(verb, path, "HTTP/1.1", no referrer, no accept types,
    // flags); an empty request when it fails.
    InternetRequest OpenRequest(const Text& verb, const Text& path, uint32_t flags);

private:
    std::unique_ptr<Handle> handle_;
};

// An internet handle (InternetOpenA).
class InternetSession {
public:
    struct Handle;
    InternetSession();
    explicit InternetSession(std::unique_ptr<Handle> handle);
    InternetSession(InternetSession&&) noexcept;
    InternetSession& operator=(InternetSession&&) noexcept;
    ~InternetSession();

    // proxyList empty: INTERNET_OPEN_TYPE_DIRECT; otherwise
    // INTERNET_OPEN_TYPE_PROXY with that list ("http=host:port"). cancel, when
    // given, stops every exchange of the session and must outlive it.
    static InternetSession Open(const Text& agent, const Text& proxyList, InternetCancel* cancel);

    explicit operator bool() const { return handle_ != nullptr; }

    // InternetConnectA(host, port, no user, no password); empty when it fails.
    InternetConnection Connect(const Text& host, uint16_t port);

private:
    std::unique_ptr<Handle> handle_;
};

// InternetSetCookieA: stores a cookie in the process's cookie store, which
// later requests to that host carry unless they ask for no cookies. data is
// the cookie's value with its attributes ("1; path=/").
bool SetInternetCookie(const Text& url, const Text& name, const Text& data);

}  // namespace jestlark
