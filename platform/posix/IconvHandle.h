#pragma once
#include <iconv.h>

#include <memory>
#include <type_traits>

namespace jestlark {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// An open converter, or null when iconv lacks one of the two encodings.
inline IconvHandle OpenIconv(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    return IconvHandle(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

}  // namespace jestlark
