// Textures in a real GL context: raw uploads in every format and awkward size, picture conversion
// to the default alpha format, the power-of-two image, text, parameters, and drawing a quad.

#include "engine/core/CCTexture2D.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "engine/core/CCDirector.h"
#include "engine/core/CCTextureCache.h"
#include "engine/core/ccGLStateCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/image/Image.h"
#include "platform/text/TextRenderer.h"
#include "support/GLSceneTest.h"
#include "support/PVRFiles.h"
#include "support/TestSupport.h"
#include "support/TextureImage.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";

class CCTexture2DGLTest : public GLSceneTest {
protected:
    // The quadrants picture drawn upright in the w x h rect at (x, y), black just outside it.
    void expectQuadrants(int x, int y, int w, int h) {
        EXPECT_TRUE(pixelNear(x + w / 4, y + 3 * h / 4, {255, 0, 0}));
        EXPECT_TRUE(pixelNear(x + 3 * w / 4, y + 3 * h / 4, {0, 255, 0}));
        EXPECT_TRUE(pixelNear(x + w / 4, y + h / 4, {0, 0, 255}));
        EXPECT_TRUE(pixelNear(x + 3 * w / 4, y + h / 4, {255, 255, 255}));
        EXPECT_TRUE(pixelNear(x - 1, y + h / 2, {0, 0, 0}));
        EXPECT_TRUE(pixelNear(x + w, y + h / 2, {0, 0, 0}));
        EXPECT_TRUE(pixelNear(x + w / 2, y + h, {0, 0, 0}));
        EXPECT_TRUE(pixelNear(x + w / 2, y - 1, {0, 0, 0}));
    }
};

// Sets the default alpha pixel format for one scope.
class DefaultAlphaFormat {
public:
    explicit DefaultAlphaFormat(CCTexture2DPixelFormat format) : saved_(CCTexture2D::defaultAlphaPixelFormat()) {
        CCTexture2D::setDefaultAlphaPixelFormat(format);
    }
    ~DefaultAlphaFormat() { CCTexture2D::setDefaultAlphaPixelFormat(saved_); }

private:
    CCTexture2DPixelFormat saved_;
};

RefPtr<CCTexture2D> textureWithData(const void* data, CCTexture2DPixelFormat format, uint64_t width, uint64_t height) {
    auto texture = makeRef<CCTexture2D>();
    EXPECT_TRUE(texture->initWithData(data, format, width, height, CGSizeMake(width, height)));
    return texture;
}

RefPtr<CCTexture2D> textureWithImage(const Image& image, bool supportsNPOT = true) {
    auto texture = makeRef<CCTexture2D>();
    return texture->initWithCGImage(&image, 1, supportsNPOT, 4096) ? texture : nullptr;
}

// 16-bit texels as GL returns them, in the machine's byte order.
std::vector<uint8_t> shorts(std::initializer_list<uint16_t> values) {
    std::vector<uint8_t> bytes(values.size() * 2);
    std::memcpy(bytes.data(), std::data(values), bytes.size());
    return bytes;
}

// A picture whose quadrants are red (top-left), green (top-right), blue (bottom-left) and white.
Image quadrants(uint32_t width, uint32_t height) {
    std::vector<uint8_t> pixels;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const bool top = y < height / 2, left = x < width / 2;
            const uint8_t red = top ? (left ? 255 : 0) : (left ? 0 : 255);
            const uint8_t green = top ? (left ? 0 : 255) : (left ? 0 : 255);
            const uint8_t blue = top ? 0 : 255;
            pixels.insert(pixels.end(), {red, green, blue, 255});
        }
    }
    return Image(width, height, true, std::move(pixels));
}

TEST_F(CCTexture2DGLTest, RawUploadsOfNarrowRowsReadBackUnskewed) {
    struct Format {
        CCTexture2DPixelFormat format;
        GLenum glFormat, glType;
        size_t bytesPerPixel;
    };
    const Format formats[] = {
        {kCCTexture2DPixelFormat_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2},
        {kCCTexture2DPixelFormat_A8, GL_ALPHA, GL_UNSIGNED_BYTE, 1},
        {kCCTexture2DPixelFormat_AI88, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, 2},
        {kCCTexture2DPixelFormat_RGB888, GL_RGB, GL_UNSIGNED_BYTE, 3},
        {kCCTexture2DPixelFormat_RGBA4444, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 2},
        {kCCTexture2DPixelFormat_RGB5A1, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, 2},
        {kCCTexture2DPixelFormat_RGBA8888, GL_RGBA, GL_UNSIGNED_BYTE, 4},
    };
    const std::pair<uint64_t, uint64_t> sizes[] = {{1, 1}, {2, 2}, {1, 4}, {2, 3}, {3, 2}, {4, 2}, {5, 3}};
    for (const Format& format : formats) {
        for (const auto& [width, height] : sizes) {
            SCOPED_TRACE(testing::Message() << format.format << " " << width << "x" << height);
            // Exactly the packed size, so that a skewed read runs past it.
            std::vector<uint8_t> pixels(width * height * format.bytesPerPixel);
            for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 29 + 7);
            const auto texture = textureWithData(pixels.data(), format.format, width, height);
            EXPECT_EQ(readTextureImage(texture->name(), 0, format.glFormat, format.glType, pixels.size()), pixels);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }

    // Alignment 4 only for RGBA8888 or power-of-two sizes, and then only when rows allow it.
    const std::tuple<CCTexture2DPixelFormat, uint64_t, uint64_t, GLint> alignments[] = {
        {kCCTexture2DPixelFormat_RGB565, 100, 50, 1}, {kCCTexture2DPixelFormat_RGBA8888, 100, 50, 4},
        {kCCTexture2DPixelFormat_RGB565, 64, 32, 4},  {kCCTexture2DPixelFormat_A8, 2, 2, 1},
        {kCCTexture2DPixelFormat_AI88, 1, 8, 1}};
    for (const auto& [format, width, height, expected] : alignments) {
        std::vector<uint8_t> pixels(width * height * 4);
        textureWithData(pixels.data(), format, width, height);
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, expected) << format << " " << width << "x" << height;
    }

    // Formats that have no raw upload are refused before GL sees them.
    for (const int format : {int{kCCTexture2DPixelFormat_I8}, int{kCCTexture2DPixelFormat_PVRTC4},
                             int{kCCTexture2DPixelFormat_PVRTC2}, 10, -1}) {
        auto texture = makeRef<CCTexture2D>();
        const uint8_t pixel[4] = {};
        try {
            texture->initWithData(pixel, static_cast<CCTexture2DPixelFormat>(format), 1, 1, CGSizeMake(1, 1));
            ADD_FAILURE() << format << " was accepted";
        } catch (const NamedException& exception) {
            EXPECT_EQ(exception.name(), "NSInternalInconsistencyException");
        }
        EXPECT_EQ(texture->name(), 0u);
    }
}

TEST_F(CCTexture2DGLTest, PicturesWithAlphaTakeTheDefaultAlphaFormat) {
    // Premultiplied: opaque, just over half, just under half, clear.
    const std::vector<uint8_t> pixels = {200, 100, 50, 255, 100, 50, 25, 128, 60, 60, 60, 127, 0, 0, 0, 0};
    const Image picture(2, 2, true, pixels);
    const auto texture = textureWithImage(picture);
    ASSERT_NE(texture, nullptr);
    EXPECT_TRUE(texture->hasPremultipliedAlpha());
    EXPECT_EQ(readTextureImage(texture->name(), 0, GL_RGBA, GL_UNSIGNED_BYTE, 16), pixels);

    // One bit of alpha: 128 keeps the colour with alpha 1, 127 loses the pixel.
    const struct {
        CCTexture2DPixelFormat format;
        GLenum glFormat, glType;
        std::vector<uint8_t> expected;
    } conversions[] = {
        {kCCTexture2DPixelFormat_RGBA4444, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, shorts({0xC63F, 0x6318, 0x3337, 0})},
        {kCCTexture2DPixelFormat_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, shorts({0xCB26, 0x6183, 0x39E7, 0})},
        {kCCTexture2DPixelFormat_RGB5A1, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, shorts({0xCB0D, 0x6187, 0, 0})},
        {kCCTexture2DPixelFormat_RGB888, GL_RGB, GL_UNSIGNED_BYTE, {200, 100, 50, 100, 50, 25, 60, 60, 60, 0, 0, 0}},
        {kCCTexture2DPixelFormat_A8, GL_ALPHA, GL_UNSIGNED_BYTE, {255, 128, 127, 0}},
    };
    for (const auto& conversion : conversions) {
        DefaultAlphaFormat scope(conversion.format);
        const auto converted = textureWithImage(picture);
        EXPECT_EQ(readTextureImage(converted->name(), 0, conversion.glFormat, conversion.glType,
                                   conversion.expected.size()),
                  conversion.expected)
            << conversion.format;
    }
    for (const auto format :
         {kCCTexture2DPixelFormat_AI88, kCCTexture2DPixelFormat_I8, kCCTexture2DPixelFormat_PVRTC4}) {
        DefaultAlphaFormat scope(format);
        auto texture = makeRef<CCTexture2D>();
        try {
            texture->initWithCGImage(&picture, 0, true, 4096);
            ADD_FAILURE() << format << " was accepted";
        } catch (const NamedException& exception) {
            EXPECT_EQ(exception.reason(), "Invalid pixel format");
        }
    }
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithCGImage(nullptr, 0));
}

TEST_F(CCTexture2DGLTest, OpaquePicturesKeepFullColourOnlyUnderRGBA8888) {
    TemporaryFolder folder;
    ASSERT_TRUE(quadrants(16, 16).writeJPEG(folder.file("photo.jpg"), 90));
    Image photo;
    ASSERT_TRUE(photo.initWithContentsOfFile(folder.file("photo.jpg"), 4096));
    ASSERT_FALSE(photo.hasAlpha());

    auto texture = textureWithImage(photo);
    EXPECT_EQ(texture->pixelFormat(), kCCTexture2DPixelFormat_RGBA8888);
    EXPECT_EQ(readTextureImage(texture->name(), 0, GL_RGBA, GL_UNSIGNED_BYTE, 16 * 16 * 4)[3], 255);

    for (const auto format : {kCCTexture2DPixelFormat_RGBA4444, kCCTexture2DPixelFormat_A8,
                              kCCTexture2DPixelFormat_RGB5A1}) {
        DefaultAlphaFormat scope(format);
        texture = textureWithImage(photo);
        EXPECT_EQ(texture->pixelFormat(), kCCTexture2DPixelFormat_RGB565) << format;
        EXPECT_FALSE(texture->hasPremultipliedAlpha());
    }
}

TEST_F(CCTexture2DGLTest, WithoutNPOTThePictureSitsAtTheTopLeftOfAPowerOfTwoImage) {
    const Image picture = quadrants(100, 50);
    auto texture = textureWithImage(picture, false);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->pixelsWide(), 128u);
    EXPECT_EQ(texture->pixelsHigh(), 64u);
    EXPECT_FLOAT_EQ(texture->maxS(), 0.78125f);
    EXPECT_FLOAT_EQ(texture->maxT(), 0.78125f);
    EXPECT_EQ(texture->contentSizeInPixels(), CGSizeMake(100, 50));
    const std::vector<uint8_t> read = readTextureImage(texture->name(), 0, GL_RGBA, GL_UNSIGNED_BYTE, 128 * 64 * 4);
    auto at = [&](int x, int y) {
        const auto first = read.begin() + (y * 128 + x) * 4;
        return std::vector<uint8_t>(first, first + 4);
    };
    EXPECT_EQ(at(0, 0), (std::vector<uint8_t>{255, 0, 0, 255}));    // row 0 is the picture's top
    EXPECT_EQ(at(99, 0), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(at(99, 49), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(at(100, 0), (std::vector<uint8_t>{0, 0, 0, 0}));      // cleared beyond the picture
    EXPECT_EQ(at(0, 50), (std::vector<uint8_t>{0, 0, 0, 0}));

    // The context does take other sizes.
    texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithCGImage(&picture, 0));
    EXPECT_EQ(texture->pixelsWide(), 100u);
    EXPECT_EQ(texture->maxS(), 1.0f);

    // The GL image is measured against the maximum before anything is allocated.
    LogCapture capture;
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithCGImage(&picture, 0, false, 100));
    EXPECT_TRUE(capture.contains("128 x 64 pixels exceeds the maximum texture size 100"));
    EXPECT_TRUE(makeRef<CCTexture2D>()->initWithCGImage(&picture, 0, true, 100));
}

TEST_F(CCTexture2DGLTest, ParametersMipmapsDescriptionAndSizes) {
    const std::vector<uint8_t> pixels(16 * 8 * 4, 0x80);
    auto texture = textureWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, 16, 8);
    const GLuint name = texture->name();
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    texture->setAliasTexParameters();
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_FALSE(texture->hasMipmaps());
    texture->generateMipmap();
    EXPECT_TRUE(texture->hasMipmaps());
    texture->setAliasTexParameters();
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_NEAREST);
    texture->setAntiAliasTexParameters();
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    const ccTexParams params{GL_NEAREST, GL_LINEAR, GL_REPEAT, GL_MIRRORED_REPEAT};
    texture->setTexParameters(&params);
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);

    EXPECT_TRUE(std::regex_match(texture->description(),
                                 std::regex("<CCTexture2D = 0x[0-9a-f]+ \\| Name = " + std::to_string(name) +
                                            " \\| Dimensions = 16x8 \\| Pixel format = RGBA8888 \\| "
                                            "Coordinates = \\(1\\.00, 1\\.00\\)>")))
        << texture->description();
    EXPECT_EQ(texture->bitsPerPixelForFormat(), 32u);
    EXPECT_EQ(CCTexture2D::bitsPerPixelForFormat(static_cast<CCTexture2DPixelFormat>(10)), UINT64_MAX);
    EXPECT_EQ(CCTexture2D::bitsPerPixelForFormat(static_cast<CCTexture2DPixelFormat>(-1)), UINT64_MAX);

    // Sizes in points follow the content scale factor; pixels do not.
    texture = textureWithData(pixels.data(), kCCTexture2DPixelFormat_AI88, 16, 8);
    EXPECT_EQ(texture->stringForFormat(), "AI88");
    director_->setContentScaleFactor(2);
    EXPECT_EQ(texture->contentSize(), CGSizeMake(8, 4));
    EXPECT_EQ(texture->contentSizeInPixels(), CGSizeMake(16, 8));
    director_->setContentScaleFactor(1);
    EXPECT_EQ(texture->contentSize(), CGSizeMake(16, 8));

    // Deleting the texture frees its GL name.
    texture = nullptr;
    EXPECT_FALSE(glIsTexture(name));
}

// The bounds of the inked pixels of a text texture, whose luminance is full everywhere.
CGRect inkBox(const CCTexture2D& texture) {
    const uint64_t w = texture.pixelsWide(), h = texture.pixelsHigh();
    const auto pixels = readTextureImage(texture.name(), 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, w * h * 2);
    double left = 1e9, top = 1e9, right = 0, bottom = 0;
    for (uint64_t y = 0; y < h; ++y) {
        for (uint64_t x = 0; x < w; ++x) {
            EXPECT_EQ(pixels[(y * w + x) * 2], 255);
            if (pixels[(y * w + x) * 2 + 1] == 0) continue;
            left = std::min<double>(left, x);
            top = std::min<double>(top, y);
            right = std::max<double>(right, x + 1);
            bottom = std::max<double>(bottom, y + 1);
        }
    }
    return {{left, top}, {right - left, bottom - top}};
}

TEST_F(CCTexture2DGLTest, TextIsCoverageUnderFullLuminance) {
    TextRenderer font;
    ASSERT_TRUE(font.initWithFont(kFamily, 24));
    const CGSize textSize = font.layout("Hello", 0, 0).size;

    auto texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithString("Hello", kFamily, 24));
    EXPECT_EQ(texture->pixelFormat(), kCCTexture2DPixelFormat_AI88);
    EXPECT_EQ(texture->contentSizeInPixels(), textSize);
    EXPECT_EQ(texture->pixelsWide(), 64u);
    EXPECT_EQ(texture->pixelsHigh(), 32u);
    const CGRect ink = inkBox(*texture);
    EXPECT_GT(ink.size.width, 20);
    EXPECT_LE(ink.origin.x + ink.size.width, textSize.width);
    EXPECT_LE(ink.origin.y + ink.size.height, textSize.height);

    // In a box: the text keeps to the aligned corner.
    ASSERT_TRUE(texture->initWithString("Hi", kFamily, 24, CGSizeMake(200, 100), 0, 0));
    EXPECT_EQ(texture->contentSizeInPixels(), CGSizeMake(200, 100));
    const CGRect topLeft = inkBox(*texture);
    EXPECT_LT(topLeft.origin.x, 5);
    EXPECT_LT(topLeft.origin.y, 12);
    ASSERT_TRUE(texture->initWithString("Hi", kFamily, 24, CGSizeMake(200, 100), 2, 2));
    const CGRect bottomRight = inkBox(*texture);
    EXPECT_NEAR(bottomRight.origin.x + bottomRight.size.width, 200, 5);
    EXPECT_NEAR(bottomRight.origin.y - topLeft.origin.y, 100 - font.lineHeight(), 1);

    LogCapture capture;
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString("Hello", "No Such Family Anywhere", 24));
    EXPECT_TRUE(capture.contains("not found"));
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString("", kFamily, 24));
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString("\n", kFamily, 24, CGSizeMake(50, 50), 0, 0));
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString("Hi", kFamily, 24, CGSizeMake(0, 50), 0, 0));
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString("Hi", kFamily, 24, CGSizeMake(1e7, 50), 0, 0));
}

// Draws a texture at a point or in a rect.
class TextureDrawer : public CCNode {
public:
    void draw() override {
        if (inRect) {
            texture->drawInRect(rect);
        } else {
            texture->drawAtPoint(point);
        }
    }
    RefPtr<CCTexture2D> texture;
    CGPoint point{50, 40};
    CGRect rect;
    bool inRect = false;
};

TEST_F(CCTexture2DGLTest, DrawnQuadsShowThePictureUpright) {
    const Image picture = quadrants(64, 32);
    for (const bool supportsNPOT : {true, false}) {
        SCOPED_TRACE(supportsNPOT ? "other sizes" : "powers of two");
        auto drawer = makeRef<TextureDrawer>();
        drawer->texture = textureWithImage(picture, supportsNPOT);
        scene_->addChild(drawer.get());
        const uint64_t callsBefore = ccDrawCallCounter;
        runFrames(1);
        EXPECT_EQ(ccDrawCallCounter, callsBefore + 1);
        expectQuadrants(50, 40, 64, 32);
        EXPECT_TRUE(pixelNear(50, 40, {0, 0, 255}));
        EXPECT_TRUE(pixelNear(113, 71, {0, 255, 0}));

        // Stretched into a rect half the size.
        drawer->inRect = true;
        drawer->rect = CGRectMake(200, 100, 32, 16);
        runFrames(1);
        expectQuadrants(200, 100, 32, 16);
        EXPECT_TRUE(pixelNear(66, 64, {0, 0, 0}));
        scene_->removeChild(drawer.get(), true);
    }
}

// Files through the texture cache: a PNG and an uncompressed PVR of the same picture draw alike.
TEST_F(CCTexture2DGLTest, PNGAndPVRFilesDrawAsTheirPictures) {
    TemporaryFolder folder;
    const Image picture = quadrants(64, 32);
    ASSERT_TRUE(picture.writePNG(folder.file("quadrants.png")));
    const std::vector<uint8_t>& pixels = picture.pixels();
    const std::vector<unsigned char> pvr =
        makePVRv2(kPVRLayouts[1], 64, 32, {pixels.begin(), pixels.end()}, 0xFF000000);  // RGBA8888
    folder.write("quadrants.pvr", std::string(pvr.begin(), pvr.end()));

    for (const char* name : {"quadrants.png", "quadrants.pvr"}) {
        SCOPED_TRACE(name);
        auto drawer = makeRef<TextureDrawer>();
        drawer->texture = CCTextureCache::sharedTextureCache()->addImage(folder.file(name));
        ASSERT_NE(drawer->texture, nullptr);
        scene_->addChild(drawer.get());
        runFrames(1);
        expectQuadrants(50, 40, 64, 32);
        scene_->removeChild(drawer.get(), true);
    }
}

}  // namespace
