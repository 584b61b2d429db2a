#pragma once
// The two value types every layer passes around.
//
// Text: 8-bit GBK text that ends at its first zero byte; a null text and the
// empty text are one value. ByteString: counted bytes, zero bytes included.
// They are distinct types so that reading bytes as text, which cuts at the
// first zero byte, is always an explicit step.

#include <cstdint>
#include <string>
#include <string_view>

namespace jestlark {

class Text : public std::string {
public:
    using std::string::string;
    Text() = default;
    explicit Text(std::string bytes) : std::string(std::move(bytes)) {}
    explicit Text(std::string_view bytes) : std::string(bytes) {}

    // A host pointer: null is the empty text; the copy ends at the zero byte.
    static Text FromCString(const char* bytes) { return bytes ? Text(bytes) : Text(); }
};

class ByteString : public std::string {
public:
    using std::string::string;
    ByteString() = default;
    explicit ByteString(std::string bytes) : std::string(std::move(bytes)) {}
    explicit ByteString(std::string_view bytes) : std::string(bytes) {}
};

// The bytes up to, not including, the first zero byte (all when there is none).
inline Text ReadAsText(std::string_view bytes) {
    return Text(bytes.substr(0, bytes.find('\0')));
}

// A text's bytes without its terminating zero.
inline ByteString ToByteString(const Text& text) { return ByteString(std::string_view(text)); }

}  // namespace jestlark
