#include "platform/image/PNGCodec.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "platform/foundation/Log.h"
#include "platform/image/Image.h"

bool PNGCodec::isPNG(const uint8_t* data, size_t length) {
    return length >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

bool PNGCodec::decode(const uint8_t* data, size_t length, uint32_t maxSize, Image* image) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, length)) {
        logLine("Lumora: PNG image cannot be read: %s", png.message);
        png_image_free(&png);
        return false;
    }
    if (png.width > maxSize || png.height > maxSize) {
        logLine("Lumora: PNG image of %u x %u pixels exceeds the limit of %u", png.width, png.height, maxSize);
        png_image_free(&png);
        return false;
    }
    const bool hasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    Image decoded;
    decoded.allocate(png.width, png.height, hasAlpha, (png.format & PNG_FORMAT_FLAG_LINEAR) ? 16 : 8);
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_finish_read(&png, nullptr, decoded.pixels_.data(), 0, nullptr)) {
        logLine("Lumora: PNG image cannot be decoded: %s", png.message);
        png_image_free(&png);
        return false;
    }
    if (hasAlpha) {
        for (size_t i = 0; i < decoded.pixels_.size(); i += 4) {
            uint8_t* pixel = &decoded.pixels_[i];
            const unsigned alpha = pixel[3];
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>((pixel[c] * alpha + 127) / 255);
        }
    }
    *image = std::move(decoded);
    return true;
}

bool PNGCodec::encode(const Image& image, std::string* bytes) {
    const uint32_t channels = image.hasAlpha() ? 4 : 3;
    // libpng takes straight alpha, so the colour is divided back out of the premultiplied pixels.
    std::vector<uint8_t> rows(static_cast<size_t>(image.width()) * image.height() * channels);
    const std::vector<uint8_t>& pixels = image.pixels();
    for (size_t in = 0, out = 0; in < pixels.size(); in += 4, out += channels) {
        const unsigned alpha = pixels[in + 3];
        for (uint32_t c = 0; c < 3; ++c) {
            unsigned value = pixels[in + c];
            if (channels == 4) value = alpha == 0 ? 0 : std::min(255u, (value * 255 + alpha / 2) / alpha);
            rows[out + c] = static_cast<uint8_t>(value);
        }
        if (channels == 4) rows[out + 3] = static_cast<uint8_t>(alpha);
    }

    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width();
    png.height = image.height();
    png.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&png, nullptr, &size, 0, rows.data(), 0, nullptr)) {
        bytes->resize(size);
        if (png_image_write_to_memory(&png, bytes->data(), &size, 0, rows.data(), 0, nullptr)) {
            bytes->resize(size);
            return true;
        }
    }
    logLine("Lumora: PNG image cannot be encoded: %s", png.message);
    png_image_free(&png);
    return false;
}
