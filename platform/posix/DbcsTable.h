#pragma once
// Tables of one double-byte code page, read once from iconv, that the
// converters of this layer share.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace jestlark {

class DbcsTable {
public:
    // The table of code page 936 or 950 (any other number gives 936's).
    static const DbcsTable& ForCodePage(uint32_t codePage);

    bool IsLeadByte(unsigned char byte) const { return byte >= 0x81 && byte <= 0xFE; }

    // Reads bytes as MultiByteToWideChar does: a lead byte takes the byte after
    // it along; what the code page does not define becomes the replacement.
    std::u16string Decode(std::string_view bytes) const;
    // Writes units; a unit the code page lacks becomes "?".
    std::string Encode(std::u16string_view units) const;
    // Encode, appended to bytes. Each unit is written on its own, so the
    // pieces of a text appended one after another give the text's bytes.
    void EncodeAppend(std::u16string_view units, std::string& bytes) const;

    // The unit of one double-byte character (lead << 8 | trail), 0 when undefined.
    char16_t PairUnit(uint16_t pair) const { return pairs_[pair]; }
    // The GBK or Big5 bytes of one unit: (lead << 8 | trail), a single byte, or
    // 0 when the code page lacks the unit.
    uint16_t UnitBytes(char16_t unit) const { return encode_[unit]; }

private:
    explicit DbcsTable(uint32_t codePage);

    std::array<char16_t, 256> singles_{};
    std::array<char16_t, 65536> pairs_{};
    std::array<uint16_t, 65536> encode_{};
};

}  // namespace jestlark
