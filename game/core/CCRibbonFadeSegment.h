#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>

#include "engine/core/ccTypes.h"
#include "platform/foundation/Object.h"

// Up to 50 points of a ribbon, two strip vertices each, with the ribbon time each point was added.
// Points fade out in the order they were added, so the first still visible (`begin`) only moves
// forward; a full segment whose points have all faded is finished and can be reset for reuse.
// A plain record that its ribbon fills and reads directly.
class CCRibbonFadeSegment : public Object {
public:
    static constexpr uint32_t kCapacity = 50;  // points

    CCRibbonFadeSegment() { reset(); }

    // No points, not finished.
    void reset();
    // Sets each visible point's colours for ribbon time `time`: the colour's alpha fades linearly
    // to 0 over `fadeTime` seconds of the point's age, and a point older than that stops being
    // visible. With a premultiplied source factor (anything but GL_SRC_ALPHA) the colour is
    // multiplied by that alpha. A segment with no visible point left of a full one is marked
    // finished. False when there is nothing to draw.
    bool fade(float time, float fadeTime, ccColor4B color, GLenum blendFuncSrc);
    // fade, then one triangle strip of the visible points (client-side arrays: the program,
    // texture and attribute arrays are set up by the ribbon).
    void draw(float time, float fadeTime, ccColor4B color, GLenum blendFuncSrc);

    // "<CCRibbonFadeSegment = 0x... | end = 3, begin = 0>".
    std::string description() const override;

    float verts[kCapacity * 6];             // per point two vertices of (x, y, z); z is 0
    float coords[kCapacity * 4];            // per point two (u, v)
    uint8_t colors[kCapacity * 8];          // per point two RGBA
    float creationTime[kCapacity];          // ribbon time, seconds
    bool finished = false;
    uint32_t end = 0;                       // points stored
    uint32_t begin = 0;                     // first point not yet faded out
};
