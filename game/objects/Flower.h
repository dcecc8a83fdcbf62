#pragma once

#include <box2d/box2d.h>

#include <cstdint>

#include "game/core/FlowerProtocol.h"
#include "game/core/GameObject.h"

class CCAnimation;
class CCTexture2D;
class PhysicsSprite;

namespace game {

// The nectar source of a level: a flower image hinged at its stem's root, whose head
// holds nectar that the lead bee drinks and that grows back over time, asleep after the end of
// the day. The image shows the fill: growth frame k of N ("<img>_1.png" empty to "<img>_N.png"
// full) and "<img>_sleep.png" at night; with fewer than 2 frames "<img>.png" serves for all.
// The animation is built once per type and kept in the shared animation cache under the type
// name. Priority 2.
//
// Nectar is counted in droplets: 100000 droplets are one nectar unit. Drinking is driven from
// outside: the contact listener lists the flower while the bee's sensor touches the head, the
// level regrows flowers before the physics step (update) and the player drinks after it
// (consumeDroplets), so a flower drunk in one frame does not regrow in the next.
//
// Type keys: "frame_count", "particle_image", "nectar" and "regrow_rate" (nectar units; clamped to
// the droplet range), "head_anchor_position" and "joint_anchor_position" (points of the image from
// its lower left corner), "join_to_ground", "collide_with_ground" (YES), "use_gravity" (YES: the
// anti-gravity controller lifts the head), "player_attraction", "head_radius" (points), physics
// settings. Head fixture: circle, kFlowerHead meeting collision::kFlowerHeadMask, group 4; binding kFlower.
// A flower whose frames are missing is refused (null, one log line).
class Flower : public GameObject, public FlowerProtocol {
public:
    static constexpr uint32_t kDropletsPerNectar = 100000;

    // From an objects-file instance: the given position is the image's centre.
    static RefPtr<Flower> flowerWithGameData(const Value& data);
    // The position is the stem's root; the root is joined to the body when one is given.
    static RefPtr<Flower> flowerWithType(int32_t type, CGPoint position, float rotation, float scaleX, float scaleY,
                                         b2Body* joinToBody);

    // Regrowth, unless asleep or drunk from since the last update.
    void update(float dt) override;
    void onDayIsOver() override { setIsSleeping(true); }

    // Takes up to n droplets; the droplets taken (0 when asleep).
    uint32_t consumeDroplets(uint32_t droplets) override;
    void showFrameForDroplets();
    void setIsSleeping(bool sleeping);
    // Pulls the head towards a point (points, or metres) with the force; nothing for force <= 0.
    void pushTowardsPosition(CGPoint position, float force);
    void pushTowardsWorldPosition(const b2Vec2& position, float force) override;

    float nectar() const { return static_cast<float>(droplets_) * 0.00001f; }
    void setNectar(float nectar);
    // Stores at most the maximum and shows the frame for it.
    void setDroplets(uint32_t droplets);
    // droplets / maximum; 0 for a flower that holds none at most.
    float nectarPerc() const;
    float dropletsPerc() const { return nectarPerc(); }

    uint32_t droplets() const override { return droplets_; }
    uint32_t maxDroplets() const { return maxDroplets_; }
    float regrowDropletsRate() const { return regrowDropletsRate_; }
    float headRadius() const { return headRadius_; }
    float playerAttraction() const override { return playerAttraction_; }
    PhysicsSprite* physicsSprite() const override { return physicsSprite_.get(); }
    b2Body* getPrimaryBody() override;
    // The growth frame shown (frameCount for the sleep frame).
    uint32_t frameNumber() const { return frameNumber_; }
    int32_t frameCount() const { return frameCount_; }

    CCTexture2D* particleTexture() const override { return particleTexture_; }
    void setParticleTexture(CCTexture2D* texture) { particleTexture_ = texture; }
    bool isSleeping() const { return isSleeping_; }
    bool hasBeenVisited() const override { return hasBeenVisited_; }
    void setHasBeenVisited(bool visited) { hasBeenVisited_ = visited; }
    bool isBeingConsumed() const { return isBeingConsumed_; }
    void setIsBeingConsumed(bool consumed) { isBeingConsumed_ = consumed; }

protected:
    ~Flower() override;

private:
    Flower() = default;
    bool createFlower(CGPoint position, float rotation, float scaleX, float scaleY, b2Body* joinToBody,
                      bool offsetToBase);
    // The type's cached animation, or a new one; null (logged) when a frame is missing.
    RefPtr<CCAnimation> flowerAnimation();
    void showAnimationFrame(uint32_t index);

    float headRadius_ = 0;                 // points, scaled
    uint32_t droplets_ = 0;
    uint32_t maxDroplets_ = 0;
    float regrowDropletsRate_ = 0;         // droplets per second, a whole number
    float playerAttraction_ = 0;           // Box2D force units
    RefPtr<PhysicsSprite> physicsSprite_;
    int32_t frameCount_ = 1;               // growth frames
    uint32_t frameNumber_ = UINT32_MAX;    // shown; all bits set before the first
    uint32_t nextFrameNumber_ = 0;
    RefPtr<CCAnimation> animation_;        // growth frames, then the sleep frame
    CCTexture2D* particleTexture_ = nullptr;  // the texture cache's
    bool isSleeping_ = false;
    bool hasBeenVisited_ = false;
    bool isBeingConsumed_ = false;
};

}  // namespace game
