#pragma once

#include <box2d/box2d.h>

#include <cstdint>

class CCParticleSystem;
class CCTexture2D;
class PhysicsSprite;

// Marks the flowers, which the level keeps in a list of their own, and is what the bee drinks
// from: nectar is counted in droplets, 100000 to one nectar unit. A flower that does not answer
// holds nothing.
//
// While the bee drinks, the flower holds two of the level's nectar streams (not retained): the
// droplets flying into the bee's mouth and the flower's own bits falling to the ground. The level
// attaches and detaches them (Level::beginPlayerFlowerContact and its kin); a flower that goes
// lets go of them, stopped and free for the level's pools again.
class FlowerProtocol {
public:
    virtual ~FlowerProtocol();
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
    // The image of the bits it sheds while drunk from; null keeps the stream's own.
    virtual CCTexture2D* particleTexture() const { return nullptr; }

    CCParticleSystem* particlesVantrelCollectNectar() const { return particlesVantrelCollectNectar_; }
    void setParticlesVantrelCollectNectar(CCParticleSystem* particles) { particlesVantrelCollectNectar_ = particles; }
    CCParticleSystem* particlesFlowerLoseNectar() const { return particlesFlowerLoseNectar_; }
    void setParticlesFlowerLoseNectar(CCParticleSystem* particles) { particlesFlowerLoseNectar_ = particles; }

private:
    CCParticleSystem* particlesVantrelCollectNectar_ = nullptr;  // the level's, not retained
    CCParticleSystem* particlesFlowerLoseNectar_ = nullptr;      // the level's, not retained
};
