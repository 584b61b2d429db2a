#pragma once
#include <string>

#include "fetch/RequestPacket.h"
#include "platform/InternetCancel.h"

namespace jestlark::test {

inline const char Yes[] = "\xD5\xE6";  // 真
inline const char No[] = "\xBC\xD9";   // 假

// One request as FetchPage hands it to the worker.
struct WorkerRequest {
    std::string url;
    std::string verb = "GET";
    std::string proxy;
    std::string extraHeaders;
    std::string postBody;
    std::string cookies;
    std::string redirects = Yes;
};

// The answered packet: body in slot 0, cookies in 1, raw headers in 5.
struct WorkerAnswer {
    bool answered = false;  // a packet came back
    RequestPacket packet;
    const ByteString& Body() const { return packet[SlotUrl]; }
    const ByteString& Cookies() const { return packet[SlotVerb]; }
    const ByteString& Headers() const { return packet[SlotCookies]; }
};

// Runs RequestWorker on this thread over a fresh packet stream.
WorkerAnswer RunWorker(const WorkerRequest& request, InternetCancel* cancel = nullptr);

}  // namespace jestlark::test
