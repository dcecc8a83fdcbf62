#pragma once

#include <cstdint>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPDeviceDelegate.h"
#include "platform/foundation/Object.h"

// A phone running the controller app, as the game sees it. The manager makes one per phone found
// (a JPHiddenDevice) and keeps it for the whole run. Main thread only.
class JPDevice : public Object {
public:
    // Hears this phone's input after the manager's listeners (not retained; may be cleared from
    // inside its own callbacks).
    virtual JPDeviceDelegate* delegate() const = 0;
    virtual void setDelegate(JPDeviceDelegate* delegate) = 0;
    // The phone's service name ("unnamed" until known), its player number (from 1) and its place
    // among the connected phones (from 0), and whether it is connected.
    virtual const std::string& name() const = 0;
    virtual uint64_t playerNumber() const = 0;
    virtual uint64_t index() const = 0;
    virtual bool isConnected() const = 0;
    // Ends the connection (or the attempt); the manager then reports the disconnection or failure.
    virtual void disconnect() = 0;
};
