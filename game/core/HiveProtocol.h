#pragma once

#include "engine/core/ccTypes.h"
#include "platform/foundation/Geometry.h"

// What the level and the play scene ask of the hive (type 1000): where its honey fill tops out,
// and a tint for its sprites.
class HiveProtocol {
public:
    virtual ~HiveProtocol() = default;
    // The top of the honey fill, world points: the night flight and the transfer stream aim here.
    virtual CGPoint position() const = 0;
    // Colours the hive's inner, honey and outer sprites.
    virtual void setTint(ccColor3B colour) = 0;
};
