#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/Vendor/JPUdpSocket.h"
#include "SocketQueueProbe.h"
#include "TcpSocketFixture.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/NamedException.h"

namespace {

// Records every callback as a line ("sent 3", "not sent 4 code 1", "got 5 from 127.0.0.1",
// "closed") on the delegate queue.
class UdpRecorder : public JPUdpSocketDelegate {
public:
    uint32_t jpUdpSocketDelegateMethods() const override { return ~0u; }
    void udpSocketDidConnectToAddress(JPUdpSocket*, const ByteView& address) override {
        add("connected " + JPUdpSocket::hostFromAddress(address));
    }
    void udpSocketDidNotConnect(JPUdpSocket*, const RefPtr<Error>& error) override {
        add("not connected " + error->domain());
    }
    void udpSocketDidSendDataWithTag(JPUdpSocket*, int64_t tag) override { add("sent " + std::to_string(tag)); }
    void udpSocketDidNotSendDataWithTag(JPUdpSocket*, int64_t tag, const RefPtr<Error>& error) override {
        add("not sent " + std::to_string(tag) + " code " + std::to_string(error->code()) + " " + error->localizedDescription());
    }
    void udpSocketDidReceiveData(JPUdpSocket*, const ByteView& data, const ByteView& address,
                                 const RefPtr<Object>& context) override {
        add("got " + std::to_string(data.size()) + " from " + JPUdpSocket::hostFromAddress(address) +
            (context ? " with context" : ""));
    }
    void udpSocketDidClose(JPUdpSocket*, const RefPtr<Error>& error) override {
        add(error ? "closed " + std::to_string(error->code()) : std::string("closed"));
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
    // Waits (10 s at most, a guard against hangs, not a measurement) for `count` lines.
    bool waitForLines(size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return lines_.size() >= count; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

// A plain UDP socket bound to a loopback port.
struct UdpPeer {
    explicit UdpPeer(int family = AF_INET) : fd(socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
        sockaddr_storage native;
        socklen_t length;
        SocketAddress::toNative(Peer::loopback(family, 0), &native, &length);
        EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&native), length), 0);
        address = SocketAddress::localAddress(fd);
    }
    ~UdpPeer() { close(fd); }
    void sendTo(const ByteView& to, size_t size) const {
        const std::string bytes(size, 'x');
        sockaddr_storage native;
        socklen_t length;
        SocketAddress::toNative(to, &native, &length);
        EXPECT_EQ(sendto(fd, bytes.data(), size, 0, reinterpret_cast<sockaddr*>(&native), length), static_cast<ssize_t>(size));
    }
    // The next datagram's bytes; "timeout" when none comes within 10 s.
    std::string receive() const {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 10000) != 1) return "timeout";
        std::string bytes(65536, '\0');
        bytes.resize(std::max<ssize_t>(0, recv(fd, bytes.data(), bytes.size(), 0)));
        return bytes;
    }
    const int fd;
    ByteView address;
};

class UdpSocketTest : public ::testing::Test {
protected:
    void TearDown() override {
        socket_->close();
        socket_->synchronouslySetDelegate(nullptr);
        delegateQueue_->sync([] {});
    }
    // Waits until every callback issued so far has been delivered.
    void settle() {
        socket_->performBlock([] {});
        delegateQueue_->sync([] {});
    }
    // The socket's own IPv4 loopback address after a bind to "localhost".
    ByteView bindLoopback() {
        EXPECT_TRUE(socket_->bindToPort(0, "localhost", nullptr));
        return SocketAddress::loopback4(socket_->localPort_IPv4());
    }

    // Size of the next datagram waiting for the family's descriptor; -1 when none waits.
    ssize_t nextWaitingDatagram(int family) {
        ssize_t size = -1;
        socket_->performBlock([&] {
            char byte;
            const int fd = family == AF_INET6 ? socket_->socket6FD() : socket_->socket4FD();
            size = recv(fd, &byte, sizeof byte, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        });
        return size;
    }

    RefPtr<DispatchQueue> delegateQueue_ = makeRef<SerialQueue>("org.vantrel.test.udp.delegate");
    RefPtr<DispatchQueue> socketQueue_ = makeRef<SerialQueue>("org.vantrel.test.udp.socket");
    RefPtr<UdpRecorder> recorder_ = makeRef<UdpRecorder>();
    RefPtr<JPUdpSocket> socket_ = makeRef<JPUdpSocket>(recorder_, delegateQueue_, socketQueue_);
};

using UdpSetUp = UdpSocketTest;
using Sending = UdpSocketTest;
using Receiving = UdpSocketTest;

// Synchronous refusals: the call answers false with the error and changes nothing.
struct Refusal {
    const char* name;
    std::function<bool(JPUdpSocket&, RefPtr<Error>*)> call;
    int64_t code;  // 0: false with no error
    const char* text;
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class Refusals : public UdpSocketTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, AnswerWithTheErrorAndChangeNothing) {
    RefPtr<Error> error;
    EXPECT_FALSE(GetParam().call(*socket_, &error));
    if (GetParam().code == 0) {
        EXPECT_FALSE(error);
    } else {
        ASSERT_TRUE(error);
        EXPECT_EQ(error->domain(), JPUdpSocket::kErrorDomain);
        EXPECT_EQ(error->code(), GetParam().code);
        EXPECT_EQ(error->localizedDescription(), GetParam().text);
    }
    settle();
    EXPECT_TRUE(recorder_->lines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    UdpSocket, Refusals,
    ::testing::Values(
        Refusal{"BindWithoutADelegateQueue", [](JPUdpSocket& s, RefPtr<Error>* e) {
                    s.synchronouslySetDelegateQueue(nullptr);
                    return s.bindToPort(0, e);
                }, 1, "Attempting to use socket without a delegate queue. Set a delegate queue first."},
        Refusal{"ReceiveBeforeAnyDescriptor", [](JPUdpSocket& s, RefPtr<Error>* e) { return s.receiveOnce(e); }, 1,
                "Must bind socket before you can receive data. You can do this explicitly via bind, or implicitly via "
                "connect or by sending data."},
        Refusal{"BindTwice", [](JPUdpSocket& s, RefPtr<Error>* e) { return s.bindToPort(0, e) && s.bindToPort(0, e); },
                1, "Cannot bind a socket more than once."},
        Refusal{"BindToAnUnknownInterface", [](JPUdpSocket& s, RefPtr<Error>* e) { return s.bindToPort(0, "no-such-if0", e); },
                2, "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."},
        Refusal{"ConnectToFifteenBytes", [](JPUdpSocket& s, RefPtr<Error>* e) {
                    return s.connectToAddress(ByteView::copyOf(std::string(15, '\2')), e);
                }, 2, "A valid IPv4 or IPv6 address was not given"},
        Refusal{"JoinBeforeBinding", [](JPUdpSocket& s, RefPtr<Error>* e) { return s.joinMulticastGroup("239.1.2.3", e); },
                1, "Must bind a socket before joining a multicast group."},
        Refusal{"JoinAGroupGivenByName", [](JPUdpSocket& s, RefPtr<Error>* e) {
                    return s.bindToPort(0, e) && s.joinMulticastGroup("localhost", e);
                }, 2, "Unknown group. Specify valid group IP address."},
        Refusal{"BroadcastWithoutIPv4", [](JPUdpSocket& s, RefPtr<Error>* e) {
                    s.setIPv4Enabled(false);
                    return s.enableBroadcast(true, e);
                }, 0, ""}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(UdpSocket, AddressUtilitiesDecodeEachFamily) {
    struct Case {
        int family;
        const char* host;
        uint16_t port;  // asymmetric ports catch a missing byte swap
    };
    const Case cases[] = {{AF_INET, "192.0.2.7", 5353}, {AF_INET, "0.0.0.0", 80},
                          {AF_INET6, "2001:db8::1", 443}, {AF_INET6, "::ffff:1.2.3.4", 8080}};
    for (const Case& c : cases) {
        sockaddr_storage native{};
        native.ss_family = static_cast<sa_family_t>(c.family);
        std::string host;
        uint16_t port = 0;
        if (c.family == AF_INET) {
            auto& address = reinterpret_cast<sockaddr_in&>(native);
            ASSERT_EQ(inet_pton(AF_INET, c.host, &address.sin_addr), 1);
            address.sin_port = htons(c.port);
            host = JPUdpSocket::hostFromSockaddr4(address);
            port = JPUdpSocket::portFromSockaddr4(address);
        } else {
            auto& address = reinterpret_cast<sockaddr_in6&>(native);
            ASSERT_EQ(inet_pton(AF_INET6, c.host, &address.sin6_addr), 1);
            address.sin6_port = htons(c.port);
            host = JPUdpSocket::hostFromSockaddr6(address);
            port = JPUdpSocket::portFromSockaddr6(address);
        }
        EXPECT_EQ(host, c.host);
        EXPECT_EQ(port, c.port) << c.host;
    }

    // Address data: only a whole IPv4 or IPv6 address counts as one.
    const ByteView v4 = SocketAddress::loopback4(1), v6 = SocketAddress::loopback6(1);
    const struct {
        const char* what;
        ByteView address;
        bool isIPv4, isIPv6;
    } kinds[] = {
        {"IPv4", v4, true, false},
        {"IPv6", v6, false, true},
        {"15 bytes of IPv4", ByteView::copyOf(v4.data(), 15), false, false},
        {"16 bytes of IPv6", ByteView::copyOf(v6.data(), 16), false, false},
        {"nothing", ByteView(), false, false},
    };
    for (const auto& k : kinds) {
        EXPECT_EQ(JPUdpSocket::isIPv4Address(k.address), k.isIPv4) << k.what;
        EXPECT_EQ(JPUdpSocket::isIPv6Address(k.address), k.isIPv6) << k.what;
    }
}

TEST_F(UdpSetUp, TheFirstSendCreatesBothFamiliesAndBinds) {
    UdpPeer peer;
    socket_->sendData(ByteView::copyOf("hello"), peer.address, -1, 1);
    EXPECT_EQ(peer.receive(), "hello");
    ASSERT_TRUE(recorder_->waitForLines(1));
    EXPECT_TRUE(socket_->isIPv4() && socket_->isIPv6() == Peer::hasIPv6Loopback());
    RefPtr<Error> error;
    EXPECT_FALSE(socket_->bindToPort(0, &error));
    EXPECT_EQ(error->localizedDescription(), "Cannot bind a socket more than once.");
    socket_->close();
    settle();
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"sent 1", "closed"}));
}

TEST_F(UdpSetUp, AFailedBindClosesItsDescriptors) {
    UdpPeer taken;
    socket_->setIPv6Enabled(false);
    RefPtr<Error> error;
    ASSERT_FALSE(socket_->bindToAddress(taken.address, &error));  // no SO_REUSEPORT: the port is taken
    EXPECT_EQ(error->failureReason(), "Error in bind() function");
    EXPECT_TRUE(socket_->isClosed());
    EXPECT_TRUE(socket_->bindToPort(0, &error)) << "the failed bind left a descriptor behind";
}

// Per-datagram failures: each goes to udpSocketDidNotSendDataWithTag and the socket stays open.
struct SendFailure {
    const char* name;
    std::function<void(JPUdpSocket&, const UdpPeer&)> send;
    const char* line;
};

void PrintTo(const SendFailure& f, std::ostream* out) { *out << f.name; }

class SendFailures : public UdpSocketTest, public ::testing::WithParamInterface<SendFailure> {};

TEST_P(SendFailures, AreReportedPerDatagram) {
    UdpPeer peer;
    GetParam().send(*socket_, peer);
    ASSERT_TRUE(recorder_->waitForLines(1));
    settle();
    EXPECT_EQ(recorder_->lines().back(), GetParam().line);
    EXPECT_FALSE(socket_->isClosed());
}

const ByteView kData = ByteView::copyOf("abc");

INSTANTIATE_TEST_SUITE_P(
    UdpSocket, SendFailures,
    ::testing::Values(
        SendFailure{"NoDestination", [](JPUdpSocket& s, const UdpPeer&) { s.sendData(kData, -1.0, 1); },
                    "not sent 1 code 1 You must specify destination of packet for a non-connected socket"},
        SendFailure{"NoHost", [](JPUdpSocket& s, const UdpPeer&) { s.sendData(kData, "", 9, -1, 2); },
                    "not sent 2 code 2 The host param is nil. Should be domain name or IP address string."},
        SendFailure{"NotAnAddress", [](JPUdpSocket& s, const UdpPeer&) { s.sendData(kData, ByteView::copyOf("junk"), -1, 3); },
                    "not sent 3 code 2 A valid IPv4 or IPv6 address was not given"},
        SendFailure{"AHostOnAConnectedSocket", [](JPUdpSocket& s, const UdpPeer& p) {
                        s.connectToAddress(p.address, nullptr);
                        s.sendData(kData, "127.0.0.1", 9, -1, 4);
                    }, "not sent 4 code 1 Cannot specify destination of packet for connected socket"},
        SendFailure{"AFamilyWithoutADescriptor", [](JPUdpSocket& s, const UdpPeer&) {
                        s.bindToAddress(SocketAddress::loopback4(0), nullptr);
                        s.sendData(kData, SocketAddress::loopback6(9), -1, 5);
                    }, "not sent 5 code 5 IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 address(es)."}),
    [](const ::testing::TestParamInfo<SendFailure>& info) { return std::string(info.param.name); });

TEST_F(Sending, ConnectedSocketsSendToThePeerAndHearOnlyThePeer) {
    UdpPeer peer, stranger;
    RefPtr<Error> error;
    ASSERT_TRUE(socket_->connectToAddress(peer.address, &error));
    ASSERT_TRUE(socket_->beginReceiving(&error));
    socket_->sendData(ByteView::copyOf("to peer"), stranger.address, -1, 1);  // goes to the peer anyway
    EXPECT_EQ(peer.receive(), "to peer");
    const ByteView local = socket_->localAddress();
    stranger.sendTo(local, 7);  // same host, other port: dropped
    peer.sendTo(local, 9);
    ASSERT_TRUE(recorder_->waitForLines(3));
    settle();
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"connected 127.0.0.1", "sent 1", "got 9 from 127.0.0.1"}));
}

TEST_F(Sending, CloseAfterSendingSendsEveryQueuedDatagramFirst) {
    UdpPeer peer;
    for (int tag = 1; tag <= 3; ++tag) socket_->sendData(ByteView::copyOf("d"), peer.address, -1, tag);
    socket_->closeAfterSending();
    ASSERT_TRUE(recorder_->waitForLines(4));
    settle();
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"sent 1", "sent 2", "sent 3", "closed"}));
}

TEST_F(Sending, AFilterThatSaysNoCountsAsSentAndASyncFilterOnTheSocketQueueIsRefused) {
    UdpPeer peer;
    RefPtr<DispatchQueue> filterQueue = makeRef<SerialQueue>("org.vantrel.test.udp.filter");
    socket_->setSendFilter([](const ByteView& data, const ByteView&, int64_t) { return data.size() > 1; }, filterQueue, false);
    socket_->sendData(ByteView::copyOf("x"), peer.address, -1, 1);
    socket_->sendData(ByteView::copyOf("yy"), peer.address, -1, 2);
    EXPECT_EQ(peer.receive(), "yy");
    ASSERT_TRUE(recorder_->waitForLines(2));
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"sent 1", "sent 2"}));

    RefPtr<DispatchQueue> own = makeRef<SerialQueue>("org.vantrel.test.udp.own");
    RefPtr<JPUdpSocket> onOwnQueue = makeRef<JPUdpSocket>(nullptr, nullptr, own);
    EXPECT_THROW(onOwnQueue->setReceiveFilter([](const ByteView&, const ByteView&, RefPtr<Object>*) { return true; }, own, false),
                 NamedException);
    EXPECT_NO_THROW(onOwnQueue->setReceiveFilter([](const ByteView&, const ByteView&, RefPtr<Object>*) { return true; }, own, true));
}

TEST_F(Receiving, SizeLimitsCutDatagramsAndAnEmptyDatagramIsDropped) {
    UdpPeer peer;
    const ByteView local = bindLoopback();
    peer.sendTo(local, 10000);
    peer.sendTo(local, 0);  // reads as "nothing readable": it must not pass for an end of stream
    peer.sendTo(local, 10000);
    ASSERT_TRUE(socket_->receiveOnce(nullptr));
    ASSERT_TRUE(recorder_->waitForLines(1));
    socket_->setMaxReceiveIPv4BufferSize(512);
    ASSERT_TRUE(socket_->beginReceiving(nullptr));
    ASSERT_TRUE(recorder_->waitForLines(2));
    settle();
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"got 9216 from 127.0.0.1", "got 512 from 127.0.0.1"}));
    EXPECT_FALSE(socket_->isClosed());
}

TEST_F(Receiving, OnceWithASyncFilterDeliversTheFirstAcceptedDatagramOnly) {
    UdpPeer peer;
    const ByteView local = bindLoopback();
    RefPtr<DispatchQueue> filterQueue = makeRef<SerialQueue>("org.vantrel.test.udp.filter");
    socket_->setReceiveFilter(
        [](const ByteView& data, const ByteView&, RefPtr<Object>* context) {
            *context = makeRef<ByteBuffer>();
            return data.size() == 2;
        },
        filterQueue, false);
    for (size_t size : {1, 2, 3}) peer.sendTo(local, size);
    ASSERT_TRUE(socket_->receiveOnce(nullptr));
    ASSERT_TRUE(recorder_->waitForLines(1));
    settle();
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"got 2 from 127.0.0.1 with context"}));
    socket_->setReceiveFilter(nullptr, nullptr);
    ASSERT_TRUE(socket_->receiveOnce(nullptr));
    ASSERT_TRUE(recorder_->waitForLines(2));
    EXPECT_EQ(recorder_->lines().back(), "got 3 from 127.0.0.1");
}

// The families a socket is bound to on loopback, each with the datagrams received once it receives.
struct Foreground {
    const char* name;
    std::vector<int> families;  // IPv6 first: the order in which receiving serves them
    std::vector<std::string> received;
};

void PrintTo(const Foreground& f, std::ostream* out) { *out << f.name; }

class ForegroundResume : public UdpSocketTest, public ::testing::WithParamInterface<Foreground> {};

TEST_P(ForegroundResume, ResumesEveryReadSourceButNotReceiving) {
    const std::vector<int>& families = GetParam().families;
    const bool bothFamilies = families.size() == 2;
    if (bothFamilies && !Peer::hasIPv6Loopback()) GTEST_SKIP() << "no ::1";
    socket_->setIPv6Enabled(bothFamilies);
    ASSERT_TRUE(socket_->bindToPort(0, "localhost", nullptr));  // nobody receives: the read sources stay suspended
    std::vector<std::unique_ptr<UdpPeer>> peers;
    for (int family : families) {
        const UdpPeer& peer = *peers.emplace_back(std::make_unique<UdpPeer>(family));
        const ByteView local = family == AF_INET6 ? SocketAddress::loopback6(socket_->localPort_IPv6())
                                                  : SocketAddress::loopback4(socket_->localPort_IPv4());
        peer.sendTo(local, 0);  // an empty datagram, dropped only by a running read source
        peer.sendTo(local, 5);
    }
    socket_->applicationWillEnterForeground();
    for (int family : families) {
        ASSERT_TRUE(eventually([&] { return nextWaitingDatagram(family) == 5; }))
            << "the read source of family " << family << " was not resumed";
    }
    // Each 5-byte datagram's event was armed before it came to the head of its queue, so it is
    // handled before the probe's.
    QueueProbe probe(socketQueue_);
    ASSERT_TRUE(probe.roundTrip());
    settle();
    EXPECT_TRUE(recorder_->lines().empty()) << "coming to the foreground started receiving";
    for (int family : families) EXPECT_EQ(nextWaitingDatagram(family), 5);
    ASSERT_TRUE(socket_->beginReceiving(nullptr));
    ASSERT_TRUE(recorder_->waitForLines(families.size()));
    EXPECT_EQ(recorder_->lines(), GetParam().received);
}

INSTANTIATE_TEST_SUITE_P(
    UdpSocket, ForegroundResume,
    ::testing::Values(Foreground{"IPv4", {AF_INET}, {"got 5 from 127.0.0.1"}},
                      Foreground{"IPv4AndIPv6", {AF_INET6, AF_INET}, {"got 5 from ::1", "got 5 from 127.0.0.1"}}),
    [](const ::testing::TestParamInfo<Foreground>& info) { return std::string(info.param.name); });

TEST_F(Receiving, BothFamiliesTakeTurnsStartingWithIPv6) {
    if (!Peer::hasIPv6Loopback()) GTEST_SKIP() << "no ::1";
    UdpPeer peer4(AF_INET), peer6(AF_INET6);
    ASSERT_TRUE(socket_->bindToPort(0, "localhost", nullptr));
    const ByteView local4 = SocketAddress::loopback4(socket_->localPort_IPv4());
    const ByteView local6 = SocketAddress::loopback6(socket_->localPort_IPv6());
    for (int i = 0; i < 2; ++i) {
        peer4.sendTo(local4, 4);
        peer6.sendTo(local6, 6);
    }
    ASSERT_TRUE(socket_->beginReceiving(nullptr));
    ASSERT_TRUE(recorder_->waitForLines(4));
    EXPECT_EQ(recorder_->lines(), (std::vector<std::string>{"got 6 from ::1", "got 4 from 127.0.0.1", "got 6 from ::1",
                                                             "got 4 from 127.0.0.1"}));
}

}  // namespace
