#pragma once
// The ANSI code page of this layer, 936 (GBK), to UTF-16 and back, with the
// Windows conversions' treatment of bytes and characters they cannot map.

#include <string>
#include <string_view>

namespace jestlark {

std::u16string GbkToUtf16(std::string_view gbk);
// A character that GBK lacks becomes "?".
std::string Utf16ToGbk(std::u16string_view utf16);

}  // namespace jestlark
