#include "audio/ALContext.h"

#include <AL/al.h>

#include <algorithm>

#include "audio/ALDevice.h"
#include "audio/ALListener.h"
#include "audio/ALSoundSource.h"
#include "audio/ALWrapper.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"

RefPtr<ALContext> ALContext::contextOnDevice(RefPtr<ALDevice> device, const std::vector<ALCint>& attributes) {
    RefPtr<ALContext> context(new ALContext());
    return context->initOnDevice(std::move(device), attributes) ? context : nullptr;
}

RefPtr<ALContext> ALContext::contextOnDevice(RefPtr<ALDevice> device, int outputFrequency, int refreshIntervals,
                                             bool synchronousContext, int monoSources, int stereoSources) {
    return contextOnDevice(std::move(device),
                           attributesFor(outputFrequency, refreshIntervals, synchronousContext, monoSources, stereoSources));
}

std::vector<ALCint> ALContext::attributesFor(int outputFrequency, int refreshIntervals, bool synchronousContext,
                                             int monoSources, int stereoSources) {
    std::vector<ALCint> attributes;
    if (outputFrequency > 0) attributes.insert(attributes.end(), {ALC_FREQUENCY, outputFrequency});
    if (refreshIntervals > 0) attributes.insert(attributes.end(), {ALC_REFRESH, refreshIntervals});
    attributes.insert(attributes.end(), {ALC_SYNC, synchronousContext ? 1 : 0});
    if (monoSources >= 0) attributes.insert(attributes.end(), {ALC_MONO_SOURCES, monoSources});
    if (stereoSources >= 0) attributes.insert(attributes.end(), {ALC_STEREO_SOURCES, stereoSources});
    return attributes;
}

bool ALContext::initOnDevice(RefPtr<ALDevice> device, const std::vector<ALCint>& attributes) {
    constexpr const char* function = "-[ALContext initOnDevice:attributes:]";
    if (!device) {
        OALTools::logError(function, "%s: Failed to init because device was nil. Returning nil", description().c_str());
        return false;
    }
    std::vector<ALCint> list = attributes;
    if (!list.empty()) list.push_back(0);
    context_ = ALWrapper::createContext(device->device(), list.empty() ? nullptr : list.data());
    if (!context_) {
        OALTools::logError(function, "%s: Failed to create a context on %s. Returning nil", description().c_str(),
                           device->description().c_str());
        return false;
    }
    device_ = std::move(device);
    device_->notifyContextInitializing(this);
    listener_ = ALListener::listenerForContext(this);
    sources_.reserve(32);

    const ALCint count = ALWrapper::getInteger(device_->device(), ALC_ATTRIBUTES_SIZE);
    if (count > 0) {
        std::vector<ALCint> all(size_t(count), 0);
        if (ALWrapper::getIntegerv(device_->device(), ALC_ALL_ATTRIBUTES, count, all.data())) attributes_ = std::move(all);
    }
    addSuspendListener(listener_.get());
    device_->addSuspendListener(this);
    return true;
}

ALContext::~ALContext() {
    if (!context_) return;
    removeSuspendListener(listener_.get());
    device_->removeSuspendListener(this);
    device_->notifyContextDeallocating(this);
    ALWrapper::destroyContext(context_);
}

bool ALContext::setDevice(ALDevice* device) {
    if (device == device_.get()) return true;
    const auto describe = [](const ALDevice* any) { return any ? any->description() : std::string("nil"); };
    OALTools::logError("-[ALContext setDevice:]", "%s: Cannot move to device %s: a context stays on the device it was made on (%s)",
                       description().c_str(), describe(device).c_str(), describe(device_.get()).c_str());
    return false;
}

std::string ALContext::alVersion() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getString(AL_VERSION);
}

std::string ALContext::vendor() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getString(AL_VENDOR);
}

std::string ALContext::renderer() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getString(AL_RENDERER);
}

std::vector<std::string> ALContext::extensions() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getSpaceSeparatedStringList(AL_EXTENSIONS);
}

int ALContext::distanceModel() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getInteger(AL_DISTANCE_MODEL);
}

void ALContext::setDistanceModel(int model) {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::distanceModel(model);
}

float ALContext::dopplerFactor() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getFloat(AL_DOPPLER_FACTOR);
}

void ALContext::setDopplerFactor(float factor) {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::dopplerFactor(factor);
}

float ALContext::speedOfSound() const {
    std::lock_guard lock(mutex_);
    return ALWrapper::getFloat(AL_SPEED_OF_SOUND);
}

void ALContext::setSpeedOfSound(float speed) {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::speedOfSound(speed);
}

bool ALContext::isExtensionPresent(const std::string& name) const {
    return ALWrapper::isExtensionPresent(name);
}

void* ALContext::getProcAddress(const std::string& name) const {
    return ALWrapper::getProcAddress(name);
}

void ALContext::clearBuffers() {
    std::lock_guard lock(sourcesMutex_);
    for (ALSoundSource* source : sources_) source->clear();
}

void ALContext::stopAllSounds() {
    std::lock_guard lock(sourcesMutex_);
    if (suspended()) return;
    for (ALSoundSource* source : sources_) source->stop();
}

void ALContext::process() {
    std::lock_guard lock(mutex_);
    if (!suspended()) ALWrapper::processContext(context_);
}

void ALContext::ensureContextIsCurrent() {
    std::lock_guard lock(mutex_);
    if (!suspended() && ALWrapper::getCurrentContext() != context_) OpenALManager::sharedInstance()->setCurrentContext(this);
}

void ALContext::notifySourceInitializing(ALSoundSource* source) {
    std::lock_guard lock(sourcesMutex_);
    sources_.push_back(source);
}

void ALContext::notifySourceDeallocating(ALSoundSource* source) {
    std::lock_guard lock(sourcesMutex_);
    std::erase(sources_, source);
}

std::vector<ALSoundSource*> ALContext::sources() const {
    std::lock_guard lock(sourcesMutex_);
    return sources_;
}

void ALContext::setSuspended(bool suspended) {
    std::lock_guard lock(mutex_);
    if (suspended) {
        ALWrapper::suspendContext(context_);
    } else {
        process();
    }
}
