#include "engine/core/support/ccTGA.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/InputLimits.h"
#include "support/TestSupport.h"

namespace {
struct TGAHeader {
    uint8_t imageIDLength = 0, colourMapType = 0, type = 2;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;
    uint16_t width = 2, height = 2;
    uint8_t pixelDepth = 24, descriptor = 0;

    std::string operator+(const std::string& rest) const {
        auto le16 = [](int value) { return std::string{char(value & 0xFF), char(value >> 8)}; };
        return std::string{char(imageIDLength), char(colourMapType), char(type)} + le16(0) + le16(colourMapLength) +
               char(colourMapEntryBits) + le16(0) + le16(0) + le16(width) + le16(height) + char(pixelDepth) +
               char(descriptor) + rest;
    }
};

using TGAImage = std::unique_ptr<sImageTGA, void (*)(sImageTGA*)>;

TGAImage loadTGA(const std::string& path) { return TGAImage(tgaLoadFromFile(path.c_str()), tgaFreeImage); }

std::string bytes(std::initializer_list<int> values) { return std::string(values.begin(), values.end()); }

std::vector<int> pixels(const sImageTGA& image) {
    const size_t size = size_t{image.width} * image.height * image.pixelDepth / 8;
    return image.imageData ? std::vector<int>(image.imageData, image.imageData + size) : std::vector<int>();
}

class ccTGATest : public ::testing::Test {
protected:
    TGAImage load(const std::string& fileBytes) { return loadTGA(folder_.write("i.tga", fileBytes)); }

    TemporaryFolder folder_;
};
}  // namespace

TEST_F(ccTGATest, ImagesLoadBottomToTopAsRGBOrAreRefusedBeforeTheirPixelsAreAllocated) {
    const std::string enough(64, '\0'), twoPixels = bytes({3, 2, 1, 6, 5, 4});
    const std::tuple<std::string, int32_t, std::vector<int>> files[] = {
        // Stored top row first, B, G, R: top (1,2,3) (4,5,6), bottom (7,8,9) (10,11,12).
        {TGAHeader{.descriptor = 0x20} + twoPixels + bytes({9, 8, 7, 12, 11, 10}), kTGAStatusOK,
         {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
        {TGAHeader{.width = 1, .pixelDepth = 32} + bytes({3, 2, 1, 255, 30, 20, 10, 128}), kTGAStatusOK,
         {1, 2, 3, 255, 10, 20, 30, 128}},
        {TGAHeader{.type = 3, .pixelDepth = 8} + bytes({1, 2, 3, 4}), kTGAStatusOK, {1, 2, 3, 4}},  // kept as stored
        // Sizes are unsigned 16-bit.
        {TGAHeader{.type = 3, .width = 40000, .height = 1, .pixelDepth = 8} + std::string(40000, 7), kTGAStatusOK,
         std::vector<int>(40000, 7)},
        // The image ID and colour map are skipped; 15-bit entries take 2 bytes each.
        {TGAHeader{.imageIDLength = 3, .colourMapType = 1, .colourMapLength = 2, .colourMapEntryBits = 24,
                   .height = 1} + "id!" + std::string(6, 9) + twoPixels, kTGAStatusOK, {1, 2, 3, 4, 5, 6}},
        {TGAHeader{.colourMapType = 1, .colourMapLength = 3, .colourMapEntryBits = 15, .height = 1} +
             std::string(6, 9) + twoPixels, kTGAStatusOK, {1, 2, 3, 4, 5, 6}},
        // Run-length packets: a run of 2, raw 3, then a run of 128 (raw 128) of which only 1 (2) fit.
        {TGAHeader{.type = 10, .width = 3} + bytes({0x81, 3, 2, 1, 2, 6, 5, 4, 9, 8, 7, 12, 11, 10, 0xFF, 15, 14, 13}),
         kTGAStatusOK, {1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {TGAHeader{.type = 10, .width = 2, .height = 1, .pixelDepth = 32} + bytes({0x7F, 3, 2, 1, 40, 6, 5, 4, 80}),
         kTGAStatusOK, {1, 2, 3, 40, 4, 5, 6, 80}},
        // Data that stops early leaves zeros, not stale memory, after what was read.
        {TGAHeader{.type = 10, .descriptor = 0x20} + bytes({0x81, 3, 2, 1, 0x01, 6}), kTGAStatusReadError,
         {1, 2, 3, 1, 2, 3, 0, 0, 0, 0, 0, 0}},
        {TGAHeader{.colourMapType = 1, .type = 1, .pixelDepth = 8} + enough, kTGAStatusColourMapped, {}},
        {TGAHeader{.type = 9} + enough, kTGAStatusUnsupported, {}},
        {TGAHeader{.colourMapType = 2} + enough, kTGAStatusUnsupported, {}},
        {TGAHeader{.width = 0} + enough, kTGAStatusUnsupported, {}},
        {TGAHeader{.pixelDepth = 15} + enough, kTGAStatusUnsupported, {}},
        // More pixels than the budget, in 600 KB of 128-pixel runs.
        {TGAHeader{.type = 10, .width = 32767, .height = InputLimits::kImagePixels / 32767 + 1, .pixelDepth = 8} +
             std::string(600000, '\xFF'), kTGAStatusUnsupported, {}},
        {(TGAHeader{} + "").substr(0, 10), kTGAStatusReadError, {}},
        {TGAHeader{} + std::string(11, '\0'), kTGAStatusReadError, {}},
        {TGAHeader{.imageIDLength = 200} + std::string(12, '\0'), kTGAStatusReadError, {}},
        {TGAHeader{.type = 10, .width = 4096, .height = 4096, .pixelDepth = 32} + bytes({0xFF, 1, 2, 3, 4}),  // 64 MiB
         kTGAStatusReadError, {}},
    };
    for (const auto& [file, status, expected] : files) {
        const TGAImage image = load(file);
        EXPECT_EQ(image->status, status) << testing::PrintToString(file.substr(0, 18));
        EXPECT_TRUE(pixels(*image) == expected) << testing::PrintToString(file.substr(0, 18));
        EXPECT_TRUE(status != kTGAStatusOK || image->flipped == 0);
    }
    // What is not a regular file within the file budget is not opened.
    std::filesystem::resize_file(folder_.write("huge.tga", ""), InputLimits::kFileBytes + 1);
    for (const std::string& path : {folder_.file("missing.tga"), folder_.path(), folder_.file("huge.tga")}) {
        EXPECT_EQ(loadTGA(path)->status, kTGAStatusCannotOpen) << path;
    }
}

TEST_F(ccTGATest, GreyscaleConversionTakesOnlyTrueColourPixels) {
    const TGAImage image = load(TGAHeader{.height = 1} + bytes({50, 200, 100, 0, 0, 0}));
    tgaConvertToGreyscale(image.get());
    EXPECT_EQ(std::make_pair(image->pixelDepth, image->type), std::make_pair(uint8_t{8}, uint8_t{3}));
    EXPECT_EQ(pixels(*image), (std::vector<int>{153, 0}));  // 0.30 * 100 + 0.59 * 200 + 0.11 * 50 = 153.5
    // 16-bit pixels have no third byte to read: they stay as they are.
    const TGAImage wide = load(TGAHeader{.width = 1, .height = 1, .pixelDepth = 16} + bytes({1, 2}));
    tgaConvertToGreyscale(wide.get());
    EXPECT_EQ(pixels(*wide), (std::vector<int>{1, 2}));
    const TGAImage refused = load(TGAHeader{.type = 1} + "");
    tgaConvertToGreyscale(refused.get());
    EXPECT_EQ(refused->imageData, nullptr);
    tgaConvertToGreyscale(nullptr);
    tgaFreeImage(nullptr);
}
