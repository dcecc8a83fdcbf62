// Loopback round trips through our sockets against a minimal Asio ping-pong (the peer) and a
// minimal blocking POSIX loop (the limit): a TCP framed request/response (8-byte little-endian
// length, then the body, as the command channel frames it) and a UDP echo. Each contender talks to
// the same plain echo thread. Counters p50_us and p99_us give the round-trip percentiles. Before
// the runs, the wake-ups of an idle connected socket are counted (the goal is none).
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPTcpSocket.h"
#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPUdpSocket.h"
#include "bench/BenchmarkPairs.h"
#include "platform/dispatch/DispatchSource.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/SocketAddress.h"

namespace {

constexpr size_t kBodyBytes = 32;       // a small command, as the channel carries them
constexpr size_t kDatagramBytes = 8;    // one input word
using Clock = std::chrono::steady_clock;

// Round-trip times of one run, reported as percentiles.
class Latencies {
public:
    Latencies() { samples_.reserve(1 << 20); }
    void add(Clock::time_point start) {
        samples_.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    void report(benchmark::State& state) {
        if (samples_.empty()) return;
        std::sort(samples_.begin(), samples_.end());
        state.counters["p50_us"] = samples_[samples_.size() / 2];
        state.counters["p99_us"] = samples_[samples_.size() * 99 / 100];
    }

private:
    std::vector<double> samples_;
};

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

uint16_t portOf(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

bool readAll(int fd, char* into, size_t length) {
    for (size_t done = 0; done < length;) {
        const ssize_t got = recv(fd, into + done, length - done, 0);
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

// Plain blocking echo servers on loopback, one thread per connection, living for the process.
uint16_t startTcpEcho() {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(0);
    bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    listen(listener, 16);
    std::thread([listener] {
        for (int fd; (fd = accept(listener, nullptr, nullptr)) >= 0;) {
            std::thread([fd] {
                char frame[8 + 65536];
                uint64_t length = 0;
                while (readAll(fd, frame, 8) && (std::memcpy(&length, frame, 8), length <= 65536) &&
                       readAll(fd, frame + 8, length)) {
                    send(fd, frame, 8 + length, MSG_NOSIGNAL);
                }
                close(fd);
            }).detach();
        }
    }).detach();
    return portOf(listener);
}

uint16_t startUdpEcho() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in address = loopback(0);
    bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    std::thread([fd] {
        char datagram[2048];
        sockaddr_storage from;
        for (socklen_t length = sizeof from;; length = sizeof from) {
            const ssize_t got = recvfrom(fd, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (got >= 0) sendto(fd, datagram, static_cast<size_t>(got), 0, reinterpret_cast<sockaddr*>(&from), length);
        }
    }).detach();
    return portOf(fd);
}

const uint16_t tcpEchoPort = startTcpEcho();
const uint16_t udpEchoPort = startUdpEcho();

std::string frame() {
    std::string bytes(8 + kBodyBytes, 'b');
    const uint64_t length = kBodyBytes;  // little-endian on every machine this runs on
    std::memcpy(bytes.data(), &length, 8);
    return bytes;
}

// A one-shot signal from a callback queue to the benchmark thread.
class Signal {
public:
    void raise() {
        std::lock_guard lock(mutex_);
        raised_ = true;
        changed_.notify_one();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return raised_; });
        raised_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

// ---- TCP ----

// Reads each answer's header, then its body, and signals the benchmark thread.
class FramedClient : public JPTcpSocketDelegate {
public:
    uint32_t jpTcpSocketDelegateMethods() const override { return kDidConnectToHost | kDidReadData; }
    void socketDidConnectToHost(JPTcpSocket*, const std::string&, uint16_t) override { done.raise(); }
    void socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) override {
        if (tag == 0) {
            uint64_t length = 0;
            std::memcpy(&length, data.data(), 8);
            sock->readDataToLength(length, -1, 1);
        } else {
            done.raise();
        }
    }
    Signal done;
};

void tcpOurs(benchmark::State& state) {
    FramedClient client;
    RefPtr<DispatchQueue> delegateQueue = makeRef<SerialQueue>("bench.tcp.delegate");
    auto sock = makeRef<JPTcpSocket>(&client, delegateQueue);
    sock->connectToAddress(SocketAddress::loopback4(tcpEchoPort), nullptr);
    client.done.wait();
    const ByteView request = ByteView::copyOf(frame());
    Latencies latencies;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        sock->writeData(request, -1, 0);
        sock->readDataToLength(8, -1, 0);
        client.done.wait();
        latencies.add(start);
    }
    latencies.report(state);
    sock->synchronouslySetDelegate(nullptr);
    sock->disconnect();
    delegateQueue->sync([] {});
}

void tcpAsio(benchmark::State& state) {
    asio::io_context context;
    asio::ip::tcp::socket sock(context);
    sock.connect({asio::ip::address_v4::loopback(), tcpEchoPort});
    sock.set_option(asio::ip::tcp::no_delay(true));
    const std::string request = frame();
    char answer[8 + 65536];
    Latencies latencies;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        asio::async_write(sock, asio::buffer(request), [&](std::error_code, size_t) {
            asio::async_read(sock, asio::buffer(answer, 8), [&](std::error_code, size_t) {
                uint64_t length = 0;
                std::memcpy(&length, answer, 8);
                asio::async_read(sock, asio::buffer(answer + 8, length), [](std::error_code, size_t) {});
            });
        });
        context.restart();
        context.run();
        latencies.add(start);
    }
    latencies.report(state);
}

void tcpPosix(benchmark::State& state) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(tcpEchoPort);
    connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const std::string request = frame();
    char answer[8 + 65536];
    Latencies latencies;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        send(fd, request.data(), request.size(), MSG_NOSIGNAL);
        uint64_t length = 0;
        readAll(fd, answer, 8);
        std::memcpy(&length, answer, 8);
        readAll(fd, answer + 8, length);
        latencies.add(start);
    }
    latencies.report(state);
    close(fd);
}

// ---- UDP ----

class EchoReceiver : public JPUdpSocketDelegate {
public:
    uint32_t jpUdpSocketDelegateMethods() const override { return kDidReceiveData; }
    void udpSocketDidReceiveData(JPUdpSocket*, const ByteView&, const ByteView&, const RefPtr<Object>&) override {
        done.raise();
    }
    Signal done;
};

void udpOurs(benchmark::State& state) {
    auto receiver = makeRef<EchoReceiver>();
    RefPtr<DispatchQueue> delegateQueue = makeRef<SerialQueue>("bench.udp.delegate");
    auto sock = makeRef<JPUdpSocket>(receiver, delegateQueue);
    sock->setIPv6Enabled(false);
    sock->connectToAddress(SocketAddress::loopback4(udpEchoPort), nullptr);
    sock->beginReceiving(nullptr);
    const ByteView datagram = ByteView::copyOf(std::string(kDatagramBytes, 'd'));
    Latencies latencies;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        sock->sendData(datagram, -1.0, 0);
        receiver->done.wait();
        latencies.add(start);
    }
    latencies.report(state);
    sock->synchronouslySetDelegate(nullptr);
    sock->close();
    delegateQueue->sync([] {});
}

void udpAsio(benchmark::State& state) {
    asio::io_context context;
    asio::ip::udp::socket sock(context, asio::ip::udp::v4());
    sock.connect({asio::ip::address_v4::loopback(), udpEchoPort});
    const std::string datagram(kDatagramBytes, 'd');
    char answer[2048];
    Latencies latencies;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        sock.async_send(asio::buffer(datagram), [&](std::error_code, size_t) {
            sock.async_receive(asio::buffer(answer), [](std::error_code, size_t) {});
        });
        context.restart();
        context.run();
        latencies.add(start);
    }
    latencies.report(state);
}

void udpPosix(benchmark::State& state) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in address = loopback(udpEchoPort);
    connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const std::string datagram(kDatagramBytes, 'd');
    char answer[2048];
    Latencies latencies;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        send(fd, datagram.data(), datagram.size(), 0);
        recv(fd, answer, sizeof answer, 0);
        latencies.add(start);
    }
    latencies.report(state);
    close(fd);
}

// ---- idle ----

long voluntarySwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

// Connects one TCP and one UDP socket, both waiting to read, and counts for two seconds what their
// idleness costs: wake-ups of the dispatch layer's reactor thread, and the process's voluntary
// context switches (every thread's sleeps and wakes).
void countIdleWakeups() {
    FramedClient client;
    RefPtr<DispatchQueue> delegateQueue = makeRef<SerialQueue>("bench.idle.delegate");
    auto tcp = makeRef<JPTcpSocket>(&client, delegateQueue);
    tcp->connectToAddress(SocketAddress::loopback4(tcpEchoPort), nullptr);
    client.done.wait();
    tcp->readDataToLength(8, -1, 0);
    auto receiver = makeRef<EchoReceiver>();
    auto udp = makeRef<JPUdpSocket>(receiver, delegateQueue);
    udp->connectToAddress(SocketAddress::loopback4(udpEchoPort), nullptr);
    udp->beginReceiving(nullptr);
    delegateQueue->sync([] {});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let set-up traffic settle
    constexpr double kSeconds = 2;
    const uint64_t reactor = DispatchSource::reactorWakeups();
    const long switches = voluntarySwitches();
    std::this_thread::sleep_for(std::chrono::duration<double>(kSeconds));
    std::printf("idle connected sockets: %.1f reactor wake-ups/s, %.1f voluntary context switches/s "
                "(the sleeping benchmark thread's own wake counts 0.5)\n\n",
                static_cast<double>(DispatchSource::reactorWakeups() - reactor) / kSeconds,
                static_cast<double>(voluntarySwitches() - switches) / kSeconds);
    tcp->synchronouslySetDelegate(nullptr);
    tcp->disconnect();
    udp->synchronouslySetDelegate(nullptr);
    udp->close();
    delegateQueue->sync([] {});
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkGroups(argc, argv,
                              {{"tcp_framed_round_trip", tcpOurs, {{"asio", tcpAsio}, {"posix_blocking", tcpPosix}}},
                               {"udp_echo_round_trip", udpOurs, {{"asio", udpAsio}, {"posix_blocking", udpPosix}}}},
                              benchmark::kMicrosecond, countIdleWakeups);
}
