#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceBrowser.h"

#include "PadlinkSDK/PadlinkRPCLib/JPNetService.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

namespace {
// Attaches a started operation to the main queue: 0, or the code of the start or of the attaching.
int32_t attached(int32_t startError, const JPServiceDiscovery::Operation& operation) {
    return startError != 0 ? startError : operation->attach();
}
}  // namespace

JPNetServiceBrowser::JPNetServiceBrowser(std::string domain, std::string type)
    : domain_(std::move(domain)), type_(std::move(type)) {}

void JPNetServiceBrowser::startBrowse() {
    CC_REQUIRE(RunLoop::main().isCurrent(), "NSInternalInconsistencyException", "startBrowse off the main thread");
    stop();
    JPServiceDiscovery::Operation operation;
    const int32_t error = attached(
        JPServiceDiscovery::shared()->browse(
            JPServiceDiscovery::kFlagsIncludeP2P, JPServiceDiscovery::kInterfaceIndexAny, type_, domain_,
            [this](const JPServiceDiscovery::BrowseReply& reply) { browseReply(reply); }, &operation),
        operation);
    if (error != 0) {
        logLine("Padlink: Error starting the service browser: %d", error);
        return;
    }
    browserRef_ = std::move(operation);
}

void JPNetServiceBrowser::stop() { browserRef_.reset(); }

void JPNetServiceBrowser::browseReply(const JPServiceDiscovery::BrowseReply& reply) {
    if (reply.error != 0) {
        logLine("ServiceBrowseReply got an error! %d", reply.error);
        return;
    }
    if (reply.interfaceIndex == JPServiceDiscovery::kInterfaceIndexP2P) return resolvePeerToPeer(reply);
    // The delegate may release the browser (and so this reply's operation) while it is told.
    const RefPtr<JPNetServiceBrowser> keepAlive(this);
    const auto service = makeRef<JPNetService>(reply.domain, reply.type, reply.name, reply.interfaceIndex);
    if (!delegate_) return;
    if (reply.flags & JPServiceDiscovery::kFlagsAdd) {
        delegate_->padlinkServiceBrowserDidAddService(this, service.get());
    } else {
        delegate_->padlinkServiceBrowserDidRemoveService(this, service.get());
    }
}

void JPNetServiceBrowser::resolvePeerToPeer(const JPServiceDiscovery::BrowseReply& reply) {
    p2pResolverRef_.reset();
    JPServiceDiscovery::Operation operation;
    const int32_t error = attached(
        JPServiceDiscovery::shared()->resolve(
            0, reply.interfaceIndex, reply.name, reply.type, reply.domain,
            [this](const JPServiceDiscovery::ResolveReply&) { p2pResolverRef_.reset(); }, &operation),
        operation);
    if (error != 0) {
        logLine("Padlink: Error starting the p2p resolver: %d", error);
        return;
    }
    p2pResolverRef_ = std::move(operation);
}
