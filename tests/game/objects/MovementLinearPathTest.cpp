#include "game/objects/MovementLinearPath.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/CCNode.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "support/AllocationCounter.h"
#include "support/ValueBuilders.h"

using game::LinearPath;
using game::MovementLinearPath;

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// A global straight path of 400 px along +x, in the given mode.
Value straightPath(const char* mode) {
    return dict({{"is_global", true}, {"vertices", array({"{0, 0}", "{400, 0}"})}, {"mode", mode}});
}

TEST(MovementLinearPath, TheFirstSpeedSourcePresentWinsAndDirectionSetsTheSign) {
    Random::seed(3);
    struct Case {
        Value behaviour;
        float speed;
    };
    const Case cases[] = {
        {dict({{"speed", 50}, {"speed_min", 7}, {"speed_max", 7}, {"time", 1}}), 50},
        {dict({{"speed_min", 7}, {"speed_max", 7}, {"speed_perc", 1}}), 7},
        {dict({{"speed_min", 7}, {"speed_perc", 0.5}}), 200},  // a lone _min is no pair
        {dict({{"speed_perc", 0.5}, {"time", 1}}), 200},
        {dict({{"time", 4}}), 100},
        {dict({{"time", 0}}), 0},
        {dict({{"time_min", 8}, {"time_max", 8}}), 50},
        {dict({{"speed", 50}, {"direction", -1}}), -50},
        {dict({{"speed", -50}, {"direction", 1}}), 50},
        {dict({}), 0},
    };
    for (const Case& c : cases) {
        RefPtr<MovementLinearPath> movement =
            MovementLinearPath::movementLinearPathFromDictionary(c.behaviour, straightPath("open"), nullptr);
        ASSERT_TRUE(movement);
        EXPECT_FLOAT_EQ(movement->speed(), c.speed) << c.behaviour.toXML();
        EXPECT_FALSE(movement->usesRandomDirection());
    }
    RefPtr<MovementLinearPath> random = MovementLinearPath::movementLinearPathFromDictionary(
        dict({{"speed", 50}, {"direction", 0}}), straightPath("open"), nullptr);
    EXPECT_TRUE(random->usesRandomDirection());
    EXPECT_FLOAT_EQ(std::fabs(random->speed()), 50);
}

TEST(MovementLinearPath, ModeWordsMapToModesAndAnythingElseIsClosed) {
    const std::pair<const char*, int32_t> cases[] = {
        {"open", 2}, {"closed", 2}, {"closd", 2}, {"autoclose", 3}, {"pingpong", 3},
    };
    for (const auto& [word, points] : cases) {
        RefPtr<MovementLinearPath> movement =
            MovementLinearPath::movementLinearPathFromDictionary(dict({}), straightPath(word), nullptr);
        EXPECT_EQ(movement->path()->pointCount(), points) << word;
        EXPECT_EQ(movement->path()->useWrap(), std::string(word) != "open") << word;
    }
    LogCapture log;
    EXPECT_FALSE(MovementLinearPath::movementLinearPathFromDictionary(
        dict({}), dict({{"vertices", array({})}}), nullptr));
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST(MovementLinearPath, StartsWhereTheDataSaysRelativeToTheNode) {
    RefPtr<CCNode> node = CCNode::node();
    node->setPosition(CGPoint{10, 300});
    const Value local = dict({{"vertices", array({"{0, 0}", "{400, 0}"})}, {"mode", "open"}});
    RefPtr<MovementLinearPath> middle = MovementLinearPath::movementLinearPathFromDictionary(
        dict({{"start_distance_perc", 0.5}}), local, node.get());
    EXPECT_NEAR(node->position().x, 210, 1e-3);
    EXPECT_NEAR(node->position().y, 300, 1e-3);
    RefPtr<MovementLinearPath> end = MovementLinearPath::movementLinearPathFromDictionary(
        dict({{"start_distance", 1000}}), local, node.get());
    EXPECT_NEAR(end->position().x, 610, 1e-3);  // from the node's new place, clamped at the end

    // Oriented to gravity on the planet's right side, a path drawn along +x runs down the surface.
    RefPtr<CCNode> side = CCNode::node();
    side->setPosition(CGPoint{300, 0});
    RefPtr<MovementLinearPath> standing =
        MovementLinearPath::movementLinearPathFromDictionary(dict({{"orient_to_gravity", true}}), local, side.get());
    EXPECT_NEAR(standing->path()->points()[1].x, 300, 1e-3);
    EXPECT_NEAR(standing->path()->points()[1].y, -400, 1e-3);
    standing->update(1.0f / 60);  // orientation shows from the first update
    EXPECT_NEAR(side->rotation(), 90, 1e-3);
}

TEST(MovementLinearPath, ANodeHeadingBackIsMirroredOncePerTurnWithoutAllocating) {
    RefPtr<CCNode> node = CCNode::node();
    RefPtr<MovementLinearPath> movement = MovementLinearPath::movementLinearPathFromDictionary(
        dict({{"orient_to_path", true}, {"allow_flip", true}, {"speed", 100}, {"start_distance_perc", 0.1}}),
        dict({{"is_global", true}, {"vertices", array({"{0, 0}", "{100, 0}"})}, {"mode", "pingpong"}}), node.get());
    int mirrors = 0;
    float lastScaleY = node->scaleY();
    AllocationCounter allocations;
    for (int frame = 0; frame < 120; ++frame) {  // one run out and back
        movement->update(kFrame);
        if (node->scaleY() != lastScaleY) ++mirrors;
        lastScaleY = node->scaleY();
    }
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_EQ(mirrors, 2);
    EXPECT_NEAR(movement->perc(), 0.1f, 1e-4);

    const CGPoint before = node->position();
    const float rotation = node->rotation();
    movement->update(1e-9f);
    movement->updateSystemPaused(0);
    EXPECT_EQ(node->position(), before);
    EXPECT_EQ(node->rotation(), rotation);
}

// Which way a mover mirrors its node on a global ping-pong path along x, 200 pixels long, at
// y = +300 (the planet's top) or -300 (its bottom), run out along +x and back. Facing along the
// path, the node turns upside down when it heads backwards and is mirrored vertically; otherwise
// it keeps its orientation and is mirrored horizontally. Backwards is measured against the
// right-hand side of an up direction: the path's normal (turned to the node's up when attached)
// with "orient_to_normal", else the way away from the planet's centre with "orient_to_gravity",
// else +x.
TEST(MovementLinearPath, MirrorsAgainstTheUpItIsOrientedTo) {
    struct Leg {
        bool mirroredX, mirroredY;
    };
    const struct {
        const char* name;
        Value behaviour;
        double y;
        Leg out, back;
    } cases[] = {
        {"gravity, top", dict({{"orient_to_gravity", true}}), 300, {false, false}, {true, false}},
        // Upside down under the planet, the node's right is -x.
        {"gravity, bottom", dict({{"orient_to_gravity", true}}), -300, {true, false}, {false, false}},
        // The normal turned to the attached node's up points +y even under the planet.
        {"normal, bottom", dict({{"orient_to_normal", true}}), -300, {false, false}, {true, false}},
        {"path and gravity, bottom", dict({{"orient_to_path", true}, {"orient_to_gravity", true}}), -300,
         {false, true}, {false, false}},
        {"path and normal, bottom", dict({{"orient_to_path", true}, {"orient_to_normal", true}}), -300,
         {false, false}, {false, true}},
        {"path alone, bottom", dict({{"orient_to_path", true}}), -300, {false, false}, {false, true}},
    };
    for (const auto& c : cases) {
        Value behaviour = c.behaviour;
        behaviour.set("allow_flip", true);
        behaviour.set("speed", 100);
        behaviour.set("start_distance_perc", 0.1);
        const std::string from = "{-100, " + std::to_string(static_cast<int>(c.y)) + "}";
        const std::string to = "{100, " + std::to_string(static_cast<int>(c.y)) + "}";
        RefPtr<CCNode> node = CCNode::node();
        RefPtr<MovementLinearPath> movement = MovementLinearPath::movementLinearPathFromDictionary(
            behaviour, dict({{"is_global", true}, {"vertices", array({from.c_str(), to.c_str()})}, {"mode", "pingpong"}}),
            node.get());
        // Out: from x = -60 at 100 px/s it turns at x = 100 after 96 frames.
        for (int frame = 0; frame < 30; ++frame) movement->update(kFrame);
        EXPECT_EQ(node->scaleX() < 0, c.out.mirroredX) << c.name << ", out";
        EXPECT_EQ(node->scaleY() < 0, c.out.mirroredY) << c.name << ", out";
        for (int frame = 30; frame < 150; ++frame) movement->update(kFrame);
        EXPECT_EQ(node->scaleX() < 0, c.back.mirroredX) << c.name << ", back";
        EXPECT_EQ(node->scaleY() < 0, c.back.mirroredY) << c.name << ", back";
        EXPECT_EQ(movement->flipX(), c.back.mirroredX) << c.name;
        EXPECT_EQ(movement->flipY(), c.back.mirroredY) << c.name;
    }
}

TEST(MovementLinearPath, TheSpringTrailsThePointAndTweeningWithoutAShareOnlySnaps) {
    RefPtr<CCNode> node = CCNode::node();
    RefPtr<MovementLinearPath> movement = MovementLinearPath::movementLinearPathFromDictionary(
        dict({{"speed", 120}, {"use_spring", true}, {"spring_tightness_k", 2}, {"spring_damping_b", 30},
              {"orient_to_gravity", true}, {"tween_rotation", true}}),
        dict({{"is_global", true}, {"vertices", array({"{0, 300}", "{400, 300}"})}, {"mode", "open"}}),
        node.get());
    for (int frame = 0; frame < 30; ++frame) movement->update(kFrame);
    EXPECT_LT(node->position().x, movement->position().x);  // trails behind
    EXPECT_EQ(node->rotation(), 0);  // the target turned by more than 0.25 degrees: no change

    movement->setSpeed(0);
    movement->stop();
    const double startGap = movement->position().x - node->position().x;
    double gap = startGap;
    for (int frame = 0; frame < 600; ++frame) {
        const double x = node->position().x;
        movement->update(kFrame);
        EXPECT_LT(std::fabs(node->position().x - x), 0.1 * startGap);  // no jump
        gap = movement->position().x - node->position().x;
    }
    EXPECT_LT(std::fabs(gap), 0.5);
}

}  // namespace
