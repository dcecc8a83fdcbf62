// PVR files uploaded into a real GL context: every layout and level read back, the filters, the
// compressed containers, a cut last level, oversized files, and the texture that takes one over.

#include "engine/core/CCTexturePVR.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "support/GLSceneTest.h"
#include "support/PVRFiles.h"
#include "support/TestSupport.h"
#include "support/TextureImage.h"

namespace {

using Bytes = std::vector<unsigned char>;
using CCTexturePVRGLTest = GLSceneTest;

std::string asString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string gzipped(const Bytes& bytes, const std::string& path) {
    gzFile file = gzopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    EXPECT_EQ(gzwrite(file, bytes.data(), static_cast<unsigned>(bytes.size())), static_cast<int>(bytes.size()));
    gzclose(file);
    return path;
}

// The CCZ container: "CCZ!", compression 0 (zlib), version 2, reserved, length, all big-endian.
std::string ccz(const Bytes& bytes) {
    uLongf packedLength = compressBound(bytes.size());
    Bytes packed(packedLength);
    EXPECT_EQ(compress(packed.data(), &packedLength, bytes.data(), bytes.size()), Z_OK);
    std::string file = "CCZ!";
    file += std::string{0, 0, 0, 2, 0, 0, 0, 0};
    for (int shift = 24; shift >= 0; shift -= 8) file += static_cast<char>(bytes.size() >> shift);
    file.append(packed.begin(), packed.begin() + static_cast<long>(packedLength));
    return file;
}

// Every level's pixels as GL holds them, in the layout's own format and type.
std::vector<Bytes> readLevels(const CCTexturePVR& texture, const PVRLayout& layout) {
    std::vector<Bytes> levels;
    uint32_t width = texture.width(), height = texture.height();
    for (uint64_t level = 0; level < texture.numberOfMipmaps(); ++level) {
        levels.push_back(readTextureImage(texture.name(), static_cast<GLint>(level), layout.glFormat, layout.glType,
                                          uint64_t{width} * height * layout.bitsPerPixel / 8));
        width = std::max(width / 2, 1u);
        height = std::max(height / 2, 1u);
    }
    return levels;
}

// The pixels GL should hold for each level of a chain stored in `data`: each level's first
// width x height pixels (a level stored as 2 x 2 uses only part of its bytes).
std::vector<Bytes> expectedLevels(const PVRLayout& layout, const Bytes& data, uint32_t width, uint32_t height,
                                  uint32_t levels) {
    std::vector<Bytes> expected;
    uint64_t offset = 0;
    for (uint32_t level = 0; level < levels; ++level) {
        const uint64_t used = uint64_t{width} * height * layout.bitsPerPixel / 8;
        Bytes pixels(used, 0);
        for (uint64_t i = 0; i < used && offset + i < data.size(); ++i) pixels[i] = data[offset + i];
        expected.push_back(pixels);
        offset += pvrLevelBytes(layout, width, height);
        width = std::max(width / 2, 1u);
        height = std::max(height / 2, 1u);
    }
    return expected;
}

TEST_F(CCTexturePVRGLTest, EveryLayoutUploadsEveryLevel) {
    TemporaryFolder folder;
    for (const PVRLayout& layout : kPVRLayouts) {
        SCOPED_TRACE(layout.name);
        const Bytes chain = pvrPixels(pvrChainBytes(layout, 8, 4, 4));
        const std::vector<Bytes> expected = expectedLevels(layout, chain, 8, 4, 4);
        for (const Bytes& file : {makePVRv2(layout, 8, 4, chain, 1), makePVRv3(layout, 8, 4, 4, chain, 0)}) {
            const std::string path = folder.write(std::string(layout.name) + ".pvr", asString(file));
            const auto texture = CCTexturePVR::pvrTextureWithContentsOfFile(path);
            ASSERT_NE(texture, nullptr);
            EXPECT_EQ(texture->numberOfMipmaps(), 4u);
            EXPECT_EQ(texture->format(), layout.format);
            EXPECT_EQ(readLevels(*texture, layout), expected);
            EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
            EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
            EXPECT_EQ(texture->mipmap(0).address, nullptr);  // the file's bytes are gone
        }
    }
}

TEST_F(CCTexturePVRGLTest, FiltersLevelsAndCutsFollowTheFile) {
    TemporaryFolder folder;
    const PVRLayout& rgba = kPVRLayouts[1];
    const Bytes chain = pvrPixels(pvrChainBytes(rgba, 64, 64, 7));
    auto texture = CCTexturePVR::pvrTextureWithContentsOfFile(
        folder.write("seven.pvr", asString(makePVRv3(rgba, 64, 64, 7, chain, 0))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->numberOfMipmaps(), 7u);
    EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    texture = CCTexturePVR::pvrTextureWithContentsOfFile(
        folder.write("one.pvr", asString(makePVRv3(rgba, 64, 64, 1, chain, 0))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_MIN_FILTER), GL_LINEAR);

    texture = CCTexturePVR::pvrTextureWithContentsOfFile(
        folder.write("none.pvr", asString(makePVRv3(rgba, 64, 64, 0, {}, 0))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->name(), 0u);

    // The last level is cut 6 bytes short: GL gets the rest as zeros.
    const PVRLayout& a8 = kPVRLayouts[6];
    const Bytes cut = pvrPixels(64 + 10);
    texture =
        CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("cut.pvr", asString(makePVRv2(a8, 8, 8, cut, 0))));
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->numberOfMipmaps(), 2u);
    EXPECT_EQ(texture->mipmap(1).len, 10u);
    EXPECT_EQ(readLevels(*texture, a8), expectedLevels(a8, cut, 8, 8, 2));

    // A level 0 beyond the GL limit is refused before anything is allocated for it.
    LogCapture capture;
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfFile(
                  folder.write("huge.pvr", asString(makePVRv2(rgba, 65536, 65536, Bytes(100), 0)))),
              nullptr);
    EXPECT_TRUE(capture.contains("exceeds the maximum texture size"));
    capture.clear();
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfFile(folder.file("missing.pvr")), nullptr);
    EXPECT_TRUE(capture.contains("cannot be read"));
}

TEST_F(CCTexturePVRGLTest, CompressedFilesAreReadByTheirSuffixInAnyCase) {
    TemporaryFolder folder;
    const PVRLayout& rgb565 = kPVRLayouts[4];
    const Bytes chain = pvrPixels(pvrChainBytes(rgb565, 16, 8, 5));
    const Bytes file = makePVRv2(rgb565, 16, 8, chain, 0);
    const std::vector<Bytes> expected = expectedLevels(rgb565, chain, 16, 8, 5);

    const std::string paths[] = {
        gzipped(file, folder.file("sheet.pvr.gz")),
        gzipped(file, folder.file("SHEET.PVR.GZ")),
        folder.write("sheet.pvr.ccz", ccz(file)),
        folder.write("SHEET.PVR.CCZ", ccz(file)),
        folder.write("with space.pvr", asString(file)),
    };
    for (const std::string& path : paths) {
        const auto texture = CCTexturePVR::pvrTextureWithContentsOfFile(path);
        ASSERT_NE(texture, nullptr) << path;
        EXPECT_EQ(readLevels(*texture, rgb565), expected) << path;
    }
    // A CCZ file named otherwise is not unpacked; a broken one is refused.
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("packed.pvr", ccz(file))), nullptr);
    std::string broken = ccz(file);
    broken.resize(broken.size() / 2);
    EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("broken.pvr.ccz", broken)), nullptr);

    // File URLs, with percent escapes.
    const std::string url = "file://" + stringByReplacingOccurrences(folder.file("with space.pvr"), " ", "%20");
    EXPECT_NE(CCTexturePVR::pvrTextureWithContentsOfURL(url), nullptr);
}

TEST_F(CCTexturePVRGLTest, TheTextureTakesOverThePVRsName) {
    TemporaryFolder resources;
    const PVRLayout& rgba4444 = kPVRLayouts[2];
    const Bytes chain = pvrPixels(pvrChainBytes(rgba4444, 32, 16, 6));
    resources.write("icons.pvr", asString(makePVRv3(rgba4444, 32, 16, 6, chain, 0)));
    resources.write("single.pvr", asString(makePVRv2(kPVRLayouts[6], 8, 8, Bytes(64), 0)));
    resources.write("broken.pvr", "PVR");
    const ScopedResourceFolder useResources(resources.path());
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();

    auto texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithPVRFile("icons.pvr"));
    EXPECT_EQ(texture->contentSizeInPixels(), CGSizeMake(32, 16));
    EXPECT_EQ(texture->maxS(), 1.0f);
    EXPECT_EQ(texture->pixelFormat(), kCCTexture2DPixelFormat_RGBA4444);
    EXPECT_TRUE(texture->hasMipmaps());
    EXPECT_FALSE(texture->hasPremultipliedAlpha());
    const GLuint name = texture->name();
    EXPECT_TRUE(glIsTexture(name));  // the reader is gone, its texture is not
    EXPECT_EQ(readTextureImage(name, 5, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 2),
              expectedLevels(rgba4444, chain, 32, 16, 6)[5]);
    texture->setAliasTexParameters();
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_NEAREST);

    CCTexture2D::PVRImagesHavePremultipliedAlpha(true);
    ASSERT_TRUE(texture->initWithPVRFile("single.pvr"));
    CCTexture2D::PVRImagesHavePremultipliedAlpha(false);
    EXPECT_TRUE(texture->hasPremultipliedAlpha());
    EXPECT_FALSE(texture->hasMipmaps());
    EXPECT_FALSE(glIsTexture(name));  // the first file's texture went with the second load

    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithPVRFile("broken.pvr"));
    EXPECT_FALSE(makeRef<CCTexture2D>()->initWithPVRFile("absent.pvr"));
    texture = nullptr;
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

}  // namespace
