#pragma once

#include "game/core/VantrelGameLayer.h"

// A play scene with its physics alone (no level, nothing drawn), the current game layer while it
// lives: what level objects need to build their bodies in tests, fuzz targets and benchmarks.
class PhysicsOnlyLayer : public VantrelGameLayer {
public:
    PhysicsOnlyLayer() {
        setCurrentGameLayer(this);
        createPhysics();
    }
    ~PhysicsOnlyLayer() override { setCurrentGameLayer(nullptr); }
};
