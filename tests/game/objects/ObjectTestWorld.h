#pragma once

// A level for the object kinds, run at 1/60 s without a play scene around it: the play scene's
// physics only, a planet of ground radius 1000 points (a static circle on the ground body), the
// kinds registered with the factory, sounds recorded instead of played, and the frames the tests
// name made on a texture that is never drawn. Sprites need a GL context, so the director draws
// into a window (under Xvfb), though nothing of the level is put on the screen.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Random.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"
#include "support/ValueBuilders.h"
#include "tests/game/core/RecordingSoundOutput.h"

// The play scene with its physics only, so that objects find a world, controllers and the
// contact listener (with its damage path on).
class ObjectTestLayer : public VantrelGameLayer {
public:
    ObjectTestLayer() {
        setCurrentGameLayer(this);
        createPhysics();
        gameContactListener()->setPostSolveEnabled(true);
    }
    ~ObjectTestLayer() override { setCurrentGameLayer(nullptr); }
};

class ObjectTestWorld : public GLSceneTest {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;
    static constexpr double kGroundRadius = 1000;  // points

    // The object data of the test and the frames it needs (name, size in points).
    void SetUp() override {
        GLSceneTest::SetUp();
        if (HasFatalFailure()) return;
        Random::seed(21);
        world_ = &LevelTestWorld::shared();
        game::GameObjectKinds::registerKinds();
        layer_ = makeRef<ObjectTestLayer>();
    }

    void TearDown() override {
        if (!layer_) return GLSceneTest::TearDown();
        level_.reset();
        layer_.reset();
        game::GameObjectKinds::unregisterKinds();
        world_->writeList("gameobject_data.plist", dict({}));
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        CCAnimationCache::purgeSharedAnimationCache();
        GLSceneTest::TearDown();
    }

    // Frames side by side on a texture that is never drawn, so that no two look the same.
    void addFrames(const std::vector<std::pair<std::string, CGSize>>& frames) {
        RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
        double x = 0;
        for (const auto& [name, size] : frames) {
            CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
                CCSpriteFrame::frameWithTexture(texture, CGRectMake(x, 0, size.width, size.height)), name);
            x += size.width;
        }
    }

    // Loads level "test_a" (reference honey 100) with the object data and the objects, its hive
    // straight above the centre; the planet's ground is a circle of kGroundRadius.
    Level* load(const Value& gameObjectData, std::initializer_list<Value> objects = {}) {
        return loadObjectsFile(gameObjectData, testLevelObjects(objects));
    }
    // The same with the whole objects file given.
    Level* loadObjectsFile(const Value& gameObjectData, const Value& objectsFile) {
        world_->writeList("gameobject_data.plist", gameObjectData);
        world_->writeLevel("test_a", testLevelInfo("test_a", 300), dict({}), objectsFile);
        level_ = Level::levelFromFile("test_a.plist");
        if (!level_) {
            ADD_FAILURE() << "level refused";
            return nullptr;
        }
        b2CircleShape planet;
        planet.m_radius = static_cast<float>(kGroundRadius / 32);
        physics()->getGroundBody()->CreateFixture(&planet, 0);
        level_->loadLevelGeometry();
        EXPECT_TRUE(level_->loadLevelObjects());
        return level_.get();
    }

    // Frames of 1/60 s: the level's update, then the physics with its contact dispatch.
    void run(int frames) {
        for (int i = 0; i < frames; ++i) {
            level_->update(kFrame);
            physics()->update(kFrame);
        }
    }

    PhysicsSystem* physics() const { return layer_->physicsSystem(); }
    b2World* world() const { return layer_->physicsWorld(); }

    // The first object of the kind filed anywhere by the level.
    template <typename T>
    T* first(GameObjectList& list) {
        for (size_t i = 0; i < list.count(); ++i) {
            if (auto* object = dynamic_cast<T*>(list.at(i))) return object;
        }
        return nullptr;
    }

    RecordingSoundOutput sounds_;
    LevelTestWorld* world_ = nullptr;
    RefPtr<ObjectTestLayer> layer_;
    RefPtr<Level> level_;
};
