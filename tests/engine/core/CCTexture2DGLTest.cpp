// Textures in a real GL context: raw uploads, pictures, the power-of-two image, text, drawn quads.

#include "engine/core/CCTexture2D.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/core/CCTextureCache.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/image/Image.h"
#include "platform/text/TextRenderer.h"
#include "support/GLSceneTest.h"
#include "support/PVRFiles.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";
using Pixels = std::vector<uint8_t>;

// Draws a texture at a point or, with a rect of some size, stretched over the rect.
class TextureDrawer : public CCNode {
public:
    void draw() override { rect.size.width > 0 ? texture->drawInRect(rect) : texture->drawAtPoint({50, 40}); }
    RefPtr<CCTexture2D> texture;
    CGRect rect;
};

class CCTexture2DGLTest : public GLSceneTest {
protected:
    // Draws the texture for one frame and expects the quadrants picture upright in the w x h rect
    // at (x, y), black just outside it.
    void expectQuadrantsDrawn(RefPtr<CCTexture2D> texture, CGRect rect, int x, int y, int w, int h) {
        auto drawer = makeRef<TextureDrawer>();
        drawer->texture = std::move(texture);
        drawer->rect = rect;
        scene_->addChild(drawer.get());
        runFrames(1);
        const std::tuple<int, int, ccColor3B> probes[] = {
            {w / 4, 3 * h / 4, {255, 0, 0}}, {3 * w / 4, h / 4, {255, 255, 255}}, {0, 0, {0, 0, 255}},
            {w - 1, h - 1, {0, 255, 0}}, {-1, h / 2, {0, 0, 0}}, {w, h / 2, {0, 0, 0}}, {w / 2, h, {0, 0, 0}}};
        for (const auto& [dx, dy, colour] : probes) EXPECT_TRUE(pixelNear(x + dx, y + dy, colour));
        scene_->removeChild(drawer.get(), true);
    }
};

// Sets the default alpha pixel format for one scope.
struct DefaultAlphaFormat {
    explicit DefaultAlphaFormat(CCTexture2DPixelFormat format) { CCTexture2D::setDefaultAlphaPixelFormat(format); }
    ~DefaultAlphaFormat() { CCTexture2D::setDefaultAlphaPixelFormat(saved); }
    CCTexture2DPixelFormat saved = CCTexture2D::defaultAlphaPixelFormat();
};

RefPtr<CCTexture2D> textureWithImage(const Image& image, bool supportsNPOT = true) {
    auto texture = makeRef<CCTexture2D>();
    return texture->initWithCGImage(&image, 1, supportsNPOT, 4096) ? texture : nullptr;
}

// 16-bit texels as GL returns them, in the machine's byte order.
Pixels shorts(std::initializer_list<uint16_t> values) {
    return Pixels(reinterpret_cast<const uint8_t*>(values.begin()), reinterpret_cast<const uint8_t*>(values.end()));
}

// A picture whose quadrants are red (top-left), green (top-right), blue (bottom-left) and white.
Image quadrants(uint32_t width, uint32_t height) {
    Pixels pixels;
    for (uint32_t i = 0; i < width * height; ++i) {
        const bool top = i / width < height / 2, left = i % width < width / 2;
        pixels.insert(pixels.end(), {uint8_t(top == left ? 255 : 0), uint8_t(left ? 0 : 255), uint8_t(top ? 0 : 255)});
        pixels.push_back(255);
    }
    return Image(width, height, true, std::move(pixels));
}

TEST_F(CCTexture2DGLTest, RawUploadsOfNarrowRowsReadBackUnskewed) {
    for (const PVRLayout& layout : kPVRLayouts) {
        if (layout.glFormat == GL_BGRA || layout.format == kCCTexture2DPixelFormat_I8) continue;  // no raw upload
        // Exactly the packed size, so that a skewed read runs past it; 4 x 2 rows may be read 4-aligned.
        for (const auto& [width, height] : {std::pair{1, 1}, {2, 2}, {1, 4}, {2, 3}, {3, 2}, {4, 2}, {5, 3}}) {
            const Pixels pixels = pvrPixels(width * height * layout.bitsPerPixel / 8);
            auto texture = makeRef<CCTexture2D>();
            ASSERT_TRUE(texture->initWithData(pixels.data(), layout.format, width, height, CGSizeMake(width, height)));
            EXPECT_EQ(readTextureImage(texture->name(), 0, layout.glFormat, layout.glType, pixels.size()), pixels)
                << layout.name << " " << width << "x" << height;
        }
    }
    // Formats that have no raw upload are refused before GL sees them.
    for (const int format : {int{kCCTexture2DPixelFormat_I8}, int{kCCTexture2DPixelFormat_PVRTC4}, 9, -1}) {
        auto texture = makeRef<CCTexture2D>();
        const uint8_t pixel[4] = {};
        EXPECT_THROW(texture->initWithData(pixel, CCTexture2DPixelFormat(format), 1, 1, {1, 1}), NamedException);
        EXPECT_EQ(texture->name(), 0u);
    }
}

TEST_F(CCTexture2DGLTest, PicturesTakeTheDefaultAlphaFormat) {
    // Premultiplied: opaque, just over half, just under half, clear.
    const Pixels pixels = {200, 100, 50, 255, 100, 50, 25, 128, 60, 60, 60, 127, 0, 0, 0, 0};
    const Image picture(2, 2, true, pixels);
    const auto texture = textureWithImage(picture);
    EXPECT_TRUE(texture->hasPremultipliedAlpha());
    EXPECT_EQ(readTextureImage(texture->name(), 0, GL_RGBA, GL_UNSIGNED_BYTE, 16), pixels);
    // One bit of alpha: 128 keeps the colour with alpha 1, 127 loses the pixel. A8 keeps alpha
    // alone, which is not premultiplied.
    const std::tuple<CCTexture2DPixelFormat, GLenum, GLenum, Pixels, bool> conversions[] = {
        {kCCTexture2DPixelFormat_RGBA4444, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, shorts({0xC63F, 0x6318, 0x3337, 0}),
         true},
        {kCCTexture2DPixelFormat_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, shorts({0xCB26, 0x6183, 0x39E7, 0}), true},
        {kCCTexture2DPixelFormat_RGB5A1, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, shorts({0xCB0D, 0x6187, 0, 0}), true},
        {kCCTexture2DPixelFormat_RGB888, GL_RGB, GL_UNSIGNED_BYTE, {200, 100, 50, 100, 50, 25, 60, 60, 60, 0, 0, 0},
         true},
        {kCCTexture2DPixelFormat_A8, GL_ALPHA, GL_UNSIGNED_BYTE, {255, 128, 127, 0}, false},
    };
    for (const auto& [format, glFormat, glType, expected, premultiplied] : conversions) {
        DefaultAlphaFormat scope(format);
        const auto texture = textureWithImage(picture);
        EXPECT_EQ(readTextureImage(texture->name(), 0, glFormat, glType, expected.size()), expected) << format;
        EXPECT_EQ(texture->hasPremultipliedAlpha(), premultiplied) << format;
    }
    for (const auto format : {kCCTexture2DPixelFormat_AI88, kCCTexture2DPixelFormat_PVRTC4}) {
        DefaultAlphaFormat scope(format);
        EXPECT_THROW(textureWithImage(picture), NamedException);
    }
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithCGImage(nullptr, 0));
    // Opaque pictures keep full colour only under RGBA8888; under an alpha format they take RGB565.
    const Image photo(1, 1, false, {10, 20, 30, 255});
    auto opaque = textureWithImage(photo);
    EXPECT_EQ(readTextureImage(opaque->name(), 0, GL_RGBA, GL_UNSIGNED_BYTE, 4), (Pixels{10, 20, 30, 255}));
    const DefaultAlphaFormat scope(kCCTexture2DPixelFormat_A8);
    opaque = textureWithImage(photo);
    EXPECT_TRUE(opaque->pixelFormat() == kCCTexture2DPixelFormat_RGB565 && !opaque->hasPremultipliedAlpha());
}

TEST_F(CCTexture2DGLTest, PicturesSitAtTheTopLeftOfTheImageAndDrawUpright) {
    const Image picture = quadrants(100, 50);
    const auto texture = textureWithImage(picture, false);
    // 128 x 64 pixels; row 0 is the picture's top; the image is cleared beyond the picture.
    const Pixels read = readTextureImage(texture->name(), 0, GL_RGBA, GL_UNSIGNED_BYTE, 128 * 64 * 4);
    for (const auto& [x, y, pixel] : {std::tuple{0, 0, Pixels{255, 0, 0, 255}}, {99, 0, {0, 255, 0, 255}},
                                      {99, 49, {255, 255, 255, 255}}, {100, 0, {0, 0, 0, 0}}, {0, 50, {0, 0, 0, 0}}}) {
        EXPECT_EQ(Pixels(read.begin() + (y * 128 + x) * 4, read.begin() + (y * 128 + x + 1) * 4), pixel) << x << y;
    }
    // Drawn at a point from that image, stretched over a rect, and from a PVR file (rows top first,
    // like the picture's) through the texture cache.
    expectQuadrantsDrawn(texture, {}, 50, 40, 100, 50);
    expectQuadrantsDrawn(textureWithImage(picture), CGRectMake(200, 100, 32, 16), 200, 100, 32, 16);
    TemporaryFolder folder;
    const auto pvr = makePVRv2(kPVRLayouts[1], 100, 50, picture.pixels(), 0xFF000000);  // RGBA8888
    const auto fromFile = CCTextureCache::sharedTextureCache()->addImage(
        folder.write("quadrants.pvr", std::string(pvr.begin(), pvr.end())));
    ASSERT_NE(fromFile, nullptr);
    expectQuadrantsDrawn(fromFile, {}, 50, 40, 100, 50);
    // The GL image is measured against the maximum before anything is allocated.
    LogCapture capture;
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithCGImage(&picture, 0, false, 100));
    EXPECT_TRUE(capture.contains("128 x 64 pixels exceeds the maximum texture size 100"));
    EXPECT_TRUE(makeRef<CCTexture2D>()->initWithCGImage(&picture, 0, true, 100));
}

// The bounds of the inked pixels of a text texture, whose luminance is full everywhere.
CGRect inkBox(const CCTexture2D& texture) {
    const uint64_t w = texture.pixelsWide(), h = texture.pixelsHigh();
    const Pixels pixels = readTextureImage(texture.name(), 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, w * h * 2);
    uint64_t left = w, top = h, right = 0, bottom = 0;
    for (uint64_t i = 0; i < w * h; ++i) {
        EXPECT_EQ(pixels[i * 2], 255);
        if (pixels[i * 2 + 1] == 0) continue;
        left = std::min(left, i % w);
        right = std::max(right, i % w + 1);
        top = std::min(top, i / w);
        bottom = std::max(bottom, i / w + 1);
    }
    return CGRectMake(double(left), double(top), double(right - left), double(bottom - top));
}

TEST_F(CCTexture2DGLTest, TextIsCoverageUnderFullLuminance) {
    TextRenderer font;
    ASSERT_TRUE(font.initWithFont(kFamily, 24));
    const CGSize textSize = font.layout("Hello", 0, 0).size;
    auto texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithString("Hello", kFamily, 24));
    EXPECT_TRUE(texture->pixelsWide() == 64 && texture->pixelsHigh() == 32);
    const CGRect ink = inkBox(*texture);
    EXPECT_TRUE(ink.size.width > 20 && CGRectGetMaxX(ink) <= textSize.width && CGRectGetMaxY(ink) <= textSize.height);
    // In a box: the text keeps to the aligned corner.
    ASSERT_TRUE(texture->initWithString("Hi", kFamily, 24, CGSizeMake(200, 100), 0, 0));
    const CGRect topLeft = inkBox(*texture);
    EXPECT_TRUE(topLeft.origin.x < 5 && topLeft.origin.y < 12);
    ASSERT_TRUE(texture->initWithString("Hi", kFamily, 24, CGSizeMake(200, 100), 2, 2));
    const CGRect bottomRight = inkBox(*texture);
    EXPECT_NEAR(CGRectGetMaxX(bottomRight), 200, 5);
    EXPECT_NEAR(bottomRight.origin.y - topLeft.origin.y, 100 - font.lineHeight(), 1);
    LogCapture capture;
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString("Hello", "No Such Family Anywhere", 24));
    EXPECT_TRUE(capture.contains("not found"));
    // Nothing to draw, no room, a box beyond the maximum texture size.
    for (const auto& [text, box] : {std::pair{"\n", CGSizeMake(50, 50)}, {"Hi", {0, 50}}, {"Hi", {1e7, 50}}}) {
        EXPECT_FALSE(makeRef<CCTexture2D>()->initWithString(text, kFamily, 24, box, 0, 0)) << text;
    }
}

}  // namespace
