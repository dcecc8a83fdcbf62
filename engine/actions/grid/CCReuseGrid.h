#pragma once

#include "engine/actions/CCActionInstant.h"

// Lets the next grid actions on the target build on the current deformation: adds `times` reuse
// permits to the target node's grid when it is active. Nothing otherwise.
class CCReuseGrid : public CCActionInstant {
public:
    static RefPtr<CCReuseGrid> actionWithTimes(int32_t times);
    bool initWithTimes(int32_t times);

    // With the same number of permits (so is the reverse).
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;

protected:
    CCReuseGrid* makeEmptyCopy() const override { return new CCReuseGrid; }

private:
    int32_t t_ = 0;  // permits to add
};
