#pragma once

#include "engine/actions/composite/CCActionPair.h"

// Runs two actions at once on its target, for the longer of their durations; longer spawns are
// nested pairs (actions(), actionWithArray()). The shorter part is stored as a sequence of itself
// and a delay, so that it finishes (update 1) at its own end and is not updated after that. When
// both parts are instant, each gets a zero delay, so that it applies once rather than at both of
// the spawn's updates.
class CCSpawn : public CCActionPair<CCSpawn> {
public:
    // Both parts are required (NSInvalidArgumentException).
    bool initOne(RefPtr<CCFiniteTimeAction> one, RefPtr<CCFiniteTimeAction> two);

    // Stepping: each call goes to both parts.
    void startWithTarget(Object* target) override;
    void stop() override;
    void update(float t) override;
    // Around the reverses of the stored (padded) parts; both must have one.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCSpawn* makeEmptyCopy() const override { return new CCSpawn; }
};
