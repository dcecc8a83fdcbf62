#include <netinet/tcp.h>
#include <sys/ioctl.h>

#include "DiscoveryRecorder.h"
#include "PadlinkSDK/PadlinkRPCLib/JPRPCConnection.h"
#include "SimulatedPhone.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/Log.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kDeclaration = "<?xml version=\"1.0\"?>";

// The body of a return carrying the string.
std::string returnOf(const char* text) {
    return kDeclaration + "<methodReturn><value><string>" + text + "</string></value></methodReturn>";
}

RefPtr<JPMethodReturn> answerOf(const char* text) {
    auto answer = makeRef<JPMethodReturn>();
    answer->setRetValue(JPValue(text));
    return answer;
}

class ChannelTest : public ::testing::Test, public JPRPCConnectionDelegate {
protected:
    void SetUp() override { JPRPCConnection::setDurations({0.05, 45, 120}); }
    void TearDown() override {
        JPRPCConnection::setDurations({});
        for (int fd : peers_) close(fd);
    }
    // A primed connection to a plain peer; returns the peer's descriptor.
    int open(RefPtr<JPRPCConnection>& connection) {
        uint16_t port = 0;
        const int listener = peers_.emplace_back(Peer::listenOn(AF_INET, &port));
        connection = makeRef<JPRPCConnection>(makeRef<JPTcpSocket>(nullptr, nullptr, queue_));
        connection->setDelegate(this);
        EXPECT_TRUE(connection->connectToAddress(SocketAddress::loopback4(port)));
        connection->prime();
        const int peer = peers_.emplace_back(Peer::acceptNext(listener)), noDelay = 1;
        setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        return peer;
    }
    // The next body the peer receives, pumping the main loop (where the timers run) meanwhile.
    static std::string nextBody(int peer) {
        pumpMainUntil([&] {
            int pending = 0;
            return ioctl(peer, FIONREAD, &pending) == 0 && pending >= 8;
        });
        return SimulatedPhone::frame(peer);
    }

    void rpcConnectionDidReceiveMethodCall(JPRPCConnection*, JPMethodCall* call) override {
        lines_.push_back("call " + call->methodName());
    }
    void rpcConnectionMethodCallDidReturn(JPRPCConnection*, JPMethodCall* call, JPMethodReturn* answer) override {
        lines_.push_back("return " + call->methodName() + " " + answer->retValue().stringValue());
    }
    void rpcConnectionDidWriteMethodCall(JPRPCConnection*, JPMethodCall* call) override {
        lines_.push_back("wrote " + call->methodName());
    }
    void rpcConnectionDidWriteMethodReturn(JPRPCConnection*, JPMethodReturn* answer, JPMethodCall* call) override {
        lines_.push_back("wrote return " + answer->retValue().stringValue() + " to " + call->methodName());
    }
    void rpcConnectionDidDisconnect(JPRPCConnection*) override { lines_.push_back("disconnect"); }

    RefPtr<DispatchQueue> queue_ = makeRef<SerialQueue>("org.vantrel.test.channel");
    std::vector<int> peers_;
    Lines lines_;
    LogCapture log_;
};

// Returns go to the oldest non-void call, whatever the framing; a return with no call waiting, a
// keep-alive and an empty body are dropped and reading goes on; a length past the cap closes the
// channel before anything is allocated for its body.
TEST_F(ChannelTest, FramesSplitByteByByte) {
    RefPtr<JPRPCConnection> connection;
    const int peer = open(connection);
    for (const char* method : {"first", "void", "second"}) {
        connection->sendMethodCall(JPMethodCall::methodCallWithMethodName(method), std::string(method) == "void");
    }
    for (const char* method : {"first", "void", "second"}) EXPECT_NE(nextBody(peer).find(method), std::string::npos);
    std::string stream;
    for (const std::string& body : {returnOf("one"), std::string(), kDeclaration + "<keepAlive>7</keepAlive>", returnOf("two"),
                                    returnOf("three"), JPMethodCall::methodCallWithMethodName("ping")->body()}) {
        stream += SimulatedPhone::framed(body);
    }
    for (char byte : stream + SimulatedPhone::word(uint64_t{1} << 40)) Peer::sendAll(peer, std::string(1, byte));
    ASSERT_TRUE(pumpMainUntil([&] { return !lines_.empty() && lines_.back() == "disconnect"; }));
    EXPECT_EQ(lines_, (Lines{"wrote first", "wrote void", "wrote second", "return first one", "return second two",
                             "call ping", "disconnect"}));
    EXPECT_TRUE(log_.contains("Padlink: Dropped a method return that answers no call"));
    EXPECT_TRUE(log_.contains("Refused a message body of 1099511627776 bytes"));
}

// Adopting another socket closes the old one without a report, and forgets what was owed on it: a
// return arriving on the new socket answers only a call sent on it, and a write of a call or of a
// return reported on the new socket is one made there.
TEST_F(ChannelTest, AdoptedSocketCarriesTheChannelAlone) {
    JPRPCConnection::setDurations({});  // no keep-alive between the bodies read below
    RefPtr<JPRPCConnection> connection;
    const int oldPeer = open(connection);
    connection->sendMethodCall(JPMethodCall::methodCallWithMethodName("unanswered"), false);
    EXPECT_NE(nextBody(oldPeer).find("unanswered"), std::string::npos);
    ASSERT_TRUE(pumpMainUntil([&] { return !lines_.empty(); }));

    uint16_t port = 0;
    const int listener = peers_.emplace_back(Peer::listenOn(AF_INET, &port));
    // Neither is reported written yet: the reports wait for the main loop.
    connection->sendMethodCall(JPMethodCall::methodCallWithMethodName("lost"), true);
    connection->sendMethodReturn(answerOf("lost answer"), JPMethodCall::methodCallWithMethodName("theirs"));
    connection->setSocket(makeRef<JPTcpSocket>(nullptr, nullptr, queue_));
    const timeval limit{10, 0};  // a guard against hangs
    setsockopt(oldPeer, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    char bytes[256];
    ssize_t got;
    while ((got = recv(oldPeer, bytes, sizeof bytes, 0)) > 0) {
    }
    EXPECT_EQ(got, 0) << "the old socket is still open";

    ASSERT_TRUE(connection->connectToAddress(SocketAddress::loopback4(port)));
    connection->prime();
    const int newPeer = peers_.emplace_back(Peer::acceptNext(listener));
    ASSERT_GE(newPeer, 0);
    Peer::sendAll(newPeer, SimulatedPhone::framed(returnOf("stale")));
    ASSERT_TRUE(pumpMainUntil([&] { return log_.contains("Padlink: Dropped a method return that answers no call"); }));
    connection->sendMethodCall(JPMethodCall::methodCallWithMethodName("second"), false);
    EXPECT_NE(nextBody(newPeer).find("second"), std::string::npos);
    Peer::sendAll(newPeer, SimulatedPhone::framed(returnOf("two")));
    ASSERT_TRUE(pumpMainUntil([&] { return lines_.back() == "return second two"; }));
    connection->sendMethodReturn(answerOf("fresh answer"), JPMethodCall::methodCallWithMethodName("asked"));
    EXPECT_NE(nextBody(newPeer).find("fresh answer"), std::string::npos);
    ASSERT_TRUE(pumpMainUntil([&] { return lines_.size() == 4; }));
    EXPECT_EQ(lines_, (Lines{"wrote unanswered", "wrote second", "return second two", "wrote return fresh answer to asked"}));
}

// One counter for the process: the next keep-alive on a new connection carries the next number.
TEST_F(ChannelTest, KeepAliveCounterRunsAcrossConnections) {
    RefPtr<JPRPCConnection> first, second;
    const std::string fromFirst = nextBody(open(first));
    first.reset();
    const std::string fromSecond = nextBody(open(second));
    const auto counter = [](const std::string& body) {
        EXPECT_EQ(body.rfind(kDeclaration + "<keepAlive>", 0), 0u) << body;
        return std::stoul(body.substr(body.find("e>") + 2));
    };
    EXPECT_EQ(counter(fromSecond), counter(fromFirst) + 1);
}

}  // namespace
