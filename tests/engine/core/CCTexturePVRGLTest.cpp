// PVR files uploaded into a real GL context, and the texture that takes one over.

#include "engine/core/CCTexturePVR.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "support/Deflate.h"
#include "support/GLSceneTest.h"
#include "support/PVRFiles.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;
using CCTexturePVRGLTest = GLSceneTest;

std::string asString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The pixels GL should hold for each level of a chain stored in `data` (each level's first
// width x height pixels: a level stored as 2 x 2 uses only part of its bytes, a cut one ends in
// zeros), or, given a texture, the pixels GL does hold.
std::vector<Bytes> levels(const PVRLayout& layout, const Bytes& data, uint32_t width, uint32_t height, uint32_t count,
                          const CCTexturePVR* texture = nullptr) {
    std::vector<Bytes> result;
    for (uint32_t level = 0; level < count; ++level) {
        const uint64_t offset = pvrChainBytes(layout, width, height, level);
        const uint32_t levelWidth = std::max(width >> level, 1u), levelHeight = std::max(height >> level, 1u);
        const uint64_t used = uint64_t{levelWidth} * levelHeight * layout.bitsPerPixel / 8;
        Bytes pixels(used, 0);
        for (uint64_t i = 0; i < used && offset + i < data.size(); ++i) pixels[i] = data[offset + i];
        if (texture) pixels = readTextureImage(texture->name(), GLint(level), layout.glFormat, layout.glType, used);
        result.push_back(pixels);
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
            EXPECT_EQ(texture->format(), layout.format);
            EXPECT_EQ(levels(layout, {}, 8, 4, 4, texture.get()), levels(layout, chain, 8, 4, 4));
        }
    }
}

TEST_F(CCTexturePVRGLTest, FiltersCutsAndContainersFollowTheFile) {
    TemporaryFolder folder;
    const PVRLayout& rgba = kPVRLayouts[1];
    // One level: a mipmap filter would leave the texture incomplete.
    const Bytes one = makePVRv3(rgba, 64, 64, 1, pvrPixels(pvrChainBytes(rgba, 64, 64, 1)), 0);
    auto texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("one.pvr", asString(one)));
    GLint filter = 0;
    ccGLBindTexture(texture->name());
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    const Bytes none = makePVRv3(rgba, 64, 64, 0, {}, 0);
    texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("none.pvr", asString(none)));
    EXPECT_EQ(texture->name(), 0u);  // no level, no GL texture, yet a success
    // The last level is cut 6 bytes short: GL gets the rest as zeros.
    const PVRLayout& a8 = kPVRLayouts[6];
    const Bytes cut = pvrPixels(64 + 10);
    texture = CCTexturePVR::pvrTextureWithContentsOfFile(folder.write("c.pvr", asString(makePVRv2(a8, 8, 8, cut, 0))));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(levels(a8, {}, 8, 8, 2, texture.get()), levels(a8, cut, 8, 8, 2));
    // Compressed files by their suffix in any case, and file URLs with percent escapes.
    const PVRLayout& rgb565 = kPVRLayouts[4];
    const Bytes chain = pvrPixels(pvrChainBytes(rgb565, 16, 8, 5));
    const std::string file = asString(makePVRv2(rgb565, 16, 8, chain, 0));
    const std::string ccz = cczHeader(0, 2, uint32_t(file.size())) + deflated(kZlib, file);
    for (const std::string& path : {folder.write("S.PVR.GZ", deflated(kGZip, file)), folder.write("s.pvr.ccz", ccz),
                                    folder.write("a b.pvr", file)}) {
        texture = CCTexturePVR::pvrTextureWithContentsOfFile(path);
        ASSERT_NE(texture, nullptr) << path;
        EXPECT_EQ(levels(rgb565, {}, 16, 8, 5, texture.get()), levels(rgb565, chain, 16, 8, 5)) << path;
    }
    EXPECT_NE(CCTexturePVR::pvrTextureWithContentsOfURL("file://" + folder.file("a%20b.pvr")), nullptr);
    // A CCZ file named otherwise is not unpacked; a cut one, one beyond the GL limit and a missing
    // one are refused.
    LogCapture capture;
    for (const std::string& path : {folder.write("packed.pvr", ccz), folder.write("cut.pvr.ccz", ccz.substr(0, 40)),
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
    resources.write("icons.pvr", asString(makePVRv3(rgba4444, 8, 4, 4, Bytes(pvrChainBytes(rgba4444, 8, 4, 4)), 0)));
    resources.write("single.pvr", asString(makePVRv2(kPVRLayouts[6], 8, 8, Bytes(64), 0)));
    resources.write("broken.pvr", "PVR");
    resources.write("empty.pvr", asString(makePVRv3(rgba4444, 8, 8, 0, {}, 0)));
    const ScopedResourceFolder useResources(resources.path());
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    auto texture = makeRef<CCTexture2D>();
    ASSERT_TRUE(texture->initWithPVRFile("icons.pvr"));
    EXPECT_EQ(texture->contentSizeInPixels(), CGSizeMake(8, 4));
    EXPECT_TRUE(texture->pixelFormat() == kCCTexture2DPixelFormat_RGBA4444 && texture->hasMipmaps());
    const GLuint name = texture->name();
    EXPECT_TRUE(glIsTexture(name));  // kept when the PVR went
    ASSERT_TRUE(texture->initWithPVRFile("single.pvr"));
    EXPECT_FALSE(texture->hasMipmaps());
    EXPECT_FALSE(glIsTexture(name));  // the first file's texture went with the second load
    for (const char* file : {"broken.pvr", "absent.pvr", "empty.pvr"}) {  // a file with no level gives no texture
        EXPECT_FALSE(makeRef<CCTexture2D>()->initWithPVRFile(file)) << file;
    }
    texture = nullptr;
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
}

}  // namespace
