#include "platform/posix/DbcsTable.h"

#include <cstring>

#include "platform/posix/IconvHandle.h"

namespace jestlark {
namespace {

// What Windows puts for a byte sequence the code page does not define.
constexpr char16_t Replacement = u'?';

// The one UTF-16 unit that iconv reads from bytes, or 0 when it reads none,
// more than one, or not all of the bytes.
char16_t ReadOneUnit(iconv_t cd, const char* bytes, std::size_t size) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = size;
    unsigned char out[8] = {};
    char* outAt = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &in, &inLeft, &outAt, &outLeft) == std::size_t(-1) || inLeft != 0) return 0;
    if (sizeof out - outLeft != 2) return 0;
    return char16_t(out[0] | (out[1] << 8));
}

// Whether any of the eight bytes at in is 0x80 or above.
bool HasHighBit(const unsigned char* in) {
    uint64_t word;
    std::memcpy(&word, in, sizeof word);
    return (word & 0x8080808080808080u) != 0;
}

// Whether any of the four units at in is 0x80 or above (per 16-bit lane, so
// the byte order does not matter).
bool HasHighUnit(const char16_t* in) {
    uint64_t word;
    std::memcpy(&word, in, sizeof word);
    return (word & 0xFF80FF80FF80FF80u) != 0;
}

// Spelled out rather than looped, so that the compiler makes each a few
// vector moves.
void WidenEight(const unsigned char* in, char16_t* out) {
    out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = in[3];
    out[4] = in[4], out[5] = in[5], out[6] = in[6], out[7] = in[7];
}

void NarrowFour(const char16_t* in, char* out) {
    out[0] = char(in[0]), out[1] = char(in[1]), out[2] = char(in[2]), out[3] = char(in[3]);
}

bool IsTrailByte(unsigned trail) { return trail >= 0x40 && trail <= 0xFE && trail != 0x7F; }

// Position of a trail byte within a row of 157 Big5 cells (40-7E, A1-FE).
unsigned Big5Cell(unsigned trail) { return trail < 0x80 ? trail - 0x40 : trail - 0xA1 + 63; }

// Windows reads the user-defined areas as private-use characters, where iconv
// leaves them undefined.
void AddGbkUserDefined(std::array<char16_t, 65536>& pairs) {
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
            const unsigned cell = trail - 0xA1;  // rows of 94
            char16_t& unit = pairs[lead << 8 | trail];
            if (lead >= 0xAA && lead <= 0xAF) unit = char16_t(0xE000 + (lead - 0xAA) * 94 + cell);
            if (lead >= 0xF8) unit = char16_t(0xE234 + (lead - 0xF8) * 94 + cell);
        }
        for (unsigned trail = 0x40; trail <= 0xA0 && lead >= 0xA1 && lead <= 0xA7; ++trail) {
            const unsigned cell = trail - (trail < 0x80 ? 0x40 : 0x41);  // rows of 96
            if (trail != 0x7F) pairs[lead << 8 | trail] = char16_t(0xE4C6 + (lead - 0xA1) * 96 + cell);
        }
    }
    // The cells GBK leaves empty follow, in code order.
    char16_t next = 0xE766;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            if (IsTrailByte(trail) && !pairs[lead << 8 | trail]) pairs[lead << 8 | trail] = next++;
        }
    }
}

void AddBig5UserDefined(std::array<char16_t, 65536>& pairs) {
    struct Area {
        unsigned firstLead, lastLead;
        char16_t first;
    };
    const Area areas[] = {{0xFA, 0xFE, 0xE000}, {0x8E, 0xA0, 0xE311}, {0x81, 0x8D, 0xEEB8}};
    for (const Area& area : areas) {
        for (unsigned lead = area.firstLead; lead <= area.lastLead; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail > 0x7E && trail < 0xA1) continue;
                const unsigned row = lead - area.firstLead;
                pairs[lead << 8 | trail] = char16_t(area.first + row * 157 + Big5Cell(trail));
            }
        }
    }
}

}  // namespace

DbcsTable::DbcsTable(uint32_t codePage) {
    const bool big5 = codePage == 950;
    const IconvHandle cd = OpenIconv("UTF-16LE", big5 ? "CP950" : "CP936");
    for (unsigned byte = 0; byte < 0x80; ++byte) singles_[byte] = char16_t(byte);
    if (!cd) return;
    for (unsigned byte = 0x80; byte < 0x100; ++byte) {
        if (IsLeadByte((unsigned char)byte)) continue;
        const char single = char(byte);
        singles_[byte] = ReadOneUnit(cd.get(), &single, 1);
    }
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x01; trail < 0x100; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            pairs_[lead << 8 | trail] = ReadOneUnit(cd.get(), pair, 2);
        }
    }
    if (big5) {
        AddBig5UserDefined(pairs_);
    } else {
        AddGbkUserDefined(pairs_);
    }
    // The last byte value, no lead byte in either code page, is private use too.
    singles_[0xFF] = big5 ? 0xF8F8 : 0xF8F5;
    // Single bytes first, so a unit with two spellings gets the short one.
    for (unsigned byte = 1; byte < 0x100; ++byte) {
        if (singles_[byte] && !encode_[singles_[byte]]) encode_[singles_[byte]] = uint16_t(byte);
    }
    for (unsigned pair = 0x8100; pair < 0x10000; ++pair) {
        if (pairs_[pair] && !encode_[pairs_[pair]]) encode_[pairs_[pair]] = uint16_t(pair);
    }
}

const DbcsTable& DbcsTable::ForCodePage(uint32_t codePage) {
    static const DbcsTable gbk(936);
    if (codePage != 950) return gbk;
    static const DbcsTable big5(950);
    return big5;
}

std::u16string DbcsTable::Decode(std::string_view bytes) const {
    // At most one unit per byte: one allocation, cut to size at the end.
    std::u16string units(bytes.size(), u'\0');
    char16_t* out = units.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    while (in < end) {
        const unsigned char byte = *in;
        if (byte < 0x80) {
            // Bytes below 0x80 read as themselves: a run of them goes eight at a time.
            *out++ = char16_t(byte);
            in += 1;
            while (end - in >= 8 && !HasHighBit(in)) {
                WidenEight(in, out);
                in += 8;
                out += 8;
            }
        } else if (IsLeadByte(byte) && end - in >= 2) {
            const char16_t unit = pairs_[byte << 8 | in[1]];
            *out++ = unit ? unit : Replacement;
            in += 2;
        } else {
            // A lead byte without its trail, or a single high byte.
            const char16_t unit = IsLeadByte(byte) ? 0 : singles_[byte];
            *out++ = unit ? unit : Replacement;
            in += 1;
        }
    }
    units.resize(std::size_t(out - units.data()));
    return units;
}

std::string DbcsTable::Encode(std::u16string_view units) const {
    std::string bytes;
    EncodeAppend(units, bytes);
    return bytes;
}

void DbcsTable::EncodeAppend(std::u16string_view units, std::string& bytes) const {
    // At most two bytes per unit: room made once, cut to size at the end.
    const std::size_t start = bytes.size();
    bytes.resize(start + units.size() * 2);
    char* out = bytes.data() + start;
    const char16_t* in = units.data();
    const char16_t* const end = in + units.size();
    while (in < end) {
        const char16_t unit = *in++;
        if (unit < 0x80) {
            // Units below 0x80 are written as one byte each: a run of them goes four at a time.
            *out++ = char(unit);
            while (end - in >= 4 && !HasHighUnit(in)) {
                NarrowFour(in, out);
                in += 4;
                out += 4;
            }
            continue;
        }
        const uint16_t spelled = encode_[unit];
        if (spelled == 0) {
            *out++ = '?';
        } else if (spelled > 0xFF) {
            *out++ = char(spelled >> 8);
            *out++ = char(spelled & 0xFF);
        } else {
            *out++ = char(spelled);
        }
    }
    bytes.resize(std::size_t(out - bytes.data()));
}

}  // namespace jestlark
