#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Image;

// PNG reading and writing through libpng's memory interface, which keeps libpng's error recovery
// inside libpng. Any thread.
class PNGCodec {
public:
    // The bytes start with the PNG signature.
    static bool isPNG(const uint8_t* data, size_t length);
    // Decodes any PNG (palette, grey, RGB, with or without alpha, 1 to 16 bits) into the image as
    // premultiplied RGBA8. Refuses pictures wider or higher than `maxSize` before allocating them.
    // False with one log line on failure, the image then untouched.
    static bool decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image);
    // Encodes the image as an 8-bit PNG: RGBA with alpha un-premultiplied when the image has alpha,
    // else RGB. False with one log line on failure.
    static bool encode(const Image& image, std::string* bytes);
};
