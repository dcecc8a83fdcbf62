#pragma once

#include <array>
#include <cstdint>

#include "game/core/PlayerCacheData.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class Buddy;
class CCSpriteBatchNode;

// The lead bee's swarm: the trail of its last kCacheSize poses, written once a frame, and the ten
// buddies that chase it, each a fixed number of frames back. Buddies join in array order and
// leave from the end, so those showing are always the first ones. The bee owns one and passes
// its operations on to it, with the values of its head.
//
// Engine thread only.
class PlayerSwarm : public Object {
public:
    static constexpr int kCacheSize = 77;
    static constexpr int kMaxBuddies = 10;
    static constexpr float kFullSpeed = 13.25f;    // metres per second: no trailing offset above it
    static constexpr float kTrailDistance = 70.0f;  // points, at rest

    // Frames behind the lead bee of each buddy: from 16 in steps of 16, the step shrinking by 4
    // from the third buddy on while it stays above 4: 16, 32, 44, 52, 56 ... 76.
    static std::array<int, kMaxBuddies> cacheIndexOffsets();
    // Where the buddies trail, in the world: behind the bee (or below it on screen, when
    // `underneath`) by up to kTrailDistance as it slows, turned by the head's rotation (degrees).
    static CGPoint trailOffset(float worldSpeed, float headRotation, bool underneath, bool facingRight);

    PlayerSwarm();
    // The buddies' batch node on the bee's sheet and ten hidden buddies; false, with a log line,
    // when the sheet lacks a buddy's frames.
    bool createBuddies();

    // Fills the whole trail with the pose, or writes it as the newest.
    void initPlayerCache(const PlayerCacheData& pose);
    void updatePlayerCache(const PlayerCacheData& pose);

    // One more buddy, placed at the pose (rotation in degrees) and saying it was found; nothing
    // with all ten showing.
    void addBuddyAt(CGPoint position, float rotation);
    // The last buddy showing leaves.
    void removeBuddy();
    // Once a frame after the trail was written: every buddy takes its pose from the trail and
    // chases it. `worldSpeed` in metres per second, rotations in degrees.
    void updateBuddies(float dt, float worldSpeed, float headRotation, bool facingRight, float cameraTangentAngle);

    // A random buddy showing cheers or warns; every buddy showing says "+".
    void showBuddyEncouragementMessage();
    void showBuddyWarningMessage();
    void showBuddyBonusMessage();

    int buddiesShowing() const { return buddiesShowing_; }
    // The extra share of nectar drunk: 0.1 per buddy showing.
    float buddyBonus() const { return buddyBonus_; }
    bool buddiesUnderneath() const { return buddiesUnderneath_; }
    void setBuddiesUnderneath(bool underneath) { buddiesUnderneath_ = underneath; }
    CCSpriteBatchNode* buddyHolder() const { return buddyHolder_.get(); }
    Buddy* buddy(int index) const { return buddies_[index].get(); }
    int cacheIndex() const { return cacheIndex_; }
    const PlayerCacheData& cacheEntry(int index) const { return playerCache_[index]; }

protected:
    ~PlayerSwarm() override;

private:
    std::array<PlayerCacheData, kCacheSize> playerCache_{};
    int cacheIndex_ = 0;  // the slot written last
    std::array<RefPtr<Buddy>, kMaxBuddies> buddies_;
    int buddiesShowing_ = 0;
    float buddyBonus_ = 0;
    bool buddiesUnderneath_ = false;
    RefPtr<CCSpriteBatchNode> buddyHolder_;
};
