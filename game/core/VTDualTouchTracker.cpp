#include "game/core/VTDualTouchTracker.h"

#include <algorithm>
#include <cmath>

#include "engine/core/CCDirector.h"

namespace {

// The first two touching touches of the event and how many there are in all.
struct TouchingTouches {
    int count = 0;
    Touch first[2];
};

TouchingTouches touchingTouches(const Event& event) {
    TouchingTouches touching;
    for (const Touch& touch : event.touches) {
        if (!(touch.phase & kTouchPhaseTouching)) continue;
        if (touching.count < 2) touching.first[touching.count] = touch;
        ++touching.count;
    }
    return touching;
}

double spanX(const Touch& a, const Touch& b) { return std::fabs(a.normalizedPosition.x - b.normalizedPosition.x); }
double spanY(const Touch& a, const Touch& b) { return std::fabs(a.normalizedPosition.y - b.normalizedPosition.y); }
double minX(const Touch& a, const Touch& b) { return std::min(a.normalizedPosition.x, b.normalizedPosition.x); }
double minY(const Touch& a, const Touch& b) { return std::min(a.normalizedPosition.y, b.normalizedPosition.y); }

}  // namespace

bool VTDualTouchTracker::ccTouchesBeganWithEvent(const Event& event) {
    if (!isEnabled()) return false;
    const TouchingTouches touching = touchingTouches(event);
    if (touching.count == 2) {
        initialPoint_ = event.locationInWindow;
        for (int i = 0; i < 2; ++i) initialTouches_[i] = currentTouches_[i] = touching.first[i];
    } else if (touching.count > 2) {
        if (tracking_) cancelTracking();
        else releaseTouches();
    }
    return true;
}

bool VTDualTouchTracker::ccTouchesMovedWithEvent(const Event& event) {
    if (!isEnabled()) return false;
    modifiers_ = event.modifierFlags;
    const TouchingTouches touching = touchingTouches(event);
    if (touching.count != 2 || !initialTouches_[0] || !initialTouches_[1]) return true;

    currentTouches_ = {};
    for (const Touch& touch : touching.first) {
        currentTouches_[touch.identity == initialTouches_[0]->identity ? 0 : 1] = touch;
    }
    if (tracking_) {
        sendAction(updateTrackingAction());
        return true;
    }
    const CGPoint origin = deltaOrigin();
    const CGSize size = deltaSize();
    const bool withinThreshold = std::fabs(origin.x) <= threshold_ && std::fabs(origin.y) <= threshold_ &&
                                 std::fabs(size.width) <= threshold_ && std::fabs(size.height) <= threshold_;
    if (!withinThreshold) {
        tracking_ = true;
        sendAction(beginTrackingAction());
    }
    return true;
}

bool VTDualTouchTracker::ccTouchesEndedWithEvent(const Event& event) {
    if (!isEnabled()) return false;
    modifiers_ = event.modifierFlags;
    cancelTracking();
    return true;
}

bool VTDualTouchTracker::ccTouchesCancelledWithEvent(const Event&) {
    if (!isEnabled()) return false;
    cancelTracking();
    return true;
}

void VTDualTouchTracker::cancelTracking() {
    if (!tracking_) return;
    // The delegate may ask for the measures while it hears of the end.
    sendAction(endTrackingAction());
    tracking_ = false;
    releaseTouches();
}

void VTDualTouchTracker::releaseTouches() {
    initialTouches_ = {};
    currentTouches_ = {};
}

bool VTDualTouchTracker::hasAllTouches() const {
    return initialTouches_[0] && initialTouches_[1] && currentTouches_[0] && currentTouches_[1];
}

CGPoint VTDualTouchTracker::deltaOrigin() const {
    if (!hasAllTouches()) return CGPointZero;
    const CGSize window = CCDirector::sharedDirector()->winSize();
    const Touch &i0 = *initialTouches_[0], &i1 = *initialTouches_[1];
    const Touch &c0 = *currentTouches_[0], &c1 = *currentTouches_[1];
    return {(minX(c0, c1) - minX(i0, i1)) * window.width, (minY(c0, c1) - minY(i0, i1)) * window.height};
}

CGSize VTDualTouchTracker::deltaSize() const {
    if (!hasAllTouches()) return CGSizeZero;
    const CGSize window = CCDirector::sharedDirector()->winSize();
    const Touch &i0 = *initialTouches_[0], &i1 = *initialTouches_[1];
    const Touch &c0 = *currentTouches_[0], &c1 = *currentTouches_[1];
    return {(spanX(c0, c1) - spanX(i0, i1)) * window.width, (spanY(c0, c1) - spanY(i0, i1)) * window.height};
}

CGPoint VTDualTouchTracker::averagePoint() const {
    if (!hasAllTouches()) return CGPointZero;
    const CGSize window = CCDirector::sharedDirector()->winSize();
    const CGPoint a = currentTouches_[0]->normalizedPosition;
    const CGPoint b = currentTouches_[1]->normalizedPosition;
    return {(a.x + b.x) / 2 * window.width, (a.y + b.y) / 2 * window.height};
}
