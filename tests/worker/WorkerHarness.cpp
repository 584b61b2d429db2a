#include "tests/worker/WorkerHarness.h"

#include "fetch/PacketStream.h"
#include "fetch/RequestWorker.h"

namespace jestlark::test {

WorkerAnswer RunWorker(const WorkerRequest& request, InternetCancel* cancel) {
    RequestPacket packet = MakeRequestPacket();
    packet[SlotUrl] = ByteString(request.url);
    packet[SlotVerb] = ByteString(request.verb);
    packet[SlotProxy] = ByteString(request.proxy);
    packet[SlotExtraHeaders] = ByteString(request.extraHeaders);
    packet[SlotPostBody] = ByteString(request.postBody);
    packet[SlotCookies] = ByteString(request.cookies);
    packet[SlotRedirects] = ByteString(request.redirects);
    PacketStream stream;
    stream.Write(packet);
    RequestWorker(stream, cancel);
    WorkerAnswer answer;
    answer.packet = MakeRequestPacket();
    stream.Rewind();
    answer.answered = stream.Read(answer.packet);
    return answer;
}

}  // namespace jestlark::test
