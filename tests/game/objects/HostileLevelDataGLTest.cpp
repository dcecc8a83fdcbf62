// Level and object data a player may edit or download, at its worst: each input below ends in a
// logged refusal (of the value, the object or the sprite) or a clamp, and after a second of play
// every body of the world is still somewhere.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "game/core/HiveProtocol.h"
#include "game/core/PlaySceneTestSupport.h"
#include "game/objects/Emitter.h"
#include "game/objects/Flower.h"
#include "platform/foundation/Log.h"
#include "tests/game/objects/MachineTestWorld.h"

namespace {

const Value kBall = array({dict({{"type", 0}, {"radius", 8}})});
const double kInf = INFINITY;
const double kNaN = NAN;

Value daisy() {
    return dict({{"type_name", "daisy"},
                 {"frame_count", 1},
                 {"nectar", 1},
                 {"head_anchor_position", "{20, 38}"},
                 {"joint_anchor_position", "{20, 0}"},
                 {"head_radius", 8}});
}

Value pot(std::initializer_list<std::pair<const std::string, Value>> extra = {}) {
    Value type = dict({{"type_name", "pot"}, {"fixtures", array({dict({{"type", 4}, {"width", 40}, {"height", 30}})})}});
    for (const auto& [key, value] : extra) type.set(key, value);
    return type;
}

Value mover(const char* name, const Value& orbit) {
    return dict({{"type_name", name}, {"fixtures", kBall}, {"movement", dict({{"orbit", orbit}})}});
}

Value at(int type, const char* position) { return dict({{"type", type}, {"position", position}, {"scale", 1}}); }

// Many instances of a type spread round the planet, 1300 points out.
std::vector<Value> ringOf(int type, int count) {
    std::vector<Value> instances;
    for (int i = 0; i < count; ++i) {
        const double angle = i * 2 * M_PI / count;
        instances.push_back(dict({{"type", type}, {"position", NSStringFromCGPoint(CGPointMake(
                                                                1300 * std::cos(angle), 1300 * std::sin(angle)))}}));
    }
    return instances;
}

class HostileLevelDataTest : public MachineTestWorld {
protected:
    void SetUp() override {
        MachineTestWorld::SetUp();
        if (HasFatalFailure()) return;
        addFramesNamed({"daisy.png", "pot.png", "crow.png", "ant.png", "rain.png", "pellet.png"});
    }

    // Loads a level of the types and the instances (the hive first), as the objects file
    // lists them.
    Level* loadWith(const Value& types, const std::vector<Value>& instances) {
        Value objects = Value::array();
        objects.append(at(1000, "{0, 1000}"));
        for (const Value& instance : instances) objects.append(instance);
        level_.reset();  // the old level lets go of the shared data first
        return loadObjectsFile(dict({{"gameobjects", types}}), dict({{"gameobjects", objects}}));
    }

    // Every body's place, angle and speeds are numbers.
    void expectEveryBodyFinite() {
        for (const b2Body* body = world()->GetBodyList(); body; body = body->GetNext()) {
            const b2Vec2 p = body->GetPosition();
            const b2Vec2 v = body->GetLinearVelocity();
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(body->GetAngle()) &&
                        std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(body->GetAngularVelocity()));
        }
    }
};

TEST_F(HostileLevelDataTest, EachHostileInputIsRefusedOrClampedAndEveryBodyStaysFinite) {
    const Value shot = dict({{"type_name", "pellet"}, {"fixtures", array({dict({{"type", 0}, {"radius", 4}})})}});
    Value tenThousand = Value::array();
    for (int i = 0; i < 10000; ++i) tenThousand.append(dict({{"flower_type", 1}, {"flower_offset", "{0, 15}"}}));
    struct Row {
        const char* name;
        Value types;
        std::vector<Value> instances;
        const char* logged;  // part of the refusal's log line
        std::function<void(Level*)> check = [](Level*) {};
    };
    const Row rows[] = {
        {"damping of 1e39 and of infinity", dict({{"500", pot({{"linear_damping", 1e39}, {"angular_damping", kInf}})}}),
         {at(500, "{0, 1100}")}, "\"linear_damping\" inf refused"},
        {"a gravity scale that is no number", dict({{"500", pot({{"gravity_scale", kNaN}})}}), {at(500, "{0, 1100}")},
         "\"gravity_scale\" nan refused"},
        {"fixture density of 1e39, restitution 7",
         dict({{"500", pot({{"fixtures", array({dict({{"type", 4}, {"width", 40}, {"height", 30}, {"density", 1e39},
                                                      {"restitution", 7}})})}})}}),
         {at(500, "{0, 1100}")}, "fixture \"restitution\" 7 refused"},
        {"a tree of 10 000 flowers at one place",
         dict({{"1", daisy()}, {"500", pot()},
               {"610", dict({{"type_name", "tree"}, {"tree_type", 500}, {"flowers", tenThousand}})}}),
         {at(610, "{0, 1100}")}, "the first 32 are refused",
         [](Level* level) { EXPECT_EQ(level->flowers().count(), 32u); }},
        {"a level of 1200 flowers", dict({{"1", daisy()}}), ringOf(1, 1200), "more than 1000 objects",
         [](Level* level) { EXPECT_EQ(level->flowers().count(), Level::kMaxLevelObjects - 1) << "the hive is one"; }},
        {"a burst of 2^31 - 1 shots",
         dict({{"300", shot},
               {"700", dict({{"type_name", "spout"},
                             {"emit_type", 304},
                             {"delay", 0.1},
                             {"projectile", dict({{"type", 300}, {"count", 2147483647}, {"velocity", 100}})}})}}),
         {at(700, "{0, 1300}")}, "held to 0 to 20",
         [](Level* level) { EXPECT_LE(level->projectiles().count(), Level::kMaxProjectiles); }},
        {"room for 2^31 - 1 steam clouds",
         dict({{"209", dict({{"type_name", "puff"}})},
               {"701", dict({{"type_name", "vent"}, {"emit_type", 209}, {"max_objects", 2147483647}})}}),
         {at(701, "{0, 1300}")}, "emitter 701 caps its steam clouds at 2147483647; room is made for 64 at first",
         [](Level* level) { EXPECT_EQ(level->gameObjectsPriorityHigh().count(), 2u) << "the hive and the vent"; }},
        {"a bird orbiting at a speed that is no number",
         dict({{"220", mover("crow", dict({{"orbit_speed", kNaN}}))}}), {at(220, "{0, 1400}")}, "orbit refused"},
        {"a cloud oscillating infinitely high",
         dict({{"200", mover("rain", dict({{"orbit_speed", 100}, {"oscillation_height", kInf},
                                           {"oscillation_time", 2}}))}}),
         {at(200, "{0, 1400}")}, "\"oscillation_height\" inf"},
        {"a ground enemy orbiting in minus infinite time",
         dict({{"230", mover("ant", dict({{"orbit_time_min", -kInf}, {"orbit_time_max", 1}}))}}),
         {at(230, "{0, 1016}")}, "\"orbit_time_min\" -inf"},
        {"a second hive at {1e39, 0}", dict({}), {at(1000, "{1e39, 0}")}, "second hive",
         [](Level* level) {
             const CGPoint hive = dynamic_cast<HiveProtocol*>(level->hive())->position();
             EXPECT_NEAR(hive.y, 1000, 1e-9) << "the first one stays";
         }},
        {"a flower whose body cannot be placed", dict({{"1", daisy()}}), {at(1, "{1e39, 0}")}, "body was refused",
         [](Level* level) { EXPECT_EQ(level->flowers().count(), 0u) << "neither filed nor counted"; }},
        {"a pot whose body cannot be placed", dict({{"500", pot()}}), {at(500, "{0, 1e39}")}, "body was refused",
         [](Level* level) { EXPECT_EQ(level->gameObjectsPriorityNone().count(), 0u) << "not filed"; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture log;
        Level* level = loadWith(row.types, row.instances);
        ASSERT_NE(level, nullptr);
        EXPECT_TRUE(log.contains(row.logged));
        run(60);
        expectEveryBodyFinite();
        row.check(level);
    }
}

// Sprites of the geometry file and the sky, in the real play scene, whose numbers are not finite
// or whose frames are nowhere.
class HostileSpritesTest : public PlaySceneGLTest {};

TEST_F(HostileSpritesTest, SpritesThatCannotBeShownAreRefusedWithALogLine) {
    const Value nanSprite = dict({{"image_name", "rock.png"}, {"position", "{0, 1100}"}, {"scale", kNaN}});
    const Value turned = dict({{"image_name", "rock.png"}, {"position", "{0, 1100}"}, {"rotation", kInf}});
    const Value stretched =
        dict({{"image_name", "rock.png"}, {"position", "{0, 1100}"}, {"scale_x", 1}, {"scale_y", -kInf}});
    struct Row {
        const char* name;
        Value geometry;
        Value sky;
        const char* logged;
        size_t leftOut;  // pictures the level counts as refused
    };
    const Row rows[] = {
        {"a background sprite scaled by NaN", dict({{"background_sprites", array({nanSprite})}}), Value(),
         "scaled (nan, nan) and turned -0, is refused", 1},
        {"a front sprite turned infinitely", dict({{"front_sprites", array({turned})}}), Value(),
         "turned -inf, is refused", 1},
        {"a static-geometry sprite stretched infinitely",
         dict({{"static_geometry", array({dict({{"position", "{0, 1000}"}, {"sprites", array({stretched})}})})}}),
         Value(), "scaled (1, -inf)", 1},
        {"sky images scaled by infinity", dict({}),
         dict({{"count", 3}, {"scale", kInf}, {"images", array({"cloud.png"})}}), "sky images scaled inf", 3},
        {"sky images of a frame that is nowhere", dict({}), dict({{"count", 2}, {"images", array({"nowhere.png"})}}),
         "no sky frame \"nowhere.png\"", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Value info = testLevelInfo("bee_test", 90);
        if (!row.sky.isNone()) info.set("sky_background_images", row.sky);
        LevelTestWorld::shared().writeLevel("bee_test", info, row.geometry, testLevelObjects());
        VantrelGlobal::sharedInstance()->setNextLevelId("bee_test");
        LogCapture log;
        RefPtr<PlaySceneUnderTest> layer = makeRef<PlaySceneUnderTest>();
        ASSERT_TRUE(layer->init());
        EXPECT_TRUE(log.contains(row.logged));
        EXPECT_EQ(layer->level()->picturesLeftOut(), row.leftOut);
        layer->cleanupNetworkControl();
        layer->cleanupHidJoystickControl();
    }
}

}  // namespace
