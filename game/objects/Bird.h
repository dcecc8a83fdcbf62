#pragma once

#include <cstdint>

#include "game/core/EnemyProtocol.h"
#include "game/core/GameObject.h"
#include "game/objects/EnemyRules.h"

class CCNode;
class MovementProtocol;
class PhysicsSprite;

namespace game {

class Stamina;

// The flying enemy (types 220-229, 245-247, 252-257, 270-272; other types build no body): a body
// that follows a path or orbit movement through the sky, flaps or rests by its animation rhythm,
// holds still on its path by its movement rhythm, strikes with its contact animation when it
// hurts the bee, and aims and fires its turret at a bee in view. Contacts count as bird hits.
// Priority 2; sprite layer 2 (background).
//
// Type keys beyond the shared enemy rules: "animation_stamina" and "movement_stamina" (stamina
// dictionaries). The instance's scale is not used. Without a movement the body is static and
// stays where it was placed.
class Bird : public GameObject, public EnemyProtocol {
public:
    static bool isBirdType(int32_t type);

    // From a level-data instance ("position", "rotation", "linear_path_data").
    static RefPtr<Bird> birdWithGameData(const Value& data);
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
    void onDayIsOver() override { rules_.setActive(false); }
    b2Body* getPrimaryBody() override;

    // Plays the contact animation once, unless already striking.
    void playContactAnimation();

    const EnemyRules& rules() const { return rules_; }
    EnemyRules& rules() { return rules_; }
    bool active() const { return rules_.active(); }
    void setActive(bool active) { rules_.setActive(active); }
    uint32_t nectarDropletsPenalty() const { return rules_.nectarDropletsPenalty(); }
    void setNectarDropletsPenalty(uint32_t droplets) { rules_.setNectarDropletsPenalty(droplets); }
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

    EnemyRules rules_;
    GameObjectPhysicsData physics_;
    RefPtr<Stamina> animationStamina_;
    RefPtr<Stamina> movementStamina_;
    bool isStriking_ = false;
    RefPtr<MovementProtocol> movement_;
    RefPtr<CCNode> movementNode_;
    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
