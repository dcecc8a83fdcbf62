#pragma once

#include "engine/render/CCSprite.h"

// A sprite meant to follow a physics body. Here it holds only the flag telling whether the body's
// rotation is ignored, and always reports itself dirty, so that a batch rewrites its quad every
// frame whatever moved it.
class CCPhysicsSprite : public CCSprite {
public:
    bool ignoreBodyRotation() const { return ignoreBodyRotation_; }
    void setIgnoreBodyRotation(bool ignore) { ignoreBodyRotation_ = ignore; }

    // Always true.
    bool dirty() const override { return true; }

protected:
    ~CCPhysicsSprite() override = default;

private:
    bool ignoreBodyRotation_ = false;
};
