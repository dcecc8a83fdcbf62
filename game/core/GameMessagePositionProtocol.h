#pragma once

#include "platform/foundation/Geometry.h"

// Something speech bubbles can follow: it answers the point they hang from, in points in the
// messages holder's space (the world's).
class GameMessagePositionProtocol {
public:
    virtual ~GameMessagePositionProtocol() = default;
    virtual CGPoint position() const = 0;
};
