#include "platform/CodePages.h"

#include "platform/posix/DbcsTable.h"

namespace jestlark {
namespace {

constexpr char16_t ReplacementUnit = 0xFFFD;

// Length of the longest start of a UTF-8 sequence at bytes[0] that is still
// well formed: the piece one replacement character stands for. At least 1.
std::size_t MaximalSubpart(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    int follow = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) follow = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) follow = 2;
    else if (lead >= 0xF0 && lead <= 0xF4) follow = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    std::size_t length = 1;
    for (int i = 0; i < follow && length < bytes.size(); ++i) {
        const auto next = static_cast<unsigned char>(bytes[length]);
        if (next < low || next > high) break;
        ++length;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

// Whether the sequence at bytes[0], as long as MaximalSubpart found it, is a
// whole well-formed character rather than the start of one.
bool IsWholeSequence(unsigned char lead, std::size_t length) {
    if (lead >= 0xC2 && lead <= 0xDF) return length == 2;
    if (lead >= 0xE0 && lead <= 0xEF) return length == 3;
    if (lead >= 0xF0 && lead <= 0xF4) return length == 4;
    return false;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    // At most one unit per byte (four bytes give two units at most).
    std::u16string units(bytes.size(), u'\0');
    char16_t* out = units.data();
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            *out++ = char16_t(lead);
            at += 1;
            continue;
        }
        // Each ill-formed piece becomes one U+FFFD, as Windows reads it.
        const std::size_t length = MaximalSubpart(bytes.substr(at));
        if (!IsWholeSequence(lead, length)) {
            *out++ = ReplacementUnit;
            at += length;
            continue;
        }
        uint32_t point = lead & (0xFFu >> (length + 1));
        for (std::size_t i = 1; i < length; ++i) point = point << 6 | (static_cast<unsigned char>(bytes[at + i]) & 0x3F);
        if (point >= 0x10000) {
            *out++ = char16_t(0xD800 + ((point - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            *out++ = char16_t(point);
        }
        at += length;
    }
    units.resize(std::size_t(out - units.data()));
    return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
    // At most three bytes per unit (a surrogate pair, two units, gives four).
    std::string utf8(units.size() * 3, '\0');
    char* out = utf8.data();
    for (std::size_t at = 0; at < units.size(); ++at) {
        uint32_t point = units[at];
        if (point >= 0xD800 && point <= 0xDBFF && at + 1 < units.size() && units[at + 1] >= 0xDC00 &&
            units[at + 1] <= 0xDFFF) {
            point = 0x10000 + ((point - 0xD800) << 10) + (units[at + 1] - 0xDC00u);
            ++at;
        } else if (point >= 0xD800 && point <= 0xDFFF) {
            // A lone surrogate becomes U+FFFD, as Windows writes it.
            point = ReplacementUnit;
        }
        if (point < 0x80) {
            *out++ = char(point);
        } else if (point < 0x800) {
            *out++ = char(0xC0 | point >> 6);
            *out++ = char(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            *out++ = char(0xE0 | point >> 12);
            *out++ = char(0x80 | (point >> 6 & 0x3F));
            *out++ = char(0x80 | (point & 0x3F));
        } else {
            *out++ = char(0xF0 | point >> 18);
            *out++ = char(0x80 | (point >> 12 & 0x3F));
            *out++ = char(0x80 | (point >> 6 & 0x3F));
            *out++ = char(0x80 | (point & 0x3F));
        }
    }
    utf8.resize(std::size_t(out - utf8.data()));
    return utf8;
}

}  // namespace

std::u16string MultiByteToUtf16(std::string_view bytes, uint32_t codePage) {
    if (codePage == CodePageUtf8) return Utf8ToUtf16(bytes);
    return DbcsTable::ForCodePage(codePage).Decode(bytes);
}

std::string Utf16ToMultiByte(std::u16string_view units, uint32_t codePage) {
    if (codePage == CodePageUtf8) return Utf16ToUtf8(units);
    return DbcsTable::ForCodePage(codePage).Encode(units);
}

}  // namespace jestlark
