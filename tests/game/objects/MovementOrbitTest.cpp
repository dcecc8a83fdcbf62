#include "game/objects/MovementOrbit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/core/CCNode.h"
#include "game/core/Units.h"
#include "support/AllocationCounter.h"
#include "support/ValueBuilders.h"

using game::MovementOrbit;

namespace {

constexpr float kFrame = 1.0f / 60.0f;

RefPtr<CCNode> nodeAt(double x, double y) {
    RefPtr<CCNode> node = CCNode::node();
    node->setPosition(CGPoint{x, y});
    return node;
}

float angleOf(CGPoint p) { return std::atan2(static_cast<float>(p.y), static_cast<float>(p.x)); }
float radiusOf(CGPoint p) { return std::hypot(static_cast<float>(p.x), static_cast<float>(p.y)); }

TEST(MovementOrbit, RatesAndSensesFollowSpeedTimeAndDirection) {
    struct Case {
        Value orbit;
        float radiansPerSecond;
    };
    const Case cases[] = {
        {dict({{"orbit_speed", 100}}), 1.0f / 3},
        {dict({{"orbit_speed", 100}, {"orbit_direction", -1}}), -1.0f / 3},
        {dict({{"orbit_speed", -100}, {"orbit_direction", 2}}), 1.0f / 3},
        {dict({{"orbit_time", 10}}), units::kTwoPi / 10},
        {dict({{"orbit_time", 10}, {"orbit_direction", -1}}), -units::kTwoPi / 10},
        {dict({{"orbit_time", 0}}), 0},
        {dict({{"orbit_speed_min", 100}, {"orbit_speed_max", 100}}), 1.0f / 3},
        {dict({}), 0},
    };
    for (const Case& c : cases) {
        RefPtr<CCNode> node = nodeAt(0, 300);
        RefPtr<MovementOrbit> movement = MovementOrbit::movementOrbitFromDictionary(c.orbit, node.get());
        EXPECT_NEAR(movement->orbitSpeed(), c.radiansPerSecond, 1e-5) << c.orbit.toXML();
        for (int frame = 0; frame < 60; ++frame) movement->update(kFrame);
        EXPECT_NEAR(angleOf(node->position()), 1.5707964f + c.radiansPerSecond, 1e-3) << c.orbit.toXML();
        EXPECT_NEAR(radiusOf(node->position()), 300, 1e-2);
    }
}

TEST(MovementOrbit, PercCountsAWholeTurnFromTheStartAndSetsBothPhases) {
    RefPtr<CCNode> node = nodeAt(300, 0);
    RefPtr<MovementOrbit> movement = MovementOrbit::movementOrbitFromDictionary(
        dict({{"orbit_speed", 0}, {"oscillation_height", 20}, {"oscillation_time", 2}}), node.get());
    movement->setOrbitAngle(-90);
    EXPECT_NEAR(movement->perc(), 0.75f, 1e-6);
    movement->setPerc(0.25f);
    EXPECT_NEAR(movement->oscillationAngle(), 90, 1e-3);
    EXPECT_NEAR(radiusOf(movement->position()), 320, 1e-2);  // the swing at its widest
}

TEST(MovementOrbit, TheRadiusSwingsByTheOscillationHeightOnceEachPeriodWithoutAllocating) {
    RefPtr<CCNode> node = nodeAt(0, 300);
    RefPtr<MovementOrbit> movement = MovementOrbit::movementOrbitFromDictionary(
        dict({{"orbit_time", 8}, {"oscillation_height", -20}, {"oscillation_time", 2}}), node.get());
    float low = INFINITY;
    float high = 0;
    AllocationCounter allocations;
    for (int frame = 0; frame < 120; ++frame) {
        movement->update(kFrame);
        low = std::min(low, radiusOf(node->position()));
        high = std::max(high, radiusOf(node->position()));
    }
    EXPECT_EQ(allocations.count(), 0u);
    EXPECT_NEAR(low, 280, 0.1);
    EXPECT_NEAR(high, 320, 0.1);
    EXPECT_NEAR(std::cos(movement->oscillationAngle() * 0.017453292f), 1, 1e-4);  // a whole swing in 2 s

    RefPtr<MovementOrbit> still = MovementOrbit::movementOrbitFromDictionary(
        dict({{"orbit_time", 8}, {"oscillation_height", 0}, {"oscillation_time", 2}}), node.get());
    EXPECT_EQ(still->oscillationSpeed(), 0);
}

TEST(MovementOrbit, ALocalOrbitStartsOnThePlacementsRightAndCirclesIt) {
    struct Case {
        CGPoint placement;
        bool orientToGravity;
        CGPoint start;
    };
    const Case cases[] = {
        {{0, 300}, false, {50, 300}},
        {{300, 0}, false, {350, 0}},
        {{300, 0}, true, {300, -50}},  // the right of a node standing on the planet's right side
    };
    for (const Case& c : cases) {
        RefPtr<CCNode> node = nodeAt(c.placement.x, c.placement.y);
        RefPtr<MovementOrbit> movement = MovementOrbit::movementOrbitFromDictionary(
            dict({{"orbit_local", true}, {"orbit_local_distance", 50}, {"orbit_time", 4},
                  {"orient_to_gravity", c.orientToGravity}}),
            node.get());
        EXPECT_NEAR(node->position().x, c.start.x, 1e-3);
        EXPECT_NEAR(node->position().y, c.start.y, 1e-3);
        for (int frame = 0; frame < 37; ++frame) {
            movement->update(kFrame);
            const CGPoint p = node->position();
            EXPECT_NEAR(std::hypot(p.x - c.placement.x, p.y - c.placement.y), 50, 1e-2);
        }
    }
}

// Which way an orbit mirrors its node, a quarter turn after each start of a quadrant: from the
// right of its centre (angle 0), one turn every 4 s counter-clockwise (or clockwise). Facing along
// the orbit, the node is mirrored vertically when it heads backwards against +x, or against its
// right-hand side away from the planet's centre with gravity. Facing away from the centre, it is
// mirrored horizontally while it runs counter-clockwise, and with gravity also vertically where it
// hangs upside down. Standing up under gravity alone, it is mirrored horizontally in the half of
// the turn it runs leftwards in: the upper half counter-clockwise, the lower half clockwise.
TEST(MovementOrbit, MirrorsEachWayItsOrientationAsks) {
    const struct {
        const char* name;
        Value orbit;
        CGPoint placement;
        // Per sample, at 45, 135, 225 and 315 degrees of the turn: "x", "y", "xy" or "".
        const char* mirrored[4];
    } cases[] = {
        {"path", dict({{"orient_to_path", true}}), {300, 0}, {"y", "y", "", ""}},
        {"path, gravity", dict({{"orient_to_path", true}, {"orient_to_gravity", true}}), {300, 0}, {"y", "y", "y", "y"}},
        {"path, gravity, clockwise", dict({{"orient_to_path", true}, {"orient_to_gravity", true}, {"orbit_direction", -1}}),
         {300, 0}, {"", "", "", ""}},
        {"orbit", dict({{"orient_to_orbit", true}}), {300, 0}, {"x", "x", "x", "x"}},
        {"orbit, clockwise", dict({{"orient_to_orbit", true}, {"orbit_direction", -1}}), {300, 0}, {"", "", "", ""}},
        // Round a point above the planet's centre, the node hangs head down in the lower half.
        {"orbit, gravity, local",
         dict({{"orient_to_orbit", true}, {"orient_to_gravity", true}, {"orbit_local", true}, {"orbit_local_distance", 50}}),
         {0, 300}, {"x", "x", "xy", "xy"}},
        {"gravity", dict({{"orient_to_gravity", true}}), {300, 0}, {"x", "x", "", ""}},
        {"gravity, clockwise", dict({{"orient_to_gravity", true}, {"orbit_direction", -1}}), {300, 0}, {"x", "x", "", ""}},
    };
    for (const auto& c : cases) {
        Value orbit = c.orbit;
        orbit.set("allow_flip", true);
        orbit.set("orbit_time", 4);
        RefPtr<CCNode> node = nodeAt(c.placement.x, c.placement.y);
        RefPtr<MovementOrbit> movement = MovementOrbit::movementOrbitFromDictionary(orbit, node.get());
        for (int sample = 0; sample < 4; ++sample) {
            const int frames = sample == 0 ? 30 : 60;
            for (int frame = 0; frame < frames; ++frame) movement->update(kFrame);
            const std::string expected = c.mirrored[sample];
            EXPECT_EQ(node->scaleX() < 0, expected.find('x') != std::string::npos) << c.name << ", sample " << sample;
            EXPECT_EQ(node->scaleY() < 0, expected.find('y') != std::string::npos) << c.name << ", sample " << sample;
        }
    }
}

TEST(MovementOrbit, ATinyStepChangesNothing) {
    RefPtr<CCNode> node = nodeAt(0, 300);
    RefPtr<MovementOrbit> movement =
        MovementOrbit::movementOrbitFromDictionary(dict({{"orbit_speed", 100}, {"orient_to_orbit", true}}), node.get());
    const CGPoint before = node->position();
    movement->update(1e-8f);
    movement->update(NAN);
    EXPECT_EQ(node->position(), before);
    EXPECT_NEAR(node->rotation(), 0, 1e-3);  // up, away from the centre
}

}  // namespace
