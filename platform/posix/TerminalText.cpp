#include "platform/TerminalText.h"

#include <errno.h>
#include <iconv.h>

#include <memory>

namespace jestlark {

std::string GbkToUtf8(std::string_view gbk) {
    iconv_t converter = iconv_open("UTF-8", "CP936");
    if (converter == iconv_t(-1)) return std::string(gbk);
    std::unique_ptr<void, int (*)(iconv_t)> closer(converter, iconv_close);

    std::string out;
    char buffer[4096];
    char* in = const_cast<char*>(gbk.data());
    size_t inLeft = gbk.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const bool failed = iconv(converter, &in, &inLeft, &outPtr, &outLeft) == size_t(-1);
        out.append(buffer, size_t(outPtr - buffer));
        if (failed && errno != E2BIG) {
            // An invalid or cut character: mark it and go on behind its first byte.
            out += '?';
            ++in;
            --inLeft;
        }
    }
    return out;
}

}  // namespace jestlark
