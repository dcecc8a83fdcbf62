#pragma once

#include <box2d/box2d.h>

#include <memory>
#include <vector>

class GLESDebugDraw;
class PhysicsSystemContactListener;
class PhysicsSystemController;
class PhysicsSystemDestructionListener;

// Owns the level's one Box2D world and advances it in fixed steps of 1/60 s however long a frame
// took, at most two steps per frame (a longer frame loses the excess: the world runs slow rather
// than catching up). Around each step it calls the contact and destruction listeners' hooks and
// the pre- and post-step controllers; after the steps of a frame it blends every bound sprite's
// pose between the last two steps, so drawing stays smooth whatever the frame rate.
//
// Lengths in metres (32 points each on the drawing side), angles in radians. The world has no
// gravity of its own: controllers pull towards the planet's centre. Listeners and controllers
// belong to whoever made them; the system owns only the world, the debug draw it made and the
// contact filter it made. Engine thread only.
class PhysicsSystem {
public:
    static constexpr float kFixedStep = 0.016666668f;  // seconds
    static constexpr int32_t kVelocityIterations = 4;
    static constexpr int32_t kPositionIterations = 2;
    static constexpr int32_t kMaxStepsPerUpdate = 2;

    // A world with gravity (0, 0) that lets bodies sleep.
    PhysicsSystem();
    virtual ~PhysicsSystem();
    PhysicsSystem(const PhysicsSystem&) = delete;
    PhysicsSystem& operator=(const PhysicsSystem&) = delete;

    b2World* getWorld() const { return world_.get(); }

    // The draw interface installed on the world. Replacing the system's own drops it.
    void setDebugDraw(b2Draw* debugDraw);
    b2Draw* getDebugDraw() const { return debugDraw_; }
    // Installs a debug draw of its own (32 points per metre; shapes, joints, bounding boxes).
    void enableDebugDraw();

    void setContactListener(PhysicsSystemContactListener* listener);
    PhysicsSystemContactListener* getContactListener() const { return contactListener_; }
    // Replacing the system's own filter drops it.
    void setContactFilter(b2ContactFilter* filter);
    b2ContactFilter* getContactFilter() const { return contactFilter_; }
    // Installs Box2D's default filter, made once.
    void useDefaultContactFilter();
    void setDestructionListener(PhysicsSystemDestructionListener* listener);
    PhysicsSystemDestructionListener* getDestructionListener() const { return destructionListener_; }

    // Appended without a duplicate check; removal takes every occurrence.
    void addPreStepController(PhysicsSystemController* controller) { preStepControllers_.push_back(controller); }
    void addPostStepController(PhysicsSystemController* controller) { postStepControllers_.push_back(controller); }
    void removePreStepController(PhysicsSystemController* controller);
    void removePostStepController(PhysicsSystemController* controller);

    // Advances by dt seconds of frame time (fixed steps, then interpolation). A dt that is
    // negative or not finite counts as 0, with a log line.
    void update(float dt);
    // One step of dt seconds with the same hooks; neither the accumulator nor the poses change.
    void variableStep(float dt);
    // Every synchronised sprite takes its body's current pose, unblended.
    void synchroniseAll();

    // Simulated time not yet stepped (seconds; may be a hair below zero) and its share of a step.
    float accumulator() const { return accumulator_; }
    float interpolationRatio() const { return interpolationRatio_; }

    // A static body at the origin, made once (refused while the world is inside its step).
    void createGroundBody();
    // Replaces the ground body without destroying the old one.
    void setGroundBody(b2Body* body) { groundBody_ = body; }
    b2Body* getGroundBody() const { return groundBody_; }

    // Which bodies' sprites are moved: the list below, or every body of the world.
    void useSynchronisableList() { useSynchronisableList_ = true; }
    void clearSynchronisableList();
    // Appended only when the body's binding has a sprite; a body added twice is blended twice.
    void addSynchronisableBody(b2Body* body);
    void removeSynchronisableBody(b2Body* body);
    const std::vector<b2Body*>& synchronisableBodies() const { return synchronisableBodies_; }

    // Four static boxes enclosing the rectangle w = x1 - x0 by h = y1 - y0 whose lower-left inner
    // corner is the body's origin; thickness t, all in metres. Null body: a new static body at
    // the origin. overlapCorners lengthens the walls by t at each end. Returns the body, or null
    // (with a log line) for sizes that are not positive and finite or a locked world.
    b2Body* createWalls(b2Body* body, bool overlapCorners, float x0, float y0, float x1, float y1, float thickness);
    static b2Body* createWalls(b2World* world, b2Body* body, bool overlapCorners, float x0, float y0, float x1,
                               float y1, float thickness);

    // The torque (+T or -T) that turns the body the short way towards the target angle
    // (radians) and brakes in time, judged by the angle the current spin would still sweep
    // against a torque T. Single precision throughout.
    static float torqueToReachAngle(const b2Body* body, float target, float torque);

private:
    void fixedStep(float dt);
    void copyPoses();
    void interpolatePoses();
    // Calls f with the sprite of every walked body that has one.
    template <typename F>
    void forEachSynchronisedSprite(F f);

    std::unique_ptr<b2World> world_;
    b2Draw* debugDraw_ = nullptr;
    std::unique_ptr<GLESDebugDraw> ownedDebugDraw_;
    float accumulator_ = 0;
    float interpolationRatio_ = 0;
    PhysicsSystemContactListener* contactListener_ = nullptr;
    b2ContactFilter* contactFilter_ = nullptr;
    std::unique_ptr<b2ContactFilter> ownedContactFilter_;
    PhysicsSystemDestructionListener* destructionListener_ = nullptr;
    std::vector<PhysicsSystemController*> preStepControllers_;
    std::vector<PhysicsSystemController*> postStepControllers_;
    b2Body* groundBody_ = nullptr;
    std::vector<b2Body*> synchronisableBodies_;
    bool useSynchronisableList_ = false;
};
