#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A picture in memory: 8-bit RGBA, four bytes per pixel, rows packed (width x 4 bytes) with row 0
// at the top. Colour is premultiplied by alpha; a picture without alpha has alpha 255 throughout.
//
// Decoding and encoding go through the PNG and JPEG codecs, chosen by the file's signature; they
// never crash on bad input: a broken, truncated or oversized file gives false and a log line
// naming it (once per file and run: every node naming a broken file would otherwise repeat it).
// Any thread; an Image is a plain value that may be moved between threads.
class Image {
public:
    Image() = default;
    // Takes packed premultiplied RGBA8 pixels; `pixels` must hold width x height x 4 bytes (else
    // NamedException "NSInvalidArgumentException").
    Image(uint32_t width, uint32_t height, bool hasAlpha, std::vector<uint8_t> pixels);

    // Decodes a PNG or JPEG file: a regular file of at most InputLimits::kFileBytes. Pictures
    // wider or higher than `maxSize` pixels, or of more than InputLimits::kImagePixels pixels, are
    // refused before their pixels are allocated. On failure the image is left empty.
    bool initWithContentsOfFile(const std::string& path, uint32_t maxSize);
    // The same from bytes in memory; `name` is the file they come from (empty: none), for the log
    // line of a failure.
    bool initWithData(const uint8_t* data, size_t length, uint32_t maxSize, const std::string& name = {});

    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    // The source has transparency: an alpha channel (RGBA, grey + alpha) or a transparency chunk
    // (a palette or a colour key).
    bool hasAlpha() const { return hasAlpha_; }
    // Bits per colour component of the source (8 or 16); the pixels here always have 8.
    int bitsPerComponent() const { return bitsPerComponent_; }
    const std::vector<uint8_t>& pixels() const { return pixels_; }
    bool empty() const { return pixels_.empty(); }

    // Writes the picture as a PNG file (replacing it atomically): RGBA with straight alpha when the
    // picture has alpha, else RGB. False with one log line on failure.
    bool writePNG(const std::string& path) const;
    // Writes the colour as a baseline JPEG file of the given quality (1-100); alpha is dropped.
    bool writeJPEG(const std::string& path, int quality) const;

private:
    friend class PNGCodec;
    friend class JPEGCodec;

    // Why a picture of width x height pixels may not be decoded: a side above `maxSize`, or more
    // than InputLimits::kImagePixels pixels in all. Empty when it may.
    static std::string sizeRefusal(uint32_t width, uint32_t height, uint32_t maxSize);
    // Makes this an empty picture of the given size that a decoder fills through rowToFill. The
    // pixels are reserved at once but zero-filled only as rows are reached, so a file cut short
    // costs the memory of the rows it holds.
    void startPixels(uint32_t width, uint32_t height, bool hasAlpha, int bitsPerComponent);
    // Row y (width x 4 bytes) for the decoder to write, the pixels grown to cover it.
    uint8_t* rowToFill(uint32_t y);
    void clear();

    uint32_t width_ = 0;   // pixels
    uint32_t height_ = 0;  // pixels
    bool hasAlpha_ = false;
    int bitsPerComponent_ = 8;
    // width_ x height_ x 4 bytes, premultiplied RGBA; fewer only while a decoder fills them
    std::vector<uint8_t> pixels_;
};
