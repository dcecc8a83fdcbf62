#include "TcpSocketFixture.h"

namespace {

using Lifecycle = TcpSocketTest;

TEST_F(Lifecycle, ListensOnOnePortForBothFamiliesAndHandsOutEachConnection) {
    ASSERT_TRUE(socket_->acceptOnPort(0, nullptr));
    const bool v6 = Peer::hasIPv6Loopback();
    uint16_t port4 = 0, port6 = 0;
    socket_->performBlock([&] {
        port4 = socket_->localPort4();
        port6 = socket_->localPort6();
    });
    EXPECT_NE(port4, 0);
    EXPECT_EQ(socket_->localPort(), port4);
    if (v6) {
        EXPECT_EQ(port6, port4);
    }
    keep(Peer::connectTo(AF_INET, port4));
    if (v6) keep(Peer::connectTo(AF_INET6, port4));
    ASSERT_TRUE(recorder_.waitFor("accept", v6 ? 2 : 1));
    delegateQueue_->sync([] {});
    EXPECT_TRUE(recorder_.accepted[0]->isConnected() && recorder_.accepted[0]->isIPv4());
    EXPECT_EQ(recorder_.accepted[0]->connectedHost(), "127.0.0.1");
    if (v6) {
        EXPECT_EQ(recorder_.accepted[1]->connectedHost(), "::1");
    }

    // Busy: a second accept or a connect fails with code 1 and the listener goes on accepting.
    RefPtr<Error> error;
    EXPECT_FALSE(socket_->acceptOnPort(0, &error));
    EXPECT_EQ(error->code(), JPTcpSocket::kBadConfigError);
    EXPECT_FALSE(socket_->connectToHost("localhost", port4, &error));
    EXPECT_EQ(error->code(), JPTcpSocket::kBadConfigError);
    keep(Peer::connectTo(AF_INET, port4));
    EXPECT_TRUE(recorder_.waitFor("accept", v6 ? 3 : 2));
}

TEST_F(Lifecycle, RefusesBadRequestsSynchronouslyWithTheirCodes) {
    struct Case {
        const char* what;
        std::function<bool(JPTcpSocket&, RefPtr<Error>*)> request;
        int64_t code;
    };
    const Case cases[] = {
        {"empty host", [](JPTcpSocket& s, RefPtr<Error>* e) { return s.connectToHost("", 80, e); }, 2},
        {"17-byte address",
         [](JPTcpSocket& s, RefPtr<Error>* e) {
             std::string bytes(SocketAddress::loopback4(80).text());
             return s.connectToAddress(ByteView::copyOf(bytes + '\0'), e);
         },
         2},
        {"unknown interface", [](JPTcpSocket& s, RefPtr<Error>* e) { return s.acceptOnInterface("nosuch0", 0, e); }, 2},
        {"no delegate",
         [](JPTcpSocket& s, RefPtr<Error>* e) {
             s.synchronouslySetDelegate(nullptr);
             return s.connectToAddress(SocketAddress::loopback4(80), e);
         },
         1},
    };
    for (const Case& c : cases) {
        RefPtr<JPTcpSocket> sock = makeRef<JPTcpSocket>(&recorder_, delegateQueue_);
        RefPtr<Error> error;
        EXPECT_FALSE(c.request(*sock, &error)) << c.what;
        ASSERT_TRUE(error) << c.what;
        EXPECT_EQ(error->code(), c.code) << c.what;
        EXPECT_EQ(error->domain(), JPTcpSocket::kErrorDomain);
        EXPECT_TRUE(sock->isDisconnected()) << c.what;
        sock->synchronouslySetDelegate(nullptr);
    }
    EXPECT_EQ(JPTcpSocket::hostFromAddress(ByteView::copyOf(SocketAddress::loopback4(1).text().substr(0, 15))), "");
    EXPECT_EQ(JPTcpSocket::portFromAddress(SocketAddress::loopback6(4242)), 4242);
    settle();
    EXPECT_TRUE(recorder_.lines().empty()) << "a refused request sent a callback";
}

TEST_F(Lifecycle, DisconnectReportsExactlyOnceAndOnlyForAStartedSocket) {
    socket_->disconnect();  // idle: nothing to report
    const int far = connectPair();
    socket_->disconnect();
    socket_->disconnect();
    EXPECT_EQ(Peer::receive(far, 1), "") << "the descriptor was not closed";
    settle();
    EXPECT_EQ(recorder_.lines(), (std::vector<std::string>{"connect 127.0.0.1", "disconnect"}));

    // Reusable after closing; connecting by name needs no resolver for "localhost".
    uint16_t port = 0;
    const int listener = keep(Peer::listenOn(AF_INET, &port));
    ASSERT_TRUE(socket_->connectToHost("localhost", port, nullptr));
    keep(Peer::acceptNext(listener));
    EXPECT_TRUE(recorder_.waitFor("connect 127.0.0.1", 2));
}

TEST_F(Lifecycle, ConnectTimeOutEndsTheAttemptOnceWithoutBlockingTheQueue) {
    // A listener whose accept queue is full drops further handshakes: the connect stays pending.
    uint16_t port = 0;
    const int listener = keep(Peer::listenOn(AF_INET, &port, 0));
    for (int i = 0; i < 2; ++i) {
        const int filler = keep(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        sockaddr_storage native;
        socklen_t length;
        SocketAddress::toNative(SocketAddress::loopback4(port), &native, &length);
        connect(filler, reinterpret_cast<sockaddr*>(&native), length);
    }
    ASSERT_TRUE(socket_->connectToAddress(SocketAddress::loopback4(port), 0.05, nullptr));
    EXPECT_FALSE(socket_->isConnected());  // the queue answers while the connect is pending
    ASSERT_TRUE(recorder_.waitFor("disconnect 3"));
    keep(Peer::acceptNext(listener));  // frees the queue: a late handshake must change nothing
    settle();
    EXPECT_EQ(recorder_.lines(), std::vector<std::string>{"disconnect 3"});
    EXPECT_TRUE(socket_->isDisconnected());
}

TEST_F(Lifecycle, ConnectionsThatCannotBeHandedOnAreClosed) {
    ASSERT_TRUE(socket_->acceptOnPort(0, nullptr));
    const uint16_t port = socket_->localPort();
    socket_->synchronouslySetDelegateQueue(nullptr);
    const int far = keep(Peer::connectTo(AF_INET, port));
    EXPECT_EQ(Peer::receive(far, 1), "");  // end of stream: our side closed it
}

TEST_F(Lifecycle, AnIdleConnectedSocketCostsNoWakeUps) {
    connectPair();
    socket_->readDataWithTimeout(-1, 1);
    settle();
    QueueProbe probe(socketQueue_);
    const uint64_t before = socketQueue_->queued();
    // A source that keeps waking the idle socket re-arms on a ready descriptor after each event, so
    // by the time the first probe event runs on the socket queue its next event is ahead of the
    // second probe's: two round trips count it however the threads are scheduled.
    ASSERT_TRUE(probe.roundTrip() && probe.roundTrip()) << "the probe's events never came";
    EXPECT_EQ(socketQueue_->queued(), before + 2) << "the idle socket had events of its own";
}

}  // namespace
