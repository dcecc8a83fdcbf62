#include <sys/ioctl.h>

#include <cmath>
#include <thread>

#include "TcpSocketFixture.h"

namespace {

using Reads = TcpSocketTest;
using Writes = TcpSocketTest;

// Bytes the system holds for our socket, not yet read by it.
int unread(JPTcpSocket& sock) {
    int count = -1;
    sock.performBlock([&] { ioctl(sock.socketFD(), FIONREAD, &count); });
    return count;
}

TEST_F(Reads, TerminatorSplitAcrossArrivalsThenLinesServedFromThePreBuffer) {
    const int far = connectPair();
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 1);
    Peer::sendAll(far, "ab\r");
    ASSERT_TRUE(recorder_.waitFor("partial read"));
    Peer::sendAll(far, "\ncd\r\nef\r\n");
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 2);
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 3);
    ASSERT_TRUE(recorder_.waitFor("read 3 ef\r\n"));
    EXPECT_EQ(recorder_.lines(), (std::vector<std::string>{"connect 127.0.0.1", "partial read", "read 1 ab\r\n",
                                                            "read 2 cd\r\n", "read 3 ef\r\n"}));
}

TEST_F(Reads, LengthReadsNeverTakeMoreThanTheyNeed) {
    const int far = connectPair();
    Peer::sendAll(far, "HEADER01helloHEADER02");
    ASSERT_TRUE(eventually([&] { return unread(*socket_) >= 21; })) << "the 21 bytes sent never all arrived";
    auto buffer = makeRef<ByteBuffer>("XY", 2);
    socket_->readDataToLength(8, -1, 0);
    ASSERT_TRUE(recorder_.waitFor("read 0 HEADER01"));
    EXPECT_EQ(unread(*socket_), 13) << "the read took bytes beyond its length";
    socket_->readDataToLength(5, -1, buffer, 2, 1);  // into the caller's buffer, behind its bytes
    ASSERT_TRUE(recorder_.waitFor("read 1 hello"));
    EXPECT_EQ(unread(*socket_), 8);
    EXPECT_EQ(buffer->text(), "XYhello");
}

TEST_F(Reads, AHugeDeclaredLengthCostsOnlyTheBytesThatArrived) {
    const int far = connectPair();
    const uint64_t declared = uint64_t{1} << 42;  // would exhaust any allocator if taken up front
    socket_->readDataToLength(declared, -1, 7);
    Peer::sendAll(far, "0123456789");
    ASSERT_TRUE(recorder_.waitFor("partial read"));
    int64_t tag = 0;
    uint64_t done = 0, total = 0;
    const float progress = socket_->progressOfReadReturningTag(&tag, &done, &total);
    EXPECT_TRUE(tag == 7 && done == 10 && total == declared && progress < 1e-6f);
}

// Reads each frame's body from its header's callback, as the command channel does.
class FramedReader : public Recorder {
public:
    void socketDidReadData(JPTcpSocket* sock, const ByteView& data, int64_t tag) override {
        if (tag == 0) {
            sock->readDataToLength(4, -1, 1);
        } else {
            Recorder::socketDidReadData(sock, data, tag);
        }
    }
};

TEST_F(Reads, ABodyReadFromTheHeaderCallbackNeverMistakesAnEmptyBufferForTheEnd) {
    // The body read can take the bytes that a read event already queued announces: that event
    // then finds nothing readable, which must not pass for the peer's end of stream.
    FramedReader reader;
    socket_->synchronouslySetDelegate(&reader);
    const int far = connectPair();
    constexpr int kFrames = 300;
    for (int frame = 1; frame <= kFrames; ++frame) {
        socket_->readDataToLength(4, -1, 0);
        Peer::sendAll(far, "HEADbody");
        ASSERT_TRUE(reader.waitFor("read 1 body", frame));
    }
    socket_->synchronouslySetDelegate(nullptr);
    settle();
    EXPECT_EQ(reader.lines().size(), static_cast<size_t>(kFrames) + 1) << reader.lines().back();
    EXPECT_TRUE(socket_->isConnected());
}

TEST_F(Reads, MaxLengthWithoutTheTerminatorClosesWithCode6AndPeerCloseWithCode7) {
    const int far = connectPair();
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 10, 1);
    Peer::sendAll(far, "0123456789");
    ASSERT_TRUE(recorder_.waitFor("disconnect 6"));

    RefPtr<JPTcpSocket> other = makeRef<JPTcpSocket>(&recorder_, delegateQueue_);
    socket_.swap(other);
    const int secondFar = connectPair();
    socket_->readDataToLength(10, -1, 2);
    Peer::sendAll(secondFar, "abc");
    ASSERT_TRUE(recorder_.waitFor("partial read", 2));
    shutdown(secondFar, SHUT_RDWR);
    ASSERT_TRUE(recorder_.waitFor("disconnect 7"));
    other->synchronouslySetDelegate(nullptr);
    settle();
    EXPECT_EQ(recorder_.count("disconnect 7") + recorder_.count("disconnect 6"), 2);
}

// Time-outs: the delegate's answers, in order, and what it is asked and sees.
struct TimeoutCase {
    const char* name;
    bool writing;
    bool asks;  // the delegate implements the question
    std::vector<double> answers;
    std::vector<std::string> expected;
};

void PrintTo(const TimeoutCase& c, std::ostream* out) { *out << c.name; }

class Timeouts : public TcpSocketTest, public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(Timeouts, ExtendOrClose) {
    const TimeoutCase& c = GetParam();
    if (!c.asks) {
        recorder_.methods &= ~(JPTcpSocketDelegate::kShouldTimeoutRead | JPTcpSocketDelegate::kShouldTimeoutWrite);
    }
    recorder_.timeoutAnswers.assign(c.answers.begin(), c.answers.end());
    recorder_.methods &= ~JPTcpSocketDelegate::kDidConnectToHost;
    const int far = connectPair(4096);
    if (c.writing) {
        socket_->performBlock([&] {
            const int size = 4096;
            setsockopt(socket_->socketFD(), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        });
        // The peer never reads: the write cannot finish.
        socket_->writeData(ByteView(makeRef<ByteBuffer>(size_t{1} << 22)), 0.05, 1);
    } else {
        socket_->readDataWithTimeout(0.05, 1);
    }
    ASSERT_TRUE(recorder_.waitFor(c.expected.back()));
    settle();
    std::vector<std::string> lines = recorder_.lines();
    std::erase(lines, "partial read");
    EXPECT_EQ(lines, c.expected);
    (void)far;
}

INSTANTIATE_TEST_SUITE_P(
    TcpSocket, Timeouts,
    ::testing::Values(
        TimeoutCase{"ReadExtendedOnceThenClosed", false, true, {0.05, 0}, {"read timeout 0.05", "read timeout 0.10", "disconnect 4"}},
        TimeoutCase{"ReadWithoutTheQuestionClosesAtOnce", false, false, {}, {"disconnect 4"}},
        TimeoutCase{"WriteExtendedOnceThenClosed", true, true, {0.05, 0}, {"write timeout 0.05", "write timeout 0.10", "disconnect 5"}}),
    [](const ::testing::TestParamInfo<TimeoutCase>& info) { return std::string(info.param.name); });

TEST_F(Writes, ALargeWriteToASlowReaderReportsPartsThatAddUp) {
    const int far = connectPair(4096);
    socket_->performBlock([&] {
        const int size = 4096;
        setsockopt(socket_->socketFD(), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    });
    std::string payload(100000, '\0');
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7);
    socket_->writeData(ByteView::copyOf(payload), -1, 5);
    std::string received;
    while (received.size() < payload.size()) {  // a slow reader: a little at a time
        const std::string part = Peer::receive(far, std::min<size_t>(1000, payload.size() - received.size()));
        if (part.empty()) break;  // the stream ended early, or nothing came (a failure of its own)
        received += part;
        std::this_thread::yield();
    }
    ASSERT_TRUE(recorder_.waitFor("wrote 5"));
    settle();
    EXPECT_TRUE(received == payload);
    delegateQueue_->sync([&] {
        EXPECT_GT(recorder_.partialWritten, 0u);
        EXPECT_LT(recorder_.partialWritten, payload.size()) << "parts and the final pass exceed the write";
    });
    EXPECT_EQ(recorder_.count("wrote 5"), 1);
}

TEST_F(Writes, DisconnectAfterWritingFinishesQueuedWritesThenClosesOnce) {
    const int far = connectPair();
    socket_->writeData(ByteView::copyOf("one"), -1, 1);
    socket_->writeData(ByteView::copyOf("two"), -1, 2);
    socket_->disconnectAfterWriting();
    socket_->writeData(ByteView::copyOf("late"), -1, 3);
    socket_->readDataWithTimeout(-1, 4);
    EXPECT_EQ(Peer::receive(far, 100), "onetwo");
    ASSERT_TRUE(recorder_.waitFor("disconnect"));
    settle();
    EXPECT_EQ(recorder_.lines(), (std::vector<std::string>{"connect 127.0.0.1", "wrote 1", "wrote 2", "disconnect"}));
}

TEST_F(Writes, HalfDuplexKeepsWritingAfterThePeerStopsSending) {
    socket_->setAutoDisconnectOnClosedReadStream(false);
    const int far = connectPair();
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 1);
    socket_->readDataToData(JPTcpSocket::CRLFData(), -1, 2);
    Peer::sendAll(far, "last\r\n");
    shutdown(far, SHUT_WR);
    ASSERT_TRUE(recorder_.waitFor("read stream closed"));
    socket_->writeData(ByteView::copyOf("bye"), -1, 3);
    EXPECT_EQ(Peer::receive(far, 3), "bye");
    ASSERT_TRUE(recorder_.waitFor("wrote 3"));
    settle();
    EXPECT_EQ(recorder_.lines(),
              (std::vector<std::string>{"connect 127.0.0.1", "read 1 last\r\n", "read stream closed", "wrote 3"}));
    EXPECT_TRUE(socket_->isConnected());
}

}  // namespace

namespace {

TEST_F(Writes, AVanishedPeerIsAnErrorNotASignal) {
    socket_->setAutoDisconnectOnClosedReadStream(false);  // keeps the socket open past the peer's end
    close(connectPair());
    peers_.pop_back();
    socket_->readDataWithTimeout(-1, 1);
    ASSERT_TRUE(recorder_.waitFor("read stream closed"));
    socket_->writeData(ByteView::copyOf("a"), -1, 2);  // answered by a reset
    ASSERT_TRUE(recorder_.waitFor("wrote 2"));
    socket_->writeData(ByteView::copyOf("b"), -1, 3);  // without MSG_NOSIGNAL: SIGPIPE ends the process
    ASSERT_TRUE(eventually([&] {
        const std::vector<std::string> lines = recorder_.lines();
        return !lines.empty() && lines.back().rfind("disconnect", 0) == 0;
    })) << "the socket never disconnected";
    const std::string last = recorder_.lines().back();
    EXPECT_TRUE(last == "disconnect " + std::to_string(EPIPE) || last == "disconnect " + std::to_string(ECONNRESET)) << last;
}

}  // namespace
