#pragma once

#include <cstdint>

#include "game/core/CollisionBits.h"
#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

// A prop that spins in place on a motorised revolute joint to the ground (or a given body):
// wind turbines 1004 and 1051 (three polygon blades 120 degrees apart, kWindBlade, an optional
// hub "centre_image_name"), the water-tower turbine 1001 (four chain blades 90 degrees apart and
// "fixtures_additional") and the wood cross 1050 (the fixtures as given). The turbines shape every
// blade after the first entry of "fixtures", pivoting at "blade_anchor_position" (points from the
// image's lower left). "motor_speed" is in degrees per second. Fixtures: group 0, meeting
// collision::kSolidMask, scenery unless said. The instance's scale is not used.
//
// Priority 0: the level does not keep it. Its sprite stays in the level's foreground batch node
// for its texture (made when missing, so that the sprite and its body always have an owner) and
// its body on the synchronised list until the level goes. Without sprite layers to draw in, the
// rotator keeps its sprite and body itself at priority 1 (not drawn). A turbine whose frame is
// missing is not built (one log line).
class Rotator : public GameObject {
public:
    static RefPtr<Rotator> rotatorWithGameData(const Value& data) {
        return withGameData(data, &rotatorWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Rotator> rotatorWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                           b2Body* joinToBody);

    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }

protected:
    ~Rotator() override;

private:
    Rotator() = default;
    void createRotator(CGPoint position, float rotation, b2Body* joinToBody);
    bool createWindTurbineType1();
    bool createWaterTowerTurbine();
    bool createWoodCross();
    // The blade sprite and `count` - 1 copies turned by `step` degrees, all about the pivot.
    bool createBlades(int count, float rotationOffset, float step);
    void addFixtures(const Value& fixture, int shapeType, const float* degrees, int count, CollisionCategory category);

    RefPtr<PhysicsSprite> physicsSprite_;
    b2Body* body_ = nullptr;  // while building
    GameObjectPhysicsData physics_;
    CGPoint bladeAnchor_{};
    bool ownsSprite_ = false;  // no batch node keeps the sprite
};

}  // namespace game
