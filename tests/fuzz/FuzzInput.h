#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace jestlark {

// Splits a fuzzer's bytes into a few values: flag bits, a number and texts.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int32_t Number() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
        return int32_t(value);
    }
    // A text whose length is the next byte (limited to what is left).
    std::string Piece() {
        std::size_t length = Byte();
        if (length > size_ - at_) length = size_ - at_;
        std::string piece(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return piece;
    }
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return rest;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Stops the run with a finding when a property does not hold.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) __builtin_trap(); \
    } while (0)

}  // namespace jestlark
