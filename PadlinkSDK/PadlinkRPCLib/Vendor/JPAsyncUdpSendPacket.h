#pragma once

#include <cstdint>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncUdpPacket.h"

// One queued datagram of a JPUdpSocket. The bytes are the caller's, shared and not copied: the
// caller must not change them afterwards.
class JPAsyncUdpSendPacket : public JPAsyncUdpPacket {
public:
    JPAsyncUdpSendPacket(ByteView buffer, double timeout, int64_t tag)
        : buffer(std::move(buffer)), timeout(timeout), tag(tag) {}

    // The datagram, the seconds it may wait for the descriptor (negative: no limit) and the
    // caller's tag.
    const ByteView buffer;
    const double timeout;
    const int64_t tag;
    // Addressed by host name: the destination comes from the lookup.
    bool toHost = false;
    // An asynchronous send filter is deciding on it.
    bool filterInProgress = false;
    // The destination given or chosen, and its family (AF_INET, AF_INET6, 0 when unknown).
    ByteView address;
    int addressFamily = 0;
};
