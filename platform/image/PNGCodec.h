#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Image;

// PNG reading and writing through libpng: reading row by row, writing through libpng's memory
// interface. Any thread.
class PNGCodec {
public:
    // The bytes start with the PNG signature.
    static bool isPNG(const uint8_t* data, size_t length);
    // Decodes any PNG (palette, grey, RGB, with or without alpha, 1 to 16 bits, interlaced or not)
    // into the image as premultiplied RGBA8; colour values are taken as they are stored, without
    // gamma correction. Refuses pictures wider or higher than `maxSize` or of more than
    // InputLimits::kImagePixels pixels before allocating them, and files with a chunk longer than
    // the rest of the file; ancillary chunks other than transparency (text among them) are
    // skipped unread. False with the reason in `*failure` on failure, the image then untouched;
    // nothing is logged (the caller knows which file it was).
    static bool decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image, std::string* failure);
    // Encodes the image as an 8-bit PNG: RGBA with alpha un-premultiplied when the image has alpha,
    // else RGB. False with one log line on failure.
    static bool encode(const Image& image, std::string* bytes);
};
