#pragma once

#include <AL/al.h>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "audio/ALSoundSource.h"
#include "audio/ALTypes.h"
#include "audio/OALActionTarget.h"
#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

class ALBuffer;
class ALContext;
class OALAction;
class OALPropertyAction;

// One OpenAL source on one context, playing one buffer at a time.
//
// The source keeps a shadow of its play state (OpenAL's AL_INITIAL, AL_PLAYING, AL_PAUSED or
// AL_STOPPED) so that it can answer and resume correctly while suspended; every setter and play
// operation is ignored while it is suspended. A source that plays (or is paused) refuses a new
// sound unless it is interruptible. Gain, pan and pitch changes over time run as audio actions on
// the shared OALActionManager.
//
// It hangs below its context in the suspend tree: a suspension pauses a playing sound and its end
// restarts it 0.03 s later on the run loop of the thread that lifted it. It is never interrupted
// itself; an interruption stops at its context. A buffer the source lets go of is released 0.1 s
// later on the current thread's run loop.
//
// Each source is its own recursive lock; creation and destruction also take the OpenAL manager's
// lock while they switch to the source's context.
class ALSource : public Object, public ALSoundSource, public OALSuspendManager, public OALActionTarget {
public:
    // Called when a fade, pan or pitch change reaches its end, with the source that ran it.
    using CompletionCallback = std::function<void(ALSource* source)>;
    // Called when the platform reports a source notification: (source, notification id, user data).
    using NotificationCallback = std::function<void(ALSource* source, ALuint notificationId, void* userData)>;

    // A source on the OpenAL manager's current context, or on `context`. Null, after one error
    // line, when there is no context or OpenAL cannot make another source (it allows 256).
    static RefPtr<ALSource> source();
    static RefPtr<ALSource> sourceOnContext(RefPtr<ALContext> context);

    ALSource() = default;
    // On the OpenAL manager's current context, or on `context`; false as for source().
    bool init();
    bool initOnContext(RefPtr<ALContext> context);

    // The OpenAL source name; all ones until made.
    ALuint sourceId() const { return sourceId_; }
    ALContext* context() const { return context_.get(); }

    // The buffer the source plays (null for none). Setting stops the source first.
    RefPtr<ALBuffer> buffer() const;
    void setBuffer(RefPtr<ALBuffer> buffer);

    // Stops the source and attaches `buffer` without playing it.
    void preload(RefPtr<ALBuffer> buffer);
    // Each answers the source, or null when it did not play: while suspended, when a sound is
    // playing or paused and the source is not interruptible, or when OpenAL refused to start.
    // Without a buffer the source plays the one it has. Gain 0 and up, pitch 1 unchanged, pan -1
    // left to 1 right.
    RefPtr<ALSource> play();
    RefPtr<ALSource> play(RefPtr<ALBuffer> buffer) override;
    RefPtr<ALSource> play(RefPtr<ALBuffer> buffer, bool loop) override;
    RefPtr<ALSource> play(RefPtr<ALBuffer> buffer, float gain, float pitch, float pan, bool loop) override;

    // Stops playing; a pending resume is cancelled.
    void stop() override;
    // As stop, back at the start (state AL_INITIAL).
    void rewind() override;
    // Lifts a manual suspension, stops, and lets go of the buffer.
    void clear() override;

    // Gain, pan or pitch moves linearly to `value` over `duration` seconds, then `onComplete` (may
    // be empty) runs; starting one stops the previous one of its kind. Stopping one leaves the
    // value where it is, without the callback.
    void fadeTo(float value, float duration, CompletionCallback onComplete);
    void stopFade() override;
    void panTo(float value, float duration, CompletionCallback onComplete);
    void stopPan() override;
    void pitchTo(float value, float duration, CompletionCallback onComplete);
    void stopPitch() override;
    void stopActions() override;

    // The play state: the shadow, except that a sound OpenAL has finished answers AL_STOPPED.
    // Setting starts, pauses, stops or rewinds the OpenAL source.
    int state() const;
    void setState(int state);
    // True while a sound plays or is paused (while suspended: as the shadow was).
    bool playing() const override;
    // Pausing applies to a playing sound only, unpausing to a paused one.
    bool paused() const override;
    void setPaused(bool paused) override;
    // May a new sound cut off the one playing; false by default.
    bool interruptible() const override;
    void setInterruptible(bool interruptible) override;

    // The gain last set (0 and up), kept while muted; OpenAL gets 0 while muted. Muting stops the
    // running fades. Volume is the gain.
    float gain() const override;
    void setGain(float gain) override;
    bool muted() const override;
    void setMuted(bool muted) override;
    // The x of position: -1 left to 1 right; setting moves the source to (pan, 0, 0).
    float pan() const override;
    void setPan(float pan) override;

    // OpenAL's source parameters, read from OpenAL; setting is ignored while suspended.
    // Angles in degrees, distances in the game's units, gains 0 and up, pitch 1 unchanged.
    float coneInnerAngle() const override;
    void setConeInnerAngle(float angle) override;
    float coneOuterAngle() const override;
    void setConeOuterAngle(float angle) override;
    float coneOuterGain() const override;
    void setConeOuterGain(float gain) override;
    float maxDistance() const override;
    void setMaxDistance(float distance) override;
    float maxGain() const override;
    void setMaxGain(float gain) override;
    float minGain() const override;
    void setMinGain(float gain) override;
    float pitch() const override;
    void setPitch(float pitch) override;
    float referenceDistance() const override;
    void setReferenceDistance(float distance) override;
    float rolloffFactor() const override;
    void setRolloffFactor(float factor) override;
    // The playing position in the buffer, in bytes, sample frames and seconds.
    float offsetInBytes() const;
    void setOffsetInBytes(float offset);
    float offsetInSamples() const;
    void setOffsetInSamples(float offset);
    float offsetInSeconds() const;
    void setOffsetInSeconds(float offset);
    ALXYZ direction() const override;
    void setDirection(ALXYZ direction) override;
    ALXYZ position() const override;
    void setPosition(ALXYZ position) override;
    ALXYZ velocity() const override;
    void setVelocity(ALXYZ velocity) override;
    bool looping() const override;
    void setLooping(bool looping) override;
    bool sourceRelative() const override;
    void setSourceRelative(bool relative) override;
    // AL_UNDETERMINED, AL_STATIC (one buffer attached) or AL_STREAMING (queued buffers).
    int sourceType() const override;
    int buffersQueued() const;
    int buffersProcessed() const;
    // The platform's spatial-audio settings; inert on the desktop.
    float reverbSendLevel() const override;
    void setReverbSendLevel(float level) override;
    float reverbOcclusion() const override;
    void setReverbOcclusion(float occlusion) override;
    float reverbObstruction() const override;
    void setReverbObstruction(float obstruction) override;

    // "gain", "pan" and "pitch" for audio actions.
    float floatProperty(const std::string& key) const override;
    void setFloatProperty(const std::string& key, float value) override;

    // Buffer queues: each buffer plays `repeats` + 1 times in a row. A source holding one buffer
    // lets go of it first. False while suspended or when OpenAL refuses.
    bool queueBuffer(RefPtr<ALBuffer> buffer, uint32_t repeats = 0);
    bool queueBuffers(const std::vector<RefPtr<ALBuffer>>& buffers, uint32_t repeats = 0);
    bool unqueueBuffer(RefPtr<ALBuffer> buffer);
    bool unqueueBuffers(const std::vector<RefPtr<ALBuffer>>& buffers);

    // Gives up the buffer unless a sound plays that may not be cut off (one that plays while
    // `interrupt` or interruptible is false); true when the buffer was given up.
    bool requestUnreserve(bool interrupt);

    // Per-source platform notifications (none fire on the desktop): one callback per id, replaced
    // by a second registration.
    void registerNotification(ALuint notificationId, NotificationCallback callback, void* userData);
    void unregisterNotification(ALuint notificationId);
    void unregisterAllNotifications();
    void receiveNotification(ALuint notificationId, void* userData);

    // A source is suspended by hand or through its context, never interrupted itself.
    bool interrupted() const override { return false; }
    void setInterrupted(bool) override {}
    // The suspend handler's change: suspending pauses a playing sound, resuming restarts it later.
    void setSuspended(bool suspended) override;

    // The registry of live sources by name (not retained), for notifications.
    static void notifySourceAllocated(ALSource* source);
    static void notifySourceDeallocated(ALSource* source);

protected:
    ~ALSource() override;

private:
    // Runs `change` (a property action) followed by the callback, kept in `slot`.
    void runAction(RefPtr<OALAction>& slot, RefPtr<OALPropertyAction> change, CompletionCallback onComplete);
    // Stops and lets go of the action in `slot` unless suspended.
    void stopActionUnlessSuspended(RefPtr<OALAction>& slot);
    // The first steps of every play: false while suspended or when a sound plays that may not be
    // cut off; otherwise stops the actions and the sound.
    bool makeRoomToPlay();
    // Unless suspended: cancels a pending resume, stops the actions, makes the OpenAL call (stop or
    // rewind) and sets the shadow.
    void halt(bool (*call)(ALuint sourceId), int shadowState);
    // Starts the OpenAL source; the shadow becomes playing, or stopped when OpenAL refused.
    bool start();
    // Restarts the sound after a suspension unless it was stopped, paused or suspended again.
    void delayedResumePlayback();
    // Runs `call` with this source's context current in OpenAL and the previous one back after,
    // under the OpenAL manager's lock.
    void withOwnContext(const std::function<void()>& call);

    // An OpenAL parameter read under the lock, or set under it unless suspended.
    float getf(ALenum parameter) const;
    void setf(ALenum parameter, float value);
    ALXYZ get3f(ALenum parameter) const;
    void set3f(ALenum parameter, ALXYZ value);
    int geti(ALenum parameter) const;
    void seti(ALenum parameter, int value);
    // The same through the call layer's spatial-audio operations.
    float getASA(float (*get)(ALuint sourceId)) const;
    void setASA(bool (*set)(float value, ALuint sourceId), float value);

    mutable std::recursive_mutex mutex_;
    ALuint sourceId_ = UINT32_MAX;  // all ones until made
    bool interruptible_ = false;
    float gain_ = 1.0f;  // as last set, 0 and up
    bool muted_ = false;
    int shadowState_ = AL_INITIAL;  // AL_INITIAL, AL_PLAYING, AL_PAUSED or AL_STOPPED
    bool abortPlaybackResume_ = false;  // set by stop, rewind and pause to cancel a pending resume
    RefPtr<ALBuffer> buffer_;
    RefPtr<ALContext> context_;  // null until made
    RefPtr<OALAction> gainAction_;  // the running changes, each a property action and its callback
    RefPtr<OALAction> panAction_;
    RefPtr<OALAction> pitchAction_;
    std::map<ALuint, NotificationCallback> notificationCallbacks_;
};
