#pragma once

#include <box2d/box2d.h>

#include <vector>

// A force field over a chosen set of bodies, stepped by the physics system once per fixed step
// (before or after the world's step, by the list it is in). The bodies are not owned and must be
// removed before they are destroyed.
class PhysicsSystemController {
public:
    virtual ~PhysicsSystemController() = default;

    // Appends the body; a body added twice is stepped twice.
    void addBody(b2Body* body) { bodies_.push_back(body); }
    // Removes every occurrence.
    void removeBody(b2Body* body);
    void clear() { bodies_.clear(); }
    const std::vector<b2Body*>& bodies() const { return bodies_; }

    // dt in seconds (1/60 from the fixed step); nothing in the base.
    virtual void step(float dt);

protected:
    // Bodies in insertion order that take part now: awake and enabled.
    template <typename F>
    void forEachActiveBody(F f) const {
        for (b2Body* body : bodies_) {
            if (body->IsAwake() && body->IsEnabled()) f(body);
        }
    }

private:
    std::vector<b2Body*> bodies_;
};
