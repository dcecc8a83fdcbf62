#include "platform/foundation/StringUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(StringUtils, PathComponentsFollowThePlatformRules) {
    EXPECT_EQ(lastPathComponent("dir/sub/"), "sub");
    EXPECT_EQ(lastPathComponent("/"), "/");
    EXPECT_EQ(pathExtension("sheet.pvr.ccz"), "ccz");
    EXPECT_EQ(pathExtension("dir.d/noext"), "");
    EXPECT_EQ(pathExtension(".hidden"), "");
    EXPECT_EQ(stringByDeletingPathExtension("dir/sheet.pvr.ccz"), "dir/sheet.pvr");
    EXPECT_EQ(stringByDeletingPathExtension("dir.d/noext"), "dir.d/noext");
    EXPECT_EQ(stringByDeletingLastPathComponent("hero.png"), "");
    EXPECT_EQ(stringByDeletingLastPathComponent("/hero.png"), "/");
    EXPECT_EQ(stringByAppendingPathComponent("dir/", "/a.png"), "dir/a.png");
    EXPECT_EQ(stringByAppendingPathComponent("", "a.png"), "a.png");
    EXPECT_EQ(stringByAppendingPathExtension("dir/a", "png"), "dir/a.png");
}

TEST(StringUtils, SuffixAndReplacement) {
    EXPECT_TRUE(hasSuffixIgnoringCase("Hero.PNG", ".png"));
    EXPECT_FALSE(hasSuffix("png", ".png"));
    EXPECT_EQ(stringByReplacingOccurrences("a-mac-mac.png", "-mac", ""), "a.png");
    EXPECT_EQ(stringByReplacingOccurrences("abc", "", "x"), "abc");
    EXPECT_EQ(stringWithFormat("%s=%d", "level", 7), "level=7");
}

TEST(StringUtils, NumbersAreReadFromTheLeadingDecimalPrefix) {
    EXPECT_EQ(stringIntValue("  42abc"), 42);
    EXPECT_EQ(stringIntValue("abc"), 0);
    EXPECT_EQ(stringIntValue("99999999999"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(stringIntValue("-99999999999"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(stringIntegerValue("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_DOUBLE_EQ(stringDoubleValue(" +1.5e2xyz"), 150.0);
    EXPECT_DOUBLE_EQ(stringDoubleValue("3e"), 3.0);
    EXPECT_DOUBLE_EQ(stringDoubleValue("-"), 0.0);
    EXPECT_TRUE(std::isinf(stringDoubleValue("1e999")));
}

TEST(StringUtils, BoolValueLooksAtTheFirstMeaningfulCharacter) {
    EXPECT_TRUE(stringBoolValue(" true"));
    EXPECT_TRUE(stringBoolValue("0001"));
    EXPECT_TRUE(stringBoolValue("-5"));
    EXPECT_FALSE(stringBoolValue("0"));
    EXPECT_FALSE(stringBoolValue("no"));
    EXPECT_FALSE(stringBoolValue(""));
}
