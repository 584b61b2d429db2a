#pragma once
#include <cstdint>
#include <optional>
#include "text/Text.h"

namespace jestlark {

enum BodyConversion : int32_t { ConvertNone = 0, ConvertUtf8ToGbk = 1, ConvertBig5ToGbkSimplified = 2 };

// The optional parameters of FetchPage; a default-constructed value leaves
// every one of them out.
struct FetchOptions {
    int32_t method = 0;                    // 1 is POST, anything else GET
    Text proxy;                            // empty: a direct connection
    Text extraHeaders;                     // lines each ending "\r\n"
    ByteString postBody;
    Text cookies;                          // one header value, a=1; b=2
    std::optional<int32_t> timeoutSeconds; // left out: 60 seconds
    Text* responseHeaders = nullptr;       // out, written only when given
    int32_t bodyConversion = ConvertNone;
    Text* responseCookies = nullptr;       // out, written only when given
    std::optional<bool> allowRedirects;    // left out: true
};

// Downloads url on a worker thread under a time limit and returns the body,
// or the fixed timeout message when the limit passes. url may be replaced by
// its scheme-corrected form.
ByteString FetchPage(Text& url, const FetchOptions& options = {});

}  // namespace jestlark
