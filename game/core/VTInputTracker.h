#pragma once

#include "platform/foundation/Object.h"

class CCGLView;

// A method of the tracker's delegate that the tracker calls with itself as the argument. Make one
// with ccCallSelector (engine/actions/CCCallFunc.h) from a `void (T::*)(Object* tracker)`.
using SEL_TrackerAction = void (Object::*)(Object* tracker);

// The base of the input trackers: a delegate that receives a tracker's actions, the view whose
// input it reads, and a switch. A new tracker is disabled.
//
// Engine thread only.
class VTInputTracker : public Object {
public:
    VTInputTracker() = default;

    bool isEnabled() const { return enabled_; }
    // Turning an enabled tracker off cancels what it is tracking first.
    void setIsEnabled(bool enabled);
    // Ends the gesture being tracked; nothing here.
    virtual void cancelTracking() {}

    // Not retained: it must outlive the tracker or be cleared first.
    Object* delegate() const { return delegate_; }
    void setDelegate(Object* delegate) { delegate_ = delegate; }
    // Not retained.
    CCGLView* view() const { return view_; }
    void setView(CCGLView* view) { view_ = view; }

protected:
    // Calls the action on the delegate with this tracker; nothing when either is missing.
    void sendAction(SEL_TrackerAction action);

private:
    Object* delegate_ = nullptr;
    CCGLView* view_ = nullptr;
    bool enabled_ = false;
};
