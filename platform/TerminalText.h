#pragma once
#include <string>
#include <string_view>

namespace jestlark {

// GBK bytes as UTF-8 for a terminal; bytes that are not GBK come out as "?".
std::string GbkToUtf8(std::string_view gbk);

}  // namespace jestlark
