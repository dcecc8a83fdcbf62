#pragma once

#include <cstdint>

#include "engine/actions/composite/CCActionPair.h"

// Runs two actions one after the other on its target, each for its own duration; longer sequences
// are nested pairs (actions(), actionWithArray()). A part is started when it is reached and
// stopped when the next one begins; a part that one large step jumps over is still started,
// finished (update 1) and stopped, in order, so every instant or call action in a sequence runs
// exactly once.
class CCSequence : public CCActionPair<CCSequence> {
public:
    // Lasts the sum of both durations; both parts are required (NSInvalidArgumentException).
    bool initOne(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two);

    // Stepping; a part starts when it is reached, and stop() also stops the part that ran last.
    void startWithTarget(Object* target) override;
    void stop() override;
    void update(float t) override;
    // The reverse of the second part, then the reverse of the first; both must have one.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCSequence* makeEmptyCopy() const override { return new CCSequence; }

private:
    float split_ = 0;     // the first part's share of the time, 0..1
    int32_t last_ = -1;   // the part updated last since the start: -1 none, 0 or 1
};
