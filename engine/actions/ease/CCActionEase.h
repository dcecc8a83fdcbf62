#pragma once

#include <utility>

#include "engine/actions/CCActionInterval.h"

// Wraps an interval action and bends its time: it lasts as long as the inner action and passes
// each progress through a curve to the inner action's update(). The inner action is started and
// stopped with the ease but never stepped; only the ease's own time decides when it is done.
// This base passes the progress on unchanged.
class CCActionEase : public CCActionInterval {
public:
    // An ease around `action` (retained), lasting as long as it.
    static RefPtr<CCActionEase> actionWithAction(RefPtr<CCActionInterval> action) {
        return makeEase<CCActionEase>(std::move(action));
    }
    // Throws NamedException "CCActionEase" without an action.
    bool initWithAction(RefPtr<CCActionInterval> action);

    // An ease of the receiver's class around a copy of the inner action.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    void stop() override;
    void update(float t) override;
    // An ease of the receiver's class around the inner action's reverse; null when the inner
    // action has none.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    // Every curve computes in single precision.
    static constexpr float kPi = 3.14159265f;
    static constexpr float kHalfPi = kPi / 2;

    CCActionEase* makeEmptyCopy() const override { return new CCActionEase; }

    // A new ease of class Ease around `action`, initialised with the extra parameters.
    template <typename Ease, typename... Params>
    static RefPtr<Ease> makeEase(RefPtr<CCActionInterval> action, Params... params) {
        RefPtr<Ease> ease = makeRef<Ease>();
        ease->initWithAction(std::move(action), params...);
        return ease;
    }
    // A new ease of class Ease around the inner action's reverse; null when it has none.
    template <typename Ease, typename... Params>
    RefPtr<Ease> makeReverse(Params... params) const {
        RefPtr<CCActionInterval> reversed = otherReverse();
        return reversed ? makeEase<Ease>(std::move(reversed), params...) : nullptr;
    }
    // The inner action's reverse when it is an interval action, else null.
    RefPtr<CCActionInterval> otherReverse() const;
    RefPtr<CCActionInterval> otherCopy() const;

    RefPtr<CCActionInterval> other_;
};
