#pragma once

// The levels as the build ships them, under a real GL context: the program's resources folder,
// every object kind registered as the program does at start, and all of it taken back afterwards.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Levels.h"
#include "game/objects/GameObjectKinds.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"
#include "support/TestSupport.h"

// The levels of the shipped catalogue, group by group in play order: the rows of the tests that
// go over every level (a test checks that they are the catalogue's).
inline constexpr const char* kShippedLevelIds[] = {"meadow_a", "meadow_b", "meadow_c", "garden_a",
                                                   "garden_b", "garden_c", "storm_a",  "storm_b",
                                                   "storm_c",  "works_a",  "works_b",  "works_c"};

// The shipped catalogue as the game reads it, with scores of its own (none yet).
struct ShippedCatalogue {
    TemporaryFolder scores;
    Levels levels{std::string(VANTREL_APP_RESOURCES) + "/" + Levels::kLevelsFileName, scores.path(), nullptr,
                  [] { return false; }};
};

// A row's level id as its test's name.
inline std::string shippedLevelName(const ::testing::TestParamInfo<const char*>& row) { return row.param; }

// Every object kind registered as the program does at start, and taken back when this goes.
struct ShippedObjectKinds {
    ShippedObjectKinds() { game::GameObjectKinds::registerKinds(); }
    ~ShippedObjectKinds() { game::GameObjectKinds::unregisterKinds(); }
    ShippedObjectKinds(const ShippedObjectKinds&) = delete;
    ShippedObjectKinds& operator=(const ShippedObjectKinds&) = delete;
};

class ShippedLevelsTest : public GLSceneTest {
protected:
    void SetUp() override {
        LevelTestWorld::shared();  // saved data kept away from the user's, sound on the null device
        resources_.emplace(VANTREL_APP_RESOURCES);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        GLSceneTest::SetUp();
        kinds_.emplace();
    }
    void TearDown() override {
        kinds_.reset();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        GLSceneTest::TearDown();
        resources_.reset();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }

    std::optional<ScopedResourceFolder> resources_;
    std::optional<ShippedObjectKinds> kinds_;
};
