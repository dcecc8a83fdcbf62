#pragma once

#include <box2d/box2d.h>

#include <cstdint>

class PhysicsSprite;

// Marks the flowers, which the level keeps in a list of their own, and is what the bee drinks
// from: nectar is counted in droplets, 100000 to one nectar unit. A flower that does not answer
// holds nothing.
class FlowerProtocol {
public:
    virtual ~FlowerProtocol() = default;
    // Whether the bee has drunk from it this game (the level counts them).
    virtual bool hasBeenVisited() const { return false; }

    // Takes up to the droplets asked for; the droplets taken (0 while asleep).
    virtual uint32_t consumeDroplets(uint32_t) { return 0; }
    virtual uint32_t droplets() const { return 0; }
    // The force with which the flower and a bee drinking from it pull on each other.
    virtual float playerAttraction() const { return 0; }
    // The flower's head, whose position (points) the bee is pulled towards.
    virtual PhysicsSprite* physicsSprite() const { return nullptr; }
    // Pulls the head towards a point in metres; nothing for a force of 0 or less.
    virtual void pushTowardsWorldPosition(const b2Vec2&, float) {}
};
