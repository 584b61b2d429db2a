#include "fetch/BodyConversion.h"

#include <string>
#include <string_view>

#include "platform/CodePages.h"

namespace jestlark {
namespace {

std::string_view UpToZero(const std::string& bytes) {
    return std::string_view(bytes).substr(0, bytes.find('\0'));
}

std::u16string UnitsUpToZero(const ByteString& wide) {
    std::u16string units;
    units.reserve(wide.size() / 2);
    for (std::size_t at = 0; at + 1 < wide.size(); at += 2) {
        const auto unit = char16_t(static_cast<unsigned char>(wide[at]) |
                                   static_cast<unsigned char>(wide[at + 1]) << 8);
        if (unit == 0) break;
        units.push_back(unit);
    }
    return units;
}

ByteString UnitsWithTerminator(const std::u16string& units) {
    ByteString wide;
    wide.reserve(units.size() * 2 + 2);
    for (const char16_t unit : units) {
        wide.push_back(char(unit & 0xFF));
        wide.push_back(char(unit >> 8));
    }
    wide.append(2, '\0');
    return wide;
}

// Written text ends at its first zero byte, as a text read back from a
// Windows buffer does.
Text Written(const std::string& bytes) { return ReadAsText(bytes); }

}  // namespace

ByteString TextToUtf16(const Text& text, std::optional<uint32_t> codePage) {
    return UnitsWithTerminator(MultiByteToUtf16(UpToZero(text), codePage.value_or(CodePageUtf8)));
}

Text Utf16ToText(const ByteString& wide, std::optional<uint32_t> codePage) {
    return Written(Utf16ToMultiByte(UnitsUpToZero(wide), codePage.value_or(CodePageAnsi)));
}

Text Big5ToGbk(const Text& text) {
    return Written(Utf16ToMultiByte(MultiByteToUtf16(UpToZero(text), CodePageBig5), CodePageGbk));
}

Text TraditionalToSimplified(const Text& text) {
    const std::string_view gbk = UpToZero(text);
    std::optional<std::string> mapped = MapTraditionalToSimplified(gbk);
    return mapped ? Written(*mapped) : Text(gbk);
}

Text Utf8ToGbk(const Text& text) { return Utf16ToText(TextToUtf16(text), CodePageGbk); }

Text Big5ToGbkSimplified(const Text& text) { return TraditionalToSimplified(Big5ToGbk(text)); }

}  // namespace jestlark
