#include "platform/image/Image.h"

#include <mutex>
#include <unordered_set>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/image/JPEGCodec.h"
#include "platform/image/PNGCodec.h"

namespace {

// Logs why the image of file `name` (empty: of no file) cannot be decoded, for each file the first
// time only.
void reportUndecodable(const std::string& name, const std::string& failure) {
    if (!name.empty()) {
        static std::mutex mutex;
        static std::unordered_set<std::string> reported;
        const std::lock_guard lock(mutex);
        if (!reported.insert(name).second) return;
    }
    logLine("image %s cannot be decoded: %s", name.empty() ? "data" : name.c_str(), failure.c_str());
}

}  // namespace

Image::Image(uint32_t width, uint32_t height, bool hasAlpha, std::vector<uint8_t> pixels)
    : width_(width), height_(height), hasAlpha_(hasAlpha), pixels_(std::move(pixels)) {
    if (pixels_.size() != static_cast<size_t>(width) * height * 4) {
        throw NamedException("NSInvalidArgumentException", "pixels do not match the image size");
    }
}

bool Image::initWithContentsOfFile(const std::string& path, uint32_t maxSize) {
    clear();
    std::vector<uint8_t> bytes;
    std::string why;
    if (!readRegularFile(path, InputLimits::kFileBytes, &bytes, &why)) {
        logLine("image file %s cannot be read: %s", path.c_str(), why.c_str());
        return false;
    }
    return initWithData(bytes.data(), bytes.size(), maxSize, path);
}

bool Image::initWithData(const uint8_t* data, size_t length, uint32_t maxSize, const std::string& name) {
    clear();
    std::string failure;
    if (PNGCodec::isPNG(data, length)) {
        if (PNGCodec::decode(data, length, maxSize, this, &failure)) return true;
        failure = "PNG: " + failure;
    } else if (JPEGCodec::isJPEG(data, length)) {
        if (JPEGCodec::decode(data, length, maxSize, this, &failure)) return true;
        failure = "JPEG: " + failure;
    } else {
        failure = "neither PNG nor JPEG";
    }
    reportUndecodable(name, failure);
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

std::string Image::sizeRefusal(uint32_t width, uint32_t height, uint32_t maxSize) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels exceeds the ";
    if (width > maxSize || height > maxSize) return size + "limit of " + std::to_string(maxSize);
    if (uint64_t{width} * height > InputLimits::kImagePixels) {
        return size + "budget of " + std::to_string(InputLimits::kImagePixels) + " pixels";
    }
    return {};
}

void Image::startPixels(uint32_t width, uint32_t height, bool hasAlpha, int bitsPerComponent) {
    clear();
    width_ = width;
    height_ = height;
    hasAlpha_ = hasAlpha;
    bitsPerComponent_ = bitsPerComponent;
    pixels_.reserve(static_cast<size_t>(width) * height * 4);
}

uint8_t* Image::rowToFill(uint32_t y) {
    CC_REQUIRE(y < height_, "NSRangeException", "row %u beyond a picture of %u rows", y, height_);
    const size_t rowBytes = static_cast<size_t>(width_) * 4;
    if (pixels_.size() < (y + size_t{1}) * rowBytes) pixels_.resize((y + size_t{1}) * rowBytes);
    return pixels_.data() + y * rowBytes;
}

void Image::clear() { *this = Image(); }
