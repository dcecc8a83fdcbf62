#pragma once

#include "game/core/MovementProtocol.h"
#include "game/objects/LinearPath.h"
#include "platform/foundation/Geometry.h"

class CCNode;
class Value;

namespace game {

// Moves a node along a LinearPath at a constant signed speed (points per second, positive towards
// the path's end). It may turn the node along the path, along the path normal or away from the
// planet centre (the world origin), mirror it when it would show upside down or backwards, let it
// trail the path point on a damped spring and ease its rotation. Node rotations are degrees
// clockwise; angles inside are counter-clockwise. The node is not retained: its owner keeps both.
//
// "Refresh" below means: with a path, a system update of 1/60 s; then, with a node and a path,
// syncNode.
class MovementLinearPath : public MovementProtocol {
public:
    static RefPtr<MovementLinearPath> movementLinearPath();
    // From a behaviour dictionary, a path dictionary ("is_global", "vertices", "mode") and the
    // node; null (one log line) when the path is refused or a number of the behaviour is not
    // finite or beyond LevelDataRange::kLargest.
    static RefPtr<MovementLinearPath> movementLinearPathFromDictionary(const Value& behaviour, const Value& pathData,
                                                                       CCNode* node);

    void setNode(CCNode* node);
    void setPath(RefPtr<LinearPath> path);
    void setPathPosition(const PathPosition& pathPosition);
    // The orientation choices, without a system update; with orientToNormal decides once whether
    // the normal is used negated (when the node's up points away from the path's normal side).
    void setNode(CCNode* node, bool orientToPath, bool orientToNormal, bool orientToGravity, bool allowFlip,
                 float rotationOffset);
    void setOrientToPath(bool orient);
    void setOrientToNormal(bool orient);
    void setOrientToGravity(bool orient);
    // Turning flipping off undoes the mirrors shown on the node.
    void setAllowFlip(bool allow);
    void useSpring(bool use, float springK, float springB);
    void setSpeed(float speed) { speed_ = speed; }
    void setRotationOffset(float degrees) { rotationOffset_ = degrees; }
    void setTweenRotation(bool tween) { tweenRotation_ = tween; }
    void setTweenRotationPerc(float perc) { tweenRotationPerc_ = perc; }
    void setUseSpring(bool use) { useSpring_ = use; }
    void setSpringK(float k) { springK_ = k; }
    void setSpringB(float b) { springB_ = b; }

    // MovementProtocol. A dt below 2^-23 (or not finite) changes nothing.
    void update(float dt) override;
    void updateSystemPaused(float dt) override;
    // Zeroes the spring velocity; the path position stays.
    void stop() override;
    void useRandomDirection() override;
    float perc() const override { return pathPosition_.distancePerc; }
    void setPerc(float perc) override;
    void setPerc(float perc, float dt) override;
    bool usesRandomDirection() const override { return usesRandomDirection_; }
    void setUsesRandomDirection(bool random) override { usesRandomDirection_ = random; }

    CGPoint position() const { return pathPosition_.position; }
    CGPoint velocity() const { return velocity_; }
    float rotation() const { return rotation_; }
    CCNode* node() const { return node_; }
    LinearPath* path() const { return path_.get(); }
    const PathPosition& pathPosition() const { return pathPosition_; }
    float speed() const { return speed_; }
    bool flipX() const { return flipX_; }
    bool flipY() const { return flipY_; }
    bool orientToPath() const { return orientToPath_; }
    bool orientToNormal() const { return orientToNormal_; }
    bool orientToGravity() const { return orientToGravity_; }
    bool allowFlip() const { return allowFlip_; }
    float rotationOffset() const { return rotationOffset_; }
    bool tweenRotation() const { return tweenRotation_; }
    float tweenRotationPerc() const { return tweenRotationPerc_; }
    bool useSpring() const { return useSpring_; }
    float springK() const { return springK_; }
    float springB() const { return springB_; }

private:
    MovementLinearPath() = default;

    void refresh();
    // The path point one step of dt behind, so that the next velocity spans one step.
    void calcPrevPosition(float dt);
    // Velocity, rotation and mirrors from the path position; touches only the mover's fields.
    void updateSystem(float dt);
    // Moves the node, on the spring when one is used, and eases or sets its rotation.
    void updateNode(float dt);
    void syncNode();
    // The path normal, negated when the node's up points to the other side.
    CGPoint orientedNormal() const;

    CCNode* node_ = nullptr;                 // not retained
    bool orientToPath_ = false;
    bool orientToNormal_ = false;
    bool orientToGravity_ = false;
    bool isRotating_ = false;                // any orientation is on
    bool allowFlip_ = false;
    float rotationOffset_ = 0;               // degrees
    bool useInvertedNormal_ = false;
    bool tweenRotation_ = false;
    float tweenRotationPerc_ = 1.0f;         // share of the remaining turn per frame
    bool useSpring_ = false;
    float springK_ = 1.0f;
    float springB_ = 1.0f;
    CGPoint springVelocity_;                 // points per frame
    CGPoint prevPosition_;                   // path point of the previous system update
    CGPoint velocity_;                       // points per second
    float rotation_ = 0;                     // degrees clockwise
    bool flipX_ = false;
    bool flipY_ = false;
    bool flipXDirty_ = false;                // mirror changed, not yet shown on the node
    bool flipYDirty_ = false;
    float speed_ = 0;  // points per second, signed
    PathPosition pathPosition_;
    RefPtr<LinearPath> path_;
    bool usesRandomDirection_ = false;
};

}  // namespace game
