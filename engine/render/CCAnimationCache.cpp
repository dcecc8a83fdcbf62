#include "engine/render/CCAnimationCache.h"

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "engine/core/ccCachePurge.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"
#include "platform/foundation/Value.h"

namespace {
RefPtr<CCAnimationCache> sharedCache;

// Room for the animations of a game's few lists.
constexpr size_t kInitialCapacity = 20;

// A delay (seconds or units) that timing can use: finite and not negative.
bool isUsableDelay(float delay) { return std::isfinite(delay) && delay >= 0; }

// The sprite frame named by `name` in the shared frame cache; null when `name` is not a string or
// names no frame.
RefPtr<CCSpriteFrame> spriteFrameNamed(const Value& name) {
    if (!name.isString()) return nullptr;
    return CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(name.stringValue());
}

void logRefusedAnimation(const std::string& source, const std::string& name, const char* why) {
    logLine("Lumora: CCAnimationCache: %s: animation \"%s\" not added: %s", source.c_str(), name.c_str(), why);
}
}  // namespace

CCAnimationCache* CCAnimationCache::sharedAnimationCache() {
    if (!sharedCache) {
        sharedCache = makeRef<CCAnimationCache>();
        ccCacheRegisterPurge(kCCCacheAnimations, purgeSharedAnimationCache, nullptr);
    }
    return sharedCache.get();
}

void CCAnimationCache::purgeSharedAnimationCache() { sharedCache.reset(); }

CCAnimationCache::CCAnimationCache() { animations_.reserve(kInitialCapacity); }

std::string CCAnimationCache::description() const {
    return stringWithFormat("<%s = %p | num of animations =  %zu>", className(*this).c_str(),
                            static_cast<const void*>(this), animations_.size());
}

void CCAnimationCache::addAnimation(RefPtr<CCAnimation> animation, const std::string& name) {
    CC_REQUIRE(animation, "NSInvalidArgumentException", "CCAnimationCache: a null animation for \"%s\"",
               name.c_str());
    animations_.insert_or_assign(name, std::move(animation));
}

void CCAnimationCache::removeAnimationByName(const std::string& name) { animations_.erase(name); }

RefPtr<CCAnimation> CCAnimationCache::animationByName(const std::string& name) const {
    const auto found = animations_.find(name);
    return found == animations_.end() ? nullptr : found->second;
}

void CCAnimationCache::addAnimationsWithFile(const std::string& plist) {
    std::string error;
    const std::optional<Value> root =
        Value::fromFile(CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(plist), &error);
    if (!root) {
        logLine("Lumora: CCAnimationCache: cannot read %s: %s", plist.c_str(), error.c_str());
        return;
    }
    addAnimationsWithDictionary(*root, plist);
}

void CCAnimationCache::addAnimationsWithDictionary(const Value& dictionary, const std::string& source) {
    const Value& animations = dictionary["animations"];
    if (!animations.isDictionary()) {
        logLine("Lumora: CCAnimationCache: %s has no \"animations\" dictionary", source.c_str());
        return;
    }
    int32_t format = 1;
    if (const Value& properties = dictionary["properties"]; properties.isDictionary()) {
        format = properties["format"].intValue();
        for (const Value& sheet : properties["spritesheets"].elements()) {
            if (!sheet.isString()) continue;
            CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(sheet.stringValue());
        }
    }
    switch (format) {
        case 1:
            parseVersion1(animations, source);
            break;
        case 2:
            parseVersion2(animations, source);
            break;
        default:
            logLine("Lumora: CCAnimationCache: %s has format %d, not 1 or 2", source.c_str(), format);
    }
}

void CCAnimationCache::parseVersion1(const Value& animations, const std::string& source) {
    for (const auto& [name, description] : animations.entries()) {
        const Value& names = description["frames"];
        const float delay = description["delay"].floatValue();
        if (!names.isArray()) {
            logRefusedAnimation(source, name, "no \"frames\" array");
            continue;
        }
        if (!isUsableDelay(delay)) {
            logRefusedAnimation(source, name, "its delay is negative or not finite");
            continue;
        }
        std::vector<RefPtr<CCAnimationFrame>> frames;
        for (const Value& frameName : names.elements()) {
            if (RefPtr<CCSpriteFrame> spriteFrame = spriteFrameNamed(frameName)) {
                frames.push_back(CCAnimationFrame::frameWithSpriteFrame(std::move(spriteFrame), 1, nullptr));
            }
        }
        if (frames.empty()) {
            logRefusedAnimation(source, name, "none of its frames is in the sprite-frame cache");
            continue;
        }
        sharedAnimationCache()->addAnimation(CCAnimation::animationWithAnimationFrames(std::move(frames), delay, 1),
                                             name);
    }
}

void CCAnimationCache::parseVersion2(const Value& animations, const std::string& source) {
    for (const auto& [name, description] : animations.entries()) {
        const Value& entries = description["frames"];
        const float delayPerUnit = description["delayPerUnit"].floatValue();
        const Value& loopsValue = description["loops"];
        const int32_t loops = loopsValue.isNone() ? 1 : loopsValue.intValue();
        if (!entries.isArray()) {
            logRefusedAnimation(source, name, "no \"frames\" array");
            continue;
        }
        if (!isUsableDelay(delayPerUnit) || loops < 0) {
            logRefusedAnimation(source, name, "its delay per unit or loop count is negative or not finite");
            continue;
        }
        std::vector<RefPtr<CCAnimationFrame>> frames;
        bool usable = true;
        for (const Value& entry : entries.elements()) {
            const float delayUnits = entry["delayUnits"].floatValue();
            usable = usable && isUsableDelay(delayUnits);
            RefPtr<CCSpriteFrame> spriteFrame = spriteFrameNamed(entry["spriteframe"]);
            if (!spriteFrame) continue;
            const Value& notification = entry["notification"];
            frames.push_back(CCAnimationFrame::frameWithSpriteFrame(
                std::move(spriteFrame), delayUnits,
                notification.isDictionary() ? std::make_shared<const Value>(notification) : nullptr));
        }
        if (!usable) {
            logRefusedAnimation(source, name, "a frame's delay units are negative or not finite");
            continue;
        }
        RefPtr<CCAnimation> animation =
            CCAnimation::animationWithAnimationFrames(std::move(frames), delayPerUnit, static_cast<uint64_t>(loops));
        animation->setRestoreOriginalFrame(description["restoreOriginalFrame"].boolValue());
        sharedAnimationCache()->addAnimation(std::move(animation), name);
    }
}
