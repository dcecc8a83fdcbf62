#include "game/core/AnimationUtils.h"

#include <cmath>
#include <vector>

#include "engine/actions/interval/CCAnimate.h"
#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "engine/actions/composite/CCRepeat.h"
#include "engine/actions/composite/CCRepeatForever.h"
#include "engine/actions/composite/CCSequence.h"
#include "engine/render/CCSprite.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Random.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

namespace {

constexpr float kDefaultDelay = 1.0f;
constexpr uint64_t kLoopedSequenceRepeats = 999999999;

// A usable positive finite number under the key, or 0.
float positive(const Value& data, const char* key) {
    const Value& value = data[key];
    if (value.isNone()) return 0;
    const float number = value.floatValue();
    return std::isfinite(number) && number > 0 ? number : 0;
}

// Seconds per frame from the first key that gives a positive delay.
float delayPerFrame(const Value& data) {
    if (const float fps = positive(data, "fps")) return 1.0f / fps;
    if (const float frameTime = positive(data, "frame_time")) return frameTime;
    const Value& low = data["frame_time_min"];
    const Value& high = data["frame_time_max"];
    if (!low.isNone() && !high.isNone()) {
        const float min = low.floatValue();
        const float max = high.floatValue();
        const float drawn = min + (max - min) * static_cast<float>(Random::random()) * 4.656613e-10f;
        if (std::isfinite(drawn) && drawn > 0) return drawn;
    }
    return kDefaultDelay;
}

// Frame numbers (1-based) in play order; empty for an unknown mode.
std::vector<int64_t> frameOrder(const Value& data, int64_t count) {
    const Value& modeValue = data["mode"];
    const std::string mode = modeValue.isNone() ? "forwards" : modeValue.stringValue();
    std::vector<int64_t> order;
    if (mode == "forwards" || mode == "pingpong") {
        for (int64_t k = 1; k <= count; ++k) order.push_back(k);
        if (mode == "pingpong") {
            for (int64_t k = count - 1; k >= 2; --k) order.push_back(k);
        }
    } else if (mode == "backwards") {
        for (int64_t k = count; k >= 1; --k) order.push_back(k);
    } else if (mode == "custom") {
        for (const Value& number : data["frame_sequence"].elements()) order.push_back(number.integerValue());
    }
    return order;
}

}  // namespace

RefPtr<CCAnimation> AnimationUtils::createSimpleAnimation(const std::string& name, const Value& animationData,
                                                          const std::string& baseImageName) {
    if (!animationData.isDictionary()) return nullptr;
    CCAnimationCache* cache = CCAnimationCache::sharedAnimationCache();
    if (RefPtr<CCAnimation> cached = cache->animationByName(name)) return cached;
    const int64_t count = animationData["frame_count"].integerValue();
    if (count <= 0) return nullptr;
    if (count > kMaxFrames) {
        logLine("Animation \"%s\" refused: %lld frames (at most %lld)", name.c_str(), static_cast<long long>(count),
                static_cast<long long>(kMaxFrames));
        return nullptr;
    }
    if (animationData["frame_sequence"].count() > static_cast<uint64_t>(kMaxFrames)) {
        logLine("Animation \"%s\" refused: a frame sequence longer than %lld", name.c_str(),
                static_cast<long long>(kMaxFrames));
        return nullptr;
    }
    const std::string base = baseImageName.empty() ? animationData["image_name"].stringValue() : baseImageName;
    RefPtr<CCAnimation> animation = CCAnimation::animation();
    animation->setDelayPerUnit(delayPerFrame(animationData));
    CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
    std::string firstMissing;
    size_t missing = 0;
    for (int64_t k : frameOrder(animationData, count)) {
        std::string frameName = stringWithFormat("%s_%lld.png", base.c_str(), static_cast<long long>(k));
        if (RefPtr<CCSpriteFrame> frame = frames->spriteFrameByName(frameName)) {
            animation->addSpriteFrame(std::move(frame));
        } else if (missing++ == 0) {
            firstMissing = std::move(frameName);
        }
    }
    if (missing > 0) {
        logLine("Animation \"%s\": %zu frames are not in the sprite-frame cache (the first \"%s\"); left out",
                name.c_str(), missing, firstMissing.c_str());
    }
    const Value& restore = animationData["restore_original_frame"];
    animation->setRestoreOriginalFrame(restore.isNone() || restore.boolValue());
    cache->addAnimation(animation, name);
    return animation;
}

void AnimationUtils::playSimpleAnimation(RefPtr<CCAnimation> animation, CCSprite* sprite, bool loop) {
    if (!animation || !sprite) return;
    sprite->stopActionByTag(kSimpleAnimationTag);
    if (animation->frames().size() == 1) {
        sprite->setDisplayFrame(animation->frames()[0]->spriteFrame());
        return;
    }
    RefPtr<CCAction> action = CCAnimate::actionWithAnimation(std::move(animation));
    if (loop) action = CCRepeatForever::actionWithAction(refCast<CCActionInterval>(action));
    action->setTag(kSimpleAnimationTag);
    sprite->runAction(action.get());
}

void AnimationUtils::playSimpleAnimationSequence(RefPtr<CCAnimation> first, RefPtr<CCAnimation> second,
                                                 CCSprite* sprite, bool loop) {
    if (!first || !second || !sprite) return;
    sprite->stopActionByTag(kSimpleAnimationTag);
    RefPtr<CCFiniteTimeAction> then = CCAnimate::actionWithAnimation(std::move(second));
    if (loop) then = CCRepeat::actionWithAction(then, kLoopedSequenceRepeats);
    RefPtr<CCAction> action = CCSequence::actionOne(CCAnimate::actionWithAnimation(std::move(first)), then);
    action->setTag(kSimpleAnimationTag);
    sprite->runAction(action.get());
}

void AnimationUtils::stopSimpleAnimation(CCSprite* sprite) {
    if (sprite) sprite->stopActionByTag(kSimpleAnimationTag);
}

void AnimationUtils::stopSimpleAnimation(CCSprite* sprite, const CCAnimation* animation, int32_t idleFrame) {
    if (!sprite) return;
    sprite->stopActionByTag(kSimpleAnimationTag);
    if (idleFrame < 0 || !animation) return;
    if (static_cast<size_t>(idleFrame) >= animation->frames().size()) {
        logLine("Animation: idle frame %d beyond the %zu frames; not shown", idleFrame, animation->frames().size());
        return;
    }
    sprite->setDisplayFrame(animation->frames()[idleFrame]->spriteFrame());
}

bool AnimationUtils::hasSimpleAnimation(CCSprite* sprite) { return getSimpleAnimation(sprite) != nullptr; }

CCAction* AnimationUtils::getSimpleAnimation(CCSprite* sprite) {
    return sprite ? sprite->getActionByTag(kSimpleAnimationTag) : nullptr;
}
