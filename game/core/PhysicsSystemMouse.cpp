#include "game/core/PhysicsSystemMouse.h"

#include <algorithm>

#include "game/core/PhysicsChecks.h"
#include "game/core/DestructionListenerChain.h"
#include "game/core/PhysicsSystemMouseDestructionListener.h"
#include "game/core/PhysicsSystemMouseQueryCallback.h"
#include "platform/foundation/Log.h"

namespace {
constexpr float kMaxForcePerKilogram = 850.0f;
constexpr float kFrequencyHz = 30.0f;
constexpr float kDampingRatio = 3.0f;
constexpr float kQueryHalfSize = 0.001f;  // metres
}  // namespace

PhysicsSystemMouse::PhysicsSystemMouse(b2World* world, b2Body* groundBody) : world_(world), groundBody_(groundBody) {}

PhysicsSystemMouse::~PhysicsSystemMouse() {
    if (destructionListener_) {
        DestructionListenerChain::remove(world_, destructionListener_.get());
        destructionListener_.reset();
    }
    releaseAll();
}

void PhysicsSystemMouse::installDestructionListener() {
    if (destructionListener_) return;
    destructionListener_ = std::make_unique<PhysicsSystemMouseDestructionListener>(this);
    DestructionListenerChain::add(world_, destructionListener_.get());
}

bool PhysicsSystemMouse::validSlot(int32_t index) { return index >= 0 && index < kMaxJoints; }

bool PhysicsSystemMouse::mouseDown(b2Vec2 point, int32_t index) {
    if (!validSlot(index) || !isFinite(point) || !groundBody_) return false;
    if (!worldAcceptsChanges(world_, "mouseDown")) return false;
    if (joints_[index]) mouseUp(index);
    PhysicsSystemMouseQueryCallback query(point, b2_dynamicBody);
    b2AABB box;
    box.lowerBound = point - b2Vec2(kQueryHalfSize, kQueryHalfSize);
    box.upperBound = point + b2Vec2(kQueryHalfSize, kQueryHalfSize);
    world_->QueryAABB(&query, box);
    if (!query.fixture()) return false;

    b2Body* body = query.fixture()->GetBody();
    b2MouseJointDef definition;
    definition.bodyA = groundBody_;
    definition.bodyB = body;
    definition.target = point;
    definition.maxForce = kMaxForcePerKilogram * body->GetMass();
    definition.collideConnected = false;
    b2LinearStiffness(definition.stiffness, definition.damping, kFrequencyHz, kDampingRatio, groundBody_, body);
    auto* joint = static_cast<b2MouseJoint*>(world_->CreateJoint(&definition));
    joints_[index] = joint;
    body->SetAwake(true);
    joint->GetUserData().pointer = reinterpret_cast<uintptr_t>(this);
    jointCount_ = std::min(jointCount_ + 1, kMaxJoints);
    active_ = jointCount_ > 0;
    return true;
}

bool PhysicsSystemMouse::mouseMove(b2Vec2 point, int32_t index) {
    if (!validSlot(index) || !joints_[index] || !isFinite(point)) return false;
    joints_[index]->SetTarget(point);
    return true;
}

bool PhysicsSystemMouse::mouseUp(int32_t index) {
    if (!validSlot(index) || !joints_[index] || !worldAcceptsChanges(world_, "mouseUp")) return false;
    b2MouseJoint* joint = joints_[index];
    joint->GetUserData().pointer = 0;
    world_->DestroyJoint(joint);
    emptySlot(index);
    return true;
}

b2MouseJoint* PhysicsSystemMouse::jointAt(int32_t index) const { return validSlot(index) ? joints_[index] : nullptr; }

b2Body* PhysicsSystemMouse::bodyAt(int32_t index) const {
    b2MouseJoint* joint = jointAt(index);
    return joint ? joint->GetBodyB() : nullptr;
}

void PhysicsSystemMouse::emptySlot(int32_t index) {
    joints_[index] = nullptr;
    jointCount_ = std::max(jointCount_ - 1, 0);
    active_ = jointCount_ > 0;
}

void PhysicsSystemMouse::forgetJoint(b2Joint* joint) {
    for (int32_t i = 0; i < kMaxJoints; ++i) {
        if (joints_[i] == joint) {
            emptySlot(i);
            return;
        }
    }
}

void PhysicsSystemMouse::releaseAll() {
    if (!active_) return;
    active_ = false;
    jointCount_ = 0;
    const bool canDestroy = worldAcceptsChanges(world_, "releaseAll");
    for (b2MouseJoint*& joint : joints_) {
        if (!joint) continue;
        joint->GetUserData().pointer = 0;
        if (canDestroy) world_->DestroyJoint(joint);
        joint = nullptr;
    }
}
