#include "game/core/VTInputTracker.h"

void VTInputTracker::setIsEnabled(bool enabled) {
    if (enabled_ && !enabled) cancelTracking();
    enabled_ = enabled;
}

void VTInputTracker::sendAction(SEL_TrackerAction action) {
    if (delegate_ && action) (delegate_->*action)(this);
}
