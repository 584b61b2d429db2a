#include "text/RemoveBlankLines.h"

#include <gtest/gtest.h>

namespace jestlark {
namespace {

struct BlankLineCase {
    const char* input;
    const char* result;
    const char* trimmed;  // what the caller's variable holds afterwards
};

TEST(RemoveBlankLines, Cases) {
    const BlankLineCase cases[] = {
        {"a\r\n\r\nb", "a\r\nb", "a\r\n\r\nb"},
        {"a\r\n   \t\r\nb", "a\r\nb", "a\r\n   \t\r\nb"},
        {"a\r\n\r\n\r\nb", "a\r\nb", "a\r\n\r\n\r\nb"},
        {"a\r\n\r\n  b", "a\r\n  b", "a\r\n\r\n  b"},
        {"\r\na\r\nb\r\n", "a\r\nb", "a\r\nb"},
        {"\r\n\r\na", "\r\na", "\r\na"},
        {"a\r\n\r\n", "a\r\n", "a\r\n"},
        {"\r\n", "", ""},
        {"a\n\nb", "a\n\nb", "a\n\nb"},
        {"\n\r", "", "\n\r"},
        {"", "", ""},
        {"\r", "\r", "\r"},
        {"a  b\r\n x \r\nc", "a  b\r\n x \r\nc", "a  b\r\n x \r\nc"},
        {"\xD0\xA6\r\n \r\n\xBB\xB0", "\xD0\xA6\r\n\xBB\xB0", "\xD0\xA6\r\n \r\n\xBB\xB0"},
    };
    for (const BlankLineCase& c : cases) {
        Text text(c.input);
        EXPECT_EQ(RemoveBlankLines(text), c.result) << testing::PrintToString(std::string(c.input));
        EXPECT_EQ(text, c.trimmed) << testing::PrintToString(std::string(c.input));
        Text again(c.input);
        EXPECT_EQ(RemoveBlankLines(again, true), c.result);
    }
}

}  // namespace
}  // namespace jestlark
