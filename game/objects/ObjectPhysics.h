#pragma once

#include <box2d/box2d.h>

#include <cstdint>
#include <string>

#include "game/core/CollisionBits.h"
#include "game/core/GameObjectSettings.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCSprite;
class GameObject;
class PhysicsSprite;
class Value;

namespace game {

// What the object kinds share to put their sprites and bodies into the running game and to take
// them out again. Bodies go into the running play scene's world (32 points per metre, angles
// given in degrees counter-clockwise); sprites into the current level's foreground batch node
// for their texture. Every step checks for a missing scene, level, world or controller and then
// does nothing. Engine thread only.
class ObjectPhysics {
public:
    // Collision filter of a body's fixtures.
    using Filter = CollisionFilter;

    // A body at the placement with the settings' damping and gravity scale, allowed to sleep,
    // awake, free to turn, not a bullet, enabled. Null, with a log line, without a world or while
    // the world steps.
    static b2Body* createBody(b2BodyType type, CGPoint position, float rotation, const GameObjectPhysicsData& physics);
    // That body, shown by the sprite, with the fixture dictionaries (PhysicsUtils) at the scales,
    // each of the settings' density, friction and restitution and in the filter. Null, with nothing
    // made and the sprite left alone, when the body is refused.
    static b2Body* createBodyWithFixtures(PhysicsSprite* sprite, b2BodyType type, CGPoint position, float rotation,
                                          const GameObjectPhysicsData& physics, const Value& fixtures, Filter filter,
                                          float scaleX = 1.0f, float scaleY = 1.0f);

    // Whether the scales can shape fixtures (finite, not about 0); otherwise one log line that the
    // kind's type is refused.
    static bool isUsableScale(float scaleX, float scaleY, const char* kind, int32_t type);
    // Whether an object whose body was not made may stay as a picture: yes without a world
    // (pictures only, as tools build them); no, with a log line, when the world refused the body
    // (a placement that is not finite), so that the object is neither filed nor counted.
    static bool keepsWithoutBody(const char* kind, int32_t type);

    // The sprite showing the frame of the shared cache, or an empty one (one log line) when the
    // frame is missing, so that the body still works and nothing is drawn.
    static RefPtr<PhysicsSprite> physicsSpriteWithFrameName(const std::string& frameName);
    // The same for a plain sprite.
    static RefPtr<CCSprite> spriteWithFrameName(const std::string& frameName);
    // The frame of the shared cache shown on the sprite; false (one log line) when it is missing.
    static bool showFrame(CCSprite* sprite, const std::string& frameName);

    // Adds the sprite to the current level's batch node for its texture in the foreground layer;
    // false when there is none (the sprite is then not drawn).
    static bool addToForeground(CCSprite* sprite);

    // The running play scene's controllers and the physics system's synchronised bodies.
    static void addToGravity(b2Body* body);
    static void addToAntiGravity(b2Body* body);
    static void addToSynchronised(b2Body* body);

    // Takes the sprite's body out of both gravity controllers, the synchronised bodies and (for
    // the owner) the contact listener's lists, destroys it, or only unbinds it once bodies are no
    // longer destroyed automatically, and removes the sprite from its parent with clean-up.
    static void releaseSprite(PhysicsSprite* sprite, GameObject* owner);
};

}  // namespace game
