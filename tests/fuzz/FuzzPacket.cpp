// The packet reader on any stream contents.
#include <cstddef>
#include <cstdint>
#include <string>
#include "FuzzInput.h"
#include "fetch/PacketStream.h"

using namespace jestlark;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::size_t items = input.Byte() % 10;
    const std::string raw = input.Rest();

    // Puts the position at raw with nothing behind it: raw goes in as the
    // bytes of one item, whose count an empty item then overwrites.
    PacketStream stream;
    FUZZ_CHECK(stream.Write(RequestPacket{ByteString(raw)}));
    stream.Rewind();
    FUZZ_CHECK(stream.Write(RequestPacket{ByteString()}));
    FUZZ_CHECK(stream.Position() == 4);

    const RequestPacket before(items, ByteString("x"));
    RequestPacket packet = before;
    if (!stream.Read(packet)) {
        FUZZ_CHECK(packet == before && stream.Position() == 4);
        return 0;
    }
    FUZZ_CHECK(packet.size() == items);
    std::size_t used = 0;
    for (const ByteString& item : packet) used += 4 + item.size();
    // Never more than it was given, and exactly what was there.
    FUZZ_CHECK(used <= raw.size() && stream.Position() == 4 + used);
    PacketStream copy;
    FUZZ_CHECK(copy.Write(packet));
    FUZZ_CHECK(copy.Bytes() == raw.substr(0, used));
    return 0;
}
