#pragma once

#include <box2d/box2d.h>

#include <vector>

// Box2D's contact callbacks (all empty here) plus two hooks the physics system calls around each
// fixed step, so that contacts gathered during the step can be handed on after it, when bodies
// may change again.
class PhysicsSystemContactListener : public b2ContactListener {
public:
    void BeginContact(b2Contact* contact) override;
    void EndContact(b2Contact* contact) override;
    void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
    void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;

    // Before the step: empties the body list.
    virtual void preStep();
    // After the step: nothing here.
    virtual void postStep();

protected:
    // Bodies a subclass collects during a step; not owned.
    std::vector<b2Body*> bodies_;
};
