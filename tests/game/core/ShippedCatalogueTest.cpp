// The catalogue the game ships, read as the game reads it: every group the menu shows has the
// data its screen is built from and one to three levels whose ids pick the hive tabs, each with
// its level file.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "game/core/Levels.h"
#include "support/TestSupport.h"

namespace {

TEST(ShippedCatalogueTest, EveryGroupHasItsMenuDataAndLevelsLabelledAToC) {
    const std::filesystem::path resources = VANTREL_SOURCE_RESOURCES;
    TemporaryFolder data;
    const Levels levels((resources / Levels::kLevelsFileName).string(), data.path(), nullptr, [] { return false; });

    std::set<std::string> groups;
    for (const Value& group : levels.levelGroupOrder().elements()) groups.insert(group.stringValue());
    for (const char* expected : {"meadow", "garden", "storm", "works"}) EXPECT_TRUE(groups.count(expected)) << expected;
    EXPECT_EQ(groups.size(), levels.levelGroupOrder().elements().size()) << "a group is listed twice";
    for (const auto& [groupId, groupLevels] : levels.levelGroups().entries()) {
        EXPECT_TRUE(groups.count(groupId)) << groupId << " has levels but no place in the menu order";
    }

    for (const std::string& groupId : groups) {
        SCOPED_TRACE(groupId);
        const Value& menuData = levels.getLevelGroupMenuData(groupId);
        ASSERT_TRUE(menuData.isDictionary()) << "no \"menu_data\"";
        EXPECT_TRUE(levels.isLevelGroupAvailable(groupId));
        for (const char* key : {"name", "background_image", "background_gradient_top", "background_gradient_bottom",
                                "title_image"}) {
            EXPECT_FALSE(menuData[key].stringValue().empty()) << key;
        }
        const std::vector<Value>& groupLevels = levels.levelGroups()[groupId].elements();
        ASSERT_GE(groupLevels.size(), 1u);
        ASSERT_LE(groupLevels.size(), 3u) << "a screen has three hives";
        for (size_t i = 0; i < groupLevels.size(); ++i) {
            const std::string id = groupLevels[i]["id"].stringValue();
            const std::string suffix = std::string("_") + static_cast<char>('a' + i);
            EXPECT_TRUE(id.ends_with(suffix)) << id << " should end in " << suffix;
            EXPECT_TRUE(levels.isLevelAvailable(id)) << id;
            EXPECT_TRUE(std::filesystem::is_regular_file(resources / (id + ".plist"))) << id << " has no level file";
        }
        EXPECT_TRUE(levels.isLevelAvailableAndUnLocked(groupLevels[0]["id"].stringValue()))
            << "the first level of a group is open from the start";
    }
}

}  // namespace
