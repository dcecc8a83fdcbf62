#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Image;

// JPEG reading and writing through libjpeg. Any thread.
class JPEGCodec {
public:
    // The bytes start with a JPEG start-of-image marker.
    static bool isJPEG(const uint8_t* data, size_t length);
    // Decodes a grey, YCbCr or RGB JPEG into the image as opaque RGBA8. Refuses pictures wider or
    // higher than `maxSize` or of more than InputLimits::kImagePixels pixels before allocating
    // them, and progressive files of more than InputLimits::kImageScans scans; treats every
    // corrupt-data warning of the decoder (a truncated file among them) as a failure. False with
    // the reason in `*failure` on failure, the image then untouched; nothing is logged (the caller
    // knows which file it was).
    static bool decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image, std::string* failure);
    // Encodes the colour of the image as a baseline JPEG of quality 1-100 (clamped); alpha is dropped.
    static bool encode(const Image& image, int quality, std::string* bytes);
};
