// The texture cache with the real director and GL context: keys after suffix removal, PVR and
// picture loads, removal of unused textures, and asynchronous loads that complete on the engine
// thread in the order they were asked for.

#include "engine/core/CCTextureCache.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/core/CCTexture2D.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/image/Image.h"
#include "support/GLSceneTest.h"
#include "support/PVRFiles.h"
#include "support/TestSupport.h"

namespace {

// A picture of one colour; `alpha` below 255 gives a picture with transparency.
Image solidImage(uint32_t width, uint32_t height, ccColor4B color) {
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {color.r, color.g, color.b, color.a});
    return Image(width, height, color.a < 255, std::move(pixels));
}

class CCTextureCacheGLTest : public GLSceneTest {
protected:
    void SetUp() override {
        GLSceneTest::SetUp();
        CCFileUtils::sharedFileUtils()->purgeCachedEntries();
        writeImage("hero-mac.png", solidImage(4, 2, {255, 0, 0, 128}));
        writeImage("plain.png", solidImage(2, 2, {0, 255, 0, 255}));
        writeImage("other.png", solidImage(8, 8, {0, 0, 255, 255}));
        const std::vector<unsigned char> pvr = makePVRv3(kPVRLayouts[1], 2, 2, 1, pvrPixels(16), 0);
        folder_.write("tiny.pvr", std::string(pvr.begin(), pvr.end()));
        cache_ = CCTextureCache::sharedTextureCache();
    }

    void writeImage(const std::string& name, const Image& image) { ASSERT_TRUE(image.writePNG(folder_.file(name))); }

    TemporaryFolder folder_;
    ScopedResourceFolder useFolder_{folder_.path()};
    CCTextureCache* cache_ = nullptr;
};

TEST_F(CCTextureCacheGLTest, OneTexturePerKeyWithoutTheDeviceSuffix) {
    // "hero.png" is found as "hero-mac.png"; both names are the key "hero.png".
    const RefPtr<CCTexture2D> hero = cache_->addImage("hero.png");
    ASSERT_NE(hero, nullptr);
    EXPECT_TRUE(hero->hasPremultipliedAlpha());
    EXPECT_EQ(cache_->addImage("hero-mac.png"), hero);

    EXPECT_FALSE(cache_->addImage("plain.png")->hasPremultipliedAlpha());

    // PVR names go to the PVR reader, under the same kind of key.
    const RefPtr<CCTexture2D> pvr = cache_->addImage("tiny.pvr");
    ASSERT_NE(pvr, nullptr);
    EXPECT_EQ(pvr->pixelFormat(), kCCTexture2DPixelFormat_RGBA8888);
    EXPECT_EQ(cache_->addPVRImage("tiny.pvr"), pvr);

    // A missing or broken file stores nothing and is tried again next time.
    EXPECT_EQ(cache_->addImage("missing.png"), nullptr);
    folder_.write("broken.png", "\x89PNG\r\n\x1a\nnot really");
    EXPECT_EQ(cache_->addImage("broken.png"), nullptr);
    EXPECT_EQ(cache_->addPVRImage("missing.pvr"), nullptr);
    writeImage("missing.png", solidImage(2, 2, {1, 2, 3, 255}));
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    EXPECT_NE(cache_->addImage("missing.png"), nullptr);

    // Pictures made elsewhere: kept under a key when one is given, the first one winning.
    const Image picture = solidImage(2, 2, {9, 9, 9, 255});
    const RefPtr<CCTexture2D> made = cache_->addCGImage(&picture, "made");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(cache_->addCGImage(&picture, "made"), made);
    EXPECT_EQ(cache_->addCGImage(nullptr, "nothing"), nullptr);
}

TEST_F(CCTextureCacheGLTest, RemovalDropsOnlyTheCachesReference) {
    RefPtr<CCTexture2D> kept = cache_->addImage("hero.png");  // as a sprite would hold it
    ASSERT_NE(cache_->addImage("plain.png"), nullptr);
    ASSERT_NE(cache_->addImage("other.png"), nullptr);

    // The director's purge of cached data removes the unused textures.
    director_->purgeCachedData();
    EXPECT_EQ(cache_->textureForKey("other.png"), nullptr);
    EXPECT_EQ(cache_->textureForKey("hero.png"), kept);

    // Removing by texture or by key only lets go of the cache's reference.
    cache_->removeTexture(nullptr);
    cache_->removeTexture(kept.get());
    EXPECT_EQ(cache_->textureForKey("hero.png"), nullptr);
    EXPECT_EQ(kept->retainCount(), 1u);
    EXPECT_NE(cache_->addImage("hero.png"), kept);  // loaded anew

    ASSERT_NE(cache_->addImage("plain.png"), nullptr);
    cache_->removeTextureForKey("plain.png");
    EXPECT_EQ(cache_->textureForKey("plain.png"), nullptr);
    EXPECT_NE(cache_->textureForKey("hero.png"), nullptr);
}

// The launch decodes the splash ahead, while the window opens: the first load of the name makes its
// texture from that picture, unless the name resolves to another file by then or the picture is
// above the GL limit, where it loads, or refuses, as it always does.
TEST_F(CCTextureCacheGLTest, PicturesDecodedAheadServeTheFirstLoadOfTheirFile) {
    CCTextureCache::decodeAhead("other.png");
    const RefPtr<CCTexture2D> other = cache_->addImage("other.png");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->contentSizeInPixels().width, 8);
    EXPECT_FALSE(other->hasPremultipliedAlpha());
    EXPECT_EQ(cache_->textureForKey("other.png"), other);

    // "plain.png" comes to be found as "plain-mac.png" after its picture was decoded.
    CCTextureCache::decodeAhead("plain.png");
    writeImage("plain-mac.png", solidImage(4, 4, {1, 2, 3, 128}));
    CCFileUtils::sharedFileUtils()->purgeCachedEntries();
    const RefPtr<CCTexture2D> plain = cache_->addImage("plain.png");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->contentSizeInPixels().width, 4);
    EXPECT_TRUE(plain->hasPremultipliedAlpha());

    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    writeImage("wide.png", solidImage(static_cast<uint32_t>(most) + 1, 1, {0, 0, 0, 255}));
    CCTextureCache::decodeAhead("wide.png");
    CCTextureCache::decodeAhead("missing.png");
    LogCapture log;
    EXPECT_EQ(cache_->addImage("wide.png"), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(cache_->addImage("missing.png"), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);

    // A file that cannot be decoded is told once, by the worker, not again by the load.
    folder_.write("broken.png", std::string("\x89PNG\r\n\x1a\nnot a picture", 21));
    log.clear();
    CCTextureCache::decodeAhead("broken.png");
    EXPECT_EQ(cache_->addImage("broken.png"), nullptr);
    EXPECT_EQ(log.lines().size(), 1u);
}

// Takes the texture through a method, the target form of the asynchronous load.
class Receiver : public Object {
public:
    void loaded(CCTexture2D* texture) { received.push_back(texture); }
    std::vector<CCTexture2D*> received;
};

TEST_F(CCTextureCacheGLTest, AsynchronousLoadsCompleteInOrderOnTheEngineThread) {
    struct Delivery {
        std::string name;
        RefPtr<CCTexture2D> texture;
        std::thread::id thread;
        uint64_t frames;
    };
    std::vector<Delivery> deliveries;
    auto request = [&](const std::string& name) {
        cache_->addImageAsync(name, [&, name](CCTexture2D* texture) {
            deliveries.push_back({name, RefPtr(texture), std::this_thread::get_id(), director_->totalFrames()});
        });
    };
    const RefPtr<CCTexture2D> plain = cache_->addImage("plain.png");
    const auto receiver = makeRef<Receiver>();
    const uint64_t framesAtRequest = director_->totalFrames();

    request("hero.png");
    request("missing.png");
    request("tiny.pvr");
    request("hero-mac.png");  // the same key, also not cached yet
    cache_->addImageAsync("other.png", receiver.get(), &Receiver::loaded);
    EXPECT_EQ(receiver->retainCount(), 2u);  // kept by the request
    request("other.png");

    // A cached texture is delivered at once, ahead of the loads under way; nothing else is.
    request("plain.png");
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].texture, plain);

    for (int frame = 0; frame < 600 && deliveries.size() < 6; ++frame) runFrames(1);
    ASSERT_EQ(deliveries.size(), 6u);
    const std::vector<std::string> order = {"plain.png", "hero.png", "missing.png", "tiny.pvr", "hero-mac.png",
                                            "other.png"};
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(deliveries[i].name, order[i]);
        EXPECT_EQ(deliveries[i].thread, std::this_thread::get_id()) << order[i];
        if (i > 0) {
            EXPECT_GT(deliveries[i].frames, framesAtRequest) << order[i];
        }
    }
    // The texture delivered is the one cached under its key; one texture per key.
    const char* keys[] = {"plain.png", "hero.png", "missing.png", "tiny.pvr", "hero.png", "other.png"};
    for (size_t i = 1; i < order.size(); ++i) EXPECT_EQ(deliveries[i].texture, cache_->textureForKey(keys[i])) << i;
    for (const size_t loaded : {1, 3, 5}) EXPECT_NE(deliveries[loaded].texture, nullptr) << loaded;
    EXPECT_EQ(deliveries[2].texture, nullptr);
    ASSERT_EQ(receiver->received.size(), 1u);
    EXPECT_EQ(receiver->received[0], deliveries[5].texture.get());
    EXPECT_EQ(receiver->retainCount(), 1u);
}

TEST_F(CCTextureCacheGLTest, LoadsOfAPurgedCacheDeliverNothingButNull) {
    bool delivered = false;
    RefPtr<CCTexture2D> texture;
    cache_->addImageAsync("other.png", [&](CCTexture2D* loaded) {
        delivered = true;
        texture = RefPtr(loaded);
    });
    CCTextureCache::purgeSharedTextureCache();
    for (int frame = 0; frame < 600 && !delivered; ++frame) runFrames(1);
    EXPECT_TRUE(delivered);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(CCTextureCache::sharedTextureCache()->textureForKey("other.png"), nullptr);
}

}  // namespace
