#pragma once

#include "platform/foundation/Geometry.h"

namespace game {

// A place on a LinearPath, advanced in place by the path's delta queries.
struct PathPosition {
    CGPoint position;           // world points
    float distance = 0;         // points along the path, within [0, total length]
    float distancePerc = 0;     // the same as a fraction of the total length, within [0, 1]
    CGPoint normal{1, 0};       // unit normal of the segment the position lies on
};

}  // namespace game
