#include "PadlinkSDK/PadlinkRPCLib/JPServiceDiscovery.h"

#include <mutex>

#include "PadlinkSDK/PadlinkRPCLib/JPDNSSDDiscovery.h"

namespace {
std::mutex sharedMutex;
RefPtr<JPServiceDiscovery> sharedBackend;  // guarded by sharedMutex; made on first use
}  // namespace

RefPtr<JPServiceDiscovery> JPServiceDiscovery::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedBackend) sharedBackend = makeRef<JPDNSSDDiscovery>();
    return sharedBackend;
}

void JPServiceDiscovery::setShared(RefPtr<JPServiceDiscovery> backend) {
    std::lock_guard lock(sharedMutex);
    sharedBackend = std::move(backend);
}

RefPtr<Error> JPServiceDiscovery::error(int32_t code) {
    const char* text = code == kErrorTimeout ? "The service did not resolve in time."
                       : code == kErrorUnknown ? "The DNS-SD service is not available."
                                               : "The DNS-SD operation failed.";
    return makeRef<Error>(kErrorDomain, code, text);
}
