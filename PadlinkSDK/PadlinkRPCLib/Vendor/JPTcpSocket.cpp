#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPSocketSource.h"
#include "platform/foundation/SocketAddress.h"

namespace {

// Pending connections a listener keeps.
constexpr int kListenBacklog = 1024;

// The addresses an interface description ("eth0", "10.0.0.2:8080", "localhost") gives with
// `port`; a ":port" part counts only when `port` is 0, and only within 1-65535.
SocketAddress::InterfaceAddresses interfaceFromDescription(const std::string& description, uint16_t port) {
    const size_t colon = description.find(':');
    const std::string name = description.substr(0, colon);
    if (colon != std::string::npos && port == 0) {
        const std::string part = description.substr(colon + 1, description.find(':', colon + 1) - colon - 1);
        unsigned value = 0;
        const auto [end, status] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (status == std::errc() && end == part.data() + part.size() && value >= 1 && value <= 65535) {
            port = static_cast<uint16_t>(value);
        }
    }
    return SocketAddress::interfaceAddresses(name, port);
}

bool setFlag(int descriptor, int level, int option) {
    const int on = 1;
    return setsockopt(descriptor, level, option, &on, sizeof on) == 0;
}

// A listening descriptor bound to `address`, or null with `*error` set.
std::shared_ptr<FileDescriptor> makeListener(const ByteView& address, RefPtr<Error>* error) {
    sockaddr_storage native;
    socklen_t length;
    SocketAddress::toNative(address, &native, &length);
    auto descriptor = std::make_shared<FileDescriptor>(socket(native.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int fd = descriptor->get();
    const char* failure = nullptr;
    if (fd < 0) {
        failure = "Error in socket() function";
    } else if (fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
        failure = "Error enabling non-blocking IO on socket (fcntl)";
    } else if (!setFlag(fd, SOL_SOCKET, SO_REUSEADDR)) {
        failure = "Error enabling address reuse (setsockopt)";
    } else if (native.ss_family == AF_INET6 && !setFlag(fd, IPPROTO_IPV6, IPV6_V6ONLY)) {
        // Without it the IPv6 wildcard also takes the IPv4 port, and the IPv4 listener cannot bind.
        failure = "Error enabling IPv6-only mode (setsockopt)";
    } else if (bind(fd, reinterpret_cast<const sockaddr*>(&native), length) != 0) {
        failure = "Error in bind() function";
    } else if (listen(fd, kListenBacklog) != 0) {
        failure = "Error in listen() function";
    }
    if (!failure) return descriptor;
    *error = Error::posix(errno, failure);
    return nullptr;  // the half-made descriptor closes with `descriptor`
}

}  // namespace

// ---- creation, queues and callbacks ----

JPTcpSocket::JPTcpSocket(JPTcpSocketDelegate* delegate, RefPtr<DispatchQueue> delegateQueue,
                             RefPtr<DispatchQueue> socketQueue)
    : delegate_(std::make_shared<std::atomic<JPTcpSocketDelegate*>>(delegate)),
      delegateQueue_(std::move(delegateQueue)),
      socketQueue_(socketQueueOrOwn(std::move(socketQueue), "JPTcpSocket")) {}

JPTcpSocket::~JPTcpSocket() {
    releasing_ = true;
    if (socketQueue_->isCurrent()) {
        closeWithError(nullptr);
    } else {
        socketQueue_->sync([this] { closeWithError(nullptr); });
        // Closing cancelled the sources, whose cancel handlers were queued after the close and hold
        // the queue until they have run. Waiting for them leaves this socket with the last count
        // of a queue of its own, so that its worker thread is joined here rather than left to end
        // on its own while the process may already be exiting (with per-thread library state, such
        // as OpenSSL's, not yet released).
        socketQueue_->sync([] {});
    }
}

void JPTcpSocket::notify(uint32_t method, std::function<void(JPTcpSocketDelegate*, JPTcpSocket*)> call) {
    JPTcpSocketDelegate* delegate = delegate_->load();
    if (!delegateQueue_ || !delegate || !(delegate->jpTcpSocketDelegateMethods() & method)) return;
    RefPtr<JPTcpSocket> self = releasing_ ? nullptr : RefPtr(this);
    delegateQueue_->async([self, cell = delegate_, delegate, call = std::move(call)] {
        if (cell->load() == delegate) call(delegate, self.get());
    });
}

RefPtr<Error> JPTcpSocket::socketError(ErrorCode code, const std::string& text) {
    return makeRef<Error>(kErrorDomain, code, text);
}

// ---- configuration ----

JPTcpSocketDelegate* JPTcpSocket::delegate() const { return delegate_->load(); }

void JPTcpSocket::setDelegate(JPTcpSocketDelegate* delegate) {
    asyncOnQueue([this, delegate] { delegate_->store(delegate); });
}

void JPTcpSocket::synchronouslySetDelegate(JPTcpSocketDelegate* delegate) {
    syncOnQueue([&] { delegate_->store(delegate); });
}

RefPtr<DispatchQueue> JPTcpSocket::delegateQueue() const {
    return syncOnQueue([this] { return delegateQueue_; });
}

void JPTcpSocket::setDelegateQueue(RefPtr<DispatchQueue> delegateQueue) {
    asyncOnQueue([this, delegateQueue] { delegateQueue_ = delegateQueue; });
}

void JPTcpSocket::synchronouslySetDelegateQueue(RefPtr<DispatchQueue> delegateQueue) {
    syncOnQueue([&] { delegateQueue_ = delegateQueue; });
}

void JPTcpSocket::getDelegate(JPTcpSocketDelegate** delegate, RefPtr<DispatchQueue>* delegateQueue) const {
    syncOnQueue([&] {
        if (delegate) *delegate = delegate_->load();
        if (delegateQueue) *delegateQueue = delegateQueue_;
    });
}

void JPTcpSocket::setDelegate(JPTcpSocketDelegate* delegate, RefPtr<DispatchQueue> delegateQueue) {
    asyncOnQueue([this, delegate, delegateQueue] {
        delegate_->store(delegate);
        delegateQueue_ = delegateQueue;
    });
}

void JPTcpSocket::synchronouslySetDelegate(JPTcpSocketDelegate* delegate, RefPtr<DispatchQueue> delegateQueue) {
    syncOnQueue([&] {
        delegate_->store(delegate);
        delegateQueue_ = delegateQueue;
    });
}

bool JPTcpSocket::isConfigBitClear(uint16_t bit) const {
    return syncOnQueue([this, bit] { return !(config_ & bit); });
}

void JPTcpSocket::setConfigBit(uint16_t bit, bool set) {
    asyncOnQueue([this, bit, set] { config_ = set ? config_ | bit : config_ & ~bit; });
}

bool JPTcpSocket::autoDisconnectOnClosedReadStream() const { return isConfigBitClear(kAllowHalfDuplex); }
void JPTcpSocket::setAutoDisconnectOnClosedReadStream(bool flag) { setConfigBit(kAllowHalfDuplex, !flag); }
bool JPTcpSocket::isIPv4Enabled() const { return isConfigBitClear(kIPv4Disabled); }
void JPTcpSocket::setIPv4Enabled(bool flag) { setConfigBit(kIPv4Disabled, !flag); }
bool JPTcpSocket::isIPv6Enabled() const { return isConfigBitClear(kIPv6Disabled); }
void JPTcpSocket::setIPv6Enabled(bool flag) { setConfigBit(kIPv6Disabled, !flag); }
bool JPTcpSocket::isIPv4PreferredOverIPv6() const { return isConfigBitClear(kPreferIPv6); }
void JPTcpSocket::setPreferIPv4OverIPv6(bool flag) { setConfigBit(kPreferIPv6, !flag); }

RefPtr<Object> JPTcpSocket::userData() const {
    return syncOnQueue([this] { return userData_; });
}

void JPTcpSocket::setUserData(RefPtr<Object> userData) {
    asyncOnQueue([this, userData] { userData_ = userData; });
}

// ---- accepting ----

bool JPTcpSocket::acceptOnPort(uint16_t port, RefPtr<Error>* error) { return acceptOnInterface("", port, error); }

bool JPTcpSocket::acceptOnInterface(const std::string& interface, uint16_t port, RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool started = syncOnQueue([&] { return acceptOnQueue(interface, port, &failure); });
    if (error) *error = failure;
    return started;
}

bool JPTcpSocket::acceptOnQueue(const std::string& interface, uint16_t port, RefPtr<Error>* error) {
    const char* problem = nullptr;
    if (!delegate_->load()) {
        problem = "Attempting to accept without a delegate. Set a delegate first.";
    } else if (!delegateQueue_) {
        problem = "Attempting to accept without a delegate queue. Set a delegate queue first.";
    } else if ((config_ & kIPv4Disabled) && (config_ & kIPv6Disabled)) {
        problem = "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.";
    } else if (flags_ != 0) {
        problem = "Attempting to accept while connected or accepting connections. Disconnect first.";
    }
    if (problem) {
        *error = socketError(kBadConfigError, problem);
        return false;
    }
    readQueue_.clear();
    writeQueue_.clear();

    SocketAddress::InterfaceAddresses addresses = interfaceFromDescription(interface, port);
    if (!checkInterface(addresses, error)) return false;
    const bool use4 = !(config_ & kIPv4Disabled) && !addresses.address4.empty();
    const bool use6 = !(config_ & kIPv6Disabled) && !addresses.address6.empty();
    std::shared_ptr<FileDescriptor> listener4, listener6;
    if (use4 && !(listener4 = makeListener(addresses.address4, error))) return false;
    if (use6) {
        ByteView address6 = addresses.address6;
        if (listener4 && SocketAddress::withPort(address6, 0) == address6) {
            uint16_t chosen = 0;
            SocketAddress::hostAndPort(SocketAddress::localAddress(listener4->get()), nullptr, &chosen, nullptr);
            address6 = SocketAddress::withPort(address6, chosen);
        }
        listener6 = makeListener(address6, error);
        // A system without IPv6 still listens on IPv4; any other failure fails the call (and
        // closes listener4 on the way out).
        if (!listener6 && !(listener4 && (*error)->code() == EAFNOSUPPORT)) return false;
        *error = nullptr;
    }
    socket4_ = listener4;
    socket6_ = listener6;
    if ((listener4 && !startListening(listener4)) || (listener6 && !startListening(listener6))) {
        const int failure = errno;
        closeWithError(nullptr);
        *error = Error::posix(failure, "Error creating the listening source");
        return false;
    }
    flags_ |= kSocketStarted;
    return true;
}

bool JPTcpSocket::startListening(std::shared_ptr<FileDescriptor> listener) {
    RefPtr<DispatchSource> source = DispatchSource::read(listener, socketQueue_);
    if (!source) return false;
    const int fd = listener->get();
    // Linux gives no pending-connection count: accept until the backlog is empty.
    source->setEventHandler([this, fd](uint64_t) {
        while (doAccept(fd)) {
        }
    });
    source->resume();
    (listener == socket4_ ? accept4Source_ : accept6Source_) = source;
    return true;
}

bool JPTcpSocket::doAccept(int listener) {
    sockaddr_storage native{};
    socklen_t length = sizeof native;
    const int fd = accept4(listener, reinterpret_cast<sockaddr*>(&native), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return errno == EINTR || errno == ECONNABORTED;
    auto accepted = std::make_shared<FileDescriptor>(fd);
    // With nobody to hand it to, the connection closes here with `accepted`.
    if (!delegateQueue_) return true;
    const ByteView address = SocketAddress::fromNative(reinterpret_cast<const sockaddr*>(&native), length);
    delegateQueue_->async([listenerSocket = RefPtr(this), cell = delegate_, queue = delegateQueue_, accepted, address] {
        JPTcpSocketDelegate* delegate = cell->load();
        const uint32_t methods = delegate ? delegate->jpTcpSocketDelegateMethods() : 0;
        RefPtr<DispatchQueue> childQueue;
        if (methods & JPTcpSocketDelegate::kNewSocketQueueForConnection) {
            childQueue = delegate->newSocketQueueForConnectionFromAddress(address, listenerSocket.get());
        }
        RefPtr<JPTcpSocket> child = makeRef<JPTcpSocket>(delegate, queue, childQueue);
        (SocketAddress::family(address) == AF_INET6 ? child->socket6_ : child->socket4_) = accepted;
        child->flags_ = kSocketStarted | kConnected;
        child->asyncOnQueue([child = child.get()] { child->setupReadAndWriteSources(); });
        if (methods & JPTcpSocketDelegate::kDidAcceptNewSocket) {
            delegate->socketDidAcceptNewSocket(listenerSocket.get(), child.get());
        }
    });
    return true;
}

// ---- connecting ----

bool JPTcpSocket::connectToHost(const std::string& host, uint16_t port, RefPtr<Error>* error) {
    return connectToHost(host, port, "", -1, error);
}

bool JPTcpSocket::connectToHost(const std::string& host, uint16_t port, double timeout, RefPtr<Error>* error) {
    return connectToHost(host, port, "", timeout, error);
}

bool JPTcpSocket::connectToHost(const std::string& host, uint16_t port, const std::string& interface, double timeout,
                                  RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool started = syncOnQueue([&] { return connectToHostOnQueue(host, port, interface, timeout, &failure); });
    if (error) *error = failure;
    return started;
}

bool JPTcpSocket::connectToAddress(const ByteView& address, RefPtr<Error>* error) {
    return connectToAddress(address, "", -1, error);
}

bool JPTcpSocket::connectToAddress(const ByteView& address, double timeout, RefPtr<Error>* error) {
    return connectToAddress(address, "", timeout, error);
}

bool JPTcpSocket::connectToAddress(const ByteView& address, const std::string& interface, double timeout,
                                     RefPtr<Error>* error) {
    RefPtr<Error> failure;
    const bool started = syncOnQueue([&] { return connectToAddressOnQueue(address, interface, timeout, &failure); });
    if (error) *error = failure;
    return started;
}

bool JPTcpSocket::checkInterface(const SocketAddress::InterfaceAddresses& addresses, RefPtr<Error>* error) const {
    const char* problem = nullptr;
    if (addresses.address4.empty() && addresses.address6.empty()) {
        problem = "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.";
    } else if ((config_ & kIPv4Disabled) && addresses.address6.empty()) {
        problem = "IPv4 has been disabled and specified interface doesn't support IPv6.";
    } else if ((config_ & kIPv6Disabled) && addresses.address4.empty()) {
        problem = "IPv6 has been disabled and specified interface doesn't support IPv4.";
    }
    if (problem) *error = socketError(kBadParamError, problem);
    return !problem;
}

bool JPTcpSocket::preConnect(const std::string& interface, RefPtr<Error>* error) {
    const char* problem = nullptr;
    if (!delegate_->load()) {
        problem = "Attempting to connect without a delegate. Set a delegate first.";
    } else if (!delegateQueue_) {
        problem = "Attempting to connect without a delegate queue. Set a delegate queue first.";
    } else if (flags_ != 0) {
        problem = "Attempting to connect while connected or accepting connections. Disconnect first.";
    } else if ((config_ & kIPv4Disabled) && (config_ & kIPv6Disabled)) {
        problem = "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.";
    }
    if (problem) {
        *error = socketError(kBadConfigError, problem);
        return false;
    }
    if (!interface.empty()) {
        SocketAddress::InterfaceAddresses addresses = interfaceFromDescription(interface, 0);
        if (!checkInterface(addresses, error)) return false;
        connectInterface4_ = addresses.address4;
        connectInterface6_ = addresses.address6;
    }
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

bool JPTcpSocket::connectToHostOnQueue(const std::string& host, uint16_t port, const std::string& interface,
                                         double timeout, RefPtr<Error>* error) {
    if (host.empty()) {
        *error = socketError(kBadParamError,
                             "Invalid host parameter (nil or \"\"). Should be a domain name or IP address string.");
        return false;
    }
    if (!preConnect(interface, error)) return false;
    flags_ |= kSocketStarted;
    DispatchQueue::global()->async([self = RefPtr(this), index = connectIndex_, host, port] {
        RefPtr<Error> failure;
        ByteView address4, address6;
        for (const ByteView& address : SocketAddress::lookupHost(host, port, SOCK_STREAM, &failure)) {
            ByteView& slot = SocketAddress::family(address) == AF_INET ? address4 : address6;
            if (slot.empty()) slot = address;
        }
        self->socketQueue_->async([self, index, address4, address6, failure] {
            self->lookupFinished(index, address4, address6, failure);
        });
    });
    startConnectTimeout(timeout);
    return true;
}

void JPTcpSocket::lookupFinished(int index, const ByteView& address4, const ByteView& address6,
                                   const RefPtr<Error>& error) {
    if (index != connectIndex_) return;
    if (error) {
        closeWithError(error);
        return;
    }
    const bool use4 = !(config_ & kIPv4Disabled), use6 = !(config_ & kIPv6Disabled);
    if (!use4 && address6.empty()) {
        closeWithError(socketError(kOtherError, "IPv4 has been disabled and DNS lookup found no IPv6 address."));
    } else if (!use6 && address4.empty()) {
        closeWithError(socketError(kOtherError, "IPv6 has been disabled and DNS lookup found no IPv4 address."));
    } else {
        RefPtr<Error> failure;
        // A disabled family is never used, even when the lookup found it.
        if (!connectWithAddresses(use4 ? address4 : ByteView(), use6 ? address6 : ByteView(), &failure)) {
            closeWithError(failure);
        }
    }
}

bool JPTcpSocket::connectToAddressOnQueue(const ByteView& address, const std::string& interface, double timeout,
                                            RefPtr<Error>* error) {
    const int family = SocketAddress::family(address);
    const bool is4 = family == AF_INET && address.size() == sizeof(sockaddr_in);
    const bool is6 = family == AF_INET6 && address.size() == sizeof(sockaddr_in6);
    const char* problem = nullptr;
    if (!is4 && !is6) {
        problem = "A valid IPv4 or IPv6 address was not given";
    } else if (is4 && (config_ & kIPv4Disabled)) {
        problem = "IPv4 has been disabled and an IPv4 address was passed.";
    } else if (is6 && (config_ & kIPv6Disabled)) {
        problem = "IPv6 has been disabled and an IPv6 address was passed.";
    }
    if (problem) {
        *error = socketError(kBadParamError, problem);
        return false;
    }
    if (!preConnect(interface, error)) return false;
    if (!connectWithAddresses(is4 ? address : ByteView(), is6 ? address : ByteView(), error)) {
        endConnectTimeout();
        return false;
    }
    flags_ |= kSocketStarted;
    startConnectTimeout(timeout);
    return true;
}

bool JPTcpSocket::connectWithAddresses(const ByteView& address4, const ByteView& address6, RefPtr<Error>* error) {
    requireSocketQueue();
    const bool use6 = ((config_ & kPreferIPv6) && !address6.empty()) || address4.empty();
    sockaddr_storage native;
    socklen_t length;
    SocketAddress::toNative(use6 ? address6 : address4, &native, &length);
    auto descriptor =
        std::make_shared<FileDescriptor>(socket(native.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int fd = descriptor->get();
    if (fd < 0) {
        *error = Error::posix(errno, "Error in socket() function");
        return false;
    }
    const ByteView& interface = use6 ? connectInterface6_ : connectInterface4_;
    if (!interface.empty()) {
        sockaddr_storage local;
        socklen_t localLength;
        SocketAddress::toNative(interface, &local, &localLength);
        if (portFromAddress(interface) != 0) setFlag(fd, SOL_SOCKET, SO_REUSEADDR);
        if (bind(fd, reinterpret_cast<const sockaddr*>(&local), localLength) != 0) {
            *error = Error::posix(errno, "Error in bind() function");
            return false;  // the descriptor closes with `descriptor`
        }
    }
    // Non-blocking: the outcome arrives as writability, so no thread waits on a descriptor that a
    // time-out may close (and the system reuse) meanwhile.
    const int index = connectIndex_;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&native), length) == 0) {
        socketQueue_->async([self = RefPtr(this), index] { self->didConnect(index); });
    } else if (errno == EINPROGRESS) {
        connectSource_ = DispatchSource::write(descriptor, socketQueue_);
        if (!connectSource_) {
            *error = Error::posix(errno, "Error in connect() function");
            return false;
        }
        connectSource_->setEventHandler([this, index, fd](uint64_t) {
            int status = 0;
            socklen_t size = sizeof status;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &status, &size) != 0) status = errno;
            if (status == 0) {
                didConnect(index);
            } else {
                didNotConnect(index, Error::posix(status, "Error in connect() function"));
            }
        });
        connectSource_->resume();
    } else {
        socketQueue_->async([self = RefPtr(this), index, failure = Error::posix(errno, "Error in connect() function")] {
            self->didNotConnect(index, failure);
        });
    }
    (use6 ? socket6_ : socket4_) = descriptor;
    return true;
}

void JPTcpSocket::didConnect(int index) {
    if (index != connectIndex_) return;
    flags_ |= kConnected;
    endConnectTimeout();
    const std::string host = connectedHost();
    const uint16_t port = connectedPort();
    notify(JPTcpSocketDelegate::kDidConnectToHost,
           [host, port](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) { delegate->socketDidConnectToHost(sock, host, port); });
    if (!setupReadAndWriteSources()) return;
    maybeDequeueRead();
    maybeDequeueWrite();
}

void JPTcpSocket::didNotConnect(int index, const RefPtr<Error>& error) {
    if (index == connectIndex_) closeWithError(error);
}

void JPTcpSocket::startConnectTimeout(double timeout) {
    if (timeout >= 0) connectTimer_ = makeTimer(timeout, &JPTcpSocket::doConnectTimeout);
}

void JPTcpSocket::doConnectTimeout() {
    endConnectTimeout();
    closeWithError(socketError(kConnectTimeoutError, "Attempt to connect to host timed out"));
}

void JPTcpSocket::endConnectTimeout() {
    if (connectTimer_) connectTimer_->cancel();
    if (connectSource_) connectSource_->cancel();
    connectTimer_.reset();
    connectSource_.reset();
    ++connectIndex_;
    connectInterface4_ = ByteView();
    connectInterface6_ = ByteView();
}

// ---- connected descriptors, timers and closing ----

bool JPTcpSocket::setupReadAndWriteSources() {
    const std::shared_ptr<FileDescriptor>& descriptor = connectedDescriptor();
    readSource_ = DispatchSource::read(descriptor, socketQueue_);
    writeSource_ = DispatchSource::write(descriptor, socketQueue_);
    if (!readSource_ || !writeSource_) {
        closeWithError(Error::posix(errno, "Error creating the descriptor's dispatch sources"));
        return false;
    }
    // The sources go before the socket (closing cancels them), so `this` outlives every event.
    readSource_->setEventHandler([this](uint64_t readable) {
        socketFDBytesAvailable_ = readable;
        if (readable > 0) {
            doReadData();
        } else if (isAtEndOfStream()) {
            doReadEOF();
        }
    });
    writeSource_->setEventHandler([this](uint64_t) {
        flags_ |= kSocketCanAcceptBytes;
        doWriteData();
    });
    socketFDBytesAvailable_ = 0;
    flags_ &= ~kReadSourceSuspended;
    readSource_->resume();
    // The write source stays suspended until a write waits for room.
    flags_ |= kSocketCanAcceptBytes | kWriteSourceSuspended;
    return true;
}

bool JPTcpSocket::isAtEndOfStream() const {
    // A count of 0 is also what an event reports when a read pass took its bytes between the
    // event and its handler: only the stream itself can tell.
    char byte;
    ssize_t result;
    do {
        result = recv(connectedDescriptor()->get(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    } while (result < 0 && errno == EINTR);
    return result == 0 || (result < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

RefPtr<DispatchSource> JPTcpSocket::makeTimer(double seconds, void (JPTcpSocket::*fired)()) {
    RefPtr<DispatchSource> timer = DispatchSource::timer(socketQueue_);
    if (!timer) {
        socketQueue_->async([self = RefPtr(this), failure = Error::posix(errno, "Error creating a timer")] {
            self->closeWithError(failure);
        });
        return nullptr;
    }
    timer->setEventHandler([this, fired](uint64_t) { (this->*fired)(); });
    timer->setTimer(seconds);
    timer->resume();
    return timer;
}

const std::shared_ptr<FileDescriptor>& JPTcpSocket::connectedDescriptor() const { return socket4_ ? socket4_ : socket6_; }

void JPTcpSocket::suspendReadSource() { suspendSocketSource(readSource_.get(), flags_, kReadSourceSuspended); }

void JPTcpSocket::resumeReadSource() { resumeSocketSource(readSource_.get(), flags_, kReadSourceSuspended); }

void JPTcpSocket::suspendWriteSource() { suspendSocketSource(writeSource_.get(), flags_, kWriteSourceSuspended); }

void JPTcpSocket::resumeWriteSource() { resumeSocketSource(writeSource_.get(), flags_, kWriteSourceSuspended); }

void JPTcpSocket::closeWithError(const RefPtr<Error>& error) {
    requireSocketQueue();
    endConnectTimeout();
    if (currentRead_) endCurrentRead();
    if (currentWrite_) endCurrentWrite();
    readQueue_.clear();
    writeQueue_.clear();
    reader_.preBuffer().reset();
    endTLS();
    // Each descriptor closes once the socket and every source watching it have let go: the
    // sources hold it until their cancel handlers have run.
    for (RefPtr<DispatchSource>* source : {&accept4Source_, &accept6Source_, &readSource_, &writeSource_}) {
        if (*source) (*source)->cancel();
        source->reset();
    }
    socket4_.reset();
    socket6_.reset();
    socketFDBytesAvailable_ = 0;
    const bool started = flags_ & kSocketStarted;
    flags_ = 0;
    if (started) {
        notify(JPTcpSocketDelegate::kDidDisconnect,
               [error](JPTcpSocketDelegate* delegate, JPTcpSocket* sock) { delegate->socketDidDisconnect(sock, error); });
    }
}

void JPTcpSocket::maybeClose() {
    const bool readsDone = readQueue_.empty() && !currentRead_ && !(flags_ & kStartingReadTLS);
    const bool writesDone = writeQueue_.empty() && !currentWrite_ && !(flags_ & kStartingWriteTLS);
    if (flags_ & kDisconnectAfterReads) {
        if (readsDone && (!(flags_ & kDisconnectAfterWrites) || writesDone)) closeWithError(nullptr);
    } else if ((flags_ & kDisconnectAfterWrites) && writesDone) {
        closeWithError(nullptr);
    }
}

void JPTcpSocket::disconnect() {
    syncOnQueue([this] {
        if (flags_ & kSocketStarted) closeWithError(nullptr);
    });
}

void JPTcpSocket::disconnectAfter(uint32_t bits) {
    asyncOnQueue([this, bits] {
        if (!(flags_ & kSocketStarted)) return;
        flags_ |= kForbidReadsWrites | bits;
        maybeClose();
    });
}

void JPTcpSocket::disconnectAfterReading() { disconnectAfter(kDisconnectAfterReads); }
void JPTcpSocket::disconnectAfterWriting() { disconnectAfter(kDisconnectAfterWrites); }
void JPTcpSocket::disconnectAfterReadingAndWriting() { disconnectAfter(kDisconnectAfterReads | kDisconnectAfterWrites); }

// ---- state and addresses ----

bool JPTcpSocket::isDisconnected() const {
    return syncOnQueue([this] { return !(flags_ & kSocketStarted); });
}

bool JPTcpSocket::isConnected() const {
    return syncOnQueue([this] { return (flags_ & kConnected) != 0; });
}

bool JPTcpSocket::isIPv4() const {
    return syncOnQueue([this] { return socket4_ != nullptr; });
}

bool JPTcpSocket::isIPv6() const {
    return syncOnQueue([this] { return socket6_ != nullptr; });
}

bool JPTcpSocket::isSecure() const {
    return syncOnQueue([this] { return (flags_ & kSecure) != 0; });
}

namespace {
ByteView peerOf(const std::shared_ptr<FileDescriptor>& descriptor) {
    return descriptor ? SocketAddress::peerAddress(descriptor->get()) : ByteView();
}
ByteView localOf(const std::shared_ptr<FileDescriptor>& descriptor) {
    return descriptor ? SocketAddress::localAddress(descriptor->get()) : ByteView();
}
}  // namespace

std::string JPTcpSocket::connectedHost() const {
    return syncOnQueue([this] { return hostFromAddress(peerOf(connectedDescriptor())); });
}

uint16_t JPTcpSocket::connectedPort() const {
    return syncOnQueue([this] { return portFromAddress(peerOf(connectedDescriptor())); });
}

std::string JPTcpSocket::localHost() const {
    return syncOnQueue([this] { return hostFromAddress(localOf(connectedDescriptor())); });
}

uint16_t JPTcpSocket::localPort() const {
    return syncOnQueue([this] { return portFromAddress(localOf(connectedDescriptor())); });
}

ByteView JPTcpSocket::connectedAddress() const {
    return syncOnQueue([this] { return peerOf(connectedDescriptor()); });
}

ByteView JPTcpSocket::localAddress() const {
    return syncOnQueue([this] { return localOf(connectedDescriptor()); });
}

std::string JPTcpSocket::connectedHost4() const { return hostFromAddress(peerOf(socket4_)); }
std::string JPTcpSocket::connectedHost6() const { return hostFromAddress(peerOf(socket6_)); }
uint16_t JPTcpSocket::connectedPort4() const { return portFromAddress(peerOf(socket4_)); }
uint16_t JPTcpSocket::connectedPort6() const { return portFromAddress(peerOf(socket6_)); }
std::string JPTcpSocket::localHost4() const { return hostFromAddress(localOf(socket4_)); }
std::string JPTcpSocket::localHost6() const { return hostFromAddress(localOf(socket6_)); }
uint16_t JPTcpSocket::localPort4() const { return portFromAddress(localOf(socket4_)); }
uint16_t JPTcpSocket::localPort6() const { return portFromAddress(localOf(socket6_)); }

std::string JPTcpSocket::hostFromAddress(const ByteView& address) { return SocketAddress::host(address); }
uint16_t JPTcpSocket::portFromAddress(const ByteView& address) { return SocketAddress::port(address); }

bool JPTcpSocket::getHost(std::string* host, uint16_t* port, const ByteView& address) {
    return SocketAddress::hostAndPort(address, host, port, nullptr);
}

ByteView JPTcpSocket::CRLFData() { return ByteView::copyOf("\r\n"); }
ByteView JPTcpSocket::CRData() { return ByteView::copyOf("\r"); }
ByteView JPTcpSocket::LFData() { return ByteView::copyOf("\n"); }
ByteView JPTcpSocket::ZeroData() { return ByteView::copyOf(std::string_view("\0", 1)); }

void JPTcpSocket::performBlock(const std::function<void()>& block) { syncOnQueue(block); }

int JPTcpSocket::socketFD() const {
    if (!socketQueue_->isCurrent()) return -1;
    return connectedDescriptor() ? connectedDescriptor()->get() : -1;
}

int JPTcpSocket::socket4FD() const { return socketQueue_->isCurrent() && socket4_ ? socket4_->get() : -1; }

int JPTcpSocket::socket6FD() const { return socketQueue_->isCurrent() && socket6_ ? socket6_->get() : -1; }
