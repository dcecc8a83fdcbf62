#include "audio/ALChannelSource.h"

#include <algorithm>
#include <mutex>

#include "audio/ALBuffer.h"
#include "audio/ALContext.h"
#include "audio/ALSoundSourcePool.h"
#include "audio/ALSource.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "platform/foundation/NamedException.h"

// One grouped change counts the callbacks of its sources and calls the channel's callback with the
// last of them. The sources' callbacks share it, so that a callback arriving after the change was
// replaced or stopped, or after the channel went, finds it detached and does nothing.
struct ALChannelSource::CompletionGroup {
    CompletionGroup(ALChannelSource* channel, CompletionCallback onComplete, size_t expected)
        : channel(channel), onComplete(std::move(onComplete)), expected(expected) {}

    void sourceDone() {
        ALChannelSource* done = nullptr;
        CompletionCallback call;
        {
            std::lock_guard lock(mutex);
            if (!channel || ++arrived != expected) return;
            done = std::exchange(channel, nullptr);
            call = std::move(onComplete);
        }
        if (call) call(done);
    }

    void detach() {
        std::lock_guard lock(mutex);
        channel = nullptr;
    }

    std::mutex mutex;
    ALChannelSource* channel;  // not retained; null once detached or done
    CompletionCallback onComplete;
    const size_t expected;  // the channel's source count when the change started
    size_t arrived = 0;
};

namespace {

// The source operations behind each grouped change.
struct SourceChange {
    void (ALSource::*start)(float value, float duration, ALSource::CompletionCallback onComplete);
    void (ALSource::*stop)();
};

constexpr SourceChange kSourceChanges[] = {
    {&ALSource::fadeTo, &ALSource::stopFade},
    {&ALSource::panTo, &ALSource::stopPan},
    {&ALSource::pitchTo, &ALSource::stopPitch},
};

}  // namespace

RefPtr<ALChannelSource> ALChannelSource::channelWithSources(int sources) {
    return makeRef<ALChannelSource>(sources);
}

ALChannelSource::ALChannelSource(int sources)
    : sourcePool_(ALSoundSourcePool::pool()), context_(OpenALManager::sharedInstance()->currentContext()) {
    CC_REQUIRE(sources >= 0, "NSInvalidArgumentException", "ALChannelSource: %d sources", sources);
    // One failure means the next would fail too (no context, or OpenAL's sources are used up):
    // one error line is enough.
    for (int i = 0; i < sources; ++i) {
        if (!addSource(nullptr)) break;
    }
}

ALChannelSource::~ALChannelSource() {
    for (const std::shared_ptr<CompletionGroup>& group : groups_) {
        if (group) group->detach();
    }
}

int ALChannelSource::reservedSources() const {
    return int(sourcePool_->count());
}

void ALChannelSource::setReservedSources(int sources) {
    CC_REQUIRE(sources >= 0, "NSInvalidArgumentException", "ALChannelSource: %d reserved sources", sources);
    std::lock_guard lock(sourcePool_->lock());
    while (reservedSources() < sources) {
        if (!addSource(nullptr)) return;
    }
    while (reservedSources() > sources) {
        if (!removeSource(nullptr)) return;
    }
}

bool ALChannelSource::addSource(RefPtr<ALSource> source) {
    std::lock_guard lock(sourcePool_->lock());
    if (!source) source = ALSource::source();
    if (!source) return false;
    if (defaultsInitialized_) {
        applyValues(*source);
    } else {
        setDefaultsFromSource(source.get());
        resetToDefault();
    }
    sourcePool_->addSource(std::move(source));
    return true;
}

RefPtr<ALSource> ALChannelSource::removeSource(RefPtr<ALSource> source) {
    std::lock_guard lock(sourcePool_->lock());
    if (!source) source = sourcePool_->getFreeSource(true);
    if (source) sourcePool_->removeSource(source.get());
    return source;
}

RefPtr<ALChannelSource> ALChannelSource::splitChannelWithSources(int sources) {
    std::lock_guard lock(sourcePool_->lock());
    RefPtr<ALChannelSource> channel = channelWithSources(0);
    channel->setDefaultsFromChannel(*this);
    channel->resetToDefault();
    for (int i = 0; i < sources; ++i) {
        RefPtr<ALSource> source = removeSource(nullptr);
        if (!source) break;
        channel->addSource(std::move(source));
    }
    return channel;
}

void ALChannelSource::addChannel(ALChannelSource* channel) {
    CC_REQUIRE(channel && channel != this, "NSInvalidArgumentException", "ALChannelSource: cannot add %s to itself",
               channel ? "a channel" : "a null channel");
    std::lock_guard lock(sourcePool_->lock());
    while (RefPtr<ALSource> source = channel->removeSource(nullptr)) addSource(std::move(source));
}

void ALChannelSource::setDefaultsFromSource(ALSource* source) {
    std::lock_guard lock(sourcePool_->lock());
    defaults_ = Values{source->pitch(),
                       source->gain(),
                       source->maxDistance(),
                       source->rolloffFactor(),
                       source->referenceDistance(),
                       source->minGain(),
                       source->maxGain(),
                       source->coneOuterGain(),
                       source->coneInnerAngle(),
                       source->coneOuterAngle(),
                       source->position(),
                       source->velocity(),
                       source->direction(),
                       source->sourceRelative(),
                       source->sourceType(),
                       source->looping()};
    defaultsInitialized_ = true;
}

void ALChannelSource::setDefaultsFromChannel(const ALChannelSource& channel) {
    std::scoped_lock lock(sourcePool_->lock(), channel.sourcePool_->lock());
    defaults_ = channel.defaults_;
    defaultsInitialized_ = true;
}

void ALChannelSource::resetToDefault() {
    std::lock_guard lock(sourcePool_->lock());
    values_ = defaults_;
    for (const RefPtr<ALSource>& source : sourcePool_->sources()) applyValues(*source);
}

void ALChannelSource::applyValues(ALSource& source) const {
    source.setPitch(values_.pitch);
    source.setGain(values_.gain);
    source.setMaxDistance(values_.maxDistance);
    source.setRolloffFactor(values_.rolloffFactor);
    source.setReferenceDistance(values_.referenceDistance);
    source.setMinGain(values_.minGain);
    source.setMaxGain(values_.maxGain);
    source.setConeOuterGain(values_.coneOuterGain);
    source.setConeInnerAngle(values_.coneInnerAngle);
    source.setConeOuterAngle(values_.coneOuterAngle);
    source.setPosition(values_.position);
    source.setVelocity(values_.velocity);
    source.setDirection(values_.direction);
    source.setSourceRelative(values_.sourceRelative);
    source.setLooping(values_.looping);
}

RefPtr<ALSource> ALChannelSource::play() {
    OALTools::logWarning("-[ALChannelSource play]",
                         "%s: \"play\" does nothing in ChannelSource.  Use \"play:(ALBuffer*) buffer loop:(bool) loop\" "
                         "instead.",
                         description().c_str());
    return nullptr;
}

RefPtr<ALSource> ALChannelSource::play(RefPtr<ALBuffer> buffer) {
    return play(std::move(buffer), false);
}

RefPtr<ALSource> ALChannelSource::play(RefPtr<ALBuffer> buffer, bool loop) {
    std::lock_guard lock(sourcePool_->lock());
    const RefPtr<ALSource> source = sourcePool_->getFreeSource(interruptible_);
    return source ? source->play(std::move(buffer), loop) : nullptr;
}

RefPtr<ALSource> ALChannelSource::play(RefPtr<ALBuffer> buffer, float gain, float pitch, float pan, bool loop) {
    std::lock_guard lock(sourcePool_->lock());
    const RefPtr<ALSource> source = sourcePool_->getFreeSource(interruptible_);
    return source ? source->play(std::move(buffer), gain, pitch, pan, loop) : nullptr;
}

void ALChannelSource::forEachSource(void (ALSource::*operation)()) {
    std::lock_guard lock(sourcePool_->lock());
    for (const RefPtr<ALSource>& source : sourcePool_->sources()) (source.get()->*operation)();
}

void ALChannelSource::stop() { forEachSource(&ALSource::stop); }
void ALChannelSource::rewind() { forEachSource(&ALSource::rewind); }
void ALChannelSource::clear() { forEachSource(&ALSource::clear); }

void ALChannelSource::runGrouped(Change change, float value, float duration, CompletionCallback onComplete) {
    std::lock_guard lock(sourcePool_->lock());
    stopGrouped(change);
    const std::vector<RefPtr<ALSource>>& sources = sourcePool_->sources();
    const auto group = std::make_shared<CompletionGroup>(this, std::move(onComplete), sources.size());
    groups_[change] = group;
    const auto start = kSourceChanges[change].start;
    // A change of no duration completes inside the call, so the count is fixed before the first.
    for (const RefPtr<ALSource>& source : sources) {
        (source.get()->*start)(value, duration, [group](ALSoundSource*) { group->sourceDone(); });
    }
}

void ALChannelSource::stopGrouped(Change change) {
    std::lock_guard lock(sourcePool_->lock());
    if (const std::shared_ptr<CompletionGroup> group = std::move(groups_[change])) group->detach();
    forEachSource(kSourceChanges[change].stop);
}

void ALChannelSource::fadeTo(float value, float duration, CompletionCallback onComplete) {
    runGrouped(kFade, value, duration, std::move(onComplete));
}

void ALChannelSource::panTo(float value, float duration, CompletionCallback onComplete) {
    runGrouped(kPan, value, duration, std::move(onComplete));
}

void ALChannelSource::pitchTo(float value, float duration, CompletionCallback onComplete) {
    runGrouped(kPitch, value, duration, std::move(onComplete));
}

void ALChannelSource::stopFade() { stopGrouped(kFade); }
void ALChannelSource::stopPan() { stopGrouped(kPan); }
void ALChannelSource::stopPitch() { stopGrouped(kPitch); }

void ALChannelSource::stopActions() {
    stopFade();
    stopPan();
    stopPitch();
}

bool ALChannelSource::playing() const {
    std::lock_guard lock(sourcePool_->lock());
    const std::vector<RefPtr<ALSource>>& sources = sourcePool_->sources();
    return std::any_of(sources.begin(), sources.end(), [](const RefPtr<ALSource>& source) { return source->playing(); });
}

template <typename T>
void ALChannelSource::setOnAll(T& field, T value, void (ALSource::*setter)(T)) {
    std::lock_guard lock(sourcePool_->lock());
    field = value;
    for (const RefPtr<ALSource>& source : sourcePool_->sources()) (source.get()->*setter)(value);
}

template <typename T>
T ALChannelSource::stored(const T& field) const {
    std::lock_guard lock(sourcePool_->lock());
    return field;
}

bool ALChannelSource::paused() const { return stored(paused_); }
void ALChannelSource::setPaused(bool paused) { setOnAll(paused_, paused, &ALSource::setPaused); }
bool ALChannelSource::interruptible() const { return stored(interruptible_); }
void ALChannelSource::setInterruptible(bool interruptible) {
    setOnAll(interruptible_, interruptible, &ALSource::setInterruptible);
}
float ALChannelSource::gain() const { return stored(values_.gain); }
void ALChannelSource::setGain(float gain) { setOnAll(values_.gain, gain, &ALSource::setGain); }
bool ALChannelSource::muted() const { return stored(muted_); }
void ALChannelSource::setMuted(bool muted) { setOnAll(muted_, muted, &ALSource::setMuted); }
float ALChannelSource::pan() const { return position().x; }
void ALChannelSource::setPan(float pan) { setPosition({pan, 0, 0}); }
float ALChannelSource::coneInnerAngle() const { return stored(values_.coneInnerAngle); }
void ALChannelSource::setConeInnerAngle(float angle) {
    setOnAll(values_.coneInnerAngle, angle, &ALSource::setConeInnerAngle);
}
float ALChannelSource::coneOuterAngle() const { return stored(values_.coneOuterAngle); }
void ALChannelSource::setConeOuterAngle(float angle) {
    setOnAll(values_.coneOuterAngle, angle, &ALSource::setConeOuterAngle);
}
float ALChannelSource::coneOuterGain() const { return stored(values_.coneOuterGain); }
void ALChannelSource::setConeOuterGain(float gain) {
    setOnAll(values_.coneOuterGain, gain, &ALSource::setConeOuterGain);
}
float ALChannelSource::maxDistance() const { return stored(values_.maxDistance); }
void ALChannelSource::setMaxDistance(float distance) {
    setOnAll(values_.maxDistance, distance, &ALSource::setMaxDistance);
}
float ALChannelSource::maxGain() const { return stored(values_.maxGain); }
void ALChannelSource::setMaxGain(float gain) { setOnAll(values_.maxGain, gain, &ALSource::setMaxGain); }
float ALChannelSource::minGain() const { return stored(values_.minGain); }
void ALChannelSource::setMinGain(float gain) { setOnAll(values_.minGain, gain, &ALSource::setMinGain); }
float ALChannelSource::pitch() const { return stored(values_.pitch); }
void ALChannelSource::setPitch(float pitch) { setOnAll(values_.pitch, pitch, &ALSource::setPitch); }
float ALChannelSource::referenceDistance() const { return stored(values_.referenceDistance); }
void ALChannelSource::setReferenceDistance(float distance) {
    setOnAll(values_.referenceDistance, distance, &ALSource::setReferenceDistance);
}
float ALChannelSource::rolloffFactor() const { return stored(values_.rolloffFactor); }
void ALChannelSource::setRolloffFactor(float factor) {
    setOnAll(values_.rolloffFactor, factor, &ALSource::setRolloffFactor);
}
ALXYZ ALChannelSource::direction() const { return stored(values_.direction); }
void ALChannelSource::setDirection(ALXYZ direction) { setOnAll(values_.direction, direction, &ALSource::setDirection); }
ALXYZ ALChannelSource::position() const { return stored(values_.position); }
void ALChannelSource::setPosition(ALXYZ position) { setOnAll(values_.position, position, &ALSource::setPosition); }
ALXYZ ALChannelSource::velocity() const { return stored(values_.velocity); }
void ALChannelSource::setVelocity(ALXYZ velocity) { setOnAll(values_.velocity, velocity, &ALSource::setVelocity); }
bool ALChannelSource::looping() const { return stored(values_.looping); }
void ALChannelSource::setLooping(bool looping) { setOnAll(values_.looping, looping, &ALSource::setLooping); }
bool ALChannelSource::sourceRelative() const { return stored(values_.sourceRelative); }
void ALChannelSource::setSourceRelative(bool relative) {
    setOnAll(values_.sourceRelative, relative, &ALSource::setSourceRelative);
}
int ALChannelSource::sourceType() const { return stored(values_.sourceType); }
float ALChannelSource::reverbSendLevel() const { return stored(reverbSendLevel_); }
void ALChannelSource::setReverbSendLevel(float level) {
    setOnAll(reverbSendLevel_, level, &ALSource::setReverbSendLevel);
}
float ALChannelSource::reverbOcclusion() const { return stored(reverbOcclusion_); }
void ALChannelSource::setReverbOcclusion(float occlusion) {
    setOnAll(reverbOcclusion_, occlusion, &ALSource::setReverbOcclusion);
}
float ALChannelSource::reverbObstruction() const { return stored(reverbObstruction_); }
void ALChannelSource::setReverbObstruction(float obstruction) {
    setOnAll(reverbObstruction_, obstruction, &ALSource::setReverbObstruction);
}

std::vector<RefPtr<ALBuffer>> ALChannelSource::clearUnusedBuffers() {
    std::vector<RefPtr<ALBuffer>> released;
    std::lock_guard lock(sourcePool_->lock());
    released.reserve(sourcePool_->sources().size());
    for (const RefPtr<ALSource>& source : sourcePool_->sources()) {
        if (source->playing()) continue;
        if (RefPtr<ALBuffer> buffer = source->buffer()) {
            released.push_back(std::move(buffer));
            source->setBuffer(nullptr);
        }
    }
    return released;
}

bool ALChannelSource::removeBuffersNamed(const std::string& name) {
    std::lock_guard lock(sourcePool_->lock());
    bool inUse = false;
    for (const RefPtr<ALSource>& source : sourcePool_->sources()) {
        const RefPtr<ALBuffer> buffer = source->buffer();
        if (!buffer || buffer->name() != name) continue;
        if (source->playing()) {
            inUse = true;
        } else {
            source->setBuffer(nullptr);
        }
    }
    return !inUse;
}
