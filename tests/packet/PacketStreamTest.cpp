#include <gtest/gtest.h>

#include <string>
#include "LargestAllocation.h"
#include "fetch/PacketStream.h"
#include "fetch/RequestPacket.h"

namespace jestlark {
namespace {

const ByteString True("\xD5\xE6");  // "真"

RequestPacket ExampleRequest() {
    RequestPacket packet = MakeRequestPacket();
    packet[SlotUrl] = ByteString("http://a.test/");
    packet[SlotVerb] = ByteString("GET");
    packet[SlotRedirects] = True;
    return packet;
}

std::string Count(uint32_t count) {
    return std::string{char(count & 0xFF), char((count >> 8) & 0xFF), char((count >> 16) & 0xFF),
                       char(count >> 24)};
}

// The request of the example: seven records, counts 14, 3, 0, 0, 0, 0, 2.
const std::string ExampleBytes = Count(14) + "http://a.test/" + Count(3) + "GET" + Count(0) + Count(0) + Count(0) +
                                 Count(0) + Count(2) + "\xD5\xE6";

// A stream whose position lies at raw, with nothing behind raw: raw is first
// written as the bytes of a one-item packet, then an empty item overwrites
// that item's count, leaving the position where raw begins.
PacketStream StreamPositionedAt(const std::string& raw) {
    PacketStream stream;
    EXPECT_TRUE(stream.Write(RequestPacket{ByteString(raw)}));
    stream.Rewind();
    EXPECT_TRUE(stream.Write(RequestPacket{ByteString()}));
    EXPECT_EQ(stream.Position(), 4u);
    return stream;
}

TEST(PacketStream, StoresTheExampleRequestIn47Bytes) {
    PacketStream stream;
    ASSERT_TRUE(stream.Write(ExampleRequest()));
    EXPECT_EQ(ExampleBytes.size(), 47u);
    EXPECT_EQ(stream.Bytes(), ExampleBytes);
    EXPECT_EQ(stream.Position(), 47u);

    stream.Rewind();
    RequestPacket read = MakeRequestPacket();
    ASSERT_TRUE(stream.Read(read));
    EXPECT_EQ(read, ExampleRequest());
    EXPECT_EQ(stream.Position(), 47u);
}

TEST(PacketStream, ItemsKeepZeroBytes) {
    RequestPacket answer = MakeRequestPacket();
    answer[SlotUrl] = ByteString(std::string("ab\0cd", 5));
    PacketStream stream;
    ASSERT_TRUE(stream.Write(answer));
    stream.Rewind();
    RequestPacket read = MakeRequestPacket();
    ASSERT_TRUE(stream.Read(read));
    EXPECT_EQ(read[SlotUrl].size(), 5u);
    EXPECT_EQ(read[SlotUrl], answer[SlotUrl]);
    EXPECT_EQ(ReadAsText(read[SlotUrl]), "ab");
}

// The worker answers over the request it read; the shorter answer leaves the
// request's tail behind it, which no reader reaches.
TEST(PacketStream, ShorterAnswerLeavesTheRequestTail) {
    PacketStream stream;
    ASSERT_TRUE(stream.Write(ExampleRequest()));
    stream.Rewind();
    RequestPacket packet = MakeRequestPacket();
    ASSERT_TRUE(stream.Read(packet));

    packet[SlotUrl] = ByteString("ok");
    packet[SlotVerb] = ByteString();
    stream.Rewind();
    ASSERT_TRUE(stream.Write(packet));
    const std::size_t answerSize = stream.Position();
    EXPECT_EQ(answerSize, 4 + 2 + 4 * 6 + 2u);
    ASSERT_EQ(stream.Bytes().size(), ExampleBytes.size());
    EXPECT_EQ(stream.Bytes().substr(answerSize), ExampleBytes.substr(answerSize));

    stream.Rewind();
    RequestPacket answer = MakeRequestPacket();
    ASSERT_TRUE(stream.Read(answer));
    EXPECT_EQ(answer, packet);
    EXPECT_EQ(stream.Position(), answerSize);
}

TEST(PacketStream, LongerAnswerGrowsTheStream) {
    PacketStream stream;
    ASSERT_TRUE(stream.Write(ExampleRequest()));
    RequestPacket answer = ExampleRequest();
    answer[SlotUrl] = ByteString(std::string(1000, 'b'));
    stream.Rewind();
    ASSERT_TRUE(stream.Write(answer));
    EXPECT_EQ(stream.Bytes().size(), ExampleBytes.size() + 1000 - 14);
    stream.Rewind();
    RequestPacket read = MakeRequestPacket();
    ASSERT_TRUE(stream.Read(read));
    EXPECT_EQ(read, answer);
}

// Every cut of the example before its last byte fails, and the reader's
// packet keeps what it held.
TEST(PacketStream, TruncatedStreamFails) {
    for (std::size_t length = 0; length < ExampleBytes.size(); ++length) {
        SCOPED_TRACE(length);
        PacketStream stream = StreamPositionedAt(ExampleBytes.substr(0, length));
        RequestPacket packet(RequestPacketItems, ByteString("kept"));
        EXPECT_FALSE(stream.Read(packet));
        EXPECT_EQ(packet, RequestPacket(RequestPacketItems, ByteString("kept")));
        EXPECT_EQ(stream.Position(), 4u);
    }
    PacketStream whole = StreamPositionedAt(ExampleBytes);
    RequestPacket packet = MakeRequestPacket();
    EXPECT_TRUE(whole.Read(packet));
    EXPECT_EQ(packet, ExampleRequest());
}

TEST(PacketStream, HugeCountFailsWithoutAllocatingIt) {
    const std::string damaged[] = {
        Count(0xFFFFFFFF) + "abc",
        Count(3) + "GET" + Count(0x7FFFFFFF) + std::string(16, 'x'),
        ExampleBytes.substr(0, 40) + Count(0xFFFFFFF0) + "\xD5\xE6",
    };
    for (const std::string& raw : damaged) {
        PacketStream stream = StreamPositionedAt(raw);
        RequestPacket packet = MakeRequestPacket();
        ResetLargestAllocation();
        EXPECT_FALSE(stream.Read(packet));
        EXPECT_LT(LargestAllocation(), 4096u);
    }
}

// The reader takes the number of records from its own packet.
TEST(PacketStream, ReadsAsManyRecordsAsThePacketHolds) {
    PacketStream stream;
    ASSERT_TRUE(stream.Write(ExampleRequest()));
    stream.Rewind();
    RequestPacket two(2);
    ASSERT_TRUE(stream.Read(two));
    EXPECT_EQ(two, (RequestPacket{ByteString("http://a.test/"), ByteString("GET")}));
    EXPECT_EQ(stream.Position(), 4 + 14 + 4 + 3u);
    RequestPacket more(RequestPacketItems);
    EXPECT_FALSE(stream.Read(more));
}

}  // namespace
}  // namespace jestlark
