// One logic frame of "meadow_a" (its real flowers, hive and pickups) with the bee steered (a held mouse button's event, the choice of
// input, the level, the physics step, the bee's update and the camera; nothing drawn), against
// the floor: raw Box2D stepping a copy of the same world's bodies, fixtures and joints with the
// same steering force and torque on the bee's head and the same radial pulls and pushes in a
// plain loop, once per 1/60 s frame as the game does.
//
// Each run builds a fresh scene (and another whenever its day ends, outside the timing) and
// reports p50 and p99 frame times beside the mean; the gap between the two sides is the game's
// logic beyond physics.
// The bee's sheet needs a GL context: run it under xvfb-run. Resources come from the build's
// resources folder.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "shell/VantrelGlobal.h"
#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "game/core/AntiGravityController.h"
#include "game/core/AutoStopController.h"
#include "game/core/GravityController.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/Player.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/window/Event.h"

namespace {

constexpr int kFrames = 100000;  // room for the frame times of a run
constexpr float kFrame = 1 / 60.0f;

RefPtr<VantrelGameLayer> newScene() {
    VantrelGlobal::sharedInstance()->setNextLevelId("meadow_a");
    RefPtr<VantrelGameLayer> layer = VantrelGameLayer::node();
    if (!layer) {
        std::printf("bench_play: meadow_a does not load from %s\n", VANTREL_APP_RESOURCES);
        std::exit(1);
    }
    return layer;
}

// The mouse held half a screen ahead of the bee and a little above it: it flies round the planet.
Event steering(VantrelGameLayer* layer) {
    Event event;
    event.type = EventType::mouseDragged;
    const CGPoint bee = layer->worldHolder()->convertToWorldSpace(layer->player()->position());
    event.locationInWindow = {bee.x + 400, bee.y + 40};
    return event;
}

void reportPercentiles(benchmark::State& state, std::vector<double>& micros) {
    if (micros.empty()) return;
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}

void BM_FrameOurs(benchmark::State& state) {
    RefPtr<VantrelGameLayer> layer = newScene();
    std::vector<double> micros;
    micros.reserve(kFrames);
    for (auto _ : state) {
        if (layer->level()->isNight()) {
            // A steady day: the next frames play a fresh one.
            state.PauseTiming();
            layer->cleanupNetworkControl();
            layer->cleanupHidJoystickControl();
            layer = newScene();
            state.ResumeTiming();
        }
        const auto start = std::chrono::steady_clock::now();
        layer->ccMouseDragged(steering(layer.get()));
        layer->update(kFrame);
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    reportPercentiles(state, micros);
    layer->cleanupNetworkControl();
    layer->cleanupHidJoystickControl();
}

// ---- The floor: the same bodies in a raw Box2D world ----

void copyFixtures(const b2Body* from, b2Body* to) {
    for (const b2Fixture* fixture = from->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        b2FixtureDef def;
        def.shape = fixture->GetShape();
        def.density = fixture->GetDensity();
        def.friction = fixture->GetFriction();
        def.restitution = fixture->GetRestitution();
        def.isSensor = fixture->IsSensor();
        def.filter = fixture->GetFilterData();
        to->CreateFixture(&def);
    }
}

// The copies of a world's bodies, by original.
using BodyCopies = std::vector<std::pair<const b2Body*, b2Body*>>;

b2Body* copyOf(const BodyCopies& copies, const b2Body* body) {
    for (const auto& [original, copy] : copies) {
        if (original == body) return copy;
    }
    return nullptr;
}

// Copies every body (pose, velocities, damping, flags, fixtures) and every revolute joint of
// `from` into `to`.
BodyCopies copyWorld(b2World* from, b2World* to) {
    BodyCopies copies;
    for (b2Body* body = from->GetBodyList(); body; body = body->GetNext()) {
        b2BodyDef def;
        def.type = body->GetType();
        def.position = body->GetPosition();
        def.angle = body->GetAngle();
        def.linearVelocity = body->GetLinearVelocity();
        def.angularVelocity = body->GetAngularVelocity();
        def.linearDamping = body->GetLinearDamping();
        def.angularDamping = body->GetAngularDamping();
        def.allowSleep = body->IsSleepingAllowed();
        def.awake = body->IsAwake();
        def.fixedRotation = body->IsFixedRotation();
        def.bullet = body->IsBullet();
        def.enabled = body->IsEnabled();
        def.gravityScale = body->GetGravityScale();
        b2Body* copy = to->CreateBody(&def);
        copyFixtures(body, copy);
        copies.emplace_back(body, copy);
    }
    for (b2Joint* joint = from->GetJointList(); joint; joint = joint->GetNext()) {
        if (joint->GetType() != e_revoluteJoint) continue;
        auto* revolute = static_cast<b2RevoluteJoint*>(joint);
        b2RevoluteJointDef def;
        def.bodyA = copyOf(copies, joint->GetBodyA());
        def.bodyB = copyOf(copies, joint->GetBodyB());
        def.localAnchorA = revolute->GetLocalAnchorA();
        def.localAnchorB = revolute->GetLocalAnchorB();
        def.referenceAngle = revolute->GetReferenceAngle();
        def.enableLimit = revolute->IsLimitEnabled();
        def.lowerAngle = revolute->GetLowerLimit();
        def.upperAngle = revolute->GetUpperLimit();
        def.enableMotor = revolute->IsMotorEnabled();
        def.motorSpeed = revolute->GetMotorSpeed();
        def.maxMotorTorque = revolute->GetMaxMotorTorque();
        def.collideConnected = joint->GetCollideConnected();
        to->CreateJoint(&def);
    }
    return copies;
}

// The copies of a controller's bodies.
std::vector<b2Body*> copiesOf(const BodyCopies& copies, const PhysicsSystemController& controller) {
    std::vector<b2Body*> bodies;
    for (const b2Body* body : controller.bodies()) {
        if (b2Body* copy = copyOf(copies, body)) bodies.push_back(copy);
    }
    return bodies;
}

// The radial pull (or push) of the game's gravity controllers, in a plain loop.
void applyRadialForces(const std::vector<b2Body*>& bodies, float strength, bool pushAway) {
    for (b2Body* body : bodies) {
        if (body->GetType() != b2_dynamicBody || !body->IsAwake() || !body->IsEnabled()) continue;
        const b2Vec2 p = body->GetPosition();
        const float angle = pushAway ? std::atan2(p.y, p.x) : std::atan2(-p.y, -p.x);
        const float magnitude = body->GetGravityScale() * strength * body->GetMass();
        body->ApplyForce(b2Vec2(std::cos(angle) * magnitude, std::sin(angle) * magnitude), body->GetWorldCenter(),
                         true);
    }
}

void BM_FrameFloor(benchmark::State& state) {
    RefPtr<VantrelGameLayer> layer = newScene();
    b2World world(b2Vec2(0, 0));
    const BodyCopies copies = copyWorld(layer->physicsWorld(), &world);
    b2Body* head = copyOf(copies, layer->player()->vantrelBody());
    const std::vector<b2Body*> pulled = copiesOf(copies, *layer->gravityController());
    const std::vector<b2Body*> pushed = copiesOf(copies, *layer->antiGravityController());
    const std::vector<b2Body*> stopped = copiesOf(copies, *layer->autoStopController());
    const float pull = layer->gravityController()->strength();
    const float push = layer->antiGravityController()->strength();
    layer->cleanupNetworkControl();
    layer->cleanupHidJoystickControl();
    std::vector<double> micros;
    micros.reserve(kFrames);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        // Full steering along the bee's local frame, turning towards it as the game does.
        const b2Vec2 p = head->GetPosition();
        const float a = std::atan2(p.y, p.x) - b2_pi / 2;
        const b2Vec2 force(120 * std::cos(a), 120 * std::sin(a));
        head->ApplyForce(force, head->GetWorldCenter(), true);
        head->ApplyTorque(PhysicsSystem::torqueToReachAngle(head, std::atan2(force.y, force.x), 6), true);
        applyRadialForces(pulled, pull, false);
        applyRadialForces(pushed, push, true);
        world.Step(kFrame, PhysicsSystem::kVelocityIterations, PhysicsSystem::kPositionIterations);
        for (b2Body* body : stopped) {
            body->SetLinearVelocity(b2Vec2(0, 0));
            body->SetAngularVelocity(0);
        }
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    reportPercentiles(state, micros);
}

}  // namespace

int main(int argc, char** argv) {
    setResourceFolder(VANTREL_APP_RESOURCES);
    game::GameObjectKinds::registerKinds();
    if (!benchDisplayAvailable("bench_play", CGSizeMake(1024, 768))) return 0;
    // Scores, statistics and preferences go to a folder of the run's own; sound to no device.
    char scratch[] = "/tmp/vantrel-bench-XXXXXX";
    if (!mkdtemp(scratch)) return 1;
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"}) setenv(variable, scratch, 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    BenchDirector director("bench_play", CGSizeMake(1024, 768));
    LogCapture quiet;
    std::vector<char*> args = withFiveRepetitions(argc, argv);
    int count = static_cast<int>(args.size());
    return runBenchmarkGroups(count, args.data(),
                              {{"steered frame", BM_FrameOurs, {{"raw Box2D", BM_FrameFloor}}}},
                              benchmark::kMicrosecond);
}
