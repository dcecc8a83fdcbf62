#pragma once

#include <cstdint>

#include "game/core/GameObject.h"

class PhysicsSprite;

namespace game {

// A loose prop: one sprite on a dynamic body with the type's fixtures, pulled by
// the planet's gravity and free to be pushed about. Codes 500-514 take the placement's scale,
// 550-556 are unscaled; other codes build no sprite and no body. Contacts with a prop reach no
// object (no binding type). Fixtures: group 7, kProp meeting collision::kPropMask. Priority 1: the
// level keeps it and the physics system moves its sprite. A scaled code with a scale of about 0
// is refused (null, one log line).
class Dynamic : public GameObject {
public:
    static RefPtr<Dynamic> dynamicWithGameData(const Value& data) {
        return withGameData(data, &dynamicWithType, InstanceScale::kRead);
    }
    static RefPtr<Dynamic> dynamicWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY);

    PhysicsSprite* physicsSprite() const { return physicsSprite_.get(); }
    b2Body* getPrimaryBody() override;

protected:
    ~Dynamic() override;

private:
    Dynamic() = default;
    bool createDynamic(CGPoint position, float rotation, float scaleX, float scaleY);

    RefPtr<PhysicsSprite> physicsSprite_;
};

}  // namespace game
