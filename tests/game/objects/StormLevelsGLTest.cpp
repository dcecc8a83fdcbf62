// The storm levels as the build ships them: every danger they place is built by its real kind
// from the shipped object data, with the shipped pictures and sounds, and a minute of play runs
// with shots flying, puffs coming and going and creatures walking, striking and chasing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "shell/VantrelGlobal.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCScheduler.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/MovementProtocol.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/Player.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/Cloud.h"
#include "game/objects/Emitter.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "tests/game/objects/ShippedLevelsTest.h"
#include "support/LevelTestSupport.h"
#include "support/TestSupport.h"
#include "tests/game/objects/EnemyTestSupport.h"

namespace {

class StormLevelsTest : public ShippedLevelsTest {};

TEST_F(StormLevelsTest, EveryPlacedDangerIsBuiltWithItsPicturesAndSoundsAndPlays) {
    for (const char* id : {"storm_a", "storm_b", "storm_c"}) {
        SCOPED_TRACE(id);
        LogCapture log;
        VantrelGlobal::sharedInstance()->setNextLevelId(id);
        RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
        ASSERT_TRUE(layer->init()) << ::testing::PrintToString(log.lines());
        Level* level = layer->level();
        const Value objects = *Value::fromFile(std::string(VANTREL_APP_RESOURCES) + "/" + id + "_objects.plist",
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
        layer->cleanup();  // as when its scene leaves: what it scheduled lets it go
    }
}

// A level point's place in the last frame, window pixels from the bottom left; `level` is a node
// drawn in level coordinates.
CGPoint onScreen(CCNode* level, CGPoint point, int width) {
    const CGPoint world = level->convertToWorldSpace(point);
    const double pixelsPerPoint = width / CCDirector::sharedDirector()->winSize().width;
    return CGPointMake(world.x * pixelsPerPoint, world.y * pixelsPerPoint);
}

TEST_F(StormLevelsTest, AStormCloudsBoltHangsTowardsTheBee) {
    resizeWindow(1024, 768);  // the play scene's screen
    VantrelGlobal::sharedInstance()->setNextLevelId("storm_b");
    RefPtr<VantrelGameLayer> layer = makeRef<VantrelGameLayer>();
    ASSERT_TRUE(layer->init());
    game::Cloud* storm = nullptr;
    for (size_t i = 0; i < layer->level()->enemies().count(); ++i) {
        auto* cloud = dynamic_cast<game::Cloud*>(layer->level()->enemies().at(i));
        if (cloud && cloud->type() == 206) storm = cloud;
    }
    ASSERT_TRUE(storm);
    // The cloud held just above the bee's spawn point, where the camera looks, and a stand-in bee
    // 80 pt to its right along the sky (clockwise).
    storm->setActive(false);
    storm->setMovement(nullptr);
    const CGPoint spawn = layer->level()->spawnPosition();
    const double r = std::hypot(spawn.x, spawn.y);
    const CGPoint up = CGPointMake(spawn.x / r, spawn.y / r);
    storm->physicsSprite()->setPosition(CGPointMake(spawn.x + 40 * up.x, spawn.y + 40 * up.y));
    storm->physicsSprite()->synchroniseBody();
    enemytest::TestBee bee;
    bee.build(layer->physicsWorld(), b2Vec2(static_cast<float>((spawn.x + 40 * up.x + 80 * up.y) / 32),
                                            static_cast<float>((spawn.y + 40 * up.y - 80 * up.x) / 32)));
    layer->level()->setPlayer(&bee);
    scene_->addChild(layer.get());
    for (int i = 0; i < 30; ++i) {
        bee.moveTo(bee.head->body()->GetPosition());
        runFrames(1);
    }
    const std::vector<uint8_t> before = grabber_->pixels;
    storm->setActive(true);
    storm->rules().setContactDelay(0);
    ASSERT_GT(storm->sensorContactPlayer(), 0u);
    runFrames(1);

    // The pixels the bolt made brighter and warmer in this frame (the level's light tints it).
    const int width = grabber_->width;
    double sumX = 0, sumY = 0;
    int count = 0;
    for (int y = 0; y < grabber_->height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = (static_cast<size_t>(y) * width + x) * 4;
            const uint8_t* now = &grabber_->pixels[at];
            const int brighter = now[0] + now[1] - before[at] - before[at + 1];
            if (brighter > 80 && now[0] >= now[2]) {
                sumX += x;
                sumY += y;
                ++count;
            }
        }
    }
    ASSERT_GT(count, 30) << "the bolt is drawn";
    CCNode* levelSpace = storm->physicsSprite()->parent();
    const CGPoint cloud = onScreen(levelSpace, storm->physicsSprite()->position(), width);
    const CGPoint target = onScreen(levelSpace, bee.head->position(), width);
    const double boltX = sumX / count - cloud.x, boltY = sumY / count - cloud.y;
    const double beeX = target.x - cloud.x, beeY = target.y - cloud.y;
    const double cosine = (boltX * beeX + boltY * beeY) / (std::hypot(boltX, boltY) * std::hypot(beeX, beeY));
    EXPECT_GT(cosine, std::cos(20 * 0.017453292)) << "from the cloud towards the bee";
    layer->removeFromParentAndCleanup(true);
    layer->level()->setPlayer(nullptr);
    bee.head->destroyBody();
}

}  // namespace
