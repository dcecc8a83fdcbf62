// One frame of a level crowded with objects: 200 flowers hinged to the ground, 200 pickups, 200
// breakable boxes and 200 loose props resting on a planet, the hive, 40 each of the dangers
// (birds and clouds on orbits, walkers orbiting along the ground, hunting hornets, roosters,
// robot cameras hanging from their pivots, and steam emitters with their puffs), and 8 spray
// emitters firing a shot each every second: the shots fly under a weaker pull, vanish on the
// first solid thing they touch, and the level keeps at most 20 of them, destroying the oldest
// first. Through the level's update (day clock, hive, flower regrowth, the dangers' movements and
// steering, the emitters), the physics system's step (radial gravity and anti-gravity
// controllers, the auto-stop controller, the game's contact listener and the shots' hits) and the
// sprites' pose blending, against the floor: raw Box2D with the same bodies, fixtures, joints,
// velocities and forces set in a plain loop, stepped with the same iterations from the same state,
// its shots made, counted and destroyed by the same rules.
//
// Sprites need a GL context: the program opens an offscreen one through SDL. On a busy machine run
// it with --benchmark_repetitions=6 --benchmark_enable_random_interleaving=true.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "engine/core/CCDirectorMac.h"
#include "engine/core/CCGLView.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrame.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "game/core/GameContactListener.h"
#include "game/core/Level.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/SoundEffectOutput.h"
#include "game/core/VantrelGameLayer.h"
#include "game/objects/GameObjectKinds.h"
#include "platform/foundation/Folders.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"
#include "tests/support/PhysicsOnlyLayer.h"

namespace {

constexpr int kEach = 200;
constexpr float kGround = 6400;        // points: 200 m, room for every object
constexpr float kStrength = 10;        // both controllers, newtons per kilogram: 10 x the level's magnitudes
constexpr float kStep = PhysicsSystem::kFixedStep;
constexpr int kSettleFrames = 240;
constexpr int kTimedFrames = 600;
// Per kind: the half size of its shape in points and how high above the ground it starts.
constexpr float kHalf = 12;
constexpr int kDangers = 40;  // of each danger kind
// The dangers, in the order of their slots, with the height above the ground they start at
// (points) and the speed of their orbit (points per second; 0 for none).
enum Danger { kBird, kCloud, kWalker, kHornet, kRooster, kCamera, kEmitter, kDangerKinds };
constexpr int kDangerTypes[kDangerKinds] = {220, 200, 230, 240, 1006, 265, 700};
constexpr float kDangerHeights[kDangerKinds] = {400, 500, kHalf + 2, 300, kHalf + 2, 200, 2};
constexpr float kOrbitSpeeds[kDangerKinds] = {100, 30, 40, 0, 0, 0, 0};
constexpr float kHuntForce = 2;       // newtons
constexpr float kHornetTorque = 0.5f;  // newton metres
constexpr float kPuffSpeed = 50;      // points per second, away from the centre
constexpr float kPuffLifetime = 3;    // seconds
constexpr int kPuffsPerEmitter = 3;
constexpr float kEmitDelay = 1;       // seconds; a puff that is due waits for a free place
// The spray emitters hang above everything standing on the ground, each tilted from straight up by
// its own angle so that the shots fly for between two and three seconds: about as long as the
// level's cap of live shots lets them, so that both the cap and the hits end shots.
constexpr int kSprayers = 8;
constexpr float kSprayerHeight = 100;  // points
constexpr float kSprayTilts[] = {-60, -20, 20, 60};  // degrees, counter-clockwise
constexpr float kSprayDelay = 1;       // seconds between shots of one emitter
constexpr float kShotSpeed = 160;      // points per second
constexpr float kShotSpin = 180;       // degrees per second
constexpr float kShotRadius = 4;       // points
constexpr float kShotDensity = 0.5f;
constexpr float kShotGravityScale = 0.4f;

Value value(std::initializer_list<std::pair<const char*, Value>> entries) {
    Value d = Value::dictionary();
    for (const auto& [key, item] : entries) d.set(key, item);
    return d;
}

Value shapes(int kind) {
    Value fixture = kind == 0 ? value({{"type", 0}, {"radius", kHalf}})
                              : value({{"type", 4}, {"width", 2 * kHalf}, {"height", 2 * kHalf}});
    Value list = Value::array();
    list.append(fixture);
    return list;
}

// The angle, in radians from the top clockwise, of object i of kind k, all four kinds interleaved.
float slot(int kind, int i) { return 6.2831855f * static_cast<float>(i * 4 + kind) / (4 * kEach); }

// The angle of danger i of kind k, between the other objects' slots.
float dangerSlot(int kind, int i) {
    return 6.2831855f * (static_cast<float>(i * kDangerKinds + kind) + 0.5f) / (kDangerKinds * kDangers);
}

float sprayerSlot(int i) { return 6.2831855f * (static_cast<float>(i) + 0.5f) / kSprayers; }

// The placement rotation of spray emitter i, degrees: standing on the ground, then tilted. Its
// shots start turned by it and leave at it plus 90 degrees, counter-clockwise from +x.
float sprayerRotation(int i) { return -sprayerSlot(i) * 57.29578f + kSprayTilts[i % std::size(kSprayTilts)]; }

CGPoint onGround(float angle, float height) {
    return CGPointMake((kGround + height) * std::sin(angle), (kGround + height) * std::cos(angle));
}

// The objects' level written to a folder of its own.
class LevelFiles {
public:
    LevelFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        folder_ = pattern;
        setenv("XDG_DATA_HOME", (folder_ + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
        Value types = Value::dictionary();
        types.set("1", value({{"type_name", "flower"}, {"frame_count", 3}, {"nectar", 1}, {"regrow_rate", 0.2},
                              {"head_anchor_position", "{24, 60}"}, {"joint_anchor_position", "{24, 0}"},
                              {"join_to_ground", true}, {"head_radius", kHalf}, {"collide_with_ground", false}}));
        types.set("100", value({{"type_name", "drop"}, {"nectar", 0.5}, {"fixtures", shapes(0)}}));
        types.set("400", value({{"type_name", "box"}, {"hit_points", 50}, {"fixtures", shapes(1)},
                                {"image_names", Value::array()}}));
        types.set("500", value({{"type_name", "crate"}, {"fixtures", shapes(1)}}));
        types.set("1000", value({{"type_name", "hive"}}));
        addDangerTypes(types);
        write("gameobject_data.plist", value({{"gameobjects", types}}));

        Value objects = Value::array();
        objects.append(value({{"type", 1000}, {"position", NSStringFromCGPoint(CGPointMake(0, kGround + 100))}}));
        const int types4[] = {1, 100, 400, 500};
        for (int i = 0; i < kEach; ++i) {
            for (int kind = 0; kind < 4; ++kind) {
                const float angle = slot(kind, i);
                const float height = kind == 0 ? 36 : kHalf + 2;  // a flower's picture is 72 high
                objects.append(value({{"type", types4[kind]},
                                      {"position", NSStringFromCGPoint(onGround(angle, height))},
                                      {"rotation", -angle * 57.29578f},
                                      {"scale", 1}}));
            }
        }
        for (int i = 0; i < kDangers; ++i) {
            for (int kind = 0; kind < kDangerKinds; ++kind) {
                const float angle = dangerSlot(kind, i);
                objects.append(value({{"type", kDangerTypes[kind]},
                                      {"position", NSStringFromCGPoint(onGround(angle, kDangerHeights[kind]))},
                                      {"rotation", -angle * 57.29578f},
                                      {"scale", 1}}));
            }
        }
        for (int i = 0; i < kSprayers; ++i) {
            objects.append(value({{"type", 701},
                                  {"position", NSStringFromCGPoint(onGround(sprayerSlot(i), kSprayerHeight))},
                                  {"rotation", sprayerRotation(i)}}));
        }
        write("bench_objects.plist", value({{"gameobjects", objects}}));
        Value ground = Value::array();
        ground.append(value({{"type", 0}, {"radius", kGround}}));
        Value geometry = Value::array();
        geometry.append(value({{"position", "{0, 0}"}, {"fixtures", ground}}));
        write("bench_geometry.plist", value({{"static_geometry", geometry}}));
        write("bench.plist", value({{"id", "bench"},
                                    {"spawn_position", NSStringFromCGPoint(CGPointMake(0, kGround + 300))},
                                    {"sky_radius", kGround + 600},
                                    {"bottom_radius", kGround + 60},
                                    {"ground_radius", kGround},
                                    {"ground_depth", 100},
                                    {"ground_repeat", 8},
                                    {"ground_subdivisions", 64},
                                    {"bgnear_radius", kGround - 50},
                                    {"bgnear_height", 200},
                                    {"bgnear_repeat", 6},
                                    {"bgnear_subdivisions", 64},
                                    {"bgfar_radius", kGround - 100},
                                    {"bgfar_height", 300},
                                    {"bgfar_repeat", 4},
                                    {"bgfar_subdivisions", 64},
                                    {"ground_fill_subdivisions", 64},
                                    {"length_of_day", 100000},
                                    {"gravity_magnitude", kStrength / 10},
                                    {"antigravity_magnitude", kStrength / 10},
                                    {"geometry_file", "bench_geometry.plist"},
                                    {"objects_file", "bench_objects.plist"}}));
        setResourceFolder(folder_);
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    }
    ~LevelFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    static Value orbit(float speed) { return value({{"orbit", value({{"orbit_speed", speed}})}}); }
    static Value sensor(float radius, const char* centre = "{0, 0}") {
        Value list = Value::array();
        list.append(value({{"type", 0}, {"radius", radius}, {"centre", centre}, {"is_sensor", true}}));
        return list;
    }
    static void addDangerTypes(Value& types) {
        types.set("220", value({{"type_name", "bird"}, {"fixtures", shapes(0)}, {"gravity_scale", 0},
                                {"movement", orbit(kOrbitSpeeds[kBird])}}));
        types.set("200", value({{"type_name", "cloud"}, {"fixtures", sensor(40)}, {"movement", orbit(kOrbitSpeeds[kCloud])}}));
        types.set("230", value({{"type_name", "walker"}, {"fixtures", shapes(0)}, {"movement", orbit(kOrbitSpeeds[kWalker])}}));
        types.set("240", value({{"type_name", "hornet"}, {"fixtures", shapes(0)}, {"vision_fixtures", sensor(100)},
                                {"gravity_scale", 0}, {"hunt_acceleration_force", kHuntForce},
                                {"rotation_torque", kHornetTorque}, {"min_rotation_force", 100},
                                {"hunt_delay", 1000}}));
        Value strikes = sensor(12, "{24, 0}");
        strikes.append(sensor(12, "{-24, 0}").at(0));
        types.set("1006", value({{"type_name", "rooster"}, {"fixtures", shapes(1)}, {"strike_fixtures", strikes},
                                 {"vision_fixtures", sensor(80)}}));
        Value camera = Value::array();
        camera.append(value({{"type", 4}, {"width", 2 * kHalf}, {"height", 2 * kHalf}, {"centre", "{0, -20}"}}));
        types.set("265", value({{"type_name", "camera"}, {"fixtures", camera},
                                {"pivot", value({{"rotation_joint", value({{"limit_enabled", true},
                                                                            {"lower_angle", -30},
                                                                            {"upper_angle", 30}})}})}}));
        types.set("700", value({{"type_name", "vent"}, {"emit_type", 209}, {"max_objects", kPuffsPerEmitter}, {"delay", kEmitDelay}}));
        types.set("209", value({{"type_name", "puff"}, {"fixtures", sensor(16)}, {"lifetime", kPuffLifetime},
                                {"movement_speed", kPuffSpeed}}));
        // Fixed values where the data could give ranges, so that the floor fires the same shots.
        types.set("701", value({{"type_name", "sprayer"}, {"emit_type", 304}, {"delay", kSprayDelay},
                                {"projectile", value({{"type", 304}, {"count", 1}, {"velocity", kShotSpeed},
                                                      {"angular_velocity", kShotSpin},
                                                      {"direction_offset_range", 0}})}}));
        Value shot = Value::array();
        shot.append(value({{"type", 0}, {"radius", kShotRadius}}));
        types.set("304", value({{"type_name", "spark"}, {"fixtures", shot}, {"density", kShotDensity},
                                {"gravity_scale", kShotGravityScale}, {"linear_damping", 0}}));
    }

    void write(const std::string& name, const Value& list) {
        std::FILE* file = std::fopen((folder_ + "/" + name).c_str(), "wb");
        const std::string text = list.toXML();
        if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size()) std::abort();
        std::fclose(file);
    }

    std::string folder_;
};

class SilentOutput : public game::SoundEffectOutput {
public:
    bool preloadEffect(const std::string&) override { return true; }
    void playEffect(const std::string&, float, float, float) override {}
};

// The game's side: the level and its objects, the play scene's physics.
class OursWorld {
public:
    OursWorld() {
        layer_ = makeRef<PhysicsOnlyLayer>();
        level_ = Level::levelFromFile("bench.plist");
        if (!level_) std::abort();
        level_->loadLevelGeometry();
        if (!level_->loadLevelObjects()) std::abort();
        physics_ = layer_->physicsSystem();
    }
    ~OursWorld() {
        level_.reset();
        layer_.reset();
    }
    void frame() {
        level_->update(kStep);
        physics_->update(kStep);
    }
    int32 contacts() const { return physics_->getWorld()->GetContactCount(); }
    int32 bodies() const { return physics_->getWorld()->GetBodyCount(); }

private:
    RefPtr<PhysicsOnlyLayer> layer_;
    RefPtr<Level> level_;
    PhysicsSystem* physics_ = nullptr;
};

// The floor: the same bodies, fixtures and joints in raw Box2D, the radial forces in a loop.
class RawWorld {
public:
    RawWorld() {
        world_.SetAllowSleeping(true);
        b2BodyDef groundDefinition;
        b2Body* ground = world_.CreateBody(&groundDefinition);
        b2CircleShape planet;
        planet.m_radius = kGround / 32;
        ground->CreateFixture(&planet, 0);
        for (int i = 0; i < kEach; ++i) {
            for (int kind = 0; kind < 4; ++kind) {
                const float angle = slot(kind, i);
                b2BodyDef definition;
                definition.type = b2_dynamicBody;
                definition.angle = -angle;
                definition.linearDamping = definition.angularDamping = 0.1f;
                b2FixtureDef fixture;
                b2CircleShape circle;
                circle.m_radius = kHalf / 32;
                b2PolygonShape box;
                box.SetAsBox(kHalf / 32, kHalf / 32);
                fixture.shape = kind <= 1 ? static_cast<b2Shape*>(&circle) : &box;
                fixture.density = 1;
                fixture.friction = 0.2f;
                if (kind == 0) {
                    // A flower: the head 60 points above its root on the ground, hinged there.
                    const CGPoint root = onGround(angle, 0);
                    const CGPoint head = onGround(angle, 60);
                    definition.position.Set(static_cast<float>(head.x) / 32, static_cast<float>(head.y) / 32);
                    fixture.filter.categoryBits = 0x0100;
                    fixture.filter.maskBits = 0x771B;
                    fixture.filter.groupIndex = 4;
                    b2Body* body = world_.CreateBody(&definition);
                    body->CreateFixture(&fixture);
                    b2RevoluteJointDef joint;
                    joint.Initialize(ground, body,
                                     b2Vec2(static_cast<float>(root.x) / 32, static_cast<float>(root.y) / 32));
                    world_.CreateJoint(&joint);
                    lifted_.push_back(body);
                } else {
                    const CGPoint at = onGround(angle, kHalf + 2);
                    definition.position.Set(static_cast<float>(at.x) / 32, static_cast<float>(at.y) / 32);
                    const uint16 categories[] = {0, 0x0200, 0x0800, 0x1000};
                    const uint16 masks[] = {0, 0x7713, 0x6C13, 0x7793};
                    const int16 groups[] = {0, 5, 6, 7};
                    fixture.filter.categoryBits = categories[kind];
                    fixture.filter.maskBits = masks[kind];
                    fixture.filter.groupIndex = groups[kind];
                    b2Body* body = world_.CreateBody(&definition);
                    body->CreateFixture(&fixture);
                    pulled_.push_back(body);
                }
            }
        }
        addDangers();
        for (int i = 0; i < kSprayers; ++i) {
            const CGPoint at = onGround(sprayerSlot(i), kSprayerHeight);
            sprayers_.push_back({at, sprayerRotation(i), kSprayDelay});
        }
        world_.SetContactListener(&hits_);
    }
    void frame() {
        moveDangers();
        spray();
        push(pulled_, -1);
        push(lifted_, 1);
        push(shots_, -1);
        world_.Step(kStep, PhysicsSystem::kVelocityIterations, PhysicsSystem::kPositionIterations);
        // The auto-stop controller's part: bodies driven by a movement keep no velocity of their own.
        for (const Mover& walker : movers_[kWalker]) {
            walker.body->SetLinearVelocity({0, 0});
            walker.body->SetAngularVelocity(0);
        }
        // The contact listener's part: a shot that touched anything solid is gone after the step.
        std::sort(hits_.shots.begin(), hits_.shots.end());
        hits_.shots.erase(std::unique(hits_.shots.begin(), hits_.shots.end()), hits_.shots.end());
        for (b2Body* shot : hits_.shots) {
            shots_.erase(std::find(shots_.begin(), shots_.end(), shot));
            world_.DestroyBody(shot);
        }
        hits_.shots.clear();
        time_ += kStep;
    }
    int32 contacts() const { return world_.GetContactCount(); }
    int32 bodies() const { return world_.GetBodyCount(); }

private:
    struct Mover {
        b2Body* body;
        float angle;    // radians counter-clockwise from +x at the start
        float radius;   // metres
        float heading;  // the body's angle at the start
    };
    struct Puff {
        b2Body* body;
        float age;
    };
    struct Vent {
        CGPoint at;
        float delay;  // seconds until the next puff is due
        std::vector<Puff> puffs;
    };
    struct Sprayer {
        CGPoint at;
        float rotation;  // degrees
        float delay;     // seconds until the next shot
    };
    // Notes the shots that begin to touch a fixture that is not a sensor.
    class ShotHits : public b2ContactListener {
    public:
        void BeginContact(b2Contact* contact) override {
            note(contact->GetFixtureA(), contact->GetFixtureB());
            note(contact->GetFixtureB(), contact->GetFixtureA());
        }
        std::vector<b2Body*> shots;

    private:
        void note(b2Fixture* shot, b2Fixture* other) {
            if (shot->GetFilterData().categoryBits == kShotCategory && !other->IsSensor()) shots.push_back(shot->GetBody());
        }
    };
    static constexpr uint16 kShotCategory = 0x2000;

    b2Body* dangerBody(b2BodyType type, CGPoint at, float angle, const b2Shape& shape, bool sensor, uint16 category,
                       uint16 mask) {
        b2BodyDef definition;
        definition.type = type;
        definition.position.Set(static_cast<float>(at.x) / 32, static_cast<float>(at.y) / 32);
        definition.angle = angle;
        definition.linearDamping = definition.angularDamping = type == b2_kinematicBody ? 0.0f : 0.1f;
        b2Body* body = world_.CreateBody(&definition);
        b2FixtureDef fixture;
        fixture.shape = &shape;
        fixture.isSensor = sensor;
        fixture.density = 1;
        fixture.friction = 0.2f;
        fixture.filter.groupIndex = -2;
        fixture.filter.categoryBits = category;
        fixture.filter.maskBits = mask;
        body->CreateFixture(&fixture);
        return body;
    }

    void addDangers() {
        b2CircleShape ball;
        ball.m_radius = kHalf / 32;
        b2PolygonShape box;
        box.SetAsBox(kHalf / 32, kHalf / 32);
        b2PolygonShape hanging;
        hanging.SetAsBox(kHalf / 32, kHalf / 32, b2Vec2(0, -20.0f / 32), 0);
        b2CircleShape cloud;
        cloud.m_radius = 40.0f / 32;
        for (int i = 0; i < kDangers; ++i) {
            for (int kind = 0; kind < kDangerKinds; ++kind) {
                const float slot = dangerSlot(kind, i);
                const CGPoint at = onGround(slot, kDangerHeights[kind]);
                const float angle = -slot;
                const Mover start{nullptr, 1.5707964f - slot, static_cast<float>(std::hypot(at.x, at.y)) / 32, angle};
                switch (kind) {
                    case kBird:
                    case kWalker:
                        movers_[kind].push_back(start);
                        movers_[kind].back().body = dangerBody(b2_dynamicBody, at, angle, ball, false,
                                                               kind == kBird ? 0x0040 : 0x0080,
                                                               kind == kBird ? 0x0002 : 0x1002);
                        break;
                    case kCloud:
                        movers_[kind].push_back(start);
                        movers_[kind].back().body = dangerBody(b2_kinematicBody, at, angle, cloud, true, 0x0040, 0x0002);
                        break;
                    case kHornet: {
                        b2Body* body = dangerBody(b2_dynamicBody, at, angle, ball, false, 0x0040, 0x0002);
                        addSensor(body, 100, b2Vec2(0, 0), 0x0002);
                        hornets_.push_back(start);
                        hornets_.back().body = body;
                        break;
                    }
                    case kRooster: {
                        b2Body* body = dangerBody(b2_staticBody, at, angle, box, false, 0x0080, 0x1002);
                        // Its strike zones touch nothing until it strikes, which it never does here.
                        addSensor(body, 12, b2Vec2(24.0f / 32, 0), 0);
                        addSensor(body, 12, b2Vec2(-24.0f / 32, 0), 0);
                        addSensor(body, 80, b2Vec2(0, 0), 0x0002);
                        break;
                    }
                    case kCamera: {
                        b2Body* camera = dangerBody(b2_dynamicBody, at, angle, hanging, false, 0x0080, 0x1002);
                        b2BodyDef pivotDefinition;
                        pivotDefinition.position = camera->GetPosition();
                        pivotDefinition.angle = angle;
                        b2Body* pivot = world_.CreateBody(&pivotDefinition);
                        b2RevoluteJointDef hinge;
                        hinge.Initialize(pivot, camera, pivot->GetPosition());
                        hinge.enableLimit = true;
                        hinge.lowerAngle = -30 * 0.017453292f;
                        hinge.upperAngle = 30 * 0.017453292f;
                        world_.CreateJoint(&hinge);
                        pulled_.push_back(camera);
                        break;
                    }
                    case kEmitter:
                        vents_.push_back({at, kEmitDelay, {}});
                        break;
                }
            }
        }
    }

    void addSensor(b2Body* body, float radius, b2Vec2 centre, uint16 mask) {
        b2CircleShape circle;
        circle.m_radius = radius / 32;
        circle.m_p = centre;
        b2FixtureDef fixture;
        fixture.shape = &circle;
        fixture.isSensor = true;
        fixture.density = 1;
        fixture.filter.groupIndex = -2;
        fixture.filter.categoryBits = radius >= 80 ? 0x8000 : 0x0080;
        fixture.filter.maskBits = mask;
        body->CreateFixture(&fixture);
    }

    // What the dangers' movements, steering and emitters do each frame.
    void moveDangers() {
        for (int kind : {kBird, kCloud, kWalker}) {
            const float turn = kOrbitSpeeds[kind] / 32 * time_;
            for (const Mover& mover : movers_[kind]) {
                const float a = mover.angle + turn / mover.radius;
                const b2Vec2 target(mover.radius * std::cos(a), mover.radius * std::sin(a));
                if (kind == kCloud) {
                    mover.body->SetTransform(target, mover.heading);
                    continue;
                }
                mover.body->SetLinearVelocity(60.0f * (target - mover.body->GetPosition()));
                mover.body->SetAngularVelocity(60.0f * (mover.heading - mover.body->GetAngle()));
            }
        }
        for (const Mover& hornet : hornets_) {
            b2Body* body = hornet.body;
            const b2Vec2 p = body->GetPosition();
            const float theta = std::atan2(p.y, p.x);
            const float climb = -std::clamp((p.Length() - hornet.radius) * 32 / 100, -1.0f, 1.0f);
            b2Vec2 direction(std::sin(theta) + climb * std::cos(theta), -std::cos(theta) + climb * std::sin(theta));
            direction.Normalize();
            body->ApplyForceToCenter(kHuntForce * direction, true);
            body->ApplyTorque(body->GetAngle() > theta - 1.5707964f ? -kHornetTorque : kHornetTorque, true);
        }
        for (Vent& vent : vents_) {
            std::vector<Puff>& puffs = vent.puffs;
            for (size_t i = puffs.size(); i-- > 0;) {
                Puff& puff = puffs[i];
                puff.age += kStep;
                if (puff.age >= kPuffLifetime) {
                    world_.DestroyBody(puff.body);
                    puffs.erase(puffs.begin() + static_cast<long>(i));
                    continue;
                }
                b2Vec2 p = puff.body->GetPosition();
                const b2Vec2 out = (kPuffSpeed / 32 * kStep / p.Length()) * p;
                puff.body->SetTransform(p + out, puff.body->GetAngle());
            }
            vent.delay -= kStep;
            if (vent.delay <= 0 && puffs.size() < kPuffsPerEmitter) {
                vent.delay = kEmitDelay;
                b2CircleShape circle;
                circle.m_radius = 16.0f / 32;
                puffs.push_back({dangerBody(b2_kinematicBody, vent.at, 0, circle, true, 0x0040, 0x0002), 0});
            }
        }
    }

    // What a spray emitter does when its delay runs out: the shot is made, the level's cap destroys
    // the oldest live shots, and the shot is launched along the emitter's rotation plus 90 degrees.
    void spray() {
        for (Sprayer& sprayer : sprayers_) {
            sprayer.delay -= kStep;
            if (sprayer.delay > 0) continue;
            sprayer.delay = kSprayDelay;
            b2BodyDef definition;
            definition.type = b2_dynamicBody;
            definition.position.Set(static_cast<float>(sprayer.at.x) / 32, static_cast<float>(sprayer.at.y) / 32);
            definition.angle = sprayer.rotation * 0.017453292f;
            definition.linearDamping = 0;
            definition.angularDamping = 0.1f;
            definition.gravityScale = kShotGravityScale;
            b2Body* shot = world_.CreateBody(&definition);
            b2CircleShape circle;
            circle.m_radius = kShotRadius / 32;
            b2FixtureDef fixture;
            fixture.shape = &circle;
            fixture.density = kShotDensity;
            fixture.friction = 0.2f;
            fixture.filter.groupIndex = -8;
            fixture.filter.categoryBits = kShotCategory;
            fixture.filter.maskBits = 0x7F13;
            shot->CreateFixture(&fixture);
            while (shots_.size() >= Level::kMaxProjectiles) {
                world_.DestroyBody(shots_.front());
                shots_.erase(shots_.begin());
            }
            shots_.push_back(shot);
            const float heading = (sprayer.rotation + 90) * 0.017453292f;
            shot->SetLinearVelocity(kShotSpeed / 32 * b2Vec2(std::cos(heading), std::sin(heading)));
            shot->SetAngularVelocity(kShotSpin * 0.017453292f);
        }
    }

    // Towards (-1) or away from (+1) the centre, scaled by each body's gravity scale.
    static void push(const std::vector<b2Body*>& bodies, float sense) {
        for (b2Body* body : bodies) {
            if (!body->IsAwake() || !body->IsEnabled()) continue;
            b2Vec2 direction = body->GetPosition();
            direction.Normalize();
            body->ApplyForce(sense * kStrength * body->GetGravityScale() * body->GetMass() * direction,
                             body->GetWorldCenter(), true);
        }
    }

    b2World world_{b2Vec2(0, 0)};
    std::vector<b2Body*> pulled_;
    std::vector<b2Body*> lifted_;
    std::vector<Mover> movers_[kDangerKinds];
    std::vector<Mover> hornets_;
    std::vector<Vent> vents_;
    std::vector<Sprayer> sprayers_;
    std::vector<b2Body*> shots_;  // live, the oldest first
    ShotHits hits_;
    float time_ = 0;  // seconds
};

// Each iteration runs a fresh, settled level kTimedFrames frames.
template <typename World>
void runFrames(benchmark::State& state) {
    int32 contacts = 0;
    int32 bodies = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<World>();
        for (int i = 0; i < kSettleFrames; ++i) world->frame();
        state.ResumeTiming();
        for (int i = 0; i < kTimedFrames; ++i) world->frame();
        state.PauseTiming();
        contacts = world->contacts();
        bodies = world->bodies();
        world.reset();
        state.ResumeTiming();
    }
    state.counters["contacts"] = contacts;
    state.counters["bodies"] = bodies;
    state.counters["per frame"] =
        benchmark::Counter(kTimedFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The GL context sprites need, the object kinds, frames for every picture and silent sounds.
void setUp() {
    static LevelFiles files;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    static RefPtr<CCGLView> view = CCGLView::viewWithFrame(CGRectMake(0, 0, 64, 64), "bench_objects", true);
    if (!view) std::abort();
    CCDirector::sharedDirector()->setView(view);
    dynamic_cast<CCDirectorMac*>(CCDirector::sharedDirector())->setOriginalWinSize(CGSizeMake(1024, 768));
    static SilentOutput silence;
    game::SoundEffectOutput::setCurrent(&silence);
    game::GameObjectKinds::registerKinds();
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    for (const char* name : {"flower_1.png", "flower_2.png", "flower_3.png", "flower_sleep.png", "drop.png", "box.png",
                             "crate.png", "hive_inner.png", "hive_honey.png", "hive_outer.png", "bird.png",
                             "cloud.png", "walker.png", "hornet.png", "rooster.png", "camera.png", "puff.png", "spark.png"}) {
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFrame(
            CCSpriteFrame::frameWithTexture(texture, CGRectMake(0, 0, 48, 72)), name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const BenchmarkGroup frames{"600 frames of 800 objects, 280 dangers and 8 spray emitters", runFrames<OursWorld>,
                                {{"raw Box2D", runFrames<RawWorld>}}};
    return runBenchmarkGroups(argc, argv, {frames}, benchmark::kMillisecond, setUp);
}
