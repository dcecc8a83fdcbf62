#include "engine/core/support/ccTGA.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/InputLimits.h"

namespace {
constexpr size_t kHeaderLength = 18;
constexpr uint8_t kTopToBottomBit = 0x20;  // in the image descriptor
constexpr uint8_t kColourMapPresent = 1;
constexpr uint8_t kTypeColourMapped = 1;
constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeGreyscale = 3;
constexpr uint8_t kTypeRLETrueColour = 10;
constexpr uint8_t kRunPacketBit = 0x80;
// A run-length packet of at most 128 pixels takes at least one header byte and one pixel, so
// decoded pixel data is under 128 times the bytes that encode it.
constexpr uint64_t kMostRLEExpansion = 128;

uint16_t readLittleEndian16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

size_t bytesPerPixel(const sImageTGA* image) { return image->pixelDepth / 8; }

size_t pixelCount(const sImageTGA* image) { return size_t{image->width} * image->height; }

// Stored B, G, R(, A); kept R, G, B(, A).
void swapRedAndBlue(unsigned char* pixel, size_t bytes) {
    if (bytes >= 3) std::swap(pixel[0], pixel[2]);
}

bool isSupportedDepth(uint8_t depth) { return depth == 8 || depth == 16 || depth == 24 || depth == 32; }

// The loading steps over the file's bytes; returns the status.
int32_t readImage(std::vector<uint8_t>& bytes, sImageTGA* image) {
    if (bytes.size() < kHeaderLength) return kTGAStatusReadError;
    const std::unique_ptr<FILE, int (*)(FILE*)> file(fmemopen(bytes.data(), bytes.size(), "rb"), std::fclose);
    if (!file) return kTGAStatusOutOfMemory;
    if (!tgaReadHeader(file.get(), image)) return kTGAStatusReadError;
    if (image->type == kTypeColourMapped) return kTGAStatusColourMapped;
    if (image->type != kTypeTrueColour && image->type != kTypeGreyscale && image->type != kTypeRLETrueColour) {
        return kTGAStatusUnsupported;
    }
    const uint8_t colourMapType = bytes[1];
    const uint64_t count = pixelCount(image);
    if (colourMapType > kColourMapPresent || count == 0 || count > InputLimits::kImagePixels ||
        !isSupportedDepth(image->pixelDepth)) {
        return kTGAStatusUnsupported;
    }
    // Refuse before allocating what the rest of the file cannot possibly fill.
    const uint64_t size = count * bytesPerPixel(image);
    const uint64_t encoded = bytes.size() - static_cast<uint64_t>(std::ftell(file.get()));
    if (size > (image->type == kTypeRLETrueColour ? encoded * kMostRLEExpansion : encoded)) {
        return kTGAStatusReadError;
    }
    image->imageData = static_cast<unsigned char*>(std::calloc(size, 1));
    if (!image->imageData) return kTGAStatusOutOfMemory;
    const bool read = image->type == kTypeRLETrueColour ? tgaReadRLEData(file.get(), image)
                                                        : tgaReadRawData(file.get(), image);
    return read ? kTGAStatusOK : kTGAStatusReadError;
}
}  // namespace

sImageTGA* tgaLoadFromFile(const char* path) {
    sImageTGA* image = new (std::nothrow) sImageTGA;
    if (!image) return nullptr;
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) {
        image->status = kTGAStatusCannotOpen;
        return image;
    }
    image->status = readImage(bytes, image);
    if (image->status == kTGAStatusOK && image->flipped) {
        tgaFlipImage(image);
        if (image->flipped) image->status = kTGAStatusOutOfMemory;
    }
    return image;
}

void tgaFreeImage(sImageTGA* image) {
    if (!image) return;
    std::free(image->imageData);
    delete image;
}

void tgaConvertToGreyscale(sImageTGA* image) {
    if (!image || !image->imageData || (image->pixelDepth != 24 && image->pixelDepth != 32)) return;
    const size_t count = pixelCount(image);
    const size_t bytes = bytesPerPixel(image);
    auto* grey = static_cast<unsigned char*>(std::malloc(count > 0 ? count : 1));
    if (!grey) return;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* pixel = image->imageData + i * bytes;
        grey[i] = static_cast<unsigned char>(0.30 * pixel[0] + 0.59 * pixel[1] + 0.11 * pixel[2]);
    }
    std::free(image->imageData);
    image->imageData = grey;
    image->pixelDepth = 8;
    image->type = kTypeGreyscale;
}

bool tgaReadHeader(FILE* file, sImageTGA* image) {
    unsigned char header[kHeaderLength];
    if (std::fread(header, 1, kHeaderLength, file) != kHeaderLength) return false;
    const uint8_t imageIDLength = header[0];
    const uint8_t colourMapType = header[1];
    const uint16_t colourMapLength = readLittleEndian16(header + 5);
    const uint8_t colourMapEntryBits = header[7];
    image->type = header[2];
    image->width = readLittleEndian16(header + 12);
    image->height = readLittleEndian16(header + 14);
    image->pixelDepth = header[16];
    image->flipped = (header[17] & kTopToBottomBit) ? 1 : 0;
    long skipped = imageIDLength;
    if (colourMapType == kColourMapPresent) skipped += long{colourMapLength} * ((colourMapEntryBits + 7) / 8);
    return std::fseek(file, skipped, SEEK_CUR) == 0;
}

bool tgaReadRawData(FILE* file, sImageTGA* image) {
    const size_t bytes = bytesPerPixel(image);
    const size_t count = pixelCount(image);
    if (std::fread(image->imageData, bytes, count, file) != count) return false;
    for (size_t i = 0; i < count; ++i) swapRedAndBlue(image->imageData + i * bytes, bytes);
    return true;
}

bool tgaReadRLEData(FILE* file, sImageTGA* image) {
    const size_t bytes = bytesPerPixel(image);
    const size_t count = pixelCount(image);
    unsigned char pixel[4] = {};
    if (bytes == 0 || bytes > sizeof pixel) return false;
    size_t packetLeft = 0;  // pixels of the current packet still to be written
    bool run = false;       // the current packet repeats its first pixel
    // A packet that runs past the last pixel is cut there.
    for (size_t i = 0; i < count; ++i, --packetLeft) {
        const bool packetStart = packetLeft == 0;
        if (packetStart) {
            const int packet = std::fgetc(file);
            if (packet == EOF) return false;
            run = (packet & kRunPacketBit) != 0;
            packetLeft = static_cast<size_t>(packet & ~kRunPacketBit) + 1;
        }
        if (packetStart || !run) {
            if (std::fread(pixel, 1, bytes, file) != bytes) return false;
            swapRedAndBlue(pixel, bytes);
        }
        std::memcpy(image->imageData + i * bytes, pixel, bytes);
    }
    return true;
}

void tgaFlipImage(sImageTGA* image) {
    if (!image->imageData) return;
    const size_t rowBytes = size_t{image->width} * bytesPerPixel(image);
    const int height = image->height;
    auto* row = static_cast<unsigned char*>(std::malloc(rowBytes > 0 ? rowBytes : 1));
    if (!row) return;
    for (int y = 0; y < height / 2; ++y) {
        unsigned char* top = image->imageData + static_cast<size_t>(y) * rowBytes;
        unsigned char* bottom = image->imageData + static_cast<size_t>(height - 1 - y) * rowBytes;
        std::memcpy(row, top, rowBytes);
        std::memcpy(top, bottom, rowBytes);
        std::memcpy(bottom, row, rowBytes);
    }
    std::free(row);
    image->flipped = 0;
}
