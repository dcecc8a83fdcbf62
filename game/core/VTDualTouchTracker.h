#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "engine/core/CCEventDelegate.h"
#include "game/core/VTInputTracker.h"
#include "platform/foundation/Geometry.h"

// Recognises a drag or pinch of two fingers on the trackpad. Once the two fingers' bounding box
// has moved or grown by more than `threshold` points in some direction, the delegate gets the
// begin action, then the update action on every later move, and the end action when a finger
// lifts, a third finger lands, the gesture is cancelled or the tracker is disabled.
//
// Measures are in points: the touches' normalised positions (0..1 across the trackpad) times the
// director's window size, read when they are asked for. The user registers the tracker with the
// event dispatcher as a touch delegate.
//
// Engine thread only.
class VTDualTouchTracker : public VTInputTracker, public CCTouchEventDelegate {
public:
    VTDualTouchTracker() = default;

    // Each answers whether the event was consumed: false while disabled, true otherwise.
    bool ccTouchesBeganWithEvent(const Event& event) override;
    bool ccTouchesMovedWithEvent(const Event& event) override;
    bool ccTouchesEndedWithEvent(const Event& event) override;
    bool ccTouchesCancelledWithEvent(const Event& event) override;

    // While tracking: the end action, then the touches are dropped. Otherwise nothing.
    void cancelTracking() override;
    void releaseTouches();

    // How far the lower-left corner of the fingers' bounding box moved since the gesture began;
    // (0, 0) unless both fingers are known as they began and as they are now.
    CGPoint deltaOrigin() const;
    // How much the bounding box grew since the gesture began, under the same condition.
    CGSize deltaSize() const;
    // The middle of the two fingers now, under the same condition.
    CGPoint averagePoint() const;
    CGPoint averageCGPoint() const { return averagePoint(); }
    // The drag follows the middle of the two fingers.
    CGPoint dragLocation() const override { return averagePoint(); }

    bool isTracking() const { return tracking_; }
    // Points, 1.0 at start.
    double threshold() const { return threshold_; }
    void setThreshold(double threshold) { threshold_ = threshold; }
    // Where the gesture began, window points.
    CGPoint initialPoint() const { return initialPoint_; }
    // The modifier flags of the last moved or ended event.
    uint64_t modifiers() const { return modifiers_; }
    Object* userInfo() const { return userInfo_.get(); }
    void setUserInfo(RefPtr<Object> userInfo) { userInfo_ = std::move(userInfo); }

private:
    // Both fingers as they began and as they are now.
    bool hasAllTouches() const;

    bool tracking_ = false;
    CGPoint initialPoint_;
    uint64_t modifiers_ = 0;
    double threshold_ = 1.0;
    std::array<std::optional<Touch>, 2> initialTouches_;
    std::array<std::optional<Touch>, 2> currentTouches_;  // slot i: the finger of initialTouches_[i]
    RefPtr<Object> userInfo_;
};
