#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jestlark {

// Code pages by their Windows numbers.
constexpr uint32_t CodePageAnsi = 0;  // CP_ACP: the system's ANSI code page (936 here)
constexpr uint32_t CodePageGbk = 936;
constexpr uint32_t CodePageBig5 = 950;
constexpr uint32_t CodePageUtf8 = 65001;  // CP_UTF8

// bytes (no terminator) read in codePage as UTF-16 code units, the way
// MultiByteToWideChar does it with flags 0: a sequence the code page does not
// define becomes its replacement character, it is never dropped.
std::u16string MultiByteToUtf16(std::string_view bytes, uint32_t codePage);

// units (no terminator) written in codePage, as WideCharToMultiByte with
// flags 0 and the code page's own default character ("?" for 936) writes them.
std::string Utf16ToMultiByte(std::u16string_view units, uint32_t codePage);

// GBK text with each traditional character replaced by its simplified form,
// one character for one character (the Chinese (PRC) locale mapping). Empty
// when the mapping is not available on this system.
std::optional<std::string> MapTraditionalToSimplified(std::string_view gbk);

}  // namespace jestlark
