// Rotators, wheels, rafts, carts and cranes on the test planet, stepped at 1/60 s.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/CCSprite.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/Cart.h"
#include "game/objects/Crane.h"
#include "game/objects/Raft.h"
#include "game/objects/Rotator.h"
#include "game/objects/Wheel.h"
#include "tests/game/objects/MachineTestWorld.h"

using game::Cart;
using game::Crane;
using game::Raft;
using game::Rotator;
using game::Wheel;

namespace {

constexpr float kPi = 3.14159265f;

Value box(double width, double height, bool sensor = false) {
    return dict({{"type", 4}, {"width", width}, {"height", height}, {"is_sensor", sensor}});
}

Value blade() {
    return dict({{"type", 2}, {"vertices", array({"{0, -4}", "{60, -4}", "{60, 4}", "{0, 4}"})}});
}

Value rotator(const char* name, double speed, double torque, bool hub = false) {
    Value data = dict({{"type_name", name},
                       {"blade_anchor_position", "{4, 20}"},
                       {"fixtures", array({blade(), box(10, 10)})},
                       {"motor_enabled", true},
                       {"motor_speed", speed},
                       {"motor_max_torque", torque}});
    if (hub) data.set("centre_image_name", "hub");
    return data;
}

Value wheelData(int segments) {
    return dict({{"type_name", "mill"},
                 {"wheel", dict({{"segment_count", segments},
                                 {"segment_anchor_point", "{0.5, 0}"},
                                 {"fixtures", array({box(20, 40), box(10, 10, true)})}})},
                 {"centre", dict({})}});
}

const Value kData = dict(
    {{"gameobjects",
      dict({{"1004", rotator("turbine", 90, 1e6, true)},
            {"1051", rotator("turbine", -90, 1e6)},
            {"1001", rotator("turbine", 90, 0)},
            {"1050", dict({{"type_name", "cross"}, {"fixtures", array({box(80, 10), box(10, 80)})}})},
            {"1010", wheelData(8)},
            {"1007", dict({{"type_name", "raft"},
                           {"mast_height", 60},
                           {"mast_base_position", "{0, 10}"},
                           {"fixtures", array({box(120, 20)})}})},
            {"1002", dict({{"type_name", "cart"},
                           {"deck", dict({{"fixtures", array({box(96, 20)})}})},
                           {"wheels", dict({{"wheel1_position", "{32, 0}"},
                                            {"wheel2_position", "{-32, 0}"},
                                            {"fixtures", array({dict({{"type", 0}, {"radius", 12}, {"friction", 1}})})}})},
                           {"motor_enabled", true},
                           {"motor_speed", -8},
                           {"motor_max_torque", 500}})},
            {"1003", dict({{"type_name", "crane"},
                           {"holder", dict({{"fixtures", array({box(40, 20)})},
                                            {"prismatic_joint", dict({{"lower_translation", -64},
                                                                      {"upper_translation", 64},
                                                                      {"limit_enabled", true},
                                                                      {"motor_speed", 4},
                                                                      {"motor_max_force", 1000},
                                                                      {"motor_enabled", true}})}})},
                           {"wire", dict({{"holder_offset", "{0, 0}"},
                                          {"hook_offset", "{0, 10}"},
                                          {"mass", 0.1},
                                          {"rotational_inertia", 0.1},
                                          {"fixtures", array({box(2, 2)})}})},
                           {"hook", dict({{"position", "{0, -120}"}, {"fixtures", array({box(10, 10)})}})},
                           {"platform", dict({{"position", "{0, -180}"},
                                              {"platform_anchor_point", "{0, -10}"},
                                              {"wire_1_position", "{-30, 0}"},
                                              {"wire_2_position", "{30, 0}"},
                                              {"size", "{80, 10}"},
                                              {"fixtures", array({box(40, 40)})}})}})}})}});

class MachinesTest : public MachineTestWorld {
protected:
    void SetUp() override {
        MachineTestWorld::SetUp();
        if (HasFatalFailure()) return;
        addFramesNamed({"turbine.png", "hub.png", "cross.png"}, CGSizeMake(64, 40));
        addFramesNamed({"mill_wheel.png", "mill_centre.png", "raft.png", "raft_mast.png", "cart.png",
                        "cart_wheel.png", "crane_holder.png", "crane_wire.png"});
        load(kData);
    }

    static size_t childCount(const CCNode* node) { return node->children() ? node->children()->count() : 0; }

    Value instance(int type, const char* position, double rotation = 0) {
        return dict({{"type", type}, {"position", position}, {"rotation", rotation}});
    }
};

TEST_F(MachinesTest, RotatorMotorsSettleAtTheirSpeedInDegreesPerSecond) {
    struct Case {
        int type;
        float radiansPerSecond;
    } cases[] = {{1004, kPi / 2}, {1051, -kPi / 2}, {1001, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        RefPtr<Rotator> made = Rotator::rotatorWithGameData(instance(c.type, "{0, 1300}"));
        PhysicsSprite* sprite = made->physicsSprite();
        ASSERT_TRUE(sprite && sprite->body());
        const float before = sprite->body()->GetAngle();
        run(120);
        EXPECT_NEAR(sprite->body()->GetAngularVelocity(), c.radiansPerSecond, 0.02f);
        if (c.radiansPerSecond != 0) {
            // Counter-clockwise on screen: the body angle rises and the node rotation falls.
            EXPECT_EQ(sprite->body()->GetAngle() > before, c.radiansPerSecond > 0);
            EXPECT_NEAR(sprite->rotation(), -sprite->body()->GetAngle() * 57.29578f + sprite->rotationOffset(), 2.0f);
        }
    }
}

TEST_F(MachinesTest, RotatorFixturesSpritesAndCategories) {
    struct Case {
        int type;
        int fixtures;
        uint16_t category;
        size_t childSprites;
    } cases[] = {{1004, 3, 0x4000, 3}, {1051, 3, 0x4000, 2}, {1050, 2, 0x0001, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        RefPtr<Rotator> made = Rotator::rotatorWithGameData(instance(c.type, "{0, 1300}", 30));
        b2Body* body = made->physicsSprite()->body();
        ASSERT_TRUE(body);
        EXPECT_EQ(fixtureCount(body), c.fixtures);
        for (const b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
            EXPECT_EQ(f->GetFilterData().categoryBits, c.category);
            EXPECT_EQ(f->GetFilterData().maskBits, 0x7f13);
        }
        EXPECT_EQ(childCount(made->physicsSprite()), c.childSprites);
        EXPECT_NEAR(body->GetAngle(), 30 * kPi / 180, 1e-4);
    }
}

TEST_F(MachinesTest, RotatorWithoutSpriteLayersIsKeptByTheLevelAndTakesItsBodyAlong) {
    const int32_t bodies = world()->GetBodyCount();
    RefPtr<GameObject> made = GameObjectFactory::gameObjectWithGameData(instance(1004, "{0, 1300}"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->priority(), 1u);
    level_->addGameObject(made.get());
    made.reset();
    run(30);
    auto* rotator = first<Rotator>(level_->gameObjectsPriorityNone());
    ASSERT_TRUE(rotator);
    EXPECT_GT(rotator->physicsSprite()->body()->GetAngularVelocity(), 0.5f);
    EXPECT_EQ(world()->GetBodyCount(), bodies + 1);
    level_->removeGameObject(rotator);
    run(1);
    EXPECT_EQ(world()->GetBodyCount(), bodies);
}

TEST_F(MachinesTest, WheelSegmentsFixturesScaleAndHidingPlaces) {
    RefPtr<GameObject> made = GameObjectFactory::gameObjectWithGameData(
        dict({{"type", 1010}, {"position", "{0, 1300}"}, {"scale", 2}}));
    auto* wheel = dynamic_cast<Wheel*>(made.get());
    ASSERT_TRUE(wheel && wheel->getPrimaryBody());
    // Eight segments at 45 degree steps and the centre on top.
    ASSERT_EQ(childCount(wheel->physicsSprite()), 9u);
    for (int i = 0; i < 8; ++i) {
        auto* segment = static_cast<CCSprite*>(wheel->physicsSprite()->children()->objectAtIndex(i));
        EXPECT_FLOAT_EQ(segment->rotation(), 45.0f * i);
        EXPECT_FLOAT_EQ(segment->scaleX(), 1.0f);
    }
    b2Body* body = wheel->getPrimaryBody();
    EXPECT_EQ(fixtureCount(body), 16);
    // Scale 2: the 20 x 40 segment box spans 40 x 80 points, its corners 1.3975 m from the centre.
    float reach = 0;
    int sensors = 0;
    const auto hide = reinterpret_cast<uintptr_t>(layer_->hideSensor()->physicsSystemBinding());
    for (b2Fixture* f = body->GetFixtureList(); f; f = f->GetNext()) {
        const auto* polygon = static_cast<const b2PolygonShape*>(f->GetShape());
        for (int i = 0; i < polygon->m_count; ++i) reach = std::max(reach, polygon->m_vertices[i].Length());
        EXPECT_EQ(f->GetFilterData().categoryBits, 0x1000);
        if (f->IsSensor()) {
            ++sensors;
            EXPECT_EQ(f->GetUserData().pointer, hide);
        }
    }
    EXPECT_EQ(sensors, 8);
    EXPECT_NEAR(reach, std::hypot(20.0f, 40.0f) / 32, 0.001f);
}

TEST_F(MachinesTest, DegenerateWheelsAreRefused) {
    for (const char* scale : {"0", "1"}) {
        SCOPED_TRACE(scale);
        const bool zeroScale = std::string(scale) == "0";
        Value data = kData;
        Value types = data["gameobjects"];
        types.set("1010", wheelData(zeroScale ? 8 : 257));
        data.set("gameobjects", types);
        reload(data);
        EXPECT_FALSE(Wheel::wheelWithType(1010, CGPointMake(0, 1300), 0, zeroScale ? 0 : 1, zeroScale ? 0 : 1, nullptr));
    }
    reload(kData);
    CCSpriteFrameCache::sharedSpriteFrameCache()->removeSpriteFrameByName("mill_wheel.png");
    EXPECT_FALSE(Wheel::wheelWithType(1010, CGPointMake(0, 1300), 0, 1, 1, nullptr));
}

TEST_F(MachinesTest, RaftStaysUprightSlidingRadiallyOrBobbingOnItsSpring) {
    struct Case {
        double frequency;
        bool returns;
    } cases[] = {{0, false}, {1.5, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequency);
        reload(withKey(withKey(kData, "1007", "wheel_joint_frequency", c.frequency), "1007",
                       "wheel_joint_damping_ratio", 0.3));
        RefPtr<Raft> made = Raft::raftWithType(1007, CGPointMake(700, 900), 0, 1, 1);
        ASSERT_TRUE(made && made->getPrimaryBody());
        b2Body* body = made->getPrimaryBody();
        const float startRadius = radius(body);
        const float startPolar = polar(body);
        // A push outwards and sideways.
        body->ApplyLinearImpulseToCenter(body->GetMass() * b2Vec2(3, 3), true);
        run(90);
        // Upright: it turns exactly as far as it went round the planet, so that its axis still
        // passes through the centre.
        EXPECT_NEAR(std::remainder(body->GetAngle() - (polar(body) - startPolar), 2 * kPi), 0, kPi / 180);
        if (c.returns) {
            run(600);
            EXPECT_NEAR(radius(body), startRadius, 0.2f);
        } else {
            EXPECT_GT(radius(body), startRadius + 0.5f);
        }
    }
    EXPECT_FALSE(Raft::raftWithType(1007, CGPointMake(0, 0), 0, 1, 1));
}

TEST_F(MachinesTest, CartWheelsTurnWithTheDeckAndItsMotorDrivesOrBrakes) {
    RefPtr<Cart> turned = Cart::cartWithType(1002, CGPointMake(0, 1400), 90, 3, 3);
    ASSERT_TRUE(turned->getPrimaryBody());
    const b2Vec2 offset = turned->physicsSpriteWheel1()->body()->GetPosition() - turned->getPrimaryBody()->GetPosition();
    EXPECT_NEAR(offset.x, 0, 1e-4);
    EXPECT_NEAR(offset.y, 1, 1e-4);
    turned.reset();

    // Driven: round the planet; braked (speed 0): it stops where it was pushed.
    struct Case {
        double speed;
        bool moves;
    } cases[] = {{-8, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        reload(withKey(kData, "1002", "motor_speed", c.speed));
        RefPtr<Cart> made = Cart::cartWithType(1002, CGPointMake(0, 1026), 0, 1, 1);
        b2Body* deck = made->getPrimaryBody();
        run(60);
        const float settled = polar(deck);
        if (!c.moves) {
            for (PhysicsSprite* part : {made->physicsSpriteDeck(), made->physicsSpriteWheel1(),
                                        made->physicsSpriteWheel2()}) {
                part->body()->SetLinearVelocity(b2Vec2(2, 0));
            }
        }
        run(180);
        const float travelled = std::fabs(polar(deck) - settled) * radius(deck);
        if (c.moves) {
            EXPECT_GT(travelled, 3.0f);
        } else {
            EXPECT_LT(travelled, 0.5f);
        }
    }
}

TEST_F(MachinesTest, CraneHolderSlidesWithinItsLimitsAndThePlatformHangs) {
    RefPtr<Crane> crane = Crane::craneWithType(1003, CGPointMake(0, 1400), 0, 1, 1);
    ASSERT_TRUE(crane && crane->getPrimaryBody());
    b2Body* holder = crane->getPrimaryBody();
    float furthest = 0;
    for (int i = 0; i < 240; ++i) {
        run(1);
        furthest = std::max(furthest, std::fabs(holder->GetPosition().x));
    }
    EXPECT_GT(furthest, 1.9f);
    EXPECT_LT(furthest, 2.0f + 0.05f);
    EXPECT_LT(radius(crane->physicsSpritePlatform()->body()), radius(crane->physicsSpriteHook()->body()));
    EXPECT_LT(radius(crane->physicsSpriteHook()->body()), radius(holder));
    EXPECT_NEAR(holder->GetPosition().y, 1400.0f / 32, 0.01f);

    // Without "prismatic_joint": a free slide.
    crane.reset();
    reload(withKey(kData, "1003", "prismatic_joint", dict({}), "holder"));
    crane = Crane::craneWithType(1003, CGPointMake(0, 1400), 0, 1, 1);
    holder = crane->getPrimaryBody();
    holder->ApplyLinearImpulseToCenter(holder->GetMass() * b2Vec2(5, 0), true);
    run(60);
    EXPECT_GT(holder->GetPosition().x, 2.0f);
}

TEST_F(MachinesTest, DegenerateCranesAreRefused) {
    struct Case {
        const char* part;
        const char* key;
        Value value;
    } cases[] = {{"platform", "size", "{0, 10}"}, {"wire", "hook_offset", "{0, 120}"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        reload(withKey(kData, "1003", c.key, c.value, c.part));
        const size_t bodies = world()->GetBodyCount();
        EXPECT_FALSE(Crane::craneWithType(1003, CGPointMake(0, 1400), 0, 1, 1));
        EXPECT_EQ(world()->GetBodyCount(), bodies);
    }
}

}  // namespace
