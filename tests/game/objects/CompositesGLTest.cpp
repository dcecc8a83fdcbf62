// Balloons, structures, the tower and the clock tower on the test planet, stepped at 1/60 s.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/render/CCSprite.h"
#include "game/core/GameSensor.h"
#include "game/core/PhysicsSprite.h"
#include "game/objects/Balloon.h"
#include "game/objects/BigBen.h"
#include "game/objects/Destructable.h"
#include "game/objects/Dynamic.h"
#include "game/objects/Flower.h"
#include "game/objects/GroundEnemy.h"
#include "game/objects/Pickup.h"
#include "game/objects/RopeJointWatch.h"
#include "game/objects/Structure.h"
#include "game/objects/Tower.h"
#include "game/objects/VRope.h"
#include "platform/foundation/Log.h"
#include "tests/game/objects/MachineTestWorld.h"

using game::Balloon;
using game::BigBen;
using game::Destructable;
using game::Pickup;
using game::Structure;
using game::Tower;

namespace {

constexpr float kPi = 3.14159265f;

Value box(double width, double height, bool sensor = false, double density = 1) {
    return dict({{"type", 4}, {"width", width}, {"height", height}, {"is_sensor", sensor}, {"density", density}});
}

Value ball(double radius, double density = 1) {
    return dict({{"type", 0}, {"radius", radius}, {"density", density}});
}

Value balloonData(bool rope) {
    Value data = dict({{"type_name", "bal"},
                       {"balloon", dict({{"fixtures", array({ball(30, 1)})}})},
                       {"basket", dict({{"position", "{0, -60}"},
                                        {"balloon_anchor_position", "{0, 20}"},
                                        {"wire_rope_anchor_position", "{0, -10}"},
                                        {"fixtures", array({box(30, 20, false, 0.2), box(30, 20, true, 0)})},
                                        {"honey_jars", array({"{-8, 5}", "{8, 5}"})},
                                        {"time_bonuses", array({"{0, 5}"})}})},
                       {"rock", dict({{"position", "{0, -160}"},
                                      {"wire_rope_anchor_position", rope ? "{0, 8}" : "{0, -150}"},
                                      {"fixtures", array({ball(8, 0.5)})}})}});
    if (rope) {
        data.set("rope", dict({}));
    } else {
        data.set("wire", dict({{"mass", 0.05}, {"rotational_inertia", 0.01}, {"fixtures", array({box(2, 2, false, 0)})}}));
    }
    return data;
}

Value roped() {
    return dict({{"type_name", "roped"},
                 {"object_type", 100},
                 {"object_anchor_position", "{0, 10}"},
                 {"target_anchor_slop", 4},
                 {"rope_image_name", "rope_test"}});
}

const Value kData = dict(
    {{"gameobjects",
      dict({{"1005", balloonData(true)},
            {"100", dict({{"type_name", "jar"}, {"nectar", 1}, {"fixtures", array({ball(6, 0.01)})}})},
            {"105", dict({{"type_name", "glass"}, {"time", 5}, {"fixtures", array({dict({{"type", 0}, {"radius", 6}, {"is_sensor", true}})})}})},
            {"109", dict({{"type_name", "buddy"}, {"buddies", 1}, {"fixtures", array({ball(6)})}})},
            {"1", dict({{"type_name", "daisy"},
                        {"frame_count", 1},
                        {"nectar", 1},
                        {"head_anchor_position", "{20, 38}"},
                        {"joint_anchor_position", "{20, 0}"},
                        {"head_radius", 8}})},
            {"450", dict({{"type_name", "jar_box"}, {"hit_points", 5}, {"fixtures", array({box(20, 20)})}})},
            {"452", dict({{"type_name", "plank"}, {"hit_points", 5}, {"fixtures", array({box(12, 96)})}})},
            {"456", dict({{"type_name", "brace"}, {"hit_points", 5}, {"fixtures", array({box(8, 110)})}})},
            {"500", dict({{"type_name", "pot"}, {"fixtures", array({box(40, 30)})}})},
            {"230", dict({{"type_name", "ant"}, {"fixtures", array({ball(8)})}})},
            {"265", dict({{"type_name", "ant"}, {"fixtures", array({ball(8)})}})},
            {"600", dict({{"type_name", "potted"}, {"pot_type", 500}, {"flower_type", 1}, {"flower_offset", "{0, 15}"}})},
            {"607", dict({{"type_name", "nothing"}, {"pot_type", 500}})},
            {"610", dict({{"type_name", "tree"},
                          {"tree_type", 500},
                          {"flowers", array({dict({{"flower_type", 1}, {"flower_offset", "{-10, 15}"}}),
                                             dict({{"flower_type", 1}, {"flower_offset", "{10, 15}"}})})}})},
            {"620", dict({{"type_name", "cargo"},
                          {"base_type", 500},
                          {"cargo", array({dict({{"type", 450}, {"position", "{-30, 30}"}, {"join_to_parent", true}}),
                                           dict({{"type", 450}, {"position", "{30, 30}"}}),
                                           dict({{"type", 109}, {"position", "{0, 30}"}, {"join_to_parent", true}}),
                                           dict({{"type", 109}, {"position", "{0, 60}"}}),
                                           dict({{"type", 1}, {"position", "{0, 80}"}}),
                                           dict({{"type", 500}, {"position", "{0, 90}"}, {"invert_x", true}})})}})},
            {"621", dict({{"type_name", "loop_a"}, {"base_type", 622}})},
            {"622", dict({{"type_name", "loop_b"}, {"base_type", 621}})},
            {"630", roped()},
            {"1011", dict({{"type_name", "clock"},
                           {"big_hand_image_name", "hand_big"},
                           {"small_hand_image_name", "hand_small"},
                           {"big_hand_anchor_point", "{4, 4}"},
                           {"small_hand_anchor_point", "{4, 4}"}})}})}});

// A structure's child that notes hearing the day's end and may leave on it.
class HeldChild final : public GameObject {
public:
    explicit HeldChild(std::vector<const GameObject*>* heard) : heard_(heard) {}
    void onDayIsOver() override {
        heard_->push_back(this);
        if (leavesAtDayEnd) leave();
    }
    void leave() {
        const RefPtr<HeldChild> keep(this);
        if (parent()) parent()->removeChild(this);
    }
    bool leavesAtDayEnd = false;

private:
    std::vector<const GameObject*>* heard_;
};

class CompositesTest : public MachineTestWorld {
protected:
    void SetUp() override {
        MachineTestWorld::SetUp();
        if (HasFatalFailure()) return;
        addFramesNamed({"bal_half.png", "bal_basket.png", "bal_rock.png", "bal_wire.png", "jar.png", "glass.png",
                        "buddy.png", "daisy.png", "daisy_1.png", "daisy_sleep.png", "jar_box.png", "plank.png", "brace.png",
                        "pot.png", "hand_big.png", "hand_small.png", "ant.png"});
        load(kData);
    }

    size_t filedCount() {
        return level_->flowers().count() + level_->pickups().count() + level_->gameObjectsPriorityHigh().count() +
               level_->gameObjectsPriorityNone().count();
    }

    b2Body* staticBox(CGPoint centre, double width, double height, bool sensor = false) {
        b2BodyDef definition;
        definition.position.Set(static_cast<float>(centre.x / 32), static_cast<float>(centre.y / 32));
        b2Body* body = world()->CreateBody(&definition);
        b2PolygonShape shape;
        shape.SetAsBox(static_cast<float>(width / 64), static_cast<float>(height / 64));
        body->CreateFixture(&shape, 0)->SetSensor(sensor);
        return body;
    }

    static b2Joint* firstJoint(b2Body* body) { return body->GetJointList() ? body->GetJointList()->joint : nullptr; }
};

TEST_F(CompositesTest, BalloonRisesWithItsBasketBelowAndTheRockHeldByTheRope) {
    const size_t pickups = level_->pickups().count();
    RefPtr<Balloon> balloon = Balloon::balloonWithType(1005, CGPointMake(0, 1250), 0, 1, 1);
    ASSERT_TRUE(balloon && balloon->rope());
    level_->addGameObject(balloon.get());
    EXPECT_EQ(balloon->priority(), 2u);
    EXPECT_EQ(balloon->physicsSpriteWire(), nullptr);
    EXPECT_EQ(level_->pickups().count(), pickups + 3) << "two jars and a time bonus";

    b2Body* body = balloon->getPrimaryBody();
    b2Body* basket = balloon->physicsSpriteBasket()->body();
    b2Body* rock = balloon->physicsSpriteRock()->body();
    const auto hide = reinterpret_cast<uintptr_t>(layer_->hideSensor()->physicsSystemBinding());
    int sensors = 0;
    for (b2Fixture* f = basket->GetFixtureList(); f; f = f->GetNext()) {
        if (f->IsSensor()) {
            ++sensors;
            EXPECT_EQ(f->GetUserData().pointer, hide);
        }
    }
    EXPECT_EQ(sensors, 1);

    const float start = radius(body);
    auto* tie = static_cast<b2DistanceJoint*>(firstJoint(rock));
    ASSERT_TRUE(tie);
    ASSERT_EQ(tie->GetType(), e_distanceJoint);
    EXPECT_TRUE(tie->GetCollideConnected());
    const float longest = tie->GetMaxLength();
    // Ten seconds of shaking: the rock never gets further than the rope is long.
    srand(5);
    float worst = 0;
    for (int frame = 0; frame < 600; ++frame) {
        const b2Vec2 push(static_cast<float>(rand() % 200 - 100) * 0.02f, static_cast<float>(rand() % 200 - 100) * 0.02f);
        rock->ApplyLinearImpulseToCenter(rock->GetMass() * push, true);
        run(1);
        worst = std::max(worst, b2Distance(tie->GetAnchorA(), tie->GetAnchorB()));
    }
    EXPECT_LT(worst, longest + 0.05f);
    EXPECT_GT(radius(body), start + 0.5f) << "lifted";
    EXPECT_LT(radius(basket), radius(body)) << "the basket hangs below";
}

TEST_F(CompositesTest, BalloonOnAWireTakesTheDefaultNamesAndRefusesDegenerateWires) {
    Value wireData = kData;
    Value types = wireData["gameobjects"];
    types.set("1005", balloonData(false));
    wireData.set("gameobjects", types);
    reload(wireData);
    RefPtr<Balloon> balloon = Balloon::balloonWithType(1005, CGPointMake(0, 1250), 0, 1, 1);
    ASSERT_TRUE(balloon);
    EXPECT_FALSE(balloon->rope());
    EXPECT_EQ(balloon->priority(), 1u);
    ASSERT_TRUE(balloon->physicsSpriteWire() && balloon->physicsSpriteWire()->body());
    EXPECT_FLOAT_EQ(balloon->physicsSpriteWire()->scaleY(), 80.0f / 40) << "stretched over the 80 point wire";
    EXPECT_EQ(balloon->physicsSpriteWire()->texture(), balloon->physicsSpriteBasket()->texture());
    run(60);

    struct Case {
        const char* key;
        Value value;
        bool built;
    } cases[] = {{"wire_rope_anchor_position", "{0, -70}", false},  // as long as nothing
                 {"centre_of_mass", "{0, 320}", true}};             // mass data refused, the wire kept
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        reload(withKey(wireData, "1005", c.key, c.value, std::string(c.key) == "centre_of_mass" ? "wire" : "rock"));
        LogCapture log;
        EXPECT_EQ(static_cast<bool>(Balloon::balloonWithType(1005, CGPointMake(0, 1250), 0, 1, 1)), c.built);
        EXPECT_EQ(log.lines().size(), 1u);
    }
}

TEST_F(CompositesTest, StructuresBuildAndFileTheirParts) {
    struct Case {
        int type;
        size_t filed;
        int buddies;
    } cases[] = {
        {600, 2, 0},  // flower and pot
        {607, 0, 0},
        {610, 3, 0},  // tree and two flowers
        // base, the loose jar box, the joined buddy, the loose buddy and the mirrored pot; the
        // joined jar box and the loose flower build nothing
        {620, 5, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        reload(kData);
        const size_t before = filedCount();
        const int buddies = level_->totalBuddies();
        RefPtr<GameObject> made = GameObjectFactory::gameObjectWithGameData(
            dict({{"type", c.type}, {"position", "{0, 1100}"}, {"scale", 2}}));
        ASSERT_TRUE(made);
        EXPECT_EQ(made->priority(), 0u);
        EXPECT_EQ(filedCount() - before, c.filed);
        EXPECT_EQ(level_->totalBuddies() - buddies, c.buddies);
    }
    // The base's cargo: the mirrored pot and the joined buddy welded to the base.
    auto* buddy = first<Pickup>(level_->pickups());
    ASSERT_TRUE(buddy && buddy->getPrimaryBody());
    EXPECT_EQ(buddy->type(), 109);
    b2Joint* weld = firstJoint(buddy->getPrimaryBody());
    ASSERT_TRUE(weld);
    EXPECT_EQ(weld->GetType(), e_weldJoint);
    EXPECT_NEAR(buddy->getPrimaryBody()->GetPosition().y * 32, 1130, 0.5) << "built at scale 1";
}

TEST_F(CompositesTest, JoinedCargoRidesItsBaseAndPartsAreCapped) {
    // Ground enemies of both builder ranges, welded to the base's body.
    reload(withKey(kData, "620", "cargo",
                   array({dict({{"type", 230}, {"position", "{-20, 40}"}, {"join_to_parent", true}}),
                          dict({{"type", 265}, {"position", "{20, 40}"}, {"join_to_parent", true}})})));
    ASSERT_TRUE(Structure::structureWithType(620, CGPointMake(0, 1100), 0, 1, 1));
    ASSERT_EQ(level_->enemies().count(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        auto* enemy = dynamic_cast<game::GroundEnemy*>(level_->enemies().at(i));
        ASSERT_TRUE(enemy && enemy->getPrimaryBody()) << i;
        b2Joint* weld = firstJoint(enemy->getPrimaryBody());
        ASSERT_TRUE(weld) << i;
        EXPECT_EQ(weld->GetType(), e_weldJoint);
        EXPECT_EQ(enemy->getPrimaryBody()->GetType(), b2_dynamicBody) << "rides the base";
    }

    // A base without a body holds nothing, but its joined buddy still counts.
    reload(withKey(withKey(kData, "620", "base_type", 607), "620", "cargo",
                   array({dict({{"type", 109}, {"position", "{0, 30}"}, {"join_to_parent", true}})})));
    ASSERT_TRUE(Structure::structureWithType(620, CGPointMake(0, 1100), 0, 1, 1));
    EXPECT_EQ(level_->totalBuddies(), 1);

    // A tree of forty flowers keeps the first 32.
    Value flowers = Value::array();
    for (int i = 0; i < 40; ++i) flowers.append(dict({{"flower_type", 1}, {"flower_offset", "{0, 15}"}}));
    reload(withKey(kData, "610", "flowers", flowers));
    LogCapture log;
    ASSERT_TRUE(Structure::structureWithType(610, CGPointMake(0, 1100), 0, 1, 1));
    EXPECT_EQ(level_->flowers().count(), 32u);
    EXPECT_TRUE(log.contains("refused"));
}

TEST_F(CompositesTest, TheRopesRayNeverMeetsTheObjectItHangs) {
    // Tied below its middle, the hung jar lies across the ray; the rope still goes to the box above.
    reload(withKey(kData, "630", "object_anchor_position", "{0, -10}"));
    b2Body* above = staticBox(CGPointMake(0, 1400), 200, 20);
    RefPtr<Structure> made = Structure::structureWithType(630, CGPointMake(0, 1100), 0, 1, 1);
    ASSERT_TRUE(made && made->rope());
    auto* pickup = dynamic_cast<Pickup*>(level_->pickups().at(level_->pickups().count() - 1));
    ASSERT_TRUE(pickup);
    b2Joint* tie = firstJoint(pickup->getPrimaryBody());
    ASSERT_TRUE(tie);
    EXPECT_EQ(tie->GetBodyA(), above);
}

TEST_F(CompositesTest, BasesThatContainThemselvesAreRefused) {
    // Through a cycle (621 on 622 on 621) the inner one is refused; naming itself, the structure is.
    for (bool itself : {false, true}) {
        SCOPED_TRACE(itself);
        if (itself) reload(withKey(kData, "621", "base_type", 621));
        LogCapture log;
        RefPtr<Structure> made = Structure::structureWithType(621, CGPointMake(0, 1100), 0, 1, 1);
        ASSERT_EQ(log.lines().size(), 1u);
        EXPECT_NE(log.lines()[0].find("refused"), std::string::npos);
        EXPECT_EQ(static_cast<bool>(made), !itself);
    }
    // Another structure as a base stays allowed.
    reload(withKey(kData, "620", "base_type", 600));
    const size_t before = filedCount();
    EXPECT_TRUE(Structure::structureWithType(620, CGPointMake(0, 1100), 0, 1, 1));
    EXPECT_EQ(filedCount() - before, 2u + 4u) << "the potted flower and the loose cargo";
}

TEST_F(CompositesTest, RopedObjectHangsFromTheNearestSolidFixtureAlongItsRotation) {
    b2Body* above = staticBox(CGPointMake(0, 1400), 200, 20);
    b2Body* left = staticBox(CGPointMake(-300, 1100), 20, 200);
    staticBox(CGPointMake(0, 1250), 200, 20, true);  // a nearer sensor is passed over
    staticBox(CGPointMake(300, 1100), 20, 200, true);  // only a sensor that way
    struct Case {
        float rotation;
        b2Body* holder;
    } cases[] = {{0, above}, {90, left}, {270, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation);
        RefPtr<Structure> made = Structure::structureWithType(630, CGPointMake(0, 1100), c.rotation, 1, 1);
        ASSERT_TRUE(made);
        auto* pickup = dynamic_cast<Pickup*>(level_->pickups().at(level_->pickups().count() - 1));
        ASSERT_TRUE(pickup);
        b2Joint* tie = firstJoint(pickup->getPrimaryBody());
        if (!c.holder) {
            EXPECT_EQ(tie, nullptr);
            EXPECT_EQ(made->priority(), 0u);
            continue;
        }
        ASSERT_TRUE(tie && made->rope());
        EXPECT_EQ(made->priority(), 2u);
        EXPECT_EQ(tie->GetBodyA(), c.holder);
        // Tied 4 points past the hit, taut.
        const b2Vec2 top = tie->GetAnchorA();
        if (c.rotation == 0) {
            EXPECT_NEAR(top.y * 32, 1390 + 4, 0.01);
        } else {
            EXPECT_NEAR(top.x * 32, -290 - 4, 0.01);
        }
        EXPECT_NEAR(static_cast<b2DistanceJoint*>(tie)->GetMaxLength(), b2Distance(top, tie->GetAnchorB()), 1e-4);
        level_->addGameObject(made.get());
    }
    run(60);
}

TEST_F(CompositesTest, RopeLetsGoWhenItsJointGoesWithAConsumedPickupOrADestroyedHolder) {
    for (bool consume : {false, true}) {
        SCOPED_TRACE(consume);
        b2Body* above = staticBox(CGPointMake(0, 1400), 200, 20);
        RefPtr<Structure> made = Structure::structureWithType(630, CGPointMake(0, 1100), 0, 1, 1);
        ASSERT_TRUE(made && made->rope());
        level_->addGameObject(made.get());
        run(10);
        ASSERT_EQ(game::RopeJointWatch::watchedCount(world()), 1u);
        if (consume) {
            auto* pickup = dynamic_cast<Pickup*>(level_->pickups().at(level_->pickups().count() - 1));
            pickup->destroy();
        } else {
            world()->DestroyBody(above);
        }
        run(10);  // the structure steps on without reading the joint
        EXPECT_TRUE(made->rope()->isBroken());
        EXPECT_TRUE(made->rope()->ropeSprites().empty());
        EXPECT_EQ(game::RopeJointWatch::watchedCount(world()), 0u);
        level_->removeGameObject(made.get());
    }
}

TEST_F(CompositesTest, TowerPiecesLeaveThroughItAndTheLastTakesItAway) {
    const int32_t joints = world()->GetJointCount();
    RefPtr<Tower> tower = Tower::towerWithType(650, CGPointMake(0, 1010), 90, 2, 2);
    ASSERT_EQ(tower->children().size(), Tower::kPieceCount);
    EXPECT_EQ(world()->GetJointCount(), joints + 10);
    // Rotated 90 degrees: piece 5 at (-40, 48) lands at (-48, -40) from the tower, turned by 90.
    b2Body* piece5 = tower->children()[4]->physicsSprite()->body();
    EXPECT_NEAR(piece5->GetPosition().x * 32, -48, 1e-3);
    EXPECT_NEAR(piece5->GetPosition().y * 32, 1010 - 40, 1e-3);
    EXPECT_NEAR(piece5->GetAngle(), kPi / 2, 1e-5);
    EXPECT_EQ(Tower::towerWithType(651, CGPointMake(0, 1010), 0, 1, 1)->children().size(), 0u);

    level_->addGameObject(tower.get());
    Tower* filed = tower.get();
    tower.reset();
    for (size_t i = 0; i < Tower::kPieceCount; ++i) {
        ASSERT_EQ(first<Tower>(level_->gameObjectsPriorityNone()), filed) << "still standing at piece " << i;
        RefPtr<Destructable> piece = filed->children().front();
        piece->destroy();
        EXPECT_EQ(piece->parent(), nullptr);
        run(1);
    }
    EXPECT_EQ(first<Tower>(level_->gameObjectsPriorityNone()), nullptr);
    EXPECT_EQ(world()->GetJointCount(), joints);
}

TEST_F(CompositesTest, AStructuresChildrenHearTheDayEndInOrderAndTheLastToLeaveTakesItAway) {
    // A roped object, so that the level keeps it; held by the level alone.
    staticBox(CGPointMake(0, 1400), 200, 20);
    RefPtr<Structure> made = Structure::structureWithType(630, CGPointMake(0, 1100), 0, 1, 1);
    ASSERT_TRUE(made && made->rope());
    level_->addGameObject(made.get());
    Structure* filed = made.get();
    const auto stillFiled = [&] { return level_->gameObjectsPriorityHigh().contains(filed); };

    // Without children: the day's end and an object it does not hold change nothing.
    std::vector<const GameObject*> heard;
    const auto stranger = makeRef<HeldChild>(&heard);
    made->onDayIsOver();
    made->removeChild(stranger.get());
    EXPECT_TRUE(stillFiled());
    EXPECT_FALSE(made->isGone());

    // Two children and a structure holding a third, which passes the day's end on in its turn.
    const auto first = makeRef<HeldChild>(&heard), second = makeRef<HeldChild>(&heard),
               inner = makeRef<HeldChild>(&heard);
    const RefPtr<Structure> holder = Structure::structureWithType(699, CGPointMake(0, 1100), 0, 1, 1);
    holder->addChild(inner);
    for (const RefPtr<GameObject>& child : {RefPtr<GameObject>(first), RefPtr<GameObject>(second),
                                            RefPtr<GameObject>(holder)}) {
        made->addChild(child);
        EXPECT_EQ(child->parent(), made.get());
    }
    LogCapture log;
    made->addChild(first);  // already held: refused, so it hears once
    EXPECT_EQ(log.lines().size(), 1u);
    made->onDayIsOver();
    EXPECT_EQ(heard, (std::vector<const GameObject*>{first.get(), second.get(), inner.get()}));

    // Only a child it holds is let go, and only with the last does it leave.
    made->removeChild(stranger.get());
    first->leave();
    EXPECT_EQ(first->parent(), nullptr);
    EXPECT_EQ(first->retainCount(), 1u) << "let go";
    EXPECT_TRUE(stillFiled());
    Structure::structureWithType(699, CGPointMake(0, 1100), 0, 1, 1)->addChild(first);
    EXPECT_EQ(first->parent(), nullptr) << "a structure that is gone is no one's parent";

    // Both left leave on hearing the day's end: the inner structure's last takes it out of its
    // parent, and then the outer one out of the level, in the middle of the walk.
    second->leavesAtDayEnd = inner->leavesAtDayEnd = true;
    heard.clear();
    made.reset();
    filed->onDayIsOver();
    EXPECT_EQ(heard, (std::vector<const GameObject*>{second.get(), inner.get()}));
    EXPECT_FALSE(stillFiled());
    EXPECT_TRUE(holder->isGone());
    EXPECT_EQ(holder->parent(), nullptr);
}

class ClockTest : public CompositesTest {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        savedZone_ = zone ? zone : "";
        hadZone_ = zone != nullptr;
        setenv("TZ", "UTC0", 1);
        CompositesTest::SetUp();
    }
    void TearDown() override {
        BigBen::setClock(nullptr);
        if (hadZone_) setenv("TZ", savedZone_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
        CompositesTest::TearDown();
    }

    std::string savedZone_;
    bool hadZone_ = false;
};

TEST_F(ClockTest, HandsShowTheLocalTimeAndFollowTheTimeZoneNextFrame) {
    std::time_t now = 0;
    BigBen::setClock([&now] { return now; });
    RefPtr<GameObject> made =
        GameObjectFactory::gameObjectWithGameData(dict({{"type", 1011}, {"position", "{0, 1200}"}, {"rotation", 30}}));
    auto* clock = dynamic_cast<BigBen*>(made.get());
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->priority(), 2u);
    EXPECT_FLOAT_EQ(clock->sprite()->rotation(), -30);
    struct Case {
        std::time_t seconds;
        float hour, minute;
    } cases[] = {{0, -90, -90}, {3 * 3600 + 30 * 60, 15, 90}, {9 * 3600 + 45 * 60 + 30, 202.5f, 183}, {12 * 3600, 270, -90}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        now = c.seconds;
        clock->update(1 / 60.0f);
        EXPECT_NEAR(clock->smallHandSprite()->rotation(), c.hour, 1e-3);
        EXPECT_NEAR(clock->bigHandSprite()->rotation(), c.minute, 1e-3);
    }
    now = 0;
    setenv("TZ", "EAST-3", 1);
    clock->update(1 / 60.0f);
    EXPECT_NEAR(clock->smallHandSprite()->rotation(), 0, 1e-3) << "03:00 in a zone three hours east";
}

}  // namespace
