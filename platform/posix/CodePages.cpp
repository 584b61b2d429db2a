#include "platform/CodePages.h"

#include <cerrno>

#include "platform/posix/DbcsTable.h"
#include "platform/posix/IconvHandle.h"

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

// Runs iconv over in, appending to out; on a sequence it cannot convert, calls
// replace(rest of the input, out), which appends a stand-in and says how many
// bytes it stood for.
template <typename Replace>
bool ConvertAll(iconv_t cd, std::string_view in, std::string& out, Replace replace) {
    char* inAt = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outAt = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &inAt, &inLeft, &outAt, &outLeft);
        out.append(buffer, std::size_t(outAt - buffer));
        if (result != std::size_t(-1)) continue;
        if (errno == E2BIG) continue;
        if (errno != EILSEQ && errno != EINVAL) return false;
        const std::size_t skipped = replace(std::string_view(inAt, inLeft), out);
        inAt += skipped;
        inLeft -= skipped;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

void AppendUnit(std::string& utf16le, char16_t unit) {
    utf16le.push_back(char(unit & 0xFF));
    utf16le.push_back(char(unit >> 8));
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    const IconvHandle cd = OpenIconv("UTF-16LE", "UTF-8");
    std::string utf16le;
    if (!cd || !ConvertAll(cd.get(), bytes, utf16le, [](std::string_view rest, std::string& out) {
            AppendUnit(out, ReplacementUnit);
            return MaximalSubpart(rest);
        })) {
        return {};
    }
    std::u16string units(utf16le.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = char16_t(static_cast<unsigned char>(utf16le[2 * i]) |
                            static_cast<unsigned char>(utf16le[2 * i + 1]) << 8);
    }
    return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
    std::string utf16le;
    utf16le.reserve(units.size() * 2);
    for (const char16_t unit : units) AppendUnit(utf16le, unit);
    const IconvHandle cd = OpenIconv("UTF-8", "UTF-16LE");
    std::string utf8;
    // A lone surrogate becomes U+FFFD, as Windows writes it.
    if (!cd || !ConvertAll(cd.get(), utf16le, utf8, [](std::string_view rest, std::string& out) {
            out += "\xEF\xBF\xBD";
            return rest.size() < 2 ? rest.size() : std::size_t(2);
        })) {
        return {};
    }
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
