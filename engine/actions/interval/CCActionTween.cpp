#include "engine/actions/interval/CCActionTween.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "engine/core/CCNode.h"
#include "engine/core/CCRGBAProtocol.h"
#include "engine/render/CCLabelBMFont.h"
#include "engine/render/CCLabelTTF.h"
#include "engine/render/CCParticleSystem.h"
#include "engine/render/CCProgressTimer.h"
#include "platform/foundation/Log.h"

namespace {

// One float property a tween can set: `receiver` answers the node seen as the class that has the
// property, or null when the node is not of that class; `set` sets the property on that answer.
struct TweenProperty {
    std::string_view key;
    void* (*receiver)(CCNode& node);
    void (*set)(void* receiver, float value);
};

template <class T>
void* receiverAs(CCNode& node) {
    return dynamic_cast<T*>(&node);
}

template <class Setter>
struct SetterClass;
template <class T>
struct SetterClass<void (T::*)(float)> {
    using type = T;
};

template <auto Setter>
void setWith(void* receiver, float value) {
    (static_cast<typename SetterClass<decltype(Setter)>::type*>(receiver)->*Setter)(value);
}

// The property `key` set through a member function taking a float.
template <auto Setter>
constexpr TweenProperty floatProperty(std::string_view key) {
    return {key, receiverAs<typename SetterClass<decltype(Setter)>::type>, setWith<Setter>};
}

void setClampedOpacity(void* receiver, float value) {
    // Limited first: a float beyond the byte's range has no defined conversion. NaN gives 0.
    const float limited = value > 0 ? std::min(value, 255.0f) : 0.0f;
    static_cast<CCRGBAProtocol*>(receiver)->setOpacity(static_cast<uint8_t>(limited));
}

// Every key a tween knows; a key may appear once per class that has it.
constexpr TweenProperty kTweenProperties[] = {
    floatProperty<&CCNode::setRotation>("rotation"),
    floatProperty<&CCNode::setRotationX>("rotationX"),
    floatProperty<&CCNode::setRotationY>("rotationY"),
    floatProperty<&CCNode::setScale>("scale"),
    floatProperty<&CCNode::setScaleX>("scaleX"),
    floatProperty<&CCNode::setScaleY>("scaleY"),
    floatProperty<&CCNode::setSkewX>("skewX"),
    floatProperty<&CCNode::setSkewY>("skewY"),
    floatProperty<&CCNode::setVertexZ>("vertexZ"),
    {"opacity", receiverAs<CCRGBAProtocol>, setClampedOpacity},
    floatProperty<&CCProgressTimer::setPercentage>("percentage"),
    floatProperty<&CCParticleSystem::setDuration>("duration"),
    floatProperty<&CCParticleSystem::setLife>("life"),
    floatProperty<&CCParticleSystem::setLifeVar>("lifeVar"),
    floatProperty<&CCParticleSystem::setAngle>("angle"),
    floatProperty<&CCParticleSystem::setAngleVar>("angleVar"),
    floatProperty<&CCParticleSystem::setEmissionRate>("emissionRate"),
    floatProperty<&CCParticleSystem::setStartSize>("startSize"),
    floatProperty<&CCParticleSystem::setStartSizeVar>("startSizeVar"),
    floatProperty<&CCParticleSystem::setEndSize>("endSize"),
    floatProperty<&CCParticleSystem::setEndSizeVar>("endSizeVar"),
    floatProperty<&CCParticleSystem::setStartSpin>("startSpin"),
    floatProperty<&CCParticleSystem::setStartSpinVar>("startSpinVar"),
    floatProperty<&CCParticleSystem::setEndSpin>("endSpin"),
    floatProperty<&CCParticleSystem::setEndSpinVar>("endSpinVar"),
    floatProperty<&CCParticleSystem::setSpeed>("speed"),
    floatProperty<&CCParticleSystem::setSpeedVar>("speedVar"),
    floatProperty<&CCParticleSystem::setTangentialAccel>("tangentialAccel"),
    floatProperty<&CCParticleSystem::setTangentialAccelVar>("tangentialAccelVar"),
    floatProperty<&CCParticleSystem::setRadialAccel>("radialAccel"),
    floatProperty<&CCParticleSystem::setRadialAccelVar>("radialAccelVar"),
    floatProperty<&CCParticleSystem::setStartRadius>("startRadius"),
    floatProperty<&CCParticleSystem::setStartRadiusVar>("startRadiusVar"),
    floatProperty<&CCParticleSystem::setEndRadius>("endRadius"),
    floatProperty<&CCParticleSystem::setEndRadiusVar>("endRadiusVar"),
    floatProperty<&CCParticleSystem::setRotatePerSecond>("rotatePerSecond"),
    floatProperty<&CCParticleSystem::setRotatePerSecondVar>("rotatePerSecondVar"),
    floatProperty<&CCLabelBMFont::setWidth>("width"),
    floatProperty<&CCLabelTTF::setFontSize>("fontSize"),
};

}  // namespace

RefPtr<CCActionTween> CCActionTween::actionWithDuration(float duration, const std::string& key, float from,
                                                        float to) {
    RefPtr<CCActionTween> action(makeRef<CCActionTween>());
    action->initWithDuration(duration, key, from, to);
    return action;
}

bool CCActionTween::initWithDuration(float duration, const std::string& key, float from, float to) {
    CCActionInterval::initWithDuration(duration);
    key_ = key;
    from_ = from;
    to_ = to;
    return true;
}

RefPtr<CCAction> CCActionTween::copy() const {
    RefPtr<CCActionTween> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, key_, from_, to_);
    return copy;
}

void CCActionTween::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    delta_ = to_ - from_;
    setter_ = nullptr;
    receiver_ = nullptr;
    auto* node = dynamic_cast<CCNode*>(target);
    if (!node) {
        if (target) logLine("Lumora: a tween of \"%s\" needs a node to change", key_.c_str());
        return;
    }
    for (const TweenProperty& property : kTweenProperties) {
        if (property.key != key_) continue;
        if (void* receiver = property.receiver(*node)) {
            setter_ = property.set;
            receiver_ = receiver;
            return;
        }
    }
    logLine("Lumora: %s has no float property \"%s\"", className(*node).c_str(), key_.c_str());
}

void CCActionTween::update(float t) {
    if (setter_) setter_(receiver_, to_ - delta_ * (1 - t));
}

RefPtr<CCFiniteTimeAction> CCActionTween::reverse() const {
    RefPtr<CCActionTween> reversed(makeEmptyCopy());
    reversed->initWithDuration(duration_, key_, to_, from_);
    return reversed;
}
