#pragma once

#include <optional>

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCGLView;

// A method of the tracker's delegate that the tracker calls with itself as the argument. Make one
// with ccCallSelector (engine/actions/CCCallFunc.h) from a `void (T::*)(Object* tracker)`.
using SEL_TrackerAction = void (Object::*)(Object* tracker);

// The base of the input trackers: a delegate that hears when a gesture begins, moves and ends
// through the begin, update and end actions, the view whose input it reads, and a switch. A new
// tracker is disabled.
//
// The gesture drives a drag: dragLocation() is where it has brought it, so that a delegate takes
// every tracker, and a mouse, the same way.
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

    // Where the gesture has brought its drag, window points.
    virtual CGPoint dragLocation() const = 0;
    // The drag's speed along x, points per second, when the tracker measures it; none when the
    // gesture moves about once a frame, so that its last step gives the speed.
    virtual std::optional<double> measuredDragSpeed() const { return std::nullopt; }

    // Not retained: it must outlive the tracker or be cleared first.
    Object* delegate() const { return delegate_; }
    void setDelegate(Object* delegate) { delegate_ = delegate; }
    // Not retained.
    CCGLView* view() const { return view_; }
    void setView(CCGLView* view) { view_ = view; }
    SEL_TrackerAction beginTrackingAction() const { return beginTrackingAction_; }
    void setBeginTrackingAction(SEL_TrackerAction action) { beginTrackingAction_ = action; }
    SEL_TrackerAction updateTrackingAction() const { return updateTrackingAction_; }
    void setUpdateTrackingAction(SEL_TrackerAction action) { updateTrackingAction_ = action; }
    SEL_TrackerAction endTrackingAction() const { return endTrackingAction_; }
    void setEndTrackingAction(SEL_TrackerAction action) { endTrackingAction_ = action; }

protected:
    // Calls the action on the delegate with this tracker; nothing when either is missing.
    void sendAction(SEL_TrackerAction action);

private:
    Object* delegate_ = nullptr;
    CCGLView* view_ = nullptr;
    bool enabled_ = false;
    SEL_TrackerAction beginTrackingAction_ = nullptr;
    SEL_TrackerAction updateTrackingAction_ = nullptr;
    SEL_TrackerAction endTrackingAction_ = nullptr;
};
