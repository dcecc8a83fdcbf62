#pragma once

#include "engine/actions/grid/CCAmplitudeEffect.h"
#include "engine/actions/grid/CCGrid3DAction.h"

// The picture twists about a centre: each lattice point turns about it by an angle that grows
// with the point's distance, in grid cells, from the grid's middle, swinging `twirls` times over
// the duration; amplitude x amplitudeRate x 0.1 radians per cell at the swing's peak.
class CCTwirl : public CCGrid3DAction, public CCAmplitudeEffect {
public:
    // Centre in points.
    static RefPtr<CCTwirl> actionWithPosition(CGPoint position, int32_t twirls, float amplitude, ccGridSize gridSize,
                                              float duration);
    bool initWithPosition(CGPoint position, int32_t twirls, float amplitude, ccGridSize gridSize, float duration);

    // Centre, twirls, amplitude, grid size and duration; the rate starts at 1 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

    CGPoint position() const { return position_; }
    void setPosition(CGPoint position) { position_ = position; }

protected:
    CCTwirl* makeEmptyCopy() const override { return new CCTwirl; }

private:
    CGPoint position_;   // points
    int32_t twirls_ = 0;
};
