#include "platform/posix/GbkUtf16.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace jestlark {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    }
    bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one run; returns false when the input holds a sequence that
    // cannot be converted, with `in` left at it.
    bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t done = iconv(handle_, const_cast<char**>(&in), &inLeft, &next, &room);
            out.append(buffer, std::size_t(next - buffer));
            if (done == std::size_t(-1) && errno != E2BIG) {
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t handle_;
};

// Plain ASCII passes through both ways without iconv: most text is ASCII.
bool IsAscii(unsigned value) { return value < 0x80; }

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
    std::u16string result;
    result.reserve(gbk.size());
    thread_local Converter converter("UTF-16LE", "CP936");
    std::size_t at = 0;
    while (at < gbk.size()) {
        if (IsAscii(static_cast<unsigned char>(gbk[at]))) {
            result.push_back(char16_t(gbk[at++]));
            continue;
        }
        std::size_t end = at;
        while (end < gbk.size() && !IsAscii(static_cast<unsigned char>(gbk[end]))) end += 2;
        if (end > gbk.size()) end = gbk.size();
        const char* in = gbk.data() + at;
        std::size_t inLeft = end - at;
        std::string bytes;
        while (converter.Usable() && inLeft > 0 && !converter.Run(in, inLeft, bytes)) {
            // An unmappable or cut-off character: one "?" for its lead byte.
            bytes.append("?\0", 2);
            ++in;
            --inLeft;
        }
        if (!converter.Usable()) {
            for (; inLeft > 0; --inLeft) bytes.append("?\0", 2);
        }
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            result.push_back(char16_t(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        at = end;
    }
    return result;
}

std::string Utf16ToGbk(std::u16string_view utf16) {
    std::string result;
    result.reserve(utf16.size());
    thread_local Converter converter("CP936", "UTF-16LE");
    std::size_t at = 0;
    while (at < utf16.size()) {
        if (IsAscii(utf16[at])) {
            result.push_back(char(utf16[at++]));
            continue;
        }
        std::size_t end = at;
        while (end < utf16.size() && !IsAscii(utf16[end])) ++end;
        std::string units;
        units.reserve((end - at) * 2);
        for (std::size_t i = at; i < end; ++i) {
            units.push_back(char(utf16[i] & 0xFF));
            units.push_back(char(utf16[i] >> 8));
        }
        const char* in = units.data();
        std::size_t inLeft = units.size();
        while (converter.Usable() && inLeft > 0 && !converter.Run(in, inLeft, result)) {
            // A character GBK does not have (a surrogate pair counts as one).
            result.push_back('?');
            const unsigned unit = static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8);
            const std::size_t skip = (unit >= 0xD800 && unit < 0xDC00 && inLeft >= 4) ? 4 : 2;
            in += skip;
            inLeft -= skip;
        }
        if (!converter.Usable()) result.append(inLeft / 2, '?');
        at = end;
    }
    return result;
}

}  // namespace jestlark
