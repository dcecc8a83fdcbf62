#include "game/core/PhysicsSystem.h"

#include <algorithm>
#include <cmath>

#include "game/core/DestructionListenerChain.h"
#include "game/core/GLESDebugDraw.h"
#include "game/core/PhysicsChecks.h"
#include "game/core/PhysicsSystemBinding.h"
#include "game/core/PhysicsSystemContactListener.h"
#include "game/core/PhysicsSystemController.h"
#include "game/core/PhysicsSystemDestructionListener.h"
#include "game/core/PhysicsSystemSynchronisable.h"
#include "game/core/Units.h"
#include "platform/foundation/Log.h"

namespace {
constexpr float kWallPolygonRadius = 0.01f;
}  // namespace

PhysicsSystem::PhysicsSystem() : world_(std::make_unique<b2World>(b2Vec2(0, 0))) {
    world_->SetAllowSleeping(true);
}

PhysicsSystem::~PhysicsSystem() {
    // The world goes first, while the draw interface and filter it points to still exist.
    DestructionListenerChain::forgetWorld(world_.get());
    world_.reset();
}

void PhysicsSystem::setDebugDraw(b2Draw* debugDraw) {
    if (ownedDebugDraw_ && ownedDebugDraw_.get() != debugDraw) {
        world_->SetDebugDraw(nullptr);
        ownedDebugDraw_.reset();
    }
    debugDraw_ = debugDraw;
    world_->SetDebugDraw(debugDraw);
}

void PhysicsSystem::enableDebugDraw() {
    if (!ownedDebugDraw_) {
        ownedDebugDraw_ = std::make_unique<GLESDebugDraw>(units::kPointsPerMetre);
        ownedDebugDraw_->SetFlags(b2Draw::e_shapeBit | b2Draw::e_jointBit | b2Draw::e_aabbBit);
    }
    setDebugDraw(ownedDebugDraw_.get());
}

void PhysicsSystem::setContactListener(PhysicsSystemContactListener* listener) {
    contactListener_ = listener;
    world_->SetContactListener(listener);
}

void PhysicsSystem::setContactFilter(b2ContactFilter* filter) {
    if (ownedContactFilter_ && ownedContactFilter_.get() != filter) {
        world_->SetContactFilter(nullptr);
        ownedContactFilter_.reset();
    }
    contactFilter_ = filter;
    world_->SetContactFilter(filter);
}

void PhysicsSystem::useDefaultContactFilter() {
    if (!ownedContactFilter_) ownedContactFilter_ = std::make_unique<b2ContactFilter>();
    setContactFilter(ownedContactFilter_.get());
}

void PhysicsSystem::setDestructionListener(PhysicsSystemDestructionListener* listener) {
    DestructionListenerChain::remove(world_.get(), destructionListener_);
    destructionListener_ = listener;
    DestructionListenerChain::add(world_.get(), listener);
}

void PhysicsSystem::removePreStepController(PhysicsSystemController* controller) {
    std::erase(preStepControllers_, controller);
}

void PhysicsSystem::removePostStepController(PhysicsSystemController* controller) {
    std::erase(postStepControllers_, controller);
}

void PhysicsSystem::update(float dt) {
    if (!std::isfinite(dt) || dt < 0) {
        logLine("Physics: frame time %g taken as 0", dt);
        dt = 0;
    }
    // Single precision throughout, so that frames add up the same way every run; every whole step is
    // taken off the accumulator, also those beyond the two that run.
    float a = accumulator_ + dt;
    const float wholeSteps = std::floor(a / kFixedStep);
    if (wholeSteps >= 1) a = a + wholeSteps * -kFixedStep;
    accumulator_ = a;
    interpolationRatio_ = a / kFixedStep;

    const int32_t steps = wholeSteps >= kMaxStepsPerUpdate ? kMaxStepsPerUpdate : static_cast<int32_t>(wholeSteps);
    for (int32_t i = 0; i < steps; ++i) {
        if (i == steps - 1) copyPoses();
        fixedStep(kFixedStep);
    }
    interpolatePoses();
}

void PhysicsSystem::variableStep(float dt) {
    if (!std::isfinite(dt) || dt < 0) {
        logLine("Physics: step of %g s refused", dt);
        return;
    }
    fixedStep(dt);
}

void PhysicsSystem::fixedStep(float dt) {
    if (contactListener_) contactListener_->preStep();
    if (destructionListener_) destructionListener_->preStep();
    for (PhysicsSystemController* controller : preStepControllers_) controller->step(dt);
    world_->Step(dt, kVelocityIterations, kPositionIterations);
    for (PhysicsSystemController* controller : postStepControllers_) controller->step(dt);
    if (contactListener_) contactListener_->postStep();
    if (destructionListener_) destructionListener_->postStep();
}

template <typename F>
void PhysicsSystem::forEachSynchronisedSprite(F f) {
    auto visit = [&](b2Body* body) {
        const PhysicsSystemBinding* binding = bindingOf(body);
        if (binding && binding->gameSprite) f(body, binding->gameSprite);
    };
    if (useSynchronisableList_) {
        for (b2Body* body : synchronisableBodies_) visit(body);
    } else {
        for (b2Body* body = world_->GetBodyList(); body; body = body->GetNext()) visit(body);
    }
}

void PhysicsSystem::copyPoses() {
    forEachSynchronisedSprite([](b2Body* body, PhysicsSystemSynchronisable* sprite) {
        const b2Vec2 position = body->GetPosition();
        const float angle = body->GetAngle();
        sprite->setPreviousPosition(position, angle, position, angle);
    });
}

void PhysicsSystem::interpolatePoses() {
    const float r = interpolationRatio_;
    forEachSynchronisedSprite([r](b2Body* body, PhysicsSystemSynchronisable* sprite) {
        const b2Vec2 position = body->GetPosition();
        const b2Vec2 previous = sprite->previousPosition();
        const b2Vec2 smoothed(r * position.x + (1 - r) * previous.x, r * position.y + (1 - r) * previous.y);
        sprite->setSmoothedPosition(smoothed, r * body->GetAngle() + (1 - r) * sprite->previousAngle());
        sprite->synchroniseSmoothed();
    });
}

void PhysicsSystem::synchroniseAll() {
    forEachSynchronisedSprite([](b2Body*, PhysicsSystemSynchronisable* sprite) { sprite->synchronise(); });
}

void PhysicsSystem::createGroundBody() {
    if (groundBody_ || !worldAcceptsChanges(world_.get(), "CreateBody")) return;
    b2BodyDef definition;
    groundBody_ = world_->CreateBody(&definition);
}

void PhysicsSystem::clearSynchronisableList() {
    synchronisableBodies_.clear();
    useSynchronisableList_ = false;
}

void PhysicsSystem::addSynchronisableBody(b2Body* body) {
    const PhysicsSystemBinding* binding = bindingOf(body);
    if (binding && binding->gameSprite) synchronisableBodies_.push_back(body);
}

void PhysicsSystem::removeSynchronisableBody(b2Body* body) { std::erase(synchronisableBodies_, body); }

b2Body* PhysicsSystem::createWalls(b2Body* body, bool overlapCorners, float x0, float y0, float x1, float y1,
                                   float thickness) {
    return createWalls(world_.get(), body, overlapCorners, x0, y0, x1, y1, thickness);
}

b2Body* PhysicsSystem::createWalls(b2World* world, b2Body* body, bool overlapCorners, float x0, float y0, float x1,
                                   float y1, float thickness) {
    const float w = x1 - x0;
    const float h = y1 - y0;
    const float t = thickness;
    if (!(std::isfinite(w) && std::isfinite(h) && std::isfinite(t) && w > 0 && h > 0 && t > 0)) {
        logLine("Physics: walls of %g x %g m, %g m thick, refused", w, h, t);
        return nullptr;
    }
    if (!worldAcceptsChanges(world, "createWalls")) return nullptr;
    if (!body) {
        b2BodyDef definition;
        body = world->CreateBody(&definition);
    }
    const float halfWidth = overlapCorners ? w / 2 + t : w / 2;
    const float halfHeight = overlapCorners ? h / 2 + t : h / 2;
    const struct {
        b2Vec2 halfExtents;
        b2Vec2 centre;
    } walls[] = {
        {{halfWidth, t / 2}, {w / 2, -t / 2}},     // bottom
        {{halfWidth, t / 2}, {w / 2, h + t / 2}},  // top
        {{t / 2, halfHeight}, {-t / 2, h / 2}},    // left
        {{t / 2, halfHeight}, {w + t / 2, h / 2}}, // right
    };
    for (const auto& wall : walls) {
        b2PolygonShape box;
        box.SetAsBox(wall.halfExtents.x, wall.halfExtents.y, wall.centre, 0);
        box.m_radius = kWallPolygonRadius;
        body->CreateFixture(&box, 0);
    }
    return body;
}

float PhysicsSystem::torqueToReachAngle(const b2Body* body, float target, float torque) {
    float error = std::fmod(target - body->GetAngle(), units::kTwoPi);
    if (error < 0) error += units::kTwoPi;
    const float w = body->GetAngularVelocity();
    const float inertia = body->GetInertia();
    const float sign = w >= 0 ? 1.0f : -1.0f;
    float stop = sign * w * w * inertia;
    stop = std::fmod(stop / (2 * torque), units::kTwoPi);
    if (stop < 0) stop += units::kTwoPi;
    const float turn = error > units::kPi ? -torque : torque;
    if (w < 0) return error < stop ? turn : -turn;
    return stop < error ? turn : -turn;
}
