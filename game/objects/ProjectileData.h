#pragma once

#include <box2d/box2d.h>

#include <cstdint>

#include "game/core/LevelDataRange.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class Value;

namespace game {

// What a shooter fires and how: the shot's type, its launch offset, the reload time, the launch
// speed and spin, the shots per burst, and how to aim at the bee (aiming shooters) or in which
// directions to spray (emitters, steam clouds). It also keeps the shooter's reload timer, which
// starts with a fresh reload time, so a shooter waits one reload before its first shot.
//
// Keys of the "projectile" dictionary (X, or X_min and X_max; a lone bound gives the default):
//   "type"                    shot type (300-304, 350 have a body)            0
//   "offset"                  point string, points; {0, 0} means none         none
//   "use_offset_as_range"     the offset's length is the radius of a random offset   NO
//   "delay"                   reload, seconds                                 1
//   "velocity"                points per second (stored in metres per second) 1 m/s
//   "angular_velocity"        degrees per second (stored in radians)          -pi..pi rad/s
//   "target_lead_time"        seconds ahead of the bee                        0
//   "target_offset"           point string, points, in the bee's planet frame (+y away from
//                             the planet centre)                              {0, 0}
//   "count"                   shots per burst, held to 0 to kMostShotsPerBurst; a maximum
//                             below the minimum gives the minimum             1
//   "direction_offset_range"  width of the random spray angle, degrees        0
//   "direction_gravity_min" and "direction_gravity_max"  spray angles from the planet's local
//                             horizontal (90 is straight up), degrees; only when both are
//                             given and "direction_offset_range" is not
//
// A dictionary whose delay, velocity, spin, lead time or spray angles are not finite or beyond
// LevelDataRange::kLargest gives no component (one log line): such a shooter never fires.
//
// Angles of the launch helpers are counter-clockwise; positions in points unless said.
class ProjectileData : public Object {
public:
    // The level keeps this many live shots and destroys the oldest beyond, so a longer burst
    // would only destroy its own first shots.
    static constexpr int32_t kMostShotsPerBurst = 20;

    // Null for a missing dictionary.
    static RefPtr<ProjectileData> componentWithDictionary(const Value& data);

    // Draws: min + R x range.
    float randomDelay() const { return delay_.draw(); }
    float randomVelocity() const { return velocity_.draw(); }
    float randomAngularVelocity() const { return angularVelocity_.draw(); }
    // countMin to countMax inclusive, uniformly.
    int32_t randomCount() const;

    void resetDelay() { delayLeft_ = randomDelay(); }
    // Counts the reload down (it keeps running below 0 until resetDelay); true once it has run out.
    bool update(float dt);

    // The launch point for a shot leaving from `origin`: with a range offset a random point
    // within the offset's length; with a fixed one the offset turned by `referenceAngle`
    // (radians); otherwise the origin.
    CGPoint launchPoint(CGPoint origin, float referenceAngle) const;
    // Where an aimed shot goes (metres): the bee's position, led by its velocity over the lead
    // time, plus the target offset turned into the planet frame at that point.
    b2Vec2 aimPoint(b2Vec2 target, b2Vec2 targetVelocity) const;
    // The unit direction from the shot to the aim point; unnormalised when shorter than epsilon.
    b2Vec2 aimDirection(b2Vec2 shotPosition, b2Vec2 target, b2Vec2 targetVelocity) const;
    // A spray shot's unit direction at the launch point (points). Gravity relative: the local
    // horizontal (clockwise along the surface) turned by a random angle of the gravity range;
    // otherwise a random angle across the offset range centred on `referenceAngle` (degrees).
    // (0, 0) for a gravity-relative spray at the planet centre, where no horizontal exists.
    b2Vec2 sprayDirection(CGPoint launchPoint, float referenceAngle) const;
    // Sends a shot body along the direction at a random speed with a random spin; a static body
    // keeps still.
    void launch(b2Body* shot, b2Vec2 direction) const;

    int32_t type() const { return type_; }
    void setType(int32_t type) { type_ = type; }
    bool hasOffset() const { return hasOffset_; }
    CGPoint offset() const { return offset_; }
    // Points; {0, 0} is no offset.
    void setOffset(CGPoint offset) {
        offset_ = offset;
        hasOffset_ = offset.x != 0 || offset.y != 0;
    }
    bool useOffsetAsRange() const { return useOffsetAsRange_; }
    void setUseOffsetAsRange(bool useAsRange) { useOffsetAsRange_ = useAsRange; }
    float delay() const { return delayLeft_; }
    void setDelay(float seconds) { delayLeft_ = seconds; }
    float delayMin() const { return delay_.min; }
    float delayMax() const { return delay_.max; }
    float delayRange() const { return delay_.range; }
    // Each pair setter keeps its range at max - min.
    void setDelay(float least, float most) { delay_ = {least, most, most - least}; }
    float velocityMin() const { return velocity_.min; }
    float velocityMax() const { return velocity_.max; }
    float velocityRange() const { return velocity_.range; }
    // Metres per second.
    void setVelocity(float least, float most) { velocity_ = {least, most, most - least}; }
    float angularVelocityMin() const { return angularVelocity_.min; }
    float angularVelocityMax() const { return angularVelocity_.max; }
    float angularVelocityRange() const { return angularVelocity_.range; }
    // Radians per second.
    void setAngularVelocity(float least, float most) { angularVelocity_ = {least, most, most - least}; }
    float targetLeadTime() const { return targetLeadTime_; }
    void setTargetLeadTime(float seconds) { targetLeadTime_ = seconds; }
    b2Vec2 targetOffset() const { return targetOffset_; }
    void setTargetOffset(b2Vec2 offset) { targetOffset_ = offset; }
    int32_t countMin() const { return countMin_; }
    int32_t countMax() const { return countMax_; }
    uint32_t countRange() const { return countRange_; }
    // Held to 0 to kMostShotsPerBurst (one log line when a bound is moved); a maximum below the
    // minimum gives a range of 0.
    void setCount(int32_t least, int32_t most);
    float directionOffsetRange() const { return directionOffsetRange_; }
    // A spray across this many degrees; the spray is no longer gravity relative.
    void setDirectionOffsetRange(float degrees) {
        directionOffsetRange_ = degrees;
        directionGravityRelative_ = false;
    }
    bool directionGravityRelative() const { return directionGravityRelative_; }
    float directionGravityMin() const { return directionGravityMin_; }
    float directionGravityMax() const { return directionGravityMax_; }
    // Gravity relative, between these angles from the local horizontal (degrees).
    void setDirectionGravity(float least, float most);

private:
    ProjectileData() = default;
    void readDictionary(const Value& data);

    int32_t type_ = 0;
    bool hasOffset_ = false;
    CGPoint offset_ = CGPointZero;       // points
    bool useOffsetAsRange_ = false;
    float delayLeft_ = 0;                // seconds of reload left; may be negative
    LevelDataRange delay_;               // seconds
    LevelDataRange velocity_;            // metres per second
    LevelDataRange angularVelocity_;     // radians per second
    float targetLeadTime_ = 0;           // seconds
    b2Vec2 targetOffset_{0, 0};          // metres
    int32_t countMin_ = 1;
    int32_t countMax_ = 1;
    uint32_t countRange_ = 0;            // never negative: a reversed pair gives 0
    float directionOffsetRange_ = 0;     // degrees
    bool directionGravityRelative_ = false;
    float directionGravityMin_ = 0;      // degrees
    float directionGravityMax_ = 0;      // degrees
};

}  // namespace game
