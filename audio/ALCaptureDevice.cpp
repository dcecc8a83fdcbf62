#include "audio/ALCaptureDevice.h"

#include "audio/ALWrapper.h"

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

int ALCaptureDevice::captureSamples() const {
    return ALWrapper::getInteger(device_, ALC_CAPTURE_SAMPLES);
}

std::vector<std::string> ALCaptureDevice::extensions() const {
    return ALWrapper::getSpaceSeparatedStringList(device_, ALC_EXTENSIONS);
}

int ALCaptureDevice::majorVersion() const {
    return ALWrapper::getInteger(device_, ALC_MAJOR_VERSION);
}

int ALCaptureDevice::minorVersion() const {
    return ALWrapper::getInteger(device_, ALC_MINOR_VERSION);
}

bool ALCaptureDevice::isExtensionPresent(const std::string& name) const {
    return ALWrapper::isExtensionPresent(device_, name);
}

void* ALCaptureDevice::getProcAddress(const std::string& name) const {
    return ALWrapper::getProcAddress(device_, name);
}

bool ALCaptureDevice::startCapture() {
    return ALWrapper::startCapture(device_);
}

bool ALCaptureDevice::stopCapture() {
    return ALWrapper::stopCapture(device_);
}

bool ALCaptureDevice::moveSamples(int numSamples, void* buffer) {
    return ALWrapper::captureSamples(device_, buffer, numSamples);
}
