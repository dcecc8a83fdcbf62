// PNG images decoded from memory within the image budgets, and the decoded picture encoded again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/image/Image.h"
#include "platform/image/PNGCodec.h"

// The largest texture side the engine asks for, so that the pixel budget, not the side, bounds
// the picture as in the game.
constexpr uint32_t kLargestTextureSide = 16384;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    Image image;
    std::string failure;
    if (!PNGCodec::decode(data, size, kLargestTextureSide, &image, &failure)) return 0;
    const uint64_t pixels = uint64_t{image.width()} * image.height();
    if (image.width() > kLargestTextureSide || image.height() > kLargestTextureSide ||
        pixels == 0 || pixels > InputLimits::kImagePixels || image.pixels().size() != pixels * 4) {
        std::abort();
    }
    std::string encoded;
    if (!PNGCodec::encode(image, &encoded)) std::abort();
    return 0;
}
