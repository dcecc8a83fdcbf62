#pragma once

#include "engine/actions/grid/CCGrid3DAction.h"

// A lens bulging the picture in depth around a centre: lattice points within `radius` of it are
// raised the more the nearer they are, by lensEffect. The mesh is worked out only after the centre
// changed (and once at the start); progress alone changes nothing.
class CCLens3D : public CCGrid3DAction {
public:
    // Centre in points; radius in points. Lens effect 0.7.
    static RefPtr<CCLens3D> actionWithPosition(CGPoint position, float radius, ccGridSize gridSize, float duration);
    bool initWithPosition(CGPoint position, float radius, ccGridSize gridSize, float duration);

    // Centre, radius, grid size and duration; the lens effect starts at 0.7 again.
    RefPtr<CCAction> copy() const override;
    void update(float t) override;

    CGPoint position() const { return position_; }
    // A different centre has the mesh worked out again at the next update.
    void setPosition(CGPoint position);
    // Takes effect with the next change of centre.
    float lensEffect() const { return lensEffect_; }
    void setLensEffect(float lensEffect) { lensEffect_ = lensEffect; }

protected:
    CCLens3D* makeEmptyCopy() const override { return new CCLens3D; }

private:
    CGPoint position_;         // points
    float radius_ = 0;         // points
    float lensEffect_ = 0.7f;  // exponent of the bulge and its height factor
    bool dirty_ = true;        // the mesh needs working out
};
