#pragma once

#include <cstdint>

#include "engine/core/ccTypes.h"

// A node whose colour and opacity can be set: colour layers, atlas nodes, motion streaks and,
// later, sprites, labels and menus. Fade and tint actions change their targets through it.
class CCRGBAProtocol {
public:
    virtual ccColor3B color() const = 0;
    virtual void setColor(ccColor3B color) = 0;
    // 0 (transparent) .. 255 (opaque).
    virtual uint8_t opacity() const = 0;
    virtual void setOpacity(uint8_t opacity) = 0;
    // Whether the opacity is also multiplied into the colour (for premultiplied-alpha textures).
    // Optional: nodes that never premultiply keep these.
    virtual void setOpacityModifyRGB(bool) {}
    virtual bool doesOpacityModifyRGB() const { return false; }

protected:
    ~CCRGBAProtocol() = default;
};
