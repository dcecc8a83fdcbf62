#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/OALSharedInstance.h"
#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

class ALBuffer;
class ALContext;
class ALDevice;
class SerialQueue;

// The root of the OpenAL objects: the current context, the open devices, and loading buffers from
// sound files. It hangs below the audio session in the suspend tree; while it is suspended no
// OpenAL context is current.
class OpenALManager : public Object, public OALSuspendManager {
public:
    // Called on the main thread with the loaded buffer, or null when the load failed.
    using BufferCallback = std::function<void(RefPtr<ALBuffer>)>;

    static OpenALManager* sharedInstance() { return OALSharedInstance<OpenALManager>::get(); }
    // Drops the shared instance once nothing uses it; the next sharedInstance() makes a fresh one.
    static void purgeSharedInstance() { OALSharedInstance<OpenALManager>::purge(); }

    // Names of the output and capture devices OpenAL offers, and its defaults.
    std::vector<std::string> availableDevices() const;
    std::vector<std::string> availableCaptureDevices() const;
    std::string defaultDeviceSpecifier() const;
    std::string defaultCaptureDeviceSpecifier() const;

    // The context that is current (not retained; a context clears it when it goes). Setting makes
    // its OpenAL context current, or none for null; ignored while suspended.
    ALContext* currentContext() const;
    void setCurrentContext(ALContext* context);
    // When `context` is the current one, forgets it and makes no context current, also while
    // suspended, so that a resume never makes a destroyed context current.
    void forgetCurrentContext(ALContext* context);
    // The field alone, without touching OpenAL.
    ALContext* realCurrentContext() const;
    void setRealCurrentContext(ALContext* context);

    // The platform mixer's output rate (Hz) and rendering quality; inert on the desktop.
    double mixerOutputFrequency() const;
    void setMixerOutputFrequency(double frequency);
    int renderingQuality() const;
    void setRenderingQuality(int quality);

    // Decodes a whole sound file into a buffer on the calling thread; null on failure. A relative
    // path is looked up in OALTools::defaultBundle().
    RefPtr<ALBuffer> bufferFromFile(const std::string& path, bool reduceToMono = false);
    RefPtr<ALBuffer> bufferFromUrl(const std::string& url, bool reduceToMono = false);

    // Queues the same load on the manager's load queue and answers the file address as the
    // request's identifier; `callback` runs later on the main run loop. The callback is held until
    // it has run: it must not capture what it cannot keep alive.
    std::string bufferAsyncFromFile(const std::string& path, bool reduceToMono, BufferCallback callback);
    std::string bufferAsyncFromUrl(const std::string& url, bool reduceToMono, BufferCallback callback);
    // The same, keeping the file's own channels.
    std::string bufferAsyncFromFile(const std::string& path, BufferCallback callback);
    std::string bufferAsyncFromUrl(const std::string& url, BufferCallback callback);

    // Every source of every context of every device stops and lets go of its buffer.
    void clearAllBuffers();

    // Devices register while they are open (not retained).
    void notifyDeviceInitializing(ALDevice* device);
    void notifyDeviceDeallocating(ALDevice* device);
    std::vector<ALDevice*> devices() const;

    // The manager's lock: held while the current context is read or switched; a source holds it
    // while it switches to its own context and back.
    std::recursive_mutex& lock() const { return mutex_; }

    // Suspended: no OpenAL context current. Resumed: the remembered context current again.
    void setSuspended(bool suspended) override;

private:
    friend class OALSharedInstance<OpenALManager>;
    OpenALManager();
    ~OpenALManager() override;

    void makeCurrent(ALContext* context);

    mutable std::recursive_mutex mutex_;
    mutable std::recursive_mutex devicesMutex_;
    std::vector<ALDevice*> devices_;           // open devices, not retained; guarded by devicesMutex_
    ALContext* realCurrentContext_ = nullptr;  // not retained; guarded by mutex_
    std::unique_ptr<SerialQueue> loadQueue_;   // asynchronous loads, one at a time
};
