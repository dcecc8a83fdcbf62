#include "game/core/PhysicsSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/core/AntiGravityController.h"
#include "game/core/AutoStopController.h"
#include "game/core/GravityController.h"
#include "game/core/PhysicsSystemContactListener.h"
#include "game/core/PhysicsSystemDestructionListener.h"
#include "platform/foundation/Log.h"
#include "support/PhysicsTestSupport.h"

namespace {

// Notes each of its steps in the shared event list.
class NotingController : public PhysicsSystemController {
public:
    NotingController(std::vector<std::string>* events, std::string name) : events_(events), name_(std::move(name)) {}
    void step(float dt) override {
        events_->push_back(name_);
        lastDt = dt;
    }
    float lastDt = 0;

private:
    std::vector<std::string>* events_;
    std::string name_;
};

// Notes its calls around each step as "<name> pre" and "<name> post".
template <class Listener>
class NotingListener : public Listener {
public:
    NotingListener(std::vector<std::string>* events, std::string name) : events_(events), name_(std::move(name)) {}
    void preStep() override { events_->push_back(name_ + " pre"); }
    void postStep() override { events_->push_back(name_ + " post"); }

private:
    std::vector<std::string>* events_;
    std::string name_;
};

class NotingDestructionListener : public NotingListener<PhysicsSystemDestructionListener> {
public:
    using NotingListener::NotingListener;
    void SayGoodbye(b2Joint*) override {}
    void SayGoodbye(b2Fixture*) override {}
};

class PhysicsSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.createGroundBody();
        system.useSynchronisableList();
        system.addPreStepController(&stepCounter);
        body = makeDynamicBall(system.getWorld(), b2Vec2(1, 2));
        body->SetLinearVelocity(b2Vec2(6, 0));
        setBinding(body, &sprite.binding);
        system.addSynchronisableBody(body);
    }

    std::vector<std::string> events;
    PhysicsSystem system;
    NotingController stepCounter{&events, "step"};
    RecordingSprite sprite{&events};
    b2Body* body = nullptr;
};

}  // namespace

TEST_F(PhysicsSystemTest, UpdateRunsWholeStepsAtMostTwoAndCopiesPosesBeforeTheLast) {
    const struct {
        float dt;
        std::vector<std::string> events;
        float accumulator;
        float ratio;
    } cases[] = {
        {0.005f, {"show"}, 0.005f, 0.3f},
        {1.0f / 60, {"copy", "step", "show"}, 0.0f, 0.0f},
        {0.034f, {"step", "copy", "step", "show"}, 0.00066666678f, 0.04f},
        // Six whole steps are consumed, two run; single precision leaves a hair below zero.
        {0.1f, {"step", "copy", "step", "show"}, -7.45e-9f, -4.47e-7f},
    };
    for (const auto& c : cases) {
        PhysicsSystem fresh;
        std::vector<std::string> seen;
        NotingController counter(&seen, "step");
        RecordingSprite recorder(&seen);
        b2Body* ball = makeDynamicBall(fresh.getWorld(), b2Vec2(0, 0));
        setBinding(ball, &recorder.binding);
        fresh.addPreStepController(&counter);
        fresh.update(c.dt);
        EXPECT_EQ(seen, c.events) << "dt " << c.dt;
        EXPECT_NEAR(fresh.accumulator(), c.accumulator, 1e-9) << "dt " << c.dt;
        EXPECT_NEAR(fresh.interpolationRatio(), c.ratio, 1e-6) << "dt " << c.dt;
        if (!counter.lastDt) continue;
        EXPECT_EQ(counter.lastDt, PhysicsSystem::kFixedStep);
    }
}

TEST_F(PhysicsSystemTest, InterpolationBlendsBetweenTheCopiedAndTheCurrentPose) {
    system.update(1.0f / 60);  // one step from x = 1 at 6 m/s: x = 1.1
    system.update(0.005f);     // no step: 0.3 of the way from the copied pose to the current one
    EXPECT_NEAR(sprite.smoothedPosition().x, 1.03f, 1e-5);
    EXPECT_NEAR(sprite.smoothedPosition().y, 2.0f, 1e-6);
}

TEST_F(PhysicsSystemTest, BodiesWithoutSpritesAreNeitherListedNorWalked) {
    b2Body* bare = makeDynamicBall(system.getWorld(), b2Vec2(5, 5));
    PhysicsSystemBinding fixtureOnly;  // no sprite
    system.addSynchronisableBody(bare);
    setBinding(bare, &fixtureOnly);
    system.addSynchronisableBody(bare);
    EXPECT_EQ(system.synchronisableBodies(), std::vector<b2Body*>{body});

    // Twice in the list: shown twice, same result.
    system.addSynchronisableBody(body);
    events.clear();
    system.update(0.005f);
    EXPECT_EQ(events, (std::vector<std::string>{"show", "show"}));
    system.removeSynchronisableBody(body);
    EXPECT_TRUE(system.synchronisableBodies().empty());

    // Walking the whole world skips the ground body, the bare body and the sprite-less binding.
    system.clearSynchronisableList();
    events.clear();
    system.synchroniseAll();
    EXPECT_EQ(events, std::vector<std::string>{"synchronise"});
}

TEST_F(PhysicsSystemTest, HooksRunInOrderAroundEachStep) {
    NotingListener<PhysicsSystemContactListener> contacts(&events, "contact");
    NotingDestructionListener destruction(&events, "destruction");
    NotingController after(&events, "after");
    system.setContactListener(&contacts);
    system.setDestructionListener(&destruction);
    system.addPostStepController(&after);
    events.clear();
    system.variableStep(0.02f);
    EXPECT_EQ(events, (std::vector<std::string>{"contact pre", "destruction pre", "step", "after", "contact post",
                                                "destruction post"}));
    EXPECT_EQ(after.lastDt, 0.02f);
    EXPECT_EQ(system.accumulator(), 0.0f);

    system.removePostStepController(&after);
    system.removePreStepController(&stepCounter);
    events.clear();
    system.variableStep(0.02f);
    EXPECT_EQ(std::count(events.begin(), events.end(), "step") + std::count(events.begin(), events.end(), "after"), 0);
}

TEST_F(PhysicsSystemTest, BadFrameTimesCountAsZero) {
    LogCapture log;
    for (float dt : {NAN, INFINITY, -1.0f}) {
        events.clear();
        system.update(dt);
        EXPECT_EQ(events, std::vector<std::string>{"show"});
        EXPECT_TRUE(std::isfinite(system.accumulator()));
    }
    EXPECT_EQ(log.lines().size(), 3u);
}

TEST(PhysicsSystemTorqueTest, TurnsTheShortWayAndBrakesInTime) {
    b2World world(b2Vec2(0, 0));
    b2Body* body = makeDynamicBall(&world, b2Vec2(0, 0), 1.0f, 1.0f);
    const float pi = 3.1415927f;
    const float inertia = body->GetInertia();
    const struct {
        float target;
        float spin;
        float expected;
    } cases[] = {
        {pi / 2, 0, 10},        // ahead counter-clockwise
        {3 * pi / 2, 0, -10},   // ahead the other way round
        {0, 0, -10},            // on target at rest
        {-pi / 2, 0, -10},      // same as 3 pi / 2
        // Spinning towards pi/2 fast enough that the stopping angle passes it: brake.
        {pi / 2, std::sqrt(2 * 10 * (pi / 2 + 0.2f) / inertia), -10},
        // Slow spin, far from the target: keep turning.
        {pi / 2, std::sqrt(2 * 10 * (pi / 2 - 0.5f) / inertia), 10},
        // Spinning clockwise with the target far clockwise: keep turning clockwise.
        {-pi / 2, -std::sqrt(2 * 10 * 0.3f / inertia), -10},
        // Spinning clockwise too fast for a near clockwise target: brake.
        {-0.2f, -std::sqrt(2 * 10 * 1.0f / inertia), 10},
    };
    for (const auto& c : cases) {
        body->SetAngularVelocity(c.spin);
        EXPECT_EQ(PhysicsSystem::torqueToReachAngle(body, c.target, 10), c.expected)
            << "target " << c.target << " spin " << c.spin;
    }
}

TEST(PhysicsSystemControllerTest, RadialForcesOnDynamicAwakeEnabledBodiesOnly) {
    b2World world(b2Vec2(0, 0));
    GravityController gravity(10);
    AntiGravityController antiGravity(10);
    // Mass 2 (radius 1 circle of density 2/pi), gravity scale 0.5, at (3, 4).
    b2Body* body = makeDynamicBall(&world, b2Vec2(3, 4), 1.0f, 2.0f / b2_pi);
    body->SetGravityScale(0.5f);
    ASSERT_NEAR(body->GetMass(), 2.0f, 1e-5);
    gravity.addBody(body);
    antiGravity.addBody(body);
    gravity.step(PhysicsSystem::kFixedStep);
    antiGravity.step(PhysicsSystem::kFixedStep);
    EXPECT_NEAR(gravity.lastForce().x, -6, 1e-4);
    EXPECT_NEAR(gravity.lastForce().y, -8, 1e-4);
    EXPECT_NEAR(antiGravity.lastForce().x, 6, 1e-4);
    EXPECT_NEAR(antiGravity.lastForce().y, 8, 1e-4);

    // At the origin itself there is no line to the centre: the pull goes along -x, the push along +x.
    b2Body* centred = makeDynamicBall(&world, b2Vec2(0, 0));
    GravityController pullAtOrigin(10);
    AntiGravityController pushAtOrigin(10);
    pullAtOrigin.addBody(centred);
    pushAtOrigin.addBody(centred);
    pullAtOrigin.step(PhysicsSystem::kFixedStep);
    pushAtOrigin.step(PhysicsSystem::kFixedStep);
    EXPECT_NEAR(pullAtOrigin.lastForce().x, -10 * centred->GetMass(), 1e-4);
    EXPECT_NEAR(pullAtOrigin.lastForce().y, 0, 1e-4);
    EXPECT_NEAR(pushAtOrigin.lastForce().x, 10 * centred->GetMass(), 1e-4);
    EXPECT_NEAR(pushAtOrigin.lastForce().y, 0, 1e-4);
    world.DestroyBody(centred);

    // The pushes cancel; gravity alone moves the body towards the origin at 10 x 0.5 m/s^2.
    antiGravity.removeBody(body);
    gravity.step(PhysicsSystem::kFixedStep);
    world.Step(PhysicsSystem::kFixedStep, 4, 2);
    EXPECT_NEAR(body->GetLinearVelocity().x, -3 * PhysicsSystem::kFixedStep, 1e-5);
    EXPECT_NEAR(body->GetLinearVelocity().y, -4 * PhysicsSystem::kFixedStep, 1e-5);

    // Skipped: kinematic, asleep, disabled; a body added twice is pushed twice.
    const struct {
        const char* name;
        void (*prepare)(b2Body*);
        float expectedSpeed;
    } cases[] = {
        {"kinematic", [](b2Body* b) { b->SetType(b2_kinematicBody); }, 0},
        {"asleep", [](b2Body* b) { b->SetAwake(false); }, 0},
        {"disabled", [](b2Body* b) { b->SetEnabled(false); }, 0},
        {"twice", [](b2Body*) {}, 2 * 10 * PhysicsSystem::kFixedStep},
    };
    for (const auto& c : cases) {
        b2World fresh(b2Vec2(0, 0));
        GravityController pull(10);
        b2Body* b = makeDynamicBall(&fresh, b2Vec2(0, 5));
        pull.addBody(b);
        pull.addBody(b);
        c.prepare(b);
        pull.step(PhysicsSystem::kFixedStep);
        fresh.Step(PhysicsSystem::kFixedStep, 4, 2);
        EXPECT_NEAR(b->GetLinearVelocity().Length(), c.expectedSpeed, 1e-5) << c.name;
        EXPECT_EQ(b->IsAwake(), std::string(c.name) != "asleep") << c.name;
    }
}

TEST(PhysicsSystemControllerTest, AutoStopHaltsMovingBodiesButNotStaticOnesAndRefusesBadStrength) {
    // Kinematic bodies are the ones movers drive by velocity (a robot camera's pivot): they are
    // brought to rest after each step like dynamic ones. A static body has no motion to stop, and
    // a disabled one takes no part until it is enabled again.
    const struct {
        const char* name;
        b2BodyType type;
        bool enabled;
        bool stops;
    } cases[] = {
        {"dynamic", b2_dynamicBody, true, true},
        {"kinematic", b2_kinematicBody, true, true},
        {"static", b2_staticBody, true, false},
        {"disabled", b2_dynamicBody, false, false},
    };
    for (const auto& c : cases) {
        b2World world(b2Vec2(0, 0));
        AutoStopController stop;
        b2Body* body = makeDynamicBall(&world, b2Vec2(0, 0));
        body->SetType(c.type);
        body->SetLinearVelocity(b2Vec2(3, 1));
        body->SetAngularVelocity(2);
        body->SetEnabled(c.enabled);
        const b2Vec2 velocity = body->GetLinearVelocity();
        const float spin = body->GetAngularVelocity();
        const bool awake = body->IsAwake();
        stop.addBody(body);
        stop.step(PhysicsSystem::kFixedStep);
        EXPECT_EQ(body->GetType(), c.type) << c.name;
        EXPECT_EQ(body->IsAwake(), awake) << c.name;
        if (c.stops) {
            EXPECT_EQ(body->GetLinearVelocity().Length(), 0.0f) << c.name;
            EXPECT_EQ(body->GetAngularVelocity(), 0.0f) << c.name;
        } else {
            EXPECT_EQ(body->GetLinearVelocity(), velocity) << c.name;
            EXPECT_EQ(body->GetAngularVelocity(), spin) << c.name;
        }
    }

    LogCapture log;
    GravityController gravity(10);
    gravity.setStrength(NAN);
    EXPECT_EQ(gravity.strength(), 10.0f);
    GravityController born(INFINITY);
    EXPECT_EQ(born.strength(), 0.0f);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST(PhysicsSystemWallsTest, FourWallsEncloseTheRectangleAndBadSizesAreRefused) {
    PhysicsSystem system;
    b2Body* walls = system.createWalls(nullptr, true, 2, 3, 12, 8, 1);
    ASSERT_NE(walls, nullptr);
    int count = 0;
    b2AABB box;
    for (b2Fixture* f = walls->GetFixtureList(); f; f = f->GetNext(), ++count) {
        const b2AABB fixtureBox = f->GetAABB(0);
        box = count ? b2AABB{b2Min(box.lowerBound, fixtureBox.lowerBound), b2Max(box.upperBound, fixtureBox.upperBound)}
                    : fixtureBox;
    }
    EXPECT_EQ(count, 4);
    // Inner rectangle 10 x 5 from the origin, 1 m walls overlapping at the corners (plus the
    // polygon radius and Box2D's AABB margin).
    EXPECT_NEAR(box.lowerBound.x, -1 - 0.01f, 0.2f);
    EXPECT_NEAR(box.upperBound.x, 11 + 0.01f, 0.2f);
    EXPECT_NEAR(box.upperBound.y, 6 + 0.01f, 0.2f);

    b2Body* inside = makeDynamicBall(system.getWorld(), b2Vec2(5, 2.5f), 0.25f);
    inside->SetLinearVelocity(b2Vec2(40, -30));
    for (int i = 0; i < 240; ++i) system.variableStep(PhysicsSystem::kFixedStep);
    EXPECT_GT(inside->GetPosition().x, 0);
    EXPECT_LT(inside->GetPosition().x, 10);
    EXPECT_GT(inside->GetPosition().y, 0);
    EXPECT_LT(inside->GetPosition().y, 5);

    LogCapture log;
    EXPECT_EQ(system.createWalls(nullptr, false, 0, 0, 0, 5, 1), nullptr);
    EXPECT_EQ(system.createWalls(nullptr, false, 0, 0, 5, 5, NAN), nullptr);
    EXPECT_EQ(log.lines().size(), 2u);
}

TEST(PhysicsSystemLockTest, WorldChangesInsideTheStepAreRefusedNotAborted) {
    PhysicsSystem system;
    struct Meddler : PhysicsSystemContactListener {
        PhysicsSystem* system = nullptr;
        b2Body* victim = nullptr;
        void BeginContact(b2Contact*) override {
            system->createGroundBody();
            system->createWalls(nullptr, false, 0, 0, 1, 1, 1);
        }
    } meddler;
    meddler.system = &system;
    system.setContactListener(&meddler);
    b2Body* a = makeDynamicBall(system.getWorld(), b2Vec2(0, 0));
    makeDynamicBall(system.getWorld(), b2Vec2(0.5f, 0));
    LogCapture log;
    system.variableStep(PhysicsSystem::kFixedStep);
    EXPECT_TRUE(log.contains("inside its step"));
    EXPECT_EQ(system.getGroundBody(), nullptr);
    EXPECT_EQ(system.getWorld()->GetBodyCount(), 2);
    EXPECT_TRUE(std::isfinite(a->GetPosition().x));
}
