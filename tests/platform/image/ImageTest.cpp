#include "platform/image/Image.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "support/TestSupport.h"

namespace {

constexpr uint32_t kNoLimit = 16384;

// A PNG written by libpng itself from straight-alpha pixels in `format` (PNG_FORMAT_...), with a
// colour map for the colour-mapped formats.
std::string encodeWithLibpng(uint32_t width, uint32_t height, uint32_t format, const void* pixels,
                             const void* colormap = nullptr, uint32_t colormapEntries = 0) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = width;
    png.height = height;
    png.format = format;
    png.colormap_entries = colormapEntries;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&png, nullptr, &size, 0, pixels, 0, colormap)) << png.message;
    std::string bytes(size, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels, 0, colormap)) << png.message;
    bytes.resize(size);
    return bytes;
}

bool decode(Image* image, const std::string& bytes, uint32_t maxSize = kNoLimit) {
    return image->initWithData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), maxSize);
}

std::vector<uint8_t> pixelAt(const Image& image, uint32_t x, uint32_t y) {
    const auto first = image.pixels().begin() + (static_cast<size_t>(y) * image.width() + x) * 4;
    return {first, first + 4};
}

// A colourful opaque picture: red across, green down, blue constant.
Image gradient(uint32_t width, uint32_t height) {
    std::vector<uint8_t> pixels;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            pixels.insert(pixels.end(), {static_cast<uint8_t>(x * 255 / (width - 1)),
                                         static_cast<uint8_t>(y * 255 / (height - 1)), 96, 255});
        }
    }
    return Image(width, height, false, std::move(pixels));
}

TEST(ImageTest, PNGWithAlphaIsPremultipliedAndOpaqueKindsGetFullAlpha) {
    // Straight alpha in the file: (255, 128, 0) at half alpha, a clear pixel, an opaque one.
    const uint8_t rgba[] = {255, 128, 0, 128, 10, 20, 30, 0, 1, 2, 3, 255};
    Image image;
    ASSERT_TRUE(decode(&image, encodeWithLibpng(3, 1, PNG_FORMAT_RGBA, rgba)));
    EXPECT_EQ(image.width(), 3u);
    EXPECT_TRUE(image.hasAlpha());
    EXPECT_EQ(image.bitsPerComponent(), 8);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<uint8_t>{128, 64, 0, 128}));  // (c·a + 127) / 255
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(pixelAt(image, 2, 0), (std::vector<uint8_t>{1, 2, 3, 255}));

    const uint8_t grey[] = {0, 200};
    ASSERT_TRUE(decode(&image, encodeWithLibpng(2, 1, PNG_FORMAT_GRAY, grey)));
    EXPECT_FALSE(image.hasAlpha());
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<uint8_t>{200, 200, 200, 255}));

    const uint8_t greyAlpha[] = {200, 51};
    ASSERT_TRUE(decode(&image, encodeWithLibpng(1, 1, PNG_FORMAT_GA, greyAlpha)));
    EXPECT_TRUE(image.hasAlpha());
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<uint8_t>{40, 40, 40, 51}));

    const uint16_t wide[] = {65535, 0, 0, 65535};
    ASSERT_TRUE(decode(&image, encodeWithLibpng(1, 1, PNG_FORMAT_LINEAR_RGB_ALPHA, wide)));
    EXPECT_EQ(image.bitsPerComponent(), 16);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<uint8_t>{255, 0, 0, 255}));
}

TEST(ImageTest, PaletteHasAlphaOnlyWithATransparencyChunk) {
    const uint8_t indexes[] = {0, 1, 1, 0};
    const uint8_t opaqueMap[] = {255, 0, 0, 0, 0, 255};
    Image image;
    ASSERT_TRUE(decode(&image, encodeWithLibpng(2, 2, PNG_FORMAT_RGB_COLORMAP, indexes, opaqueMap, 2)));
    EXPECT_FALSE(image.hasAlpha());
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<uint8_t>{0, 0, 255, 255}));

    const uint8_t clearMap[] = {255, 0, 0, 255, 0, 0, 255, 0};
    ASSERT_TRUE(decode(&image, encodeWithLibpng(2, 2, PNG_FORMAT_RGBA_COLORMAP, indexes, clearMap, 2)));
    EXPECT_TRUE(image.hasAlpha());
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(ImageTest, WrittenPNGsReadBackAsTheyWere) {
    TemporaryFolder folder;
    // Premultiplied pixels survive the trip through straight alpha in the file.
    std::vector<uint8_t> pixels = {128, 64, 0, 128, 0, 0, 0, 0, 30, 60, 90, 255, 50, 50, 50, 50};
    const Image translucent(2, 2, true, pixels);
    ASSERT_TRUE(translucent.writePNG(folder.file("translucent.png")));
    Image read;
    ASSERT_TRUE(read.initWithContentsOfFile(folder.file("translucent.png"), kNoLimit));
    EXPECT_TRUE(read.hasAlpha());
    EXPECT_EQ(read.pixels(), pixels);

    // Without alpha the file is RGB and the alpha given is ignored.
    pixels[3] = 7;
    ASSERT_TRUE(Image(2, 2, false, pixels).writePNG(folder.file("opaque.png")));
    ASSERT_TRUE(read.initWithContentsOfFile(folder.file("opaque.png"), kNoLimit));
    EXPECT_FALSE(read.hasAlpha());
    EXPECT_EQ(pixelAt(read, 0, 0), (std::vector<uint8_t>{128, 64, 0, 255}));

    // The size is checked in the writer's input.
    EXPECT_THROW(Image(3, 2, false, pixels), NamedException);
}

TEST(ImageTest, JPEGsAreOpaqueAndCloseToWhatWasWritten) {
    TemporaryFolder folder;
    const Image picture = gradient(40, 30);
    ASSERT_TRUE(picture.writeJPEG(folder.file("gradient.jpg"), 95));
    Image read;
    ASSERT_TRUE(read.initWithContentsOfFile(folder.file("gradient.jpg"), kNoLimit));
    EXPECT_EQ(read.width(), 40u);
    EXPECT_FALSE(read.hasAlpha());
    for (const auto& [x, y] : {std::pair{0u, 0u}, {39u, 0u}, {20u, 15u}, {39u, 29u}}) {
        const std::vector<uint8_t> got = pixelAt(read, x, y);
        const std::vector<uint8_t> wanted = pixelAt(picture, x, y);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], wanted[c], 12) << x << ", " << y << " channel " << c;
        EXPECT_EQ(got[3], 255);
    }
}

TEST(ImageTest, PicturesAboveTheLimitAreRefusedBeforeDecoding) {
    TemporaryFolder folder;
    const Image picture = gradient(100, 50);
    ASSERT_TRUE(picture.writePNG(folder.file("wide.png")));
    ASSERT_TRUE(picture.writeJPEG(folder.file("wide.jpg"), 80));
    for (const char* name : {"wide.png", "wide.jpg"}) {
        Image image;
        LogCapture capture;
        EXPECT_FALSE(image.initWithContentsOfFile(folder.file(name), 99)) << name;
        EXPECT_TRUE(capture.contains("exceeds the limit of 99")) << name;
        EXPECT_TRUE(image.empty());
        EXPECT_TRUE(image.initWithContentsOfFile(folder.file(name), 100)) << name;
    }
}

TEST(ImageTest, BrokenFilesFailWithOneLogLine) {
    TemporaryFolder folder;
    const Image picture = gradient(64, 64);
    ASSERT_TRUE(picture.writePNG(folder.file("whole.png")));
    ASSERT_TRUE(picture.writeJPEG(folder.file("whole.jpg"), 90));
    const std::string png = readFileBytes(folder.file("whole.png"));
    const std::string jpeg = readFileBytes(folder.file("whole.jpg"));

    std::string corrupt = png;
    corrupt[png.size() / 2] ^= 0x55;  // the image data's checksum no longer matches
    std::string badMarker = jpeg;
    badMarker[3] = 0x01;  // not a marker after the start of image
    const std::vector<std::pair<const char*, std::string>> broken = {
        {"empty", ""},
        {"text", "not an image at all"},
        {"png cut in the header", png.substr(0, 20)},
        {"png cut in the data", png.substr(0, png.size() / 2)},
        {"png corrupt data", corrupt},
        {"jpeg cut in the header", jpeg.substr(0, 40)},
        {"jpeg cut in the data", jpeg.substr(0, jpeg.size() * 2 / 3)},
        {"jpeg bad marker", badMarker},
    };
    for (const auto& [what, bytes] : broken) {
        Image image(1, 1, true, {1, 2, 3, 4});
        LogCapture capture;
        EXPECT_FALSE(decode(&image, bytes)) << what;
        EXPECT_EQ(capture.lines().size(), 1u) << what;
        EXPECT_TRUE(image.empty()) << what;
    }

    Image image;
    LogCapture capture;
    EXPECT_FALSE(image.initWithContentsOfFile(folder.file("missing.png"), kNoLimit));
    EXPECT_TRUE(capture.contains("missing.png cannot be read"));
}

}  // namespace
