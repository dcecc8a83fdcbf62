#pragma once

#include "engine/core/CCLayer.h"

class PhysicsSystem;
class b2World;

// The play scene: one layer that owns the physics, the level, the player, the camera and the HUD
// for the length of one level. The rest of the game reaches the running scene through the
// class-level accessors below, which answer null outside a game.
class VantrelGameLayer : public CCLayer {
public:
    static VantrelGameLayer* currentGameLayer();
    static PhysicsSystem* currentPhysicsSystem();
    static b2World* currentPhysicsWorld();

protected:
    // The scene records itself at the start of its set-up and forgets itself at the end of its
    // teardown; it records its physics when it creates it and forgets it before deleting it.
    static void setCurrentGameLayer(VantrelGameLayer* layer);
    static void setCurrentPhysics(PhysicsSystem* system, b2World* world);
};
