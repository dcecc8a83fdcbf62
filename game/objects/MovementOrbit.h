#pragma once

#include "game/core/MovementProtocol.h"
#include "platform/foundation/Geometry.h"

class CCNode;
class Value;

namespace game {

// Moves a node on a circle around a centre (the planet centre, the world origin, or the node's
// own placement for a local orbit) at a constant angular speed, with an optional radial swing,
// and turns and mirrors it like the path mover. Angles inside are radians counter-clockwise;
// node rotations degrees clockwise. The node is not retained.
//
// "Refresh" below means: the previous point one step of 1/60 s back, a system update of 1/60 s,
// then syncNode with a node; "update" the same without the previous point.
class MovementOrbit : public MovementProtocol {
public:
    static RefPtr<MovementOrbit> movementOrbit();
    // From an "orbit" dictionary; the node's placement is the start point (and the centre of a
    // local orbit). Null (one log line) when a speed, time, distance, oscillation or angle is not
    // finite or beyond LevelDataRange::kLargest.
    static RefPtr<MovementOrbit> movementOrbitFromDictionary(const Value& orbit, CCNode* node);

    // Stores the node and the choices; copies the node's position and rotation. No refresh.
    void setNode(CCNode* node, bool orientToPath, bool orientToOrbit, bool orientToGravity, bool allowFlip,
                 float rotationOffset);
    void setNode(CCNode* node);

    // Start point p, speed in points per second along the orbit (or seconds per revolution),
    // centre c (the origin when not given); refresh.
    void setOrbitSpeed(CGPoint start, float speed, CGPoint centre);
    void setOrbitTime(CGPoint start, float time, CGPoint centre);
    void setOrbitSpeed(CGPoint start, float speed) { setOrbitSpeed(start, speed, CGPoint{}); }
    void setOrbitTime(CGPoint start, float time) { setOrbitTime(start, time, CGPoint{}); }
    // A local orbit of radius `distance` around p, starting on p's right (its local right when
    // oriented to gravity).
    void setOrbitDistanceSpeed(CGPoint centre, float distance, float speed);
    void setOrbitDistanceTime(CGPoint centre, float distance, float time);
    // Angle in radians, height in points, angular speed in radians per second (or a time).
    void setOrbitHeightSpeed(float angle, float orbitHeight, float orbitSpeed, CGPoint centre);
    void setOrbitHeightTime(float angle, float orbitHeight, float orbitTime, CGPoint centre);

    // Radial swing of height h: speed in points per second, or seconds per swing; refresh.
    void setOscillationSpeed(float height, float speed);
    void setOscillationTime(float height, float time);
    void setOscillationHeightSpeed(float angle, float height, float angularSpeed);
    void setOscillationHeightTime(float angle, float height, float time);

    // Degrees in and out.
    void setOrbitAngle(float degrees);
    void setOscillationAngle(float degrees);
    float orbitAngle() const;
    float oscillationAngle() const;
    void setCentrePoint(CGPoint centre);
    CGPoint centrePoint() const { return centrePoint_; }
    // Keeps the angular speed, or with preserveAngularSpeeds off the speed in points per second.
    void setOrbitHeight(float height);
    void setOscillationHeight(float height);
    float orbitHeight() const { return orbitHeight_; }
    float oscillationHeight() const { return oscillationHeight_; }
    float orbitSpeed() const { return orbitSpeed_; }
    float oscillationSpeed() const { return oscillationSpeed_; }
    float orbitSpeedPixelsPerSec() const { return orbitSpeed_ * orbitHeight_; }
    void setOrbitSpeedPixelsPerSec(float speed);
    float oscillationSpeedPixelsPerSec() const { return oscillationSpeed_ * oscillationHeight_; }
    void setOscillationSpeedPixelsPerSec(float speed);
    void setPreserveAngularSpeeds(bool preserve) { preserveAngularSpeeds_ = preserve; }
    void setOrientToPath(bool orient);
    void setOrientToOrbit(bool orient);
    void setOrientToGravity(bool orient);
    void setAllowFlip(bool allow);

    // MovementProtocol. A dt below 2^-23 (or not finite) changes nothing.
    void update(float dt) override;
    void updateSystemPaused(float dt) override;
    void stop() override {}
    void useRandomDirection() override;
    float perc() const override;
    // Sets both the orbit and the swing phase to the fraction of a turn.
    void setPerc(float perc) override;
    void setPerc(float perc, float dt) override;
    bool usesRandomDirection() const override { return usesRandomDirection_; }
    void setUsesRandomDirection(bool random) override { usesRandomDirection_ = random; }

    CGPoint position() const { return position_; }
    CGPoint velocity() const { return velocity_; }
    float rotation() const { return rotation_; }
    bool flipX() const { return flipX_; }
    bool flipY() const { return flipY_; }
    CCNode* node() const { return node_; }

private:
    MovementOrbit() = default;

    CGPoint pointFor(float orbitAngle, float oscillationAngle) const;
    void setGravityOffsetFromCentre();
    void refresh(float dt);
    void refreshWithoutPrevious(float dt);
    void calcPrevPosition(float dt);
    void updateSystem(float dt);
    void syncNode();
    void setVerticalFlipFromRotation();

    CCNode* node_ = nullptr;            // not retained
    bool orientToPath_ = false;
    bool orientToOrbit_ = false;
    bool orientToGravity_ = false;
    bool isRotating_ = false;
    bool allowFlip_ = false;
    float rotationOffset_ = 0;          // degrees
    CGPoint position_;
    CGPoint prevPosition_;
    CGPoint velocity_;                  // points per second
    float rotation_ = 0;                // degrees clockwise
    bool flipX_ = false;
    bool flipY_ = false;
    bool flipXDirty_ = false;
    bool flipYDirty_ = false;
    CGPoint centrePoint_;
    float gravityOrbitOffsetRads_ = 0;  // added to the orbit angle
    float orbitAngle_ = 0;              // radians
    float oscillationAngle_ = 0;        // radians
    float orbitHeight_ = 0;             // points, at least 0.0001 once set
    float orbitSpeed_ = 0;              // radians per second, positive counter-clockwise
    float oscillationHeight_ = 0;       // points, never negative
    float oscillationSpeed_ = 0;        // radians per second
    bool preserveAngularSpeeds_ = true;
    bool usesRandomDirection_ = false;
};

}  // namespace game
