#pragma once

#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceBrowserDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/JPServiceDiscovery.h"

class RunLoopTimer;

// Browses the network for DNS-SD services of one type and reports each one added or removed to its
// delegate as a JPNetService. Main thread only.
class JPNetServiceBrowser : public Object {
public:
    // An empty domain browses the default domains; `type` is like "_padlink._tcp.".
    JPNetServiceBrowser(std::string domain, std::string type);

    // (Re)starts browsing on every interface. A browse that cannot start (most often: no mDNS
    // daemon runs) is tried again every retryInterval() seconds until it starts or stop() is
    // called; the failure is logged once, and again only after a browse has started in between.
    void startBrowse();
    void stop();

    // Seconds between attempts to start a browse that failed; tests shorten it.
    static double retryInterval();
    static void setRetryInterval(double seconds);

    // The delegate (not retained).
    JPNetServiceBrowserDelegate* delegate() const { return delegate_; }
    void setDelegate(JPNetServiceBrowserDelegate* delegate) { delegate_ = delegate; }

protected:
    ~JPNetServiceBrowser() override;

private:
    // One attempt to start the browse; false when it failed (reported as the class comment says).
    bool tryBrowse();
    void browseReply(const JPServiceDiscovery::BrowseReply& reply);
    // A service seen on a peer-to-peer interface is not reported; resolving it once makes the
    // platform bring that link up.
    void resolvePeerToPeer(const JPServiceDiscovery::BrowseReply& reply);

    JPNetServiceBrowserDelegate* delegate_ = nullptr;  // not retained
    JPServiceDiscovery::Operation browserRef_;          // while browsing
    JPServiceDiscovery::Operation p2pResolverRef_;      // until its first reply
    RefPtr<RunLoopTimer> retryTimer_;                   // while a failed browse waits for its next try
    bool failureReported_ = false;                      // since the last browse that started
    const std::string domain_;
    const std::string type_;
};
