#include <gtest/gtest.h>

#include <string>

#include "tests/plugin/ExportsDecl.h"

namespace {

const std::string ExpectedManifest =
    "Jestlark\r\n"
    "1.0\xB0\xE6\r\n"
    "Pellwick\r\n"
    "\x20\x20\xA1\xAA\x20\x20\x20\xCD\xF8\xC2\xE7\xD0\xA6\xBB\xB0\r\n"
    "\x23\xD0\xA6\xBB\xB0\r\n"
    "\r\n"
    "\r\n"
    "\xD0\xA6\xBB\xB0\xCB\xD1\xCB\xF7\r\n"
    "1\r\n"
    "\xBC\xD9\r\n"
    "-----\r\n";

TEST(Manifest, IsTheElevenLinesByteForByte) {
    const char* manifest = info();
    ASSERT_NE(manifest, nullptr);
    EXPECT_EQ(std::string(manifest), ExpectedManifest);
    EXPECT_NE(ExpectedManifest.find("\xB0\r\n\r\n\r\n\xD0"), std::string::npos);
}

TEST(Manifest, SecondCallGivesAnEqualText) {
    const std::string first = info();
    const char* second = info();
    EXPECT_EQ(first, std::string(second));
    EXPECT_EQ(std::string(info()), ExpectedManifest);
}

}  // namespace
