// A level-sized world run headless: bodies built from fixture data fall onto a planet under the
// radial gravity, through the physics system with the game's contact listener installed.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "game/core/GameContactListener.h"
#include "game/core/GravityController.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsUtils.h"
#include "platform/foundation/Random.h"
#include "support/AllocationCounter.h"
#include "support/PhysicsTestSupport.h"
#include "support/ValueBuilders.h"

namespace {

constexpr double kPlanetRadius = 320;  // points: 10 m
constexpr int kBodies = 60;

Value planetLoop() { return array({dict({{"type", 3}, {"loop", true}, {"vertices", ringOfPoints(kPlanetRadius, 64)}})}); }

// The three shapes the bodies take turns with, in points.
Value bodyFixtures(int kind) {
    switch (kind % 3) {
        case 0:
            return array({dict({{"type", 0}, {"radius", 10}, {"density", 2}})});
        case 1:
            return array({dict({{"type", 4}, {"width", 24}, {"height", 12}, {"rotation", 30}})});
        default:
            return array({dict({{"type", 2}, {"vertices", array({"{-10, -8}", "{12, -8}", "{0, 14}"})}})});
    }
}

class PlanetWorld {
public:
    explicit PlanetWorld(uint64_t seed) {
        Random::seed(seed);
        system.createGroundBody();
        system.useSynchronisableList();
        system.setContactListener(&listener);
        system.addPreStepController(&gravity);
        PhysicsUtils::parseFixturesForBody(system.getGroundBody(), planetLoop(), nullptr);
        sprites.reserve(kBodies);
        for (int i = 0; i < kBodies; ++i) {
            const float angle = Random::unitFloat() * 6.2831855f;
            const float radius = 12 + Random::unitFloat() * 8;
            b2BodyDef definition;
            definition.type = b2_dynamicBody;
            definition.position.Set(radius * std::cos(angle), radius * std::sin(angle));
            definition.angle = angle;
            b2Body* body = system.getWorld()->CreateBody(&definition);
            PhysicsUtils::parseFixturesForBody(body, bodyFixtures(i), nullptr);
            sprites.push_back(std::make_unique<RecordingSprite>());
            setBinding(body, &sprites.back()->binding);
            system.addSynchronisableBody(body);
            gravity.addBody(body);
            bodies.push_back(body);
        }
    }

    // FNV-1a over the bits of every pose.
    uint64_t stateHash() const {
        uint64_t hash = 1469598103934665603ull;
        for (const b2Body* body : bodies) {
            const float values[3] = {body->GetPosition().x, body->GetPosition().y, body->GetAngle()};
            unsigned char bytes[sizeof values];
            std::memcpy(bytes, values, sizeof values);
            for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
        }
        return hash;
    }

    PhysicsSystem system;
    GameContactListener listener{nullptr};
    GravityController gravity{10};
    std::vector<std::unique_ptr<RecordingSprite>> sprites;
    std::vector<b2Body*> bodies;
};

}  // namespace

TEST(PhysicsWorldTest, SixtyBodiesSettleOnATwinChainPlanetTheSameWayTwice) {
    uint64_t hashes[2];
    for (uint64_t& hash : hashes) {
        PlanetWorld world(2024);
        for (int step = 0; step < 1200; ++step) world.system.update(1.0f / 60);
        for (const b2Body* body : world.bodies) {
            const b2Vec2 p = body->GetPosition();
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(body->GetAngle()));
            EXPECT_GT(p.Length(), 10.0f);  // not sunk into the planet
            EXPECT_LT(p.Length(), 20.0f);  // not escaped
        }
        hash = world.stateHash();
    }
    EXPECT_EQ(hashes[0], hashes[1]);
}

TEST(PhysicsWorldTest, AStepOfARunningWorldAllocatesNothing) {
    PlanetWorld world(7);
    for (int step = 0; step < 600; ++step) world.system.update(1.0f / 60);
    AllocationCounter allocations;
    for (int step = 0; step < 120; ++step) world.system.update(step % 2 ? 0.02f : 0.012f);
    EXPECT_EQ(allocations.count(), 0u);
}
