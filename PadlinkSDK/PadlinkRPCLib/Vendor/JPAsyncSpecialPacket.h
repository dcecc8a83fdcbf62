#pragma once

#include "platform/foundation/Value.h"

// A TLS request of a JPTcpSocket. One packet stands in both the read and the write queue, so that
// everything requested before it goes in the clear and everything after it through TLS.
class JPAsyncSpecialPacket {
public:
    explicit JPAsyncSpecialPacket(Value tlsSettings) : tlsSettings(std::move(tlsSettings)) {}

    // A copy of the caller's settings dictionary (keys in JPSecureTransport.h); empty for none.
    const Value tlsSettings;
};
