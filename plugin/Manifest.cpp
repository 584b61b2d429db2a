#include "plugin/Manifest.h"

namespace jestlark {

Text BuildManifest() {
    // GBK bytes, written out so that the source's own encoding cannot change them.
    static const char* const lines[] = {
        "Jestlark",
        "1.0\xB0\xE6",                                         // 1.0版
        "Pellwick",
        "  \xA1\xAA   \xCD\xF8\xC2\xE7\xD0\xA6\xBB\xB0",       // "  —   网络笑话"
        "#\xD0\xA6\xBB\xB0",                                   // #笑话, the command
        "",
        "",
        "\xD0\xA6\xBB\xB0\xCB\xD1\xCB\xF7",                    // 笑话搜索, the handler's name
        "1",
        "\xBC\xD9",                                            // 假
        "-----",
    };
    Text manifest;
    for (const char* line : lines) {
        manifest += line;
        manifest += "\r\n";
    }
    return manifest;
}

}  // namespace jestlark
