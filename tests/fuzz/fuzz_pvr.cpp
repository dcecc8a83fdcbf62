// PVR texture files, parsed as the texture reader does before it reaches GL, with and without the
// GL context's optional abilities.
#include <cstdint>
#include <cstdlib>

#include "engine/core/CCTexturePVR.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    auto texture = makeRef<CCTexturePVR>();
    for (const bool abilities : {true, false}) {
        if (!texture->unpackPVRData(data, size, abilities, abilities)) continue;
        const uint64_t pixels = uint64_t{texture->width()} * texture->height();
        if (texture->numberOfMipmaps() > kCCPVRMipmapMax || !texture->pixelFormatInfo() || pixels == 0 ||
            pixels > InputLimits::kImagePixels) {
            std::abort();
        }
        // Every level lies within the input.
        for (uint64_t level = 0; level < texture->numberOfMipmaps(); ++level) {
            const CCPVRMipmap& mipmap = texture->mipmap(level);
            if (mipmap.address < data || mipmap.address + mipmap.len > data + size) std::abort();
            if (mipmap.len > 0) [[maybe_unused]] volatile uint8_t last = mipmap.address[mipmap.len - 1];
        }
    }
    return 0;
}
