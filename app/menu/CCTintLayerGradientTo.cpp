#include "app/menu/CCTintLayerGradientTo.h"

#include "engine/core/CCLayerGradient.h"

namespace {

ccColor3B lerp(ccColor3B from, ccColor3B to, float t) {
    // Both ends are bytes, so every value between them is one too.
    const auto channel = [t](uint8_t a, uint8_t b) {
        return static_cast<uint8_t>(static_cast<float>(a) + (static_cast<float>(b) - static_cast<float>(a)) * t);
    };
    return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

}  // namespace

RefPtr<CCTintLayerGradientTo> CCTintLayerGradientTo::actionWithDuration(float duration, uint8_t redStart,
                                                                        uint8_t greenStart, uint8_t blueStart,
                                                                        uint8_t redEnd, uint8_t greenEnd,
                                                                        uint8_t blueEnd) {
    RefPtr<CCTintLayerGradientTo> action = makeRef<CCTintLayerGradientTo>();
    action->initWithDuration(duration, redStart, greenStart, blueStart, redEnd, greenEnd, blueEnd);
    return action;
}

bool CCTintLayerGradientTo::initWithDuration(float duration, uint8_t redStart, uint8_t greenStart, uint8_t blueStart,
                                             uint8_t redEnd, uint8_t greenEnd, uint8_t blueEnd) {
    CCActionInterval::initWithDuration(duration);
    toStart_ = {redStart, greenStart, blueStart};
    toEnd_ = {redEnd, greenEnd, blueEnd};
    return true;
}

RefPtr<CCAction> CCTintLayerGradientTo::copy() const {
    RefPtr<CCTintLayerGradientTo> copy(makeEmptyCopy());
    copy->initWithDuration(duration_, toStart_.r, toStart_.g, toStart_.b, toEnd_.r, toEnd_.g, toEnd_.b);
    return copy;
}

void CCTintLayerGradientTo::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    layer_ = dynamic_cast<CCLayerGradient*>(target);
    if (!layer_) return;
    fromStart_ = layer_->startColor();
    fromEnd_ = layer_->endColor();
}

void CCTintLayerGradientTo::update(float t) {
    if (!layer_) return;
    layer_->setStartColor(lerp(fromStart_, toStart_, t));
    layer_->setEndColor(lerp(fromEnd_, toEnd_, t));
}
