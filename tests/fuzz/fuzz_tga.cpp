// TGA images, loaded as the tile-map atlas does and then turned to greyscale.
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "engine/core/support/ccTGA.h"
#include "platform/foundation/InputLimits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sImageTGA* image = tgaLoadFromFile(FuzzInputFile::write(data, size));
    if (!image) return 0;
    if (image->status == kTGAStatusOK) {
        const uint64_t pixels = uint64_t{image->width} * image->height;
        if (image->flipped != 0 || !image->imageData || pixels == 0 || pixels > InputLimits::kImagePixels) std::abort();
        // The last pixel byte must lie inside the allocation.
        [[maybe_unused]] volatile unsigned char last = image->imageData[pixels * (image->pixelDepth / 8) - 1];
        tgaConvertToGreyscale(image);
    }
    tgaFreeImage(image);
    return 0;
}
