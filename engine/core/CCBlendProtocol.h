#pragma once

#include "engine/core/ccTypes.h"

// A node whose drawing blends with a blend function that callers may change: sprites, batch nodes
// and, later, labels and particle systems.
class CCBlendProtocol {
public:
    // Source and destination factors; (GL_ONE, GL_ZERO) draws without blending.
    virtual ccBlendFunc blendFunc() const = 0;
    virtual void setBlendFunc(ccBlendFunc blendFunc) = 0;

protected:
    ~CCBlendProtocol() = default;
};
