#include "audio/ALCaptureDevice.h"

#include "audio/ALWrapper.h"
#include "audio/OALTools.h"

RefPtr<ALCaptureDevice> ALCaptureDevice::deviceWithDeviceSpecifier(const std::string& specifier, ALCuint frequency,
                                                                   ALCenum format, ALCsizei bufferSize) {
    RefPtr<ALCaptureDevice> device(new ALCaptureDevice());
    return device->initWithDeviceSpecifier(specifier, frequency, format, bufferSize) ? device : nullptr;
}

bool ALCaptureDevice::initWithDeviceSpecifier(const std::string& specifier, ALCuint frequency, ALCenum format,
                                              ALCsizei bufferSize) {
    device_ = ALWrapper::openCaptureDevice(specifier, frequency, format, bufferSize);
    return device_ != nullptr;
}

ALCaptureDevice::~ALCaptureDevice() {
    if (device_) ALWrapper::closeCaptureDevice(device_);
}

bool ALCaptureDevice::isOpen(const char* function) const {
    if (device_) return true;
    // Without a device OpenAL would answer the library's own extensions and version.
    OALTools::logError(function, "%s: The capture device is not open. Ignored", description().c_str());
    return false;
}

int ALCaptureDevice::captureSamples() const {
    return isOpen("-[ALCaptureDevice captureSamples]") ? ALWrapper::getInteger(device_, ALC_CAPTURE_SAMPLES) : 0;
}

std::vector<std::string> ALCaptureDevice::extensions() const {
    if (!isOpen("-[ALCaptureDevice extensions]")) return {};
    return ALWrapper::getSpaceSeparatedStringList(device_, ALC_EXTENSIONS);
}

int ALCaptureDevice::majorVersion() const {
    return isOpen("-[ALCaptureDevice majorVersion]") ? ALWrapper::getInteger(device_, ALC_MAJOR_VERSION) : 0;
}

int ALCaptureDevice::minorVersion() const {
    return isOpen("-[ALCaptureDevice minorVersion]") ? ALWrapper::getInteger(device_, ALC_MINOR_VERSION) : 0;
}

bool ALCaptureDevice::isExtensionPresent(const std::string& name) const {
    return isOpen("-[ALCaptureDevice isExtensionPresent:]") && ALWrapper::isExtensionPresent(device_, name);
}

void* ALCaptureDevice::getProcAddress(const std::string& name) const {
    return isOpen("-[ALCaptureDevice getProcAddress:]") ? ALWrapper::getProcAddress(device_, name) : nullptr;
}

bool ALCaptureDevice::startCapture() {
    return isOpen("-[ALCaptureDevice startCapture]") && ALWrapper::startCapture(device_);
}

bool ALCaptureDevice::stopCapture() {
    return isOpen("-[ALCaptureDevice stopCapture]") && ALWrapper::stopCapture(device_);
}

bool ALCaptureDevice::moveSamples(int numSamples, void* buffer) {
    return isOpen("-[ALCaptureDevice moveSamples:toBuffer:]") && ALWrapper::captureSamples(device_, buffer, numSamples);
}
