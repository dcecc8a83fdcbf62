// PVR files uploaded into a real GL context, and the texture that takes one over.

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

namespace {

using Bytes = std::vector<unsigned char>;
using CCTexturePVRGLTest = GLSceneTest;

std::string asString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The file compressed as a gzip member or in the CCZ container ("CCZ!", zlib, version 2, length).
std::string compressed(const Bytes& bytes, bool gzip) {
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
    Bytes packed(deflateBound(&stream, bytes.size()));
    stream.next_in = const_cast<Bytef*>(bytes.data()), stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = packed.data(), stream.avail_out = static_cast<uInt>(packed.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    deflateEnd(&stream);
    std::string file = gzip ? "" : std::string("CCZ!") + std::string{0, 0, 0, 2, 0, 0, 0, 0};
    for (int shift = 24; shift >= 0 && !gzip; shift -= 8) file += static_cast<char>(bytes.size() >> shift);
    return file + asString(Bytes(packed.begin(), packed.begin() + static_cast<long>(stream.total_out)));
}

// The pixels GL should hold for each level of a chain stored in `data` (each level's first
// width x height pixels: a level stored as 2 x 2 uses only part of its bytes, a cut one ends in
// zeros), or, given a texture, the pixels GL does hold.
std::vector<Bytes> levels(const PVRLayout& layout, const Bytes& data, uint32_t width, uint32_t height, uint32_t count,
                          const CCTexturePVR* texture = nullptr) {
    std::vector<Bytes> result;
    for (uint32_t level = 0, offset = 0; level < count; ++level) {
        const uint64_t used = uint64_t{width} * height * layout.bitsPerPixel / 8;
        Bytes pixels(used, 0);
        for (uint64_t i = 0; i < used && offset + i < data.size(); ++i) pixels[i] = data[offset + i];
        if (texture) pixels = readTextureImage(texture->name(), static_cast<GLint>(level), layout.glFormat, layout.glType, used);
        result.push_back(pixels);
        offset += static_cast<uint32_t>(pvrChainBytes(layout, width, height, 1));
        width = std::max(width / 2, 1u);
        height = std::max(height / 2, 1u);
    }
    return result;
}

TEST_F(CCTexturePVRGLTest, EveryLayoutUploadsEveryLevel) {
    TemporaryFolder folder;
    for (const PVRLayout& layout : kPVRLayouts) {
        SCOPED_TRACE(layout.name);
        const Bytes chain = pvrPixels(pvrChainBytes(layout, 8, 4, 4));
        for (const Bytes& file : {makePVRv2(layout, 8, 4, chain, 1), makePVRv3(layout, 8, 4, 4, chain, 0)}) {
            const auto texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("t.pvr", asString(file)));
            ASSERT_NE(texture, nullptr);
            EXPECT_EQ(std::make_pair(texture->numberOfMipmaps(), texture->format()), std::make_pair(uint64_t{4}, layout.format));
            EXPECT_EQ(levels(layout, {}, 8, 4, 4, texture.get()), levels(layout, chain, 8, 4, 4));
            EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
            EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
            EXPECT_EQ(texture->mipmap(0).address, nullptr);  // the file's bytes are gone
        }
    }
}

TEST_F(CCTexturePVRGLTest, FiltersCutsAndContainersFollowTheFile) {
    TemporaryFolder folder;
    const PVRLayout& rgba = kPVRLayouts[1];
    const Bytes one = makePVRv3(rgba, 64, 64, 1, pvrPixels(pvrChainBytes(rgba, 64, 64, 1)), 0);
    auto texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("one.pvr", asString(one)));
    EXPECT_EQ(textureParameter(texture->name(), GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("none.pvr", asString(makePVRv3(rgba, 64, 64, 0, {}, 0))));
    EXPECT_EQ(texture->name(), 0u);  // no level, no GL texture, yet a success
    // The last level is cut 6 bytes short: GL gets the rest as zeros.
    const PVRLayout& a8 = kPVRLayouts[6];
    const Bytes cut = pvrPixels(64 + 10);
    texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("cut.pvr", asString(makePVRv2(a8, 8, 8, cut, 0))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->mipmap(1).len, 10u);
    EXPECT_EQ(levels(a8, {}, 8, 8, 2, texture.get()), levels(a8, cut, 8, 8, 2));
    // Compressed files by their suffix in any case, and file URLs with percent escapes.
    const PVRLayout& rgb565 = kPVRLayouts[4];
    const Bytes chain = pvrPixels(pvrChainBytes(rgb565, 16, 8, 5));
    const Bytes file = makePVRv2(rgb565, 16, 8, chain, 0);
    for (const std::string& path : {folder.write("s.pvr.gz", compressed(file, true)), folder.write("S.PVR.GZ", compressed(file, true)),
                                    folder.write("s.pvr.ccz", compressed(file, false)),
                                    folder.write("S.PVR.CCZ", compressed(file, false)), folder.write("a b.pvr", asString(file))}) {
        texture = CCTexturePVR::pvrTextureWithContentsOfFile(path);
        ASSERT_NE(texture, nullptr) << path;
        EXPECT_EQ(levels(rgb565, {}, 16, 8, 5, texture.get()), levels(rgb565, chain, 16, 8, 5)) << path;
    }
    EXPECT_NE(CCTexturePVR::pvrTextureWithContentsOfURL("file://" + folder.file("a%20b.pvr")), nullptr);
    // A CCZ file named otherwise is not unpacked; a broken one, one beyond the GL limit and a
    // missing one are refused.
    LogCapture capture;
    std::string broken = compressed(file, false);
    broken.resize(broken.size() / 2);
    for (const std::string& path : {folder.write("packed.pvr", compressed(file, false)), folder.write("broken.pvr.ccz", broken),
                                    folder.write("wide.pvr", asString(makePVRv2(rgba, 32768, 1, Bytes(100), 0))),
                                    folder.file("missing.pvr")}) {
        EXPECT_EQ(CCTexturePVR::pvrTextureWithContentsOfFile(path), nullptr) << path;
    }
    EXPECT_TRUE(capture.contains("exceeds the maximum texture size"));
    EXPECT_TRUE(capture.contains("missing.pvr cannot be read"));
}

TEST_F(CCTexturePVRGLTest, TheTextureTakesOverThePVRsName) {
    TemporaryFolder resources;
    const PVRLayout& rgba4444 = kPVRLayouts[2];
    const Bytes chain = pvrPixels(pvrChainBytes(rgba4444, 32, 16, 6));
    resources.write("icons.pvr", asString(makePVRv3(rgba4444, 32, 16, 6, chain, 0)));
    resources.write("single.pvr", asString(makePVRv2(kPVRLayouts[6], 8, 8, Bytes(64), 0)));
    resources.write("broken.pvr", "PVR");
    resources.write("empty.pvr", asString(makePVRv3(rgba4444, 8, 8, 0, {}, 0)));
    const ScopedResourceFolder useResources(resources.path());
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    auto texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithPVRFile("icons.pvr"));
    EXPECT_EQ(texture->contentSizeInPixels(), CGSizeMake(32, 16));
    EXPECT_EQ(texture->pixelFormat(), kCCTexture2DPixelFormat_RGBA4444);
    EXPECT_TRUE(texture->hasMipmaps() && !texture->hasPremultipliedAlpha());
    const GLuint name = texture->name();
    EXPECT_EQ(readTextureImage(name, 5, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, 2), levels(rgba4444, chain, 32, 16, 6)[5]);
    texture->setAliasTexParameters();
    EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_NEAREST);
    CCTexture2D::PVRImagesHavePremultipliedAlpha(true);
    ASSERT_TRUE(texture->initWithPVRFile("single.pvr"));
    CCTexture2D::PVRImagesHavePremultipliedAlpha(false);
    EXPECT_TRUE(texture->hasPremultipliedAlpha() && !texture->hasMipmaps());
    EXPECT_FALSE(glIsTexture(name));  // the first file's texture went with the second load

    for (const char* file : {"broken.pvr", "absent.pvr", "empty.pvr"}) {  // a file with no level gives no texture
        EXPECT_FALSE(makeRef<CCTexture2D>()->initWithPVRFile(file)) << file;
    }
    texture = nullptr;
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

}  // namespace
