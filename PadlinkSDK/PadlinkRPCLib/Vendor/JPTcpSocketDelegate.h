#pragma once

#include <cstdint>
#include <string>

#include "platform/dispatch/DispatchQueue.h"
#include "platform/foundation/ByteView.h"
#include "platform/foundation/Error.h"

class JPTcpSocket;

// Receiver of a JPTcpSocket's callbacks. Every method is optional: a delegate overrides the ones
// it wants and reports them in jpTcpSocketDelegateMethods(), which the socket asks before every
// callback. All callbacks run on the delegate queue the socket was given.
//
// The socket does not retain its delegate. A delegate that goes away first clears itself with
// synchronouslySetDelegate(nullptr) on its delegate queue: callbacks still queued then find another
// delegate (or none) and are dropped.
// (JPSocketQueue.h sets this rule beside the UDP socket's.)
class JPTcpSocketDelegate {
public:
    // Capability bits of jpTcpSocketDelegateMethods(), one per method below.
    enum Method : uint32_t {
        kNewSocketQueueForConnection = 1u << 0,
        kDidAcceptNewSocket = 1u << 1,
        kDidConnectToHost = 1u << 2,
        kDidReadData = 1u << 3,
        kDidReadPartialData = 1u << 4,
        kShouldTimeoutRead = 1u << 5,
        kDidWriteData = 1u << 6,
        kDidWritePartialData = 1u << 7,
        kShouldTimeoutWrite = 1u << 8,
        kDidCloseReadStream = 1u << 9,
        kDidSecure = 1u << 10,
        kDidDisconnect = 1u << 11,
    };

    virtual ~JPTcpSocketDelegate() = default;

    // The methods this delegate implements right now (Method bits).
    virtual uint32_t jpTcpSocketDelegateMethods() const = 0;

    // A listening socket accepted a connection from `address`: the serial queue for the new socket,
    // or null for a fresh one.
    virtual RefPtr<DispatchQueue> newSocketQueueForConnectionFromAddress(const ByteView& address, JPTcpSocket* sock) {
        (void)address, (void)sock;
        return nullptr;
    }
    // The new connected socket; the delegate keeps it (a RefPtr) or it closes when the call returns.
    virtual void socketDidAcceptNewSocket(JPTcpSocket* sock, JPTcpSocket* newSocket) { (void)sock, (void)newSocket; }
    virtual void socketDidConnectToHost(JPTcpSocket* sock, const std::string& host, uint16_t port) {
        (void)sock, (void)host, (void)port;
    }
    // A read completed; `data` is the packet's own buffer or a view of the caller's.
    virtual void socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) {
        (void)sock, (void)data, (void)tag;
    }
    // A pass added `partialLength` bytes to an unfinished read.
    virtual void socketDidReadPartialDataOfLength(JPTcpSocket* sock, uint64_t partialLength, int64_t tag) {
        (void)sock, (void)partialLength, (void)tag;
    }
    // The current read's time-out fired after `elapsed` seconds (every extension included) with
    // `bytesDone` bytes read: extra seconds (> 0), or 0 to close the socket with the read time-out.
    virtual double socketShouldTimeoutReadWithTag(JPTcpSocket* sock, int64_t tag, double elapsed, uint64_t bytesDone) {
        (void)sock, (void)tag, (void)elapsed, (void)bytesDone;
        return 0;
    }
    virtual void socketDidWriteDataWithTag(JPTcpSocket* sock, int64_t tag) { (void)sock, (void)tag; }
    // A pass sent `partialLength` bytes of an unfinished write.
    virtual void socketDidWritePartialDataOfLength(JPTcpSocket* sock, uint64_t partialLength, int64_t tag) {
        (void)sock, (void)partialLength, (void)tag;
    }
    // As socketShouldTimeoutReadWithTag, for the current write.
    virtual double socketShouldTimeoutWriteWithTag(JPTcpSocket* sock, int64_t tag, double elapsed, uint64_t bytesDone) {
        (void)sock, (void)tag, (void)elapsed, (void)bytesDone;
        return 0;
    }
    // The peer closed its sending side while the socket stays open for writing (half duplex).
    virtual void socketDidCloseReadStream(JPTcpSocket* sock) { (void)sock; }
    // The TLS handshake completed.
    virtual void socketDidSecure(JPTcpSocket* sock) { (void)sock; }
    // A started socket closed: `error` is null after a requested close. The last callback of a
    // connection. `sock` is null when the close came from the socket's release.
    virtual void socketDidDisconnect(JPTcpSocket* sock, const RefPtr<Error>& error) { (void)sock, (void)error; }
};
