#include "audio/ALDevice.h"

#include <algorithm>

#include "audio/ALContext.h"
#include "audio/ALWrapper.h"
#include "audio/OALTools.h"
#include "audio/OpenALManager.h"

RefPtr<ALDevice> ALDevice::deviceWithDeviceSpecifier(const std::string& specifier) {
    RefPtr<ALDevice> device(new ALDevice());
    return device->initWithDeviceSpecifier(specifier) ? device : nullptr;
}

bool ALDevice::initWithDeviceSpecifier(const std::string& specifier) {
    device_ = ALWrapper::openDevice(specifier);
    if (!device_) {
        OALTools::logError("-[ALDevice initWithDeviceSpecifier:]", "%s: Failed to init device %s. Returning nil",
                           description().c_str(), specifier.c_str());
        return false;
    }
    contexts_.reserve(5);
    OpenALManager* manager = OpenALManager::sharedInstance();
    manager->notifyDeviceInitializing(this);
    manager->addSuspendListener(this);
    return true;
}

ALDevice::~ALDevice() {
    if (!device_) return;
    OpenALManager* manager = OpenALManager::sharedInstance();
    manager->removeSuspendListener(this);
    manager->notifyDeviceDeallocating(this);
    ALWrapper::closeDevice(device_);
}

std::vector<std::string> ALDevice::extensions() const {
    return ALWrapper::getSpaceSeparatedStringList(device_, ALC_EXTENSIONS);
}

int ALDevice::majorVersion() const {
    return ALWrapper::getInteger(device_, ALC_MAJOR_VERSION);
}

int ALDevice::minorVersion() const {
    return ALWrapper::getInteger(device_, ALC_MINOR_VERSION);
}

bool ALDevice::isExtensionPresent(const std::string& name) const {
    return ALWrapper::isExtensionPresent(device_, name);
}

void* ALDevice::getProcAddress(const std::string& name) const {
    return ALWrapper::getProcAddress(device_, name);
}

void ALDevice::clearBuffers() {
    std::lock_guard lock(contextsMutex_);
    for (ALContext* context : contexts_) context->clearBuffers();
}

void ALDevice::notifyContextInitializing(ALContext* context) {
    std::lock_guard lock(contextsMutex_);
    contexts_.push_back(context);
}

void ALDevice::notifyContextDeallocating(ALContext* context) {
    std::lock_guard lock(contextsMutex_);
    OpenALManager::sharedInstance()->forgetCurrentContext(context);
    std::erase(contexts_, context);
}

std::vector<ALContext*> ALDevice::contexts() const {
    std::lock_guard lock(contextsMutex_);
    return contexts_;
}
