#include "game/core/CCMotionStreakLocal.h"

#include <cmath>

RefPtr<CCMotionStreakLocal> CCMotionStreakLocal::streakWithFade(float fade, float minSeg, const std::string& image,
                                                                float width, float length, ccColor4B color) {
    auto streak = makeRef<CCMotionStreakLocal>();
    return streak->initWithFade(fade, minSeg, image, width, length, color) ? streak : nullptr;
}

bool CCMotionStreakLocal::initWithFade(float fade, float minSeg, const std::string& image, float width, float length,
                                       ccColor4B color) {
    auto ribbon = makeRef<CCRibbonFade>();
    if (!ribbon->initWithWidth(width, image, length, color, fade)) return false;
    return adoptRibbon(std::move(ribbon), minSeg, width);
}

bool CCMotionStreakLocal::initWithFade(float fade, float minSeg, RefPtr<CCTexture2D> texture, float width,
                                       float length, ccColor4B color) {
    auto ribbon = makeRef<CCRibbonFade>();
    if (!ribbon->initWithWidth(width, std::move(texture), length, color, fade)) return false;
    return adoptRibbon(std::move(ribbon), minSeg, width);
}

bool CCMotionStreakLocal::adoptRibbon(RefPtr<CCRibbonFade> ribbon, float minSeg, float width) {
    segThreshold_ = minSeg;
    width_ = width;
    lastLocation_ = CGPointZero;
    if (ribbon_) removeChild(ribbon_.get(), true);
    ribbon_ = std::move(ribbon);
    addChild(ribbon_.get());
    return true;
}

void CCMotionStreakLocal::update(float dt) {
    if (!ribbon_) return;
    const CGPoint location = position();
    ribbon_->setPosition({-location.x, -location.y});
    if (std::hypot(location.x - lastLocation_.x, location.y - lastLocation_.y) > segThreshold_) {
        ribbon_->addPointAt(location, width_);
        lastLocation_ = location;
    }
    ribbon_->update(dt);
}

void CCMotionStreakLocal::setTexture(RefPtr<CCTexture2D> texture) {
    if (ribbon_) ribbon_->setTexture(std::move(texture));
}

void CCMotionStreakLocal::setBlendFunc(ccBlendFunc blendFunc) {
    if (ribbon_) ribbon_->setBlendFunc(blendFunc);
}
