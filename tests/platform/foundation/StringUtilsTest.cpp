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
