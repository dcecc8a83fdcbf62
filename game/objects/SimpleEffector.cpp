#include "game/objects/SimpleEffector.h"

#include <cmath>
#include <string>

#include "game/core/PhysicsChecks.h"
#include "game/core/Units.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr float kHalfPi = 1.5707964f;

SimpleEffector::ForceMode modeNamed(const std::string& name) {
    if (name == "gravity_relative") return SimpleEffector::kGravityRelative;
    if (name == "attract") return SimpleEffector::kAttract;
    if (name == "repel") return SimpleEffector::kRepel;
    return SimpleEffector::kFixed;
}

b2Vec2 turned(b2Vec2 v, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return b2Vec2(c * v.x - s * v.y, s * v.x + c * v.y);
}
}  // namespace

RefPtr<SimpleEffector> SimpleEffector::simpleEffectorWithDictionary(const Value& data) {
    if (data.isNone()) return nullptr;
    const ForceMode mode = modeNamed(data["force_mode"].stringValue());
    b2Vec2 direction(0, 0);
    if (mode == kFixed || mode == kGravityRelative) {
        const CGPoint point = NSPointFromString(data["force_direction"].stringValue());
        direction.Set(static_cast<float>(point.x), static_cast<float>(point.y));
    }
    const LevelDataRange force = LevelDataRange::read(data, "force", 0);
    const LevelDataRange torque = LevelDataRange::read(data, "torque", 0);
    return simpleEffector(mode, force.min, force.max,
                          std::fabs(data["force_rotation_offset"].floatValue()) * units::kRadiansPerDegree, direction,
                          torque.min, torque.max, data["torque_reversable"].boolValue());
}

RefPtr<SimpleEffector> SimpleEffector::simpleEffector(ForceMode mode, float forceMin, float forceMax,
                                                      float forceRotationOffset, b2Vec2 forceDirection,
                                                      float torqueMin, float torqueMax, bool torqueReversable) {
    RefPtr<SimpleEffector> effector(new SimpleEffector);
    effector->forceMode_ = mode;
    effector->force_ = LevelDataRange{forceMin, forceMax, forceMax - forceMin};
    effector->forceRotationOffset_ = std::fabs(forceRotationOffset);
    effector->forceDirection_ = forceDirection;
    effector->torque_ = LevelDataRange{torqueMin, torqueMax, torqueMax - torqueMin};
    effector->torqueReversable_ = torqueReversable;
    return effector;
}

void SimpleEffector::applyFromBody(const b2Body* source, b2Body* target) const {
    if (!source) return;
    applyFromWorldPosition(source->GetPosition(), target);
}

void SimpleEffector::applyFromWorldPosition(const b2Vec2& source, b2Body* target) const {
    if (!target) return;
    b2Vec2 direction = forceDirection_;
    switch (forceMode_) {
        case kFixed:
            break;
        case kGravityRelative:
            direction = turned(forceDirection_, std::atan2(source.y, source.x) - kHalfPi);
            break;
        case kAttract:
        case kRepel:
            direction = forceMode_ == kAttract ? source - target->GetPosition() : target->GetPosition() - source;
            if (direction.Length() >= units::kEpsilon) direction.Normalize();
            break;
    }
    b2Vec2 force = force_.draw() * direction;
    if (forceRotationOffset_ > units::kEpsilon) {
        force = turned(force, forceRotationOffset_ - Random::unitFloat() * 2 * forceRotationOffset_);
    }
    float torque = torque_.draw();
    if (torqueReversable_ && !(Random::unitFloat() > 0.5f)) torque = -torque;

    if (target->GetType() != b2_dynamicBody) return;
    if (!isFinite(force) || !std::isfinite(torque)) {
        logLine("Game objects: a push that is not finite is dropped");
        return;
    }
    target->SetAwake(true);
    target->ApplyForceToCenter(force, true);
    target->ApplyTorque(torque, true);
}

}  // namespace game
