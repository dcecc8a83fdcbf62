// One fixed step of a level-sized world through PhysicsSystem::update (radial gravity controller,
// the game's contact listener, 40 interpolated sprites) against the floor: raw Box2D stepping the
// same world with the same radial forces applied in a plain loop, the same iterations (4, 2) and
// the same number of steps from the same state.
//
// The world: a twin-chain ground loop of radius 10 m, 20 bodies resting on it and 80 bodies on
// circular orbits around it, all 100 dynamic and in the gravity list. On a busy machine run it with
// --benchmark_repetitions=6 --benchmark_enable_random_interleaving=true, so that load drifts hit
// both sides alike.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "bench/BenchmarkPairs.h"
#include "game/core/GameContactListener.h"
#include "game/core/GravityController.h"
#include "game/core/PhysicsSystem.h"
#include "game/core/PhysicsSystemBinding.h"
#include "game/core/PhysicsSystemSynchronisable.h"
#include "game/core/PhysicsUtils.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

namespace {

constexpr int kResting = 20;
constexpr int kOrbiting = 80;
constexpr int kSprites = 40;
constexpr float kStrength = 10;
constexpr int kSettleSteps = 300;
constexpr int kTimedSteps = 3000;
constexpr float kStep = PhysicsSystem::kFixedStep;

// What a physics sprite does with its poses, without a GL context: the node's position in points
// and its rotation in degrees.
class NodePose : public PhysicsSystemSynchronisable {
public:
    b2Vec2 previousPosition() const override { return previous_; }
    void setPreviousPosition(b2Vec2 p) override { previous_ = p; }
    b2Vec2 smoothedPosition() const override { return smoothed_; }
    void setSmoothedPosition(b2Vec2 p) override { smoothed_ = p; }
    float previousAngle() const override { return previousAngle_; }
    void setPreviousAngle(float a) override { previousAngle_ = a; }
    float smoothedAngle() const override { return smoothedAngle_; }
    void setSmoothedAngle(float a) override { smoothedAngle_ = a; }
    void initPhysicsSystemSynchronisable() override {}
    void setPreviousPosition(b2Vec2 p, float a) override { previous_ = p, previousAngle_ = a; }
    void setSmoothedPosition(b2Vec2 p, float a) override { smoothed_ = p, smoothedAngle_ = a; }
    void setPreviousPosition(b2Vec2 p, float a, b2Vec2 sp, float sa) override {
        setPreviousPosition(p, a);
        setSmoothedPosition(sp, sa);
    }
    void synchronise() override {}
    void synchroniseSmoothed() override {
        nodeX_ = smoothed_.x * 32.0;
        nodeY_ = smoothed_.y * 32.0;
        rotation_ = smoothedAngle_ * -57.29578f;
    }
    void synchroniseBody() override {}

    PhysicsSystemBinding binding{BindingType::kNone, nullptr, this};

private:
    b2Vec2 previous_{0, 0}, smoothed_{0, 0};
    float previousAngle_ = 0, smoothedAngle_ = 0;
    double nodeX_ = 0, nodeY_ = 0;
    float rotation_ = 0;
};

Value groundLoop() {
    Value points = Value::array();
    for (int i = 0; i < 96; ++i) {
        const double a = 2 * M_PI * i / 96;
        points.append(stringWithFormat("{%.4f, %.4f}", 320 * std::cos(a), 320 * std::sin(a)));
    }
    Value loop = Value::dictionary();
    loop.set("type", 3);
    loop.set("loop", true);
    loop.set("vertices", points);
    return loop;
}

// Fills the world; the same bodies in the same order on both sides.
std::vector<b2Body*> buildWorld(b2World* world, b2Body* ground) {
    PhysicsUtils::parseFixtureForBody(ground, groundLoop(), nullptr, nullptr);
    std::vector<b2Body*> bodies;
    for (int i = 0; i < kResting + kOrbiting; ++i) {
        const bool resting = i < kResting;
        const float angle = 6.2831855f * static_cast<float>(i) / (resting ? kResting : kOrbiting);
        const float radius = resting ? 10.6f : 25.0f + static_cast<float>(i % 8) * 4.0f;
        b2BodyDef definition;
        definition.type = b2_dynamicBody;
        definition.position.Set(radius * std::cos(angle), radius * std::sin(angle));
        if (!resting) {
            // A circular orbit: v^2 / r = g.
            const float speed = std::sqrt(kStrength * radius);
            definition.linearVelocity.Set(-speed * std::sin(angle), speed * std::cos(angle));
        }
        b2Body* body = world->CreateBody(&definition);
        b2CircleShape circle;
        circle.m_radius = 0.5f;
        b2PolygonShape box;
        box.SetAsBox(0.4f, 0.4f);
        body->CreateFixture(i % 2 ? static_cast<b2Shape*>(&circle) : &box, 1.0f);
        bodies.push_back(body);
    }
    return bodies;
}

// The game's side: the physics system with its controller, listener and sprites.
class OursWorld {
public:
    OursWorld() {
        system_.createGroundBody();
        system_.useSynchronisableList();
        system_.setContactListener(&listener_);
        system_.addPreStepController(&gravity_);
        std::vector<b2Body*> bodies = buildWorld(system_.getWorld(), system_.getGroundBody());
        for (int i = 0; i < kSprites; ++i) {
            b2Body* body = bodies[i * (kResting + kOrbiting) / kSprites];
            setBinding(body, &sprites_[i].binding);
            system_.addSynchronisableBody(body);
        }
        for (b2Body* body : bodies) gravity_.addBody(body);
    }
    void step() { system_.update(kStep); }
    int32 contacts() const { return system_.getWorld()->GetContactCount(); }

private:
    PhysicsSystem system_;
    GameContactListener listener_{nullptr};
    GravityController gravity_{kStrength};
    std::vector<NodePose> sprites_ = std::vector<NodePose>(kSprites);
};

// The floor: the same world in raw Box2D, the same forces in a plain loop.
class RawWorld {
public:
    RawWorld() {
        world_.SetAllowSleeping(true);
        b2BodyDef ground;
        bodies_ = buildWorld(&world_, world_.CreateBody(&ground));
    }
    void step() {
        for (b2Body* body : bodies_) {
            if (!body->IsAwake() || !body->IsEnabled()) continue;
            const b2Vec2 p = body->GetPosition();
            const float angle = std::atan2(-p.y, -p.x);
            const float magnitude = body->GetGravityScale() * kStrength * body->GetMass();
            body->ApplyForce(b2Vec2(std::cos(angle) * magnitude, std::sin(angle) * magnitude), body->GetWorldCenter(),
                             true);
        }
        world_.Step(kStep, 4, 2);
    }
    int32 contacts() const { return world_.GetContactCount(); }

private:
    b2World world_{b2Vec2(0, 0)};
    std::vector<b2Body*> bodies_;
};

// Each iteration steps a fresh, settled world kTimedSteps times, so both sides do the same
// steps from the same state.
template <typename World>
void stepWorld(benchmark::State& state) {
    int32 contacts = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<World>();
        for (int i = 0; i < kSettleSteps; ++i) world->step();
        state.ResumeTiming();
        for (int i = 0; i < kTimedSteps; ++i) world->step();
        state.PauseTiming();
        contacts = world->contacts();
        world.reset();
        state.ResumeTiming();
    }
    state.counters["contacts"] = contacts;
    state.counters["per step"] =
        benchmark::Counter(kTimedSteps, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv, {{"3000 steps", stepWorld<OursWorld>, stepWorld<RawWorld>}}, "raw Box2D",
                             benchmark::kMillisecond);
}
