#pragma once

#include "audio/ALTypes.h"
#include "platform/foundation/Object.h"

class ALBuffer;
class ALSource;

// What a single source (ALSource) and a channel of sources (ALChannelSource) share. A context
// keeps the sources made on it (not retained) and stops or clears them all through this interface.
//
// Fades, pans and pitch changes over time are started on the implementing class itself: their
// completion callbacks hand back that class. Stopping them is shared.
class ALSoundSource {
public:
    // Each answers the source that plays the sound (for a channel, the one it chose), or null when
    // nothing plays: while suspended, when every candidate plays a sound that may not be cut off,
    // or when OpenAL refused to start. Gain 0 and up, pitch 1 unchanged, pan -1 left to 1 right.
    virtual RefPtr<ALSource> play(RefPtr<ALBuffer> buffer) = 0;
    virtual RefPtr<ALSource> play(RefPtr<ALBuffer> buffer, bool loop) = 0;
    virtual RefPtr<ALSource> play(RefPtr<ALBuffer> buffer, float gain, float pitch, float pan, bool loop) = 0;

    // Stops playing; ignored while suspended.
    virtual void stop() = 0;
    // As stop, back at the start.
    virtual void rewind() = 0;
    // Lifts a manual suspension, stops, and lets go of the buffer.
    virtual void clear() = 0;

    // Stop the running gain, pan or pitch changes (all three for stopActions), leaving the values
    // where they are, without their callbacks.
    virtual void stopFade() = 0;
    virtual void stopPan() = 0;
    virtual void stopPitch() = 0;
    virtual void stopActions() = 0;

    // True while a sound plays or is paused.
    virtual bool playing() const = 0;
    // Pausing applies to playing sounds only, unpausing to paused ones.
    virtual bool paused() const = 0;
    virtual void setPaused(bool paused) = 0;
    // May a new sound cut off one that plays.
    virtual bool interruptible() const = 0;
    virtual void setInterruptible(bool interruptible) = 0;
    // The gain as set (0 and up), kept while muted; volume is the gain.
    virtual float gain() const = 0;
    virtual void setGain(float gain) = 0;
    float volume() const { return gain(); }
    void setVolume(float volume) { setGain(volume); }
    virtual bool muted() const = 0;
    virtual void setMuted(bool muted) = 0;
    // The x of position: -1 left to 1 right; setting moves to (pan, 0, 0).
    virtual float pan() const = 0;
    virtual void setPan(float pan) = 0;

    // OpenAL's source parameters. Angles in degrees, distances in the game's units, gains 0 and
    // up, pitch 1 unchanged.
    virtual float coneInnerAngle() const = 0;
    virtual void setConeInnerAngle(float angle) = 0;
    virtual float coneOuterAngle() const = 0;
    virtual void setConeOuterAngle(float angle) = 0;
    virtual float coneOuterGain() const = 0;
    virtual void setConeOuterGain(float gain) = 0;
    virtual float maxDistance() const = 0;
    virtual void setMaxDistance(float distance) = 0;
    virtual float maxGain() const = 0;
    virtual void setMaxGain(float gain) = 0;
    virtual float minGain() const = 0;
    virtual void setMinGain(float gain) = 0;
    virtual float pitch() const = 0;
    virtual void setPitch(float pitch) = 0;
    virtual float referenceDistance() const = 0;
    virtual void setReferenceDistance(float distance) = 0;
    virtual float rolloffFactor() const = 0;
    virtual void setRolloffFactor(float factor) = 0;
    virtual ALXYZ direction() const = 0;
    virtual void setDirection(ALXYZ direction) = 0;
    virtual ALXYZ position() const = 0;
    virtual void setPosition(ALXYZ position) = 0;
    virtual ALXYZ velocity() const = 0;
    virtual void setVelocity(ALXYZ velocity) = 0;
    virtual bool looping() const = 0;
    virtual void setLooping(bool looping) = 0;
    virtual bool sourceRelative() const = 0;
    virtual void setSourceRelative(bool relative) = 0;
    // AL_UNDETERMINED, AL_STATIC (one buffer attached) or AL_STREAMING (queued buffers).
    virtual int sourceType() const = 0;
    // The platform's spatial-audio settings; inert on the desktop.
    virtual float reverbSendLevel() const = 0;
    virtual void setReverbSendLevel(float level) = 0;
    virtual float reverbOcclusion() const = 0;
    virtual void setReverbOcclusion(float occlusion) = 0;
    virtual float reverbObstruction() const = 0;
    virtual void setReverbObstruction(float obstruction) = 0;

protected:
    ~ALSoundSource() = default;
};
