#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncReadPacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocketReader.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncSpecialPacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncWritePacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSecureTransport.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSocketQueue.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/DispatchSource.h"
#include "platform/dispatch/FileDescriptor.h"
#include "platform/foundation/ByteView.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/SocketAddress.h"

// An asynchronous TCP socket for IPv4 and IPv6: either a listener that hands out each accepted
// connection as a new socket, or one connection, made by connecting to a host or an address or by
// being accepted. Reads and writes are queued as packets with a tag and a time-out; every outcome
// reaches the delegate as a callback on the delegate queue.
//
// Threads: all state lives on the socket queue (a serial queue, or the main queue). A public
// operation called there runs at once; called elsewhere it is dispatched there, and waits for it
// when it answers something (queries, connect, accept, disconnect) but not otherwise (requests,
// setters). Blocking name lookups run on the global queue; connecting never blocks a thread.
//
// TLS (startTLS) runs through OpenSSL with the socket doing the transport; its errors have the
// domain kTLSErrorDomain and a JPSecureTransport status as code.
//
// Linux: sends use MSG_NOSIGNAL (a vanished peer never raises SIGPIPE); an IPv6 listener is
// IPv6-only so that both families listen on one port; addresses are checked by sa_family.
//
// Durations are seconds; a negative time-out means none.
class JPTcpSocket : public Object {
public:
    // Error domain of the socket's own errors, and their codes.
    static constexpr const char* kErrorDomain = "JPTcpSocketErrorDomain";
    // Domain of TLS failures.
    static constexpr const char* kTLSErrorDomain = "kCFStreamErrorDomainSSL";
    enum ErrorCode : int64_t {
        kBadConfigError = 1,
        kBadParamError = 2,
        kConnectTimeoutError = 3,
        kReadTimeoutError = 4,
        kWriteTimeoutError = 5,
        kReadMaxedOutError = 6,
        kClosedError = 7,
        kOtherError = 8,
    };

    // The delegate is not retained. A null socket queue makes a serial queue of the socket's own;
    // the global (concurrent) queue is refused with NamedException "NSInternalInconsistencyException".
    explicit JPTcpSocket(JPTcpSocketDelegate* delegate = nullptr, RefPtr<DispatchQueue> delegateQueue = nullptr,
                           RefPtr<DispatchQueue> socketQueue = nullptr);

    // Configuration: delegate (not retained) and delegate queue. The plain setters do not wait; the
    // synchronously variants return once the socket queue has taken the change.
    JPTcpSocketDelegate* delegate() const;
    void setDelegate(JPTcpSocketDelegate* delegate);
    void synchronouslySetDelegate(JPTcpSocketDelegate* delegate);
    RefPtr<DispatchQueue> delegateQueue() const;
    void setDelegateQueue(RefPtr<DispatchQueue> delegateQueue);
    void synchronouslySetDelegateQueue(RefPtr<DispatchQueue> delegateQueue);
    // Either out-parameter may be null.
    void getDelegate(JPTcpSocketDelegate** delegate, RefPtr<DispatchQueue>* delegateQueue) const;
    void setDelegate(JPTcpSocketDelegate* delegate, RefPtr<DispatchQueue> delegateQueue);
    void synchronouslySetDelegate(JPTcpSocketDelegate* delegate, RefPtr<DispatchQueue> delegateQueue);

    // Configuration flags (all true by default): close at the peer's end of stream (false allows
    // half duplex), the two families, and IPv4 first when a lookup gives both.
    bool autoDisconnectOnClosedReadStream() const;
    void setAutoDisconnectOnClosedReadStream(bool flag);
    bool isIPv4Enabled() const;
    void setIPv4Enabled(bool flag);
    bool isIPv6Enabled() const;
    void setIPv6Enabled(bool flag);
    bool isIPv4PreferredOverIPv6() const;
    void setPreferIPv4OverIPv6(bool flag);
    // A free slot for the owner, retained.
    RefPtr<Object> userData() const;
    void setUserData(RefPtr<Object> userData);

    // Listens on every enabled family, on all interfaces or on the one described ("eth0",
    // "192.168.1.2", "localhost", optionally followed by ":port" when `port` is 0). Port 0 lets the
    // system choose one port for both families. False with `*error` (may be null) when nothing
    // was started.
    bool acceptOnPort(uint16_t port, RefPtr<Error>* error);
    bool acceptOnInterface(const std::string& interface, uint16_t port, RefPtr<Error>* error);

    // Starts connecting to a host name or numeric address (looked up on the global queue; "localhost"
    // and "loopback" without the resolver), optionally from a local interface. True when the attempt
    // has started: its outcome is socketDidConnectToHost or socketDidDisconnect. False with
    // `*error` when nothing was started.
    bool connectToHost(const std::string& host, uint16_t port, RefPtr<Error>* error);
    bool connectToHost(const std::string& host, uint16_t port, double timeout, RefPtr<Error>* error);
    bool connectToHost(const std::string& host, uint16_t port, const std::string& interface, double timeout,
                       RefPtr<Error>* error);
    // The same to a socket address (16-byte IPv4 or 28-byte IPv6 address data).
    bool connectToAddress(const ByteView& address, RefPtr<Error>* error);
    bool connectToAddress(const ByteView& address, double timeout, RefPtr<Error>* error);
    bool connectToAddress(const ByteView& address, const std::string& interface, double timeout, RefPtr<Error>* error);

    // Closes at once, dropping pending requests; a started socket then reports one
    // socketDidDisconnect with no error. The after-variants refuse new requests and close once
    // the queued reads, writes or both are done.
    void disconnect();
    void disconnectAfterReading();
    void disconnectAfterWriting();
    void disconnectAfterReadingAndWriting();

    // State.
    bool isDisconnected() const;
    bool isConnected() const;
    bool isIPv4() const;
    bool isIPv6() const;
    bool isSecure() const;

    // Peer and local addresses, from the IPv4 descriptor if open, else the IPv6 one; "" / 0 /
    // empty when neither is open.
    std::string connectedHost() const;
    uint16_t connectedPort() const;
    std::string localHost() const;
    uint16_t localPort() const;
    ByteView connectedAddress() const;
    ByteView localAddress() const;
    // The same for one family; on the socket queue only (no dispatch).
    std::string connectedHost4() const;
    std::string connectedHost6() const;
    uint16_t connectedPort4() const;
    uint16_t connectedPort6() const;
    std::string localHost4() const;
    std::string localHost6() const;
    uint16_t localPort4() const;
    uint16_t localPort6() const;

    // Address data decoding (see SocketAddress::hostAndPort): "" and 0 for anything that is not an
    // address. Either out-parameter of getHost may be null.
    static std::string hostFromAddress(const ByteView& address);
    static uint16_t portFromAddress(const ByteView& address);
    static bool getHost(std::string* host, uint16_t* port, const ByteView& address);
    // Common terminators: CR LF, CR, LF, and one zero byte.
    static ByteView CRLFData();
    static ByteView CRData();
    static ByteView LFData();
    static ByteView ZeroData();

    // Runs the block on the socket queue and waits for it.
    void performBlock(const std::function<void()>& block);
    // The descriptors (IPv4 first); -1 when absent or when called off the socket queue.
    int socketFD() const;
    int socket4FD() const;
    int socket6FD() const;
    // The connection's TLS object, owned by the socket and valid until it closes; null while the
    // socket is plain or when called off the socket queue.
    JPSecureTransport* sslContext() const;

    // Reads whatever is available, into an own buffer or into the caller's `buffer` from `offset`,
    // at most `maxLength` bytes (0: no limit). Ignored when `offset` lies beyond the buffer.
    void readDataWithTimeout(double timeout, int64_t tag);
    void readDataWithTimeout(double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset, int64_t tag);
    void readDataWithTimeout(double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset, uint64_t maxLength, int64_t tag);
    // Reads exactly `length` bytes (ignored when 0).
    void readDataToLength(uint64_t length, double timeout, int64_t tag);
    void readDataToLength(uint64_t length, double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset, int64_t tag);
    // Reads up to and including `term` (ignored when empty); with `maxLength` (0: none, else at
    // least the terminator's length) the socket closes with kReadMaxedOutError when that many bytes
    // come without the terminator.
    void readDataToData(const ByteView& term, double timeout, int64_t tag);
    void readDataToData(const ByteView& term, double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset, int64_t tag);
    void readDataToData(const ByteView& term, double timeout, uint64_t maxLength, int64_t tag);
    void readDataToData(const ByteView& term, double timeout, RefPtr<ByteBuffer> buffer, uint64_t offset,
                        uint64_t maxLength, int64_t tag);
    // Queues the bytes (shared, not copied; ignored when empty).
    void writeData(const ByteView& data, double timeout, int64_t tag);

    // Queues the switch to TLS with a settings dictionary (keys in JPSecureTransport.h; none: an
    // empty one): reads and writes queued before it run in the clear, those after it once the
    // handshake has completed (socketDidSecure). Dropped on a socket that is not started, after a
    // disconnect-after request, and when the connection already had one.
    void startTLS(const Value& settings);
    // Which TLS path startTLS takes: always the socket's own transport under JPSecureTransport,
    // never a stream layer of the system's.
    bool usingSecureTransportForTLS() const { return true; }
    bool usingCFStreamForTLS() const { return false; }

    // Progress of the current read or write: the fraction done (1 for reads of no fixed length),
    // NaN with zeros when there is none. Out-parameters may be null.
    float progressOfReadReturningTag(int64_t* tag, uint64_t* done, uint64_t* total) const;
    float progressOfWriteReturningTag(int64_t* tag, uint64_t* done, uint64_t* total) const;

protected:
    // Closes the socket on its queue (a started socket reports socketDidDisconnect with a null
    // socket).
    ~JPTcpSocket() override;

private:
    // State bits of flags_.
    enum Flag : uint32_t {
        kSocketStarted = 0x1,          // accepting or connecting has begun; only closing clears it
        kConnected = 0x2,
        kForbidReadsWrites = 0x4,      // set by the disconnect-after requests
        kReadsPaused = 0x8,            // a read time-out is waiting for the delegate's answer
        kWritesPaused = 0x10,
        kDisconnectAfterReads = 0x20,
        kDisconnectAfterWrites = 0x40,
        kSocketCanAcceptBytes = 0x80,
        kReadSourceSuspended = 0x100,
        kWriteSourceSuspended = 0x200,
        kQueuedTLS = 0x400,            // a TLS request was queued on this connection
        kStartingReadTLS = 0x800,      // the read side has reached the TLS request
        kStartingWriteTLS = 0x1000,    // the write side has reached it
        kSecure = 0x2000,              // the TLS handshake has completed
        kSocketHasReadEOF = 0x4000,
        kReadStreamClosed = 0x8000,    // end of stream reported while the socket stays open
    };
    // Configuration bits of config_.
    enum Config : uint16_t {
        kIPv4Disabled = 0x1,
        kIPv6Disabled = 0x2,
        kPreferIPv6 = 0x4,
        kAllowHalfDuplex = 0x8,
    };

    using ReadPacketPtr = std::shared_ptr<JPAsyncReadPacket>;
    using WritePacketPtr = std::shared_ptr<JPAsyncWritePacket>;
    using SpecialPacketPtr = std::shared_ptr<JPAsyncSpecialPacket>;
    // What the queues hold: a read or write, or the TLS request that stands in both queues.
    using ReadRequest = std::variant<ReadPacketPtr, SpecialPacketPtr>;
    using WriteRequest = std::variant<WritePacketPtr, SpecialPacketPtr>;
    // What one write pass moved.
    struct WriteOutcome {
        uint64_t written = 0;
        bool waiting = false;  // the descriptor is full
        RefPtr<Error> error;
    };

    // Body on the socket queue, waiting for it.
    template <typename Body>
    auto syncOnQueue(Body&& body) const;
    // Body on the socket queue, not waiting (runs at once when already there).
    void asyncOnQueue(std::function<void()> body) { asyncOnSocketQueue(*this, *socketQueue_, std::move(body)); }
    void requireSocketQueue() const { requireOnSocketQueue(*socketQueue_); }
    bool isConfigBitClear(uint16_t bit) const;
    void setConfigBit(uint16_t bit, bool set);

    // Sends a callback to the delegate queue when the delegate implements `method` right now.
    void notify(uint32_t method, std::function<void(JPTcpSocketDelegate*, JPTcpSocket*)> call);
    // Asks the delegate for a time-out extension and hands the answer to doTimeoutWithExtension.
    void askTimeoutExtension(bool reading);

    // Lifecycle (lifecycle file).
    bool acceptOnQueue(const std::string& interface, uint16_t port, RefPtr<Error>* error);
    bool startListening(std::shared_ptr<FileDescriptor> listener);
    bool doAccept(int listener);
    // False with a kBadParamError when the interface gives no address an enabled family can use.
    bool checkInterface(const SocketAddress::InterfaceAddresses& addresses, RefPtr<Error>* error) const;
    bool preConnect(const std::string& interface, RefPtr<Error>* error);
    bool connectToHostOnQueue(const std::string& host, uint16_t port, const std::string& interface, double timeout,
                              RefPtr<Error>* error);
    bool connectToAddressOnQueue(const ByteView& address, const std::string& interface, double timeout,
                                 RefPtr<Error>* error);
    void lookupFinished(int index, const ByteView& address4, const ByteView& address6, const RefPtr<Error>& error);
    bool connectWithAddresses(const ByteView& address4, const ByteView& address6, RefPtr<Error>* error);
    void didConnect(int index);
    void didNotConnect(int index, const RefPtr<Error>& error);
    void startConnectTimeout(double timeout);
    void doConnectTimeout();
    void endConnectTimeout();
    bool setupReadAndWriteSources();
    // True when the peer has ended the stream (or it failed), false while it is only empty now.
    bool isAtEndOfStream() const;
    // A one-shot timer on the socket queue running `fired` after `seconds`; null (and the socket
    // closing with the system's error) when no timer can be made.
    RefPtr<DispatchSource> makeTimer(double seconds, void (JPTcpSocket::*fired)());
    void closeWithError(const RefPtr<Error>& error);
    void maybeClose();
    void disconnectAfter(uint32_t bits);
    const std::shared_ptr<FileDescriptor>& connectedDescriptor() const;
    void suspendReadSource();
    void resumeReadSource();
    void suspendWriteSource();
    void resumeWriteSource();

    // Reading and writing (read/write file).
    void queueRead(ReadPacketPtr packet);
    void maybeDequeueRead();
    void doReadData();
    void doReadEOF();
    void completeCurrentRead();
    void endCurrentRead();
    void doReadTimeout();
    void maybeDequeueWrite();
    void doWriteData();
    WriteOutcome writePlain();
    void completeCurrentWrite();
    void endCurrentWrite();
    void doWriteTimeout();
    void doTimeoutWithExtension(bool reading, double extension);

    // TLS (TLS file).
    void maybeStartTLS();
    void continueHandshake();
    // The transport callbacks of the TLS connection (socket queue only).
    int32_t sslRead(void* data, size_t* length);
    int32_t sslWrite(const void* data, size_t* length);
    // Reads through TLS into `into` until `length` bytes came or TLS answered a status.
    JPTcpSocketReader::Fill readSecure(uint8_t* into, uint64_t length, RefPtr<Error>* error, bool* waiting);
    WriteOutcome writeSecure();
    // Moves the bytes TLS can decrypt now into the pre-buffer, when that is empty.
    void flushSSLBuffers();
    // Bytes the descriptor reported, plus on a secure socket those waiting for or inside TLS.
    uint64_t readEstimate() const;
    void endTLS();
    static RefPtr<Error> tlsError(int32_t status, const std::string& text);

    static RefPtr<Error> socketError(ErrorCode code, const std::string& text);

    // Touched on the socket queue only, except where noted.
    uint32_t flags_ = 0;   // state bits (kSocketStarted ... in the source)
    uint16_t config_ = 0;  // configuration bits
    // The delegate, shared with queued callbacks, which deliver only while it is still the delegate.
    const std::shared_ptr<std::atomic<JPTcpSocketDelegate*>> delegate_;
    RefPtr<DispatchQueue> delegateQueue_;
    const RefPtr<DispatchQueue> socketQueue_;
    std::shared_ptr<FileDescriptor> socket4_;  // null when absent; shared with the sources watching it
    std::shared_ptr<FileDescriptor> socket6_;
    int connectIndex_ = 0;  // generation of connect attempts; results of older ones are dropped
    ByteView connectInterface4_;  // local addresses to bind before connecting; cleared per attempt
    ByteView connectInterface6_;
    RefPtr<DispatchSource> accept4Source_, accept6Source_;
    RefPtr<DispatchSource> connectSource_;  // writability of a connect in progress
    RefPtr<DispatchSource> connectTimer_;
    RefPtr<DispatchSource> readSource_, writeSource_;
    RefPtr<DispatchSource> readTimer_, writeTimer_;
    std::deque<ReadRequest> readQueue_;
    std::deque<WriteRequest> writeQueue_;
    ReadPacketPtr currentRead_;
    WritePacketPtr currentWrite_;
    uint64_t socketFDBytesAvailable_ = 0;  // readable count the read source last reported, less what was read since
    JPTcpSocketReader reader_;           // the pre-buffer and the read pass
    SpecialPacketPtr tlsRequest_;          // the TLS request the read side has reached
    std::unique_ptr<JPSecureTransport> sslContext_;  // null while plain
    // Raw bytes read from the descriptor for TLS; made when the handshake starts.
    std::unique_ptr<JPTcpSocketPreBuffer> sslPreBuffer_;
    uint64_t sslWriteCachedLength_ = 0;    // bytes TLS has taken from the current write but not yet sent
    int32_t sslErrCode_ = 0;               // the closed status a TLS read met, 0 otherwise
    RefPtr<Object> userData_;
    bool releasing_ = false;  // set by the destructor: callbacks then carry no socket
};

template <typename Body>
inline auto JPTcpSocket::syncOnQueue(Body&& body) const {
    return syncOnSocketQueue(*socketQueue_, std::forward<Body>(body));
}
