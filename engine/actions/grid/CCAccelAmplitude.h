#pragma once

#include "engine/actions/grid/CCAccelDeccelAmplitude.h"

// Runs an amplitude effect with its amplitude rate at t ^ rate.
class CCAccelAmplitude : public CCAccelDeccelAmplitude {
public:
    static RefPtr<CCAccelAmplitude> actionWithAction(RefPtr<CCActionInterval> action, float duration);

protected:
    CCAccelAmplitude* makeEmptyCopy() const override { return new CCAccelAmplitude; }
    float amplitudeRateAt(float t) const override;
};
