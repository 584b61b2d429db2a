#include <gtest/gtest.h>

#include <cstdint>
#include "fetch/Url.h"

namespace jestlark {
namespace {

struct UrlCase {
    const char* url;
    const char* host;
    const char* path;
    int32_t port;  // only for http:// URLs
};

TEST(Url, Table) {
    const UrlCase cases[] = {
        {"http://Srv.Test/a/b?x=1#f", "srv.test", "/a/b?x=1#f", 80},
        {"http://srv.test", "srv.test", "/", 80},
        {"http://srv.test/", "srv.test", "/", 80},
        {"http://srv.test:8080/x", "srv.test", "/x", 8080},
        {"http://srv.test:8080", "srv.test", "/", 8080},
        {"http://srv.test?q=1", "srv.test?q=1", "/", 80},
        {"http://srv.test:8080?q=1", "srv.test", "/", 8080},
        {"http://srv.test:/x", "srv.test", "/x", 0},
        {"http://srv.test:abc/x", "srv.test", "/x", 0},
        {"http://srv.test/r?u=http://other.test/", "srv.test", "/r?u=http://other.test/", 80},
        {"http://HTTP://SRV.TEST/x", "http", "//HTTP://SRV.TEST/x", 0},
        {"http://user:pw@srv.test/x", "user", "/x", 0},
        {"http://\xD6\xD0\xCE\xC4.Test/x", "\xD6\xD0\xCE\xC4.test", "/x", 80},
        {"http://\x81/a", "\x81/a", "/", 80},
    };
    for (const UrlCase& c : cases) {
        SCOPED_TRACE(c.url);
        const Text url(c.url);
        EXPECT_EQ(UrlHost(url), c.host);
        EXPECT_EQ(UrlPath(url), c.path);
        EXPECT_EQ(UrlPort(url), c.port);
        EXPECT_EQ(url, c.url);
    }
}

TEST(Url, HttpsHostAndPath) {
    EXPECT_EQ(UrlHost(Text("https://srv.test/x")), "srv.test");
    EXPECT_EQ(UrlPath(Text("https://srv.test/x")), "/x");
    EXPECT_EQ(UrlHost(Text("https://Srv.Test:8080/x?y")), "srv.test");
    EXPECT_EQ(UrlPath(Text("https://Srv.Test:8080/x?y")), "/x?y");
}

TEST(Url, LowerCaseStepsOverDoubleByteCharacters) {
    // 81 41 is one character: its trail byte is not a capital A.
    EXPECT_EQ(UrlHost(Text("http://\x81\x41" "B/")), "\x81\x41" "b");
}

struct PortCase {
    const char* portText;
    int32_t port;
};

// The port text read as a decimal number, cut toward zero, low 32 bits.
TEST(UrlPort, NumberReading) {
    const PortCase cases[] = {
        {"443", 443},
        {" \t8080", 8080},
        {"+7", 7},
        {"-1", -1},
        {"-0", 0},
        {"8.9", 8},
        {"-8.9", -8},
        {"1e3", 1000},
        {"1.5e1", 15},
        {"12e-1", 1},
        {".5e1", 5},
        {"1e", 1},
        {"1e+", 1},
        {"1x", 1},
        {".", 0},
        {"-", 0},
        {"inf", 0},
        {"nan", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN},
        {"4294967296", 0},
        {"4294967297", 1},
        {"99999999999999999999", 1661992959},   // 10^20 - 1 modulo 2^32
        {"1e30", 1073741824},                    // 10^30 modulo 2^32 is 2^30
        {"1e40", 0},
        {"1e99999999999999999999999", 0},
        {"5e-99999999999999999999999", 0},
        {"\xA3\xB8\xA3\xB0\xA3\xB8\xA3\xB1", 8081},  // full-width digits
        {"\xA1\xA1" "81", 81},                      // full-width space as a blank
        {"\xA3\xAD\xA3\xB5", -5},                   // full-width minus
        {"\xA3", 0},                                // lone lead byte
        {"", 0},
    };
    for (const PortCase& c : cases) {
        SCOPED_TRACE(c.portText);
        EXPECT_EQ(UrlPort(Text(std::string("http://h:") + c.portText + "/p")), c.port);
    }
}

TEST(UrlPort, ShortAndOddUrls) {
    EXPECT_EQ(UrlPort(Text("")), 80);
    EXPECT_EQ(UrlPort(Text("http:/")), 80);
    EXPECT_EQ(UrlPort(Text("http://")), 80);
    EXPECT_EQ(UrlPort(Text("http://:")), 0);
    EXPECT_EQ(UrlPort(Text("http:///:1")), 80);
    EXPECT_EQ(UrlPort(Text("http://h:12")), 12);
}

}  // namespace
}  // namespace jestlark
