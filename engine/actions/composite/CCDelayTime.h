#pragma once

#include "engine/actions/CCActionInterval.h"

// Waits for its duration and changes nothing; sequences use it for pauses and spawns to stretch
// the shorter of their parts.
class CCDelayTime : public CCActionInterval {
public:
    static RefPtr<CCDelayTime> actionWithDuration(float duration) {
        RefPtr<CCDelayTime> delay = makeRef<CCDelayTime>();
        delay->initWithDuration(duration);
        return delay;
    }

    // A delay of the same duration.
    RefPtr<CCFiniteTimeAction> reverse() const override { return refCast<CCFiniteTimeAction>(copy()); }

protected:
    CCDelayTime* makeEmptyCopy() const override { return new CCDelayTime; }
};
