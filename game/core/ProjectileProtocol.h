#pragma once

#include "game/core/EnemyProtocol.h"

class GameObject;

// A shot: it hurts the bee like an enemy and may also hit other objects.
class ProjectileProtocol : public EnemyProtocol {
public:
    // Whether it still hits anything.
    virtual bool canHit() = 0;
    // It hit something other than the bee (null when the listener does not say what).
    virtual void contactGameObject(GameObject* object) = 0;
    void destroy() override = 0;
};
