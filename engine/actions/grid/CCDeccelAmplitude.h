#pragma once

#include "engine/actions/grid/CCAccelDeccelAmplitude.h"

// Runs an amplitude effect with its amplitude rate at (1 - t) ^ rate.
class CCDeccelAmplitude : public CCAccelDeccelAmplitude {
public:
    static RefPtr<CCDeccelAmplitude> actionWithAction(RefPtr<CCActionInterval> action, float duration);

protected:
    CCDeccelAmplitude* makeEmptyCopy() const override { return new CCDeccelAmplitude; }
    float amplitudeRateAt(float t) const override;
};
