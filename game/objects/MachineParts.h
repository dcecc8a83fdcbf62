#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <string>

#include "game/core/GameObjectSettings.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCSprite;
class CCSpriteBatchNode;
class CCTexture2D;
class PhysicsSprite;
class Value;

namespace game {

// What the machines and composites share: fixed sizes of frames, mass data Box2D accepts, the
// hiding places of a body, stretched wires and the foreground batch node of a texture.
// Engine thread only.
class MachineParts {
public:
    // The frame's untrimmed size in points; (0, 0) when the frame is missing.
    static CGSize frameSize(const std::string& frameName);

    // An empty physics sprite on the texture, to carry part sprites in that texture's batch node.
    static RefPtr<PhysicsSprite> carrierSprite(CCTexture2D* texture);

    // Sets the mass data when Box2D can take it: finite, and with a positive inertia larger than
    // mass x |centre|^2 about the centre (a mass of 0 or less counts as 1). Otherwise one log line
    // naming the kind and type, and the body keeps its mass.
    static bool setMassData(b2Body* body, float mass, CGPoint centrePoints, float inertia, const char* kind,
                            int32_t type);

    // Every sensor fixture of the body becomes a hiding place of the running play scene.
    static void bindSensorsToHideSensor(b2Body* body);

    // A wire body stretched from `from` to `to` (global points): at their midpoint, turned to
    // atan2(to - from) - 90 degrees, with the data's "mass", "centre_of_mass" and
    // "rotational_inertia" and then its "fixtures" scaled (1, half length) (the data describes a
    // wire of half length 1 point); the sprite is stretched to the length. Null, with a log line,
    // for a wire of length 0 or a sprite without height.
    static b2Body* createWire(PhysicsSprite* sprite, CGPoint from, CGPoint to, const Value& data,
                              const GameObjectPhysicsData& physics, const char* kind, int32_t type);

    // The current level's batch node for the texture in the foreground layer, made and added to
    // that layer when there is none; null without a level or texture.
    static CCSpriteBatchNode* foregroundBatchNode(CCTexture2D* texture);

    // The revolute joint of Box2D's initialisation at the anchor (points) with the motor given;
    // connected bodies do not collide, no limit. Null without a world or a body.
    static b2RevoluteJoint* joinRevolute(b2Body* bodyA, b2Body* bodyB, CGPoint anchor,
                                         const GameObjectPhysicsMotorData& motor);
};

}  // namespace game
