#pragma once

#include "game/core/DestructableProtocol.h"

// Something the bee takes by touching it.
class PickupProtocol : public DestructableProtocol {
public:
    // Whether it can still be taken; the contact listener lists only such pickups.
    virtual bool canBeConsumed() = 0;
    virtual void consume() = 0;
};
