#include "engine/render/CCAnimation.h"

#include <utility>

#include "engine/core/CCTexture2D.h"
#include "engine/core/CCTextureCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"

RefPtr<CCAnimation> CCAnimation::animation() {
    RefPtr<CCAnimation> animation = makeRef<CCAnimation>();
    animation->init();
    return animation;
}

RefPtr<CCAnimation> CCAnimation::animationWithSpriteFrames(const std::vector<RefPtr<CCSpriteFrame>>& spriteFrames,
                                                           float delay) {
    RefPtr<CCAnimation> animation = makeRef<CCAnimation>();
    animation->initWithSpriteFrames(spriteFrames, delay);
    return animation;
}

RefPtr<CCAnimation> CCAnimation::animationWithAnimationFrames(std::vector<RefPtr<CCAnimationFrame>> frames,
                                                              float delayPerUnit, uint64_t loops) {
    RefPtr<CCAnimation> animation = makeRef<CCAnimation>();
    animation->initWithAnimationFrames(std::move(frames), delayPerUnit, loops);
    return animation;
}

bool CCAnimation::init() { return initWithSpriteFrames({}, 0); }

bool CCAnimation::initWithSpriteFrames(const std::vector<RefPtr<CCSpriteFrame>>& spriteFrames, float delay) {
    loops_ = 1;
    delayPerUnit_ = delay;
    frames_.clear();
    frames_.reserve(spriteFrames.size());
    totalDelayUnits_ = 0;
    for (const RefPtr<CCSpriteFrame>& spriteFrame : spriteFrames) addSpriteFrame(spriteFrame);
    return true;
}

bool CCAnimation::initWithAnimationFrames(std::vector<RefPtr<CCAnimationFrame>> frames, float delayPerUnit,
                                          uint64_t loops) {
    delayPerUnit_ = delayPerUnit;
    loops_ = loops;
    setFrames(std::move(frames));
    return true;
}

void CCAnimation::setFrames(std::vector<RefPtr<CCAnimationFrame>> frames) {
    float total = 0;
    for (const RefPtr<CCAnimationFrame>& frame : frames) {
        CC_REQUIRE(frame, "NSInvalidArgumentException", "CCAnimation: a null animation frame");
        total += frame->delayUnits();
    }
    frames_ = std::move(frames);
    totalDelayUnits_ = total;
}

void CCAnimation::addSpriteFrame(RefPtr<CCSpriteFrame> spriteFrame) {
    frames_.push_back(CCAnimationFrame::frameWithSpriteFrame(std::move(spriteFrame), 1, nullptr));
    totalDelayUnits_ += 1;
}

void CCAnimation::addSpriteFrameWithFilename(const std::string& filename) {
    RefPtr<CCTexture2D> texture = CCTextureCache::sharedTextureCache()->addImage(filename);
    if (!texture) {
        logLine("Lumora: CCAnimation: cannot load %s; no frame added", filename.c_str());
        return;
    }
    const CGRect rect{CGPointZero, texture->contentSize()};
    addSpriteFrame(CCSpriteFrame::frameWithTexture(std::move(texture), rect));
}

void CCAnimation::addSpriteFrameWithTexture(RefPtr<CCTexture2D> texture, CGRect rect) {
    addSpriteFrame(CCSpriteFrame::frameWithTexture(std::move(texture), rect));
}

RefPtr<CCAnimation> CCAnimation::copy() const {
    RefPtr<CCAnimation> copy = animationWithAnimationFrames(frames_, delayPerUnit_, loops_);
    copy->setRestoreOriginalFrame(restoreOriginalFrame_);
    return copy;
}

std::string CCAnimation::description() const {
    return stringWithFormat("<%s = %p | frames=%zu, totalDelayUnits=%f, delayPerUnit=%f, loops=%llu>",
                            className(*this).c_str(), static_cast<const void*>(this), frames_.size(),
                            totalDelayUnits_, delayPerUnit_, static_cast<unsigned long long>(loops_));
}
