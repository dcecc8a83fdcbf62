// JPEG images decoded from memory within the image budgets.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/image/Image.h"
#include "platform/image/JPEGCodec.h"

// The largest texture side the engine asks for, so that the pixel budget, not the side, bounds
// the picture as in the game.
constexpr uint32_t kLargestTextureSide = 16384;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    Image image;
    std::string failure;
    if (!JPEGCodec::decode(data, size, kLargestTextureSide, &image, &failure)) return 0;
    const uint64_t pixels = uint64_t{image.width()} * image.height();
    if (image.width() > kLargestTextureSide || image.height() > kLargestTextureSide ||
        pixels == 0 || pixels > InputLimits::kImagePixels || image.hasAlpha() || image.pixels().size() != pixels * 4) {
        std::abort();
    }
    // Opaque throughout.
    for (size_t i = 3; i < image.pixels().size(); i += 4) {
        if (image.pixels()[i] != 255) std::abort();
    }
    return 0;
}
