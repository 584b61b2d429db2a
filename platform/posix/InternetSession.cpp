#include "platform/InternetSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/posix/CookieStore.h"
#include "platform/posix/HeaderLines.h"
#include "platform/posix/InternetCancelState.h"
#include "platform/posix/TrustedAuthority.h"

// libcurl carries the exchange with WinInet's meaning of every flag: it sends
// exactly the header fields WinInet would, in WinInet's order; redirects are
// followed here, hop by hop, as WinInet does it; cookies come from and go to
// the process-wide store unless INTERNET_FLAG_NO_COOKIES; there is no cache.
// The body is pulled through a multi handle piece by piece, so that reading
// keeps pace with the caller and a cancel is seen within a poll interval.

namespace jestlark {

struct SessionSettings {
    Text agent;
    Text proxyList;
    InternetCancel::State* cancel = nullptr;
};

struct InternetSession::Handle {
    SessionSettings settings;
};

struct InternetConnection::Handle {
    SessionSettings settings;
    Text host;
    uint16_t port = 0;
};

namespace {

constexpr int PollMilliseconds = 100;
constexpr int MaxRedirects = 30;
// Fewer, larger receives: each system call costs more than the copy.
constexpr long ReceiveBufferBytes = 256L * 1024;
// Body bytes held for the reader at most before the transfer pauses, so that
// a large body is never held twice over.
constexpr std::size_t PendingLimit = 512 * 1024;

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlFree {
    void operator()(char* text) const { curl_free(text); }
};

void InitialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Where one hop of a request goes.
struct Target {
    bool secure = false;
    std::string host;
    uint16_t port = 0;
    std::string path;

    bool DefaultPort() const { return port == (secure ? 443 : 80); }
    // The Host field, and the authority of the URL: the port only when it is
    // not the scheme's own.
    std::string HostField() const { return DefaultPort() ? host : host + ":" + std::to_string(port); }
    std::string Origin() const { return std::string(secure ? "https://" : "http://") + HostField(); }
};

bool IsLoopbackName(const std::string& host) {
    return host == "localhost" || host == "127.0.0.1" || host == "::1" || host == "[::1]";
}

// The proxy for a scheme from a WinInet proxy list: entries apart by blanks
// or ";", each "scheme=server" or a bare server for every scheme. WinInet
// goes around the proxy for the loopback host itself.
std::string ProxyFor(const std::string& list, const Target& target) {
    if (IsLoopbackName(target.host)) return std::string();
    const std::string scheme = target.secure ? "https" : "http";
    std::string bare;
    std::size_t at = 0;
    while (at < list.size()) {
        const std::size_t end = list.find_first_of("; ", at);
        const std::string entry = list.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? list.size() : end + 1;
        if (entry.empty()) continue;
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            if (bare.empty()) bare = entry;
        } else if (entry.compare(0, equals, scheme) == 0 && equals == scheme.size()) {
            return entry.substr(equals + 1);
        }
    }
    return bare;
}

bool IsRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

struct InternetRequest::Handle {
    SessionSettings settings;
    Target target;
    std::string verb;
    uint32_t flags = 0;

    RequestHeaders fields;
    std::string body;

    std::unique_ptr<CURLM, MultiCleanup> multi;
    std::unique_ptr<CURL, EasyCleanup> easy;
    std::unique_ptr<curl_slist, ListFree> list;
    std::string url;
    std::string requestTarget;
    std::string proxy;
    std::string authority;

    // The response being received: its header lines from the status line on.
    std::vector<std::string> received;
    long status = 0;
    bool headersDone = false;
    bool done = false;
    // Body bytes that arrived and were not read yet, from pendingAt on.
    std::string pending;
    std::size_t pendingAt = 0;
    bool paused = false;

    Handle(SessionSettings sessionSettings, Target requestTarget, std::string requestVerb, uint32_t requestFlags)
        : settings(std::move(sessionSettings)),
          target(std::move(requestTarget)),
          verb(std::move(requestVerb)),
          flags(requestFlags) {}

    ~Handle() { Detach(); }

    bool Cancelled() const { return IsCancelled(settings.cancel); }
    bool CookiesOn() const { return (flags & INTERNET_FLAG_NO_COOKIES) == 0; }

    void Detach() {
        if (multi && easy) curl_multi_remove_handle(multi.get(), easy.get());
        easy.reset();
        list.reset();
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
        auto* handle = static_cast<Handle*>(self);
        const std::string line(data, size * count);
        if (line.compare(0, 5, "HTTP/") == 0) {
            handle->received.clear();
            handle->headersDone = false;
            const std::size_t space = line.find(' ');
            handle->status = space == std::string::npos ? 0 : std::strtol(line.c_str() + space + 1, nullptr, 10);
        }
        if (line == "\r\n" || line == "\n") {
            // An interim answer (100 Continue) is followed by the real one.
            if (handle->status >= 100 && handle->status < 200) {
                handle->received.clear();
            } else {
                handle->headersDone = true;
            }
            return size * count;
        }
        handle->received.push_back(line);
        return size * count;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* self) {
        auto* handle = static_cast<Handle*>(self);
        if (handle->pending.size() - handle->pendingAt >= PendingLimit) {
            handle->paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        handle->pending.append(data, size * count);
        return size * count;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<Handle*>(self)->Cancelled() ? 1 : 0;
    }

    void BuildList() {
        std::unique_ptr<curl_slist, ListFree> built;
        auto add = [&built](const std::string& line) {
            if (curl_slist* grown = curl_slist_append(built.get(), line.c_str())) {
                built.release();
                built.reset(grown);
            }
        };
        // libcurl writes a Host field first whatever its place in the list,
        // and reads "Name:" as "send no such field". A Host that WinInet has
        // moved further down (after a redirect) and a field with an empty
        // value therefore go out behind the line before them, unseen by
        // libcurl; its own Host is then dropped.
        const std::vector<std::string> lines = fields.Lines();
        std::string previous;
        bool ownHost = true;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const bool host = curl_strnequal(lines[i].c_str(), "Host:", 5);
            const bool empty = lines[i].back() == ' ';
            if (i > 0 && (host || empty)) {
                previous += "\r\n" + lines[i];
                ownHost = ownHost && !host;
            } else {
                if (i > 0) add(previous);
                previous = lines[i];
            }
        }
        if (!lines.empty()) add(previous);
        if (!ownHost) add("Host:");
        // libcurl's own fields that WinInet does not send.
        if (!fields.Has("Accept")) add("Accept:");
        if (!fields.Has("Content-Type")) add("Content-Type:");
        add("Expect:");
        if (!ProxyFor(settings.proxyList, target).empty()) add("Proxy-Connection:");
        list = std::move(built);
    }

    bool StartHop() {
        received.clear();
        status = 0;
        headersDone = false;
        done = false;
        pending.clear();
        pendingAt = 0;
        paused = false;
        easy.reset(curl_easy_init());
        if (!easy || !multi) return false;
        BuildList();
        CURL* e = easy.get();
        url = target.Origin() + "/";
        proxy = ProxyFor(settings.proxyList, target);
        // The request line carries the path exactly as given; through a proxy
        // it is the absolute URL, as WinInet writes it.
        requestTarget = proxy.empty() ? target.path : target.Origin() + target.path;
        curl_easy_setopt(e, CURLOPT_URL, url.c_str());
        curl_easy_setopt(e, CURLOPT_REQUEST_TARGET, requestTarget.c_str());
        curl_easy_setopt(e, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, list.get());
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(e, CURLOPT_BUFFERSIZE, ReceiveBufferBytes);
        curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Handle::OnHeader);
        curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Handle::OnBody);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Handle::OnProgress);
        curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
        if (target.secure) {
            curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
            curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
            authority = TrustedAuthorityFile();
            if (!authority.empty()) curl_easy_setopt(e, CURLOPT_CAINFO, authority.c_str());
        }
        if (verb == "GET" && body.empty()) {
            curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        } else if (verb == "HEAD") {
            curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
        } else {
            curl_easy_setopt(e, CURLOPT_POST, 1L);
            curl_easy_setopt(e, CURLOPT_POSTFIELDS, body.data());
            curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
            if (verb != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, verb.c_str());
        }
        return curl_multi_add_handle(multi.get(), e) == CURLM_OK;
    }

    // Drives the transfer until ready() holds or it ends (or is cancelled).
    template <class Ready>
    void Pump(Ready ready) {
        while (!done && !ready()) {
            if (Cancelled()) {
                Finish();
                return;
            }
            int running = 0;
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
                Finish();
                return;
            }
            int left = 0;
            while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
                if (message->msg == CURLMSG_DONE) done = true;
            }
            if (done || ready()) return;
            curl_multi_poll(multi.get(), nullptr, 0, PollMilliseconds, nullptr);
        }
    }

    void Finish() {
        done = true;
        Detach();
    }

    std::string Field(const char* name) const {
        for (std::size_t i = 1; i < received.size(); ++i) {
            std::string fieldName, value;
            const std::string line = received[i].substr(0, received[i].find_first_of("\r\n"));
            if (SplitField(line, fieldName, value) && curl_strequal(fieldName.c_str(), name)) return value;
        }
        return std::string();
    }

    void StoreResponseCookies() {
        for (std::size_t i = 1; i < received.size(); ++i) {
            std::string name, value;
            const std::string line = received[i].substr(0, received[i].find_first_of("\r\n"));
            if (SplitField(line, name, value) && curl_strequal(name.c_str(), "Set-Cookie")) {
                StoreSetCookieValue(target.host, target.path, value);
            }
        }
    }

    void InsertStoredCookies() {
        if (!CookiesOn()) return;
        const std::string cookies = CookieHeaderFor(target.host, target.path);
        if (!cookies.empty()) fields.Replace("Cookie", cookies);
    }

    // The next hop of an answered redirect, when it is to be followed.
    bool NextHop() {
        if ((flags & INTERNET_FLAG_NO_AUTO_REDIRECT) != 0 || !IsRedirect(status)) return false;
        const std::string location = Field("Location");
        if (location.empty()) return false;
        std::unique_ptr<CURLU, UrlCleanup> resolved(curl_url());
        const std::string current = target.Origin() + target.path;
        if (!resolved || curl_url_set(resolved.get(), CURLUPART_URL, current.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK ||
            curl_url_set(resolved.get(), CURLUPART_URL, location.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) {
            return false;
        }
        auto part = [&resolved](CURLUPart which, unsigned int partFlags) {
            char* text = nullptr;
            if (curl_url_get(resolved.get(), which, &text, partFlags) != CURLUE_OK || !text) return std::string();
            std::unique_ptr<char, CurlFree> owned(text);
            return std::string(owned.get());
        };
        const std::string scheme = part(CURLUPART_SCHEME, 0);
        if (scheme != "http" && scheme != "https") return false;
        Target next;
        next.secure = scheme == "https";
        next.host = part(CURLUPART_HOST, 0);
        next.port = uint16_t(std::strtol(part(CURLUPART_PORT, CURLU_DEFAULT_PORT).c_str(), nullptr, 10));
        next.path = part(CURLUPART_PATH, 0);
        const std::string query = part(CURLUPART_QUERY, 0);
        if (!query.empty()) next.path += "?" + query;
        if (next.host.empty()) return false;

        if ((status == 303 && verb != "HEAD") || ((status == 301 || status == 302) && verb == "POST")) {
            verb = "GET";
            body.clear();
            fields.Remove("Content-Type");
            fields.Remove("Content-Length");
        }
        target = std::move(next);
        fields.Replace("Host", target.HostField());
        if (CookiesOn()) fields.Remove("Cookie");
        InsertStoredCookies();
        return true;
    }

    bool Send(std::string_view headers, std::string_view data) {
        multi.reset(curl_multi_init());
        if (!multi) return false;
        body.assign(data);
        fields.Replace("Host", target.HostField());
        if (!body.empty() || verb != "GET") fields.Replace("Content-Length", std::to_string(body.size()));
        fields.AddIfNew("User-Agent", settings.agent);
        fields.AddBlock(headers);
        InsertStoredCookies();
        for (int hop = 0;; ++hop) {
            if (Cancelled() || !StartHop()) {
                Finish();
                return false;
            }
            Pump([this] { return headersDone; });
            if (!headersDone) return false;
            if (CookiesOn()) StoreResponseCookies();
            if (hop == MaxRedirects || !NextHop()) return true;
            Detach();
        }
    }

    uint32_t Read(char* buffer, uint32_t capacity) {
        if (Cancelled()) return 0;
        if (pendingAt == pending.size()) {
            pending.clear();
            pendingAt = 0;
            if (paused && easy) {
                paused = false;
                curl_easy_pause(easy.get(), CURLPAUSE_CONT);
            }
            Pump([this] { return !pending.empty(); });
        }
        const std::size_t count = std::min<std::size_t>(capacity, pending.size() - pendingAt);
        pending.copy(buffer, count, pendingAt);
        pendingAt += count;
        return uint32_t(count);
    }

    uint64_t ContentLength() {
        if (!headersDone) return 0;
        const std::string length = Field("Content-Length");
        return length.empty() ? 0 : std::strtoull(length.c_str(), nullptr, 10);
    }

    ByteString RawHeaders() {
        if (!easy && !headersDone) return ByteString();
        Pump([this] { return headersDone; });
        return headersDone ? ByteString(RawResponseHeaders(received)) : ByteString();
    }
};

InternetSession::InternetSession() = default;
InternetSession::InternetSession(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InternetSession::InternetSession(InternetSession&&) noexcept = default;
InternetSession& InternetSession::operator=(InternetSession&&) noexcept = default;
InternetSession::~InternetSession() = default;

InternetSession InternetSession::Open(const Text& agent, const Text& proxyList, InternetCancel* cancel) {
    InitialiseCurl();
    InternetCancel::State* state = cancel ? &cancel->GetState() : nullptr;
    if (IsCancelled(state)) return InternetSession();
    return InternetSession(std::make_unique<Handle>(Handle{SessionSettings{agent, proxyList, state}}));
}

InternetConnection InternetSession::Connect(const Text& host, uint16_t port) {
    if (!handle_ || IsCancelled(handle_->settings.cancel) || host.empty()) return InternetConnection();
    return InternetConnection(std::make_unique<InternetConnection::Handle>(
        InternetConnection::Handle{handle_->settings, host, port}));
}

InternetConnection::InternetConnection() = default;
InternetConnection::InternetConnection(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InternetConnection::InternetConnection(InternetConnection&&) noexcept = default;
InternetConnection& InternetConnection::operator=(InternetConnection&&) noexcept = default;
InternetConnection::~InternetConnection() = default;

InternetRequest InternetConnection::OpenRequest(const Text& verb, const Text& path, uint32_t flags) {
    if (!handle_ || IsCancelled(handle_->settings.cancel) || verb.empty()) return InternetRequest();
    Target target;
    target.secure = (flags & INTERNET_FLAG_SECURE) != 0;
    target.host = handle_->host;
    target.port = handle_->port;
    target.path = path.empty() ? "/" : path;
    return InternetRequest(std::make_unique<InternetRequest::Handle>(handle_->settings, target, verb, flags));
}

InternetRequest::InternetRequest() = default;
InternetRequest::InternetRequest(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
InternetRequest::InternetRequest(InternetRequest&&) noexcept = default;
InternetRequest& InternetRequest::operator=(InternetRequest&&) noexcept = default;
InternetRequest::~InternetRequest() = default;

bool InternetRequest::Send(std::string_view headers, std::string_view body) {
    if (!handle_ || handle_->Cancelled() || handle_->multi) return false;
    return handle_->Send(headers, body);
}

uint32_t InternetRequest::Read(char* buffer, uint32_t capacity) {
    if (!handle_ || !handle_->multi) return 0;
    return handle_->Read(buffer, capacity);
}

uint64_t InternetRequest::ContentLength() {
    if (!handle_ || !handle_->multi) return 0;
    return handle_->ContentLength();
}

ByteString InternetRequest::RawHeaders() {
    if (!handle_ || !handle_->multi) return ByteString();
    return handle_->RawHeaders();
}

bool SetInternetCookie(const Text& url, const Text& name, const Text& data) {
    InitialiseCurl();
    std::unique_ptr<CURLU, UrlCleanup> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
    char* host = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK || !host) return false;
    std::unique_ptr<char, CurlFree> ownedHost(host);
    char* path = nullptr;
    std::string requestPath = "/";
    if (curl_url_get(parsed.get(), CURLUPART_PATH, &path, 0) == CURLUE_OK && path) {
        std::unique_ptr<char, CurlFree> ownedPath(path);
        requestPath = ownedPath.get();
    }
    StoreCookie(ownedHost.get(), requestPath, name, data);
    return true;
}

}  // namespace jestlark
