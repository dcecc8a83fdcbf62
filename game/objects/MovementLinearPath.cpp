#include "game/objects/MovementLinearPath.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

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

// The angle of the right-hand direction (u.y, -u.x) of an up vector u, radians.
float rightHandAngle(CGPoint up) {
    return std::atan2(static_cast<float>(-up.x), static_cast<float>(up.y));
}

bool isUsableStep(float dt) { return std::isfinite(dt) && dt >= units::kEpsilon; }

int32_t modeNamed(const std::string& mode) {
    if (mode == "open") return LinearPath::kOpen;
    if (mode == "autoclose") return LinearPath::kAutoClose;
    if (mode == "pingpong") return LinearPath::kPingPong;
    return LinearPath::kClosed;
}

// The path's points in world pixels: offsets from the node unless global, stood up on the
// planet's surface under the node when oriented to gravity.
std::vector<CGPoint> worldVertices(const Value& pathData, CGPoint origin, bool orientToGravity) {
    const bool isGlobal = pathData["is_global"].boolValue();
    const float angle = std::atan2(static_cast<float>(-origin.x), static_cast<float>(origin.y));
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    std::vector<CGPoint> points;
    for (const Value& vertex : pathData["vertices"].elements()) {
        CGPoint p = NSPointFromString(vertex.stringValue());
        if (!isGlobal) {
            if (orientToGravity) p = CGPoint{p.x * c - p.y * s, p.x * s + p.y * c};
            p = CGPoint{p.x + origin.x, p.y + origin.y};
        }
        points.push_back(p);
    }
    return points;
}

// Pixels per second from the first speed source present.
float speedFrom(const Value& behaviour, float totalDistance) {
    if (LevelDataRange::isPresent(behaviour, "speed")) return LevelDataRange::drawFrom(behaviour, "speed", 0);
    if (LevelDataRange::isPresent(behaviour, "speed_perc")) {
        return LevelDataRange::drawFrom(behaviour, "speed_perc", 0) * totalDistance;
    }
    if (LevelDataRange::isPresent(behaviour, "time")) {
        const float time = LevelDataRange::drawFrom(behaviour, "time", 0);
        return std::fabs(time) <= units::kEpsilon ? 0.0f : totalDistance / time;
    }
    return 0;
}
}  // namespace

RefPtr<MovementLinearPath> MovementLinearPath::movementLinearPath() {
    return RefPtr<MovementLinearPath>(new MovementLinearPath);
}

RefPtr<MovementLinearPath> MovementLinearPath::movementLinearPathFromDictionary(const Value& behaviour,
                                                                               const Value& pathData, CCNode* node) {
    if (!LevelDataRange::areBounded(behaviour,
                                    {"rotation_offset", "speed", "speed_perc", "time", "start_distance",
                                     "start_distance_perc", "spring_tightness_k", "spring_damping_b",
                                     "tween_rotation_perc"},
                                    "path movement")) {
        return nullptr;
    }
    const bool orientToPath = behaviour["orient_to_path"].boolValue();
    const bool orientToNormal = behaviour["orient_to_normal"].boolValue();
    const bool orientToGravity = behaviour["orient_to_gravity"].boolValue();
    const bool allowFlip = behaviour["allow_flip"].boolValue();
    const float rotationOffset = LevelDataRange::drawFrom(behaviour, "rotation_offset", 0);

    const CGPoint origin = node ? node->position() : CGPoint{};
    RefPtr<LinearPath> path = LinearPath::linearPathWithPoints(worldVertices(pathData, origin, orientToGravity),
                                                               modeNamed(pathData["mode"].stringValue()));
    if (!path) return nullptr;
    RefPtr<MovementLinearPath> movement = movementLinearPath();
    movement->setPath(path);
    const float total = path->totalDistance();

    float speed = speedFrom(behaviour, total);
    const bool randomDirection = applyDirection(behaviour["direction"], &speed);
    movement->setSpeed(speed);
    movement->setUsesRandomDirection(randomDirection);

    float startPerc = 0;
    if (LevelDataRange::isPresent(behaviour, "start_distance")) {
        const float distance = LevelDataRange::drawFrom(behaviour, "start_distance", 0);
        startPerc = total <= units::kEpsilon ? 0.0f : distance / total;
    } else if (LevelDataRange::isPresent(behaviour, "start_distance_perc")) {
        startPerc = LevelDataRange::drawFrom(behaviour, "start_distance_perc", 0);
    }
    movement->setPathPosition(path->pathPositionAtDistancePerc(startPerc));

    if (behaviour["use_spring"].boolValue()) {
        movement->useSpring(true, LevelDataRange::drawFrom(behaviour, "spring_tightness_k", 0),
                            LevelDataRange::drawFrom(behaviour, "spring_damping_b", 0));
    }
    if (behaviour["tween_rotation"].boolValue()) {
        movement->setTweenRotation(true);
        movement->setTweenRotationPerc(LevelDataRange::drawFrom(behaviour, "tween_rotation_perc", 0));
    }
    movement->setNode(node, orientToPath, orientToNormal, orientToGravity, allowFlip, rotationOffset);
    return movement;
}

void MovementLinearPath::setNode(CCNode* node) {
    node_ = node;
    flipXDirty_ = flipYDirty_ = false;
    if (node_ && path_) syncNode();
}

void MovementLinearPath::setPath(RefPtr<LinearPath> path) {
    if (path == path_) return;
    path_ = std::move(path);
    if (path_) {
        calcPrevPosition(kSystemStep);
        updateSystem(kSystemStep);
    }
    if (node_ && path_) syncNode();
}

void MovementLinearPath::setPathPosition(const PathPosition& pathPosition) {
    pathPosition_ = pathPosition;
    if (path_) {
        calcPrevPosition(kSystemStep);
        updateSystem(kSystemStep);
    }
    if (node_ && path_) syncNode();
}

void MovementLinearPath::setNode(CCNode* node, bool orientToPath, bool orientToNormal, bool orientToGravity,
                                 bool allowFlip, float rotationOffset) {
    node_ = node;
    orientToPath_ = orientToPath;
    orientToNormal_ = orientToNormal;
    orientToGravity_ = orientToGravity;
    isRotating_ = orientToPath || orientToNormal || orientToGravity;
    allowFlip_ = allowFlip;
    rotationOffset_ = rotationOffset;
    if (orientToNormal_ && node_ && path_) {
        const float a = -(node_->rotation() + rotationOffset_) * units::kRadiansPerDegree;
        const CGPoint n = path_->normals()[0];
        useInvertedNormal_ = std::cos(a) * static_cast<float>(n.y) - std::sin(a) * static_cast<float>(n.x) < 0;
    }
    if (node_ && path_) syncNode();
}

void MovementLinearPath::setOrientToPath(bool orient) {
    orientToPath_ = orient;
    isRotating_ = orientToPath_ || orientToNormal_ || orientToGravity_;
    refresh();
}

void MovementLinearPath::setOrientToNormal(bool orient) {
    orientToNormal_ = orient;
    isRotating_ = orientToPath_ || orientToNormal_ || orientToGravity_;
    refresh();
}

void MovementLinearPath::setOrientToGravity(bool orient) {
    orientToGravity_ = orient;
    isRotating_ = orientToPath_ || orientToNormal_ || orientToGravity_;
    refresh();
}

void MovementLinearPath::setAllowFlip(bool allow) {
    if (node_ && allowFlip_ && !allow) {
        if (flipX_) node_->setScaleX(-node_->scaleX());
        if (flipY_) node_->setScaleY(-node_->scaleY());
    }
    allowFlip_ = allow;
    flipXDirty_ = flipYDirty_ = false;
    if (!allow) flipX_ = flipY_ = false;
    updateSystem(kSystemStep);
    if (node_ && path_) syncNode();
}

void MovementLinearPath::useSpring(bool use, float springK, float springB) {
    useSpring_ = use;
    springK_ = springK;
    springB_ = springB;
}

void MovementLinearPath::update(float dt) {
    if (!isUsableStep(dt) || !path_) return;
    path_->positionAtDistanceDelta(speed_ * dt, &pathPosition_);
    updateSystem(dt);
    if (node_) updateNode(dt);
}

void MovementLinearPath::updateSystemPaused(float dt) {
    if (!isUsableStep(dt)) return;
    updateSystem(dt);
    if (node_) updateNode(dt);
}

void MovementLinearPath::stop() {
    if (useSpring_) springVelocity_ = CGPoint{};
}

void MovementLinearPath::useRandomDirection() {
    if (usesRandomDirection_ && Random::unitFloat() <= 0.5f) speed_ = -speed_;
}

void MovementLinearPath::setPerc(float perc) {
    if (!path_) return;
    path_->positionAtDistancePerc(perc, &pathPosition_);
    updateSystem(kSystemStep);
    if (node_) syncNode();
}

void MovementLinearPath::setPerc(float perc, float dt) {
    if (!path_ || !isUsableStep(dt)) return;
    path_->positionAtDistancePerc(perc, &pathPosition_);
    updateSystem(dt);
    if (node_) updateNode(dt);
}

void MovementLinearPath::refresh() {
    if (path_) updateSystem(kSystemStep);
    if (node_ && path_) syncNode();
}

void MovementLinearPath::calcPrevPosition(float dt) {
    prevPosition_ = path_->positionAtDistance(pathPosition_.distance - speed_ * dt);
}

CGPoint MovementLinearPath::orientedNormal() const {
    const CGPoint n = pathPosition_.normal;
    return useInvertedNormal_ ? CGPoint{-n.x, -n.y} : n;
}

void MovementLinearPath::updateSystem(float dt) {
    const CGPoint p = pathPosition_.position;
    const float inverse = 1.0f / dt;
    velocity_ = CGPoint{(p.x - prevPosition_.x) * inverse, (p.y - prevPosition_.y) * inverse};
    const float vx = static_cast<float>(velocity_.x);
    const float vy = static_cast<float>(velocity_.y);
    const bool moving = vx != 0 || vy != 0;

    if (isRotating_) {
        bool turned = true;
        float heading = 0;  // degrees, counter-clockwise
        if (orientToPath_ && moving) {
            heading = std::atan2(vy, vx) * units::kDegreesPerRadian;
        } else if (orientToNormal_) {
            const CGPoint n = orientedNormal();
            heading = std::atan2(static_cast<float>(n.y), static_cast<float>(n.x)) * units::kDegreesPerRadian - 90;
        } else if (orientToGravity_ || !orientToPath_) {
            heading = std::atan2(static_cast<float>(p.y), static_cast<float>(p.x)) * units::kDegreesPerRadian - 90;
        } else {
            turned = false;
        }
        if (turned) rotation_ = -(heading + rotationOffset_);
    }

    if (allowFlip_) {
        if (orientToPath_) {
            const float h = -rotation_ * units::kRadiansPerDegree;
            float reference = 0;
            if (orientToNormal_) {
                reference = rightHandAngle(orientedNormal());
            } else if (orientToGravity_) {
                reference = rightHandAngle(p);
            }
            const bool flip = std::cos(h - reference) < -units::kEpsilon;
            if (flip != flipY_) {
                flipY_ = flip;
                flipYDirty_ = true;
            }
        } else {
            const float h = std::atan2(vy, vx);
            const float reference = rightHandAngle(orientToNormal_ ? orientedNormal() : p);
            const bool flip = std::cos(h - reference) < -units::kEpsilon;
            if (flip != flipX_) {
                flipX_ = flip;
                flipXDirty_ = true;
            }
        }
    }
    prevPosition_ = p;
}

void MovementLinearPath::updateNode(float dt) {
    const CGPoint target = pathPosition_.position;
    if (!useSpring_) {
        node_->setPosition(target);
    } else {
        const CGPoint x = node_->position();
        springVelocity_.x += dt * (-springK_ * (x.x - target.x) - springB_ * springVelocity_.x);
        springVelocity_.y += dt * (-springK_ * (x.y - target.y) - springB_ * springVelocity_.y);
        node_->setPosition(CGPoint{x.x + springVelocity_.x, x.y + springVelocity_.y});
    }
    if (!isRotating_) return;
    if (tweenRotation_) {
        const float current = node_->rotation();
        const float goal = rotation_;
        const float turn = goal - 360.0f * std::floor((180.0f + goal - current) / 360.0f) - current;
        node_->setRotation(std::fabs(turn) < 0.25f ? goal : current + turn * tweenRotationPerc_);
    } else {
        node_->setRotation(rotation_);
    }
    applyPendingFlips(node_, flipXDirty_, flipYDirty_);
}

void MovementLinearPath::syncNode() {
    node_->setPosition(pathPosition_.position);
    if (useSpring_) springVelocity_ = CGPoint{};
    if (!isRotating_) return;
    node_->setRotation(rotation_);
    applyPendingFlips(node_, flipXDirty_, flipYDirty_);
}

}  // namespace game
