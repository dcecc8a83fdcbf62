#include "engine/core/CCTextureCache.h"

#include <cstdlib>
#include <future>
#include <limits>
#include <memory>
#include <vector>

#include "engine/core/CCConfiguration.h"
#include "engine/core/CCDirector.h"
#include "engine/core/CCTexture2D.h"
#include "engine/core/ccCachePurge.h"
#include "engine/core/support/CCFileUtils.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/StringUtils.h"
#include "platform/image/Image.h"

struct CCTextureCache::LoadedImage {
    Image image;
    int32_t resolutionType = 0;
};

namespace {

RefPtr<CCTextureCache> sharedCache;

// A picture decoded ahead: the path it was decoded from and the worker decoding it.
struct DecodedAhead {
    std::string path;
    std::future<Image> image;
};

std::mutex aheadMutex;
// Key -> picture decoded ahead, until a load takes it. Guarded by aheadMutex; at exit its futures
// wait for their workers.
std::map<std::string, DecodedAhead> decodedAhead;

// Reads and decodes the file into `image`, refusing pictures above `maxSize` pixels a side. A
// missing file leaves the picture empty without a log line: it is an ordinary miss.
void decodeFile(const std::string& path, uint32_t maxSize, Image* image) {
    unsigned char* bytes = nullptr;
    const int64_t length = ccLoadFileToMemory(path.c_str(), &bytes);
    if (length < 0) return;
    const std::unique_ptr<unsigned char, decltype(&std::free)> owner(bytes, &std::free);
    image->initWithData(bytes, static_cast<size_t>(length), maxSize, path);
}

void purgeUnusedTextures() {
    if (sharedCache) sharedCache->removeUnusedTextures();
}

// Where asynchronous results go: the engine thread's loop, or the main loop before the director
// has drawn its first frame (the engine thread is the main thread on this platform).
RefPtr<RunLoop> engineLoop() {
    RunLoop* loop = CCDirector::sharedDirector()->runningThread();
    return RefPtr<RunLoop>(loop ? loop : &RunLoop::main());
}

}  // namespace

CCTextureCache* CCTextureCache::sharedTextureCache() {
    if (!sharedCache) {
        sharedCache = makeRef<CCTextureCache>();
        ccCacheRegisterPurge(kCCCacheTextures, purgeSharedTextureCache, purgeUnusedTextures);
    }
    return sharedCache.get();
}

void CCTextureCache::purgeSharedTextureCache() {
    if (!sharedCache) return;
    // Loads under way keep the cache alive until they finish; they then find it purged. Its
    // textures go now, on the engine thread, while their GL context is still there.
    sharedCache->purged_ = true;
    sharedCache->removeAllTextures();
    sharedCache.reset();
}

CCTextureCache::CCTextureCache() = default;

CCTextureCache::~CCTextureCache() = default;

std::string CCTextureCache::description() const {
    const std::lock_guard lock(mutex_);
    std::string keys;
    for (const auto& [key, texture] : textures_) {
        if (!keys.empty()) keys += ", ";
        keys += key;
    }
    return stringWithFormat("<%s = %p | num of textures =  %lu | keys: (%s)>", className(*this).c_str(),
                            static_cast<const void*>(this), static_cast<unsigned long>(textures_.size()), keys.c_str());
}

// MARK: loading

bool CCTextureCache::isPVRFile(const std::string& key) {
    const std::string lower = lowercaseString(key);
    return hasSuffix(lower, ".pvr") || hasSuffix(lower, ".pvr.gz") || hasSuffix(lower, ".pvr.ccz");
}

void CCTextureCache::decodeAhead(const std::string& path) {
    const std::string key = CCFileUtils::sharedFileUtils()->removeSuffixFromFile(path);
    if (isPVRFile(key)) return;
    const std::string fullPath = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(key);
    // The GL limit is not known yet; the load that takes the picture checks it.
    std::future<Image> image = std::async(std::launch::async, [fullPath] {
        Image picture;
        decodeFile(fullPath, std::numeric_limits<uint32_t>::max(), &picture);
        return picture;
    });
    const std::lock_guard lock(aheadMutex);
    decodedAhead.insert_or_assign(key, DecodedAhead{fullPath, std::move(image)});
}

bool CCTextureCache::takeDecodedAhead(const std::string& key, const std::string& path, int maxSize,
                                      LoadedImage* loaded) {
    DecodedAhead ahead;
    {
        const std::lock_guard lock(aheadMutex);
        const auto found = decodedAhead.find(key);
        if (found == decodedAhead.end()) return false;
        ahead = std::move(found->second);
        decodedAhead.erase(found);
    }
    Image picture = ahead.image.get();
    if (ahead.path != path) return false;
    // A picture above the GL limit is loaded again, to be refused with the limit; a file that
    // could not be decoded was told of by the worker and stays empty.
    const auto limit = static_cast<uint32_t>(maxSize);
    if (picture.width() > limit || picture.height() > limit) return false;
    loaded->image = std::move(picture);
    return true;
}

void CCTextureCache::loadImage(const std::string& key, int maxSize, LoadedImage* loaded) {
    const std::string path = CCFileUtils::sharedFileUtils()->fullPathFromRelativePath(key, &loaded->resolutionType);
    if (takeDecodedAhead(key, path, maxSize, loaded)) return;
    decodeFile(path, static_cast<uint32_t>(maxSize), &loaded->image);
}

RefPtr<CCTexture2D> CCTextureCache::storeImage(const std::string& key, const LoadedImage& loaded) {
    if (loaded.image.empty()) return nullptr;
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    if (!texture->initWithCGImage(&loaded.image, loaded.resolutionType)) return nullptr;
    store(key, texture);
    return texture;
}

void CCTextureCache::store(const std::string& key, const RefPtr<CCTexture2D>& texture) {
    const std::lock_guard lock(mutex_);
    textures_[key] = texture;
}

RefPtr<CCTexture2D> CCTextureCache::addImage(const std::string& path) {
    const std::string key = CCFileUtils::sharedFileUtils()->removeSuffixFromFile(path);
    if (RefPtr<CCTexture2D> texture = textureForKey(key)) return texture;
    if (isPVRFile(key)) return addPVRImage(key);
    LoadedImage loaded;
    loadImage(key, CCConfiguration::sharedConfiguration()->maxTextureSize(), &loaded);
    return storeImage(key, loaded);
}

void CCTextureCache::addImageAsync(const std::string& path, std::function<void(CCTexture2D*)> block) {
    const std::string key = CCFileUtils::sharedFileUtils()->removeSuffixFromFile(path);
    if (const RefPtr<CCTexture2D> texture = textureForKey(key)) {
        if (block) block(texture.get());
        return;
    }
    // The GL limit is read here, on the engine thread; the worker has no GL context.
    const int maxSize = CCConfiguration::sharedConfiguration()->maxTextureSize();
    loadingQueue_.async([self = RefPtr<CCTextureCache>(this), key, maxSize, engine = engineLoop(),
                         block = std::move(block)]() mutable {
        // PVR files are read together with their upload, on the engine thread.
        const auto loaded = std::make_shared<LoadedImage>();
        if (!isPVRFile(key)) loadImage(key, maxSize, loaded.get());
        // The cache and the callback's captures now belong to the engine thread alone.
        engine->performBlock([self = std::move(self), key, loaded, block = std::move(block)] {
            const RefPtr<CCTexture2D> texture = self->finishAsyncLoad(key, *loaded);
            if (block) block(texture.get());
        });
    });
}

RefPtr<CCTexture2D> CCTextureCache::finishAsyncLoad(const std::string& key, const LoadedImage& loaded) {
    if (purged_) return nullptr;
    // A load of the same key that finished meanwhile keeps the one texture per key.
    if (RefPtr<CCTexture2D> texture = textureForKey(key)) return texture;
    if (isPVRFile(key)) return addPVRImage(key);
    return storeImage(key, loaded);
}

RefPtr<CCTexture2D> CCTextureCache::addPVRImage(const std::string& path) {
    const std::string key = CCFileUtils::sharedFileUtils()->removeSuffixFromFile(path);
    if (RefPtr<CCTexture2D> texture = textureForKey(key)) return texture;
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    if (!texture->initWithPVRFile(key)) return nullptr;
    store(key, texture);
    return texture;
}

RefPtr<CCTexture2D> CCTextureCache::addCGImage(const Image* image, const std::string& key) {
    if (!key.empty()) {
        if (RefPtr<CCTexture2D> texture = textureForKey(key)) return texture;
    }
    RefPtr<CCTexture2D> texture = makeRef<CCTexture2D>();
    if (!texture->initWithCGImage(image, 0)) return nullptr;
    if (!key.empty()) store(key, texture);
    return texture;
}

// MARK: lookup and removal

RefPtr<CCTexture2D> CCTextureCache::textureForKey(const std::string& key) const {
    const std::lock_guard lock(mutex_);
    const auto found = textures_.find(key);
    return found == textures_.end() ? nullptr : found->second;
}

void CCTextureCache::removeAllTextures() {
    const std::lock_guard lock(mutex_);
    textures_.clear();
}

void CCTextureCache::removeUnusedTextures() {
    const std::lock_guard lock(mutex_);
    std::erase_if(textures_, [](const auto& entry) { return entry.second->retainCount() == 1; });
}

void CCTextureCache::removeTexture(CCTexture2D* texture) {
    if (!texture) return;
    const std::lock_guard lock(mutex_);
    std::erase_if(textures_, [texture](const auto& entry) { return entry.second.get() == texture; });
}

void CCTextureCache::removeTextureForKey(const std::string& key) {
    const std::lock_guard lock(mutex_);
    textures_.erase(key);
}

void CCTextureCache::dumpCachedTextureInfo() const {
    const std::lock_guard lock(mutex_);
    uint64_t totalBytes = 0;
    for (const auto& [key, texture] : textures_) {
        const uint64_t bitsPerPixel = texture->bitsPerPixelForFormat();
        const uint64_t bytes = texture->pixelsWide() * texture->pixelsHigh() * bitsPerPixel / 8;
        totalBytes += bytes;
        logLine("Lumora: \"%s\"\trc=%lu\tid=%lu\t%lu x %lu\t@ %ld bpp =>\t%lu KB", key.c_str(),
                static_cast<unsigned long>(texture->retainCount()), static_cast<unsigned long>(texture->name()),
                static_cast<unsigned long>(texture->pixelsWide()), static_cast<unsigned long>(texture->pixelsHigh()),
                static_cast<long>(bitsPerPixel), static_cast<unsigned long>(bytes / 1024));
    }
    logLine("Lumora: CCTextureCache dumpDebugInfo:\t%ld textures,\tfor %lu KB (%.2f MB)",
            static_cast<long>(textures_.size()), static_cast<unsigned long>(totalBytes / 1024),
            totalBytes / (1024.0 * 1024.0));
}
