#include "platform/image/Image.h"

#include <cstdio>
#include <memory>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/image/JPEGCodec.h"
#include "platform/image/PNGCodec.h"

Image::Image(uint32_t width, uint32_t height, bool hasAlpha, std::vector<uint8_t> pixels)
    : width_(width), height_(height), hasAlpha_(hasAlpha), pixels_(std::move(pixels)) {
    if (pixels_.size() != static_cast<size_t>(width) * height * 4) {
        throw NamedException("NSInvalidArgumentException", "pixels do not match the image size");
    }
}

bool Image::initWithContentsOfFile(const std::string& path, uint32_t maxSize) {
    clear();
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    std::vector<uint8_t> bytes;
    if (file && std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0 && std::fseek(file.get(), 0, SEEK_SET) == 0) {
            bytes.resize(static_cast<size_t>(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) bytes.clear();
        }
    }
    if (bytes.empty()) {
        logLine("Lumora: image file %s cannot be read", path.c_str());
        return false;
    }
    return initWithData(bytes.data(), bytes.size(), maxSize);
}

bool Image::initWithData(const uint8_t* data, size_t length, uint32_t maxSize) {
    clear();
    if (PNGCodec::isPNG(data, length)) return PNGCodec::decode(data, length, maxSize, this);
    if (JPEGCodec::isJPEG(data, length)) return JPEGCodec::decode(data, length, maxSize, this);
    logLine("Lumora: image data is neither PNG nor JPEG");
    return false;
}

bool Image::writePNG(const std::string& path) const {
    std::string bytes;
    return PNGCodec::encode(*this, &bytes) && writeFileAtomically(path, bytes);
}

bool Image::writeJPEG(const std::string& path, int quality) const {
    std::string bytes;
    return JPEGCodec::encode(*this, quality, &bytes) && writeFileAtomically(path, bytes);
}

void Image::allocate(uint32_t width, uint32_t height, bool hasAlpha, int bitsPerComponent) {
    width_ = width;
    height_ = height;
    hasAlpha_ = hasAlpha;
    bitsPerComponent_ = bitsPerComponent;
    pixels_.assign(static_cast<size_t>(width) * height * 4, 0);
}

void Image::clear() { *this = Image(); }
