#include "fetch/FetchPage.h"

#include <memory>
#include <string_view>
#include <utility>

#include "fetch/BodyConversion.h"
#include "fetch/FetchLimit.h"
#include "fetch/RequestPacket.h"
#include "fetch/RequestWorker.h"
#include "fetch/WorkerJob.h"
#include "platform/Clock.h"
#include "platform/WorkerThread.h"
#include "text/TrimBlanks.h"

namespace jestlark {
namespace {

// "超时返回，指定网站不能访问，或者你的网络出现问题，你可以把参数中的＂超时返回＂的值设置长一些。"
constexpr std::string_view TimeoutMessage =
    "\xb3\xac\xca\xb1\xb7\xb5\xbb\xd8\xa3\xac\xd6\xb8\xb6\xa8\xcd\xf8\xd5\xbe\xb2\xbb\xc4\xdc"
    "\xb7\xc3\xce\xca\xa3\xac\xbb\xf2\xd5\xdf\xc4\xe3\xb5\xc4\xcd\xf8\xc2\xe7\xb3\xf6\xcf\xd6"
    "\xce\xca\xcc\xe2\xa3\xac\xc4\xe3\xbf\xc9\xd2\xd4\xb0\xd1\xb2\xce\xca\xfd\xd6\xd0\xb5\xc4"
    "\xa3\xa2\xb3\xac\xca\xb1\xb7\xb5\xbb\xd8\xa3\xa2\xb5\xc4\xd6\xb5\xc9\xe8\xd6\xc3\xb3\xa4"
    "\xd2\xbb\xd0\xa9\xa1\xa3";
constexpr std::string_view True = "\xd5\xe6";   // "真"
constexpr std::string_view False = "\xbc\xd9";  // "假"
bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Waits for the worker while the calling thread's window messages are
// dispatched; true when the worker ended within the limit. Each wait lasts
// only for what is left of the limit, so messages cannot stretch it.
bool WorkerEndedInTime(const WorkerThread& worker, uint32_t start, uint32_t limit) {
    uint32_t remaining = limit;
    for (;;) {
        const WorkerThread::WaitResult result = worker.Wait(remaining);
        const uint32_t now = TickCount();
        const bool limitReached = FetchLimitReached(start, now, limit);
        DispatchWaitingMessages();
        if (limitReached) return false;
        if (result == WorkerThread::WaitResult::Ended) return true;
        if (result == WorkerThread::WaitResult::TimedOut) return false;
        remaining = limit - (now - start);
    }
}

RequestPacket MakeRequest(const Text& url, const FetchOptions& options) {
    RequestPacket packet = MakeRequestPacket();
    packet[SlotUrl] = ToByteString(url);
    packet[SlotVerb] = ByteString(options.method == 1 ? "POST" : "GET");
    packet[SlotProxy] = ToByteString(options.proxy);
    packet[SlotExtraHeaders] = ToByteString(options.extraHeaders);
    packet[SlotPostBody] = options.postBody;
    packet[SlotCookies] = ToByteString(options.cookies);
    packet[SlotRedirects] = ByteString(options.allowRedirects.value_or(true) ? True : False);
    return packet;
}

ByteString Body(const ByteString& received, int32_t bodyConversion) {
    switch (bodyConversion) {
        case ConvertUtf8ToGbk: return ToByteString(Utf8ToGbk(ReadAsText(received)));
        case ConvertBig5ToGbkSimplified: return ToByteString(Big5ToGbkSimplified(ReadAsText(received)));
        default: return received;
    }
}

ByteString Fetch(Text& url, const FetchOptions& options) {
    // Only the test trims: the caller's url keeps its spaces.
    if (TrimBlanks(url).empty()) return {};
    if (!StartsWith(url, "http://") && !StartsWith(url, "https://")) url = Text("http://" + url);

    // The worker holds its own share of the job: one abandoned at the limit
    // never touches memory released under it.
    const auto job = std::make_shared<WorkerJob>();
    if (!job->stream.Write(MakeRequest(url, options))) return {};

    const WorkerThread worker = WorkerThread::Start([job] { RequestWorkerThread(job); });
    const uint32_t start = TickCount();
    const uint32_t limit = FetchLimitMs(options.timeoutSeconds);
    // With no thread there is nothing to wait for: the outcome is the timeout
    // at once, not a spin until the limit.
    if (!worker || !WorkerEndedInTime(worker, start, limit)) {
        job->cancel.Cancel();
        return ByteString(TimeoutMessage);
    }

    RequestPacket answer = MakeRequestPacket();
    job->stream.Rewind();
    if (!job->stream.Read(answer)) return {};
    if (options.responseHeaders) *options.responseHeaders = ReadAsText(answer[SlotCookies]);
    if (options.responseCookies) *options.responseCookies = ReadAsText(answer[SlotVerb]);
    return Body(answer[SlotUrl], options.bodyConversion);
}

}  // namespace

ByteString FetchPage(Text& url, const FetchOptions& options) {
    try {
        return Fetch(url, options);
    } catch (...) {
        return {};
    }
}

}  // namespace jestlark
