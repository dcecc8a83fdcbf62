#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <vector>

#include "game/objects/VPoint.h"
#include "game/objects/VStick.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCSprite;
class CCSpriteBatchNode;

namespace game {

// A rope that is only drawn: a chain of verlet points 20 points apart between two moving ends,
// relaxed four times a step, with one sprite per stick cut from the batch node's repeating
// texture. The ends come from a joint's anchors, two bodies' origins, or are given. World points
// (32 per metre). Nothing is allocated after building.
//
// A rope needs a gap of at least 40 points at building; a shorter one is refused (null, one log
// line). A rope on a joint is watched: when the joint goes with one of its bodies, the rope takes
// its sprites away and is no longer stepped.
class VRope : public Object {
public:
    static constexpr float kPixelsPerPoint = 20.0f;
    static constexpr float kMinimumGap = 40.0f;
    static constexpr int kRelaxations = 4;

    // The batch node (not retained; may be null: no sprites) must outlive the rope, as must the
    // joint or the bodies, unless the joint is destroyed along with a body.
    static RefPtr<VRope> ropeWithJoint(b2Joint* joint, CCSpriteBatchNode* spriteSheet);
    static RefPtr<VRope> ropeWithBodies(b2Body* bodyA, b2Body* bodyB, CCSpriteBatchNode* spriteSheet);
    static RefPtr<VRope> ropeWithPoints(CGPoint pointA, CGPoint pointB, CCSpriteBatchNode* spriteSheet);

    // One step from the current ends: pulled 10 x dt points towards the world origin, by the
    // points' shared gravity, by the given gravity, or by the points' gravity at dt.
    void updateWithPreIntegratedOriginGravity(float dt);
    void updateWithPreIntegratedGravity(float dt);
    void updateWithPreIntegratedGravity(float dt, float gx, float gy);
    void update(float dt);
    // Lays the points at rest along the current ends.
    void reset();

    // Pins the ends, moves the inner points by (gxdt, gydt) and a verlet step, then relaxes.
    void updateWithPoints(CGPoint pointA, CGPoint pointB, float gxdt, float gydt);
    void updateWithPoints(CGPoint pointA, CGPoint pointB, float dt);
    void resetWithPoints(CGPoint pointA, CGPoint pointB);

    // Each sprite to the middle of its stick, turned along it.
    void updateSprites();
    // Every sprite leaves the sheet with clean-up.
    void removeSprites();

    // Told by the joint watch that the joint is gone: the sprites go and the rope stops.
    void jointDestroyed();
    bool isBroken() const { return broken_; }

    int32_t numPoints() const { return static_cast<int32_t>(points_.size()); }
    const std::vector<VPoint>& points() const { return points_; }
    const std::vector<VStick>& sticks() const { return sticks_; }
    const std::vector<RefPtr<CCSprite>>& ropeSprites() const { return sprites_; }

protected:
    ~VRope() override;

private:
    VRope() = default;
    bool createRope(CGPoint pointA, CGPoint pointB);
    void createSprites(float segment);
    void layPoints(CGPoint pointA, CGPoint pointB);
    // The ends now; false once the joint has gone.
    bool currentEnds(CGPoint* pointA, CGPoint* pointB) const;

    std::vector<VPoint> points_;       // end A first; never resized after building
    std::vector<VStick> sticks_;       // stick i joins points i and i + 1
    std::vector<RefPtr<CCSprite>> sprites_;
    CCSpriteBatchNode* spriteSheet_ = nullptr;  // not retained
    float antiSagHack_ = 0.1f;                  // the chain is laid over 90 % of the gap
    b2Body* bodyA_ = nullptr;                   // not owned
    b2Body* bodyB_ = nullptr;
    b2Joint* jointAB_ = nullptr;                // not owned; watched
    bool usesPoints_ = false;
    CGPoint givenA_{}, givenB_{};
    bool broken_ = false;
};

}  // namespace game
