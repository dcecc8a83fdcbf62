#pragma once

#include <box2d/box2d.h>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCNode;
class CCSpriteBatchNode;
class PhysicsSprite;

// The bee, one per game: what the play scene and the level ask of it. Its rig, swarm, messages
// and statistics are not built yet, so the play scene makes none: `player` stays null and every
// caller checks for it. The operations are virtual so that the bee can be stood in for.
class Player : public Object {
public:
    static Player* currentPlayer() { return nullptr; }

    // Frame steps, seconds.
    virtual void update(float) {}
    virtual void updatePaused(float) {}
    virtual void onGameStart() {}
    virtual void onGameFinish() {}
    // Adds this game's counters to the statistics.
    virtual void updateStats() {}
    // Honey delivered this game, nectar units.
    virtual float hiveHoney() const { return 0; }

    // Its nodes, which the play scene puts into the world.
    virtual CCSpriteBatchNode* buddyHolder() const { return nullptr; }
    virtual CCSpriteBatchNode* playerHolder() const { return nullptr; }
    virtual CCNode* playerMotionStreak() const { return nullptr; }
    virtual PhysicsSprite* vantrel() const { return nullptr; }
    // The head's position, points, and its body's velocity, metres per second.
    virtual CGPoint position() const { return CGPointZero; }
    virtual b2Vec2 vantrelWorldVelocity() const { return {0, 0}; }

    // The level's day clock and night.
    virtual void showTimeInfoMessage(float) {}
    virtual void hideTimeInfoMessage() {}
    virtual void showTimeUpInfoMessage() {}
    virtual void setCanFlyThroughWorld(bool) {}
    virtual void setCanSenseWorld(bool) {}
    virtual void setShowStatsMessages(bool) {}
    virtual void setBuddiesUnderneath(bool) {}
    virtual void setHasExtraLinearDrag(bool) {}
    virtual void startAudio() {}
    virtual void endAudio() {}
};
