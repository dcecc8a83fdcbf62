#pragma once

#include <string>

#include "engine/actions/CCActionInterval.h"

// Animates a float property of a node, named by its key, from one value to another. The keys:
//   any node: "rotation", "rotationX", "rotationY", "scale", "scaleX", "scaleY", "skewX", "skewY",
//     "vertexZ";
//   nodes with CCRGBAProtocol: "opacity" (limited to 0..255 and truncated);
//   CCProgressTimer: "percentage";
//   CCParticleSystem: "duration", "life", "lifeVar", "angle", "angleVar", "emissionRate",
//     "startSize", "startSizeVar", "endSize", "endSizeVar", "startSpin", "startSpinVar", "endSpin",
//     "endSpinVar"; the gravity mode's "speed", "speedVar", "tangentialAccel",
//     "tangentialAccelVar", "radialAccel", "radialAccelVar" and the radius mode's "startRadius",
//     "startRadiusVar", "endRadius", "endRadiusVar", "rotatePerSecond", "rotatePerSecondVar",
//     stored whatever the system's mode, as its own setters do;
//   CCLabelBMFont: "width" (the wrap width); CCLabelTTF: "fontSize".
// The key is looked up once, at the start, so that a step only calls the setter. A target that is
// not a CCNode, or a key it does not have, is refused there with one logged line, and the action
// then changes nothing.
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
    // The key's setter and what it is called on (the target, seen as the class that has the
    // property), found at the start; null while there is nothing to set. Not retained.
    void (*setter_)(void* receiver, float value) = nullptr;
    void* receiver_ = nullptr;
};
