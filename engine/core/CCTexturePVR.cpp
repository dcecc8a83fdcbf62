#include "engine/core/CCTexturePVR.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/CCConfiguration.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccInflate.h"
#include "engine/core/support/ccPointMath.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StringUtils.h"

namespace {

// Both header versions are 52 bytes long.
constexpr uint64_t kPVRHeaderLength = 52;
constexpr uint32_t kPVRv2Tag = 0x21525650;      // "PVR!" at byte 44
constexpr uint32_t kPVRv3Version = 0x03525650;  // "PVR" and the byte 3 at byte 0

// One accepted layout: its code in each header version and how GL takes it.
struct PixelFormatRow {
    uint32_t v2Type;         // low byte of the v2 flags
    uint64_t v3PixelFormat;  // channel letters in the low four bytes, bits per channel in the high four
    ccPVRTexturePixelFormatInfo info;
};

const PixelFormatRow kPixelFormats[] = {
    {0x1A, 0x0808080861726762, {GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE, 32, true, kCCTexture2DPixelFormat_RGBA8888}},
    {0x12, 0x0808080861626772, {GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE, 32, true, kCCTexture2DPixelFormat_RGBA8888}},
    {0x10, 0x0404040461626772,
     {GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 16, true, kCCTexture2DPixelFormat_RGBA4444}},
    {0x11, 0x0105050561626772,
     {GL_RGBA, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 16, true, kCCTexture2DPixelFormat_RGB5A1}},
    {0x13, 0x0005060500626772, {GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 16, false, kCCTexture2DPixelFormat_RGB565}},
    {0x15, 0x0008080800626772, {GL_RGB, GL_RGB, GL_UNSIGNED_BYTE, 24, false, kCCTexture2DPixelFormat_RGB888}},
    {0x1B, 0x0000000800000061, {GL_ALPHA, GL_ALPHA, GL_UNSIGNED_BYTE, 8, false, kCCTexture2DPixelFormat_A8}},
    {0x16, 0x000000080000006C,
     {GL_LUMINANCE, GL_LUMINANCE, GL_UNSIGNED_BYTE, 8, false, kCCTexture2DPixelFormat_I8}},
    {0x17, 0x000008080000616C,
     {GL_LUMINANCE_ALPHA, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 16, true, kCCTexture2DPixelFormat_AI88}},
};

const PixelFormatRow& kBGRA8888Row = kPixelFormats[0];

uint32_t readLE32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

uint64_t readLE64(const unsigned char* bytes) {
    return uint64_t{readLE32(bytes)} | uint64_t{readLE32(bytes + 4)} << 32;
}

bool isPowerOfTwo(uint32_t value) { return ccNextPowerOfTwo(value) == value; }

// Bytes of one level: levels narrower or lower than 2 pixels are stored as if they were 2 (the
// container's minimum block count). Saturates instead of wrapping for absurd sizes.
uint64_t levelByteCount(const ccPVRTexturePixelFormatInfo& info, uint32_t width, uint32_t height) {
    const uint64_t across = std::max<uint32_t>(width, 2);
    const uint64_t down = std::max<uint32_t>(height, 2);
    const uint64_t bytesPerPixel = info.bpp / 8;
    return across * down > UINT64_MAX / bytesPerPixel ? UINT64_MAX : across * down * bytesPerPixel;
}

uint32_t halved(uint32_t size) { return std::max<uint32_t>(size / 2, 1); }

// Level 0 must have pixels, and few enough that padding or uploading it stays within the decoding
// budget; logs a refusal.
bool isAcceptedSize(uint32_t width, uint32_t height) {
    if (width > 0 && height > 0 && uint64_t{width} * height <= InputLimits::kImagePixels) return true;
    logLine("Lumora: PVR texture of %u x %u pixels refused (1 to %llu pixels)", width, height,
            static_cast<unsigned long long>(InputLimits::kImagePixels));
    return false;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%41" and the like decoded; other characters as they stand.
std::string percentDecoded(std::string_view text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '%' && i + 2 < text.size() && hexDigitValue(text[i + 1]) >= 0 &&
                            hexDigitValue(text[i + 2]) >= 0;
        if (escape) {
            decoded += static_cast<char>(hexDigitValue(text[i + 1]) * 16 + hexDigitValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace

RefPtr<CCTexturePVR> CCTexturePVR::pvrTextureWithContentsOfFile(const std::string& path) {
    auto texture = makeRef<CCTexturePVR>();
    return texture->initWithContentsOfFile(path) ? texture : nullptr;
}

RefPtr<CCTexturePVR> CCTexturePVR::pvrTextureWithContentsOfURL(const std::string& url) {
    auto texture = makeRef<CCTexturePVR>();
    return texture->initWithContentsOfURL(url) ? texture : nullptr;
}

CCTexturePVR::CCTexturePVR() = default;

CCTexturePVR::~CCTexturePVR() {
    if (name_ && !retainName_) ccGLDeleteTexture(name_);
}

bool CCTexturePVR::initWithContentsOfFile(const std::string& path) {
    unsigned char* bytes = nullptr;
    int64_t length = -1;
    if (hasSuffixIgnoringCase(path, ".ccz")) {
        length = ccInflateCCZFile(path.c_str(), &bytes);
    } else if (hasSuffixIgnoringCase(path, ".gz")) {
        length = ccInflateGZipFile(path.c_str(), &bytes);
    } else {
        length = ccLoadFileToMemory(path.c_str(), &bytes);
    }
    std::unique_ptr<unsigned char, decltype(&std::free)> file(bytes, std::free);
    if (length < 0) {
        logLine("Lumora: PVR file %s cannot be read", path.c_str());
        return false;
    }

    resetLevels();
    if (name_ && !retainName_) ccGLDeleteTexture(name_);
    name_ = 0;
    retainName_ = false;
    const CCConfiguration* configuration = CCConfiguration::sharedConfiguration();
    if (!unpackPVRData(file.get(), static_cast<uint64_t>(length), configuration->supportsNPOT(),
                       configuration->supportsBGRA8888()) ||
        !createGLTexture()) {
        return false;
    }
    // GL holds the pixels now; the bytes the levels point into go.
    for (CCPVRMipmap& level : mipmaps_) level.address = nullptr;
    return true;
}

bool CCTexturePVR::initWithContentsOfURL(const std::string& url) {
    constexpr std::string_view scheme = "file://";
    if (!hasPrefix(url, scheme)) return false;
    std::string_view rest = std::string_view(url).substr(scheme.size());
    if (hasPrefix(rest, "localhost/")) rest.remove_prefix(std::string_view("localhost").size());
    if (!hasPrefix(rest, "/")) return false;
    return initWithContentsOfFile(percentDecoded(rest));
}

bool CCTexturePVR::unpackPVRData(const unsigned char* data, uint64_t length, bool supportsNPOT,
                                 bool supportsBGRA8888) {
    resetLevels();
    if (length < kPVRHeaderLength) {
        logLine("Lumora: PVR data of %llu bytes is shorter than its header", static_cast<unsigned long long>(length));
        return false;
    }
    if (length > UINT32_MAX) {
        logLine("Lumora: PVR data of %llu bytes is too long", static_cast<unsigned long long>(length));
        return false;
    }
    if (unpackPVRv2Data(data, length, supportsNPOT, supportsBGRA8888)) return true;
    resetLevels();
    if (unpackPVRv3Data(data, length, supportsBGRA8888)) return true;
    resetLevels();
    if (readLE32(data + 44) != kPVRv2Tag && readLE32(data) != kPVRv3Version) {
        logLine("Lumora: data is not a PVR texture");
    }
    return false;
}

bool CCTexturePVR::unpackPVRv2Data(const unsigned char* data, uint64_t length, bool supportsNPOT,
                                   bool supportsBGRA8888) {
    if (length < kPVRHeaderLength || readLE32(data + 44) != kPVRv2Tag) return false;
    uint32_t height = readLE32(data + 4);
    uint32_t width = readLE32(data + 8);
    const uint32_t pixelType = readLE32(data + 16) & 0xFF;
    const uint32_t dataLength = readLE32(data + 20);
    const uint32_t alphaMask = readLE32(data + 40);

    if (!isAcceptedSize(width, height)) return false;
    if (!supportsNPOT && (!isPowerOfTwo(width) || !isPowerOfTwo(height))) {
        logLine("Lumora: PVR texture of %u x %u pixels needs power-of-two sizes", width, height);
        return false;
    }
    const auto row = std::find_if(std::begin(kPixelFormats), std::end(kPixelFormats),
                                  [&](const PixelFormatRow& candidate) { return candidate.v2Type == pixelType; });
    if (row == std::end(kPixelFormats)) {
        logLine("Lumora: PVR v2 pixel type 0x%02X is not supported", pixelType);
        return false;
    }
    pixelFormatInfo_ = &row->info;
    format_ = row->info.ccPixelFormat;
    width_ = width;
    height_ = height;
    hasAlpha_ = alphaMask != 0;

    // The data length may claim more than the file holds; only what it holds is read.
    const uint64_t available = std::min<uint64_t>(dataLength, length - kPVRHeaderLength);
    for (uint64_t offset = 0; offset < available;) {
        if (&*row == &kBGRA8888Row && !supportsBGRA8888) {
            logLine("Lumora: PVR texture in BGRA8888 but the GL context cannot take it");
            return false;
        }
        if (numberOfMipmaps_ == kCCPVRMipmapMax) {
            logLine("Lumora: PVR texture has more than %llu mipmap levels",
                    static_cast<unsigned long long>(kCCPVRMipmapMax));
            return false;
        }
        const uint64_t packet = std::min(available - offset, levelByteCount(row->info, width, height));
        mipmaps_[numberOfMipmaps_++] = {data + kPVRHeaderLength + offset, static_cast<uint32_t>(packet)};
        offset += packet;
        width = halved(width);
        height = halved(height);
    }
    return true;
}

bool CCTexturePVR::unpackPVRv3Data(const unsigned char* data, uint64_t length, bool supportsBGRA8888) {
    if (length < kPVRHeaderLength || readLE32(data) != kPVRv3Version) return false;
    const uint64_t pixelFormat = readLE64(data + 8);
    const auto row =
        std::find_if(std::begin(kPixelFormats), std::end(kPixelFormats),
                     [&](const PixelFormatRow& candidate) { return candidate.v3PixelFormat == pixelFormat; });
    if (row == std::end(kPixelFormats)) {
        logLine("Lumora: PVR v3 pixel format 0x%016llX is not supported", static_cast<unsigned long long>(pixelFormat));
        return false;
    }
    pixelFormatInfo_ = &row->info;
    hasAlpha_ = row->info.alpha;
    format_ = row->info.ccPixelFormat;
    uint32_t height = readLE32(data + 24);
    uint32_t width = readLE32(data + 28);
    const uint32_t levels = readLE32(data + 44);
    const uint32_t metadataLength = readLE32(data + 48);
    if (!isAcceptedSize(width, height)) return false;
    width_ = width;
    height_ = height;
    if (levels == 0) return true;

    if (levels > kCCPVRMipmapMax) {
        logLine("Lumora: PVR texture has %u mipmap levels, more than %llu", levels,
                static_cast<unsigned long long>(kCCPVRMipmapMax));
        return false;
    }
    uint64_t offset = kPVRHeaderLength + metadataLength;
    for (uint32_t level = 0; level < levels; ++level) {
        if (&*row == &kBGRA8888Row && !supportsBGRA8888) {
            logLine("Lumora: PVR texture in BGRA8888 but the GL context cannot take it");
            return false;
        }
        if (offset >= length) {
            logLine("Lumora: PVR data ends before mipmap level %u", level);
            return false;
        }
        const uint64_t packet = std::min(length - offset, levelByteCount(row->info, width, height));
        mipmaps_[numberOfMipmaps_++] = {data + offset, static_cast<uint32_t>(packet)};
        offset += packet;
        width = halved(width);
        height = halved(height);
    }
    return true;
}

bool CCTexturePVR::createGLTexture() {
    if (numberOfMipmaps_ == 0) return true;
    const GLint maxTextureSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    if (width_ > static_cast<uint32_t>(maxTextureSize) || height_ > static_cast<uint32_t>(maxTextureSize)) {
        logLine("Lumora: PVR texture of %u x %u pixels exceeds the maximum texture size %d", width_, height_,
                maxTextureSize);
        return false;
    }

    if (name_) ccGLDeleteTexture(name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &name_);
    ccGLBindTexture(name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, numberOfMipmaps_ == 1 ? GL_LINEAR : GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    CC_CHECK_GL_ERROR();

    const ccPVRTexturePixelFormatInfo& info = *pixelFormatInfo_;
    uint32_t width = width_;
    uint32_t height = height_;
    std::vector<unsigned char> padded;
    for (uint64_t level = 0; level < numberOfMipmaps_; ++level) {
        // A level the file cut short is completed with zeros: GL reads the whole level.
        const unsigned char* pixels = mipmaps_[level].address;
        const uint64_t size = levelByteCount(info, width, height);
        if (mipmaps_[level].len < size) {
            padded.assign(size, 0);
            std::memcpy(padded.data(), pixels, mipmaps_[level].len);
            pixels = padded.data();
        }
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), static_cast<GLint>(info.internalFormat),
                     static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, info.format, info.type, pixels);
        if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
            logLine("Lumora: PVR mipmap level %llu of %u x %u pixels not taken by GL (error 0x%04X)",
                    static_cast<unsigned long long>(level), width, height, error);
            return false;
        }
        width = halved(width);
        height = halved(height);
    }
    return true;
}

void CCTexturePVR::resetLevels() {
    mipmaps_ = {};
    numberOfMipmaps_ = 0;
    width_ = 0;
    height_ = 0;
    hasAlpha_ = false;
    format_ = kCCTexture2DPixelFormat_RGBA8888;
    pixelFormatInfo_ = nullptr;
}
