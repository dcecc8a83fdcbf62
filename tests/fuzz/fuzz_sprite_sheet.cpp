// Sprite-sheet property lists read into a frame cache with no texture (no GL needed): a sheet is
// either refused whole or gives, for each of its frame names, a frame with finite values, a rect
// of positive size and a non-negative original size.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/CCDirector.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {
bool finite(CGRect r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LogCapture quiet;  // refusals are expected; keep them off the fuzzer's output
    quiet.clear();
    std::string error;
    const auto sheet = Value::fromBytes(std::string(reinterpret_cast<const char*>(data), size), &error);
    if (!sheet) return 0;
    CCDirector::sharedDirector()->setContentScaleFactor(size % 2 ? 2.0 : 1.0);
    const auto cache = makeRef<CCSpriteFrameCache>();
    cache->addSpriteFramesWithDictionary(*sheet, RefPtr<CCTexture2D>());
    bool any = false, all = true;
    for (const auto& entry : (*sheet)["frames"].entries()) {
        const RefPtr<CCSpriteFrame> frame = cache->spriteFrameByName(entry.first);
        if (!frame) {
            all = false;
            continue;
        }
        any = true;
        const CGRect rect = frame->rectInPixels();
        const CGSize original = frame->originalSizeInPixels();
        if (!finite(rect) || !finite(frame->rect()) || rect.size.width <= 0 || rect.size.height <= 0) std::abort();
        if (!std::isfinite(frame->offset().x) || !std::isfinite(frame->offset().y)) std::abort();
        if (!(original.width >= 0 && original.height >= 0)) std::abort();
    }
    // Whole or nothing; a refusal is one log line.
    if (any && !all) std::abort();
    if (!any && (*sheet)["frames"].count() > 0 && quiet.lines().size() != 1) std::abort();
    return 0;
}
