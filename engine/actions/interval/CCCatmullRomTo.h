#pragma once

#include "engine/actions/interval/CCCardinalSplineTo.h"

// CCCardinalSplineTo with the tension fixed at 0.5.
class CCCatmullRomTo : public CCCardinalSplineTo {
public:
    static RefPtr<CCCatmullRomTo> actionWithDuration(float duration, RefPtr<CCPointArray> points) {
        RefPtr<CCCatmullRomTo> action = makeRef<CCCatmullRomTo>();
        action->initWithDuration(duration, std::move(points));
        return action;
    }
    bool initWithDuration(float duration, RefPtr<CCPointArray> points) {
        return CCCardinalSplineTo::initWithDuration(duration, std::move(points), 0.5);
    }

protected:
    CCCatmullRomTo* makeEmptyCopy() const override { return new CCCatmullRomTo; }
};
