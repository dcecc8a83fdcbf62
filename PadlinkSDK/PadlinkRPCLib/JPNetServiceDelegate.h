#pragma once

#include "platform/foundation/Error.h"

class JPNetService;

// Receiver of a service's resolve outcome, on the main thread; every method is optional. The
// service does not retain its delegate; a delegate that goes away first clears itself with
// setDelegate(nullptr), also from inside one of these calls.
class JPNetServiceDelegate {
public:
    virtual ~JPNetServiceDelegate() = default;

    // The service has its host, port and IPv4 address.
    virtual void padlinkNetServiceDidResolve(JPNetService* service) { (void)service; }
    // didNotResolve: the resolve failed or timed out; `error` is of JPServiceDiscovery::kErrorDomain.
    virtual void padlinkNetService(JPNetService* service, const RefPtr<Error>& error) {
        (void)service, (void)error;
    }
    // The resolve attempt is over, whatever its outcome (after the two calls above).
    virtual void padlinkNetServiceDidStopResolving(JPNetService* service) { (void)service; }
};
