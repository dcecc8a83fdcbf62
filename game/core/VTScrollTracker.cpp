#include "game/core/VTScrollTracker.h"

#include <algorithm>
#include <cmath>

bool VTScrollTracker::scrollWheel(const Event& event) {
    if (!isEnabled()) return false;
    const double units = std::fabs(event.deltaX) >= std::fabs(event.deltaY) ? event.deltaX : event.deltaY;
    if (units == 0 || !std::isfinite(units)) return false;
    idleSeconds_ = 0;
    if (!tracking_) {
        tracking_ = true;
        recentMoves_ = 0;
        sendAction(beginTrackingAction());
    }
    const double step = units * pointsPerUnit_;
    x_ += step;
    recentMoves_ += step;
    sendAction(updateTrackingAction());
    return true;
}

void VTScrollTracker::advance(double dt) {
    if (!tracking_) return;
    idleSeconds_ += dt;
    recentMoves_ *= std::exp(-dt / kSpeedSeconds);
    if (idleSeconds_ >= kPauseSeconds) cancelTracking();
}

void VTScrollTracker::cancelTracking() {
    if (!tracking_) return;
    sendAction(endTrackingAction());
    tracking_ = false;
}

std::optional<double> VTScrollTracker::measuredDragSpeed() const {
    const double limit = kMaxUnitsPerSecond * std::fabs(pointsPerUnit_);
    return std::clamp(recentMoves_ / kSpeedSeconds, -limit, limit);
}
