// Animation lists read into the shared animation cache: any property list is either refused or
// gives animations whose delays are finite and not negative, and whose frames are all present. The
// shared cache is purged after each input, so no input sees another's animations.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {
// Checks what the list left in the shared cache.
void checkAnimations(const Value& list) {
    CCAnimationCache* cache = CCAnimationCache::sharedAnimationCache();
    for (const auto& entry : list["animations"].entries()) {
        const RefPtr<CCAnimation> animation = cache->animationByName(entry.first);
        if (!animation) continue;
        const float delay = animation->delayPerUnit(), units = animation->totalDelayUnits();
        if (!std::isfinite(delay) || delay < 0 || !std::isfinite(units) || units < 0) std::abort();
        for (const auto& frame : animation->frames()) {
            if (!frame) std::abort();
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LogCapture quiet;  // refusals are expected; keep them off the fuzzer's output
    quiet.clear();
    std::string error;
    const auto list = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!list) return 0;
    CCAnimationCache::sharedAnimationCache()->addAnimationsWithDictionary(*list);
    checkAnimations(*list);
    CCAnimationCache::purgeSharedAnimationCache();
    return 0;
}
