#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncUdpPacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncUdpSendPacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPUdpSocketDelegate.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSocketQueue.h"
#include "platform/dispatch/DispatchQueue.h"
#include "platform/dispatch/DispatchSource.h"
#include "platform/dispatch/FileDescriptor.h"

// An asynchronous UDP socket for IPv4 and IPv6, with at most one descriptor per family. It can be
// bound to a port, interface or address; connected to one peer (it then sends only there and drops
// datagrams from anyone else); it sends queued datagrams, each with a tag and a time-out, and
// receives datagrams once or continuously, with optional send and receive filters.
//
// Threads: all state lives on the socket queue (a serial queue, or the main queue). A public
// operation called there runs at once; called elsewhere it is dispatched there, waiting for it
// for queries, bind, connect, receive requests, multicast, broadcast and close, not waiting for
// setters, sends, pauseReceiving and closeAfterSending. Host lookups run on the global queue;
// filters run on their own queues. Every callback goes to the delegate queue, and none while no
// delegate queue is set.
//
// Linux: sends use MSG_NOSIGNAL; a zero-length datagram is read and dropped (the system reports it
// as zero readable bytes, like nothing at all) and never closes the socket; a send goes out only on
// a family whose descriptor is open.
//
// Durations are seconds; a negative time-out means none.
class JPUdpSocket : public Object {
public:
    // Error domain of the socket's own errors, and their codes.
    static constexpr const char* kErrorDomain = "JPUdpSocketErrorDomain";
    enum ErrorCode : int64_t {
        kBadConfigError = 1,
        kBadParamError = 2,
        kSendTimeoutError = 3,
        kClosedError = 4,
        kOtherError = 5,
    };
    // Largest datagram read per family at creation, bytes.
    static constexpr uint32_t kDefaultMaxReceiveSize = 9216;

    // Decides whether a datagram goes out to `address` (false drops it; it still counts as sent).
    using SendFilter = std::function<bool(const ByteView& data, const ByteView& address, int64_t tag)>;
    // Decides whether a datagram from `address` is delivered; may store an object in `*context`,
    // which the delivery carries.
    using ReceiveFilter = std::function<bool(const ByteView& data, const ByteView& address, RefPtr<Object>* context)>;

    // The delegate is retained. A null socket queue makes a serial queue of the socket's own; the
    // global (concurrent) queue is refused with NamedException "NSInternalInconsistencyException".
    explicit JPUdpSocket(RefPtr<JPUdpSocketDelegate> delegate = nullptr,
                              RefPtr<DispatchQueue> delegateQueue = nullptr, RefPtr<DispatchQueue> socketQueue = nullptr);

    // Configuration: delegate (retained) and delegate queue. The plain setters do not wait; the
    // synchronously variants return once the socket queue has taken the change.
    RefPtr<JPUdpSocketDelegate> delegate() const;
    void setDelegate(RefPtr<JPUdpSocketDelegate> delegate);
    void synchronouslySetDelegate(RefPtr<JPUdpSocketDelegate> delegate);
    RefPtr<DispatchQueue> delegateQueue() const;
    void setDelegateQueue(RefPtr<DispatchQueue> delegateQueue);
    void synchronouslySetDelegateQueue(RefPtr<DispatchQueue> delegateQueue);
    // Either out-parameter may be null.
    void getDelegate(RefPtr<JPUdpSocketDelegate>* delegate, RefPtr<DispatchQueue>* delegateQueue) const;
    void setDelegate(RefPtr<JPUdpSocketDelegate> delegate, RefPtr<DispatchQueue> delegateQueue);
    void synchronouslySetDelegate(RefPtr<JPUdpSocketDelegate> delegate, RefPtr<DispatchQueue> delegateQueue);

    // The two families (both enabled at creation) and which one a lookup giving both should use
    // (neither preferred: the first address of the lookup decides). Kept across closing.
    bool isIPv4Enabled() const;
    void setIPv4Enabled(bool flag);
    bool isIPv6Enabled() const;
    void setIPv6Enabled(bool flag);
    bool isIPv4Preferred() const;
    bool isIPv6Preferred() const;
    bool isIPVersionNeutral() const;
    void setPreferIPv4();
    void setPreferIPv6();
    void setIPVersionNeutral();
    // Largest datagram read from each family, bytes (longer ones arrive cut to it).
    uint16_t maxReceiveIPv4BufferSize() const;
    void setMaxReceiveIPv4BufferSize(uint16_t max);
    uint32_t maxReceiveIPv6BufferSize() const;
    void setMaxReceiveIPv6BufferSize(uint32_t max);
    // A free slot for the owner, retained.
    RefPtr<Object> userData() const;
    void setUserData(RefPtr<Object> userData);

    // Binds to a port (0: the system chooses one per family) on every interface, or on the one
    // described ("eth0", "192.168.1.2", "localhost"), or to one socket address. False with `*error`
    // (may be null) when refused; a bind the system refuses closes every descriptor.
    bool bindToPort(uint16_t port, RefPtr<Error>* error);
    bool bindToPort(uint16_t port, const std::string& interface, RefPtr<Error>* error);
    bool bindToAddress(const ByteView& address, RefPtr<Error>* error);

    // Queues a connect to a host name or numeric address (looked up on the global queue) or to a
    // socket address. True when queued: the outcome is udpSocketDidConnectToAddress or
    // udpSocketDidNotConnect. False with `*error` when nothing was queued.
    bool connectToHost(const std::string& host, uint16_t port, RefPtr<Error>* error);
    bool connectToAddress(const ByteView& address, RefPtr<Error>* error);

    // Closes at once, dropping pending datagrams without callbacks; a socket whose descriptors
    // existed reports one udpSocketDidClose with no error. closeAfterSending closes once every
    // datagram queued (also after the request) is done.
    void close();
    void closeAfterSending();

    // State: connected to a peer; no descriptors; the family is or would be used.
    bool isConnected() const;
    bool isClosed() const;
    bool isIPv4() const;
    bool isIPv6() const;

    // Local addresses (of the IPv4 descriptor if open, else the IPv6 one, or of one family) and the
    // connected peer; empty / "" / 0 when unavailable.
    ByteView localAddress() const;
    std::string localHost() const;
    uint16_t localPort() const;
    ByteView localAddress_IPv4() const;
    std::string localHost_IPv4() const;
    uint16_t localPort_IPv4() const;
    ByteView localAddress_IPv6() const;
    std::string localHost_IPv6() const;
    uint16_t localPort_IPv6() const;
    ByteView connectedAddress() const;
    std::string connectedHost() const;
    uint16_t connectedPort() const;

    // Runs the block on the socket queue and waits for it.
    void performBlock(const std::function<void()>& block);
    // The descriptors (IPv4 first); -1 when absent or when called off the socket queue.
    int socketFD() const;
    int socket4FD() const;
    int socket6FD() const;

    // Resumes both read sources (they may have been suspended while nobody received). Reading
    // itself does not resume: with receiving paused, a datagram that wakes a source is left
    // waiting in the system and the source is suspended again.
    void applicationWillEnterForeground();

    // Address data decoding: host text, port and family (AF_INET, AF_INET6) of a socket address;
    // false with "", 0, 0 for anything else. Out-parameters may be null.
    static bool getHost(std::string* host, uint16_t* port, int* family, const ByteView& address);
    static std::string hostFromAddress(const ByteView& address);
    static uint16_t portFromAddress(const ByteView& address);
    static int familyFromAddress(const ByteView& address);
    static bool isIPv4Address(const ByteView& address);
    static bool isIPv6Address(const ByteView& address);
    // Numeric host text ("" when the system cannot convert it) and port (host order) of a native
    // address.
    static std::string hostFromSockaddr4(const sockaddr_in& address);
    static std::string hostFromSockaddr6(const sockaddr_in6& address);
    static uint16_t portFromSockaddr4(const sockaddr_in& address);
    static uint16_t portFromSockaddr6(const sockaddr_in6& address);

    // Queues a datagram (shared, not copied; ignored when empty): to the connected peer, to a host
    // (looked up at once, on the global queue) and port, or to a socket address. The outcome is
    // udpSocketDidSendDataWithTag or udpSocketDidNotSendDataWithTag; `timeout` bounds only the wait
    // for the descriptor to take the datagram.
    void sendData(const ByteView& data, int64_t tag);
    void sendData(const ByteView& data, double timeout, int64_t tag);
    void sendData(const ByteView& data, const std::string& host, uint16_t port, double timeout, int64_t tag);
    void sendData(const ByteView& data, const ByteView& address, double timeout, int64_t tag);
    // Installs (null filter: removes) the filter and the queue it runs on. A synchronous filter is
    // waited for by the socket queue, so its queue must be another one: the socket queue is refused
    // with NamedException "NSInternalInconsistencyException" (it would deadlock).
    void setSendFilter(SendFilter filter, RefPtr<DispatchQueue> queue, bool isAsynchronous = true);
    void setReceiveFilter(ReceiveFilter filter, RefPtr<DispatchQueue> queue, bool isAsynchronous = true);

    // Delivers the next accepted datagram and stops, or every one until paused or closed. False
    // with `*error` before any descriptor exists (bind, connect or send first).
    bool receiveOnce(RefPtr<Error>* error);
    bool beginReceiving(RefPtr<Error>* error);
    // Stops receiving; datagrams wait in the system's buffer.
    void pauseReceiving();

    // Joins or leaves a multicast group (numeric address) on an interface (null: the default one);
    // success closes the other family's descriptor. False with `*error` when refused.
    bool joinMulticastGroup(const std::string& group, RefPtr<Error>* error);
    bool joinMulticastGroup(const std::string& group, const std::string& interface, RefPtr<Error>* error);
    bool leaveMulticastGroup(const std::string& group, RefPtr<Error>* error);
    bool leaveMulticastGroup(const std::string& group, const std::string& interface, RefPtr<Error>* error);
    // Turns broadcast sending on or off (IPv4 only: false with no error without an IPv4 descriptor).
    bool enableBroadcast(bool flag, RefPtr<Error>* error);

protected:
    // Closes the socket on its queue without a callback.
    ~JPUdpSocket() override;

private:
    // State bits of flags_.
    enum Flag : uint32_t {
        kDidCreateSockets = 0x1,
        kDidBind = 0x2,
        kConnecting = 0x4,
        kDidConnect = 0x8,
        kReceiveOnce = 0x10,
        kReceiveContinuous = 0x20,
        kIPv4Deactivated = 0x40,
        kIPv6Deactivated = 0x80,
        kSend4SourceSuspended = 0x100,
        kSend6SourceSuspended = 0x200,
        kReceive4SourceSuspended = 0x400,
        kReceive6SourceSuspended = 0x800,
        kSock4CanAcceptBytes = 0x1000,
        kSock6CanAcceptBytes = 0x2000,
        kCloseAfterSends = 0x8000,
        kFlipFlop = 0x10000,  // set: IPv4 is read next when both families have datagrams
    };
    // Configuration bits of config_.
    enum Config : uint16_t {
        kIPv4Disabled = 0x1,
        kIPv6Disabled = 0x2,
        kPreferIPv4 = 0x4,
        kPreferIPv6 = 0x8,
    };
    // One family's descriptor and what watches it.
    struct Family {
        Family(int domain, uint32_t sendSuspendedBit, uint32_t receiveSuspendedBit, uint32_t canAcceptBytesBit,
               uint32_t deactivatedBit)
            : domain(domain),
              sendSuspendedBit(sendSuspendedBit),
              receiveSuspendedBit(receiveSuspendedBit),
              canAcceptBytesBit(canAcceptBytesBit),
              deactivatedBit(deactivatedBit) {}

        const int domain;  // AF_INET or AF_INET6
        const uint32_t sendSuspendedBit, receiveSuspendedBit, canAcceptBytesBit, deactivatedBit;  // its Flag bits
        std::shared_ptr<FileDescriptor> descriptor;  // null when absent; shared with the sources
        RefPtr<DispatchSource> sendSource, receiveSource;
        uint64_t bytesAvailable = 0;  // readable count the read source last reported, less what was read
        uint32_t maxReceiveSize = kDefaultMaxReceiveSize;
        mutable ByteView cachedLocalAddress;  // filled on the first query once bound
    };
    using PacketPtr = std::shared_ptr<JPAsyncUdpPacket>;
    using SendPacketPtr = std::shared_ptr<JPAsyncUdpSendPacket>;

    // Body on the socket queue, waiting for it.
    template <typename Body>
    auto syncOnQueue(Body&& body) const;
    // Body on the socket queue, not waiting (runs at once when already there).
    void asyncOnQueue(std::function<void()> body) { asyncOnSocketQueue(*this, *socketQueue_, std::move(body)); }
    void requireSocketQueue() const { requireOnSocketQueue(*socketQueue_); }
    bool isConfigBitSet(uint16_t bits) const;
    // A filter needs a queue to run on, and a synchronous one not the socket queue (it would wait
    // for itself); else NamedException "NSInternalInconsistencyException".
    void requireFilterQueue(bool hasFilter, const RefPtr<DispatchQueue>& queue, bool isAsynchronous) const;
    void changeConfig(uint16_t set, uint16_t clear);
    Family& family(int domain) { return domain == AF_INET ? family4_ : family6_; }

    // Sends a callback to the delegate queue when the delegate implements `method` right now.
    void notify(uint32_t method, std::function<void(JPUdpSocketDelegate*, JPUdpSocket*)> call);
    void notifyDidNotSend(int64_t tag, const RefPtr<Error>& error);
    static RefPtr<Error> udpError(ErrorCode code, const std::string& text);

    // Set-up, binding, connecting, closing (socket file).
    bool preOp(RefPtr<Error>* error) const;
    bool preBind(RefPtr<Error>* error) const;
    bool createSockets(bool use4, bool use6, RefPtr<Error>* error);
    bool createSocket(Family& family, RefPtr<Error>* error);
    void setupSources(Family& family);
    bool bindSockets(const ByteView& address4, const ByteView& address6, RefPtr<Error>* error);
    bool connectOnQueue(const PacketPtr& packet, RefPtr<Error>* error);
    // Starts a lookup for `packet` that runs `finished` on the socket queue when done.
    void asyncResolve(const std::string& host, uint16_t port, PacketPtr packet, void (JPUdpSocket::*finished)());
    void maybeConnect();
    // The address of a usable family to use from a lookup's list, or empty with `*error`.
    ByteView chooseAddress(const std::vector<ByteView>& addresses, RefPtr<Error>* error) const;
    void closeWithError(const RefPtr<Error>& error);
    void closeSocket(Family& family);
    const ByteView& cachedLocalAddress(const Family& family) const;
    // The family's descriptor is open and no bind or connect deactivated it.
    bool isUsable(const Family& family) const;
    void suspendSendSource(Family& family);
    void resumeSendSource(Family& family);
    void suspendReceiveSource(Family& family);
    void resumeReceiveSource(Family& family);

    // Sending and receiving (send/receive file).
    void queueSend(SendPacketPtr packet);
    void maybeDequeueSend();
    void doPreSend();
    void doSend();
    void sendFilterAnswered(bool send);
    void doSendTimeout();
    void endCurrentSend();
    bool receiveRequest(uint32_t bit, RefPtr<Error>* error);
    void readEvent(Family& family, uint64_t readable);
    void doReceive();
    // Reads and hands on one datagram; true when the next one should be read at once.
    bool receivePass();
    void receiveFilterAnswered(bool deliver, const ByteView& data, const ByteView& address, const RefPtr<Object>& context);
    void notifyDidReceive(const ByteView& data, const ByteView& address, const RefPtr<Object>& context);
    bool performMulticastRequest(bool join, const std::string& group, const std::string& interface, RefPtr<Error>* error);

    // Touched on the socket queue only.
    uint32_t flags_ = 0;   // Flag bits; 0 when closed
    uint16_t config_ = 0;  // Config bits
    RefPtr<JPUdpSocketDelegate> delegate_;
    RefPtr<DispatchQueue> delegateQueue_;
    const RefPtr<DispatchQueue> socketQueue_;
    SendFilter sendFilter_;
    RefPtr<DispatchQueue> sendFilterQueue_;
    bool sendFilterAsync_ = true;
    ReceiveFilter receiveFilter_;
    RefPtr<DispatchQueue> receiveFilterQueue_;
    bool receiveFilterAsync_ = true;
    Family family4_{AF_INET, kSend4SourceSuspended, kReceive4SourceSuspended, kSock4CanAcceptBytes, kIPv4Deactivated};
    Family family6_{AF_INET6, kSend6SourceSuspended, kReceive6SourceSuspended, kSock6CanAcceptBytes, kIPv6Deactivated};
    RefPtr<DispatchSource> sendTimer_;
    PacketPtr currentSend_;
    bool dequeuing_ = false;  // maybeDequeueSend's loop is running
    std::deque<PacketPtr> sendQueue_;
    uint32_t pendingFilterOperations_ = 0;  // asynchronous receive-filter calls not yet answered
    ByteView cachedConnectedAddress_;       // the peer, once connected
    RefPtr<Object> userData_;
    bool releasing_ = false;  // set by the destructor: no callback follows
};

template <typename Body>
inline auto JPUdpSocket::syncOnQueue(Body&& body) const {
    return syncOnSocketQueue(*socketQueue_, std::forward<Body>(body));
}
