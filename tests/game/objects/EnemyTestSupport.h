#pragma once

// A level without a play scene around it, under a real GL context, for the enemy and shot tests:
// the play scene's physics only, a bee made of one ball, the player's part of contact handling
// (sum the penalties the listener's lists return), a recorder of sounds and hits, and an enemy
// kind made of nothing but the shared rules.

#include <box2d/box2d.h>

#include <map>
#include <string>
#include <vector>

#include "engine/core/CCDirectorMac.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/EnemyProtocol.h"
#include "game/core/GameContactListener.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsSprite.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Player.h"
#include "game/core/ProjectileProtocol.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/EnemyRules.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/ObjectPhysics.h"
#include "support/GLSceneTest.h"
#include "support/LevelTestSupport.h"
#include "tests/game/objects/ObjectTestWorld.h"

namespace enemytest {

// The game's dangers (shots, enemies, steam puffs and their emitters) over the level's stand-ins;
// the level test's tear-down takes them back with the rest.
inline void registerEnemyKinds() {
    for (const char* kind :
         {"Projectile", "Bird", "Cloud", "SteamCloud", "Emitter", "GroundEnemy", "Hunter", "RoboCam", "Rooster"}) {
        GameObjectFactory::registerKind(game::GameObjectKinds::kind(kind));
    }
}

constexpr float kFrame = 1.0f / 60.0f;

// The bee: a head sprite bound to a ball of radius 0.5 m with the bee's head filter.
class TestBee : public Player {
public:
    PhysicsSprite* vantrel() const override { return head.get(); }
    void build(b2World* world, b2Vec2 position) {
        b2BodyDef definition;
        definition.type = b2_dynamicBody;
        definition.position = position;
        b2Body* body = world->CreateBody(&definition);
        b2CircleShape circle;
        circle.m_radius = 0.5f;
        b2FixtureDef fixture;
        fixture.shape = &circle;
        fixture.density = 1;
        fixture.filter.groupIndex = -1;
        fixture.filter.categoryBits = 0x0002;
        fixture.filter.maskBits = 0xFFE1;
        body->CreateFixture(&fixture);
        head = PhysicsSprite::node();
        head->setBody(body);
        head->physicsSystemBinding()->type = BindingType::kBee;
    }
    void moveTo(b2Vec2 position) {
        head->body()->SetTransform(position, 0);
        head->body()->SetLinearVelocity({0, 0});
        head->synchronise();
    }
    RefPtr<PhysicsSprite> head;
};

// The play scene with its physics, adding up what the bee loses as the player would.
class TestLayer : public VantrelGameLayer {
public:
    TestLayer() {
        setCurrentGameLayer(this);
        createPhysics();
    }
    ~TestLayer() override { setCurrentGameLayer(nullptr); }
    // The level is the test's, not the scene's: the end of the game is not played out.
    void onGameComplete() override {}
    GameSensor* hideSensor() override { return hide.get(); }
    RefPtr<GameSensor> hide = makeRef<GameSensor>(BindingType::kHideSensor);
    void handleEnemyContacts() override {
        for (EnemyProtocol* enemy : gameContactListener()->enemies()) lost += enemy->contactPlayer();
    }
    void handleProjectileContacts() override {
        for (ProjectileProtocol* shot : gameContactListener()->projectilesHittingPlayer()) lost += shot->contactPlayer();
    }
    uint64_t lost = 0;
};

// Sounds played (the objects' recorder) and hits counted.
class Recorder : public RecordingSoundOutput {
public:
    Recorder() {
        game::EnemyRules::setHitCounter([this](game::HitStatistic statistic) { ++hits[statistic]; });
    }
    ~Recorder() override { game::EnemyRules::setHitCounter(nullptr); }
    int totalHits() const {
        int total = 0;
        for (const auto& [statistic, count] : hits) total += count;
        return total;
    }
    std::map<game::HitStatistic, int> hits;
};

// An enemy with nothing but the shared rules: a kinematic body with the flyers' filter, vision,
// a turret, and the bird's hit counter.
class RulesOnlyEnemy : public GameObject, public EnemyProtocol {
public:
    static RefPtr<RulesOnlyEnemy> make(int32_t type, CGPoint position) {
        RefPtr<RulesOnlyEnemy> enemy = makeRef<RulesOnlyEnemy>();
        enemy->initGameObjectWithType(type);
        enemy->setPriority(2);
        const Value& data = enemy->gameObjectData();
        enemy->rules.readContactKeys(data);
        enemy->rules.readContactAnimation(data, enemy->typeName());
        enemy->rules.readShooterKeys(data);
        enemy->sprite = PhysicsSprite::node();
        GameObjectPhysicsData physics;
        enemy->rules.createBody(enemy.get(), enemy->sprite.get(), b2_kinematicBody, position, 0, physics, data,
                                game::EnemyRules::kFlyingFilter, BindingType::kEnemy, true);
        enemy->sprite->synchronise();
        enemy->rules.createTurret(data, enemy->sprite.get());
        return enemy;
    }
    ~RulesOnlyEnemy() override { game::EnemyRules::release(this, sprite.get()); }
    uint32_t contactPlayer() override { return rules.contact(sprite.get(), game::HitStatistic::kBird); }
    uint32_t sensorContactPlayer() override { return contactPlayer(); }
    void visionContactPlayer() override { rules.visionContact(sprite.get()); }
    void update(float dt) override { rules.update(dt); }
    void onDayIsOver() override { rules.setActive(false); }

    game::EnemyRules rules;
    RefPtr<PhysicsSprite> sprite;
};

// A level with the given object types filed in "gameobject_data.plist", the bee at (0, 1200) pt
// and no gravity on it.
class EnemyLevelTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        if (auto* director = dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector())) {
            director->setOriginalWinSize(CGSizeMake(1024, 768));
        }
        registerStandInKinds();
        layer_ = makeRef<TestLayer>();
    }
    void TearDown() override {
        level_.reset();
        bee_.head.reset();
        layer_.reset();
        game::GameObjectKinds::unregisterKinds();
        CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrames();
        GLSceneTest::TearDown();
    }

    // Loads the level with those types and instances; false when refused.
    bool load(const Value& types, std::initializer_list<Value> instances = {}) {
        level_.reset();
        if (bee_.head) bee_.head->destroyBody();
        LevelTestWorld& world = LevelTestWorld::shared();
        world.writeList("gameobject_data.plist", dict({{"gameobjects", types}, {"movements", dict({})}}));
        // The object data is read once per level; a level another test left alive must not hand
        // its data to this one.
        GameObjectFactory::cleanupFactory();
        const std::string file =
            world.writeLevel("test_a", testLevelInfo("test_a", 100), dict({}), testLevelObjects(instances));
        level_ = Level::levelFromFile(file);
        if (!level_) return false;
        level_->loadLevelGeometry();
        if (!level_->loadLevelObjects()) return false;
        bee_.build(layer_->physicsWorld(), {0, 1200 / 32.0f});
        level_->setPlayer(&bee_);
        return true;
    }

    // One frame as the play scene runs it: the physics step (with its contact handling), the
    // bee's sensor contacts, then the level.
    void frame() {
        layer_->physicsSystem()->update(kFrame);
        for (EnemyProtocol* enemy : layer_->gameContactListener()->contactSensors()) {
            layer_->lost += enemy->sensorContactPlayer();
        }
        level_->update(kFrame);
    }

    // A frame of that size in the shared cache, with no texture behind it.
    static void addFrame(const std::string& name, CGSize size) {
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
            CCSpriteFrame::frameWithTexture(nullptr, CGRectMake(0, 0, size.width, size.height)), name);
    }

    RefPtr<TestLayer> layer_;
    RefPtr<Level> level_;
    TestBee bee_;
    Recorder recorder_;
};

}  // namespace enemytest
