#include "platform/foundation/StringUtils.h"

#include <gtest/gtest.h>

#include <cmath>

// Numbers are read from the leading text, saturated; bools from the first meaningful character.
TEST(StringUtils, PathsSuffixesNumbersAndBoolsFollowThePlatformRules) {
    const std::pair<std::string, std::string> cases[] = {
        {lastPathComponent("dir/sub/"), "sub"}, {lastPathComponent("/"), "/"}, {pathExtension("a.pvr.ccz"), "ccz"},
        {pathExtension("dir.d/noext"), ""}, {pathExtension(".hidden"), ""},
        {stringByDeletingPathExtension("dir/a.pvr.ccz"), "dir/a.pvr"}, {stringByDeletingPathExtension("d.d/x"), "d.d/x"},
        {stringByDeletingLastPathComponent("hero.png"), ""}, {stringByDeletingLastPathComponent("/hero.png"), "/"},
        {stringByAppendingPathComponent("dir/", "/a.png"), "dir/a.png"}, {stringByAppendingPathComponent("", "a"), "a"},
        {stringByAppendingPathExtension("dir/a", "png"), "dir/a.png"},
        {stringByReplacingOccurrences("a-mac-mac.png", "-mac", ""), "a.png"}, {stringByReplacingOccurrences("abc", "", "x"), "abc"},
    };
    for (const auto& [actual, expected] : cases) EXPECT_EQ(actual, expected);
    EXPECT_TRUE(hasSuffixIgnoringCase("Hero.PNG", ".png") && !hasSuffix("png", ".png"));
    EXPECT_TRUE(stringIntValue("  42abc") == 42 && stringIntValue("abc") == 0 && stringIntValue("-99999999999") == INT32_MIN);
    EXPECT_TRUE(stringIntegerValue("-9223372036854775808") == INT64_MIN && std::isinf(stringDoubleValue("1e999")));
    EXPECT_TRUE(stringDoubleValue(" +1.5e2xyz") == 150.0 && stringDoubleValue("3e") == 3.0 && stringDoubleValue("-") == 0.0);
    EXPECT_TRUE(stringBoolValue(" true") && stringBoolValue("0001") && stringBoolValue("-5"));
    EXPECT_FALSE(stringBoolValue("0") || stringBoolValue("no") || stringBoolValue(""));
}

TEST(StringUtils, UTF8SequencesAreWellFormedOrNone) {
    // Text, whether it is well-formed UTF-8 as a whole, and the length of its first sequence.
    const struct { std::string text; bool valid; size_t first; } cases[] = {
        {"", true, 0}, {std::string("a\0b", 3), true, 1}, {"\xC3\xA9", true, 2}, {"\xE2\x82\xAC", true, 3},
        {"\xF0\x9F\x98\x80", true, 4}, {"\xF4\x8F\xBF\xBF", true, 4},
        {"\xC0\xAF", false, 0}, {"\xE0\x80\xAF", false, 0}, {"\xF0\x80\x80\xAF", false, 0},  // overlong
        {"\xED\xA0\x80", false, 0}, {"\xF4\x90\x80\x80", false, 0}, {"\xF5\x80\x80\x80", false, 0},
        {"\x80", false, 0}, {"\xE2\x82", false, 0}, {"\xC3\x28", false, 0}, {"ok\xFF", false, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isValidUTF8(c.text), c.valid) << c.text;
        if (!c.text.empty()) {
            EXPECT_EQ(utf8SequenceLength(c.text, 0), c.first) << c.text;
        }
    }
}
