#include "audio/OALSimpleAudio.h"

#include <atomic>
#include <utility>

#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALListener.h"
#include "audio/ALSource.h"
#include "audio/OALAudioSession.h"
#include "audio/OALAudioTrack.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"
#include "platform/foundation/NamedException.h"

namespace {

constexpr int kDefaultSources = 32;
constexpr size_t kCacheCapacity = 64;  // buckets reserved up front; the cache grows past it
constexpr int kOutputFrequency = 44100;  // Hz, of a context made with source counts
constexpr int kRefreshIntervals = 10;    // per second, likewise

// How the next shared facade is made; consumed by its constructor.
struct Setup {
    int reservedSources = kDefaultSources;
    bool sourceCounts = false;  // make the context with the two counts below
    int monoSources = 0;
    int stereoSources = 0;
};

std::mutex setupMutex;
Setup nextSetup;  // guarded by setupMutex
std::atomic<bool> facadeExists = false;

OALSimpleAudio* makeShared(const Setup& setup) {
    CC_REQUIRE(!facadeExists.load(), "NSInternalInconsistencyException",
               "OALSimpleAudio: the shared instance exists already; set its sources before first use");
    {
        std::lock_guard lock(setupMutex);
        nextSetup = setup;
    }
    return OALSimpleAudio::sharedInstance();
}

// Runs `use` on the listener of the OpenAL manager's current context, under the manager's lock so
// that the context cannot go meanwhile; nothing without a current context.
template <typename Use>
void withCurrentListener(Use&& use) {
    OpenALManager* manager = OpenALManager::sharedInstance();
    std::lock_guard lock(manager->lock());
    if (ALContext* context = manager->currentContext()) use(*context->listener());
}

bool refuseEmptyPath(const std::string& filePath, const char* function) {
    if (!filePath.empty()) return false;
    OALTools::logError(function, "filePath was NULL");
    return true;
}

}  // namespace

OALSimpleAudio* OALSimpleAudio::sharedInstanceWithSources(int sources) {
    return makeShared({sources});
}

OALSimpleAudio* OALSimpleAudio::sharedInstanceWithReservedSources(int reservedSources, int monoSources,
                                                                  int stereoSources) {
    return makeShared({reservedSources, true, monoSources, stereoSources});
}

OALSimpleAudio::OALSimpleAudio() {
    Setup setup;
    {
        std::lock_guard lock(setupMutex);
        setup = std::exchange(nextSetup, Setup{});
    }
    facadeExists = true;
    // The lower layers log a device or context they cannot open; the facade then runs without one.
    device_ = ALDevice::deviceWithDeviceSpecifier("");
    if (device_) {
        context_ = setup.sourceCounts ? ALContext::contextOnDevice(device_, kOutputFrequency, kRefreshIntervals, false,
                                                                   setup.monoSources, setup.stereoSources)
                                      : ALContext::contextOnDevice(device_, {});
    }
    if (context_) OpenALManager::sharedInstance()->setCurrentContext(context_.get());
    channel_ = ALChannelSource::channelWithSources(context_ ? setup.reservedSources : 0);
    backgroundTrack_ = OALAudioTrack::track();
    setPreloadCacheEnabled(true);
    setBgVolume(1.0f);
    setEffectsVolume(1.0f);
}

OALSimpleAudio::~OALSimpleAudio() {
    // Buffers and sources are deleted in OpenAL through a current context on their device, so
    // everything that holds them goes before the context and the device.
    backgroundTrack_.reset();
    channel_->stop();
    channel_.reset();
    preloadCache_.reset();
    context_.reset();
    device_.reset();
    facadeExists = false;
}

int OALSimpleAudio::reservedSources() const {
    return channel_->reservedSources();
}

void OALSimpleAudio::setReservedSources(int sources) {
    channel_->setReservedSources(sources);
}

bool OALSimpleAudio::preloadCacheEnabled() const {
    std::lock_guard lock(mutex_);
    return preloadCache_.has_value();
}

void OALSimpleAudio::setPreloadCacheEnabled(bool enabled) {
    std::lock_guard lock(mutex_);
    if (!enabled) {
        preloadCache_.reset();
    } else if (!preloadCache_) {
        preloadCache_.emplace().reserve(kCacheCapacity);
    }
}

size_t OALSimpleAudio::preloadCacheCount() const {
    std::lock_guard lock(mutex_);
    return preloadCache_ ? preloadCache_->size() : 0;
}

bool OALSimpleAudio::allowIpod() const { return OALAudioSession::sharedInstance()->allowIpod(); }
void OALSimpleAudio::setAllowIpod(bool allow) { OALAudioSession::sharedInstance()->setAllowIpod(allow); }
bool OALSimpleAudio::useHardwareIfAvailable() const { return OALAudioSession::sharedInstance()->useHardwareIfAvailable(); }
void OALSimpleAudio::setUseHardwareIfAvailable(bool use) { OALAudioSession::sharedInstance()->setUseHardwareIfAvailable(use); }
bool OALSimpleAudio::honorSilentSwitch() const { return OALAudioSession::sharedInstance()->honorSilentSwitch(); }
void OALSimpleAudio::setHonorSilentSwitch(bool honor) { OALAudioSession::sharedInstance()->setHonorSilentSwitch(honor); }
bool OALSimpleAudio::manuallySuspended() const { return OALAudioSession::sharedInstance()->manuallySuspended(); }
void OALSimpleAudio::setManuallySuspended(bool suspended) { OALAudioSession::sharedInstance()->setManuallySuspended(suspended); }
bool OALSimpleAudio::interrupted() const { return OALAudioSession::sharedInstance()->interrupted(); }
bool OALSimpleAudio::suspended() const { return OALAudioSession::sharedInstance()->suspended(); }

float OALSimpleAudio::bgVolume() const {
    return backgroundTrack_->gain();
}

void OALSimpleAudio::setBgVolume(float volume) {
    std::lock_guard lock(mutex_);
    backgroundTrack_->setGain(volume);
}

bool OALSimpleAudio::bgPaused() const {
    return backgroundTrack_->paused();
}

void OALSimpleAudio::setBgPaused(bool paused) {
    backgroundTrack_->setPaused(paused);
}

bool OALSimpleAudio::bgPlaying() const {
    return backgroundTrack_->playing();
}

std::string OALSimpleAudio::backgroundTrackURL() const {
    return backgroundTrack_->currentlyLoadedUrl();
}

float OALSimpleAudio::effectsVolume() const {
    float volume = 0;
    withCurrentListener([&](ALListener& listener) { volume = listener.gain(); });
    return volume;
}

void OALSimpleAudio::setEffectsVolume(float volume) {
    std::lock_guard lock(mutex_);
    withCurrentListener([&](ALListener& listener) { listener.setGain(volume); });
}

bool OALSimpleAudio::effectsPaused() const {
    return channel_->paused();
}

void OALSimpleAudio::setEffectsPaused(bool paused) {
    channel_->setPaused(paused);
}

bool OALSimpleAudio::paused() const {
    std::lock_guard lock(mutex_);
    return bgPaused() && effectsPaused();
}

void OALSimpleAudio::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    setBgPaused(paused);
    setEffectsPaused(paused);
}

bool OALSimpleAudio::muted() const {
    std::lock_guard lock(mutex_);
    return muted_;
}

void OALSimpleAudio::setMuted(bool muted) {
    std::lock_guard lock(mutex_);
    muted_ = muted;
    backgroundTrack_->setMuted(muted_ || bgMuted_);
    withCurrentListener([&](ALListener& listener) { listener.setMuted(muted_ || effectsMuted_); });
}

bool OALSimpleAudio::bgMuted() const {
    std::lock_guard lock(mutex_);
    return bgMuted_;
}

void OALSimpleAudio::setBgMuted(bool muted) {
    std::lock_guard lock(mutex_);
    bgMuted_ = muted;
    backgroundTrack_->setMuted(muted_ || bgMuted_);
}

bool OALSimpleAudio::effectsMuted() const {
    std::lock_guard lock(mutex_);
    return effectsMuted_;
}

void OALSimpleAudio::setEffectsMuted(bool muted) {
    std::lock_guard lock(mutex_);
    effectsMuted_ = muted;
    withCurrentListener([&](ALListener& listener) { listener.setMuted(muted_ || effectsMuted_); });
}

bool OALSimpleAudio::preloadBg(const std::string& filePath, double seekTime) {
    if (refuseEmptyPath(filePath, "-[OALSimpleAudio preloadBg:seekTime:]")) return false;
    if (!backgroundTrack_->preloadFile(filePath, seekTime)) return false;
    backgroundTrack_->setNumberOfLoops(0);
    return true;
}

bool OALSimpleAudio::playBg(const std::string& filePath, bool loop) {
    if (refuseEmptyPath(filePath, "-[OALSimpleAudio playBg:loop:]")) return false;
    return backgroundTrack_->playFile(filePath, loop ? -1 : 0);
}

bool OALSimpleAudio::playBg(const std::string& filePath, float volume, float pan, bool loop) {
    std::lock_guard lock(mutex_);
    backgroundTrack_->setGain(volume);
    backgroundTrack_->setPan(pan);
    return playBg(filePath, loop);
}

bool OALSimpleAudio::playBgWithLoop(bool loop) {
    std::lock_guard lock(mutex_);
    backgroundTrack_->setNumberOfLoops(loop ? -1 : 0);
    return backgroundTrack_->play();
}

void OALSimpleAudio::stopBg() {
    backgroundTrack_->stop();
}

RefPtr<ALBuffer> OALSimpleAudio::preloadEffect(const std::string& filePath, bool reduceToMono) {
    constexpr const char* function = "-[OALSimpleAudio preloadEffect:reduceToMono:]";
    if (refuseEmptyPath(filePath, function)) return nullptr;
    const std::string key = cacheKeyForEffectPath(filePath);
    {
        std::lock_guard lock(mutex_);
        // Without a device nothing can be loaded; its failed open said why, once, and every
        // effect would only repeat it.
        if (!context_) return nullptr;
        if (preloadCache_) {
            if (const auto cached = preloadCache_->find(key); cached != preloadCache_->end()) return cached->second;
        }
    }
    RefPtr<ALBuffer> buffer = OpenALManager::sharedInstance()->bufferFromUrl(key, reduceToMono);
    if (!buffer) {
        OALTools::logError(function, "Could not load effect %s", filePath.c_str());
        return nullptr;
    }
    buffer->setName(key);
    std::lock_guard lock(mutex_);
    if (preloadCache_) (*preloadCache_)[key] = buffer;
    return buffer;
}

bool OALSimpleAudio::unloadEffect(const std::string& filePath) {
    if (refuseEmptyPath(filePath, "-[OALSimpleAudio unloadEffect:]")) return false;
    const std::string key = cacheKeyForEffectPath(filePath);
    std::lock_guard lock(mutex_);
    const bool unloaded = channel_->removeBuffersNamed(key);
    if (unloaded && preloadCache_) preloadCache_->erase(key);
    return unloaded;
}

void OALSimpleAudio::unloadAllEffects() {
    std::lock_guard lock(mutex_);
    for (const RefPtr<ALBuffer>& buffer : channel_->clearUnusedBuffers()) {
        if (preloadCache_) preloadCache_->erase(cacheKeyForBuffer(*buffer));
    }
}

void OALSimpleAudio::stopAllEffects() {
    channel_->stop();
    channel_->clearUnusedBuffers();
}

void OALSimpleAudio::stopEverything() {
    stopAllEffects();
    stopBg();
}

void OALSimpleAudio::resetToDefault() {
    stopEverything();
    channel_->resetToDefault();
    setReservedSources(kDefaultSources);
    setBgMuted(false);
    setBgVolume(1.0f);
}

RefPtr<ALSource> OALSimpleAudio::playEffect(const std::string& filePath, bool loop) {
    return playEffect(filePath, 1.0f, 1.0f, 0.0f, loop);
}

RefPtr<ALSource> OALSimpleAudio::playEffect(const std::string& filePath, float volume, float pitch, float pan, bool loop) {
    const RefPtr<ALBuffer> buffer = preloadEffect(filePath);
    return buffer ? channel_->play(buffer, volume, pitch, pan, loop) : nullptr;
}

RefPtr<ALSource> OALSimpleAudio::playBuffer(RefPtr<ALBuffer> buffer, float volume, float pitch, float pan, bool loop) {
    if (!buffer) {
        OALTools::logError("-[OALSimpleAudio playBuffer:volume:pitch:pan:loop:]", "buffer was NULL");
        return nullptr;
    }
    return channel_->play(std::move(buffer), volume, pitch, pan, loop);
}

std::string OALSimpleAudio::cacheKeyForBuffer(const ALBuffer& buffer) {
    return buffer.name();
}

std::string OALSimpleAudio::cacheKeyForEffectPath(const std::string& filePath) {
    return OALTools::urlForPath(filePath);
}
