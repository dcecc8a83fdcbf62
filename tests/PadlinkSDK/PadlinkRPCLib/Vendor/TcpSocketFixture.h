#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"
#include "SocketQueueProbe.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/SocketAddress.h"

// Polls `condition` until it holds, for 10 s at most (a guard against hangs, not a measurement).
template <typename Condition>
bool eventually(Condition condition) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::yield();
    }
    return true;
}

// Records every callback as a line ("read 3 hello", "disconnect 7") on the delegate queue.
class Recorder : public JPTcpSocketDelegate {
public:
    uint32_t methods = ~0u;
    std::deque<double> timeoutAnswers;  // consumed by the time-out questions; 0 once empty
    std::vector<RefPtr<JPTcpSocket>> accepted;
    uint64_t partialRead = 0, partialWritten = 0;
    RefPtr<Error> lastError;  // of the last disconnect; read after waiting for it

    uint32_t jpTcpSocketDelegateMethods() const override { return methods; }
    void socketDidAcceptNewSocket(JPTcpSocket*, JPTcpSocket* newSocket) override {
        accepted.push_back(RefPtr(newSocket));
        add("accept");
    }
    void socketDidConnectToHost(JPTcpSocket*, const std::string& host, uint16_t) override { add("connect " + host); }
    void socketDidReadData(JPTcpSocket*, const ByteView& data, int64_t tag) override {
        add("read " + std::to_string(tag) + " " + std::string(data.text()));
    }
    void socketDidReadPartialDataOfLength(JPTcpSocket*, uint64_t length, int64_t) override {
        partialRead += length;
        add("partial read");
    }
    double socketShouldTimeoutReadWithTag(JPTcpSocket*, int64_t, double elapsed, uint64_t) override {
        return answer("read timeout", elapsed);
    }
    void socketDidWriteDataWithTag(JPTcpSocket*, int64_t tag) override { add("wrote " + std::to_string(tag)); }
    void socketDidWritePartialDataOfLength(JPTcpSocket*, uint64_t length, int64_t) override { partialWritten += length; }
    double socketShouldTimeoutWriteWithTag(JPTcpSocket*, int64_t, double elapsed, uint64_t) override {
        return answer("write timeout", elapsed);
    }
    void socketDidCloseReadStream(JPTcpSocket*) override { add("read stream closed"); }
    void socketDidSecure(JPTcpSocket*) override { add("secure"); }
    void socketDidDisconnect(JPTcpSocket*, const RefPtr<Error>& error) override {
        lastError = error;
        add(error ? "disconnect " + std::to_string(error->code()) : std::string("disconnect"));
    }

    void add(const std::string& line) {
        std::lock_guard lock(mutex_);
        lines_.push_back(line);
        changed_.notify_all();
    }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    long count(const std::string& line) const {
        std::lock_guard lock(mutex_);
        return std::count(lines_.begin(), lines_.end(), line);
    }
    // Waits (10 s at most, a guard against hangs, not a measurement) until `line` was recorded
    // `times` times.
    bool waitFor(const std::string& line, long times = 1) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10),
                                 [&] { return std::count(lines_.begin(), lines_.end(), line) >= times; });
    }

private:
    double answer(const std::string& question, double elapsed) {
        char line[64];
        std::snprintf(line, sizeof line, "%s %.2f", question.c_str(), elapsed);
        add(line);
        if (timeoutAnswers.empty()) return 0;
        const double extension = timeoutAnswers.front();
        timeoutAnswers.pop_front();
        return extension;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

// Plain blocking POSIX sockets for the far end, driven from the test's thread.
namespace Peer {
inline bool hasIPv6Loopback() {
    const int fd = socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_storage native;
    socklen_t length;
    SocketAddress::toNative(SocketAddress::loopback6(0), &native, &length);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&native), length) == 0;
    if (fd >= 0) close(fd);
    return bound;
}
inline ByteView loopback(int family, uint16_t port) {
    return family == AF_INET6 ? SocketAddress::loopback6(port) : SocketAddress::loopback4(port);
}
// `receiveBuffer` > 0 shrinks the receive buffer of the connections it accepts.
inline int listenOn(int family, uint16_t* port, int backlog = 8, int receiveBuffer = 0) {
    const int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_storage native;
    socklen_t length;
    SocketAddress::toNative(loopback(family, 0), &native, &length);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&native), length), 0);
    EXPECT_EQ(listen(fd, backlog), 0);
    SocketAddress::hostAndPort(SocketAddress::localAddress(fd), nullptr, port, nullptr);
    return fd;
}
// The next connection to `listener`; -1, failing the test, when none comes within 10 s (a guard
// against hangs, not a measurement).
inline int acceptNext(int listener) {
    pollfd waiting{listener, POLLIN, 0};
    if (poll(&waiting, 1, 10000) != 1) {
        ADD_FAILURE() << "no connection came to accept";
        return -1;
    }
    return accept(listener, nullptr, nullptr);
}
inline int connectTo(int family, uint16_t port) {
    const int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage native;
    socklen_t length;
    SocketAddress::toNative(loopback(family, port), &native, &length);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&native), length), 0);
    return fd;
}
inline void sendAll(int fd, const std::string& bytes) {
    ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}
// Reads until `length` bytes came or the stream ended. Gives up, failing the test, when nothing
// comes for 10 s (a guard against hangs, as for accepting).
inline std::string receive(int fd, size_t length) {
    std::string bytes(length, '\0');
    size_t done = 0;
    while (done < length) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 10000) != 1) {
            ADD_FAILURE() << "nothing came to receive for 10 s, with " << done << " of " << length << " bytes received";
            break;
        }
        const ssize_t got = recv(fd, bytes.data() + done, length - done, 0);
        if (got <= 0) break;
        done += size_t(got);
    }
    bytes.resize(done);
    return bytes;
}
}  // namespace Peer

// A socket with a recording delegate on its own delegate queue.
class TcpSocketTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Callbacks still queued must not reach the recorder once it is gone.
        socket_->synchronouslySetDelegate(nullptr);
        delegateQueue_->sync([] {});
        for (const RefPtr<JPTcpSocket>& child : recorder_.accepted) child->synchronouslySetDelegate(nullptr);
        for (int fd : peers_) close(fd);
    }
    int keep(int fd) {
        peers_.push_back(fd);
        return fd;
    }
    // Connects socket_ to a plain listener on 127.0.0.1 and returns the far end's descriptor.
    int connectPair(int receiveBuffer = 0) {
        uint16_t port = 0;
        const int listener = keep(Peer::listenOn(AF_INET, &port, 8, receiveBuffer));
        EXPECT_TRUE(socket_->connectToAddress(SocketAddress::loopback4(port), nullptr));
        const int far = keep(Peer::acceptNext(listener));
        // Bounded as the accept is, so that a connection never reported fails with this message.
        const bool reported = eventually([&] { return socket_->isConnected(); });
        if (!reported) ADD_FAILURE() << "the socket never reported its connection";
        return far;
    }
    // Waits until every callback issued so far has been delivered.
    void settle() {
        socket_->performBlock([] {});
        delegateQueue_->sync([] {});
    }

    RefPtr<DispatchQueue> delegateQueue_ = makeRef<SerialQueue>("org.vantrel.test.delegate");
    RefPtr<CountingQueue> socketQueue_ = makeRef<CountingQueue>("org.vantrel.test.socket");
    Recorder recorder_;
    RefPtr<JPTcpSocket> socket_ = makeRef<JPTcpSocket>(&recorder_, delegateQueue_, socketQueue_);
    std::vector<int> peers_;
};
