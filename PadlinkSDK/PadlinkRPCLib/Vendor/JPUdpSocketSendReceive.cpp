// JPUdpSocket: the send queue, the receive path, the filters, multicast and broadcast.
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPUdpSocket.h"
#include "platform/foundation/NamedException.h"
#include "platform/foundation/SocketAddress.h"

namespace {
constexpr const char* kAssertion = "NSInternalInconsistencyException";

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// Same family, address and port.
bool sameEndpoint(const ByteView& a, const ByteView& b) {
    sockaddr_storage x, y;
    socklen_t xLength, yLength;
    if (!SocketAddress::toNative(a, &x, &xLength) || !SocketAddress::toNative(b, &y, &yLength) || x.ss_family != y.ss_family) {
        return false;
    }
    if (x.ss_family == AF_INET) {
        const auto &x4 = reinterpret_cast<const sockaddr_in&>(x), &y4 = reinterpret_cast<const sockaddr_in&>(y);
        return x4.sin_port == y4.sin_port && x4.sin_addr.s_addr == y4.sin_addr.s_addr;
    }
    const auto &x6 = reinterpret_cast<const sockaddr_in6&>(x), &y6 = reinterpret_cast<const sockaddr_in6&>(y);
    return x6.sin6_port == y6.sin6_port && std::memcmp(&x6.sin6_addr, &y6.sin6_addr, sizeof x6.sin6_addr) == 0;
}

// The size of the next datagram waiting on `fd` (0 for none, and for an empty one).
uint64_t nextDatagramSize(int fd) {
    int size = 0;
    return ioctl(fd, FIONREAD, &size) == 0 && size > 0 ? static_cast<uint64_t>(size) : 0;
}

// The first IPv4 and IPv6 address a numeric host text gives (no name lookup), port 0.
SocketAddress::InterfaceAddresses numericHost(const std::string& host) {
    SocketAddress::InterfaceAddresses result;
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), "0", &hints, &found) != 0) return result;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        ByteView& slot = entry->ai_family == AF_INET ? result.address4 : result.address6;
        if ((entry->ai_family == AF_INET || entry->ai_family == AF_INET6) && slot.empty()) {
            slot = SocketAddress::fromNative(entry->ai_addr, entry->ai_addrlen);
        }
    }
    freeaddrinfo(found);
    return result;
}

// The index of the interface that has exactly this IPv6 address; 0 when none has.
unsigned indexOfInterfaceAddr6(const in6_addr& address) {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return 0;
    unsigned index = 0;
    for (const ifaddrs* entry = list; entry && index == 0; entry = entry->ifa_next) {
        if (entry->ifa_addr && entry->ifa_addr->sa_family == AF_INET6 &&
            std::memcmp(&reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr)->sin6_addr, &address, sizeof address) == 0) {
            index = if_nametoindex(entry->ifa_name);
        }
    }
    freeifaddrs(list);
    return index;
}
}  // namespace

// ---- queueing ----

void JPUdpSocket::sendData(const ByteView& data, int64_t tag) { sendData(data, -1.0, tag); }

void JPUdpSocket::sendData(const ByteView& data, double timeout, int64_t tag) {
    if (!data.empty()) queueSend(std::make_shared<JPAsyncUdpSendPacket>(data, timeout, tag));
}

void JPUdpSocket::sendData(const ByteView& data, const std::string& host, uint16_t port, double timeout, int64_t tag) {
    if (data.empty()) return;
    auto packet = std::make_shared<JPAsyncUdpSendPacket>(data, timeout, tag);
    packet->toHost = true;
    if (host.empty()) {
        packet->resolveError = udpError(kBadParamError, "The host param is nil. Should be domain name or IP address string.");
    } else {
        packet->resolveInProgress = true;
        asyncResolve(host, port, packet, &JPUdpSocket::doPreSend);
    }
    queueSend(packet);
}

void JPUdpSocket::sendData(const ByteView& data, const ByteView& address, double timeout, int64_t tag) {
    if (data.empty()) return;
    auto packet = std::make_shared<JPAsyncUdpSendPacket>(data, timeout, tag);
    packet->address = address;
    packet->addressFamily = SocketAddress::family(address);
    queueSend(packet);
}

void JPUdpSocket::queueSend(SendPacketPtr packet) {
    asyncOnQueue([this, packet = std::move(packet)] {
        sendQueue_.push_back(packet);
        maybeDequeueSend();
    });
}

void JPUdpSocket::requireFilterQueue(bool hasFilter, const RefPtr<DispatchQueue>& queue, bool isAsynchronous) const {
    CC_REQUIRE(!hasFilter || queue, kAssertion, "Must provide a dispatch_queue in which to run the filter block.");
    CC_REQUIRE(!hasFilter || isAsynchronous || queue != socketQueue_, kAssertion,
               "A synchronous filter cannot run on the socket queue: it would wait for itself.");
}

void JPUdpSocket::setSendFilter(SendFilter filter, RefPtr<DispatchQueue> queue, bool isAsynchronous) {
    requireFilterQueue(filter != nullptr, queue, isAsynchronous);
    asyncOnQueue([this, filter = std::move(filter), queue, isAsynchronous] {
        sendFilter_ = filter;
        sendFilterQueue_ = filter ? queue : nullptr;
        sendFilterAsync_ = isAsynchronous;
    });
}

void JPUdpSocket::setReceiveFilter(ReceiveFilter filter, RefPtr<DispatchQueue> queue, bool isAsynchronous) {
    requireFilterQueue(filter != nullptr, queue, isAsynchronous);
    asyncOnQueue([this, filter = std::move(filter), queue, isAsynchronous] {
        receiveFilter_ = filter;
        receiveFilterQueue_ = filter ? queue : nullptr;
        receiveFilterAsync_ = isAsynchronous;
    });
}

void JPUdpSocket::closeAfterSending() {
    asyncOnQueue([this] {
        flags_ |= kCloseAfterSends;
        if (!currentSend_ && sendQueue_.empty()) closeWithError(nullptr);
    });
}

// ---- sending ----

void JPUdpSocket::maybeDequeueSend() {
    requireSocketQueue();
    // A send that completes at once ends in another dequeue: the loop below goes on instead, so
    // a long queue never nests calls.
    if (currentSend_ || dequeuing_) return;
    if (!(flags_ & kDidCreateSockets)) {
        RefPtr<Error> error;
        if (!createSockets(!(config_ & kIPv4Disabled), !(config_ & kIPv6Disabled), &error)) {
            closeWithError(error);
            return;
        }
    }
    dequeuing_ = true;
    while (!currentSend_ && !sendQueue_.empty()) {
        currentSend_ = std::move(sendQueue_.front());
        sendQueue_.pop_front();
        const auto* send = dynamic_cast<const JPAsyncUdpSendPacket*>(currentSend_.get());
        if (!send) {
            maybeConnect();
        } else if (send->resolveError) {
            notifyDidNotSend(send->tag, send->resolveError);
            currentSend_.reset();
        } else {
            doPreSend();
        }
    }
    dequeuing_ = false;
    if (!currentSend_ && (flags_ & kCloseAfterSends)) closeWithError(nullptr);
}

void JPUdpSocket::doPreSend() {
    requireSocketQueue();
    JPAsyncUdpSendPacket& send = static_cast<JPAsyncUdpSendPacket&>(*currentSend_);
    RefPtr<Error> error;
    if (flags_ & kDidConnect) {
        if (send.toHost) {
            error = udpError(kBadConfigError, "Cannot specify destination of packet for connected socket");
        } else {
            send.address = cachedConnectedAddress_;
            send.addressFamily = SocketAddress::family(send.address);
        }
    } else if (send.resolveInProgress) {
        // The lookup's completion runs this step again.
        for (Family* family : {&family4_, &family6_}) {
            if (flags_ & family->canAcceptBytesBit) suspendSendSource(*family);
        }
        return;
    } else if (send.resolveError) {
        error = send.resolveError;
    } else if (send.toHost || send.addressFamily != 0) {
        // A given address goes through the same choice, so that it too is sent only on a usable
        // family's descriptor.
        send.address = chooseAddress(send.toHost ? send.resolvedAddresses : std::vector<ByteView>{send.address}, &error);
        send.addressFamily = SocketAddress::family(send.address);
    } else if (!send.address.empty()) {
        error = udpError(kBadParamError, "A valid IPv4 or IPv6 address was not given");
    } else {
        error = udpError(kBadConfigError, "You must specify destination of packet for a non-connected socket");
    }
    if (error) {
        notifyDidNotSend(send.tag, error);
        endCurrentSend();
        maybeDequeueSend();
        return;
    }
    if (!sendFilter_) {
        doSend();
        return;
    }
    // The filter gets its own copies: the packet stays on the socket queue.
    const SendFilter& filter = sendFilter_;
    if (!sendFilterAsync_) {
        bool accepted = false;
        sendFilterQueue_->sync([&] { accepted = filter(send.buffer, send.address, send.tag); });
        sendFilterAnswered(accepted);
        return;
    }
    send.filterInProgress = true;
    sendFilterQueue_->async([self = RefPtr(this), filter, packet = currentSend_, data = send.buffer, address = send.address,
                             tag = send.tag] {
        const bool accepted = filter(data, address, tag);
        self->socketQueue_->async([self, packet, accepted] {
            static_cast<JPAsyncUdpSendPacket&>(*packet).filterInProgress = false;
            if (packet == self->currentSend_) self->sendFilterAnswered(accepted);
        });
    });
}

void JPUdpSocket::sendFilterAnswered(bool send) {
    if (send) {
        doSend();
        return;
    }
    // A dropped datagram counts as sent.
    const int64_t tag = static_cast<const JPAsyncUdpSendPacket&>(*currentSend_).tag;
    notify(JPUdpSocketDelegate::kDidSendData,
           [tag](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) { delegate->udpSocketDidSendDataWithTag(sock, tag); });
    endCurrentSend();
    maybeDequeueSend();
}

void JPUdpSocket::doSend() {
    requireSocketQueue();
    const JPAsyncUdpSendPacket& send = static_cast<const JPAsyncUdpSendPacket&>(*currentSend_);
    Family& family = this->family(send.addressFamily == AF_INET ? AF_INET : AF_INET6);
    const int fd = family.descriptor ? family.descriptor->get() : -1;
    sockaddr_storage native;
    socklen_t length = 0;
    const bool connected = flags_ & kDidConnect;
    if (!connected) SocketAddress::toNative(send.address, &native, &length);
    ssize_t result;
    // A refusal is the report of an earlier datagram's ICMP error, which reading it clears: it says
    // nothing about this datagram, so the send is made again.
    do {
        result = connected ? ::send(fd, send.buffer.data(), send.buffer.size(), MSG_NOSIGNAL)
                           : ::sendto(fd, send.buffer.data(), send.buffer.size(), MSG_NOSIGNAL,
                                      reinterpret_cast<const sockaddr*>(&native), length);
    } while (result < 0 && (errno == EINTR || errno == ECONNREFUSED));
    flags_ |= kDidBind;
    if (result > 0) {
        notify(JPUdpSocketDelegate::kDidSendData, [tag = send.tag](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) {
            delegate->udpSocketDidSendDataWithTag(sock, tag);
        });
        endCurrentSend();
        maybeDequeueSend();
    } else if (result < 0 && !wouldBlock(errno)) {
        closeWithError(Error::posix(errno, "Error in send() function."));
    } else {
        // The descriptor is full: its write source fires when there is room and tries again.
        flags_ &= ~family.canAcceptBytesBit;
        resumeSendSource(family);
        if (!sendTimer_ && send.timeout >= 0) {
            sendTimer_ = DispatchSource::timer(socketQueue_);
            if (sendTimer_) {
                sendTimer_->setEventHandler([this](uint64_t) { doSendTimeout(); });
                sendTimer_->setTimer(send.timeout);
                sendTimer_->resume();
            }
        }
    }
}

void JPUdpSocket::doSendTimeout() {
    notifyDidNotSend(static_cast<const JPAsyncUdpSendPacket&>(*currentSend_).tag,
                     udpError(kSendTimeoutError, "Send operation timed out"));
    endCurrentSend();
    maybeDequeueSend();
}

void JPUdpSocket::endCurrentSend() {
    if (sendTimer_) sendTimer_->cancel();
    sendTimer_.reset();
    currentSend_.reset();
}

// ---- receiving ----

bool JPUdpSocket::receiveOnce(RefPtr<Error>* error) { return receiveRequest(kReceiveOnce, error); }

bool JPUdpSocket::beginReceiving(RefPtr<Error>* error) { return receiveRequest(kReceiveContinuous, error); }

bool JPUdpSocket::receiveRequest(uint32_t bit, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool started = syncOnQueue([&] {
        if (flags_ & bit) return true;
        if (!(flags_ & kDidCreateSockets)) {
            failure = udpError(kBadConfigError,
                               "Must bind socket before you can receive data. You can do this explicitly via bind, or "
                               "implicitly via connect or by sending data.");
            return false;
        }
        flags_ = (flags_ & ~(kReceiveOnce | kReceiveContinuous)) | bit;
        socketQueue_->async([self = RefPtr(this)] { self->doReceive(); });
        return true;
    });
    if (error) *error = failure;
    return started;
}

void JPUdpSocket::pauseReceiving() {
    asyncOnQueue([this] {
        flags_ &= ~(kReceiveOnce | kReceiveContinuous);
        for (Family* family : {&family4_, &family6_}) {
            if (family->bytesAvailable > 0) suspendReceiveSource(*family);
        }
    });
}

void JPUdpSocket::readEvent(Family& family, uint64_t readable) {
    if (readable == 0) {
        // Zero readable bytes is an empty datagram (anyone on the network can send one: it must
        // never close the socket), or the report of an ICMP error, or no datagram at all when a
        // pass read it between the event and this handler. The next datagram's true length tells.
        const int fd = family.descriptor->get();
        uint8_t byte;
        const ssize_t length = recv(fd, &byte, sizeof byte, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        if (length == 0) recv(fd, &byte, sizeof byte, MSG_DONTWAIT);
        if (length <= 0) return;
        readable = static_cast<uint64_t>(length);
    }
    family.bytesAvailable = readable;
    doReceive();
}

void JPUdpSocket::doReceive() {
    requireSocketQueue();
    while (receivePass()) {
    }
}

bool JPUdpSocket::receivePass() {
    const bool once = flags_ & kReceiveOnce;
    if (!(once || (flags_ & kReceiveContinuous)) || (once && pendingFilterOperations_ > 0)) {
        for (Family* family : {&family4_, &family6_}) {
            if (family->bytesAvailable > 0) suspendReceiveSource(*family);
        }
        return false;
    }
    // The system counts one datagram at a time, and a family's event may not have come yet: ask
    // it, so that reads alternate whenever both families have datagrams waiting.
    for (Family* family : {&family4_, &family6_}) {
        if (family->bytesAvailable == 0 && family->descriptor) family->bytesAvailable = nextDatagramSize(family->descriptor->get());
    }
    if (family4_.bytesAvailable == 0 && family6_.bytesAvailable == 0) {
        resumeReceiveSource(family4_);
        resumeReceiveSource(family6_);
        return false;
    }
    Family* from;
    if (flags_ & kDidConnect) {
        from = family4_.descriptor ? &family4_ : &family6_;
    } else if (family4_.bytesAvailable > 0 && family6_.bytesAvailable > 0) {
        from = flags_ & kFlipFlop ? &family4_ : &family6_;
        flags_ ^= kFlipFlop;
    } else {
        from = family4_.bytesAvailable > 0 ? &family4_ : &family6_;
    }
    const int fd = from->descriptor->get();
    auto buffer = makeRef<ByteBuffer>(std::min<uint64_t>(from->maxReceiveSize, from->bytesAvailable));
    sockaddr_storage sender{};
    socklen_t senderLength = sizeof sender;
    ssize_t result;
    do {
        result = recvfrom(fd, buffer->data(), buffer->size(), 0, reinterpret_cast<sockaddr*>(&sender), &senderLength);
    } while (result < 0 && errno == EINTR);
    // A datagram cut to the buffer is gone whole: the next pass asks for the next one's size
    // rather than subtract.
    from->bytesAvailable = 0;
    if (result == 0 || (result < 0 && (wouldBlock(errno) || errno == ECONNREFUSED))) {
        for (Family* family : {&family4_, &family6_}) {
            if (family->bytesAvailable == 0) resumeReceiveSource(*family);
        }
        return false;
    }
    if (result < 0) {
        closeWithError(Error::posix(errno, "Error in recvfrom() function"));
        return false;
    }
    buffer->resize(static_cast<size_t>(result));
    const ByteView data(buffer);
    const ByteView address = SocketAddress::fromNative(reinterpret_cast<const sockaddr*>(&sender), senderLength);
    if ((flags_ & kDidConnect) && !sameEndpoint(address, cachedConnectedAddress_)) return true;
    if (!receiveFilter_) {
        notifyDidReceive(data, address, nullptr);
    } else if (!receiveFilterAsync_) {
        RefPtr<Object> context;
        bool accepted = false;
        receiveFilterQueue_->sync([&] { accepted = receiveFilter_(data, address, &context); });
        if (!accepted) return true;
        notifyDidReceive(data, address, context);
    } else {
        ++pendingFilterOperations_;
        receiveFilterQueue_->async([self = RefPtr(this), filter = receiveFilter_, data, address] {
            RefPtr<Object> context;
            const bool accepted = filter(data, address, &context);
            self->socketQueue_->async([self, accepted, data, address, context] {
                self->receiveFilterAnswered(accepted, data, address, context);
            });
        });
        return (flags_ & kReceiveContinuous) != 0;
    }
    if (once) flags_ &= ~kReceiveOnce;
    return !once;
}

void JPUdpSocket::receiveFilterAnswered(bool deliver, const ByteView& data, const ByteView& address,
                                             const RefPtr<Object>& context) {
    --pendingFilterOperations_;
    // Nothing follows the close callback.
    if (!(flags_ & kDidCreateSockets)) return;
    if (deliver) {
        notifyDidReceive(data, address, context);
        flags_ &= ~kReceiveOnce;
    } else if ((flags_ & kReceiveOnce) && pendingFilterOperations_ == 0) {
        doReceive();
    }
}

void JPUdpSocket::notifyDidReceive(const ByteView& data, const ByteView& address, const RefPtr<Object>& context) {
    notify(JPUdpSocketDelegate::kDidReceiveData,
           [data, address, context](JPUdpSocketDelegate* delegate, JPUdpSocket* sock) {
               delegate->udpSocketDidReceiveData(sock, data, address, context);
           });
}

// ---- multicast and broadcast ----

bool JPUdpSocket::joinMulticastGroup(const std::string& group, RefPtr<Error>* error) {
    return performMulticastRequest(true, group, "", error);
}

bool JPUdpSocket::joinMulticastGroup(const std::string& group, const std::string& interface, RefPtr<Error>* error) {
    return performMulticastRequest(true, group, interface, error);
}

bool JPUdpSocket::leaveMulticastGroup(const std::string& group, RefPtr<Error>* error) {
    return performMulticastRequest(false, group, "", error);
}

bool JPUdpSocket::leaveMulticastGroup(const std::string& group, const std::string& interface, RefPtr<Error>* error) {
    return performMulticastRequest(false, group, interface, error);
}

bool JPUdpSocket::performMulticastRequest(bool join, const std::string& group, const std::string& interface,
                                               RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool done = syncOnQueue([&] {
        if (!preOp(&failure)) return false;
        if (!(flags_ & kDidBind) || (flags_ & (kConnecting | kDidConnect))) {
            failure = udpError(kBadConfigError, flags_ & kDidBind ? "Cannot join a multicast group if connected."
                                                                  : "Must bind a socket before joining a multicast group.");
            return false;
        }
        const SocketAddress::InterfaceAddresses groups = numericHost(group);
        const SocketAddress::InterfaceAddresses interfaces = SocketAddress::interfaceAddresses(interface, 0);
        const char* problem = nullptr;
        if (groups.address4.empty() && groups.address6.empty()) {
            problem = "Unknown group. Specify valid group IP address.";
        } else if (interfaces.address4.empty() && interfaces.address6.empty()) {
            problem = "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.";
        }
        sockaddr_storage groupNative, interfaceNative;
        socklen_t length;
        int status;
        Family* other;
        if (problem) {
            status = 0;
            other = nullptr;
        } else if (family4_.descriptor && !groups.address4.empty() && !interfaces.address4.empty()) {
            SocketAddress::toNative(groups.address4, &groupNative, &length);
            SocketAddress::toNative(interfaces.address4, &interfaceNative, &length);
            const ip_mreq request{reinterpret_cast<const sockaddr_in&>(groupNative).sin_addr,
                                  reinterpret_cast<const sockaddr_in&>(interfaceNative).sin_addr};
            status = setsockopt(family4_.descriptor->get(), IPPROTO_IP, join ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP,
                                &request, sizeof request);
            other = &family6_;
        } else if (family6_.descriptor && !groups.address6.empty() && !interfaces.address6.empty()) {
            SocketAddress::toNative(groups.address6, &groupNative, &length);
            SocketAddress::toNative(interfaces.address6, &interfaceNative, &length);
            const ipv6_mreq request{reinterpret_cast<const sockaddr_in6&>(groupNative).sin6_addr,
                                    indexOfInterfaceAddr6(reinterpret_cast<const sockaddr_in6&>(interfaceNative).sin6_addr)};
            status = setsockopt(family6_.descriptor->get(), IPPROTO_IPV6, join ? IPV6_JOIN_GROUP : IPV6_LEAVE_GROUP,
                                &request, sizeof request);
            other = &family4_;
        } else {
            problem = "Socket, group, and interface do not have matching IP versions";
            status = 0;
            other = nullptr;
        }
        if (problem) {
            failure = udpError(kBadParamError, problem);
            return false;
        }
        if (status != 0) {
            failure = Error::posix(errno, "Error in setsockopt() function");
            return false;
        }
        closeSocket(*other);
        return true;
    });
    if (error) *error = failure;
    return done;
}

bool JPUdpSocket::enableBroadcast(bool flag, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool done = syncOnQueue([&] {
        if (!preOp(&failure)) return false;
        if (!(flags_ & kDidCreateSockets) &&
            !createSockets(!(config_ & kIPv4Disabled), !(config_ & kIPv6Disabled), &failure)) {
            return false;
        }
        if (!family4_.descriptor) return false;
        const int value = flag ? 1 : 0;
        if (setsockopt(family4_.descriptor->get(), SOL_SOCKET, SO_BROADCAST, &value, sizeof value) != 0) {
            failure = Error::posix(errno, "Error in setsockopt() function");
            return false;
        }
        return true;
    });
    if (error) *error = failure;
    return done;
}
