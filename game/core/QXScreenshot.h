#pragma once

#include "engine/core/CCTexture2D.h"
#include "platform/image/Image.h"

// Grabs what the director's view is showing: the back buffer, so call it after the frame has been
// drawn and before it is presented (from a node drawn last, such as the notification node). The
// picture covers the whole drawable, top row first, and is opaque.
//
// Engine thread only, with the view's GL context current.
class QXScreenshot {
public:
    // Empty (logged) without a view of some size.
    static Image takeAsCGImage();
    static Image takeAsImage() { return takeAsCGImage(); }
    // A standard-resolution texture of the picture; null (logged) when there is none or it cannot
    // be made.
    static RefPtr<CCTexture2D> takeAsTexture();
};
