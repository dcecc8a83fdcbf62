// JPUdpSocket: creation, configuration, descriptors, binding, connecting, closing, addresses.
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPUdpSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPAsyncUdpSpecialPacket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSocketSource.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/SocketAddress.h"

namespace {
constexpr const char* kAssertion = "NSInternalInconsistencyException";
constexpr const char* kUnknownInterface =
    "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.";
}  // namespace

// ---- creation, queues and callbacks ----

JPUdpSocket::JPUdpSocket(RefPtr<JPUdpSocketDelegate> delegate, RefPtr<DispatchQueue> delegateQueue,
                                   RefPtr<DispatchQueue> socketQueue)
    : delegate_(std::move(delegate)),
      delegateQueue_(std::move(delegateQueue)),
      socketQueue_(socketQueueOrOwn(std::move(socketQueue), "JPUdpSocket")) {}

JPUdpSocket::~JPUdpSocket() {
    releasing_ = true;
    syncOnQueue([this] { closeWithError(nullptr); });
}

void JPUdpSocket::notify(uint32_t method, std::function<void(JPUdpSocketDelegate*, JPUdpSocket*)> call) {
    if (releasing_ || !delegateQueue_ || !delegate_ || !(delegate_->jpUdpSocketDelegateMethods() & method)) return;
    delegateQueue_->async([self = RefPtr(this), delegate = delegate_, call = std::move(call)] { call(delegate.get(), self.get()); });
}

void JPUdpSocket::notifyDidNotSend(int64_t tag, const RefPtr<Error>& error) {
    notify(JPUdpSocketDelegate::kDidNotSendData, [tag, error](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) {
        delegate->udpSocketDidNotSendDataWithTag(sock, tag, error);
    });
}

RefPtr<Error> JPUdpSocket::udpError(ErrorCode code, const std::string& text) {
    return makeRef<Error>(kErrorDomain, code, text);
}

// ---- configuration ----

RefPtr<JPUdpSocketDelegate> JPUdpSocket::delegate() const {
    return syncOnQueue([this] { return delegate_; });
}

void JPUdpSocket::setDelegate(RefPtr<JPUdpSocketDelegate> delegate) {
    asyncOnQueue([this, delegate] { delegate_ = delegate; });
}

void JPUdpSocket::synchronouslySetDelegate(RefPtr<JPUdpSocketDelegate> delegate) {
    syncOnQueue([&] { delegate_ = delegate; });
}

RefPtr<DispatchQueue> JPUdpSocket::delegateQueue() const {
    return syncOnQueue([this] { return delegateQueue_; });
}

void JPUdpSocket::setDelegateQueue(RefPtr<DispatchQueue> delegateQueue) {
    asyncOnQueue([this, delegateQueue] { delegateQueue_ = delegateQueue; });
}

void JPUdpSocket::synchronouslySetDelegateQueue(RefPtr<DispatchQueue> delegateQueue) {
    syncOnQueue([&] { delegateQueue_ = delegateQueue; });
}

void JPUdpSocket::getDelegate(RefPtr<JPUdpSocketDelegate>* delegate, RefPtr<DispatchQueue>* delegateQueue) const {
    syncOnQueue([&] {
        if (delegate) *delegate = delegate_;
        if (delegateQueue) *delegateQueue = delegateQueue_;
    });
}

void JPUdpSocket::setDelegate(RefPtr<JPUdpSocketDelegate> delegate, RefPtr<DispatchQueue> delegateQueue) {
    asyncOnQueue([this, delegate, delegateQueue] {
        delegate_ = delegate;
        delegateQueue_ = delegateQueue;
    });
}

void JPUdpSocket::synchronouslySetDelegate(RefPtr<JPUdpSocketDelegate> delegate,
                                                RefPtr<DispatchQueue> delegateQueue) {
    syncOnQueue([&] {
        delegate_ = delegate;
        delegateQueue_ = delegateQueue;
    });
}

bool JPUdpSocket::isConfigBitSet(uint16_t bits) const {
    return syncOnQueue([this, bits] { return (config_ & bits) != 0; });
}

void JPUdpSocket::changeConfig(uint16_t set, uint16_t clear) {
    asyncOnQueue([this, set, clear] { config_ = (config_ & ~clear) | set; });
}

bool JPUdpSocket::isIPv4Enabled() const { return !isConfigBitSet(kIPv4Disabled); }
void JPUdpSocket::setIPv4Enabled(bool flag) { changeConfig(flag ? 0 : kIPv4Disabled, flag ? kIPv4Disabled : 0); }
bool JPUdpSocket::isIPv6Enabled() const { return !isConfigBitSet(kIPv6Disabled); }
void JPUdpSocket::setIPv6Enabled(bool flag) { changeConfig(flag ? 0 : kIPv6Disabled, flag ? kIPv6Disabled : 0); }
bool JPUdpSocket::isIPv4Preferred() const { return isConfigBitSet(kPreferIPv4); }
bool JPUdpSocket::isIPv6Preferred() const { return isConfigBitSet(kPreferIPv6); }
bool JPUdpSocket::isIPVersionNeutral() const { return !isConfigBitSet(kPreferIPv4 | kPreferIPv6); }
void JPUdpSocket::setPreferIPv4() { changeConfig(kPreferIPv4, kPreferIPv6); }
void JPUdpSocket::setPreferIPv6() { changeConfig(kPreferIPv6, kPreferIPv4); }
void JPUdpSocket::setIPVersionNeutral() { changeConfig(0, kPreferIPv4 | kPreferIPv6); }

uint16_t JPUdpSocket::maxReceiveIPv4BufferSize() const {
    return syncOnQueue([this] { return static_cast<uint16_t>(family4_.maxReceiveSize); });
}

void JPUdpSocket::setMaxReceiveIPv4BufferSize(uint16_t max) {
    asyncOnQueue([this, max] { family4_.maxReceiveSize = max; });
}

uint32_t JPUdpSocket::maxReceiveIPv6BufferSize() const {
    return syncOnQueue([this] { return family6_.maxReceiveSize; });
}

void JPUdpSocket::setMaxReceiveIPv6BufferSize(uint32_t max) {
    asyncOnQueue([this, max] { family6_.maxReceiveSize = max; });
}

RefPtr<Object> JPUdpSocket::userData() const {
    return syncOnQueue([this] { return userData_; });
}

void JPUdpSocket::setUserData(RefPtr<Object> userData) {
    asyncOnQueue([this, userData] { userData_ = userData; });
}

// ---- descriptors ----

bool JPUdpSocket::preOp(RefPtr<Error>* error) const {
    const char* problem = nullptr;
    if (!delegate_) {
        problem = "Attempting to use socket without a delegate. Set a delegate first.";
    } else if (!delegateQueue_) {
        problem = "Attempting to use socket without a delegate queue. Set a delegate queue first.";
    }
    if (problem) *error = udpError(kBadConfigError, problem);
    return !problem;
}

bool JPUdpSocket::createSockets(bool use4, bool use6, RefPtr<Error>* error) {
    CC_REQUIRE(!(flags_ & kDidCreateSockets), kAssertion, "Sockets have already been created");
    if (use4 && !createSocket(family4_, error)) return false;
    if (use6 && !createSocket(family6_, error)) {
        family4_.descriptor.reset();
        return false;
    }
    for (Family* family : {&family4_, &family6_}) {
        if (family->descriptor) setupSources(*family);
    }
    flags_ |= kDidCreateSockets;
    return true;
}

bool JPUdpSocket::createSocket(Family& family, RefPtr<Error>* error) {
    auto descriptor = std::make_shared<FileDescriptor>(socket(family.domain, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const int fd = descriptor->get();
    const int on = 1;
    const char* failure = nullptr;
    if (fd < 0) {
        failure = "Error in socket() function";
    } else if (fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
        failure = "Error enabling non-blocking IO on socket (fcntl)";
    } else if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        failure = "Error enabling address reuse (setsockopt)";
    }
    // No SIGPIPE option on Linux: every send passes MSG_NOSIGNAL instead.
    if (failure) {
        *error = Error::posix(errno, failure);
        return false;  // the half-made descriptor closes with `descriptor`
    }
    family.descriptor = descriptor;
    return true;
}

void JPUdpSocket::setupSources(Family& family) {
    family.sendSource = DispatchSource::write(family.descriptor, socketQueue_);
    family.receiveSource = DispatchSource::read(family.descriptor, socketQueue_);
    // The sources are cancelled by closing, before the socket goes, so `this` outlives every event.
    // A source the system refused (out of descriptors) leaves the family unable to wait: its sends
    // and receives fail through their time-outs and errors rather than hang unseen.
    if (family.sendSource) {
        family.sendSource->setEventHandler([this, &family](uint64_t) {
            flags_ |= family.canAcceptBytesBit;
            const auto* send = dynamic_cast<const JPAsyncUdpSendPacket*>(currentSend_.get());
            if (send && !send->resolveInProgress && !send->filterInProgress) {
                doSend();
            } else {
                suspendSendSource(family);
            }
        });
    }
    if (family.receiveSource) {
        family.receiveSource->setEventHandler([this, &family](uint64_t readable) { readEvent(family, readable); });
    }
    family.bytesAvailable = 0;
    flags_ |= family.canAcceptBytesBit | family.sendSuspendedBit | family.receiveSuspendedBit;
}

void JPUdpSocket::suspendSendSource(Family& family) {
    suspendSocketSource(family.sendSource.get(), flags_, family.sendSuspendedBit);
}

void JPUdpSocket::resumeSendSource(Family& family) {
    resumeSocketSource(family.sendSource.get(), flags_, family.sendSuspendedBit);
}

void JPUdpSocket::suspendReceiveSource(Family& family) {
    suspendSocketSource(family.receiveSource.get(), flags_, family.receiveSuspendedBit);
}

void JPUdpSocket::resumeReceiveSource(Family& family) {
    resumeSocketSource(family.receiveSource.get(), flags_, family.receiveSuspendedBit);
}

// ---- binding ----

bool JPUdpSocket::preBind(RefPtr<Error>* error) const {
    if (!preOp(error)) return false;
    const char* problem = nullptr;
    if (flags_ & kDidBind) {
        problem = "Cannot bind a socket more than once.";
    } else if (flags_ & (kConnecting | kDidConnect)) {
        problem = "Cannot bind after connecting. If needed, bind first, then connect.";
    } else if ((config_ & kIPv4Disabled) && (config_ & kIPv6Disabled)) {
        problem = "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.";
    }
    if (problem) *error = udpError(kBadConfigError, problem);
    return !problem;
}

bool JPUdpSocket::bindToPort(uint16_t port, RefPtr<Error>* error) { return bindToPort(port, "", error); }

bool JPUdpSocket::bindToPort(uint16_t port, const std::string& interface, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool bound = syncOnQueue([&] {
        if (!preBind(&failure)) return false;
        const SocketAddress::InterfaceAddresses addresses = SocketAddress::interfaceAddresses(interface, port);
        const char* problem = nullptr;
        if (addresses.address4.empty() && addresses.address6.empty()) {
            problem = kUnknownInterface;
        } else if ((config_ & kIPv4Disabled) && addresses.address6.empty()) {
            problem = "IPv4 has been disabled and specified interface doesn't support IPv6.";
        } else if ((config_ & kIPv6Disabled) && addresses.address4.empty()) {
            problem = "IPv6 has been disabled and specified interface doesn't support IPv4.";
        }
        if (problem) {
            failure = udpError(kBadParamError, problem);
            return false;
        }
        return bindSockets(config_ & kIPv4Disabled ? ByteView() : addresses.address4,
                           config_ & kIPv6Disabled ? ByteView() : addresses.address6, &failure);
    });
    if (error) *error = failure;
    return bound;
}

bool JPUdpSocket::bindToAddress(const ByteView& address, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool bound = syncOnQueue([&] {
        if (!preBind(&failure)) return false;
        const int domain = SocketAddress::family(address);
        const char* problem = nullptr;
        if (domain == 0) {
            problem = "A valid IPv4 or IPv6 address was not given";
        } else if (domain == AF_INET && (config_ & kIPv4Disabled)) {
            problem = "IPv4 has been disabled and an IPv4 address was passed.";
        } else if (domain == AF_INET6 && (config_ & kIPv6Disabled)) {
            problem = "IPv6 has been disabled and an IPv6 address was passed.";
        }
        if (problem) {
            failure = udpError(kBadParamError, problem);
            return false;
        }
        return bindSockets(domain == AF_INET ? address : ByteView(), domain == AF_INET6 ? address : ByteView(), &failure);
    });
    if (error) *error = failure;
    return bound;
}

bool JPUdpSocket::bindSockets(const ByteView& address4, const ByteView& address6, RefPtr<Error>* error) {
    const bool use4 = !address4.empty(), use6 = !address6.empty();
    if (!(flags_ & kDidCreateSockets) && !createSockets(use4, use6, error)) return false;
    for (auto [family, address] : {std::pair{&family4_, &address4}, std::pair{&family6_, &address6}}) {
        if (address->empty()) continue;
        sockaddr_storage native;
        socklen_t length;
        SocketAddress::toNative(*address, &native, &length);
        const int fd = family->descriptor ? family->descriptor->get() : -1;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&native), length) != 0) {
            *error = Error::posix(errno, "Error in bind() function");
            // No callback: the failed bind was the caller's own request, answered by `*error`.
            closeSocket(family4_);
            closeSocket(family6_);
            flags_ &= ~kDidCreateSockets;
            return false;
        }
    }
    flags_ |= kDidBind;
    if (!use4) flags_ |= kIPv4Deactivated;
    if (!use6) flags_ |= kIPv6Deactivated;
    return true;
}

// ---- connecting ----

bool JPUdpSocket::connectToHost(const std::string& host, uint16_t port, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool queued = syncOnQueue([&] {
        if (host.empty()) {
            failure = udpError(kBadParamError, "The host param is nil. Should be domain name or IP address string.");
            return false;
        }
        auto packet = std::make_shared<JPAsyncUdpSpecialPacket>();
        packet->resolveInProgress = true;
        if (!connectOnQueue(packet, &failure)) return false;
        asyncResolve(host, port, packet, &JPUdpSocket::maybeConnect);
        return true;
    });
    if (error) *error = failure;
    return queued;
}

bool JPUdpSocket::connectToAddress(const ByteView& address, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool queued = syncOnQueue([&] {
        // Anything but an IPv4 or IPv6 address would reach the connect step as an address of no
        // family: refused here.
        if (SocketAddress::family(address) == 0) {
            failure = udpError(kBadParamError, address.empty() ? "The address param is nil. Should be a valid address."
                                                               : "A valid IPv4 or IPv6 address was not given");
            return false;
        }
        auto packet = std::make_shared<JPAsyncUdpSpecialPacket>();
        packet->resolvedAddresses = {ByteView::copyOf(address.data(), address.size())};
        return connectOnQueue(packet, &failure);
    });
    if (error) *error = failure;
    return queued;
}

bool JPUdpSocket::connectOnQueue(const PacketPtr& packet, RefPtr<Error>* error) {
    if (!preOp(error)) return false;
    const char* problem = nullptr;
    if (flags_ & (kConnecting | kDidConnect)) {
        problem = "Cannot connect a socket more than once.";
    } else if ((config_ & kIPv4Disabled) && (config_ & kIPv6Disabled)) {
        problem = "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.";
    }
    if (problem) {
        *error = udpError(kBadConfigError, problem);
        return false;
    }
    if (!(flags_ & kDidCreateSockets) &&
        !createSockets(!(config_ & kIPv4Disabled), !(config_ & kIPv6Disabled), error)) {
        return false;
    }
    flags_ |= kConnecting;
    sendQueue_.push_back(packet);
    maybeDequeueSend();
    return true;
}

void JPUdpSocket::asyncResolve(const std::string& host, uint16_t port, PacketPtr packet,
                                    void (JPUdpSocket::*finished)()) {
    DispatchQueue::global()->async([self = RefPtr(this), host, port, packet, finished] {
        RefPtr<Error> failure;
        std::vector<ByteView> addresses = SocketAddress::lookupHost(host, port, SOCK_DGRAM, &failure);
        self->socketQueue_->async([self, packet, addresses = std::move(addresses), failure, finished] {
            packet->resolvedAddresses = addresses;
            packet->resolveError = failure;
            packet->resolveInProgress = false;
            if (packet == self->currentSend_) (self.get()->*finished)();
        });
    });
}

void JPUdpSocket::maybeConnect() {
    requireSocketQueue();
    const PacketPtr packet = currentSend_;
    if (packet->resolveInProgress) return;
    RefPtr<Error> error = packet->resolveError;
    const ByteView address = error ? ByteView() : chooseAddress(packet->resolvedAddresses, &error);
    if (!error) {
        const int domain = SocketAddress::family(address);
        sockaddr_storage native;
        socklen_t length;
        SocketAddress::toNative(address, &native, &length);
        if (::connect(family(domain).descriptor->get(), reinterpret_cast<const sockaddr*>(&native), length) != 0) {
            error = Error::posix(errno, "Error in connect() function");
        } else {
            Family& other = family(domain == AF_INET ? AF_INET6 : AF_INET);
            closeSocket(other);
            flags_ |= other.deactivatedBit | kDidBind | kDidConnect;
            cachedConnectedAddress_ = address;
            notify(JPUdpSocketDelegate::kDidConnectToAddress,
                   [address](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) {
                       delegate->udpSocketDidConnectToAddress(sock, address);
                   });
        }
    }
    if (error) {
        notify(JPUdpSocketDelegate::kDidNotConnect, [error](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) {
            delegate->udpSocketDidNotConnect(sock, error);
        });
    }
    flags_ &= ~kConnecting;
    endCurrentSend();
    maybeDequeueSend();
}

ByteView JPUdpSocket::chooseAddress(const std::vector<ByteView>& addresses, RefPtr<Error>* error) const {
    CC_REQUIRE(!addresses.empty(), kAssertion, "Expected at least one address");
    ByteView address4, address6;
    bool sixFirst = false;
    for (const ByteView& address : addresses) {
        const int domain = SocketAddress::family(address);
        CC_REQUIRE(domain != 0, kAssertion, "Addresses array contains invalid address");
        ByteView& slot = domain == AF_INET ? address4 : address6;
        if (address4.empty() && address6.empty()) sixFirst = domain == AF_INET6;
        if (slot.empty()) slot = address;
    }
    // Only a usable family is chosen (a connect or send needs its descriptor): a bind or connect
    // may have deactivated one, and joining a multicast group closes the other family's descriptor
    // without a mark.
    const char* problem = nullptr;
    if ((config_ & kIPv4Disabled) && address6.empty()) {
        problem = "IPv4 has been disabled and DNS lookup found no IPv6 address(es).";
    } else if ((config_ & kIPv6Disabled) && address4.empty()) {
        problem = "IPv6 has been disabled and DNS lookup found no IPv4 address(es).";
    } else if (!isUsable(family4_) && address6.empty()) {
        problem = "IPv4 has been deactivated due to bind/connect, and DNS lookup found no IPv6 address(es).";
    } else if (!isUsable(family6_) && address4.empty()) {
        problem = "IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 address(es).";
    }
    if (problem) {
        *error = udpError(kOtherError, problem);
        return ByteView();
    }
    CC_REQUIRE((config_ & (kPreferIPv4 | kPreferIPv6)) != (kPreferIPv4 | kPreferIPv6), kAssertion, "Invalid config state");
    if (!isUsable(family4_)) address4 = ByteView();
    if (!isUsable(family6_)) address6 = ByteView();
    if (((config_ & kPreferIPv4) && !address4.empty()) || address6.empty()) return address4;
    if (address4.empty() || (config_ & kPreferIPv6) || sixFirst) return address6;
    return address4;
}

bool JPUdpSocket::isUsable(const Family& family) const {
    return family.descriptor && !(flags_ & family.deactivatedBit);
}

// ---- closing ----

void JPUdpSocket::close() {
    syncOnQueue([this] { closeWithError(nullptr); });
}

void JPUdpSocket::closeWithError(const RefPtr<Error>& error) {
    requireSocketQueue();
    if (currentSend_) endCurrentSend();
    sendQueue_.clear();
    closeSocket(family4_);
    closeSocket(family6_);
    const bool created = flags_ & kDidCreateSockets;
    flags_ = 0;
    cachedConnectedAddress_ = ByteView();
    if (created) {
        notify(JPUdpSocketDelegate::kDidClose,
               [error](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) { delegate->udpSocketDidClose(sock, error); });
    }
}

void JPUdpSocket::closeSocket(Family& family) {
    // Cancelled sources run their cancel handlers even while suspended; the descriptor closes once
    // the last of them and the socket have let go.
    for (RefPtr<DispatchSource>* source : {&family.sendSource, &family.receiveSource}) {
        if (*source) (*source)->cancel();
        source->reset();
    }
    family.descriptor.reset();
    family.bytesAvailable = 0;
    family.cachedLocalAddress = ByteView();
    flags_ &= ~family.canAcceptBytesBit;
}

// ---- state and addresses ----

bool JPUdpSocket::isConnected() const {
    return syncOnQueue([this] { return (flags_ & kDidConnect) != 0; });
}

bool JPUdpSocket::isClosed() const {
    return syncOnQueue([this] { return !(flags_ & kDidCreateSockets); });
}

bool JPUdpSocket::isIPv4() const {
    return syncOnQueue([this] {
        return flags_ & kDidCreateSockets ? family4_.descriptor != nullptr : !(config_ & kIPv4Disabled);
    });
}

bool JPUdpSocket::isIPv6() const {
    return syncOnQueue([this] {
        return flags_ & kDidCreateSockets ? family6_.descriptor != nullptr : !(config_ & kIPv6Disabled);
    });
}

const ByteView& JPUdpSocket::cachedLocalAddress(const Family& family) const {
    if (family.cachedLocalAddress.empty() && (flags_ & kDidBind) && family.descriptor) {
        family.cachedLocalAddress = SocketAddress::localAddress(family.descriptor->get());
    }
    return family.cachedLocalAddress;
}

ByteView JPUdpSocket::localAddress() const {
    return syncOnQueue([this] { return cachedLocalAddress(family4_.descriptor ? family4_ : family6_); });
}

ByteView JPUdpSocket::localAddress_IPv4() const {
    return syncOnQueue([this] { return cachedLocalAddress(family4_); });
}

ByteView JPUdpSocket::localAddress_IPv6() const {
    return syncOnQueue([this] { return cachedLocalAddress(family6_); });
}

std::string JPUdpSocket::localHost() const { return hostFromAddress(localAddress()); }
uint16_t JPUdpSocket::localPort() const { return portFromAddress(localAddress()); }
std::string JPUdpSocket::localHost_IPv4() const { return hostFromAddress(localAddress_IPv4()); }
uint16_t JPUdpSocket::localPort_IPv4() const { return portFromAddress(localAddress_IPv4()); }
std::string JPUdpSocket::localHost_IPv6() const { return hostFromAddress(localAddress_IPv6()); }
uint16_t JPUdpSocket::localPort_IPv6() const { return portFromAddress(localAddress_IPv6()); }

ByteView JPUdpSocket::connectedAddress() const {
    return syncOnQueue([this] { return cachedConnectedAddress_; });
}

std::string JPUdpSocket::connectedHost() const { return hostFromAddress(connectedAddress()); }
uint16_t JPUdpSocket::connectedPort() const { return portFromAddress(connectedAddress()); }

bool JPUdpSocket::getHost(std::string* host, uint16_t* port, int* family, const ByteView& address) {
    return SocketAddress::hostAndPort(address, host, port, family);
}

std::string JPUdpSocket::hostFromAddress(const ByteView& address) { return SocketAddress::host(address); }
uint16_t JPUdpSocket::portFromAddress(const ByteView& address) { return SocketAddress::port(address); }
int JPUdpSocket::familyFromAddress(const ByteView& address) { return SocketAddress::family(address); }
bool JPUdpSocket::isIPv4Address(const ByteView& address) { return familyFromAddress(address) == AF_INET; }
bool JPUdpSocket::isIPv6Address(const ByteView& address) { return familyFromAddress(address) == AF_INET6; }

std::string JPUdpSocket::hostFromSockaddr4(const sockaddr_in& address) { return SocketAddress::host(address); }
std::string JPUdpSocket::hostFromSockaddr6(const sockaddr_in6& address) { return SocketAddress::host(address); }
uint16_t JPUdpSocket::portFromSockaddr4(const sockaddr_in& address) { return SocketAddress::port(address); }
uint16_t JPUdpSocket::portFromSockaddr6(const sockaddr_in6& address) { return SocketAddress::port(address); }

void JPUdpSocket::applicationWillEnterForeground() {
    asyncOnQueue([this] {
        resumeReceiveSource(family4_);
        resumeReceiveSource(family6_);
    });
}

void JPUdpSocket::performBlock(const std::function<void()>& block) { syncOnQueue(block); }

int JPUdpSocket::socketFD() const {
    const int fd4 = socket4FD();
    return fd4 >= 0 ? fd4 : socket6FD();
}

int JPUdpSocket::socket4FD() const {
    return socketQueue_->isCurrent() && family4_.descriptor ? family4_.descriptor->get() : -1;
}

int JPUdpSocket::socket6FD() const {
    return socketQueue_->isCurrent() && family6_.descriptor ? family6_.descriptor->get() : -1;
}
