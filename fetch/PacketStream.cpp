#include "fetch/PacketStream.h"

#include <cstdint>
#include <new>

namespace jestlark {
namespace {

void PutCount(std::string& out, std::size_t at, uint32_t count) {
    for (int i = 0; i < 4; ++i) out[at + i] = char((count >> (8 * i)) & 0xFF);
}

uint32_t GetCount(const std::string& in, std::size_t at) {
    uint32_t count = 0;
    for (int i = 0; i < 4; ++i) count |= uint32_t(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return count;
}

}  // namespace

bool PacketStream::Write(const RequestPacket& packet) {
    try {
        std::size_t size = 0;
        for (const ByteString& item : packet) {
            // A count holds 32 bits; a longer item could only be stored damaged.
            if (uint32_t(item.size()) != item.size()) return false;
            size += 4 + item.size();
        }
        if (bytes_.size() < position_ + size) bytes_.resize(position_ + size);
        for (const ByteString& item : packet) {
            PutCount(bytes_, position_, uint32_t(item.size()));
            bytes_.replace(position_ + 4, item.size(), item);
            position_ += 4 + item.size();
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool PacketStream::Read(RequestPacket& packet) {
    // Every count is checked against what the stream still holds before anything
    // is allocated, so a damaged count cannot ask for gigabytes.
    try {
        RequestPacket read(packet.size());
        std::size_t at = position_;
        for (ByteString& item : read) {
            if (bytes_.size() - at < 4) return false;
            const uint32_t count = GetCount(bytes_, at);
            at += 4;
            if (bytes_.size() - at < count) return false;
            item.assign(bytes_, at, count);
            at += count;
        }
        packet = std::move(read);
        position_ = at;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace jestlark
