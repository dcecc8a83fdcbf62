// Sprite-sheet property lists read into a frame cache with no texture (no GL needed): a sheet of
// an unknown format is refused whole with one line; otherwise each frame name gives a frame whose
// lengths are finite and within 2^31 pixels, or a line that refuses that frame by name.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "engine/core/CCDirector.h"
#include "engine/render/CCSpriteFrameCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Value.h"

namespace {
bool usable(std::initializer_list<double> lengths) {
    for (const double length : lengths) {
        if (!(std::fabs(length) <= 2147483648.0)) return false;
    }
    return true;
}

bool usable(CGRect r) { return usable({r.origin.x, r.origin.y, r.size.width, r.size.height}); }
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
    const int32_t format = (*sheet)["metadata"]["format"].intValue();
    const bool knownFormat = format >= 0 && format <= 3;
    for (const auto& entry : (*sheet)["frames"].entries()) {
        const RefPtr<CCSpriteFrame> frame = cache->spriteFrameByName(entry.first);
        if (!frame) {
            // The log names the frame up to its first NUL byte.
            const std::string refusal =
                "frame \"" + std::string(entry.first.c_str()) + "\" of sheet dictionary refused";
            if (knownFormat ? !quiet.contains(refusal) : quiet.lines().size() != 1) std::abort();
            continue;
        }
        if (!knownFormat) std::abort();
        const CGSize original = frame->originalSizeInPixels();
        if (!usable(frame->rectInPixels()) || !usable(frame->rect())) std::abort();
        if (!usable({frame->offsetInPixels().x, frame->offsetInPixels().y, frame->offset().x, frame->offset().y,
                     original.width, original.height})) {
            std::abort();
        }
    }
    return 0;
}
