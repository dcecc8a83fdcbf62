#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class CCNode;
class PhysicsSprite;

namespace game {

class Stamina;

// The walking enemy (its own codes and the robot camera's, which a structure may build as a
// ground enemy; other codes build no body): a creature that walks
// its path on the ground, rests and walks on by its stamina (either way with equal chance on a
// random-direction path), and with a turret aims at the bee and fires while it sees it. Without
// a movement it stands fixed: static, or welded to the body it was built on (structures). Contacts
// count as ground hits. Priority 2; sprite layer 3; the instance's scale is not used.
//
// Type key beyond the shared enemy rules: "stamina" (absent: it never rests). No contact
// animation.
class GroundEnemy : public RuledEnemy {
public:
    // From a level-data instance ("position", "rotation", "linear_path_data").
    static RefPtr<GroundEnemy> groundEnemyWithGameData(const Value& data) {
        return withGameData(data, &groundEnemyWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; `joinToBody` (or null) is the
    // body it is welded to when it has no movement.
    static RefPtr<GroundEnemy> groundEnemyWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                                   float scaleY, const Value& pathData, b2Body* joinToBody);

    uint32_t contactPlayer() override;
    uint32_t sensorContactPlayer() override { return contactPlayer(); }
    void visionContactPlayer() override;

    // The frame: rules, the walk/rest rhythm and the walk, and a turret without vision tracking
    // the bee.
    void update(float dt) override;
    b2Body* getPrimaryBody() override;

    MovementProtocol* movement() const { return movement_.get(); }
    void setMovement(RefPtr<MovementProtocol> movement);
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    Stamina* stamina() const { return stamina_.get(); }

protected:
    ~GroundEnemy() override;

private:
    GroundEnemy() = default;
    void createGroundEnemy(CGPoint position, float rotation, const Value& pathData, b2Body* joinToBody);
    void createGroundEnemyGeneric(CGPoint position, float rotation, const Value& pathData, b2Body* joinToBody);

    GameObjectPhysicsData physics_;
    RefPtr<Stamina> stamina_;
    RefPtr<MovementProtocol> movement_;
    RefPtr<CCNode> movementNode_;
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
