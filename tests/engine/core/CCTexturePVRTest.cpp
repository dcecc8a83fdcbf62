#include "engine/core/CCTexturePVR.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "support/PVRFiles.h"

using Bytes = std::vector<unsigned char>;

namespace {

// The texture parsed from the bytes with every ability of the GL context.
struct Parsed {
    RefPtr<CCTexturePVR> texture = makeRef<CCTexturePVR>();
    bool ok = false;
};

Parsed parse(const Bytes& bytes, bool supportsNPOT = true, bool supportsBGRA8888 = true) {
    Parsed parsed;
    parsed.ok = parsed.texture->unpackPVRData(bytes.data(), bytes.size(), supportsNPOT, supportsBGRA8888);
    return parsed;
}

std::vector<uint32_t> levelLengths(const CCTexturePVR& texture) {
    std::vector<uint32_t> lengths;
    for (uint64_t i = 0; i < texture.numberOfMipmaps(); ++i) lengths.push_back(texture.mipmap(i).len);
    return lengths;
}

TEST(CCTexturePVRTest, EveryLayoutOfBothVersionsIsRecognised) {
    for (const PVRLayout& layout : kPVRLayouts) {
        SCOPED_TRACE(layout.name);
        const Bytes pixels = pvrPixels(pvrChainBytes(layout, 8, 4, 4));

        const Parsed v2 = parse(makePVRv2(layout, 8, 4, pixels, 0xFF));
        ASSERT_TRUE(v2.ok);
        EXPECT_EQ(v2.texture->format(), layout.format);
        EXPECT_EQ(v2.texture->width(), 8u);
        EXPECT_EQ(v2.texture->height(), 4u);
        EXPECT_TRUE(v2.texture->hasAlpha());  // from the alpha mask, whatever the layout
        ASSERT_NE(v2.texture->pixelFormatInfo(), nullptr);
        EXPECT_EQ(v2.texture->pixelFormatInfo()->bpp, layout.bitsPerPixel);
        EXPECT_EQ(v2.texture->name(), 0u);

        const Parsed v3 = parse(makePVRv3(layout, 8, 4, 4, pixels, 0));
        ASSERT_TRUE(v3.ok);
        EXPECT_EQ(v3.texture->format(), layout.format);
        EXPECT_EQ(v3.texture->hasAlpha(), layout.alpha);  // from the layout
        EXPECT_EQ(levelLengths(*v3.texture), levelLengths(*v2.texture));
    }
    EXPECT_FALSE(parse(makePVRv2(kPVRLayouts[1], 8, 4, Bytes(128), 0)).texture->hasAlpha());
}

TEST(CCTexturePVRTest, LevelsHaveAtLeastTwoPixelsEachWayAndTheLastMayBeCut) {
    const PVRLayout& rgba = kPVRLayouts[1];
    // 8 x 4: 8x4, 4x2, 2x2 (2x1 stored as 2x2), 2x2 (1x1 stored as 2x2).
    const Bytes chain = pvrPixels(pvrChainBytes(rgba, 8, 4, 4));
    ASSERT_EQ(chain.size(), 128u + 32 + 16 + 16);
    Parsed parsed = parse(makePVRv2(rgba, 8, 4, chain, 0));
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(levelLengths(*parsed.texture), (std::vector<uint32_t>{128, 32, 16, 16}));
    const Bytes file = makePVRv2(rgba, 8, 4, chain, 0);
    ASSERT_TRUE(parsed.texture->unpackPVRData(file.data(), file.size(), true, true));
    EXPECT_EQ(parsed.texture->mipmap(0).address, file.data() + 52);
    EXPECT_EQ(parsed.texture->mipmap(1).address, file.data() + 52 + 128);

    // v2 stops where the data does: a last level cut short keeps what there is.
    parsed = parse(makePVRv2(rgba, 8, 4, Bytes(chain.begin(), chain.begin() + 150), 0));
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(levelLengths(*parsed.texture), (std::vector<uint32_t>{128, 22}));

    // A data length beyond the file's end is clamped to the file.
    Bytes overlong = makePVRv2(rgba, 8, 4, Bytes(chain.begin(), chain.begin() + 140), 0);
    overlong[20] = 0xFF;
    overlong[21] = 0xFF;
    overlong[22] = 0xFF;
    overlong[23] = 0x7F;
    parsed = parse(overlong);
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(levelLengths(*parsed.texture), (std::vector<uint32_t>{128, 12}));

    // v3 skips the metadata and takes the header's level count; the last level may be cut.
    const size_t metadataLength = 20;
    Bytes withMetadata(metadataLength + chain.size() - 10, 0xAB);
    std::copy(chain.begin(), chain.end() - 10, withMetadata.begin() + metadataLength);
    Bytes v3 = makePVRv3(rgba, 8, 4, 4, withMetadata, static_cast<uint32_t>(metadataLength));
    parsed = parse(v3);
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(levelLengths(*parsed.texture), (std::vector<uint32_t>{128, 32, 16, 6}));
    ASSERT_TRUE(parsed.texture->unpackPVRData(v3.data(), v3.size(), true, true));
    EXPECT_EQ(parsed.texture->mipmap(0).address, v3.data() + 52 + 20);

    // A level count of 0 is a texture with no levels; RGB888 levels are three bytes a pixel.
    parsed = parse(makePVRv3(rgba, 8, 8, 0, {}, 0));
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.texture->numberOfMipmaps(), 0u);
    EXPECT_EQ(parsed.texture->width(), 8u);
    // 1 x 5, 1 x 2 and 1 x 1 levels stored as 2 x 5, 2 x 2 and 2 x 2.
    parsed = parse(makePVRv2(kPVRLayouts[5], 1, 5, Bytes(30 + 12 + 12), 0));
    EXPECT_EQ(levelLengths(*parsed.texture), (std::vector<uint32_t>{30, 12, 12}));
}

TEST(CCTexturePVRTest, ShortLongAndHostileFilesAreRefusedWithOneLine) {
    const PVRLayout& rgba = kPVRLayouts[1];
    const PVRLayout& a8 = kPVRLayouts[6];
    const Bytes good = makePVRv2(rgba, 4, 4, Bytes(64), 0);

    Bytes unknownV2 = good;
    unknownV2[16] = 0x0C;  // a compressed layout
    Bytes unknownV3 = makePVRv3(rgba, 4, 4, 1, Bytes(64), 0);
    unknownV3[8] = 'x';
    Bytes metadataBeyond = makePVRv3(rgba, 4, 4, 1, Bytes(64), 0);
    metadataBeyond[48] = 65;  // 52 + 65 is past the 116-byte file
    Bytes hugeMetadata = metadataBeyond;
    hugeMetadata[51] = 0xFF;

    const std::vector<std::pair<const char*, Bytes>> refused = {
        {"empty", {}},
        {"v2 header cut", Bytes(good.begin(), good.begin() + 51)},
        {"v3 header cut", Bytes(unknownV3.begin(), unknownV3.begin() + 40)},
        {"no tag", Bytes(200, 0)},
        {"unknown v2 type", unknownV2},
        {"unknown v3 format", unknownV3},
        // 1 x 1 A8 levels are stored as 2 x 2: 100 bytes are 25 levels.
        {"v2 with 25 levels", makePVRv2(a8, 1, 1, Bytes(100), 0)},
        {"v3 with 17 levels", makePVRv3(a8, 1, 1, 17, Bytes(17 * 4), 0)},
        {"v3 metadata past the end", metadataBeyond},
        {"v3 metadata length near 2^32", hugeMetadata},
        {"v3 levels past the end", makePVRv3(rgba, 4, 4, 3, Bytes(64), 0)},
    };
    for (const auto& [what, bytes] : refused) {
        LogCapture capture;
        const Parsed parsed = parse(bytes);
        EXPECT_FALSE(parsed.ok) << what;
        EXPECT_EQ(parsed.texture->numberOfMipmaps(), 0u) << what;
        EXPECT_EQ(capture.lines().size(), 1u) << what;
    }
    // 16 levels are the most, and allowed.
    EXPECT_TRUE(parse(makePVRv3(a8, 1, 1, 16, Bytes(16 * 4), 0)).ok);

    // Abilities the GL context lacks: power-of-two sizes are required of v2 without NPOT, and BGRA
    // needs its extension in either version.
    const Bytes npot = makePVRv2(rgba, 6, 4, Bytes(6 * 4 * 4), 0);
    EXPECT_TRUE(parse(npot, true).ok);
    EXPECT_FALSE(parse(npot, false).ok);
    EXPECT_TRUE(parse(good, false).ok);
    const PVRLayout& bgra = kPVRLayouts[0];
    for (const Bytes& file : {makePVRv2(bgra, 4, 4, Bytes(64), 0), makePVRv3(bgra, 4, 4, 1, Bytes(64), 0)}) {
        EXPECT_TRUE(parse(file, true, true).ok);
        LogCapture capture;
        EXPECT_FALSE(parse(file, true, false).ok);
        EXPECT_TRUE(capture.contains("BGRA8888"));
    }

    // Only file URLs are read.
    EXPECT_FALSE(makeRef<CCTexturePVR>()->initWithContentsOfURL("http://example.org/a.pvr"));
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfURL("data:,PVR"), nullptr);
}

}  // namespace
