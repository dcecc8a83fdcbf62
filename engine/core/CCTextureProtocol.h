#pragma once

#include "engine/core/CCBlendProtocol.h"
#include "platform/foundation/Object.h"

class CCTexture2D;

// A blending node that draws from one texture that callers may change.
class CCTextureProtocol : public CCBlendProtocol {
public:
    // Null when the node has no texture.
    virtual CCTexture2D* texture() const = 0;
    virtual void setTexture(RefPtr<CCTexture2D> texture) = 0;

protected:
    ~CCTextureProtocol() = default;
};
