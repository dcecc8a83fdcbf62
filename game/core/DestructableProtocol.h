#pragma once

// An object that impacts damage: the contact listener adds the normal impulses of its contacts
// (newton-seconds) to its accumulated impulse and asks it to apply the damage after the step.
class DestructableProtocol {
public:
    virtual ~DestructableProtocol() = default;
    virtual bool canBeDamaged() = 0;
    virtual float accumulatedImpulse() = 0;
    virtual void setAccumulatedImpulse(float impulse) = 0;
    virtual void applyDamage() = 0;
    virtual void destroy() = 0;
};
