#include "engine/core/support/ccTGA.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {
struct TGAHeader {
    uint8_t imageIDLength = 0;
    uint8_t colourMapType = 0;
    uint8_t type = 2;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntryBits = 0;
    int16_t width = 2;
    int16_t height = 2;
    uint8_t pixelDepth = 24;
    uint8_t descriptor = 0;

    std::string bytes() const {
        auto le16 = [](int value) { return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)}; };
        return std::string{static_cast<char>(imageIDLength), static_cast<char>(colourMapType), static_cast<char>(type)} +
               le16(0) + le16(colourMapLength) + static_cast<char>(colourMapEntryBits) + le16(0) + le16(0) +
               le16(width) + le16(height) + static_cast<char>(pixelDepth) + static_cast<char>(descriptor);
    }
};

struct TGAFree {
    void operator()(sImageTGA* image) const { tgaFreeImage(image); }
};
using TGAImage = std::unique_ptr<sImageTGA, TGAFree>;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values) out += static_cast<char>(value);
    return out;
}

std::vector<int> pixels(const sImageTGA& image) {
    const size_t size = static_cast<size_t>(image.width) * image.height * (image.pixelDepth / 8);
    return std::vector<int>(image.imageData, image.imageData + size);
}

class ccTGATest : public ::testing::Test {
protected:
    TGAImage load(const std::string& fileBytes) {
        return TGAImage(tgaLoadFromFile(folder_.write("image.tga", fileBytes).c_str()));
    }

    TemporaryFolder folder_;
};
}  // namespace

TEST_F(ccTGATest, RawImagesLoadBottomToTopAsRGB) {
    // Stored top row first, B, G, R.
    const TGAImage flipped = load(TGAHeader{.descriptor = 0x20}.bytes() +
                                  bytes({3, 2, 1, 6, 5, 4,        // top: (1,2,3) (4,5,6)
                                         9, 8, 7, 12, 11, 10}));  // bottom: (7,8,9) (10,11,12)
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->status, kTGAStatusOK);
    EXPECT_EQ(flipped->flipped, 0);
    EXPECT_EQ(pixels(*flipped), (std::vector<int>{7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}));

    const TGAImage rgba = load(TGAHeader{.width = 1, .pixelDepth = 32}.bytes() + bytes({3, 2, 1, 255, 30, 20, 10, 128}));
    EXPECT_EQ(rgba->status, kTGAStatusOK);
    EXPECT_EQ(pixels(*rgba), (std::vector<int>{1, 2, 3, 255, 10, 20, 30, 128}));

    // Other depths are kept byte for byte.
    const TGAImage grey = load(TGAHeader{.type = 3, .pixelDepth = 8}.bytes() + bytes({1, 2, 3, 4}));
    EXPECT_EQ(pixels(*grey), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ccTGATest, ImageIDAndColourMapAreSkipped) {
    const std::string pixelBytes = bytes({3, 2, 1, 6, 5, 4});
    const TGAImage withMap = load(TGAHeader{.imageIDLength = 3, .colourMapType = 1, .colourMapLength = 2,
                                            .colourMapEntryBits = 24, .height = 1}.bytes() +
                                  "id!" + bytes({9, 9, 9, 9, 9, 9}) + pixelBytes);
    EXPECT_EQ(withMap->status, kTGAStatusOK);
    EXPECT_EQ(pixels(*withMap), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // 15-bit entries take 2 bytes each.
    const TGAImage packedMap = load(TGAHeader{.colourMapType = 1, .colourMapLength = 3, .colourMapEntryBits = 15,
                                              .height = 1}.bytes() + bytes({9, 9, 9, 9, 9, 9}) + pixelBytes);
    EXPECT_EQ(pixels(*packedMap), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(ccTGATest, RunLengthPacketsAreDecodedAndCutAtTheImageEnd) {
    const TGAImage image = load(TGAHeader{.type = 10, .width = 3}.bytes() +
                                bytes({0x81, 3, 2, 1,                    // run of 2
                                       0x02, 6, 5, 4, 9, 8, 7, 12, 11, 10,  // raw 3
                                       0xFF, 15, 14, 13}));             // run of 128, only 1 fits
    ASSERT_EQ(image->status, kTGAStatusOK);
    EXPECT_EQ(pixels(*image), (std::vector<int>{1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    const TGAImage raw = load(TGAHeader{.type = 10, .width = 2, .height = 1, .pixelDepth = 32}.bytes() +
                              bytes({0x7F, 3, 2, 1, 40, 6, 5, 4, 80}));  // raw 128, only 2 fit
    ASSERT_EQ(raw->status, kTGAStatusOK);
    EXPECT_EQ(pixels(*raw), (std::vector<int>{1, 2, 3, 40, 4, 5, 6, 80}));
}

TEST_F(ccTGATest, UnsupportedImagesAreRefused) {
    const TGAImage colourMapped = load(TGAHeader{.colourMapType = 1, .type = 1, .pixelDepth = 8}.bytes() +
                                       std::string(16, '\0'));
    EXPECT_EQ(colourMapped->status, kTGAStatusColourMapped);
    EXPECT_EQ(colourMapped->imageData, nullptr);

    const std::string enough(64, '\0');
    for (const TGAHeader& header : {TGAHeader{.type = 9}, TGAHeader{.type = 0}, TGAHeader{.width = 0},
                                    TGAHeader{.height = -2}, TGAHeader{.pixelDepth = 15}, TGAHeader{.pixelDepth = 0},
                                    TGAHeader{.pixelDepth = 40}}) {
        const TGAImage image = load(header.bytes() + enough);
        EXPECT_EQ(image->status, kTGAStatusUnsupported);
        EXPECT_EQ(image->imageData, nullptr);
    }
    EXPECT_EQ(TGAImage(tgaLoadFromFile(folder_.file("missing.tga").c_str()))->status, kTGAStatusCannotOpen);
}

TEST_F(ccTGATest, ShortFilesAreReadErrors) {
    EXPECT_EQ(load(TGAHeader{}.bytes().substr(0, 10))->status, kTGAStatusReadError);
    EXPECT_EQ(load(TGAHeader{}.bytes() + std::string(11, '\0'))->status, kTGAStatusReadError);
    EXPECT_EQ(load(TGAHeader{.imageIDLength = 200}.bytes() + std::string(12, '\0'))->status, kTGAStatusReadError);
    // A huge image in a tiny file is refused before its pixels are allocated.
    const TGAImage huge = load(TGAHeader{.type = 10, .width = 32767, .height = 32767, .pixelDepth = 32}.bytes() +
                               bytes({0xFF, 1, 2, 3, 4}));
    EXPECT_EQ(huge->status, kTGAStatusReadError);
    EXPECT_EQ(huge->imageData, nullptr);

    // Run-length data that stops early leaves zeros, not stale memory, after what was read.
    const TGAImage cut = load(TGAHeader{.type = 10, .descriptor = 0x20}.bytes() + bytes({0x81, 3, 2, 1, 0x01, 6}));
    EXPECT_EQ(cut->status, kTGAStatusReadError);
    ASSERT_NE(cut->imageData, nullptr);
    EXPECT_EQ(pixels(*cut), (std::vector<int>{1, 2, 3, 1, 2, 3, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ccTGATest, GreyscaleConversionTakesOnlyTrueColourPixels) {
    const TGAImage image = load(TGAHeader{.height = 1}.bytes() + bytes({50, 200, 100, 0, 0, 0}));
    tgaConvertToGreyscale(image.get());
    EXPECT_EQ(image->pixelDepth, 8);
    EXPECT_EQ(image->type, 3);
    EXPECT_EQ(pixels(*image), (std::vector<int>{153, 0}));  // 0.30 * 100 + 0.59 * 200 + 0.11 * 50 = 153.5

    // 16-bit pixels have no third byte to read: they stay as they are.
    const TGAImage wide = load(TGAHeader{.width = 1, .height = 1, .pixelDepth = 16}.bytes() + bytes({1, 2}));
    tgaConvertToGreyscale(wide.get());
    EXPECT_EQ(wide->pixelDepth, 16);
    EXPECT_EQ(pixels(*wide), (std::vector<int>{1, 2}));

    const TGAImage refused = load(TGAHeader{.type = 1}.bytes());
    tgaConvertToGreyscale(refused.get());
    EXPECT_EQ(refused->imageData, nullptr);
    tgaConvertToGreyscale(nullptr);
    tgaFreeImage(nullptr);
}
