// One RequestWorker exchange for a URL, as a process of its own, so that a
// script can time it and read its peak memory beside curl's.
// usage: bench_worker_bench URL EXPECTED_BYTES
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fetch/PacketStream.h"
#include "fetch/RequestPacket.h"
#include "fetch/RequestWorker.h"

int main(int argc, char** argv) {
    using namespace jestlark;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s URL EXPECTED_BYTES\n", argv[0]);
        return 2;
    }
    RequestPacket packet = MakeRequestPacket();
    packet[SlotUrl] = ByteString(std::string(argv[1]));
    packet[SlotVerb] = ByteString(std::string("GET"));
    packet[SlotRedirects] = ByteString(std::string("\xD5\xE6"));
    PacketStream stream;
    stream.Write(packet);
    RequestWorker(stream);
    // The body's count is the stream's first four bytes.
    const std::string& bytes = stream.Bytes();
    unsigned long count = 0;
    for (int i = 3; i >= 0; --i) count = (count << 8) | static_cast<unsigned char>(bytes[i]);
    const unsigned long expected = std::strtoul(argv[2], nullptr, 10);
    if (count != expected) {
        std::fprintf(stderr, "body of %lu bytes, expected %lu\n", count, expected);
        return 1;
    }
    return 0;
}
