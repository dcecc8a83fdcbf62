#pragma once

#include <cstdint>

#include "platform/foundation/ByteView.h"
#include "platform/foundation/Error.h"

class JPUdpSocket;

// Receiver of a JPUdpSocket's callbacks. Every method is optional: a delegate overrides the
// ones it wants and reports them in jpUdpSocketDelegateMethods(), which the socket asks before
// every callback. All callbacks run on the delegate queue the socket was given.
//
// The socket retains its delegate (callbacks keep going to it until it is replaced or cleared), so
// an owner that is also the delegate clears it before letting the socket go.
// (JPSocketQueue.h sets this rule beside the TCP socket's.)
class JPUdpSocketDelegate : public Object {
public:
    // Capability bits of jpUdpSocketDelegateMethods(), one per method below.
    enum Method : uint32_t {
        kDidConnectToAddress = 1u << 0,
        kDidNotConnect = 1u << 1,
        kDidSendData = 1u << 2,
        kDidNotSendData = 1u << 3,
        kDidReceiveData = 1u << 4,
        kDidClose = 1u << 5,
    };

    // The methods this delegate implements right now (Method bits).
    virtual uint32_t jpUdpSocketDelegateMethods() const = 0;

    // A connect request succeeded: the peer's socket address.
    virtual void udpSocketDidConnectToAddress(JPUdpSocket* sock, const ByteView& address) { (void)sock, (void)address; }
    // A connect request failed; the socket stays open, and may connect again.
    virtual void udpSocketDidNotConnect(JPUdpSocket* sock, const RefPtr<Error>& error) { (void)sock, (void)error; }
    // The datagram went to the system, or the send filter dropped it.
    virtual void udpSocketDidSendDataWithTag(JPUdpSocket* sock, int64_t tag) { (void)sock, (void)tag; }
    // The datagram could not be sent (destination, lookup, family choice, time-out).
    virtual void udpSocketDidNotSendDataWithTag(JPUdpSocket* sock, int64_t tag, const RefPtr<Error>& error) {
        (void)sock, (void)tag, (void)error;
    }
    // A datagram arrived and passed the connected-peer check and the receive filter; `context` is
    // what the filter stored, or null.
    virtual void udpSocketDidReceiveData(JPUdpSocket* sock, const ByteView& data, const ByteView& address,
                                         const RefPtr<Object>& context) {
        (void)sock, (void)data, (void)address, (void)context;
    }
    // A socket whose descriptors existed closed: `error` is null after a requested close. Pending
    // datagrams are dropped without callbacks.
    virtual void udpSocketDidClose(JPUdpSocket* sock, const RefPtr<Error>& error) { (void)sock, (void)error; }
};
