#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/Object.h"

class CCTexture2D;
class Image;

// The process-wide registry of loaded textures, keyed by file name, so that every node naming the
// same image shares one texture.
//
// Keys: addImage, addImageAsync and addPVRImage key a texture by the file name without the device
// suffix ("hero-mac.png" and "hero.png" are both "hero.png"), otherwise exactly as given (no path
// resolution, case kept); textureForKey, removeTextureForKey and addCGImage take the key as given.
//
// Asynchronous loads read and decode on the loading queue's worker thread and make the GL texture
// on the engine thread, so that one GL context serves everything and the GL state cache stays
// true. Requests complete in the order they were made; each callback runs on the engine thread in
// the run-loop pass after a frame, with the texture or with null when the file cannot be loaded.
//
// Threads: the dictionary is guarded by a mutex, so lookups are safe from any thread; loading,
// storing and removing make or drop GL textures and belong to the engine thread.
class CCTextureCache : public Object {
public:
    // Made on first use; it then registers its purges with the director (kCCCacheTextures).
    static CCTextureCache* sharedTextureCache();
    // Drops the shared instance; loads still under way then deliver null and make no texture.
    static void purgeSharedTextureCache();

    CCTextureCache();

    // "<CCTextureCache = 0x... | num of textures =  2 | keys: (a.png, b.png)>".
    std::string description() const override;

    // The cached texture of the file, else the file loaded (PNG, JPEG, or a PVR file when the name
    // ends in ".pvr", ".pvr.gz" or ".pvr.ccz") and stored; null when it cannot be loaded.
    RefPtr<CCTexture2D> addImage(const std::string& path);
    // A cached texture goes to the block at once, on the calling thread; otherwise the file is
    // loaded on the loading queue and the block gets the texture (or null) on the engine thread.
    // An empty block is allowed: the texture is then only cached.
    void addImageAsync(const std::string& path, std::function<void(CCTexture2D*)> block);
    // The same with a method of a target, which is kept alive until it has been called.
    template <typename T>
    void addImageAsync(const std::string& path, T* target, void (T::*selector)(CCTexture2D*));
    // The cached texture of the file, else the PVR file loaded and stored; null when it cannot be
    // read.
    RefPtr<CCTexture2D> addPVRImage(const std::string& path);
    // With a key: the texture cached under it, else one made from the picture and stored under it.
    // With an empty key: a texture made from the picture, not cached. Null for a null picture or
    // one the texture refuses.
    RefPtr<CCTexture2D> addCGImage(const Image* image, const std::string& key);

    // Reads and decodes the image file on a worker thread of its own, before there need be a GL
    // context or a cache, so that the first load of the file only makes its texture: the launch
    // decodes the splash picture while the window opens. That load takes the picture when the file
    // resolves to the same path as here and the picture is within the GL limit, and otherwise
    // loads the file as always; a picture nobody asks for is dropped at exit. The file is named as
    // for addImage; PVR files are not decoded ahead. Main thread, before the launch.
    static void decodeAhead(const std::string& path);

    // The cached texture or null; never loads.
    RefPtr<CCTexture2D> textureForKey(const std::string& key) const;

    void removeAllTextures();
    // Drops every texture that nobody but the cache holds.
    void removeUnusedTextures();
    // Drops every key under which the texture is stored; null is ignored.
    void removeTexture(CCTexture2D* texture);
    void removeTextureForKey(const std::string& key);

    // Logs every texture (key, retain count, GL name, size, bits per pixel, memory) and a total.
    void dumpCachedTextureInfo() const;

protected:
    ~CCTextureCache() override;

private:
    // What the loading queue hands to the engine thread: the decoded picture, empty when it could
    // not be read, and the resolution type that file lookup reported for it.
    struct LoadedImage;

    static bool isPVRFile(const std::string& key);
    // Reads and decodes the image file of the key, refusing pictures above `maxSize` pixels a side;
    // a picture of the key decoded ahead is taken instead when it fits. Any thread.
    static void loadImage(const std::string& key, int maxSize, LoadedImage* loaded);
    // Takes the picture of the key decoded ahead, waiting for it; true when it was decoded from
    // `path` and is within `maxSize` pixels a side, or could not be decoded (then empty).
    static bool takeDecodedAhead(const std::string& key, const std::string& path, int maxSize, LoadedImage* loaded);
    // Engine thread: the texture of a picture loaded for the key, stored under it; null for an
    // empty picture or one the texture refuses.
    RefPtr<CCTexture2D> storeImage(const std::string& key, const LoadedImage& loaded);
    // Engine thread: what an asynchronous load of the key delivers once its picture is decoded.
    RefPtr<CCTexture2D> finishAsyncLoad(const std::string& key, const LoadedImage& loaded);
    void store(const std::string& key, const RefPtr<CCTexture2D>& texture);

    mutable std::mutex mutex_;                              // guards textures_
    std::map<std::string, RefPtr<CCTexture2D>> textures_;   // key -> texture; owns them
    bool purged_ = false;  // no longer the shared cache; engine thread only
    SerialQueue loadingQueue_{"CCTextureCache"};  // reads and decodes asynchronous loads
};

template <typename T>
void CCTextureCache::addImageAsync(const std::string& path, T* target, void (T::*selector)(CCTexture2D*)) {
    addImageAsync(path, [target = RefPtr<T>(target), selector](CCTexture2D* texture) {
        if (target) (target.get()->*selector)(texture);
    });
}
