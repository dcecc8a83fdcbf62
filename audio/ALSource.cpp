#include "audio/ALSource.h"

#include <unordered_map>
#include <utility>

#include "audio/ALBuffer.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALWrapper.h"
#include "audio/OALActionRunner.h"
#include "audio/OALPropertyAction.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

namespace {

constexpr ALuint kNoSource = UINT32_MAX;
constexpr double kResumeDelay = 0.03;         // seconds from the end of a suspension to the restart
constexpr double kBufferReleaseDelay = 0.1;  // seconds OpenAL may still read a detached buffer

// Live sources by OpenAL name, not retained; a source leaves before it is destroyed.
struct Registry {
    std::mutex mutex;
    std::unordered_map<ALuint, ALSource*> sources;
};

Registry& registry() {
    static Registry shared;
    return shared;
}

// The platform's notification callback: finds the source under the registry's lock, so that it
// cannot be destroyed while it receives the notification.
void notificationProc(ALuint sourceId, ALuint notificationId, void* userData) {
    Registry& live = registry();
    std::lock_guard lock(live.mutex);
    const auto found = live.sources.find(sourceId);
    if (found != live.sources.end()) found->second->receiveNotification(notificationId, userData);
}

// Keeps the buffer until the current thread's run loop has waited `kBufferReleaseDelay`.
void releaseLater(RefPtr<ALBuffer> buffer) {
    if (!buffer) return;
    RunLoop::current().scheduleTimer(kBufferReleaseDelay, false, [buffer = std::move(buffer)]() mutable { buffer.reset(); });
}

bool isPlayingOrPaused(int state) {
    return state == AL_PLAYING || state == AL_PAUSED;
}

}  // namespace

RefPtr<ALSource> ALSource::source() {
    RefPtr<ALSource> source(new ALSource());
    return source->init() ? source : nullptr;
}

RefPtr<ALSource> ALSource::sourceOnContext(RefPtr<ALContext> context) {
    RefPtr<ALSource> source(new ALSource());
    return source->initOnContext(std::move(context)) ? source : nullptr;
}

bool ALSource::init() {
    return initOnContext(RefPtr<ALContext>(OpenALManager::sharedInstance()->currentContext()));
}

bool ALSource::initOnContext(RefPtr<ALContext> context) {
    if (!context) {
        OALTools::logError("-[ALSource initOnContext:]", "%s: Failed to init because context was nil. Returning nil",
                           description().c_str());
        return false;
    }
    context_ = std::move(context);
    ALuint sourceId = kNoSource;
    float gain = 1.0f;
    withOwnContext([&] {
        sourceId = ALWrapper::genSource();
        if (sourceId != kNoSource) gain = ALWrapper::getSourcef(sourceId, AL_GAIN);
    });
    // A source OpenAL could not make (past its 256) never enters use: the wrapper has reported
    // the error, and the object answers null.
    if (sourceId == kNoSource) {
        context_.reset();
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        sourceId_ = sourceId;
        gain_ = gain;
    }
    // Registered without the source's lock: a suspension takes the context's handler lock first and
    // then each source's, so holding ours here while taking the handler's could deadlock against it.
    context_->notifySourceInitializing(this);
    context_->addSuspendListener(this);
    notifySourceAllocated(this);
    return true;
}

ALSource::~ALSource() {
    if (sourceId_ == kNoSource) return;
    notifySourceDeallocated(this);
    unregisterAllNotifications();
    context_->removeSuspendListener(this);
    context_->notifySourceDeallocating(this);
    for (RefPtr<OALAction>* slot : {&gainAction_, &panAction_, &pitchAction_}) OALActionRunner::stop(*slot);
    // On the source's own context: with another one current the same name may be another source.
    withOwnContext([&] {
        ALWrapper::sourceStop(sourceId_);
        ALWrapper::sourcei(sourceId_, AL_BUFFER, 0);
        ALWrapper::deleteSource(sourceId_);
    });
    releaseLater(std::move(buffer_));
}

void ALSource::withOwnContext(const std::function<void()>& call) {
    std::lock_guard lock(OpenALManager::sharedInstance()->lock());
    ALCcontext* const own = context_->context();
    ALCcontext* const previous = ALWrapper::getCurrentContext();
    if (previous != own) ALWrapper::makeContextCurrent(own, context_->device()->device());
    call();
    if (previous != own) ALWrapper::makeContextCurrent(previous);
}

RefPtr<ALBuffer> ALSource::buffer() const {
    std::lock_guard lock(mutex_);
    return buffer_;
}

void ALSource::setBuffer(RefPtr<ALBuffer> buffer) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    stop();
    // The same buffer again (a repeated effect) needs no release.
    if (buffer != buffer_) releaseLater(std::exchange(buffer_, std::move(buffer)));
    ALWrapper::sourcei(sourceId_, AL_BUFFER, buffer_ ? ALint(buffer_->bufferId()) : 0);
}

void ALSource::preload(RefPtr<ALBuffer> buffer) {
    setBuffer(std::move(buffer));  // which stops the sound and its actions first
}

RefPtr<ALSource> ALSource::play() {
    std::lock_guard lock(mutex_);
    if (!makeRoomToPlay()) return nullptr;
    return start() ? RefPtr<ALSource>(this) : nullptr;
}

RefPtr<ALSource> ALSource::play(RefPtr<ALBuffer> buffer) {
    return play(std::move(buffer), false);
}

RefPtr<ALSource> ALSource::play(RefPtr<ALBuffer> buffer, bool loop) {
    std::lock_guard lock(mutex_);
    if (!makeRoomToPlay()) return nullptr;
    setBuffer(std::move(buffer));
    setLooping(loop);
    return start() ? RefPtr<ALSource>(this) : nullptr;
}

RefPtr<ALSource> ALSource::play(RefPtr<ALBuffer> buffer, float gain, float pitch, float pan, bool loop) {
    std::lock_guard lock(mutex_);
    if (!makeRoomToPlay()) return nullptr;
    setBuffer(std::move(buffer));
    setGain(gain);
    setPitch(pitch);
    setPan(pan);
    setLooping(loop);
    return start() ? RefPtr<ALSource>(this) : nullptr;
}

bool ALSource::makeRoomToPlay() {
    if (suspended()) return false;
    stopActions();
    if (!playing()) return true;
    if (!interruptible_) return false;
    stop();
    return true;
}

bool ALSource::start() {
    const bool started = ALWrapper::sourcePlay(sourceId_);
    shadowState_ = started ? AL_PLAYING : AL_STOPPED;
    return started;
}

void ALSource::stop() {
    halt(ALWrapper::sourceStop, AL_STOPPED);
}

void ALSource::rewind() {
    halt(ALWrapper::sourceRewind, AL_INITIAL);
}

void ALSource::halt(bool (*call)(ALuint sourceId), int shadowState) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    abortPlaybackResume_ = true;
    stopActions();
    call(sourceId_);
    shadowState_ = shadowState;
}

void ALSource::clear() {
    // Before the source's lock: a suspension reaching the source from its context takes the
    // handler's lock and then the source's.
    setManuallySuspended(false);
    std::lock_guard lock(mutex_);
    stop();
    setBuffer(nullptr);
}

void ALSource::runAction(RefPtr<OALAction>& slot, RefPtr<OALPropertyAction> change, CompletionCallback onComplete) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    OALActionRunner::run(slot, this, std::move(change), std::move(onComplete));
}

void ALSource::stopActionUnlessSuspended(RefPtr<OALAction>& slot) {
    std::lock_guard lock(mutex_);
    if (!suspended()) OALActionRunner::stop(slot);
}

void ALSource::fadeTo(float value, float duration, CompletionCallback onComplete) {
    runAction(gainAction_, OALPropertyAction::gainActionWithDuration(duration, value), std::move(onComplete));
}

void ALSource::stopFade() {
    stopActionUnlessSuspended(gainAction_);
}

void ALSource::panTo(float value, float duration, CompletionCallback onComplete) {
    runAction(panAction_, OALPropertyAction::panActionWithDuration(duration, value), std::move(onComplete));
}

void ALSource::stopPan() {
    stopActionUnlessSuspended(panAction_);
}

void ALSource::pitchTo(float value, float duration, CompletionCallback onComplete) {
    runAction(pitchAction_, OALPropertyAction::pitchActionWithDuration(duration, value), std::move(onComplete));
}

void ALSource::stopPitch() {
    stopActionUnlessSuspended(pitchAction_);
}

void ALSource::stopActions() {
    stopFade();
    stopPan();
    stopPitch();
}

int ALSource::state() const {
    std::lock_guard lock(mutex_);
    if (shadowState_ == AL_INITIAL || shadowState_ == AL_STOPPED) return shadowState_;
    return ALWrapper::getSourcei(sourceId_, AL_SOURCE_STATE) == AL_STOPPED ? AL_STOPPED : shadowState_;
}

void ALSource::setState(int state) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    // OpenAL's source state is read-only: each state is reached by its own call.
    switch (state) {
    case AL_PLAYING: start(); return;
    case AL_PAUSED: if (ALWrapper::sourcePause(sourceId_)) shadowState_ = AL_PAUSED; return;
    case AL_STOPPED: stop(); return;
    case AL_INITIAL: rewind(); return;
    default: CC_REQUIRE(false, "NSInvalidArgumentException", "ALSource: no play state 0x%x", unsigned(state));
    }
}

bool ALSource::playing() const {
    std::lock_guard lock(mutex_);
    return isPlayingOrPaused(suspended() ? shadowState_ : state());
}

bool ALSource::paused() const {
    std::lock_guard lock(mutex_);
    return (suspended() ? shadowState_ : state()) == AL_PAUSED;
}

void ALSource::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    const int current = state();
    if (paused && current == AL_PLAYING) {
        abortPlaybackResume_ = true;
        if (ALWrapper::sourcePause(sourceId_)) shadowState_ = AL_PAUSED;
    } else if (!paused && current == AL_PAUSED) {
        start();
    }
}

bool ALSource::interruptible() const {
    std::lock_guard lock(mutex_);
    return interruptible_;
}

void ALSource::setInterruptible(bool interruptible) {
    std::lock_guard lock(mutex_);
    interruptible_ = interruptible;
}

float ALSource::gain() const {
    std::lock_guard lock(mutex_);
    return gain_;
}

void ALSource::setGain(float gain) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    gain_ = gain;
    ALWrapper::sourcef(sourceId_, AL_GAIN, muted_ ? 0.0f : gain_);
}

bool ALSource::muted() const {
    std::lock_guard lock(mutex_);
    return muted_;
}

void ALSource::setMuted(bool muted) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    muted_ = muted;
    if (muted_) stopActions();
    setGain(gain_);
}

float ALSource::pan() const {
    return position().x;
}

void ALSource::setPan(float pan) {
    setPosition({pan, 0, 0});
}

float ALSource::getf(ALenum parameter) const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getSourcef(sourceId_, parameter);
}

void ALSource::setf(ALenum parameter, float value) {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::sourcef(sourceId_, parameter, value);
}

ALXYZ ALSource::get3f(ALenum parameter) const {
    std::lock_guard lock(mutex_);
    ALXYZ value;
    ALWrapper::getSource3f(sourceId_, parameter, &value.x, &value.y, &value.z);
    return value;
}

void ALSource::set3f(ALenum parameter, ALXYZ value) {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::source3f(sourceId_, parameter, value.x, value.y, value.z);
}

int ALSource::geti(ALenum parameter) const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getSourcei(sourceId_, parameter);
}

void ALSource::seti(ALenum parameter, int value) {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::sourcei(sourceId_, parameter, value);
}

float ALSource::coneInnerAngle() const { return getf(AL_CONE_INNER_ANGLE); }
void ALSource::setConeInnerAngle(float angle) { setf(AL_CONE_INNER_ANGLE, angle); }
float ALSource::coneOuterAngle() const { return getf(AL_CONE_OUTER_ANGLE); }
void ALSource::setConeOuterAngle(float angle) { setf(AL_CONE_OUTER_ANGLE, angle); }
float ALSource::coneOuterGain() const { return getf(AL_CONE_OUTER_GAIN); }
void ALSource::setConeOuterGain(float gain) { setf(AL_CONE_OUTER_GAIN, gain); }
float ALSource::maxDistance() const { return getf(AL_MAX_DISTANCE); }
void ALSource::setMaxDistance(float distance) { setf(AL_MAX_DISTANCE, distance); }
float ALSource::maxGain() const { return getf(AL_MAX_GAIN); }
void ALSource::setMaxGain(float gain) { setf(AL_MAX_GAIN, gain); }
float ALSource::minGain() const { return getf(AL_MIN_GAIN); }
void ALSource::setMinGain(float gain) { setf(AL_MIN_GAIN, gain); }
float ALSource::pitch() const { return getf(AL_PITCH); }
void ALSource::setPitch(float pitch) { setf(AL_PITCH, pitch); }
float ALSource::referenceDistance() const { return getf(AL_REFERENCE_DISTANCE); }
void ALSource::setReferenceDistance(float distance) { setf(AL_REFERENCE_DISTANCE, distance); }
float ALSource::rolloffFactor() const { return getf(AL_ROLLOFF_FACTOR); }
void ALSource::setRolloffFactor(float factor) { setf(AL_ROLLOFF_FACTOR, factor); }
float ALSource::offsetInBytes() const { return getf(AL_BYTE_OFFSET); }
void ALSource::setOffsetInBytes(float offset) { setf(AL_BYTE_OFFSET, offset); }
float ALSource::offsetInSamples() const { return getf(AL_SAMPLE_OFFSET); }
void ALSource::setOffsetInSamples(float offset) { setf(AL_SAMPLE_OFFSET, offset); }
float ALSource::offsetInSeconds() const { return getf(AL_SEC_OFFSET); }
void ALSource::setOffsetInSeconds(float offset) { setf(AL_SEC_OFFSET, offset); }
ALXYZ ALSource::direction() const { return get3f(AL_DIRECTION); }
void ALSource::setDirection(ALXYZ direction) { set3f(AL_DIRECTION, direction); }
ALXYZ ALSource::position() const { return get3f(AL_POSITION); }
void ALSource::setPosition(ALXYZ position) { set3f(AL_POSITION, position); }
ALXYZ ALSource::velocity() const { return get3f(AL_VELOCITY); }
void ALSource::setVelocity(ALXYZ velocity) { set3f(AL_VELOCITY, velocity); }
bool ALSource::looping() const { return geti(AL_LOOPING) != 0; }
void ALSource::setLooping(bool looping) { seti(AL_LOOPING, looping ? AL_TRUE : AL_FALSE); }
bool ALSource::sourceRelative() const { return geti(AL_SOURCE_RELATIVE) != 0; }
void ALSource::setSourceRelative(bool relative) { seti(AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE); }
int ALSource::sourceType() const { return geti(AL_SOURCE_TYPE); }
int ALSource::buffersQueued() const { return geti(AL_BUFFERS_QUEUED); }
int ALSource::buffersProcessed() const { return geti(AL_BUFFERS_PROCESSED); }

float ALSource::getASA(float (*get)(ALuint sourceId)) const {
    std::lock_guard lock(mutex_);
    return get(sourceId_);
}

void ALSource::setASA(bool (*set)(float value, ALuint sourceId), float value) {
    std::lock_guard lock(mutex_);
    if (!suspended()) set(value, sourceId_);
}

float ALSource::reverbSendLevel() const { return getASA(ALWrapper::getSourceReverbSendLevel); }
void ALSource::setReverbSendLevel(float level) { setASA(ALWrapper::setReverbSendLevel, level); }
float ALSource::reverbOcclusion() const { return getASA(ALWrapper::getSourceOcclusion); }
void ALSource::setReverbOcclusion(float occlusion) { setASA(ALWrapper::setOcclusion, occlusion); }
float ALSource::reverbObstruction() const { return getASA(ALWrapper::getSourceObstruction); }
void ALSource::setReverbObstruction(float obstruction) { setASA(ALWrapper::setObstruction, obstruction); }

float ALSource::floatProperty(const std::string& key) const {
    if (key == "gain") return gain();
    if (key == "pan") return pan();
    CC_REQUIRE(key == "pitch", "NSUnknownKeyException", "ALSource has no float property \"%s\"", key.c_str());
    return pitch();
}

void ALSource::setFloatProperty(const std::string& key, float value) {
    if (key == "gain") return setGain(value);
    if (key == "pan") return setPan(value);
    CC_REQUIRE(key == "pitch", "NSUnknownKeyException", "ALSource has no float property \"%s\"", key.c_str());
    setPitch(value);
}

bool ALSource::queueBuffer(RefPtr<ALBuffer> buffer, uint32_t repeats) {
    return queueBuffers({std::move(buffer)}, repeats);
}

bool ALSource::queueBuffers(const std::vector<RefPtr<ALBuffer>>& buffers, uint32_t repeats) {
    const uint64_t count = buffers.size() * (uint64_t{repeats} + 1);
    CC_REQUIRE(count <= uint64_t{INT32_MAX}, "NSInvalidArgumentException", "ALSource: %llu buffers to queue",
               static_cast<unsigned long long>(count));
    std::lock_guard lock(mutex_);
    if (suspended()) return false;
    // OpenAL queues only on a source without a static buffer.
    if (sourceType() == AL_STATIC) setBuffer(nullptr);
    std::vector<ALuint> ids;
    ids.reserve(size_t(count));
    for (uint64_t round = 0; round <= repeats; ++round) {
        for (const RefPtr<ALBuffer>& buffer : buffers) ids.push_back(buffer ? buffer->bufferId() : 0);
    }
    return ALWrapper::sourceQueueBuffers(sourceId_, ALsizei(ids.size()), ids.data());
}

bool ALSource::unqueueBuffer(RefPtr<ALBuffer> buffer) {
    return unqueueBuffers({std::move(buffer)});
}

bool ALSource::unqueueBuffers(const std::vector<RefPtr<ALBuffer>>& buffers) {
    std::lock_guard lock(mutex_);
    if (suspended()) return false;
    if (sourceType() == AL_STATIC) setBuffer(nullptr);
    std::vector<ALuint> ids;
    ids.reserve(buffers.size());
    for (const RefPtr<ALBuffer>& buffer : buffers) ids.push_back(buffer ? buffer->bufferId() : 0);
    return ALWrapper::sourceUnqueueBuffers(sourceId_, ALsizei(ids.size()), ids.data());
}

bool ALSource::requestUnreserve(bool interrupt) {
    std::lock_guard lock(mutex_);
    if (playing()) {
        if (!interrupt || !interruptible_) return false;
        stop();
    }
    setBuffer(nullptr);
    return true;
}

void ALSource::registerNotification(ALuint notificationId, NotificationCallback callback, void* userData) {
    std::lock_guard lock(mutex_);
    unregisterNotification(notificationId);
    notificationCallbacks_[notificationId] = std::move(callback);
    ALWrapper::addNotification(notificationId, sourceId_, notificationProc, userData);
}

void ALSource::unregisterNotification(ALuint notificationId) {
    std::lock_guard lock(mutex_);
    if (notificationCallbacks_.erase(notificationId) == 0) return;
    ALWrapper::removeNotification(notificationId, sourceId_, notificationProc, nullptr);
}

void ALSource::unregisterAllNotifications() {
    std::lock_guard lock(mutex_);
    for (const auto& [notificationId, callback] : notificationCallbacks_) {
        ALWrapper::removeNotification(notificationId, sourceId_, notificationProc, nullptr);
    }
    notificationCallbacks_.clear();
}

void ALSource::receiveNotification(ALuint notificationId, void* userData) {
    std::lock_guard lock(mutex_);
    const auto found = notificationCallbacks_.find(notificationId);
    if (found != notificationCallbacks_.end() && found->second) found->second(this, notificationId, userData);
}

void ALSource::setSuspended(bool suspended) {
    std::lock_guard lock(mutex_);
    if (suspended) {
        shadowState_ = state();
        if (shadowState_ == AL_PLAYING) ALWrapper::sourcePause(sourceId_);
    } else if (shadowState_ == AL_PLAYING) {
        abortPlaybackResume_ = false;
        // The timer keeps the source alive until it has fired.
        RunLoop::current().scheduleTimer(kResumeDelay, false,
                                         [source = RefPtr<ALSource>(this)] { source->delayedResumePlayback(); });
    }
}

void ALSource::delayedResumePlayback() {
    std::lock_guard lock(mutex_);
    // Also when suspended again meanwhile: the next resume restarts the sound.
    if (!abortPlaybackResume_ && !suspended()) ALWrapper::sourcePlay(sourceId_);
}

void ALSource::notifySourceAllocated(ALSource* source) {
    Registry& live = registry();
    std::lock_guard lock(live.mutex);
    live.sources[source->sourceId()] = source;
}

void ALSource::notifySourceDeallocated(ALSource* source) {
    Registry& live = registry();
    std::lock_guard lock(live.mutex);
    const auto found = live.sources.find(source->sourceId());
    if (found != live.sources.end() && found->second == source) live.sources.erase(found);
}
