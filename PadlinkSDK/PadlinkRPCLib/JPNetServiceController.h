#pragma once

#include "PadlinkSDK/PadlinkRPCLib/JPServiceDiscovery.h"

// Owns one DNS-SD operation of a service's resolve and has its replies delivered on the main
// thread. Destroying the controller stops the operation.
class JPNetServiceController {
public:
    // Takes the operation (not null) over.
    explicit JPNetServiceController(JPServiceDiscovery::Operation serviceRef);

    // Starts delivering the operation's replies on the main thread; when that cannot be arranged,
    // logs "Could not listen to runloop socket" and the operation stays silent.
    void addToCurrentRunLoop();
    // The operation, owned by the controller.
    JPServiceDiscoveryOperation* serviceRef() const { return serviceRef_.get(); }

private:
    const JPServiceDiscovery::Operation serviceRef_;  // never null
};
