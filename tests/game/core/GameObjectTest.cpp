#include "game/core/GameObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "engine/render/CCAnimationCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/MovementProtocol.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "support/HeadlessDirectorTest.h"
#include "support/PhysicsTestSupport.h"
#include "support/TestSupport.h"
#include "support/ValueBuilders.h"

namespace {

// A movement that remembers what it was built from.
class NotedMovement : public MovementProtocol {
public:
    explicit NotedMovement(std::string from) : from(std::move(from)) {}
    void update(float) override {}
    void updateSystemPaused(float) override {}
    void stop() override {}
    void useRandomDirection() override {}
    float perc() const override { return 0; }
    void setPerc(float) override {}
    void setPerc(float, float) override {}
    bool usesRandomDirection() const override { return false; }
    void setUsesRandomDirection(bool) override {}
    std::string from;
};

class StandIn : public GameObject {
public:
    static RefPtr<GameObject> make(const Value& data) {
        RefPtr<StandIn> object = makeRef<StandIn>();
        object->initGameObjectWithGameData(data);
        return object;
    }
};

// A kind that keeps what the shared constructor from level data handed it; a negative type refuses.
class Placed : public GameObject {
public:
    static RefPtr<Placed> placedWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                         const Value& pathData, b2Body* joinToBody) {
        if (type < 0) return nullptr;
        RefPtr<Placed> placed = makeRef<Placed>();
        placed->initGameObjectWithType(type);
        placed->placement = {position, rotation, scaleX, scaleY};
        placed->path = pathData["name"].stringValue();
        placed->joined = joinToBody != nullptr;
        return placed;
    }
    GameObjectBasicData placement;
    std::string path;
    bool joined = true;
};

// A play scene in name only, so that tests can set the running game's physics.
class TestGameLayer : public VantrelGameLayer {
public:
    using VantrelGameLayer::setCurrentGameLayer;
    using VantrelGameLayer::setCurrentPhysics;
};

const Value kGameObjectData = dict({
    {"gameobjects",
     dict({
         {"101", dict({{"type_name", "nectar_drop"}, {"image_name", "drop"}})},
         {"210", dict({{"type_name", "cloud"}, {"movement", dict({{"orbit", dict({{"radius", 5}})}})}})},
         {"220", dict({{"type_name", "bird"}, {"movement_id", "loop"}})},
         {"221", dict({{"type_name", "bird2"}, {"movement_ids", array({"loop", "zigzag", "circle"})}})},
         {"222", dict({{"type_name", "bird3"}, {"movement_ids", Value::array()}})},
         {"501", dict({{"type_name", "crate"},
                       {"animation", dict({{"frame_count", 2}, {"idle_frame", 1}})}})},
         {"502", dict({{"type_name", "barrel"}, {"animation", dict({{"frame_count", 2}})}})},
     })},
    {"movements", dict({
                      {"loop", dict({{"linear_path_data", dict({{"name", "loop"}})},
                                     {"linear_path_behaviour", dict({{"speed", 3}})}})},
                      {"zigzag", dict({{"linear_path_data", dict({{"name", "zigzag"}})}})},
                      {"circle", dict({{"orbit", dict({{"name", "circle"}})}})},
                  })},
});

// The kinds the factory test registers stand-ins for.
constexpr const char* kStandInKinds[] = {"Cloud", "SteamCloud", "Rotator", "Cart"};

class GameObjectTest : public HeadlessDirectorTest {
protected:
    void SetUp() override {
        HeadlessDirectorTest::SetUp();
        folder.write("gameobject_data.plist", kGameObjectData.toXML());
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        GameObjectFactory::setupFactory();
        GameObject::setMovementBuilders(
            [](const Value& behaviour, const Value& path, CCNode*) {
                return RefPtr<MovementProtocol>(makeRef<NotedMovement>(
                    "path " + path["name"].stringValue() + " speed " + behaviour["speed"].stringValue()));
            },
            [](const Value& orbit, CCNode*) {
                return RefPtr<MovementProtocol>(makeRef<NotedMovement>("orbit " + orbit["name"].stringValue()));
            });
    }

    void TearDown() override {
        GameObjectFactory::cleanupFactory();
        GameObject::setMovementBuilders(nullptr, nullptr);
        game::GameObjectKinds::unregisterKinds();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        HeadlessDirectorTest::TearDown();
    }

    RefPtr<GameObject> object(int32_t type) {
        RefPtr<StandIn> made = makeRef<StandIn>();
        made->initGameObjectWithType(type);
        return made;
    }

    std::string movementOf(int32_t type, const Value& pathData = Value()) {
        RefPtr<MovementProtocol> movement = object(type)->createMovementForNode(nullptr, pathData);
        return movement ? static_cast<NotedMovement*>(movement.get())->from : "none";
    }

    TemporaryFolder folder;
    ScopedResourceFolder resources{folder.path()};
};

}  // namespace

TEST_F(GameObjectTest, TypeRangesTakeTheTypeAsUnsigned) {
    const struct {
        int32_t type;
        const char* range;
    } cases[] = {
        {0, ""},         {-5, ""},           {1, "flower"},     {99, "flower"},     {100, "pickup"},
        {299, "enemy"},  {300, "projectile"}, {450, "destructable"}, {599, "dynamic"}, {600, "structure"},
        {700, "emitter"}, {899, "animation"}, {900, ""},         {999, ""},          {1000, "unique"},
        {1052, "unique"},
    };
    for (const auto& c : cases) {
        RefPtr<GameObject> o = object(c.type);
        std::string found;
        const std::pair<bool, const char*> tests[] = {
            {o->isFlower(), "flower"},       {o->isPickup(), "pickup"},   {o->isEnemy(), "enemy"},
            {o->isProjectile(), "projectile"}, {o->isDestructable(), "destructable"}, {o->isDynamic(), "dynamic"},
            {o->isStructure(), "structure"}, {o->isEmitter(), "emitter"}, {o->isAnimation(), "animation"},
            {o->isUnique(), "unique"},
        };
        for (const auto& [is, name] : tests) {
            if (is) found += name;
        }
        EXPECT_EQ(found, c.range) << c.type;
    }
}

TEST_F(GameObjectTest, TypeDataNamesAndAnimationIdleFrames) {
    RefPtr<GameObject> drop = object(101);
    EXPECT_EQ(drop->typeName(), "nectar_drop");
    EXPECT_EQ(drop->imageName(), "drop");
    EXPECT_EQ(object(210)->imageName(), "cloud");  // no "image_name": the type name
    RefPtr<GameObject> unknown = object(150);
    EXPECT_TRUE(unknown->gameObjectData().isNone());
    EXPECT_EQ(unknown->imageName(), "");
    EXPECT_EQ(unknown->priority(), 0u);

    LogCapture log;  // the frames are not in the cache
    RefPtr<GameObject> crate = object(501);
    crate->createSimpleAnimation();
    ASSERT_NE(crate->animation(), nullptr);
    EXPECT_EQ(crate->animationIdleFrame(), 0);
    CCAnimation* first = crate->animation();
    crate->createSimpleAnimation();
    EXPECT_EQ(crate->animation(), first);
    RefPtr<GameObject> barrel = object(502);
    barrel->createSimpleAnimation();
    EXPECT_EQ(barrel->animationIdleFrame(), -1);
    CCAnimationCache::purgeSharedAnimationCache();
}

TEST_F(GameObjectTest, ReadersApplyDefaultsAndTheirOwnRules) {
    GameObjectPhysicsData physics;
    GameObject::loadPhysicsSettingsFrom(
        dict({{"friction", -0.5}, {"gravity_scale", -1}, {"density", 3}, {"linear_damping", 0}}), &physics, true);
    EXPECT_FLOAT_EQ(physics.friction, 0.2f);
    EXPECT_FLOAT_EQ(physics.gravityScale, -1);
    EXPECT_FLOAT_EQ(physics.density, 3);
    EXPECT_FLOAT_EQ(physics.linearDamping, 0);
    EXPECT_FLOAT_EQ(physics.angularDamping, 0.1f);

    GameObjectBasicData placement;
    GameObject::loadGameObjectSettingsFrom(dict({{"position", "{10, -20}"}, {"rotation", 45}, {"scale_x", 2}}),
                                           &placement, false);
    EXPECT_EQ(placement.position, CGPointMake(10, -20));
    EXPECT_EQ(placement.rotation, 45);
    EXPECT_EQ(placement.scaleX, 2);
    EXPECT_EQ(placement.scaleY, 0);  // the missing one reads 0
    GameObject::loadGameObjectSettingsFrom(dict({{"scale", 3}}), &placement, false);
    EXPECT_EQ(placement.scaleY, 3);
    GameObject::loadGameObjectSettingsFrom(dict({{"scale", 3}}), &placement, true);
    EXPECT_EQ(placement.scaleX, 1);

    GameObjectPhysicsPrismaticJointData prismatic;
    prismatic.motorSpeed = 9;
    GameObject::loadPhysicsPrismaticJointSettingsFrom(dict({{"lower_translation", -64}, {"limit_enabled", true}}),
                                                      &prismatic, false);
    EXPECT_EQ(prismatic.lowerTranslation, -2);
    EXPECT_TRUE(prismatic.limitEnabled);
    EXPECT_EQ(prismatic.motorSpeed, 9);  // kept without defaults
    GameObjectPhysicsRotationJointData revolute;
    GameObject::loadPhysicsRotationJointSettingsFrom(dict({{"upper_angle", 30}, {"motor_enabled", true}}), &revolute,
                                                     true);
    EXPECT_EQ(revolute.upperAngle, 30);
    EXPECT_TRUE(revolute.motorEnabled);
    GameObjectPhysicsMotorData motor;
    GameObject::loadPhysicsMotorSettingsFrom(dict({{"motor_max_torque", 50}}), &motor, true);
    EXPECT_EQ(motor.maxTorque, 50);
    EXPECT_FALSE(motor.enabled);

    const CGPoint global = GameObject::localToGlobalPosition(CGPointMake(10, 0), CGPointMake(100, 50), 90);
    EXPECT_NEAR(global.x, 100, 1e-4);
    EXPECT_NEAR(global.y, 60, 1e-4);
}

// Values Box2D aborts on, or whose sums overflow, leave the default (or the value already there)
// with a log line; negative material and damping values keep the default quietly.
TEST_F(GameObjectTest, ReadersRefuseValuesBodiesAndJointsCannotTake) {
    const struct {
        const char* key;
        double value;
        float GameObjectPhysicsData::*field;
        float kept;
        bool logged;
    } rows[] = {
        {"linear_damping", 1e39, &GameObjectPhysicsData::linearDamping, 0.1f, true},
        {"angular_damping", INFINITY, &GameObjectPhysicsData::angularDamping, 0.1f, true},
        {"density", 1e30, &GameObjectPhysicsData::density, 1.0f, true},
        {"friction", NAN, &GameObjectPhysicsData::friction, 0.2f, true},
        {"restitution", 1.5, &GameObjectPhysicsData::restitution, 0.0f, true},
        {"gravity_scale", -INFINITY, &GameObjectPhysicsData::gravityScale, 1.0f, true},
        {"gravity_scale", 1e3, &GameObjectPhysicsData::gravityScale, 1.0f, true},
        {"restitution", -2, &GameObjectPhysicsData::restitution, 0.0f, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        GameObjectPhysicsData physics;
        LogCapture log;
        GameObject::loadPhysicsSettingsFrom(dict({{row.key, row.value}}), &physics, true);
        EXPECT_EQ(physics.*row.field, row.kept);
        EXPECT_EQ(log.contains("refused"), row.logged);
    }
    LogCapture log;
    GameObjectPhysicsMotorData motor;
    GameObject::loadPhysicsMotorSettingsFrom(dict({{"motor_speed", NAN}, {"motor_max_torque", INFINITY}}), &motor, true);
    EXPECT_EQ(motor.speed, 0);
    EXPECT_EQ(motor.maxTorque, 0);
    GameObjectPhysicsPrismaticJointData prismatic;
    GameObject::loadPhysicsPrismaticJointSettingsFrom(dict({{"upper_translation", 1e39}}), &prismatic, true);
    EXPECT_EQ(prismatic.upperTranslation, 0);
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST_F(GameObjectTest, NumbersComeFixedOrAsARangeDrawnWithTheSeededGenerator) {
    const Value data = dict({{"speed", 4}, {"delay_min", 1}, {"delay_max", 3}, {"count_min", 2}});
    float low = -1, high = -1;
    EXPECT_TRUE(GameObject::loadRangeFrom(data, "speed", &low, &high));
    EXPECT_EQ(low, 4);
    EXPECT_EQ(high, 4);
    EXPECT_TRUE(GameObject::loadRangeFrom(data, "delay", &low, &high));
    EXPECT_EQ(high, 3);
    low = high = -1;
    EXPECT_FALSE(GameObject::loadRangeFrom(data, "count", &low, &high));  // only one end given
    EXPECT_EQ(low, -1);

    Random::seed(3);
    std::set<int64_t> counts;
    for (int i = 0; i < 200; ++i) {
        const float delay = GameObject::randomInRange(1, 3);
        ASSERT_TRUE(delay >= 1 && delay <= 3);
        counts.insert(GameObject::randomCountInRange(2, 4));
    }
    EXPECT_EQ(counts, (std::set<int64_t>{2, 3, 4}));
    EXPECT_EQ(GameObject::randomCountInRange(5, 4), 5);  // no modulo by zero
}

TEST_F(GameObjectTest, MovementsComeFromTheTypeOrTheInstance) {
    EXPECT_EQ(movementOf(210), "orbit ");
    EXPECT_EQ(movementOf(220), "path loop speed 3");
    EXPECT_EQ(movementOf(220, dict({{"name", "own"}})), "path own speed 3");
    EXPECT_EQ(movementOf(101), "none");
    EXPECT_EQ(movementOf(101, dict({{"name", "own"}})), "path own speed ");
    EXPECT_EQ(movementOf(222), "none");  // an empty "movement_ids" gives no movement
    Random::seed(11);
    std::set<std::string> picked;
    for (int i = 0; i < 60; ++i) picked.insert(movementOf(221));
    EXPECT_EQ(picked, (std::set<std::string>{"path loop speed 3", "path zigzag speed ", "orbit circle"}));

    GameObject::setMovementBuilders(nullptr, nullptr);
    EXPECT_EQ(movementOf(220), "none");
}

TEST_F(GameObjectTest, JointsNeedTheRunningGamesWorld) {
    LogCapture log;
    PhysicsSystem system;
    b2Body* a = makeDynamicBall(system.getWorld(), b2Vec2(0, 0));
    b2Body* b = makeDynamicBall(system.getWorld(), b2Vec2(1, 0));
    EXPECT_EQ(GameObject::joinRevoluteBody(a, b, CGPointMake(16, 0)), nullptr);  // no game running
    TestGameLayer::setCurrentPhysics(&system, system.getWorld());
    b2Joint* hinge = GameObject::joinRevoluteBody(a, b, CGPointMake(16, 0));
    ASSERT_NE(hinge, nullptr);
    EXPECT_EQ(hinge->GetType(), e_revoluteJoint);
    EXPECT_FLOAT_EQ(hinge->GetAnchorA().x, 0.5f);
    b2Joint* weld = GameObject::joinWeldBody(a, b, CGPointMake(0, 0));
    ASSERT_NE(weld, nullptr);
    EXPECT_EQ(weld->GetType(), e_weldJoint);
    EXPECT_EQ(GameObject::joinWeldBody(a, nullptr, CGPointMake(0, 0)), nullptr);
    EXPECT_EQ(GameObject::joinWeldBody(a, b, CGPointMake(NAN, 0)), nullptr);
    TestGameLayer::setCurrentPhysics(nullptr, nullptr);
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST_F(GameObjectTest, FactoryBuildsRegisteredKindsByTypeCode) {
    for (const char* kind : kStandInKinds) game::GameObjectKinds::registerStandIn(kind, StandIn::make);
    const struct {
        int type;
        const char* kind;  // none: nothing is built
    } cases[] = {{209, "SteamCloud"}, {210, "Cloud"}, {218, ""}, {1049, ""}, {1050, "Rotator"}, {1051, "Rotator"},
                 {1052, "Cart"},      {1053, ""},     {0, ""},   {-3, ""},   {950, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(GameObjectFactory::kindForType(c.type), c.kind) << c.type;
        RefPtr<GameObject> made = GameObjectFactory::gameObjectWithGameData(dict({{"type", c.type}}));
        EXPECT_EQ(made != nullptr, *c.kind != 0) << c.type;
        if (made) {
            EXPECT_EQ(made->type(), c.type);
        }
    }
    LogCapture log;
    EXPECT_EQ(GameObjectFactory::gameObjectWithGameData(dict({{"position", "{1, 1}"}})), nullptr);
    // An unregistered kind: nothing, one line per type however often it is asked for.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(GameObjectFactory::gameObjectWithGameData(dict({{"type", 101}})), nullptr);
    EXPECT_EQ(GameObjectFactory::gameObjectWithGameData(dict({{"type", 102}})), nullptr);
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST_F(GameObjectTest, AKindIsRegisteredWholeOrNotAtAll) {
    ASSERT_TRUE(GameObjectFactory::registerKind({"Cloud", {{200, 208}, {210, 215}}, StandIn::make}));
    LogCapture log;
    const struct {
        GameObjectFactory::Kind kind;
        bool registered;
    } cases[] = {
        {{"Storm", {{230, 231}, {215, 220}}, StandIn::make}, false},  // 215 is the cloud's
        {{"Storm", {{230, 229}}, StandIn::make}, false},              // backwards
        {{"Storm", {{230, 231}}, nullptr}, false},
        {{"", {{230, 231}}, StandIn::make}, false},
        {{"Storm", {{209, 209}, {230, 231}}, StandIn::make}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GameObjectFactory::registerKind(c.kind), c.registered) << c.kind.name;
    }
    EXPECT_EQ(log.lines().size(), 4u);
    // A refused kind holds none of its codes.
    EXPECT_EQ(GameObjectFactory::kindForType(220), "");
    EXPECT_EQ(GameObjectFactory::kindForType(215), "Cloud");
    EXPECT_EQ(GameObjectFactory::kindForType(209), "Storm");

    // Registered again under its name, a kind gives up the codes it no longer names.
    ASSERT_TRUE(GameObjectFactory::registerKind({"Cloud", {{200, 202}}, StandIn::make}));
    EXPECT_EQ(GameObjectFactory::kindForType(210), "");
    EXPECT_TRUE(GameObjectFactory::registerKind({"Tornado", {{210, 212}}, StandIn::make}));
    EXPECT_TRUE(GameObjectFactory::gameObjectWithGameData(dict({{"type", 211}})));

    GameObjectFactory::unregisterKinds();
    for (int type : {200, 209, 211}) EXPECT_EQ(GameObjectFactory::kindForType(type), "") << type;
}

TEST_F(GameObjectTest, TheConstructorFromLevelDataHandsTheInstanceToTheKind) {
    using Scale = GameObject::InstanceScale;
    const Value path = dict({{"name", "own"}});
    const struct {
        Value instance;
        Scale scale;
        float scaleX, scaleY;
    } cases[] = {
        {dict({{"scale_x", 2}, {"scale_y", 3}}), Scale::kRead, 2, 3},
        {dict({{"scale", 4}, {"scale_x", 2}}), Scale::kRead, 4, 4},
        {dict({{"scale_x", 2}}), Scale::kRead, 2, 0},
        {dict({{"scale", 4}}), Scale::kIgnored, 1, 1},
    };
    for (const auto& c : cases) {
        Value instance = c.instance;
        for (const auto& [key, value] : {std::pair<const char*, Value>{"type", 501},
                                         {"position", "{10, -20}"},
                                         {"rotation", 30},
                                         {"linear_path_data", path}}) {
            instance.set(key, value);
        }
        const RefPtr<Placed> placed = GameObject::withGameData(instance, &Placed::placedWithType, c.scale);
        ASSERT_TRUE(placed);
        EXPECT_EQ(placed->type(), 501);
        EXPECT_EQ(placed->typeName(), "crate");
        EXPECT_EQ(placed->placement.position.x, 10);
        EXPECT_EQ(placed->placement.position.y, -20);
        EXPECT_EQ(placed->placement.rotation, 30);
        EXPECT_EQ(placed->placement.scaleX, c.scaleX);
        EXPECT_EQ(placed->placement.scaleY, c.scaleY);
        EXPECT_EQ(placed->path, "own");
        EXPECT_FALSE(placed->joined);
    }
    EXPECT_FALSE(GameObject::withGameData(dict({{"type", -1}}), &Placed::placedWithType, Scale::kRead));
}

TEST(GameObjectDataTest, AMissingOrBrokenDataFileLeavesNoTypesAndSaysSo) {
    TemporaryFolder folder;
    ScopedResourceFolder resources(folder.path());
    folder.write("gameobject_data.plist", "<plist><dict><key>gameobjects</key>");
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    LogCapture log;
    GameObjectFactory::setupFactory();
    GameObjectFactory::setupFactory();  // loaded once
    RefPtr<StandIn> o = makeRef<StandIn>();
    o->initGameObjectWithType(101);
    EXPECT_TRUE(o->gameObjectData().isNone());
    EXPECT_EQ(log.lines().size(), 1u);
    GameObjectFactory::cleanupFactory();
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}
