#pragma once

#include <cstdint>

#include "game/objects/RuledEnemy.h"

class CCNode;
class MovementProtocol;
class PhysicsSprite;

namespace game {

class Stamina;

// The flying enemy (codes of other kinds build no body): a body
// that follows a path or orbit movement through the sky, flaps or rests by its animation rhythm,
// holds still on its path by its movement rhythm, strikes with its contact animation when it
// hurts the bee, and aims and fires its turret at a bee in view. Contacts count as bird hits.
// Priority 2; sprite layer 2 (background).
//
// Type keys beyond the shared enemy rules: "animation_stamina" and "movement_stamina" (stamina
// dictionaries). The instance's scale is not used. Without a movement the body is static and
// stays where it was placed.
class Bird : public RuledEnemy {
public:
    // From a level-data instance ("position", "rotation", "linear_path_data").
    static RefPtr<Bird> birdWithGameData(const Value& data) {
        return withGameData(data, &birdWithType, InstanceScale::kIgnored);
    }
    // Position in points, rotation in degrees counter-clockwise; the scales are not used.
    static RefPtr<Bird> birdWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                     const Value& pathData);

    // EnemyProtocol: the contact sequence with the strike.
    uint32_t contactPlayer() override;
    uint32_t sensorContactPlayer() override { return contactPlayer(); }
    // The turret aims and fires.
    void visionContactPlayer() override;

    // The frame: rules, animation rhythm or strike, movement rhythm, then the body follows.
    void update(float dt) override;
    b2Body* getPrimaryBody() override;

    // Plays the contact animation once, unless already striking.
    void playContactAnimation();

    MovementProtocol* movement() const { return movement_.get(); }
    void setMovement(RefPtr<MovementProtocol> movement);
    CCNode* movementNode() const { return movementNode_.get(); }
    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    bool isStriking() const { return isStriking_; }

protected:
    ~Bird() override;

private:
    Bird() = default;
    void createBird(CGPoint position, float rotation, const Value& pathData);
    void createBirdGeneric(CGPoint position, float rotation, const Value& pathData);
    void updateAnimationRhythm(float dt);

    GameObjectPhysicsData physics_;
    RefPtr<Stamina> animationStamina_;
    RefPtr<Stamina> movementStamina_;
    bool isStriking_ = false;
    RefPtr<MovementProtocol> movement_;
    RefPtr<CCNode> movementNode_;
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
