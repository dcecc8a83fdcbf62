#pragma once

#include <cstdint>

#include "engine/actions/CCActionInterval.h"

class CCNode;

// Shows and hides a node `blinks` times over the duration: each blink is hidden in the first half
// of its slice of time and shown in the second. The node keeps the visibility of the last update
// before the action was done; the one it had before is not restored.
class CCBlink : public CCActionInterval {
public:
    // Seconds and the number of blinks.
    static RefPtr<CCBlink> actionWithDuration(float duration, uint64_t blinks);
    bool initWithDuration(float duration, uint64_t blinks);

    // The same action, unstarted, built from the construction parameters.
    RefPtr<CCAction> copy() const override;
    // A target that is not a CCNode is left alone.
    void startWithTarget(Object* target) override;
    // With no blinks the visibility is left as it is.
    void update(float t) override;
    // Blinking is its own reverse: an equal blink.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCBlink* makeEmptyCopy() const override { return new CCBlink; }

private:
    RefPtr<CCBlink> makeCopy() const;

    CCNode* node_ = nullptr;  // the running target, not retained
    uint64_t times_ = 0;
};
