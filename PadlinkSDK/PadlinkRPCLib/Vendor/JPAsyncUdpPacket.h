#pragma once

#include <vector>

#include "platform/foundation/ByteView.h"
#include "platform/foundation/Error.h"

// What the send queue of a JPUdpSocket holds: a datagram (JPAsyncUdpSendPacket) or a connect
// request (JPAsyncUdpSpecialPacket). Either may wait for a host lookup, whose outcome lands here on
// the socket queue.
class JPAsyncUdpPacket {
public:
    virtual ~JPAsyncUdpPacket() = default;

    // A lookup for this packet runs on the global queue.
    bool resolveInProgress = false;
    // The lookup's IPv4 and IPv6 addresses in the resolver's order, or its failure.
    std::vector<ByteView> resolvedAddresses;
    RefPtr<Error> resolveError;
};
