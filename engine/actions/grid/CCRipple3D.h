#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCGrid3DAction.h"

// Ripples in depth spreading from a centre: lattice points within `radius` of it swing in z by
// amplitude x amplitudeRate, fading with the square of their distance towards the radius; `waves`
// full swings over the duration. Points at or beyond the radius stay flat.
class CCRipple3D : public CCGrid3DAction, public CCAmplitudeEffect {
public:
    // Centre in points; radius in points.
    static RefPtr<CCRipple3D> actionWithPosition(CGPoint position, float radius, int32_t waves, float amplitude,
                                                 ccGridSize gridSize, float duration);
    bool initWithPosition(CGPoint position, float radius, int32_t waves, float amplitude, ccGridSize gridSize,
                          float duration);

    // Centre, radius, waves, amplitude, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

    CGPoint position() const { return position_; }
    void setPosition(CGPoint position) { position_ = position; }

protected:
    CCRipple3D* makeEmptyCopy() const override { return new CCRipple3D; }

private:
    CGPoint position_;   // points
    float radius_ = 0;   // points
    int32_t waves_ = 0;
};
