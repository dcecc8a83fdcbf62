#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class CCSprite;

namespace game {

// A decoration: one sprite placed, turned and scaled by the level data, playing
// the type's frame animation for ever, or showing "<img>.png" without one. No body. Priority 1:
// the level keeps it and never updates it.
class Animation : public GameObject {
public:
    static RefPtr<Animation> animationWithGameData(const Value& data) {
        return withGameData(data, &animationWithType, InstanceScale::kRead);
    }
    static RefPtr<Animation> animationWithType(int32_t type, CGPoint position, float rotation, float scaleX,
                                               float scaleY);

    CCSprite* sprite() const { return sprite_.get(); }

protected:
    ~Animation() override;

private:
    Animation() = default;
    void createAnimation(CGPoint position, float rotation, float scaleX, float scaleY);

    RefPtr<CCSprite> sprite_;
};

}  // namespace game
