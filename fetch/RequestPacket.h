#pragma once
#include <cstddef>
#include <vector>
#include "text/Text.h"

namespace jestlark {

using TextList = std::vector<ByteString>;

// Seven items carry one request to the worker and the answer back.
enum PacketSlot : std::size_t {
    SlotUrl = 0,          // request: the URL;        answer: the body
    SlotVerb = 1,         // request: "GET"/"POST";   answer: the collected cookies
    SlotProxy = 2,
    SlotExtraHeaders = 3,
    SlotPostBody = 4,
    SlotCookies = 5,      // request: cookies to send; answer: the raw headers
    SlotRedirects = 6,    // "真" or "假"
};
constexpr std::size_t RequestPacketItems = 7;

using RequestPacket = TextList;

// A packet of seven empty items.
inline RequestPacket MakeRequestPacket() { return RequestPacket(RequestPacketItems); }

}  // namespace jestlark
