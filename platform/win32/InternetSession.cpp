#include "platform/InternetSession.h"

#include <cstdlib>
#include <string>

#include "platform/win32/InternetCancelState.h"

namespace jestlark {

struct InternetSession::Handle {
    Handle(HINTERNET handle, InternetCancel::State* cancel) : internet(handle, cancel) {}
    WinInetHandle internet;
};
struct InternetConnection::Handle {
    Handle(HINTERNET handle, InternetCancel::State* cancel) : connection(handle, cancel) {}
    WinInetHandle connection;
};
struct InternetRequest::Handle {
    Handle(HINTERNET handle, InternetCancel::State* cancel) : request(handle, cancel) {}
    WinInetHandle request;
};

namespace {

constexpr DWORD HeaderBufferBytes = 2048;

InternetCancel::State* StateOf(InternetCancel* cancel) { return cancel ? &cancel->GetState() : nullptr; }

// One header query into a buffer of bytes blanks and a terminating zero.
// False with needed set when WinInet asks for a larger buffer.
bool QueryRawHeaders(HINTERNET request, DWORD bytes, ByteString& headers, DWORD& needed) {
    std::string buffer(bytes, ' ');
    buffer.push_back('\0');
    DWORD length = bytes;
    if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr)) {
        headers = ByteString(buffer.substr(0, buffer.find('\0')));
        // Without a response the query may still succeed with only the
        // closing line end: that is no headers.
        if (headers.find_first_not_of("\r\n") == std::string::npos) headers.clear();
        return true;
    }
    needed = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? length : 0;
    return false;
}

}  // namespace

InternetSession::InternetSession() = default;
InternetSession::InternetSession(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InternetSession::InternetSession(InternetSession&&) noexcept = default;
InternetSession& InternetSession::operator=(InternetSession&&) noexcept = default;
InternetSession::~InternetSession() = default;

InternetSession InternetSession::Open(const Text& agent, const Text& proxyList, InternetCancel* cancel) {
    const DWORD access = proxyList.empty() ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PROXY;
    InternetCancel::State* state = StateOf(cancel);
    HINTERNET internet = OpenWinInetHandle(
        state, [&] { return InternetOpenA(agent.c_str(), access, proxyList.c_str(), "", 0); });
    auto handle = std::make_unique<Handle>(internet, state);
    if (!handle->internet) return InternetSession();
    return InternetSession(std::move(handle));
}

InternetConnection InternetSession::Connect(const Text& host, uint16_t port) {
    if (!handle_) return InternetConnection();
    InternetCancel::State* state = handle_->internet.Cancel();
    HINTERNET connection = handle_->internet.Use(HINTERNET(nullptr), [&](HINTERNET internet) {
        return OpenWinInetHandle(state, [&] {
            return InternetConnectA(internet, host.c_str(), port, "", "", INTERNET_SERVICE_HTTP, 0, 0);
        });
    });
    auto handle = std::make_unique<InternetConnection::Handle>(connection, state);
    if (!handle->connection) return InternetConnection();
    return InternetConnection(std::move(handle));
}

InternetConnection::InternetConnection() = default;
InternetConnection::InternetConnection(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InternetConnection::InternetConnection(InternetConnection&&) noexcept = default;
InternetConnection& InternetConnection::operator=(InternetConnection&&) noexcept = default;
InternetConnection::~InternetConnection() = default;

InternetRequest InternetConnection::OpenRequest(const Text& verb, const Text& path, uint32_t flags) {
    if (!handle_) return InternetRequest();
    InternetCancel::State* state = handle_->connection.Cancel();
    HINTERNET request = handle_->connection.Use(HINTERNET(nullptr), [&](HINTERNET connection) {
        return OpenWinInetHandle(state, [&] {
            return HttpOpenRequestA(connection, verb.c_str(), path.c_str(), "HTTP/1.1", "", nullptr, flags, 0);
        });
    });
    auto handle = std::make_unique<InternetRequest::Handle>(request, state);
    if (!handle->request) return InternetRequest();
    return InternetRequest(std::move(handle));
}

InternetRequest::InternetRequest() = default;
InternetRequest::InternetRequest(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InternetRequest::InternetRequest(InternetRequest&&) noexcept = default;
InternetRequest& InternetRequest::operator=(InternetRequest&&) noexcept = default;
InternetRequest::~InternetRequest() = default;

bool InternetRequest::Send(std::string_view headers, std::string_view body) {
    if (!handle_) return false;
    std::string block(headers);
    std::string data(body);
    return handle_->request.Use(false, [&](HINTERNET request) {
        return HttpSendRequestA(request, block.empty() ? nullptr : block.c_str(), DWORD(block.size()),
                                data.empty() ? nullptr : data.data(), DWORD(data.size())) != FALSE;
    });
}

uint32_t InternetRequest::Read(char* buffer, uint32_t capacity) {
    if (!handle_) return 0;
    return handle_->request.Use(uint32_t(0), [&](HINTERNET request) {
        DWORD count = 0;
        return InternetReadFile(request, buffer, capacity, &count) ? uint32_t(count) : uint32_t(0);
    });
}

uint64_t InternetRequest::ContentLength() {
    if (!handle_) return 0;
    return handle_->request.Use(uint64_t(0), [](HINTERNET request) {
        char digits[32] = {};
        DWORD length = sizeof(digits) - 1;
        if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, digits, &length, nullptr)) return uint64_t(0);
        return uint64_t(std::strtoull(digits, nullptr, 10));
    });
}

ByteString InternetRequest::RawHeaders() {
    if (!handle_) return ByteString();
    return handle_->request.Use(ByteString(), [](HINTERNET request) {
        ByteString headers;
        DWORD needed = 0;
        // WinInet names the size it needs when the headers do not fit; the
        // second query can only fail again if they grew in between.
        if (QueryRawHeaders(request, HeaderBufferBytes, headers, needed)) return headers;
        for (int attempt = 0; attempt < 2 && needed > 0; ++attempt) {
            const DWORD bytes = needed + 1;
            if (QueryRawHeaders(request, bytes, headers, needed)) return headers;
        }
        return ByteString();
    });
}

bool SetInternetCookie(const Text& url, const Text& name, const Text& data) {
    return InternetSetCookieA(url.c_str(), name.c_str(), data.c_str()) != FALSE;
}

}  // namespace jestlark
