#include "game/objects/SimpleEffect.h"

#include <cmath>

#include "engine/render/CCSprite.h"
#include "game/core/ColourUtils.h"
#include "game/core/Level.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/Value.h"

namespace game {

RefPtr<SimpleEffect> SimpleEffect::simpleEffectWithDictionary(const Value& data) {
    if (data.isNone()) return nullptr;
    const LevelDataRange scale = LevelDataRange::read(data, "effect_scale", 1.0f);
    ccColor4B colour{255, 255, 255, 255};
    if (const Value& text = data["effect_colour"]; !text.isNone()) {
        colour = ColourUtils::ccColor4BFromString(text.stringValue());
    }
    return simpleEffect(data["effect_name"].stringValue(), scale.min, scale.max,
                        data["effect_rotation_offset"].floatValue(), ccColor3B{colour.r, colour.g, colour.b},
                        colour.a);
}

RefPtr<SimpleEffect> SimpleEffect::simpleEffect(const std::string& name, float scaleMin, float scaleMax,
                                                float rotationOffset, ccColor3B colour, uint8_t opacity) {
    RefPtr<SimpleEffect> effect(new SimpleEffect);
    effect->name_ = name;
    effect->scale_ = LevelDataRange{scaleMin, scaleMax, scaleMax - scaleMin};
    effect->rotationOffset_ = std::isfinite(rotationOffset) ? std::fabs(rotationOffset) : 0.0f;
    effect->colour_ = colour;
    effect->opacity_ = opacity;
    effect->useTint_ = !(colour.r == 255 && colour.g == 255 && colour.b == 255 && opacity == 255);
    return effect;
}

float SimpleEffect::rotationOffset() const {
    return rotationOffset_ - Random::unitFloat() * 2 * rotationOffset_;
}

CCSprite* SimpleEffect::showAt(CGPoint position, float rotation) const { return show(position, rotation, nullptr); }

CCSprite* SimpleEffect::showAt(CGPoint position, float rotation, CGPoint anchorPoint) const {
    return show(position, rotation, &anchorPoint);
}

CCSprite* SimpleEffect::show(CGPoint position, float rotation, const CGPoint* anchorPoint) const {
    const float scale = scale_.draw();
    const float offset = rotationOffset();
    Level* level = Level::currentLevel();
    CCSprite* sprite = nullptr;
    if (level && !name_.empty()) {
        sprite = anchorPoint ? level->showEffect(name_, position, offset + rotation, scale, *anchorPoint)
                             : level->showEffect(name_, position, offset + rotation, scale);
    }
    if (!sprite) return nullptr;
    if (useTint_) {
        sprite->setColor(colour_);
        sprite->setOpacity(opacity_);
    }
    return sprite;
}

}  // namespace game
