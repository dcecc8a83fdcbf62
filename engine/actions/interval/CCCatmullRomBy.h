#pragma once

#include "engine/actions/interval/CCCardinalSplineBy.h"

// CCCardinalSplineBy with the tension fixed at 0.5.
class CCCatmullRomBy : public CCCardinalSplineBy {
public:
    static RefPtr<CCCatmullRomBy> actionWithDuration(float duration, RefPtr<CCPointArray> points) {
        RefPtr<CCCatmullRomBy> action = makeRef<CCCatmullRomBy>();
        action->initWithDuration(duration, std::move(points));
        return action;
    }
    bool initWithDuration(float duration, RefPtr<CCPointArray> points) {
        return CCCardinalSplineBy::initWithDuration(duration, std::move(points), 0.5);
    }

protected:
    CCCatmullRomBy* makeEmptyCopy() const override { return new CCCatmullRomBy; }
};
