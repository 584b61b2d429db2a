#include "platform/TerminalText.h"

#include <windows.h>

#include <vector>

namespace jestlark {

std::string GbkToUtf8(std::string_view gbk) {
    if (gbk.empty()) return std::string();
    const int units = MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), nullptr, 0);
    if (units <= 0) return std::string(gbk);
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    MultiByteToWideChar(936, 0, gbk.data(), int(gbk.size()), wide.data(), units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace jestlark
