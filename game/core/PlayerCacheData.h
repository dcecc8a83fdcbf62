#pragma once

#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"

// One frame of the lead bee's pose in the trail that the buddies follow: its head sprite's
// position (points), rotation (degrees, clockwise), colour (which carries the hiding tint) and
// vertical flip (which carries the facing).
struct PlayerCacheData {
    CGPoint position;
    float rotation = 0;
    ccColor3B colour{255, 255, 255};
    bool flipY = false;
};
