// The storm levels as the build ships them: every danger they place is built by its real kind
// from the shipped object data, with the shipped pictures and sounds, and a minute of play runs
// with shots flying, puffs coming and going and creatures walking, striking and chasing.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/shell/VantrelGlobal.h"
#include "engine/core/CCScheduler.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Emitter.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"
#include "support/TestSupport.h"

namespace {

class StormLevelsTest : public GLSceneTest {
protected:
    void SetUp() override {
        LevelTestWorld::shared();  // saved data kept away from the user's, sound on the null device
        resources_.emplace(VANTREL_GENERATED_RESOURCES);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        GLSceneTest::SetUp();
        game::GameObjectKinds::registerKinds();
    }
    void TearDown() override {
        for (const char* kind : {"Hive", "Flower", "Pickup", "Animation", "Dynamic", "Destructable", "Projectile", "Bird",
                                 "Cloud", "SteamCloud", "Emitter", "GroundEnemy", "Hunter", "RoboCam", "Rooster"}) {
            GameObjectFactory::registerKind(kind, nullptr);
        }
        GameObject::setMovementBuilders(nullptr, nullptr);
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        GLSceneTest::TearDown();
        resources_.reset();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }

    std::optional<ScopedResourceFolder> resources_;
};

TEST_F(StormLevelsTest, EveryPlacedDangerIsBuiltWithItsPicturesAndSoundsAndPlays) {
    for (const char* id : {"storm_a", "storm_b", "storm_c"}) {
        SCOPED_TRACE(id);
        LogCapture log;
        VantrelGlobal::sharedInstance()->setNextLevelId(id);
        RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
        ASSERT_TRUE(layer->init()) << ::testing::PrintToString(log.lines());
        Level* level = layer->level();
        const Value objects = *Value::fromFile(std::string(VANTREL_GENERATED_RESOURCES) + "/" + id + "_objects.plist",
                                               nullptr);
        const size_t placed = objects["gameobjects"].count();
        const size_t filed = level->flowers().count() + level->pickups().count() + level->enemies().count() +
                             level->projectiles().count() + level->gameObjectsPriorityHigh().count() +
                             level->gameObjectsPriorityNone().count();
        EXPECT_EQ(filed, placed);
        EXPECT_GE(level->enemies().count(), 6u);
        for (size_t i = 0; i < level->enemies().count(); ++i) {
            EXPECT_TRUE(level->enemies().at(i)->getPrimaryBody()) << level->enemies().at(i)->typeName();
        }
        layer->onEnter();
        // Whatever the emitters made is counted while it lives: puffs held by them, shots in flight.
        size_t mostAlive = 0;
        for (int frame = 0; frame < 3600; ++frame) {
            director_->scheduler()->update(1 / 60.0f);
            size_t alive = level->projectiles().count();
            for (size_t i = 0; i < level->gameObjectsPriorityHigh().count(); ++i) {
                if (auto* emitter = dynamic_cast<game::Emitter*>(level->gameObjectsPriorityHigh().at(i))) {
                    alive += emitter->childCount();
                }
            }
            mostAlive = std::max(mostAlive, alive);
        }
        EXPECT_GT(mostAlive, 1u) << "the emitters keep working";
        for (const std::string& line : log.lines()) {
            EXPECT_EQ(line.find("Game objects"), std::string::npos) << line;
            EXPECT_EQ(line.find("Level: no effect"), std::string::npos) << line;
        }
        layer->onExit();
    }
}

}  // namespace
