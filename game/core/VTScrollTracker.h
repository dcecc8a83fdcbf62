#pragma once

#include "game/core/VTInputTracker.h"
#include "platform/window/Event.h"

// Turns the view's scroll events, a wheel's notches or a two-finger swipe on a touchpad (which
// Linux delivers as scrolling), into a drag along x. The first event begins the drag and moves it,
// so that every notch counts; each later one moves it by its delta times pointsPerUnit. Only the
// larger axis of each event counts, and either axis drives x: a scroll to the left or up (positive
// deltaX or deltaY, as the view reads it) moves the drag right. The view's sign already holds
// natural scrolling, so with it the drag follows the fingers.
//
// A pause of kPauseSeconds in the events ends the drag. Time is the frame time handed to
// advance(), so that the pause and the speed depend on the frames alone.
//
// The user hands the view's scroll events to scrollWheel() and calls advance() every frame.
//
// Engine thread only.
class VTScrollTracker : public VTInputTracker {
public:
    // Seconds without a scroll event that end the drag.
    static constexpr double kPauseSeconds = 0.1;
    // The speed is the drag's over about its last this many seconds (older moves count less).
    static constexpr double kSpeedSeconds = 0.1;
    // The speed counts as at most this many scroll units a second. A wheel spun fast sends its
    // notches in bursts: the number of notches, not the burst, says how far the drag goes.
    static constexpr double kMaxUnitsPerSecond = 20;

    VTScrollTracker() = default;

    // Takes a scroll event; answers false, doing nothing, while disabled or when the event scrolls
    // by nothing.
    bool scrollWheel(const Event& event);
    // `dt` seconds of frame time pass: a drag whose last event is kPauseSeconds old ends.
    void advance(double dt);
    // While tracking: the end action, then the drag is over. Otherwise nothing.
    void cancelTracking() override;

    // (x, 0), x being the sum of every move so far, window points.
    CGPoint dragLocation() const override { return {x_, 0}; }
    // Points per second along x: the drag's moves, each weighted by e^(-age / kSpeedSeconds), over
    // kSpeedSeconds, within kMaxUnitsPerSecond units a second either way. A lone notch gives its
    // move over kSpeedSeconds, a steady scroll its own speed; asked for at an event, it includes
    // that event's move.
    std::optional<double> measuredDragSpeed() const override;

    bool isTracking() const { return tracking_; }
    // Window points the drag moves per scroll unit (one wheel notch); 1 at start.
    void setPointsPerUnit(double points) { pointsPerUnit_ = points; }

private:
    bool tracking_ = false;
    double pointsPerUnit_ = 1;
    double x_ = 0;            // window points
    double recentMoves_ = 0;  // window points, weighted by age
    double idleSeconds_ = 0;  // frame time since the last event
};
