#pragma once

#include <cstdint>
#include <string>

class CCAnimation;
class GameObject;

// What the level and its containers ask of every game object.
class GameObjectProtocol {
public:
    virtual ~GameObjectProtocol() = default;

    // A container drops a child object.
    virtual void removeChild(GameObject* child) = 0;
    // The frame step, seconds.
    virtual void update(float dt) = 0;
    // The level's day has ended.
    virtual void onDayIsOver() = 0;

    virtual int32_t type() const = 0;
    virtual const std::string& typeName() const = 0;
    // 0 not filed by the level, 1 filed and never updated, 2 updated every frame.
    virtual uint32_t priority() const = 0;
    // The owning object (a structure or emitter), or null; not retained.
    virtual GameObject* parent() const = 0;
    virtual void setParent(GameObject* parent) = 0;
    virtual const std::string& imageName() const = 0;
    virtual CCAnimation* animation() const = 0;

    // Type ranges.
    virtual bool isFlower() const = 0;
    virtual bool isPickup() const = 0;
    virtual bool isEnemy() const = 0;
    virtual bool isProjectile() const = 0;
    virtual bool isDestructable() const = 0;
    virtual bool isDynamic() const = 0;
    virtual bool isStructure() const = 0;
    virtual bool isEmitter() const = 0;
    virtual bool isAnimation() const = 0;
    virtual bool isUnique() const = 0;
};
