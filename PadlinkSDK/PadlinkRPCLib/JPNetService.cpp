#include "PadlinkSDK/PadlinkRPCLib/JPNetService.h"

#include <arpa/inet.h>
#include <net/if.h>

#include <atomic>
#include <typeinfo>

#include "platform/foundation/Log.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/RunLoop.h"

namespace {

std::atomic<double> timeoutSeconds{8.0};

std::string interfaceName(uint32_t index) {
    if (index == JPServiceDiscovery::kInterfaceIndexAny) return "all";
    if (index == JPServiceDiscovery::kInterfaceIndexLocalOnly) return "local";
    if (index == JPServiceDiscovery::kInterfaceIndexP2P) return "p2p";
    char name[IF_NAMESIZE];
    return if_indextoname(index, name) ? name : std::to_string(index);
}

}  // namespace

JPNetService::JPNetService(std::string domain, std::string type, std::string name, uint32_t interfaceIndex)
    : domain_(std::move(domain)), type_(std::move(type)), name_(std::move(name)), interface_(interfaceIndex) {}

double JPNetService::resolveTimeout() { return timeoutSeconds; }

void JPNetService::setResolveTimeout(double seconds) { timeoutSeconds = seconds; }

void JPNetService::startResolve() {
    CC_REQUIRE(RunLoop::main().isCurrent(), "NSInternalInconsistencyException", "startResolve off the main thread");
    keepAlive_ = RefPtr<JPNetService>(this);
    isResolving_ = true;
    ipv4AddressResolver_.reset();
    JPServiceDiscovery::Operation operation;
    const int32_t error = JPServiceDiscovery::shared()->resolve(
        0, interface_, name_, type_, domain_,
        [this](const JPServiceDiscovery::ResolveReply& reply) { didResolveService(reply); }, &operation);
    if (error != 0) {
        serviceResolver_.reset();
        stopWithError(JPServiceDiscovery::error(error));
        return;
    }
    if (resolveTimeoutTimer_) resolveTimeoutTimer_->invalidate();
    resolveTimeoutTimer_ = RunLoop::main().scheduleTimer(resolveTimeout(), false, [this] {
        stopWithError(JPServiceDiscovery::error(JPServiceDiscovery::kErrorTimeout));
    });
    serviceResolver_ = std::make_unique<JPNetServiceController>(std::move(operation));
    serviceResolver_->addToCurrentRunLoop();
}

void JPNetService::didResolveService(const JPServiceDiscovery::ResolveReply& reply) {
    if (reply.error != 0) return stopWithError(JPServiceDiscovery::error(reply.error));
    resolvedHost_ = reply.hostTarget;
    resolvedPort_ = ntohs(reply.port);
    serviceResolver_.reset();
    JPServiceDiscovery::Operation operation;
    const int32_t error = JPServiceDiscovery::shared()->queryRecord(
        0, reply.interfaceIndex, resolvedHost_, JPServiceDiscovery::kRecordTypeA, JPServiceDiscovery::kRecordClassIN,
        [this](const JPServiceDiscovery::RecordReply& record) { didQueryAddress(record); }, &operation);
    if (error != 0) return stopWithError(JPServiceDiscovery::error(error));
    ipv4AddressResolver_ = std::make_unique<JPNetServiceController>(std::move(operation));
    ipv4AddressResolver_->addToCurrentRunLoop();
}

void JPNetService::didQueryAddress(const JPServiceDiscovery::RecordReply& reply) {
    if (reply.error != 0) return stopWithError(JPServiceDiscovery::error(reply.error));
    if (reply.recordType != JPServiceDiscovery::kRecordTypeA) return;
    if (reply.data.size() != 4) {
        logLine("Padlink: Ignored an address record of %zu bytes for %s", reply.data.size(), resolvedHost_.c_str());
        return;
    }
    char address[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, reply.data.data(), address, sizeof address);
    resolvedAddr_ = address;
    ipv4AddressResolver_.reset();
    if (delegate_) delegate_->padlinkNetServiceDidResolve(this);
    stopWithError(nullptr);
}

void JPNetService::stopWithError(const RefPtr<Error>& error) {
    CC_REQUIRE(isResolving_, "NSInternalInconsistencyException", "stopping a service that is not resolving");
    const RefPtr<JPNetService> keepAlive = std::move(keepAlive_);  // let go when this returns
    isResolving_ = false;
    if (resolveTimeoutTimer_) resolveTimeoutTimer_->invalidate();
    resolveTimeoutTimer_.reset();
    serviceResolver_.reset();
    ipv4AddressResolver_.reset();
    // The delegate is read again before each call: the first may have cleared it.
    if (error && delegate_) delegate_->padlinkNetService(this, error);
    if (delegate_) delegate_->padlinkNetServiceDidStopResolving(this);
}

bool JPNetService::isEqual(const JPNetService& other) const {
    return typeid(*this) == typeid(other) && domain_ == other.domain_ && type_ == other.type_ && name_ == other.name_;
}

size_t JPNetService::hash() const {
    const std::hash<std::string> text;
    return text(domain_) ^ text(type_) ^ text(name_);
}

std::string JPNetService::description() const {
    return Object::description() + " {Name: " + name_ + ", Domain: " + domain_ + ", type: " + type_ +
           ", interface: " + interfaceName(interface_) + "}";
}
