#include "engine/core/CCTexture2D.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/core/CCConfiguration.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCGLProgram.h"
#include "engine/core/CCShaderCache.h"
#include "engine/core/CCTexturePVR.h"
#include "engine/core/ccGLStateCache.h"
#include "engine/core/support/CCFileUtils.h"
#include "engine/core/support/ccPointMath.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/StringUtils.h"
#include "platform/image/Image.h"
#include "platform/text/TextRenderer.h"

namespace {

CCTexture2DPixelFormat defaultAlphaPixelFormatValue = kCCTexture2DPixelFormat_RGBA8888;
bool PVRHaveAlphaPremultipliedValue = false;

// GL format and type of a raw upload, and the bytes per pixel of the data it reads.
struct UploadLayout {
    GLenum format;
    GLenum type;
    uint32_t bytesPerPixel;
};

bool uploadLayoutForFormat(CCTexture2DPixelFormat format, UploadLayout* layout) {
    switch (format) {
        case kCCTexture2DPixelFormat_RGBA8888: *layout = {GL_RGBA, GL_UNSIGNED_BYTE, 4}; return true;
        case kCCTexture2DPixelFormat_RGB888: *layout = {GL_RGB, GL_UNSIGNED_BYTE, 3}; return true;
        case kCCTexture2DPixelFormat_RGB565: *layout = {GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2}; return true;
        case kCCTexture2DPixelFormat_A8: *layout = {GL_ALPHA, GL_UNSIGNED_BYTE, 1}; return true;
        case kCCTexture2DPixelFormat_AI88: *layout = {GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 2}; return true;
        case kCCTexture2DPixelFormat_RGBA4444: *layout = {GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 2}; return true;
        case kCCTexture2DPixelFormat_RGB5A1: *layout = {GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 2}; return true;
        default: return false;
    }
}

bool isPowerOfTwo(uint64_t value) { return ccNextPowerOfTwo(value) == value; }

// The picture in a zeroed width x height buffer from malloc, at its top-left, each pixel's RGBA
// bytes turned into kBytesPerPixel bytes by `store`; null when memory runs out. The zeros make the
// GL image outside the picture transparent black in every format.
template <uint32_t kBytesPerPixel, typename Store>
void* convertEachPixel(const Image& image, uint64_t width, uint64_t height, Store store) {
    auto* pixels = static_cast<uint8_t*>(std::calloc(width * height, kBytesPerPixel));
    if (!pixels) return nullptr;
    const uint8_t* source = image.pixels().data();
    for (uint32_t y = 0; y < image.height(); ++y) {
        uint8_t* target = pixels + y * width * kBytesPerPixel;
        for (uint32_t x = 0; x < image.width(); ++x, source += 4, target += kBytesPerPixel) store(target, source);
    }
    return pixels;
}

void storeShort(uint8_t* target, uint16_t value) { std::memcpy(target, &value, sizeof value); }

// The picture's premultiplied RGBA pixels in `format` (see convertEachPixel).
void* convertedPixels(const Image& image, CCTexture2DPixelFormat format, uint64_t width, uint64_t height) {
    switch (format) {
        case kCCTexture2DPixelFormat_RGBA8888:
            return convertEachPixel<4>(image, width, height,
                                       [](uint8_t* t, const uint8_t* s) { std::memcpy(t, s, 4); });
        case kCCTexture2DPixelFormat_RGB888:
            return convertEachPixel<3>(image, width, height,
                                       [](uint8_t* t, const uint8_t* s) { std::memcpy(t, s, 3); });
        case kCCTexture2DPixelFormat_RGB565:
            return convertEachPixel<2>(image, width, height, [](uint8_t* t, const uint8_t* s) {
                storeShort(t, static_cast<uint16_t>((s[0] >> 3) << 11 | (s[1] >> 2) << 5 | (s[2] >> 3)));
            });
        case kCCTexture2DPixelFormat_RGBA4444:
            return convertEachPixel<2>(image, width, height, [](uint8_t* t, const uint8_t* s) {
                storeShort(t, static_cast<uint16_t>((s[0] >> 4) << 12 | (s[1] >> 4) << 8 | (s[2] >> 4) << 4 |
                                                    (s[3] >> 4)));
            });
        case kCCTexture2DPixelFormat_RGB5A1:
            // One bit of alpha: a pixel at least half opaque keeps its colour, any other is dropped
            // altogether.
            return convertEachPixel<2>(image, width, height, [](uint8_t* t, const uint8_t* s) {
                const auto colour = static_cast<uint16_t>((s[0] >> 3) << 11 | (s[1] >> 3) << 6 | (s[2] >> 3) << 1 | 1);
                storeShort(t, s[3] >= 128 ? colour : uint16_t{0});
            });
        case kCCTexture2DPixelFormat_A8:
            return convertEachPixel<1>(image, width, height, [](uint8_t* t, const uint8_t* s) { *t = s[3]; });
        default:
            throwNamedException("NSInternalInconsistencyException", "Invalid pixel format");
    }
}

}  // namespace

CCTexture2D::CCTexture2D() = default;

CCTexture2D::~CCTexture2D() {
    if (name_) ccGLDeleteTexture(name_);
}

bool CCTexture2D::initWithData(const void* data, CCTexture2DPixelFormat format, uint64_t pixelsWide,
                               uint64_t pixelsHigh, CGSize contentSize) {
    UploadLayout layout{};
    CC_REQUIRE(uploadLayoutForFormat(format, &layout), "NSInternalInconsistencyException",
               "pixel format %d has no raw upload", static_cast<int>(format));

    // Rows are packed. An alignment of 4 is both what the picture formats were made for and
    // harmless only when every row's byte count is a multiple of 4; otherwise GL would skip bytes
    // at the end of each row and read past the data.
    const uint64_t rowBytes = pixelsWide * layout.bytesPerPixel;
    const bool alignedFormat = format == kCCTexture2DPixelFormat_RGBA8888 ||
                               (isPowerOfTwo(pixelsWide) && isPowerOfTwo(pixelsHigh));
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignedFormat && rowBytes % 4 == 0 ? 4 : 1);

    if (name_) ccGLDeleteTexture(name_);
    glGenTextures(1, &name_);
    ccGLBindTexture(name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(layout.format), static_cast<GLsizei>(pixelsWide),
                 static_cast<GLsizei>(pixelsHigh), 0, layout.format, layout.type, data);

    size_ = contentSize;
    width_ = pixelsWide;
    height_ = pixelsHigh;
    format_ = format;
    maxS_ = pixelsWide ? static_cast<float>(contentSize.width / static_cast<double>(pixelsWide)) : 0;
    maxT_ = pixelsHigh ? static_cast<float>(contentSize.height / static_cast<double>(pixelsHigh)) : 0;
    hasPremultipliedAlpha_ = false;
    hasMipmaps_ = false;
    resolutionType_ = 0;
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture));
    return true;
}

bool CCTexture2D::initWithCGImage(const Image* image, int32_t resolutionType) {
    const CCConfiguration* configuration = CCConfiguration::sharedConfiguration();
    return initWithCGImage(image, resolutionType, configuration->supportsNPOT(), configuration->maxTextureSize());
}

bool CCTexture2D::initWithCGImage(const Image* image, int32_t resolutionType, bool supportsNPOT,
                                  GLint maxTextureSize) {
    if (!image || image->empty()) return false;

    // Pictures with alpha are drawn premultiplied and take the default alpha format, except that
    // A8 keeps the alpha alone, which nothing multiplies; opaque ones keep full colour only when
    // the default does.
    CCTexture2DPixelFormat format = defaultAlphaPixelFormatValue;
    if (!image->hasAlpha() && format != kCCTexture2DPixelFormat_RGBA8888) format = kCCTexture2DPixelFormat_RGB565;
    const bool premultiplied = image->hasAlpha() && format != kCCTexture2DPixelFormat_A8;

    uint64_t width = image->width();
    uint64_t height = image->height();
    if (!supportsNPOT) {
        width = ccNextPowerOfTwo(width);
        height = ccNextPowerOfTwo(height);
    }
    if (width > static_cast<uint64_t>(maxTextureSize) || height > static_cast<uint64_t>(maxTextureSize)) {
        logLine("Lumora: an image of %llu x %llu pixels exceeds the maximum texture size %d",
                static_cast<unsigned long long>(width), static_cast<unsigned long long>(height), maxTextureSize);
        return false;
    }

    const CGSize contentSize = CGSizeMake(image->width(), image->height());
    if (format == kCCTexture2DPixelFormat_RGBA8888 && width == image->width() && height == image->height()) {
        // The picture's own rows are the GL image already: no copy of them to make (a 1024 x 768
        // splash would take milliseconds at launch).
        initWithData(image->pixels().data(), format, width, height, contentSize);
    } else {
        void* pixels = convertedPixels(*image, format, width, height);
        auto release = [this](void* data) { releaseData(data); };
        std::unique_ptr<void, decltype(release)> owner(pixels, release);
        if (!pixels) {
            logLine("Lumora: no memory for an image of %llu x %llu pixels", static_cast<unsigned long long>(width),
                    static_cast<unsigned long long>(height));
            return false;
        }
        initWithData(pixels, format, width, height, contentSize);
    }
    hasPremultipliedAlpha_ = premultiplied;
    resolutionType_ = resolutionType;
    return true;
}

bool CCTexture2D::initWithString(const std::string& text, const std::string& fontName, double fontSize) {
    TextRenderer font;
    if (!font.initWithFont(fontName, fontSize)) return false;
    const CGSize size = font.layout(text, 0, kCCLineBreakModeWordWrap).size;
    return initWithString(text, size, kCCTextAlignmentCenter, kCCVerticalTextAlignmentTop, font,
                          kCCLineBreakModeWordWrap);
}

bool CCTexture2D::initWithString(const std::string& text, const std::string& fontName, double fontSize,
                                 CGSize dimensions, int hAlignment, int vAlignment, int lineBreakMode) {
    TextRenderer font;
    if (!font.initWithFont(fontName, fontSize)) return false;
    return initWithString(text, dimensions, hAlignment, vAlignment, font, lineBreakMode);
}

bool CCTexture2D::initWithString(const std::string& text, CGSize dimensions, int hAlignment, int vAlignment,
                                 const TextRenderer& font, int lineBreakMode) {
    if (!(dimensions.width >= 1 && dimensions.height >= 1)) return false;
    const uint64_t width = ccNextPowerOfTwo(static_cast<uint64_t>(std::min(dimensions.width, 1e9)));
    const uint64_t height = ccNextPowerOfTwo(static_cast<uint64_t>(std::min(dimensions.height, 1e9)));
    const GLint maxTextureSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    if (width > static_cast<uint64_t>(maxTextureSize) || height > static_cast<uint64_t>(maxTextureSize)) {
        logLine("Lumora: a text box of %g x %g exceeds the maximum texture size %d", dimensions.width,
                dimensions.height, maxTextureSize);
        return false;
    }

    const TextRenderer::Layout layout = font.layout(text, dimensions.width, lineBreakMode);
    const CGSize textSize = layout.size;
    if (!(textSize.width > 0 && textSize.height > 0)) return false;

    // The text block within the box, from the GL image's top-left corner (the picture occupies
    // the image's first rows and columns).
    const double spareWidth = dimensions.width - textSize.width;
    const double spareHeight = dimensions.height - textSize.height;
    const CGPoint origin{hAlignment == kCCTextAlignmentRight    ? spareWidth
                         : hAlignment == kCCTextAlignmentCenter ? spareWidth / 2
                                                                : 0,
                         vAlignment == kCCVerticalTextAlignmentBottom   ? spareHeight
                         : vAlignment == kCCVerticalTextAlignmentCenter ? spareHeight / 2
                                                                        : 0};

    // Coverage is drawn into the alpha byte of each AI88 pixel (luminance 255, then alpha), after
    // which the bytes are spread out in place from the end.
    const uint64_t pixelCount = width * height;
    auto* pixels = static_cast<uint8_t*>(std::calloc(pixelCount, 2));
    auto release = [this](void* data) { releaseData(data); };
    std::unique_ptr<void, decltype(release)> owner(pixels, release);
    if (!pixels) return false;
    font.draw(layout, origin, textSize.width, hAlignment, pixels, static_cast<uint32_t>(width),
              static_cast<uint32_t>(height));
    for (uint64_t i = pixelCount; i-- > 0;) {
        pixels[2 * i + 1] = pixels[i];
        pixels[2 * i] = 0xFF;
    }
    const void* data = keepData(pixels, pixelCount * 2);
    initWithData(data, kCCTexture2DPixelFormat_AI88, width, height, dimensions);
    return true;
}

bool CCTexture2D::initWithPVRFile(const std::string& file) {
    int32_t resolutionType = 0;
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(file, &resolutionType);
    auto pvr = makeRef<CCTexturePVR>();
    if (!pvr->initWithContentsOfFile(path)) return false;
    if (pvr->numberOfMipmaps() == 0) {
        logLine("Lumora: PVR file %s holds no image", path.c_str());
        return false;
    }
    pvr->setRetainName(true);

    if (name_) ccGLDeleteTexture(name_);
    name_ = pvr->name();
    maxS_ = 1.0f;
    maxT_ = 1.0f;
    width_ = pvr->width();
    height_ = pvr->height();
    size_ = CGSizeMake(static_cast<double>(width_), static_cast<double>(height_));
    hasPremultipliedAlpha_ = PVRHaveAlphaPremultipliedValue;
    format_ = pvr->format();
    hasMipmaps_ = pvr->numberOfMipmaps() > 1;
    resolutionType_ = resolutionType;
    // Like every other texture, one that can draw itself.
    setShaderProgram(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture));
    return true;
}

std::string CCTexture2D::description() const {
    return stringWithFormat("<%s = %p | Name = %u | Dimensions = %llux%llu | Pixel format = %s | "
                            "Coordinates = (%.2f, %.2f)>",
                            className(*this).c_str(), static_cast<const void*>(this), name_,
                            static_cast<unsigned long long>(width_), static_cast<unsigned long long>(height_),
                            stringForFormat().c_str(), maxS_, maxT_);
}

CGSize CCTexture2D::contentSize() const {
    const double factor = CCDirector::sharedDirector()->contentScaleFactor();
    return CGSizeMake(size_.width / factor, size_.height / factor);
}

CCGLProgram* CCTexture2D::shaderProgram() const { return shaderProgram_.get(); }

void CCTexture2D::setShaderProgram(RefPtr<CCGLProgram> program) { shaderProgram_ = std::move(program); }

void CCTexture2D::drawAtPoint(CGPoint point) {
    const double width = static_cast<double>(width_) * maxS_;
    const double height = static_cast<double>(height_) * maxT_;
    drawInRect(CGRectMake(point.x, point.y, width, height));
}

void CCTexture2D::drawInRect(CGRect rect) {
    if (!shaderProgram_) return;
    const auto left = static_cast<GLfloat>(rect.origin.x);
    const auto bottom = static_cast<GLfloat>(rect.origin.y);
    const auto right = static_cast<GLfloat>(rect.origin.x + rect.size.width);
    const auto top = static_cast<GLfloat>(rect.origin.y + rect.size.height);
    const GLfloat vertices[] = {left, bottom, right, bottom, left, top, right, top};
    // Row 0 of the texture is the top of the picture.
    const GLfloat coordinates[] = {0, maxT_, maxS_, maxT_, 0, 0, maxS_, 0};

    ccGLUseProgramWithBuiltins(*shaderProgram_);
    ccGLBindTexture(name_);
    ccGLSetVertexAttribArrays({.position = vertices, .texCoords = coordinates});
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    ++ccDrawCallCounter;
}

void CCTexture2D::generateMipmap() {
    ccGLBindTexture(name_);
    glGenerateMipmap(GL_TEXTURE_2D);
    hasMipmaps_ = true;
}

void CCTexture2D::setTexParameters(const ccTexParams* texParams) {
    ccGLBindTexture(name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(texParams->minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(texParams->magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(texParams->wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(texParams->wrapT));
}

void CCTexture2D::setAliasTexParameters() {
    ccGLBindTexture(name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, hasMipmaps_ ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void CCTexture2D::setAntiAliasTexParameters() {
    ccGLBindTexture(name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, hasMipmaps_ ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

uint64_t CCTexture2D::bitsPerPixelForFormat(CCTexture2DPixelFormat format) {
    switch (format) {
        case kCCTexture2DPixelFormat_RGBA8888:
        case kCCTexture2DPixelFormat_RGB888: return 32;
        case kCCTexture2DPixelFormat_RGB565:
        case kCCTexture2DPixelFormat_AI88:
        case kCCTexture2DPixelFormat_RGBA4444:
        case kCCTexture2DPixelFormat_RGB5A1: return 16;
        case kCCTexture2DPixelFormat_A8:
        case kCCTexture2DPixelFormat_I8: return 8;
        case kCCTexture2DPixelFormat_PVRTC4: return 4;
        case kCCTexture2DPixelFormat_PVRTC2: return 2;
        default: return UINT64_MAX;
    }
}

uint64_t CCTexture2D::bitsPerPixelForFormat() const { return bitsPerPixelForFormat(format_); }

std::string CCTexture2D::stringForFormat() const {
    static const char* const names[] = {"RGBA8888", "RGB888", "RGB565",   "A8",     "I8",
                                        "AI88",     "RGBA4444", "RGB5A1", "PVRTC4", "PVRTC2"};
    return format_ >= 0 && format_ < 10 ? names[format_] : "";
}

void CCTexture2D::setDefaultAlphaPixelFormat(CCTexture2DPixelFormat format) { defaultAlphaPixelFormatValue = format; }

CCTexture2DPixelFormat CCTexture2D::defaultAlphaPixelFormat() { return defaultAlphaPixelFormatValue; }

void CCTexture2D::PVRImagesHavePremultipliedAlpha(bool haveAlphaPremultiplied) {
    PVRHaveAlphaPremultipliedValue = haveAlphaPremultiplied;
}

void* CCTexture2D::keepData(void* data, uint64_t) { return data; }

void CCTexture2D::releaseData(void* data) { std::free(data); }
