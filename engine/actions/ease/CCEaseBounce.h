#pragma once

#include "engine/actions/ease/CCActionEase.h"

// The base of the bounce eases; passes the progress on unchanged itself.
class CCEaseBounce : public CCActionEase {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCEaseBounce> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCEaseBounce>(std::move(action));
    }

    // A ball dropped at progress 0 that lands at 1 after three shrinking bounces: 0 at 0, 1 at 1,
    // and 1 at each landing (1/2.75, 2/2.75, 2.5/2.75).
    float bounceTime(float t) const;

protected:
    CCEaseBounce* makeEmptyCopy() const override { return new CCEaseBounce; }
};
