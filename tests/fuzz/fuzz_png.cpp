// PNG images decoded from memory, and the decoded picture encoded again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/foundation/Log.h"
#include "platform/image/Image.h"
#include "platform/image/PNGCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LogCapture quiet;
    Image image;
    if (!PNGCodec::decode(data, size, 512, &image)) return 0;
    if (image.width() > 512 || image.height() > 512 ||
        image.pixels().size() != static_cast<size_t>(image.width()) * image.height() * 4) {
        std::abort();
    }
    std::string encoded;
    if (!PNGCodec::encode(image, &encoded)) std::abort();
    return 0;
}
