#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceBrowser.h"

#include "PadlinkSDK/PadlinkRPCLib/JPNetService.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/RunLoopTimer.h"

namespace {

double retrySeconds = 5.0;

// Attaches a started operation to the main queue: 0, or the code of the start or of the attaching.
int32_t attached(int32_t startError, const JPServiceDiscovery::Operation& operation) {
    return startError != 0 ? startError : operation->attach();
}
}  // namespace

JPNetServiceBrowser::JPNetServiceBrowser(std::string domain, std::string type)
    : domain_(std::move(domain)), type_(std::move(type)) {}

JPNetServiceBrowser::~JPNetServiceBrowser() { stop(); }

double JPNetServiceBrowser::retryInterval() { return retrySeconds; }

void JPNetServiceBrowser::setRetryInterval(double seconds) { retrySeconds = seconds; }

void JPNetServiceBrowser::startBrowse() {
    CC_REQUIRE(RunLoop::main().isCurrent(), "NSInternalInconsistencyException", "startBrowse off the main thread");
    stop();
    if (tryBrowse()) return;
    // The timer's block runs on the main thread, where stop() invalidates it: it never outlives
    // this browser.
    retryTimer_ = RunLoop::main().scheduleTimer(retryInterval(), true, [this] {
        if (tryBrowse()) {
            retryTimer_->invalidate();
            retryTimer_.reset();
        }
    });
}

bool JPNetServiceBrowser::tryBrowse() {
    JPServiceDiscovery::Operation operation;
    const int32_t error = attached(
        JPServiceDiscovery::shared()->browse(
            JPServiceDiscovery::kFlagsIncludeP2P, JPServiceDiscovery::kInterfaceIndexAny, type_, domain_,
            [this](const JPServiceDiscovery::BrowseReply& reply) { browseReply(reply); }, &operation),
        operation);
    if (error == 0) {
        browserRef_ = std::move(operation);
        failureReported_ = false;
        return true;
    }
    if (!failureReported_) {
        failureReported_ = true;
        if (error == JPServiceDiscovery::kErrorUnknown) {
            logLine("Padlink: Phones cannot be found: the local network discovery service is not running. "
                    "Install and start it (the Debian package avahi-daemon); the game keeps looking meanwhile.");
        } else {
            logLine("Padlink: Error starting the service browser: %d", error);
        }
    }
    return false;
}

void JPNetServiceBrowser::stop() {
    browserRef_.reset();
    if (retryTimer_) retryTimer_->invalidate();
    retryTimer_.reset();
}

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
