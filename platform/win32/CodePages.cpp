#include "platform/CodePages.h"

#include <windows.h>

#include <climits>

namespace jestlark {
namespace {

// The Windows calls count in int; longer inputs are not something a page
// fetch produces, and they come back empty rather than cut.
bool FitsInt(std::size_t size) { return size <= std::size_t(INT_MAX / 4); }

}  // namespace

std::u16string MultiByteToUtf16(std::string_view bytes, uint32_t codePage) {
    if (bytes.empty() || !FitsInt(bytes.size())) return {};
    const int length = int(bytes.size());
    // Counted in the code page converted from, so the buffer always holds the
    // whole result.
    const int units = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::u16string wide(std::size_t(units), u'\0');
    const int written = MultiByteToWideChar(codePage, 0, bytes.data(), length,
                                            reinterpret_cast<wchar_t*>(wide.data()), units);
    wide.resize(written > 0 ? std::size_t(written) : 0);
    return wide;
}

std::string Utf16ToMultiByte(std::u16string_view units, uint32_t codePage) {
    if (units.empty() || !FitsInt(units.size())) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int length = int(units.size());
    const int bytes = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string text(std::size_t(bytes), '\0');
    const int written = WideCharToMultiByte(codePage, 0, wide, length, text.data(), bytes,
                                            nullptr, nullptr);
    text.resize(written > 0 ? std::size_t(written) : 0);
    return text;
}

std::optional<std::string> MapTraditionalToSimplified(std::string_view gbk) {
    if (gbk.empty()) return std::string();
    if (!FitsInt(gbk.size())) return std::nullopt;
    const LCID prc = MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT);
    const int length = int(gbk.size());
    const int size = LCMapStringA(prc, LCMAP_SIMPLIFIED_CHINESE, gbk.data(), length, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::string mapped(std::size_t(size), '\0');
    const int written = LCMapStringA(prc, LCMAP_SIMPLIFIED_CHINESE, gbk.data(), length,
                                     mapped.data(), size);
    if (written <= 0) return std::nullopt;
    mapped.resize(std::size_t(written));
    return mapped;
}

}  // namespace jestlark
