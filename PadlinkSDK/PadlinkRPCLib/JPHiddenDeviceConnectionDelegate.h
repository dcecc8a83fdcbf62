#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPDeviceDelegate.h"
#include "platform/foundation/Error.h"

class JPHiddenDevice;

// What a device reports to the one who connects it (the manager), on the main thread.
class JPHiddenDeviceConnectionDelegate {
public:
    virtual ~JPHiddenDeviceConnectionDelegate() = default;

    // The phone's command and input channels are up.
    virtual void deviceDidConnect(JPHiddenDevice* device) = 0;
    // Connecting failed: domain JPHiddenDevice::kConnectionErrorDomain, or the resolver's error.
    virtual void deviceFailedToConnect(JPHiddenDevice* device, const RefPtr<Error>& error) = 0;
    // A connected phone went away.
    virtual void deviceDidDisconnect(JPHiddenDevice* device) = 0;
    // One input event, before the device's own delegate hears it.
    virtual void deviceDidProduceEvent(JPHiddenDevice* device, const JPDeviceEvent& event) = 0;
};
