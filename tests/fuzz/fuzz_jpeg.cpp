// JPEG images decoded from memory.
#include <cstdint>
#include <cstdlib>

#include "platform/foundation/Log.h"
#include "platform/image/Image.h"
#include "platform/image/JPEGCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    Image image;
    if (!JPEGCodec::decode(data, size, 512, &image)) return 0;
    if (image.width() > 512 || image.height() > 512 || image.hasAlpha() ||
        image.pixels().size() != static_cast<size_t>(image.width()) * image.height() * 4) {
        std::abort();
    }
    // Opaque throughout.
    for (size_t i = 3; i < image.pixels().size(); i += 4) {
        if (image.pixels()[i] != 255) std::abort();
    }
    return 0;
}
