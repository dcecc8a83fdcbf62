#pragma once

#include <cstdint>

#include "platform/foundation/Geometry.h"

class GameMessagePositionProtocol;
class GameObject;

// What the bee asks of the level it flies in, which implements it.
class PlayerLevelDelegate {
public:
    // Particle kinds of emitParticles.
    static constexpr int kParticlesLoseNectar = 3;
    static constexpr int kParticlesBonus = 5;

    virtual ~PlayerLevelDelegate() = default;

    // Where the bee starts, points.
    virtual CGPoint spawnPosition() const = 0;
    // Fraction of the day gone, 0 to 1.
    virtual float currentTimeOfDayPerc() const = 0;
    virtual uint32_t flowersVisited() const = 0;
    virtual uint32_t totalFlowers() const = 0;
    // The best score kept for this level, whole honey units.
    virtual int32_t existingHighScore() const = 0;
    virtual void emitParticles(int kind, CGPoint position) = 0;
    // Buddies hidden in the level's pickups.
    virtual int32_t totalBuddies() const { return 0; }
    // Lengthens (or shortens, negative) the day, seconds.
    virtual void changeLengthOfDay(float) {}
    // What the hive's bubbles follow (the top of its honey), or null.
    virtual const GameMessagePositionProtocol* hiveMessageTarget() const { return nullptr; }

    // The bee drinks from a flower (active: the flower still holds nectar) or gets nothing.
    virtual void updatePlayerFlowerContact(GameObject* flower, bool active) = 0;
    // The bee entered the hive's doorway, carrying nectar or not; it pours (or stopped
    // pouring); it left.
    virtual void beginPlayerHiveContact(bool hasNectar) = 0;
    virtual void updatePlayerHiveContact(bool transferring) = 0;
    virtual void endPlayerHiveContact() = 0;
};
