#include "game/core/LevelInfo.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "support/LevelTestSupport.h"

namespace {

TEST(LevelInfoTest, DerivedValuesAndDefaults) {
    Value info = testLevelInfo("test_a", 120);
    info.set("antigravity_magnitude", 0.5);
    info.set("ground_radius_offset", 12);
    const std::optional<LevelInfo> level = parseLevelInfo(info, "test_a.plist");
    ASSERT_TRUE(level);
    const struct {
        const char* name;
        float value;
        float expected;
    } rows[] = {
        {"bottom to sky", level->bottomToSkyRange, 900},      // 2000 - 1100
        {"ground inner", level->groundInnerRadius, 900},      // 1000 - 100
        {"near outer", level->bgNear.outerRadius, 1150},       // 950 + 200
        {"far outer", level->bgFar.outerRadius, 1200},         // 900 + 300
        {"gravity absent", level->gravityMagnitude, 320},
        {"anti-gravity x 320", level->antiGravityMagnitude, 160},
        {"night flight", level->autoFlyFlightLevel, 1750},    // 1000 + 0.75 x 1000
        {"offset", level->groundRadiusOffset, 12},
        {"day", level->lengthOfDay, 120},
    };
    for (const auto& row : rows) EXPECT_FLOAT_EQ(row.value, row.expected) << row.name;
    EXPECT_EQ(level->levelId, "test_a");
    EXPECT_EQ(level->skyColourEndTop, (ccColor4B{200, 100, 50, 255}));
    EXPECT_FALSE(level->isTrailer);
    EXPECT_EQ(level->levelObjectsFileName, "test_a_objects.plist");
}

TEST(LevelInfoTest, RefusalsNameTheFileOrTheLevel) {
    const struct {
        const char* name;
        Value info;
        const char* logged;
    } cases[] = {
        {"no dictionary", array({}), "\"broken.plist\" is refused: it holds no level info"},
        {"a number for the id", dict({{"id", 7}}), "\"broken.plist\" is refused: it has no \"id\""},
        {"no room", [] {
             Value info = testLevelInfo("low", 120);
             info.set("sky_radius", 900);
             return info;
         }(), "\"low\" is refused: its radii leave no room"},
    };
    for (const auto& c : cases) {
        LogCapture log;
        EXPECT_FALSE(parseLevelInfo(c.info, "broken.plist")) << c.name;
        EXPECT_TRUE(log.contains(c.logged)) << c.name;
    }
}

}  // namespace
