#pragma once

#include <AL/alc.h>

#include <mutex>
#include <string>
#include <vector>

#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

class ALDevice;
class ALListener;
class ALSoundSource;

// An OpenAL context on a device, with its listener and the sources made on it. It hangs below its
// device in the suspend tree; its listener and sources hang below it. Creating a context does not
// make it current: the OpenAL manager does (setCurrentContext).
class ALContext : public Object, public OALSuspendManager {
public:
    // `attributes` are ALC attribute and value pairs; empty passes no list at all. Null, after one
    // error line, for a null device or when OpenAL cannot make the context.
    static RefPtr<ALContext> contextOnDevice(RefPtr<ALDevice> device, const std::vector<ALCint>& attributes);
    // The pairs made of these settings: frequency (Hz) and refresh (per second) when above 0, the
    // synchronous flag always, mono and stereo source counts when 0 or more.
    static RefPtr<ALContext> contextOnDevice(RefPtr<ALDevice> device, int outputFrequency, int refreshIntervals,
                                             bool synchronousContext, int monoSources, int stereoSources);
    static std::vector<ALCint> attributesFor(int outputFrequency, int refreshIntervals, bool synchronousContext,
                                             int monoSources, int stereoSources);

    ALContext() = default;
    bool initOnDevice(RefPtr<ALDevice> device, const std::vector<ALCint>& attributes);

    // OpenAL's texts of the current OpenAL context.
    std::string alVersion() const;
    std::string vendor() const;
    std::string renderer() const;
    std::vector<std::string> extensions() const;

    // OpenAL's global values of the current OpenAL context; setting is ignored while suspended.
    int distanceModel() const;
    void setDistanceModel(int model);
    float dopplerFactor() const;
    void setDopplerFactor(float factor);
    float speedOfSound() const;  // units per second
    void setSpeedOfSound(float speed);

    bool isExtensionPresent(const std::string& name) const;
    void* getProcAddress(const std::string& name) const;

    // Every source clears (stops and lets go of its buffer); or, unless suspended, stops.
    void clearBuffers();
    void stopAllSounds();
    // Unless suspended: processes the OpenAL context.
    void process();
    // Unless suspended: makes this the manager's current context when OpenAL's current one differs.
    void ensureContextIsCurrent();

    // Sources register while they exist (not retained).
    void notifySourceInitializing(ALSoundSource* source);
    void notifySourceDeallocating(ALSoundSource* source);
    std::vector<ALSoundSource*> sources() const;

    ALDevice* device() const { return device_.get(); }
    // An OpenAL context lives and dies on the device it was made on, so only that device is
    // accepted (true). Any other, or null, is refused with one error line: the context stays on its
    // own device, registered there and suspended with it.
    bool setDevice(ALDevice* device);
    ALListener* listener() const { return listener_.get(); }
    ALCcontext* context() const { return context_; }
    // The context's attribute and value pairs as the device reports them.
    const std::vector<ALCint>& attributes() const { return attributes_; }

    // Suspended: the OpenAL context is suspended. Resumed: processed again.
    void setSuspended(bool suspended) override;

protected:
    ~ALContext() override;

private:
    mutable std::recursive_mutex mutex_;
    ALCcontext* context_ = nullptr;
    mutable std::recursive_mutex sourcesMutex_;
    std::vector<ALSoundSource*> sources_;  // not retained; guarded by sourcesMutex_
    RefPtr<ALListener> listener_;
    std::vector<ALCint> attributes_;
    RefPtr<ALDevice> device_;
};
