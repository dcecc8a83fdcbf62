#pragma once

// What the bee's tests share: its sheet and trail written as real files, stand-ins for the play
// scene and the level, flowers and enemies, the bubbles' fonts, and a world in which a bee is built.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/CCTextureCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/FlowerProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObject.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Player.h"
#include "game/core/PlayerGameDelegate.h"
#include "game/core/PlayerLevelDelegate.h"
#include "platform/image/Image.h"
#include "support/BeeSheet.h"
#include "support/GameArtFiles.h"
#include "support/TestSupport.h"

// The play scene and the level as the bee sees them, recording what it tells them.
class FakeBeeSurroundings : public PlayerGameDelegate, public PlayerLevelDelegate {
public:
    FakeBeeSurroundings() : listener(nullptr) {}

    PhysicsSystem* physicsSystem() const override { return const_cast<PhysicsSystem*>(&physics); }
    GameContactListener* gameContactListener() const override {
        return const_cast<GameContactListener*>(&listener);
    }
    GameSensor* hiveSensor() override { return &hive; }
    GameSensor* hideSensor() override { return &hide; }
    float beeAccelerationPerc() const override { return accelerationPerc; }
    void onGameSummaryComplete() override { ++summaryCompletions; }

    CGPoint spawnPosition() const override { return spawn; }
    float currentTimeOfDayPerc() const override { return timeOfDayPerc; }
    uint32_t flowersVisited() const override { return visited; }
    uint32_t totalFlowers() const override { return flowers; }
    int32_t existingHighScore() const override { return 0; }
    void emitParticles(int kind, CGPoint) override { emitted.push_back(kind); }
    void updatePlayerFlowerContact(GameObject*, bool active) override { flowerContacts.push_back(active); }
    void beginPlayerHiveContact(bool) override { ++hiveBegins; }
    void updatePlayerHiveContact(bool) override {}
    void endPlayerHiveContact() override { ++hiveEnds; }
    int32_t totalBuddies() const override { return buddies; }
    void changeLengthOfDay(float seconds) override { dayChanges.push_back(seconds); }

    PhysicsSystem physics;
    GameContactListener listener;
    GameSensor hive{BindingType::kHiveSensor};
    GameSensor hide{BindingType::kHideSensor};
    float accelerationPerc = 0;
    int summaryCompletions = 0;
    CGPoint spawn{0, 320};  // 10 m above the planet's centre: upright is +y
    float timeOfDayPerc = 0;
    uint32_t visited = 0;
    uint32_t flowers = 5;
    std::vector<int> emitted;
    std::vector<bool> flowerContacts;
    int hiveBegins = 0;
    int hiveEnds = 0;
    int32_t buddies = 10;
    std::vector<float> dayChanges;
};

// A flower that holds a number of droplets and records the pulls on it.
class FakeFlower : public GameObject, public FlowerProtocol {
public:
    explicit FakeFlower(uint32_t held) : held_(held) { sprite_ = PhysicsSprite::node(); }

    uint32_t consumeDroplets(uint32_t asked) override {
        const uint32_t taken = std::min(asked, held_);
        held_ -= taken;
        asks.push_back(asked);
        return taken;
    }
    uint32_t droplets() const override { return held_; }
    float playerAttraction() const override { return 0; }
    PhysicsSprite* physicsSprite() const override { return sprite_.get(); }
    void pushTowardsWorldPosition(const b2Vec2&, float) override {}

    std::vector<uint32_t> asks;

private:
    uint32_t held_;
    RefPtr<PhysicsSprite> sprite_;
};

class FakeEnemy : public EnemyProtocol {
public:
    explicit FakeEnemy(uint32_t penalty) : penalty_(penalty) {}
    uint32_t contactPlayer() override { return penalty_; }
    uint32_t sensorContactPlayer() override { return penalty_; }

private:
    uint32_t penalty_;
};

// A bee built from real files in a fresh world: the fixture of the bee's tests (which need a GL
// context for the sheet's texture).
template <class Base>
class BeeFixture : public Base {
protected:
    void SetUp() override {
        Base::SetUp();
        ASSERT_TRUE(writeBeeSheet(folder_.path()));
        writeCellFont(folder_, "FuturaBeeLarge_osx", 8, 12);
        writeCellFont(folder_, "FuturaBee_osx", 4, 6);
        resources_ = std::make_unique<ScopedResourceFolder>(folder_.path());
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrames();
        CCTextureCache::sharedTextureCache()->removeAllTextures();
        world_ = std::make_unique<FakeBeeSurroundings>();
        world_->physics.useSynchronisableList();
        player_ = makeRef<Player>();
        ASSERT_TRUE(player_->init(world_.get(), world_.get()));
    }

    void TearDown() override {
        player_.reset();
        world_.reset();
        resources_.reset();
        Base::TearDown();
    }

    Player* bee() { return player_.get(); }
    FakeBeeSurroundings& world() { return *world_; }

    TemporaryFolder folder_;
    std::unique_ptr<ScopedResourceFolder> resources_;
    std::unique_ptr<FakeBeeSurroundings> world_;
    RefPtr<Player> player_;
};
