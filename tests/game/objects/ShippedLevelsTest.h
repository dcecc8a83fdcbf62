#pragma once

// The levels as the build ships them, under a real GL context: the program's resources folder,
// every object kind registered as the program does at start, and all of it taken back afterwards.

#include <optional>

#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObjectFactory.h"
#include "game/objects/GameObjectKinds.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"
#include "support/TestSupport.h"

class ShippedLevelsTest : public GLSceneTest {
protected:
    void SetUp() override {
        LevelTestWorld::shared();  // saved data kept away from the user's, sound on the null device
        resources_.emplace(VANTREL_APP_RESOURCES);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        GLSceneTest::SetUp();
        game::GameObjectKinds::registerKinds();
    }
    void TearDown() override {
        game::GameObjectKinds::unregisterKinds();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        GLSceneTest::TearDown();
        resources_.reset();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }

    std::optional<ScopedResourceFolder> resources_;
};
