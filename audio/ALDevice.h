#pragma once

#include <AL/alc.h>

#include <mutex>
#include <string>
#include <vector>

#include "audio/OALSuspendManager.h"
#include "platform/foundation/Object.h"

class ALContext;

// An open OpenAL output device. It registers with the OpenAL manager and hangs below it in the
// suspend tree while it is open; its contexts hang below it.
class ALDevice : public Object, public OALSuspendManager {
public:
    // "" opens the default device. Null, after one error line, when the device cannot be opened.
    static RefPtr<ALDevice> deviceWithDeviceSpecifier(const std::string& specifier);

    ALDevice() = default;
    bool initWithDeviceSpecifier(const std::string& specifier);

    // The device's ALC extensions and version.
    std::vector<std::string> extensions() const;
    int majorVersion() const;
    int minorVersion() const;
    bool isExtensionPresent(const std::string& name) const;
    void* getProcAddress(const std::string& name) const;

    // Every source of every context of this device stops and lets go of its buffer.
    void clearBuffers();

    // Contexts register while they exist (not retained). A context that goes while it is the
    // manager's current one leaves no context current.
    void notifyContextInitializing(ALContext* context);
    void notifyContextDeallocating(ALContext* context);
    std::vector<ALContext*> contexts() const;

    ALCdevice* device() const { return device_; }

protected:
    ~ALDevice() override;

private:
    ALCdevice* device_ = nullptr;
    mutable std::recursive_mutex contextsMutex_;
    std::vector<ALContext*> contexts_;  // not retained; guarded by contextsMutex_
};
