#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceController.h"
#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceDelegate.h"
#include "platform/foundation/RunLoopTimer.h"

// A DNS-SD service as the browser reported it (a phone running the controller app), which can be
// resolved to a host, a port and an IPv4 address. Main thread only.
class JPNetService : public Object {
public:
    // A service as a browse reply names it, on the DNS-SD interface index it was seen on.
    JPNetService(std::string domain, std::string type, std::string name, uint32_t interfaceIndex);

    // One resolve attempt: the service's host and port, then the host's address record (type A),
    // within resolveTimeout() seconds. The outcome reaches the delegate; the service keeps itself
    // alive until then.
    void startResolve();

    // The delegate (not retained).
    JPNetServiceDelegate* delegate() const { return delegate_; }
    void setDelegate(JPNetServiceDelegate* delegate) { delegate_ = delegate; }

    // Identity: equal services have the same class, domain, type and name (whatever the interface).
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& domain() const { return domain_; }
    bool isEqual(const JPNetService& other) const;
    size_t hash() const;

    // What the last successful resolve found: "host.local.", the dotted IPv4 address, the port in
    // host byte order. Empty and 0 before.
    const std::string& resolvedHost() const { return resolvedHost_; }
    const std::string& resolvedAddr() const { return resolvedAddr_; }
    uint64_t resolvedPort() const { return resolvedPort_; }
    bool isResolving() const { return isResolving_; }

    // "<base> {Name: n, Domain: d, type: t, interface: i}", the interface as "all", "local", "p2p"
    // or the system's name for it.
    std::string description() const override;

    // Seconds a resolve may take, for every service (8 unless changed; tests shorten it).
    static double resolveTimeout();
    static void setResolveTimeout(double seconds);

private:
    void didResolveService(const JPServiceDiscovery::ResolveReply& reply);
    void didQueryAddress(const JPServiceDiscovery::RecordReply& reply);
    // Ends the attempt: reports `error` (when there is one) and the stop, then lets go of the
    // keep-alive. Only while resolving.
    void stopWithError(const RefPtr<Error>& error);

    bool isResolving_ = false;
    const std::string domain_;
    const std::string type_;
    std::string name_;
    const uint32_t interface_;  // DNS-SD interface index the service was reported on
    std::unique_ptr<JPNetServiceController> serviceResolver_;      // while waiting for host and port
    std::unique_ptr<JPNetServiceController> ipv4AddressResolver_;  // while waiting for the address
    RefPtr<RunLoopTimer> resolveTimeoutTimer_;
    std::string resolvedHost_;
    std::string resolvedAddr_;
    uint64_t resolvedPort_ = 0;
    JPNetServiceDelegate* delegate_ = nullptr;  // not retained
    RefPtr<JPNetService> keepAlive_;            // this service, while resolving
};
