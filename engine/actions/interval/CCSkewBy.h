#pragma once

#include "engine/actions/interval/CCSkewTo.h"

// Skews a node by amounts (degrees) from its start skews, reduced as for a skew-to.
class CCSkewBy : public CCSkewTo {
public:
    // Seconds and the amounts (degrees).
    static RefPtr<CCSkewBy> actionWithDuration(float duration, float deltaSkewX, float deltaSkewY);
    bool initWithDuration(float duration, float deltaSkewX, float deltaSkewY);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    // The same skew backwards.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCSkewBy* makeEmptyCopy() const override { return new CCSkewBy; }

private:
    RefPtr<CCSkewBy> makeWith(float deltaSkewX, float deltaSkewY) const;
};
