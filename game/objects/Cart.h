#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

// A cart: a deck and two wheels, each wheel on a revolute joint at
// its centre, driven by the type's motor ("motor_speed" in radians per second; speed 0 with a
// torque brakes). "deck": "fixtures", physics settings; "wheels": "wheel1_position" and
// "wheel2_position" (points, turning with the cart), "image_name" (default "<img>_wheel"),
// "fixtures", "on_top" (wheels drawn over the deck), physics settings. Fixtures: group 0, scenery
// meeting collision::kSolidMask. All three bodies fall under the planet's gravity. The instance's scale is not
// used. Priority 1, no update.
class Cart : public GameObject {
public:
    static RefPtr<Cart> cartWithGameData(const Value& data) {
        return withGameData(data, &cartWithType, InstanceScale::kIgnored);
    }
    static RefPtr<Cart> cartWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    PhysicsSprite* physicsSpriteDeck() const { return deck_.get(); }
    PhysicsSprite* physicsSpriteWheel1() const { return wheel1_.get(); }
    PhysicsSprite* physicsSpriteWheel2() const { return wheel2_.get(); }
    b2Body* getPrimaryBody() override;

protected:
    ~Cart() override;

private:
    Cart() = default;
    void createCart(CGPoint position, float rotation);

    RefPtr<PhysicsSprite> deck_;
    RefPtr<PhysicsSprite> wheel1_;
    RefPtr<PhysicsSprite> wheel2_;
};

}  // namespace game
