#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"

JPNetServiceController::JPNetServiceController(JPServiceDiscovery::Operation serviceRef)
    : serviceRef_(std::move(serviceRef)) {
    CC_REQUIRE(serviceRef_, "NSInvalidArgumentException", "a service controller needs an operation");
}

void JPNetServiceController::addToCurrentRunLoop() {
    if (serviceRef_->attach() != 0) logLine("Could not listen to runloop socket");
}
