#pragma once

#include <string>

#include "engine/actions/CCActionInterval.h"

class CCNode;

// Animates a float property of a node, named as CCNode::setValueForKey names it ("rotation",
// "scaleX", "opacity"...), from one value to another. A target that is not a CCNode, or a key it
// does not have, is refused with one logged line and the action then changes nothing.
class CCActionTween : public CCActionInterval {
public:
    static RefPtr<CCActionTween> actionWithDuration(float duration, const std::string& key, float from, float to);
    bool initWithDuration(float duration, const std::string& key, float from, float to);

    // The same duration, key and values.
    RefPtr<CCAction> copy() const override;
    void startWithTarget(Object* target) override;
    void update(float t) override;
    // The same key and duration, from `to` back to `from`.
    RefPtr<CCFiniteTimeAction> reverse() const override;

protected:
    CCActionTween* makeEmptyCopy() const override { return new CCActionTween; }

private:
    std::string key_;
    float from_ = 0;          // the value at progress 0
    float to_ = 0;            // the value at progress 1
    float delta_ = 0;         // to_ - from_, from the start
    CCNode* node_ = nullptr;  // the target as a node while running and accepting the key; not retained
};
