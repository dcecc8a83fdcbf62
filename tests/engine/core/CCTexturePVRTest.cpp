#include "engine/core/CCTexturePVR.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "support/PVRFiles.h"

using Bytes = std::vector<unsigned char>;

namespace {

// The texture parsed from the bytes (which must outlive it) with the given abilities.
RefPtr<CCTexturePVR> parse(const Bytes& bytes, bool supportsNPOT = true, bool supportsBGRA8888 = true) {
    auto texture = makeRef<CCTexturePVR>();
    return texture->unpackPVRData(bytes.data(), bytes.size(), supportsNPOT, supportsBGRA8888) ? texture : nullptr;
}

TEST(CCTexturePVRTest, LevelsHaveAtLeastTwoPixelsEachWayAndTheLastMayBeCut) {
    const PVRLayout& rgba = kPVRLayouts[1];
    // 8 x 4: 8x4, 4x2, 2x2 (2x1 stored as 2x2), 2x2 (1x1 stored as 2x2).
    const Bytes chain = pvrPixels(pvrChainBytes(rgba, 8, 4, 4));
    Bytes overlong = makePVRv2(rgba, 8, 4, Bytes(chain.begin(), chain.begin() + 140), 0);
    overlong[23] = 0x7F;  // a data length beyond the file's end is clamped to the file
    Bytes withMetadata(20 + chain.size() - 10, 0xAB);
    std::copy(chain.begin(), chain.end() - 10, withMetadata.begin() + 20);
    const Bytes v3 = makePVRv3(rgba, 8, 4, 4, withMetadata, 20);
    const std::pair<Bytes, std::vector<uint32_t>> files[] = {
        {makePVRv2(rgba, 8, 4, Bytes(chain.begin(), chain.begin() + 150), 0), {128, 22}},  // v2 stops with its data
        {overlong, {128, 12}},
        {v3, {128, 32, 16, 6}},  // v3 skips the metadata and takes the header's level count
        {makePVRv2(kPVRLayouts[5], 1, 5, Bytes(30 + 12 + 12), 0), {30, 12, 12}},  // 2x5, 2x2, 2x2 of RGB888
    };
    for (const auto& [file, lengths] : files) {
        const auto texture = parse(file);
        ASSERT_TRUE(texture);
        std::vector<uint32_t> read;
        for (uint64_t i = 0; i < texture->numberOfMipmaps(); ++i) read.push_back(texture->mipmap(i).len);
        EXPECT_EQ(read, lengths);
    }
    EXPECT_EQ(parse(v3)->mipmap(0).address, v3.data() + 52 + 20);
    // Alpha comes from the mask in v2, whatever the layout, and from the layout in v3.
    for (const PVRLayout& layout : kPVRLayouts) {
        EXPECT_EQ(parse(makePVRv2(layout, 2, 2, Bytes(16), 0xFF))->hasAlpha(), true) << layout.name;
        EXPECT_EQ(parse(makePVRv2(layout, 2, 2, Bytes(16), 0))->hasAlpha(), false) << layout.name;
        EXPECT_EQ(parse(makePVRv3(layout, 2, 2, 1, Bytes(16), 0))->hasAlpha(), layout.alpha) << layout.name;
    }
}

TEST(CCTexturePVRTest, ShortLongAndHostileFilesAreRefusedWithOneLine) {
    const PVRLayout& rgba = kPVRLayouts[1];
    const PVRLayout& a8 = kPVRLayouts[6];
    const Bytes good = makePVRv2(rgba, 4, 4, Bytes(64), 0);
    Bytes unknownV2 = good, unknownV3 = makePVRv3(rgba, 4, 4, 1, Bytes(64), 0);
    unknownV2[16] = 0x0C;  // a compressed layout
    unknownV3[8] = 'x';
    Bytes metadataBeyond = makePVRv3(rgba, 4, 4, 1, Bytes(64), 0);
    metadataBeyond[48] = 65;  // 52 + 65 is past the 116-byte file
    Bytes hugeMetadata = metadataBeyond;
    hugeMetadata[51] = 0xFF;

    const std::vector<std::pair<const char*, Bytes>> refused = {
        {"empty", {}}, {"header cut", Bytes(good.begin(), good.begin() + 51)}, {"no tag", Bytes(200, 0)},
        {"unknown v2 type", unknownV2}, {"unknown v3 format", unknownV3},
        {"v2 with 25 levels", makePVRv2(a8, 1, 1, Bytes(100), 0)},  // 1 x 1 A8 levels take 4 bytes
        {"v3 with 17 levels", makePVRv3(a8, 1, 1, 17, Bytes(17 * 4), 0)},
        {"v3 metadata past the end", metadataBeyond}, {"v3 metadata length near 2^32", hugeMetadata},
        {"v3 levels past the end", makePVRv3(rgba, 4, 4, 3, Bytes(64), 0)},
        {"v2 width 0", makePVRv2(rgba, 0, 4, Bytes(64), 0)}, {"v2 height 0", makePVRv2(rgba, 4, 0, Bytes(64), 0)},
        {"v3 width 0", makePVRv3(rgba, 0, 4, 1, Bytes(64), 0)},
        {"v3 height 0 without levels", makePVRv3(rgba, 4, 0, 0, {}, 0)},
        // Level 0 of 8192 x 8192 pixels would be padded and uploaded as 256 MiB.
        {"v2 beyond the pixel budget", makePVRv2(rgba, 8192, 8192, Bytes(64), 0)},
        {"v3 beyond the pixel budget", makePVRv3(a8, 65536, 65536, 1, Bytes(64), 0)},
    };
    for (const auto& [what, bytes] : refused) {
        LogCapture capture;
        auto texture = makeRef<CCTexturePVR>();
        EXPECT_FALSE(texture->unpackPVRData(bytes.data(), bytes.size(), true, true)) << what;
        EXPECT_EQ(texture->numberOfMipmaps(), 0u) << what;
        EXPECT_EQ(capture.lines().size(), 1u) << what;
    }
    EXPECT_TRUE(parse(makePVRv3(a8, 1, 1, 16, Bytes(16 * 4), 0)));  // 16 levels are the most

    // Without NPOT v2 needs power-of-two sizes; BGRA needs its extension in either version.
    const Bytes npot = makePVRv2(rgba, 6, 4, Bytes(6 * 4 * 4), 0);
    EXPECT_TRUE(parse(npot, true) && !parse(npot, false) && parse(good, false));
    const PVRLayout& bgra = kPVRLayouts[0];
    for (const Bytes& file : {makePVRv2(bgra, 4, 4, Bytes(64), 0), makePVRv3(bgra, 4, 4, 1, Bytes(64), 0)}) {
        EXPECT_TRUE(parse(file, true, true));
        LogCapture capture;
        EXPECT_FALSE(parse(file, true, false));
        EXPECT_TRUE(capture.contains("BGRA8888"));
    }
    // Only file URLs are read.
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfURL("http://example.org/a.pvr"), nullptr);
}

}  // namespace
