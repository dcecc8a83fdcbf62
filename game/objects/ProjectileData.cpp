#include "game/objects/ProjectileData.h"

#include <algorithm>
#include <cmath>

#include "game/core/Units.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {

CGPoint rotated(CGPoint point, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return CGPointMake(point.x * c - point.y * s, point.x * s + point.y * c);
}
}  // namespace

RefPtr<ProjectileData> ProjectileData::componentWithDictionary(const Value& data) {
    if (data.isNone()) return nullptr;
    if (!LevelDataRange::areBounded(data,
                                    {"delay", "velocity", "angular_velocity", "target_lead_time",
                                     "direction_offset_range", "direction_gravity"},
                                    "projectile data")) {
        return nullptr;
    }
    RefPtr<ProjectileData> component(new ProjectileData);
    component->readDictionary(data);
    return component;
}

void ProjectileData::readDictionary(const Value& data) {
    type_ = data["type"].intValue();
    if (const Value& offset = data["offset"]; !offset.isNone()) {
        offset_ = CGPointFromString(offset.stringValue());
        hasOffset_ = offset_.x != 0 || offset_.y != 0;
        useOffsetAsRange_ = data["use_offset_as_range"].boolValue();
    }
    delay_ = LevelDataRange::read(data, "delay", 1.0f);

    // Points per second in the data; the default is already in metres per second.
    velocity_ = LevelDataRange{1.0f, 1.0f, 0};
    if (LevelDataRange::isPresent(data, "velocity")) {
        const LevelDataRange points = LevelDataRange::read(data, "velocity", 0);
        setVelocity(points.min / units::kPointsPerMetre, points.max / units::kPointsPerMetre);
    }
    angularVelocity_ = LevelDataRange{-units::kPi, units::kPi, units::kTwoPi};
    if (LevelDataRange::isPresent(data, "angular_velocity")) {
        const LevelDataRange degrees = LevelDataRange::read(data, "angular_velocity", 0);
        setAngularVelocity(degrees.min * units::kRadiansPerDegree, degrees.max * units::kRadiansPerDegree);
    }

    targetLeadTime_ = data["target_lead_time"].floatValue();
    const CGPoint targetOffset = CGPointFromString(data["target_offset"].stringValue());
    targetOffset_.Set(static_cast<float>(targetOffset.x) / units::kPointsPerMetre,
                      static_cast<float>(targetOffset.y) / units::kPointsPerMetre);

    if (const Value& count = data["count"]; !count.isNone()) {
        setCount(count.intValue(), count.intValue());
    } else if (!data["count_min"].isNone() && !data["count_max"].isNone()) {
        setCount(data["count_min"].intValue(), data["count_max"].intValue());
    }

    if (const Value& range = data["direction_offset_range"]; !range.isNone()) {
        directionOffsetRange_ = range.floatValue();
    } else if (!data["direction_gravity_min"].isNone() && !data["direction_gravity_max"].isNone()) {
        setDirectionGravity(data["direction_gravity_min"].floatValue(), data["direction_gravity_max"].floatValue());
    }
    resetDelay();
}

void ProjectileData::setCount(int32_t least, int32_t most) {
    const auto bounded = [](int32_t count) { return std::clamp(count, 0, kMostShotsPerBurst); };
    if (bounded(least) != least || bounded(most) != most) {
        logLine("Game objects: a burst of %d to %d shots is held to 0 to %d", least, most, kMostShotsPerBurst);
    }
    countMin_ = bounded(least);
    countMax_ = bounded(most);
    // A reversed pair would make the burst draw a modulo by zero (or a huge count): it gives the
    // minimum instead.
    countRange_ = countMax_ > countMin_ ? static_cast<uint32_t>(countMax_ - countMin_) : 0;
}

void ProjectileData::setDirectionGravity(float least, float most) {
    directionGravityRelative_ = true;
    directionGravityMin_ = least;
    directionGravityMax_ = most;
    directionOffsetRange_ = most - least;
}

int32_t ProjectileData::randomCount() const {
    if (countRange_ == 0) return countMin_;
    // In 64 bits: the widest range, 2^32 - 1, would otherwise wrap to a modulo by zero.
    const uint64_t step = Random::arc4random() % (uint64_t{countRange_} + 1);
    return static_cast<int32_t>(int64_t{countMin_} + step);
}

bool ProjectileData::update(float dt) {
    delayLeft_ -= dt;
    return delayLeft_ < units::kEpsilon;
}

CGPoint ProjectileData::launchPoint(CGPoint origin, float referenceAngle) const {
    if (!hasOffset_) return origin;
    CGPoint offset = offset_;
    if (useOffsetAsRange_) {
        const double length = std::hypot(offset_.x, offset_.y);
        const double distance = length * Random::unitFloat();
        offset = CGPointMake(offset_.x / length * distance, offset_.y / length * distance);
        offset = rotated(offset, Random::unitFloat() * units::kTwoPi);
    } else {
        offset = rotated(offset, referenceAngle);
    }
    return CGPointMake(origin.x + offset.x, origin.y + offset.y);
}

b2Vec2 ProjectileData::aimPoint(b2Vec2 target, b2Vec2 targetVelocity) const {
    if (targetLeadTime_ > units::kEpsilon) target += targetLeadTime_ * targetVelocity;
    // The offset's +y points away from the planet centre at the target.
    const b2Rot planetFrame(std::atan2(target.y, target.x) - units::kPi / 2);
    return target + b2Mul(planetFrame, targetOffset_);
}

b2Vec2 ProjectileData::aimDirection(b2Vec2 shotPosition, b2Vec2 target, b2Vec2 targetVelocity) const {
    b2Vec2 direction = aimPoint(target, targetVelocity) - shotPosition;
    if (direction.Length() >= units::kEpsilon) direction.Normalize();
    return direction;
}

b2Vec2 ProjectileData::sprayDirection(CGPoint launchPoint, float referenceAngle) const {
    if (directionGravityRelative_) {
        b2Vec2 horizontal(static_cast<float>(launchPoint.y), static_cast<float>(-launchPoint.x));
        if (horizontal.Length() < units::kEpsilon) return {0, 0};
        horizontal.Normalize();
        const float turn = directionGravityMin_ + Random::unitFloat() * directionOffsetRange_;
        return b2Mul(b2Rot(turn * units::kRadiansPerDegree), horizontal);
    }
    const float angle = referenceAngle - directionOffsetRange_ / 2 + Random::unitFloat() * directionOffsetRange_;
    return {std::cos(angle * units::kRadiansPerDegree), std::sin(angle * units::kRadiansPerDegree)};
}

void ProjectileData::launch(b2Body* shot, b2Vec2 direction) const {
    const float speed = randomVelocity();
    const float spin = randomAngularVelocity();
    if (!shot || shot->GetType() == b2_staticBody) return;
    const b2Vec2 velocity = speed * direction;
    if (velocity.x != 0 || velocity.y != 0) shot->SetAwake(true);
    shot->SetLinearVelocity(velocity);
    if (spin != 0) shot->SetAwake(true);
    shot->SetAngularVelocity(spin);
}

}  // namespace game
