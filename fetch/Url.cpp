#include "fetch/Url.h"

#include <algorithm>
#include <string>
#include <string_view>
#include "text/Cleaners.h"
#include "text/FindText.h"
#include "text/LowerAscii.h"

namespace jestlark {
namespace {

// The bytes in front of the first separator (all of them without one).
Text CutAt(const Text& text, char separator) {
    const int32_t at = FindText(text, std::string_view(&separator, 1), 1, false);
    return at > 0 ? Text(std::string_view(text).substr(0, std::size_t(at) - 1)) : text;
}

// Full-width ASCII (A3 A1 to A3 FE) becomes its ASCII character and the
// full-width space (A1 A1) a space; every other character is kept.
std::string NarrowFullWidth(std::string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80 || i + 1 == text.size()) {
            narrow.push_back(char(byte));
            continue;
        }
        const unsigned char trail = static_cast<unsigned char>(text[++i]);
        if (byte == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            narrow.push_back(char(trail - 0x80));
        } else if (byte == 0xA1 && trail == 0xA1) {
            narrow.push_back(' ');
        } else {
            narrow.push_back(char(byte));
            narrow.push_back(char(trail));
        }
    }
    return narrow;
}

bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }
bool IsBlank(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

// The whole part of the decimal number that text begins with (after blanks),
// modulo 2^32, computed on the digits themselves: exact for any length or
// exponent, with no floating point and no overflow.
uint32_t ReadWholeNumberLow32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t wholeBegin = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    const std::size_t wholeEnd = i;
    std::size_t fractionBegin = i, fractionEnd = i;
    if (i < text.size() && text[i] == '.') {
        fractionBegin = fractionEnd = ++i;
        while (fractionEnd < text.size() && IsDigit(text[fractionEnd])) ++fractionEnd;
        i = fractionEnd;
    }
    const std::size_t wholeDigits = wholeEnd - wholeBegin;
    const std::size_t fractionDigits = fractionEnd - fractionBegin;
    if (wholeDigits + fractionDigits == 0) return 0;
    // The exponent, held to a bound far beyond where the low 32 bits settle.
    constexpr int64_t ExponentBound = int64_t(1) << 40;
    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (exponent < ExponentBound) exponent = exponent * 10 + (text[j] - '0');
            }
            if (negativeExponent) exponent = -exponent;
        }
    }
    // The digits of the whole part: the mantissa's digits shifted by the
    // exponent, zeros filling in behind them. 10^32 is 0 modulo 2^32, so more
    // than 32 filling zeros change nothing.
    const int64_t shifted = int64_t(wholeDigits) + exponent;
    if (shifted <= 0) return 0;
    const std::string_view digits[2] = {text.substr(wholeBegin, wholeDigits),
                                        text.substr(fractionBegin, fractionDigits)};
    uint32_t value = 0;
    int64_t remaining = shifted;
    for (std::string_view part : digits) {
        for (std::size_t k = 0; k < part.size() && remaining > 0; ++k, --remaining) {
            value = value * 10u + uint32_t(part[k] - '0');
        }
    }
    for (int64_t zeros = 0; zeros < remaining && zeros < 32; ++zeros) value *= 10u;
    return negative ? 0u - value : value;
}

int32_t AsSigned(uint32_t bits) {
    return bits <= uint32_t(INT32_MAX) ? int32_t(bits) : -int32_t(~bits) - 1;
}

}  // namespace

Text UrlHost(const Text& url) {
    const Text withoutSchemes = RemoveAll(RemoveAll(url, Text("https://")), Text("http://"));
    return LowerAscii(CutAt(CutAt(withoutSchemes, '/'), ':'));
}

Text UrlPath(const Text& url) {
    const int32_t host = FindText(url, UrlHost(url), 1, true);
    const int32_t slash = FindText(url, "/", host, true);
    if (slash <= 0) return Text("/");
    return Text(std::string_view(url).substr(std::size_t(slash) - 1));
}

int32_t UrlPort(const Text& url) {
    constexpr std::size_t SchemeLength = 7;  // "http://"
    const std::string_view whole(url);
    const std::string_view behindScheme = whole.substr(std::min(SchemeLength, whole.size()));
    const int32_t slash = FindText(whole, "/", int32_t(SchemeLength) + 1, true);
    const std::string_view authority =
        slash > 0 ? behindScheme.substr(0, std::size_t(slash) - 1 - SchemeLength) : behindScheme;
    const int32_t colon = FindText(authority, ":", 1, true);
    if (colon <= 0) return 80;
    return AsSigned(ReadWholeNumberLow32(NarrowFullWidth(authority.substr(std::size_t(colon)))));
}

}  // namespace jestlark
