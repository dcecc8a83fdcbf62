// A crowded level of machines and composites, frame by frame: 100 balloons on verlet ropes, wind
// turbines, big wheels, carts, cranes, rafts, clock towers and breakable towers built from the
// shipped object data on a planet, each frame their updates (ropes and clocks) and one physics
// step with the gravity controllers and the sprites following their bodies; against raw Box2D
// stepping a copy of the same world (bodies, fixtures, mass data and joints) with the same
// gravity and lift forces. Afterwards it counts the allocations of 100 frames of ours.
//
// The sprites need a GL context: run it under xvfb-run. Resources come from the build's resources
// folder.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/BenchmarkPairs.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/AntiGravityController.h"
#include "game/core/GameObjectFactory.h"
#include "game/core/GravityController.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "game/objects/Tower.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "tests/support/PhysicsOnlyLayer.h"

namespace {
std::atomic<uint64_t> allocations{0};
}  // namespace

// Counting replacements of the global allocation functions; GCC takes their malloc and free for a
// mismatch once they are inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr float kGroundRadius = 1200;  // points
constexpr float kStrength = 10;        // the play scene's controllers

RefPtr<PhysicsOnlyLayer> layer;
std::vector<RefPtr<GameObject>> objects;

Value instance(int64_t type, float degrees, float radius) {
    const float a = degrees * 0.017453292f;
    Value data = Value::dictionary();
    data.set("type", Value(type));
    data.set("position", Value(NSStringFromCGPoint(CGPointMake(radius * std::cos(a), radius * std::sin(a)))));
    data.set("rotation", Value(static_cast<double>(degrees - 90)));
    data.set("scale", Value(1.0));
    return data;
}

void buildLevel() {
    layer = makeRef<PhysicsOnlyLayer>();
    b2CircleShape planet;
    planet.m_radius = kGroundRadius / 32;
    layer->physicsSystem()->getGroundBody()->CreateFixture(&planet, 0);
    GameObjectFactory::setupFactory();
    struct Crowd {
        int64_t type;
        int count;
        float radius;
    } crowd[] = {{1005, 100, 1700}, {1004, 10, 1500}, {1010, 10, 1340}, {1002, 10, 1236},
                 {1003, 5, 1560},   {1007, 5, 1330},  {1011, 10, 1280}, {1051, 5, 1900}};
    float angle = 0;
    for (const Crowd& c : crowd) {
        for (int i = 0; i < c.count; ++i, angle += 360.0f / 155) {
            if (RefPtr<GameObject> object = GameObjectFactory::gameObjectWithGameData(instance(c.type, angle, c.radius))) {
                objects.push_back(object);
            }
        }
    }
    for (float degrees : {45.0f, 225.0f}) {
        const float a = degrees * 0.017453292f;
        objects.push_back(game::Tower::towerWithType(
            650, CGPointMake(kGroundRadius * std::cos(a), kGroundRadius * std::sin(a)), degrees - 90, 1, 1));
    }
}

void frameOurs() {
    for (const RefPtr<GameObject>& object : objects) object->update(kFrame);
    layer->physicsSystem()->update(kFrame);
}

void BM_FrameOurs(benchmark::State& state) {
    for (auto _ : state) frameOurs();
}

// The same world in raw Box2D, with the controllers' forces applied by hand.
struct PeerWorld {
    std::unique_ptr<b2World> world = std::make_unique<b2World>(b2Vec2(0, 0));
    std::vector<std::pair<b2Body*, bool>> pulled;  // true: lifted away from the centre

    explicit PeerWorld(b2World* source, const GravityController& gravity, const AntiGravityController& lift) {
        std::map<const b2Body*, b2Body*> copies;
        for (b2Body* body = source->GetBodyList(); body; body = body->GetNext()) {
            b2BodyDef definition;
            definition.type = body->GetType();
            definition.position = body->GetPosition();
            definition.angle = body->GetAngle();
            definition.linearVelocity = body->GetLinearVelocity();
            definition.angularVelocity = body->GetAngularVelocity();
            definition.linearDamping = body->GetLinearDamping();
            definition.angularDamping = body->GetAngularDamping();
            definition.allowSleep = body->IsSleepingAllowed();
            definition.awake = body->IsAwake();
            definition.fixedRotation = body->IsFixedRotation();
            definition.gravityScale = body->GetGravityScale();
            b2Body* copy = world->CreateBody(&definition);
            for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
                b2FixtureDef shape;
                shape.shape = fixture->GetShape();
                shape.density = fixture->GetDensity();
                shape.friction = fixture->GetFriction();
                shape.restitution = fixture->GetRestitution();
                shape.isSensor = fixture->IsSensor();
                shape.filter = fixture->GetFilterData();
                copy->CreateFixture(&shape);
            }
            if (body->GetType() == b2_dynamicBody) {
                b2MassData mass;
                body->GetMassData(&mass);
                copy->SetMassData(&mass);
            }
            copies[body] = copy;
        }
        for (b2Body* body : gravity.bodies()) pulled.emplace_back(copies[body], false);
        for (b2Body* body : lift.bodies()) pulled.emplace_back(copies[body], true);
        for (b2Joint* joint = source->GetJointList(); joint; joint = joint->GetNext()) copyJoint(joint, copies);
    }

    void copyJoint(b2Joint* joint, std::map<const b2Body*, b2Body*>& copies) {
        b2Body* a = copies[joint->GetBodyA()];
        b2Body* b = copies[joint->GetBodyB()];
        const bool collide = joint->GetCollideConnected();
        switch (joint->GetType()) {
            case e_revoluteJoint: {
                auto* j = static_cast<b2RevoluteJoint*>(joint);
                b2RevoluteJointDef d;
                d.bodyA = a, d.bodyB = b, d.collideConnected = collide;
                d.localAnchorA = j->GetLocalAnchorA(), d.localAnchorB = j->GetLocalAnchorB();
                d.referenceAngle = j->GetReferenceAngle();
                d.enableLimit = j->IsLimitEnabled(), d.lowerAngle = j->GetLowerLimit(), d.upperAngle = j->GetUpperLimit();
                d.enableMotor = j->IsMotorEnabled(), d.motorSpeed = j->GetMotorSpeed();
                d.maxMotorTorque = j->GetMaxMotorTorque();
                world->CreateJoint(&d);
                break;
            }
            case e_prismaticJoint: {
                auto* j = static_cast<b2PrismaticJoint*>(joint);
                b2PrismaticJointDef d;
                d.bodyA = a, d.bodyB = b, d.collideConnected = collide;
                d.localAnchorA = j->GetLocalAnchorA(), d.localAnchorB = j->GetLocalAnchorB();
                d.localAxisA = j->GetLocalAxisA(), d.referenceAngle = j->GetReferenceAngle();
                d.enableLimit = j->IsLimitEnabled();
                d.lowerTranslation = j->GetLowerLimit(), d.upperTranslation = j->GetUpperLimit();
                d.enableMotor = j->IsMotorEnabled(), d.motorSpeed = j->GetMotorSpeed();
                d.maxMotorForce = j->GetMaxMotorForce();
                world->CreateJoint(&d);
                break;
            }
            case e_wheelJoint: {
                auto* j = static_cast<b2WheelJoint*>(joint);
                b2WheelJointDef d;
                d.bodyA = a, d.bodyB = b, d.collideConnected = collide;
                d.localAnchorA = j->GetLocalAnchorA(), d.localAnchorB = j->GetLocalAnchorB();
                d.localAxisA = j->GetLocalAxisA();
                d.stiffness = j->GetStiffness(), d.damping = j->GetDamping();
                world->CreateJoint(&d);
                break;
            }
            case e_distanceJoint: {
                auto* j = static_cast<b2DistanceJoint*>(joint);
                b2DistanceJointDef d;
                d.bodyA = a, d.bodyB = b, d.collideConnected = collide;
                d.localAnchorA = j->GetLocalAnchorA(), d.localAnchorB = j->GetLocalAnchorB();
                d.length = j->GetLength(), d.minLength = j->GetMinLength(), d.maxLength = j->GetMaxLength();
                d.stiffness = j->GetStiffness(), d.damping = j->GetDamping();
                world->CreateJoint(&d);
                break;
            }
            case e_weldJoint: {
                auto* j = static_cast<b2WeldJoint*>(joint);
                b2WeldJointDef d;
                d.bodyA = a, d.bodyB = b, d.collideConnected = collide;
                d.localAnchorA = j->GetLocalAnchorA(), d.localAnchorB = j->GetLocalAnchorB();
                d.referenceAngle = j->GetReferenceAngle();
                d.stiffness = j->GetStiffness(), d.damping = j->GetDamping();
                world->CreateJoint(&d);
                break;
            }
            default:
                break;
        }
    }

    void frame() {
        for (const auto& [body, away] : pulled) {
            if (!body->IsAwake() || !body->IsEnabled()) continue;
            const b2Vec2 p = body->GetPosition();
            const float angle = away ? std::atan2(p.y, p.x) : std::atan2(-p.y, -p.x);
            const float magnitude = body->GetGravityScale() * kStrength * body->GetMass();
            body->ApplyForce(b2Vec2(std::cos(angle) * magnitude, std::sin(angle) * magnitude), body->GetWorldCenter(),
                             false);
        }
        world->Step(PhysicsSystem::kFixedStep, PhysicsSystem::kVelocityIterations, PhysicsSystem::kPositionIterations);
    }
};

std::unique_ptr<PeerWorld> peer;

void BM_FramePeer(benchmark::State& state) {
    for (auto _ : state) peer->frame();
}

uint64_t allocationsPerHundredFrames() {
    const uint64_t before = allocations.load();
    for (int i = 0; i < 100; ++i) frameOurs();
    return allocations.load() - before;
}

}  // namespace

int main(int argc, char** argv) {
    setResourceFolder(VANTREL_APP_RESOURCES);
    if (!benchDisplayAvailable("bench_machines", CGSizeMake(320, 240))) return 0;
    BenchDirector director("bench_machines", CGSizeMake(320, 240));
    LogCapture quiet;
    game::GameObjectKinds::registerKinds();
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile("objects_fg.plist");
    buildLevel();
    // Settled a little, so that both sides start from the same resting crowd.
    for (int i = 0; i < 60; ++i) frameOurs();
    peer = std::make_unique<PeerWorld>(layer->physicsWorld(), *layer->gravityController(),
                                       *layer->antiGravityController());
    std::printf("objects: %zu, bodies: %d, joints: %d\n", objects.size(), layer->physicsWorld()->GetBodyCount(),
                layer->physicsWorld()->GetJointCount());
    const int status = runBenchmarkGroups(argc, argv, {{"crowded machines frame", BM_FrameOurs, {{"raw Box2D", BM_FramePeer}}}},
                                          benchmark::kMicrosecond);
    std::printf("allocations in 100 frames: %llu\n", static_cast<unsigned long long>(allocationsPerHundredFrames()));
    peer.reset();
    objects.clear();
    GameObjectFactory::cleanupFactory();
    layer.reset();
    return status;
}
