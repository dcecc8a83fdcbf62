// Animation lists read into an animation cache: any property list is either refused or gives
// animations whose delays are finite and not negative, and whose frames are all present.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/render/CCAnimation.h"
#include "engine/render/CCAnimationCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LogCapture quiet;  // refusals are expected; keep them off the fuzzer's output
    quiet.clear();
    std::string error;
    const auto list = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!list) return 0;
    const auto cache = makeRef<CCAnimationCache>();
    cache->addAnimationsWithDictionary(*list);
    for (const auto& entry : (*list)["animations"].entries()) {
        const RefPtr<CCAnimation> animation = cache->animationByName(entry.first);
        if (!animation) continue;
        const float delay = animation->delayPerUnit(), units = animation->totalDelayUnits();
        if (!std::isfinite(delay) || delay < 0 || !std::isfinite(units) || units < 0) std::abort();
        for (const auto& frame : animation->frames()) {
            if (!frame) std::abort();
        }
    }
    return 0;
}
