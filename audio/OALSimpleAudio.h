#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "audio/OALSharedInstance.h"
#include "platform/foundation/Object.h"

class ALBuffer;
class ALChannelSource;
class ALContext;
class ALDevice;
class ALSource;
class OALAudioTrack;

// The ready-made audio set-up: the default output device with one context made current, a channel
// of sources for effects, one music track for a background file, and a cache of decoded effect
// buffers keyed by file address, so that each effect file is decoded once.
//
// Without an output device the device and context are null, the channel has no sources and the
// track cannot load: every play and preload answers null or false, and nothing fails.
//
// One recursive lock guards the cache and the setters that combine several objects; files are
// decoded outside it on the caller's thread, so two threads preloading the same new file both
// decode it and the later one stays cached. The channel and the track lock themselves.
class OALSimpleAudio : public Object {
public:
    // The shared facade, made on first use with 32 sources on a default context.
    static OALSimpleAudio* sharedInstance() { return OALSharedInstance<OALSimpleAudio>::get(); }
    // Make the shared facade with `sources` effect sources, or with a 44.1 kHz context refreshed 10
    // times a second that holds `monoSources` and `stereoSources` (0 or more). Only before the
    // shared facade exists: afterwards they throw NamedException "NSInternalInconsistencyException".
    static OALSimpleAudio* sharedInstanceWithSources(int sources);
    static OALSimpleAudio* sharedInstanceWithReservedSources(int reservedSources, int monoSources, int stereoSources);
    // Tears the shared facade down (track, channel and cached buffers before the context and the
    // device); the next sharedInstance() makes a fresh one. Only while no other thread uses it.
    static void purgeSharedInstance() { OALSharedInstance<OALSimpleAudio>::purge(); }

    // The number of effect sources; setting adds or removes sources (see ALChannelSource).
    int reservedSources() const;
    void setReservedSources(int sources);
    // Disabling drops the cache and its buffers; enabling starts an empty one.
    bool preloadCacheEnabled() const;
    void setPreloadCacheEnabled(bool enabled);
    size_t preloadCacheCount() const;

    // The shared OALAudioSession's settings and suspension.
    bool allowIpod() const;
    void setAllowIpod(bool allow);
    bool useHardwareIfAvailable() const;
    void setUseHardwareIfAvailable(bool use);
    bool honorSilentSwitch() const;
    void setHonorSilentSwitch(bool honor);
    bool manuallySuspended() const;
    void setManuallySuspended(bool suspended);
    bool interrupted() const;
    bool suspended() const;

    // The background track's gain (0 and up), pause, play state and file address ("" for none).
    float bgVolume() const;
    void setBgVolume(float volume);
    bool bgPaused() const;
    void setBgPaused(bool paused);
    bool bgPlaying() const;
    std::string backgroundTrackURL() const;

    // The gain of the listener of the OpenAL manager's current context, so it scales every source
    // of that context whichever channel owns it, and never the music (tracks play in a context of
    // their own). 0 without a current context.
    float effectsVolume() const;
    void setEffectsVolume(float volume);
    // The channel's pause.
    bool effectsPaused() const;
    void setEffectsPaused(bool paused);
    // True when both the background and the effects are paused; setting pauses both.
    bool paused() const;
    void setPaused(bool paused);

    // The mute matrix: the track is muted while muted or bgMuted, the current listener while muted
    // or effectsMuted.
    bool muted() const;
    void setMuted(bool muted);
    bool bgMuted() const;
    void setBgMuted(bool muted);
    bool effectsMuted() const;
    void setEffectsMuted(bool muted);

    // Loads the background file ready to play from `seekTime` seconds, playing it once; false for
    // an empty path (logged) or when the file cannot be loaded.
    bool preloadBg(const std::string& filePath, double seekTime = 0);
    // Plays the file from the start, once or (loop) until stopped; the second form sets the gain and
    // the pan (-1 left to 1 right) first. False for an empty path or a file that does not play.
    bool playBg(const std::string& filePath, bool loop = false);
    bool playBg(const std::string& filePath, float volume, float pan, bool loop);
    // Plays the loaded file again from its stored position.
    bool playBg() { return playBgWithLoop(false); }
    bool playBgWithLoop(bool loop);
    void stopBg();

    // The decoded file from the cache, decoding it there on first use; null for an empty path or a
    // file that cannot be loaded (logged). A cached buffer is answered as it is, whatever
    // `reduceToMono` asks for.
    RefPtr<ALBuffer> preloadEffect(const std::string& filePath, bool reduceToMono = false);
    // Takes the file's buffer off every idle source and out of the cache; false (the buffer stays)
    // while a source plays it, and for an empty path.
    bool unloadEffect(const std::string& filePath);
    // Takes the buffers off the channel's idle sources and drops those from the cache; buffers no
    // source held stay cached.
    void unloadAllEffects();
    // Stops the channel and takes the buffers off its sources; they stay cached.
    void stopAllEffects();
    // Effects and background.
    void stopEverything();
    // Stops everything and restores the channel's defaults, 32 sources, bgMuted false, bgVolume 1.
    void resetToDefault();

    // Each answers the source that plays the sound, or null when none could (no free source that
    // may be cut off, no sources, no buffer). Gain 0 and up, pitch 1 unchanged, pan -1 to 1.
    RefPtr<ALSource> playEffect(const std::string& filePath, bool loop = false);
    RefPtr<ALSource> playEffect(const std::string& filePath, float volume, float pitch, float pan, bool loop);
    RefPtr<ALSource> playBuffer(RefPtr<ALBuffer> buffer, float volume, float pitch, float pan, bool loop);

    // Cache keys: a buffer's name, and the file address a path resolves to ("" when a relative path
    // names no file).
    static std::string cacheKeyForBuffer(const ALBuffer& buffer);
    static std::string cacheKeyForEffectPath(const std::string& filePath);

    // What the facade owns; device and context are null without an output device.
    ALDevice* device() const { return device_.get(); }
    ALContext* context() const { return context_.get(); }
    ALChannelSource* channel() const { return channel_.get(); }
    OALAudioTrack* backgroundTrack() const { return backgroundTrack_.get(); }

protected:
    ~OALSimpleAudio() override;

private:
    friend class OALSharedInstance<OALSimpleAudio>;
    OALSimpleAudio();

    mutable std::recursive_mutex mutex_;
    RefPtr<ALDevice> device_;
    RefPtr<ALContext> context_;
    RefPtr<ALChannelSource> channel_;
    // Buffers by cache key, each named by its key; empty optional while the cache is disabled.
    std::optional<std::unordered_map<std::string, RefPtr<ALBuffer>>> preloadCache_;
    RefPtr<OALAudioTrack> backgroundTrack_;
    bool muted_ = false;
    bool bgMuted_ = false;
    bool effectsMuted_ = false;
};
