#include "engine/actions/interval/CCAnimate.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/render/CCSprite.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

namespace {
// The animation to play for `animation`: an empty one stands in for null (logged).
RefPtr<CCAnimation> playable(RefPtr<CCAnimation> animation) {
    if (animation) return animation;
    logLine("Lumora: CCAnimate: no animation; the action shows nothing");
    return CCAnimation::animation();
}
}  // namespace

RefPtr<CCAnimate> CCAnimate::actionWithAnimation(RefPtr<CCAnimation> animation) {
    RefPtr<CCAnimate> animate = makeRef<CCAnimate>();
    animate->initWithAnimation(std::move(animation));
    return animate;
}

bool CCAnimate::initWithAnimation(RefPtr<CCAnimation> animation) {
    animation = playable(std::move(animation));
    initWithDuration(animation->duration() * static_cast<float>(animation->loops()));
    nextFrame_ = 0;
    animation_ = std::move(animation);
    origFrame_.reset();
    executedLoops_ = 0;
    computeSplitTimes();
    return true;
}

void CCAnimate::setAnimation(RefPtr<CCAnimation> animation) {
    animation_ = playable(std::move(animation));
    computeSplitTimes();
}

void CCAnimate::computeSplitTimes() {
    // Frame i starts after the delay units of the frames before it. Computed from the units alone,
    // so that a delay per unit of 0 still orders the frames; with no units at all every frame
    // starts at 0.
    const float total = animation_->totalDelayUnits();
    splitTimes_.clear();
    splitTimes_.reserve(animation_->frames().size());
    float accumulated = 0;
    for (const RefPtr<CCAnimationFrame>& frame : animation_->frames()) {
        splitTimes_.push_back(total > 0 ? accumulated / total : 0);
        accumulated += frame->delayUnits();
    }
}

RefPtr<CCAction> CCAnimate::copy() const {
    RefPtr<CCAnimate> copy(makeEmptyCopy());
    copy->initWithAnimation(animation_->copy());
    return copy;
}

RefPtr<CCFiniteTimeAction> CCAnimate::reverse() const {
    std::vector<RefPtr<CCAnimationFrame>> frames;
    frames.reserve(animation_->frames().size());
    for (auto frame = animation_->frames().rbegin(); frame != animation_->frames().rend(); ++frame) {
        frames.push_back((*frame)->copy());
    }
    RefPtr<CCAnimation> reversed = CCAnimation::animationWithAnimationFrames(
        std::move(frames), animation_->delayPerUnit(), animation_->loops());
    reversed->setRestoreOriginalFrame(animation_->restoreOriginalFrame());
    RefPtr<CCAnimate> animate(makeEmptyCopy());
    animate->initWithAnimation(std::move(reversed));
    return animate;
}

void CCAnimate::startWithTarget(Object* target) {
    CCActionInterval::startWithTarget(target);
    sprite_ = dynamic_cast<CCSprite*>(target);
    if (!sprite_ && !refusedTarget_) {
        refusedTarget_ = true;
        logLine("Lumora: CCAnimate: the target is not a sprite; nothing is shown");
    }
    origFrame_.reset();
    if (sprite_ && animation_->restoreOriginalFrame()) origFrame_ = sprite_->displayFrame();
    nextFrame_ = 0;
    executedLoops_ = 0;
}

void CCAnimate::stop() {
    if (sprite_ && animation_->restoreOriginalFrame()) sprite_->setDisplayFrame(origFrame_.get());
    sprite_ = nullptr;
    CCActionInterval::stop();
}

void CCAnimate::update(float t) {
    const uint64_t loops = animation_->loops();
    if (!sprite_ || loops == 0) return;
    if (t < 1) {
        const float loopTime = t * static_cast<float>(loops);
        if (static_cast<uint64_t>(loopTime) > executedLoops_) {
            nextFrame_ = 0;
            ++executedLoops_;
        }
        t = std::fmod(loopTime, 1.0f);
    }
    // Frames set on the animation after this action was made or given it have no split time and
    // wait for a new action or setAnimation.
    const std::vector<RefPtr<CCAnimationFrame>>& frames = animation_->frames();
    const size_t count = std::min(frames.size(), splitTimes_.size());
    for (size_t i = nextFrame_; i < count; ++i) {
        if (splitTimes_[i] > t) continue;
        const CCAnimationFrame& frame = *frames[i];
        sprite_->setDisplayFrame(frame.spriteFrame());
        nextFrame_ = i + 1;
        if (frame.userInfo()) {
            NotificationCenter::defaultCenter().postNotification(CCAnimationFrameDisplayedNotification, sprite_,
                                                                 frame.userInfo());
        }
        return;
    }
}
