#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/ALSoundSource.h"
#include "audio/ALTypes.h"
#include "platform/foundation/Object.h"

class ALBuffer;
class ALContext;
class ALSoundSourcePool;

// A group of sources that behaves like one source: every property set on the channel is stored
// and sent to each of its sources, and each new sound plays on a source the pool chooses (a free
// one handed out longest ago; when none is free and the channel is interruptible, the one whose
// sound started longest ago is cut off).
//
// The channel's values start as those of its first source (the defaults) and change only through
// its setters. A source added later gets the channel's values, but not its interruptible, muted
// and paused settings. The channel takes its pool's lock in every operation, and each source's
// own lock inside it.
class ALChannelSource : public Object, public ALSoundSource {
public:
    // Called once a grouped fade, pan or pitch change has ended on every source, with the channel.
    using CompletionCallback = std::function<void(ALChannelSource* channel)>;

    // A channel on the OpenAL manager's current context with `sources` new sources (0 or more).
    // With no context (or when OpenAL runs out of sources) it simply has fewer.
    static RefPtr<ALChannelSource> channelWithSources(int sources);
    explicit ALChannelSource(int sources);

    // The number of sources. Setting adds new ones, or removes free or interruptible ones; it stops
    // early (keeping the sounds) when no more can be made, or when the rest play sounds that may
    // not be cut off.
    int reservedSources() const;
    void setReservedSources(int sources);
    // Adds `source`, or a new one for null, with the channel's values; false when no new source
    // could be made.
    bool addSource(RefPtr<ALSource> source);
    // Removes `source`, or for null the source the pool would hand out next (stopped if it must be
    // cut off), and answers it; null when there is none.
    RefPtr<ALSource> removeSource(RefPtr<ALSource> source);
    // A new channel with this one's defaults and up to `sources` sources taken from this one.
    RefPtr<ALChannelSource> splitChannelWithSources(int sources);
    // Moves every source `channel` (another channel) will give up into this one.
    void addChannel(ALChannelSource* channel);

    // The defaults are read from a source or copied from another channel's defaults;
    // resetToDefault sets them all again on the channel and its sources.
    void setDefaultsFromSource(ALSource* source);
    void setDefaultsFromChannel(const ALChannelSource& channel);
    void resetToDefault();

    // Does nothing but log a warning: a channel needs the buffer to play.
    RefPtr<ALSource> play();
    RefPtr<ALSource> play(RefPtr<ALBuffer> buffer) override;
    RefPtr<ALSource> play(RefPtr<ALBuffer> buffer, bool loop) override;
    RefPtr<ALSource> play(RefPtr<ALBuffer> buffer, float gain, float pitch, float pan, bool loop) override;

    // Each reaches every source.
    void stop() override;
    void rewind() override;
    void clear() override;

    // Every source moves its gain, pan or pitch linearly to `value` over `duration` seconds;
    // `onComplete` (may be empty) runs once the last of them has arrived, never on a channel
    // without sources. A new change replaces the running one of its kind, whose callback is then
    // never called.
    void fadeTo(float value, float duration, CompletionCallback onComplete);
    void panTo(float value, float duration, CompletionCallback onComplete);
    void pitchTo(float value, float duration, CompletionCallback onComplete);
    void stopFade() override;
    void stopPan() override;
    void stopPitch() override;
    void stopActions() override;

    // True as soon as one source plays or is paused.
    bool playing() const override;

    // The channel's own values; setting one stores it and sends it to every source.
    bool paused() const override;
    void setPaused(bool paused) override;
    bool interruptible() const override;
    void setInterruptible(bool interruptible) override;
    float gain() const override;
    void setGain(float gain) override;
    bool muted() const override;
    void setMuted(bool muted) override;
    float pan() const override;
    void setPan(float pan) override;
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
    // As read from the first source; never sent to the sources.
    int sourceType() const override;
    float reverbSendLevel() const override;
    void setReverbSendLevel(float level) override;
    float reverbOcclusion() const override;
    void setReverbOcclusion(float occlusion) override;
    float reverbObstruction() const override;
    void setReverbObstruction(float obstruction) override;

    // Every source that is neither playing nor paused lets go of its buffer; answers those buffers.
    std::vector<RefPtr<ALBuffer>> clearUnusedBuffers();
    // Every idle source holding the buffer named `name` lets go of it; false when a source holding
    // it plays (that source keeps it).
    bool removeBuffersNamed(const std::string& name);

    // The context current when the channel was made (may be null), and the pool.
    ALContext* context() const { return context_.get(); }
    ALSoundSourcePool* sourcePool() const { return sourcePool_.get(); }

protected:
    ~ALChannelSource() override;

private:
    // What a channel sets on every source, and what its defaults hold.
    struct Values {
        float pitch = 0;
        float gain = 0;
        float maxDistance = 0;
        float rolloffFactor = 0;
        float referenceDistance = 0;
        float minGain = 0;
        float maxGain = 0;
        float coneOuterGain = 0;
        float coneInnerAngle = 0;  // degrees
        float coneOuterAngle = 0;  // degrees
        ALXYZ position;
        ALXYZ velocity;
        ALXYZ direction;
        bool sourceRelative = false;
        int sourceType = 0;  // stored only
        bool looping = false;
    };
    // One grouped change: counts its sources' callbacks; see the .cpp.
    struct CompletionGroup;
    enum Change { kFade, kPan, kPitch, kChangeCount };

    // Sends the values (all but sourceType) to `source`.
    void applyValues(ALSource& source) const;
    // Stores `value` in `field` and sends it to every source through `setter`.
    template <typename T>
    void setOnAll(T& field, T value, void (ALSource::*setter)(T));
    // Reads `field` under the lock.
    template <typename T>
    T stored(const T& field) const;
    // Sends `operation` to every source under the lock.
    void forEachSource(void (ALSource::*operation)());
    void runGrouped(Change change, float value, float duration, CompletionCallback onComplete);
    void stopGrouped(Change change);

    const RefPtr<ALSoundSourcePool> sourcePool_;
    const RefPtr<ALContext> context_;
    bool defaultsInitialized_ = false;
    Values values_;
    Values defaults_;
    float reverbSendLevel_ = 0;
    float reverbOcclusion_ = 0;
    float reverbObstruction_ = 0;
    bool interruptible_ = false;
    bool muted_ = false;
    bool paused_ = false;
    std::shared_ptr<CompletionGroup> groups_[kChangeCount];  // the running grouped changes, null when none
};
