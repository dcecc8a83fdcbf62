#pragma once

#include <cstdint>
#include <string>

#include "engine/core/ccTypes.h"
#include "game/core/LevelDataRange.h"
#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

class CCSprite;
class Value;

namespace game {

// A one-shot visual effect: the level's named effect animation, shown once through
// Level::showEffect with a random scale, a random rotation offset and an optional tint.
// Immutable; every show draws afresh (scale first, then the offset).
//
// Keys: "effect_name" ("" counts as none), "effect_scale" or its pair (default 1),
// "effect_rotation_offset" (degrees, absolute value), "effect_colour" ("{r,g,b,a}"; all four 255,
// the default, means no tint). An effect without a name, or one the level does not know, shows
// nothing (the level logs an unknown name once).
class SimpleEffect : public Object {
public:
    // Null for a missing dictionary.
    static RefPtr<SimpleEffect> simpleEffectWithDictionary(const Value& data);
    static RefPtr<SimpleEffect> simpleEffect(const std::string& name, float scaleMin, float scaleMax,
                                             float rotationOffset, ccColor3B colour, uint8_t opacity);

    // Position in level points, rotation in degrees; the anchor defaults to the centre. The
    // sprite that plays the effect, or null.
    CCSprite* showAt(CGPoint position, float rotation = 0) const;
    CCSprite* showAt(CGPoint position, float rotation, CGPoint anchorPoint) const;

    // Fresh draws: scaleMin + R x range, and an offset in (-offset, +offset].
    float scale() const { return scale_.draw(); }
    float rotationOffset() const;

    const std::string& name() const { return name_; }
    ccColor3B colour() const { return colour_; }
    uint8_t opacity() const { return opacity_; }

private:
    SimpleEffect() = default;
    CCSprite* show(CGPoint position, float rotation, const CGPoint* anchorPoint) const;

    std::string name_;
    LevelDataRange scale_;
    float rotationOffset_ = 0;           // degrees, never negative
    bool useTint_ = false;
    ccColor3B colour_{255, 255, 255};
    uint8_t opacity_ = 255;
};

}  // namespace game
