// TGA images, loaded as the tile-map atlas does and then turned to greyscale.
#include <cstdint>
#include <cstdlib>

#include "FuzzInputFile.h"
#include "engine/core/support/ccTGA.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sImageTGA* image = tgaLoadFromFile(FuzzInputFile::write(data, size));
    if (!image) return 0;
    if (image->status == kTGAStatusOK) {
        if (image->flipped != 0 || !image->imageData) std::abort();
        // The last pixel byte must lie inside the allocation.
        const size_t bytes = static_cast<size_t>(image->width) * image->height * (image->pixelDepth / 8);
        [[maybe_unused]] volatile unsigned char last = image->imageData[bytes - 1];
        tgaConvertToGreyscale(image);
    }
    tgaFreeImage(image);
    return 0;
}
