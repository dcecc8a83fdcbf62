#pragma once

#include <box2d/box2d.h>

#include <cstdint>

class Object;
class PhysicsSystemSynchronisable;

// What a body's or fixture's user data points to: the game object behind it and, for a body
// shown by a sprite, that sprite. A user data is always null or a pointer to a binding that lives
// inside an object (a physics sprite, a sensor, an enemy's vision binding); that object must
// outlive the pointer.
//
// What a binding stands for, by which the contact listener sorts a contact with the bee (and
// finds damageable objects). kNone until the owner sets one.
enum class BindingType : uint32_t {
    kNone = 0,
    kBee = 1,         // the bee's head and sensing fixture
    kHiveSensor = 2,  // the hive's doorway
    kHideSensor = 3,  // hiding places: level sensors and hiding clouds
    kFlower = 4,      // a flower's head
    kPickup = 7,
    kEnemy = 8,        // an enemy's body, or its sensor fixtures
    kEnemyVision = 9,  // sensors that only see the bee
    kDestructable = 10,
    kProjectile = 12,
};

struct PhysicsSystemBinding {
    BindingType type = BindingType::kNone;
    Object* gameObject = nullptr;                   // not retained
    PhysicsSystemSynchronisable* gameSprite = nullptr;  // not retained; null for fixture-only bindings
};

// The binding in a body's, fixture's or fixture definition's user data, or null.
inline PhysicsSystemBinding* bindingOf(const b2Body* body) {
    return body ? reinterpret_cast<PhysicsSystemBinding*>(const_cast<b2Body*>(body)->GetUserData().pointer) : nullptr;
}
inline PhysicsSystemBinding* bindingOf(const b2Fixture* fixture) {
    return fixture ? reinterpret_cast<PhysicsSystemBinding*>(const_cast<b2Fixture*>(fixture)->GetUserData().pointer)
                   : nullptr;
}

// Points the user data at a binding (null clears it).
inline void setBinding(b2Body* body, PhysicsSystemBinding* binding) {
    body->GetUserData().pointer = reinterpret_cast<uintptr_t>(binding);
}
inline void setBinding(b2Fixture* fixture, PhysicsSystemBinding* binding) {
    fixture->GetUserData().pointer = reinterpret_cast<uintptr_t>(binding);
}
inline void setBinding(b2FixtureDef* definition, PhysicsSystemBinding* binding) {
    definition->userData.pointer = reinterpret_cast<uintptr_t>(binding);
}
