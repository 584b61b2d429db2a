#include "fetch/RequestWorker.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fetch/RequestPacket.h"
#include "fetch/Url.h"
#include "platform/InternetSession.h"
#include "text/FindText.h"
#include "text/LowerAscii.h"
#include "text/TrimBlanks.h"
#include "text/TextBetween.h"

namespace jestlark {
namespace {

const char DefaultAgent[] =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
const char DefaultAccept[] =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, "
    "application/x-shockwave-flash, application/vnd.ms-excel, application/vnd.ms-powerpoint, "
    "application/msword, */*\r\n";
const char DefaultAcceptLanguage[] = "Accept-Language: zh-cn\r\n";
const char DefaultContentType[] = "Content-Type: application/x-www-form-urlencoded\r\n";
const char RedirectsAllowed[] = "\xD5\xE6";  // 真
const char SetCookiePrefix[] = "Set-Cookie: ";
constexpr std::size_t SetCookiePrefixBytes = 12;
constexpr uint32_t ReadBytes = 2048;
constexpr uint64_t ReserveCap = 64u << 20;
constexpr uint16_t HttpsPort = 443;

bool IsLead(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

bool Contains(std::string_view subject, std::string_view needle) {
    return FindText(subject, needle, 1, true) != -1;
}

Text ChooseAgent(const Text& extraHeaders) {
    if (!Contains(extraHeaders, "User-Agent:")) return Text(DefaultAgent);
    Text left("User-Agent:");
    Text right("\r\n");
    return TrimBlanks(TextBetween(extraHeaders, left, right));
}

uint32_t RequestFlags(const Text& cookies, bool followRedirects, bool https) {
    uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
    if (!TrimBlanks(cookies).empty()) flags |= INTERNET_FLAG_NO_COOKIES;
    if (!followRedirects) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (https) return INTERNET_FLAG_SECURE;
    return flags | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
}

// The default Accept, Referer and Accept-Language lines, each appended only
// when the caller's block lacks it.
void AddDefaultLines(Text& block, const Text& url) {
    if (!Contains(block, "Accept")) block += DefaultAccept;
    if (Contains(block, "RefererNo")) {
        // Only the marker written exactly so is removed; in other letter case
        // it still suppresses the line but stays.
        const int32_t marker = FindText(block, "RefererNo", 1, false);
        if (marker > 0) block.erase(std::size_t(marker - 1), 9);
    } else if (!Contains(block, "Referer")) {
        block += "Referer: " + url + "\r\n";
    }
    if (!Contains(block, "Accept-Language")) block += DefaultAcceptLanguage;
}

void AddCookieLine(Text& block, const Text& cookies) {
    if (!cookies.empty()) block += "Cookie: " + cookies + "\r\n\r\n";
}

// Sends by verb; any verb other than GET and POST sends nothing.
void SendByVerb(InternetRequest& request, const Text& verb, Text& block,
                const ByteString& body, const Text& cookies) {
    if (verb == "GET") {
        AddCookieLine(block, cookies);
        request.Send(block, {});
    } else if (verb == "POST") {
        if (!body.empty()) {
            if (!Contains(block, "Content-Type")) block += DefaultContentType;
            if (!Contains(block, "Content-Length")) {
                block += "Content-Length: " + std::to_string(body.size()) + "\r\n";
            }
        }
        AddCookieLine(block, cookies);
        request.Send(block, body);
    }
}

ByteString ReadBody(InternetRequest& request) {
    ByteString body;
    // Room for the announced size saves the copies of a growing buffer; a
    // claim beyond the cap is not trusted with memory up front.
    body.reserve(std::size_t(std::min<uint64_t>(request.ContentLength(), ReserveCap)));
    for (;;) {
        std::vector<char> buffer(ReadBytes, '\0');
        const uint32_t count = request.Read(buffer.data(), ReadBytes);
        if (count == 0) break;
        body.append(buffer.data(), count);
    }
    return body;
}

// The header text's lines: each ends at an LF, which belongs to no line, and
// loses a CR in front of it. A byte with bit 7 set takes the byte after it
// along, so a trail byte never ends a line. Every other byte, 0x1A included,
// is an ordinary byte of its line.
std::vector<Text> HeaderLines(const Text& headers) {
    std::vector<Text> lines;
    std::size_t start = 0;
    std::size_t at = 0;
    while (at < headers.size()) {
        if (IsLead(headers[at])) {
            at += 2;
        } else if (headers[at] == '\n') {
            std::size_t end = at;
            if (end > start && headers[end - 1] == '\r') --end;
            lines.emplace_back(headers.substr(start, end - start));
            start = ++at;
        } else {
            ++at;
        }
    }
    if (start < headers.size()) {
        std::size_t end = headers.size();
        if (headers[end - 1] == '\r') --end;
        lines.emplace_back(headers.substr(start, end - start));
    }
    return lines;
}

// Hands every Set-Cookie line to the cookie store and returns the collected
// list, name=value; for each.
Text CollectCookies(const Text& headers, const Text& host) {
    Text collected;
    if (FindText(headers, SetCookiePrefix, 1, true) <= 0) return collected;
    const Text url("http://" + host);
    for (Text line : HeaderLines(headers)) {
        if (FindText(line, SetCookiePrefix, 1, true) < 1) continue;
        line.erase(0, SetCookiePrefixBytes);
        // A cookie line without attributes has no ";": it is collected whole
        // rather than as an empty entry.
        collected += FindText(line, ";", 1, false) == -1 ? line : TextBefore(line, Text(";"));
        collected += ";";
        const int32_t equals = FindText(line, "=", 1, true);
        const std::size_t nameBytes = equals > 0 ? std::size_t(equals - 1) : 0;
        const std::size_t dataFrom = equals > 0 ? std::size_t(equals) : 0;
        SetInternetCookie(url, Text(line.substr(0, nameBytes)), Text(line.substr(dataFrom)));
    }
    return collected;
}

void WriteBack(PacketStream& stream, const RequestPacket& packet) {
    stream.Rewind();
    stream.Write(packet);
}

void Exchange(PacketStream& stream, InternetCancel* cancel) {
    stream.Rewind();
    RequestPacket packet = MakeRequestPacket();
    if (!stream.Read(packet)) return;

    const Text url = ReadAsText(packet[SlotUrl]);
    const Text verb = ReadAsText(packet[SlotVerb]);
    Text block = ReadAsText(packet[SlotExtraHeaders]);
    const ByteString body = packet[SlotPostBody];
    const Text cookies = ReadAsText(packet[SlotCookies]);
    const bool followRedirects = ReadAsText(packet[SlotRedirects]) == RedirectsAllowed;
    const bool https = FindText(LowerAscii(url), "https://", 1, false) > 0;
    const Text host = UrlHost(url);
    const Text path = UrlPath(url);
    const Text agent = ChooseAgent(block);

    // Declared in this order so that they close request first, then the
    // connection, then the internet handle.
    InternetSession session;
    InternetConnection connection;
    InternetRequest request;
    const Text proxyList = packet[SlotProxy].empty() ? Text() : Text("http=" + ReadAsText(packet[SlotProxy]));
    session = InternetSession::Open(agent, proxyList, cancel);
    if (session) {
        const uint16_t port = https ? HttpsPort : uint16_t(UrlPort(url));
        connection = session.Connect(host, port);
    }
    if (connection) request = connection.OpenRequest(verb, path, RequestFlags(cookies, followRedirects, https));
    if (!request) {
        packet[SlotUrl].clear();
        packet[SlotVerb].clear();
        packet[SlotCookies].clear();
        WriteBack(stream, packet);
        return;
    }

    AddDefaultLines(block, url);
    SendByVerb(request, verb, block, body, cookies);
    packet[SlotUrl] = ReadBody(request);
    const Text headers = ReadAsText(request.RawHeaders());
    packet[SlotCookies] = ToByteString(headers);
    request = InternetRequest();
    connection = InternetConnection();
    session = InternetSession();

    packet[SlotVerb] = ToByteString(CollectCookies(headers, host));
    WriteBack(stream, packet);
}

}  // namespace

void RequestWorker(PacketStream& stream, InternetCancel* cancel) {
    // Memory running out mid-exchange ends it without an answer, as a packet
    // that cannot be read does; nothing escapes to the thread.
    try {
        Exchange(stream, cancel);
    } catch (...) {
    }
}

void RequestWorkerThread(std::shared_ptr<WorkerJob> job) {
    if (job) RequestWorker(job->stream, &job->cancel);
}

}  // namespace jestlark
