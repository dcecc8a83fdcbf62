#pragma once

#include <string>

#include "PadlinkSDK/PadlinkRPCLib/JPNetServiceBrowserDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/JPServiceDiscovery.h"

// Browses the network for DNS-SD services of one type and reports each one added or removed to its
// delegate as a JPNetService. Main thread only.
class JPNetServiceBrowser : public Object {
public:
    // An empty domain browses the default domains; `type` is like "_padlink._tcp.".
    JPNetServiceBrowser(std::string domain, std::string type);

    // (Re)starts browsing on every interface. A failure to start is logged and leaves the browser
    // idle.
    void startBrowse();
    void stop();

    // The delegate (not retained).
    JPNetServiceBrowserDelegate* delegate() const { return delegate_; }
    void setDelegate(JPNetServiceBrowserDelegate* delegate) { delegate_ = delegate; }

private:
    void browseReply(const JPServiceDiscovery::BrowseReply& reply);
    // A service seen on a peer-to-peer interface is not reported; resolving it once makes the
    // platform bring that link up.
    void resolvePeerToPeer(const JPServiceDiscovery::BrowseReply& reply);

    JPNetServiceBrowserDelegate* delegate_ = nullptr;  // not retained
    JPServiceDiscovery::Operation browserRef_;          // while browsing
    JPServiceDiscovery::Operation p2pResolverRef_;      // until its first reply
    const std::string domain_;
    const std::string type_;
};
