#include "game/objects/MovementOrbit.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/core/CCNode.h"
#include "game/core/LevelDataRange.h"
#include "game/core/Units.h"
#include "game/objects/MoverDirection.h"
#include "game/objects/NodeFlips.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

namespace {
constexpr float kSystemStep = 1.0f / 60.0f;
constexpr float kMinimumHeight = 0.0001f;

bool isUsableStep(float dt) { return std::isfinite(dt) && dt >= units::kEpsilon; }

// Radians per second of a revolution (or swing) time; 0 for a time of about 0.
float angularSpeedForTime(float time) { return std::fabs(time) <= units::kEpsilon ? 0.0f : units::kTwoPi / time; }

float length(CGPoint v) { return std::sqrt(static_cast<float>(v.x * v.x + v.y * v.y)); }

// A pair whose missing half reads 0, drawn once.
float drawPairOrZero(const Value& data, const std::string& key) {
    const float low = data[key + "_min"].floatValue();
    const float high = data[key + "_max"].floatValue();
    return low + Random::unitFloat() * (high - low);
}
}  // namespace

RefPtr<MovementOrbit> MovementOrbit::movementOrbit() { return RefPtr<MovementOrbit>(new MovementOrbit); }

RefPtr<MovementOrbit> MovementOrbit::movementOrbitFromDictionary(const Value& orbit, CCNode* node) {
    if (!LevelDataRange::areBounded(orbit,
                                    {"rotation_offset", "orbit_speed", "orbit_time", "orbit_local_distance",
                                     "oscillation_height", "oscillation_speed", "oscillation_time",
                                     "orbit_angle_start", "oscillation_angle_start"},
                                    "orbit")) {
        return nullptr;
    }
    RefPtr<MovementOrbit> movement = movementOrbit();
    movement->setNode(node, orbit["orient_to_path"].boolValue(), orbit["orient_to_orbit"].boolValue(),
                      orbit["orient_to_gravity"].boolValue(), orbit["allow_flip"].boolValue(),
                      LevelDataRange::drawFrom(orbit, "rotation_offset", 0));

    bool usesTime = false;
    float rate = 0;
    if (const Value& speed = orbit["orbit_speed"]; !speed.isNone()) {
        rate = speed.floatValue();
    } else if (const Value& time = orbit["orbit_time"]; !time.isNone()) {
        rate = time.floatValue();
        usesTime = true;
    } else if (!orbit["orbit_speed_min"].isNone() && !orbit["orbit_speed_max"].isNone()) {
        rate = LevelDataRange::drawFrom(orbit, "orbit_speed", 0);
    } else {
        rate = drawPairOrZero(orbit, "orbit_time");
        usesTime = true;
    }

    const bool randomDirection = applyDirection(orbit["orbit_direction"], &rate);

    const CGPoint start = node ? node->position() : CGPoint{};
    if (orbit["orbit_local"].boolValue()) {
        const float distance = LevelDataRange::isPresent(orbit, "orbit_local_distance")
                                   ? LevelDataRange::drawFrom(orbit, "orbit_local_distance", 0)
                                   : drawPairOrZero(orbit, "orbit_local_distance");
        if (usesTime) {
            movement->setOrbitDistanceTime(start, distance, rate);
        } else {
            movement->setOrbitDistanceSpeed(start, distance, rate);
        }
    } else if (usesTime) {
        movement->setOrbitTime(start, rate);
    } else {
        movement->setOrbitSpeed(start, rate);
    }
    movement->setUsesRandomDirection(randomDirection);

    const float height = LevelDataRange::drawFrom(orbit, "oscillation_height", 0);
    if (std::fabs(height) > units::kEpsilon) {
        if (LevelDataRange::isPresent(orbit, "oscillation_speed")) {
            movement->setOscillationSpeed(height, LevelDataRange::drawFrom(orbit, "oscillation_speed", 0));
        } else if (LevelDataRange::isPresent(orbit, "oscillation_time")) {
            movement->setOscillationTime(height, LevelDataRange::drawFrom(orbit, "oscillation_time", 0));
        }
    }
    if (LevelDataRange::isPresent(orbit, "orbit_angle_start")) {
        movement->setOrbitAngle(LevelDataRange::drawFrom(orbit, "orbit_angle_start", 0));
    }
    if (LevelDataRange::isPresent(orbit, "oscillation_angle_start")) {
        movement->setOscillationAngle(LevelDataRange::drawFrom(orbit, "oscillation_angle_start", 0));
    }
    return movement;
}

void MovementOrbit::setNode(CCNode* node, bool orientToPath, bool orientToOrbit, bool orientToGravity, bool allowFlip,
                            float rotationOffset) {
    node_ = node;
    orientToPath_ = orientToPath;
    orientToOrbit_ = orientToOrbit;
    orientToGravity_ = orientToGravity;
    isRotating_ = orientToPath || orientToOrbit || orientToGravity;
    allowFlip_ = allowFlip;
    rotationOffset_ = rotationOffset;
    if (node_) {
        position_ = node_->position();
        rotation_ = node_->rotation();
    }
    if (orientToGravity_) setGravityOffsetFromCentre();
}

void MovementOrbit::setNode(CCNode* node) {
    node_ = node;
    flipXDirty_ = flipYDirty_ = false;
    if (node_) syncNode();
}

void MovementOrbit::setGravityOffsetFromCentre() {
    gravityOrbitOffsetRads_ =
        std::atan2(static_cast<float>(-centrePoint_.x), static_cast<float>(centrePoint_.y));
}

void MovementOrbit::setOrbitSpeed(CGPoint start, float speed, CGPoint centre) {
    position_ = start;
    centrePoint_ = centre;
    if (orientToGravity_) setGravityOffsetFromCentre();
    const CGPoint offset{start.x - centre.x, start.y - centre.y};
    orbitAngle_ = std::atan2(static_cast<float>(offset.y), static_cast<float>(offset.x)) - gravityOrbitOffsetRads_;
    orbitHeight_ = std::max(kMinimumHeight, length(offset));
    orbitSpeed_ = orbitHeight_ <= units::kEpsilon ? 0.0f : speed / orbitHeight_;
    refresh(kSystemStep);
}

void MovementOrbit::setOrbitTime(CGPoint start, float time, CGPoint centre) {
    setOrbitSpeed(start, 0, centre);
    orbitSpeed_ = angularSpeedForTime(time);
    refresh(kSystemStep);
}

void MovementOrbit::setOrbitDistanceSpeed(CGPoint centre, float distance, float speed) {
    CGPoint offset{distance, 0};
    if (orientToGravity_) {
        const float a = std::atan2(static_cast<float>(-centre.x), static_cast<float>(centre.y));
        offset = CGPoint{distance * std::cos(a), distance * std::sin(a)};
    }
    setOrbitSpeed(CGPoint{centre.x + offset.x, centre.y + offset.y}, speed, centre);
}

void MovementOrbit::setOrbitDistanceTime(CGPoint centre, float distance, float time) {
    setOrbitDistanceSpeed(centre, distance, 0);
    orbitSpeed_ = angularSpeedForTime(time);
    refresh(kSystemStep);
}

void MovementOrbit::setOrbitHeightSpeed(float angle, float orbitHeight, float orbitSpeed, CGPoint centre) {
    orbitAngle_ = angle;
    orbitHeight_ = std::max(kMinimumHeight, orbitHeight);
    orbitSpeed_ = orbitSpeed;
    centrePoint_ = centre;
    if (orientToGravity_) setGravityOffsetFromCentre();
    refresh(kSystemStep);
}

void MovementOrbit::setOrbitHeightTime(float angle, float orbitHeight, float orbitTime, CGPoint centre) {
    setOrbitHeightSpeed(angle, orbitHeight, angularSpeedForTime(orbitTime), centre);
}

void MovementOrbit::setOscillationSpeed(float height, float speed) {
    oscillationAngle_ = 0;
    oscillationHeight_ = std::fabs(height);
    oscillationSpeed_ = oscillationHeight_ <= units::kEpsilon ? 0.0f : speed / oscillationHeight_;
    refresh(kSystemStep);
}

void MovementOrbit::setOscillationTime(float height, float time) {
    oscillationAngle_ = 0;
    oscillationHeight_ = std::fabs(height);
    oscillationSpeed_ = oscillationHeight_ <= units::kEpsilon ? 0.0f : angularSpeedForTime(time);
    refresh(kSystemStep);
}

void MovementOrbit::setOscillationHeightSpeed(float angle, float height, float angularSpeed) {
    oscillationAngle_ = angle;
    oscillationHeight_ = std::fabs(height);
    oscillationSpeed_ = angularSpeed;
    refresh(kSystemStep);
}

void MovementOrbit::setOscillationHeightTime(float angle, float height, float time) {
    setOscillationHeightSpeed(angle, height, std::fabs(height) <= units::kEpsilon ? 0.0f : angularSpeedForTime(time));
}

void MovementOrbit::setOrbitAngle(float degrees) {
    orbitAngle_ = degrees * units::kRadiansPerDegree;
    refreshWithoutPrevious(kSystemStep);
}

void MovementOrbit::setOscillationAngle(float degrees) {
    oscillationAngle_ = degrees * units::kRadiansPerDegree;
    refreshWithoutPrevious(kSystemStep);
}

float MovementOrbit::orbitAngle() const { return orbitAngle_ * units::kDegreesPerRadian; }
float MovementOrbit::oscillationAngle() const { return oscillationAngle_ * units::kDegreesPerRadian; }

void MovementOrbit::setCentrePoint(CGPoint centre) {
    centrePoint_ = centre;
    if (orientToGravity_) setGravityOffsetFromCentre();
    refreshWithoutPrevious(kSystemStep);
}

void MovementOrbit::setOrbitHeight(float height) {
    const float newHeight = std::max(kMinimumHeight, height);
    if (!preserveAngularSpeeds_)
        orbitSpeed_ = newHeight <= units::kEpsilon ? 0.0f : orbitSpeed_ * orbitHeight_ / newHeight;
    orbitHeight_ = newHeight;
}

void MovementOrbit::setOscillationHeight(float height) {
    const float newHeight = std::fabs(height);
    if (!preserveAngularSpeeds_) {
        oscillationSpeed_ = newHeight <= units::kEpsilon ? 0.0f : oscillationSpeed_ * oscillationHeight_ / newHeight;
    }
    oscillationHeight_ = newHeight;
}

void MovementOrbit::setOrbitSpeedPixelsPerSec(float speed) {
    orbitSpeed_ = orbitHeight_ <= units::kEpsilon ? 0.0f : speed / orbitHeight_;
}

void MovementOrbit::setOscillationSpeedPixelsPerSec(float speed) {
    oscillationSpeed_ = oscillationHeight_ <= units::kEpsilon ? 0.0f : speed / oscillationHeight_;
}

void MovementOrbit::setOrientToPath(bool orient) {
    orientToPath_ = orient;
    isRotating_ = orientToPath_ || orientToOrbit_ || orientToGravity_;
    refresh(kSystemStep);
}

void MovementOrbit::setOrientToOrbit(bool orient) {
    orientToOrbit_ = orient;
    isRotating_ = orientToPath_ || orientToOrbit_ || orientToGravity_;
    refresh(kSystemStep);
}

void MovementOrbit::setOrientToGravity(bool orient) {
    orientToGravity_ = orient;
    isRotating_ = orientToPath_ || orientToOrbit_ || orientToGravity_;
    if (orient) setGravityOffsetFromCentre();
    refresh(kSystemStep);
}

void MovementOrbit::setAllowFlip(bool allow) {
    if (node_ && allowFlip_ && !allow) {
        if (flipX_) node_->setScaleX(-node_->scaleX());
        if (flipY_) node_->setScaleY(-node_->scaleY());
    }
    allowFlip_ = allow;
    flipXDirty_ = flipYDirty_ = false;
    if (!allow) flipX_ = flipY_ = false;
    refreshWithoutPrevious(kSystemStep);
}

void MovementOrbit::update(float dt) {
    if (!isUsableStep(dt)) return;
    orbitAngle_ = std::fmod(orbitAngle_ + orbitSpeed_ * dt, units::kTwoPi);
    oscillationAngle_ = std::fmod(oscillationAngle_ + oscillationSpeed_ * dt, units::kTwoPi);
    updateSystem(dt);
    if (node_) syncNode();
}

void MovementOrbit::updateSystemPaused(float dt) {
    if (!isUsableStep(dt)) return;
    updateSystem(dt);
    if (node_) syncNode();
}

void MovementOrbit::useRandomDirection() {
    if (usesRandomDirection_ && Random::unitFloat() <= 0.5f) orbitSpeed_ = -orbitSpeed_;
}

float MovementOrbit::perc() const {
    float angle = std::fmod(orbitAngle_, units::kTwoPi);
    if (angle < 0) angle += units::kTwoPi;
    return angle / units::kTwoPi;
}

void MovementOrbit::setPerc(float perc) { setPerc(perc, kSystemStep); }

void MovementOrbit::setPerc(float perc, float dt) {
    if (!std::isfinite(perc) || !isUsableStep(dt)) return;
    orbitAngle_ = oscillationAngle_ = perc * units::kTwoPi;
    updateSystem(dt);
    if (node_) syncNode();
}

CGPoint MovementOrbit::pointFor(float orbitAngle, float oscillationAngle) const {
    const float radius = orbitHeight_ + std::sin(oscillationAngle) * oscillationHeight_;
    const float angle = orbitAngle + gravityOrbitOffsetRads_;
    return CGPoint{centrePoint_.x + radius * std::cos(angle), centrePoint_.y + radius * std::sin(angle)};
}

void MovementOrbit::refresh(float dt) {
    calcPrevPosition(dt);
    refreshWithoutPrevious(dt);
}

void MovementOrbit::refreshWithoutPrevious(float dt) {
    updateSystem(dt);
    if (node_) syncNode();
}

void MovementOrbit::calcPrevPosition(float dt) {
    prevPosition_ = pointFor(std::fmod(orbitAngle_ - orbitSpeed_ * dt, units::kTwoPi),
                             std::fmod(oscillationAngle_ - oscillationSpeed_ * dt, units::kTwoPi));
}

void MovementOrbit::setVerticalFlipFromRotation() {
    const float h = -rotation_ * units::kRadiansPerDegree;
    const float reference =
        orientToGravity_ ? std::atan2(static_cast<float>(-position_.x), static_cast<float>(position_.y)) : 0.0f;
    const bool flip = std::cos(h - reference) < -units::kEpsilon;
    if (flip != flipY_) {
        flipY_ = flip;
        flipYDirty_ = true;
    }
}

void MovementOrbit::updateSystem(float dt) {
    position_ = pointFor(orbitAngle_, oscillationAngle_);
    const float inverse = 1.0f / dt;
    velocity_ = CGPoint{(position_.x - prevPosition_.x) * inverse, (position_.y - prevPosition_.y) * inverse};
    const float vx = static_cast<float>(velocity_.x);
    const float vy = static_cast<float>(velocity_.y);
    const float orbitDegrees = (orbitAngle_ + gravityOrbitOffsetRads_) * units::kDegreesPerRadian;

    if (isRotating_) {
        float heading;  // degrees counter-clockwise
        if (orientToPath_ && (vx != 0 || vy != 0)) {
            heading = std::atan2(vy, vx) * units::kDegreesPerRadian;
        } else if (orientToPath_) {
            heading = orbitDegrees + (orbitSpeed_ > 0 ? 90.0f : -90.0f);
        } else if (orientToOrbit_) {
            heading = orbitDegrees - 90.0f;
        } else {
            heading = std::atan2(static_cast<float>(position_.y), static_cast<float>(position_.x)) *
                          units::kDegreesPerRadian -
                      90.0f;
        }
        rotation_ = -(heading + rotationOffset_);
    }

    if (allowFlip_) {
        bool flipX = flipX_;
        if (orientToPath_) {
            setVerticalFlipFromRotation();
        } else if (orientToOrbit_) {
            if (orientToGravity_) setVerticalFlipFromRotation();
            flipX = orbitSpeed_ >= 0;
        } else {
            const float s = std::sin(orbitAngle_);
            flipX = orbitSpeed_ > 0 ? s >= 0 : s < -units::kEpsilon;
        }
        if (flipX != flipX_) {
            flipX_ = flipX;
            flipXDirty_ = true;
        }
    }
    prevPosition_ = position_;
}

void MovementOrbit::syncNode() {
    node_->setPosition(position_);
    if (!isRotating_) return;
    node_->setRotation(rotation_);
    applyPendingFlips(node_, flipXDirty_, flipYDirty_);
}

}  // namespace game
