#pragma once

#include <cstdint>

#include "game/core/DestructableProtocol.h"

class PhysicsSprite;

// Something the bee takes by touching it, paying nectar and honey (droplets, 100000 per unit;
// negative nectar costs the bee), time (seconds, either way) and buddies.
class PickupProtocol : public DestructableProtocol {
public:
    // Whether it can still be taken; the contact listener lists only such pickups.
    virtual bool canBeConsumed() = 0;
    // Pays out once; the pickup may leave the level (and be freed once no one holds it).
    virtual void consume() = 0;

    virtual int32_t nectarDroplets() const { return 0; }
    virtual int32_t honeyDroplets() const { return 0; }
    virtual int32_t timeDifference() const { return 0; }
    virtual int32_t buddies() const { return 0; }
    // Where it is drawn (new buddies start there), or null.
    virtual PhysicsSprite* physicsSprite() const { return nullptr; }
};
