#pragma once

#include <cstdint>

#include "PadlinkSDK/PadlinkRPCLib/JPDeviceDelegate.h"
#include "platform/foundation/Error.h"

class JPManager;

// The manager's reports, on the main thread; every method is optional and reported in
// padlinkDelegations() (JPDelegation bits). Not retained by the manager; may unregister from
// inside a callback.
class JPManagerDelegate {
public:
    virtual ~JPManagerDelegate() = default;

    // The JPDelegation bits of the callbacks this object implements.
    virtual uint16_t padlinkDelegations() const = 0;

    // A phone was found: whether to connect to it (asked of the delegate only, never of listeners).
    virtual bool padlinkManagerDeviceShouldConnect(JPManager* manager, JPDevice* device) {
        (void)manager, (void)device;
        return true;
    }
    // Connecting failed: domain "PadlinkErrorConnection" code 1 (the channel closed while
    // connecting) or 2 (it could not start), or the resolver's error.
    virtual void padlinkManagerDeviceFailedToConnect(JPManager* manager, JPDevice* device, const RefPtr<Error>& error) {
        (void)manager, (void)device, (void)error;
    }
    virtual void padlinkManagerDeviceDidConnect(JPManager* manager, JPDevice* device) { (void)manager, (void)device; }
    virtual void padlinkManagerDeviceDidDisconnect(JPManager* manager, JPDevice* device) { (void)manager, (void)device; }
    virtual bool padlinkManagerWillLaunchConsole(JPManager* manager) {
        (void)manager;
        return true;
    }
    virtual void padlinkManagerChangedGameState(JPManager* manager) { (void)manager; }
    // Older forms of connect and disconnect with the player number (from 1); still called after
    // the current ones.
    virtual void padlinkManagerDeviceDidConnectPlayer(JPManager* manager, JPDevice* device, uint32_t player) {
        (void)manager, (void)device, (void)player;
    }
    virtual void padlinkManagerDeviceDidDisconnectPlayer(JPManager* manager, JPDevice* device, uint32_t player) {
        (void)manager, (void)device, (void)player;
    }
};

// An object on the manager's listener stack: it hears device input before each device's delegate,
// and the manager's reports before the manager's delegate.
class JPListener : public JPManagerDelegate, public JPDeviceDelegate {};
