#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "fetch/RequestPacket.h"

namespace jestlark {

// A growable in-memory byte stream with one read/write position. A packet is
// stored as its items in order, each a 4-byte little-endian count and the
// bytes; nothing before, between or after. Writing never shortens the stream.
class PacketStream {
public:
    // Writes every item of packet at the position; false when memory runs out.
    bool Write(const RequestPacket& packet);
    void Rewind() { position_ = 0; }
    // Reads exactly packet.size() records from the position into packet's items.
    // Fails (false, packet untouched) when the stream ends before the last one.
    bool Read(RequestPacket& packet);

    const std::string& Bytes() const { return bytes_; }
    std::size_t Position() const { return position_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

}  // namespace jestlark
