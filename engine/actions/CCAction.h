#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/Object.h"

// The tag of an action that has none.
inline constexpr int64_t kCCActionTagInvalid = -1;

// Something that, once started on a target, is stepped once per frame and changes the target until
// it is done. The action manager owns running actions: it starts them, calls step() and isDone()
// each frame and stop() when they are done.
//
// Each class that can be copied overrides makeEmptyCopy() to make an instance of itself, and
// copy() when it has construction parameters of its own.
class CCAction : public Object {
public:
    // A new initialised instance.
    static RefPtr<CCAction> action();

    // No target, tag kCCActionTagInvalid. False when the class cannot be made without parameters.
    virtual bool init();

    // "<CCAction = 0x... | Tag = 5>".
    std::string description() const override;

    // A new instance of the receiver's class, not started; here with the same tag.
    virtual RefPtr<CCAction> copy() const;

    // Starts changing `target` (not retained).
    virtual void startWithTarget(Object* target);
    // Forgets the target; originalTarget() is kept so that the action manager can still find the
    // action's entry.
    virtual void stop();
    virtual bool isDone() const;
    // One frame of `dt` seconds; does nothing here.
    virtual void step(float dt);
    // Applies progress `t`, 0 at the start to 1 at the end; does nothing here.
    virtual void update(float t);

    int64_t tag() const { return tag_; }
    void setTag(int64_t tag) { tag_ = tag; }
    // The object being changed while the action runs; null before the start and after stop().
    Object* target() const { return target_; }
    // The object the action was last started on.
    Object* originalTarget() const { return originalTarget_; }

protected:
    // A default-constructed, not yet initialised object of the receiver's own class.
    virtual CCAction* makeEmptyCopy() const { return new CCAction; }

    Object* originalTarget_ = nullptr;
    Object* target_ = nullptr;
    int64_t tag_ = kCCActionTagInvalid;
};
