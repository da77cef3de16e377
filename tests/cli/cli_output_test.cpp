#include "cli/cli_output.h"

#include <gtest/gtest.h>

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(cli::JsonString("HKEY_CLASSES_ROOT\\CLSID"), "\"HKEY_CLASSES_ROOT\\\\CLSID\"");
    EXPECT_EQ(cli::JsonString("a\"b\r\n\x01"), "\"a\\\"b\\r\\n\\u0001\"");
    EXPECT_EQ(cli::JsonString(""), "\"\"");
}

TEST(JsonString, ConvertsTheActiveCodePageToUtf8) {
    // 0xE9 is e-acute in the Western code page Wine uses by default.
    EXPECT_EQ(cli::JsonString("caf\xE9"), "\"caf\xC3\xA9\"");
}
