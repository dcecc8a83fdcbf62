#pragma once

#include "engine/actions/grid/CCFlipX3D.h"

// Turns the picture over about its horizontal middle line: one row swings over the other, until
// at the end the picture shows upside down.
class CCFlipY3D : public CCFlipX3D {
public:
    static RefPtr<CCFlipY3D> actionWithDuration(float duration);

    void update(float t) override;

protected:
    CCFlipY3D* makeEmptyCopy() const override { return new CCFlipY3D; }
};
