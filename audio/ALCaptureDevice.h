#pragma once

#include <AL/alc.h>

#include <string>
#include <vector>

#include "platform/foundation/Object.h"

// An open OpenAL capture (input) device. Every operation of one that did not open is refused with
// one error line and answers 0, false, null or nothing.
class ALCaptureDevice : public Object {
public:
    // "" opens the default capture device; `frequency` in Hz, `format` an OpenAL format,
    // `bufferSize` in sample frames. Null, after one error line, when it cannot be opened.
    static RefPtr<ALCaptureDevice> deviceWithDeviceSpecifier(const std::string& specifier, ALCuint frequency,
                                                             ALCenum format, ALCsizei bufferSize);

    ALCaptureDevice() = default;
    bool initWithDeviceSpecifier(const std::string& specifier, ALCuint frequency, ALCenum format, ALCsizei bufferSize);

    // Sample frames captured and waiting to be moved.
    int captureSamples() const;
    std::vector<std::string> extensions() const;
    int majorVersion() const;
    int minorVersion() const;
    bool isExtensionPresent(const std::string& name) const;
    void* getProcAddress(const std::string& name) const;

    bool startCapture();
    bool stopCapture();
    // Copies `numSamples` captured frames into `buffer`, which must hold them.
    bool moveSamples(int numSamples, void* buffer);

    ALCdevice* device() const { return device_; }

protected:
    ~ALCaptureDevice() override;

private:
    // True when the device is open; otherwise one error line naming `function`.
    bool isOpen(const char* function) const;

    ALCdevice* device_ = nullptr;  // null when the open failed
};
