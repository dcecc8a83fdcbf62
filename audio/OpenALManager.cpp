#include "audio/OpenALManager.h"

#include <algorithm>

#include "audio/ALBuffer.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALWrapper.h"
#include "audio/OALAudioFile.h"
#include "audio/OALAudioSession.h"
#include "audio/OALTools.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/RunLoop.h"

OpenALManager::OpenALManager() : loadQueue_(std::make_unique<SerialQueue>("OpenALManager.loads")) {
    devices_.reserve(5);
    OALAudioSession::sharedInstance()->addSuspendListener(this);
}

OpenALManager::~OpenALManager() {
    loadQueue_.reset();  // finishes the queued loads while the manager is still whole
    OALAudioSession::sharedInstance()->removeSuspendListener(this);
}

std::vector<std::string> OpenALManager::availableDevices() const {
    return ALWrapper::getNullSeparatedStringList(nullptr, ALC_DEVICE_SPECIFIER);
}

std::vector<std::string> OpenALManager::availableCaptureDevices() const {
    return ALWrapper::getNullSeparatedStringList(nullptr, ALC_CAPTURE_DEVICE_SPECIFIER);
}

std::string OpenALManager::defaultDeviceSpecifier() const {
    return ALWrapper::getString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
}

std::string OpenALManager::defaultCaptureDeviceSpecifier() const {
    return ALWrapper::getString(nullptr, ALC_CAPTURE_DEFAULT_DEVICE_SPECIFIER);
}

ALContext* OpenALManager::currentContext() const {
    std::lock_guard lock(mutex_);
    return realCurrentContext_;
}

void OpenALManager::setCurrentContext(ALContext* context) {
    std::lock_guard lock(mutex_);
    if (suspended()) return;
    realCurrentContext_ = context;
    makeCurrent(context);
}

void OpenALManager::forgetCurrentContext(ALContext* context) {
    std::lock_guard lock(mutex_);
    if (realCurrentContext_ != context) return;
    realCurrentContext_ = nullptr;
    makeCurrent(nullptr);
}

ALContext* OpenALManager::realCurrentContext() const {
    std::lock_guard lock(mutex_);
    return realCurrentContext_;
}

void OpenALManager::setRealCurrentContext(ALContext* context) {
    std::lock_guard lock(mutex_);
    realCurrentContext_ = context;
}

void OpenALManager::makeCurrent(ALContext* context) {
    if (context) {
        ALWrapper::makeContextCurrent(context->context(), context->device()->device());
    } else {
        ALWrapper::makeContextCurrent(nullptr);
    }
}

double OpenALManager::mixerOutputFrequency() const {
    return ALWrapper::getMixerOutputDataRate();
}

void OpenALManager::setMixerOutputFrequency(double frequency) {
    ALWrapper::setMixerOutputDataRate(frequency);
}

int OpenALManager::renderingQuality() const {
    return ALWrapper::getRenderingQuality();
}

void OpenALManager::setRenderingQuality(int quality) {
    ALWrapper::setRenderingQuality(quality);
}

RefPtr<ALBuffer> OpenALManager::bufferFromFile(const std::string& path, bool reduceToMono) {
    return bufferFromUrl(OALTools::urlForPath(path), reduceToMono);
}

RefPtr<ALBuffer> OpenALManager::bufferFromUrl(const std::string& url, bool reduceToMono) {
    return OALAudioFile::bufferFromUrl(url, reduceToMono);
}

std::string OpenALManager::bufferAsyncFromFile(const std::string& path, bool reduceToMono, BufferCallback callback) {
    return bufferAsyncFromUrl(OALTools::urlForPath(path), reduceToMono, std::move(callback));
}

std::string OpenALManager::bufferAsyncFromUrl(const std::string& url, bool reduceToMono, BufferCallback callback) {
    std::lock_guard lock(mutex_);
    loadQueue_->async([url, reduceToMono, callback = std::move(callback)] {
        RefPtr<ALBuffer> buffer = OALAudioFile::bufferFromUrl(url, reduceToMono);
        RunLoop::main().performBlock([buffer, callback] { callback(buffer); });
    });
    return url;
}

std::string OpenALManager::bufferAsyncFromFile(const std::string& path, BufferCallback callback) {
    return bufferAsyncFromFile(path, false, std::move(callback));
}

std::string OpenALManager::bufferAsyncFromUrl(const std::string& url, BufferCallback callback) {
    return bufferAsyncFromUrl(url, false, std::move(callback));
}

void OpenALManager::clearAllBuffers() {
    std::lock_guard lock(devicesMutex_);
    for (ALDevice* device : devices_) device->clearBuffers();
}

void OpenALManager::notifyDeviceInitializing(ALDevice* device) {
    std::lock_guard lock(devicesMutex_);
    devices_.push_back(device);
}

void OpenALManager::notifyDeviceDeallocating(ALDevice* device) {
    std::lock_guard lock(devicesMutex_);
    std::erase(devices_, device);
}

std::vector<ALDevice*> OpenALManager::devices() const {
    std::lock_guard lock(devicesMutex_);
    return devices_;
}

void OpenALManager::setSuspended(bool suspended) {
    std::lock_guard lock(mutex_);
    makeCurrent(suspended ? nullptr : realCurrentContext_);
}
