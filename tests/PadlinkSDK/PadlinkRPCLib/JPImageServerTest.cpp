#include <thread>

#include "DiscoveryRecorder.h"
#include "PadlinkSDK/PadlinkRPCLib/JPImageServer.h"
#include "Vendor/TcpSocketFixture.h"
#include "platform/foundation/Log.h"
#include "support/TestSupport.h"

namespace {

const std::string kA("PNG\0\r\ndata", 10);

// A connection to the server's port on 127.0.0.1 from `from` (any 127.x.y.z); -1 when refused.
// Reads give up after 10 s, a guard against hangs.
int connectFrom(const char* from, uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const timeval guard{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
    sockaddr_in address{AF_INET, 0, {}, {}};
    inet_pton(AF_INET, from, &address.sin_addr);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    address.sin_port = htons(port);
    inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    return close(fd), -1;
}

// One reply: the 8-byte little-endian length L, then L bytes ending in 0. The file's bytes, or
// "closed" when the connection ended first.
std::string reply(int fd) {
    const std::string header = Peer::receive(fd, 8);
    uint64_t length = 0;
    for (size_t i = header.size(); i-- > 0;) length = length << 8 | static_cast<uint8_t>(header[i]);
    const std::string body = header.size() < 8 ? "closed" : Peer::receive(fd, length);
    return length == 0 || body.size() != length || body.back() != '\0' ? body : body.substr(0, length - 1);
}

class JPImageServerTest : public ::testing::Test {
protected:
    // Runs the phone's side on a thread of its own while the main thread serves.
    void phone(const std::function<void()>& script) {
        bool done = false;
        std::thread thread([&] { script(), RunLoop::main().performBlock([&] { done = true; }); });
        EXPECT_TRUE(pumpMainUntil([&] { return done; }));
        thread.join();
    }

    // Listed by path: a.png; by name, from the resource folder: empty.png and res.png.
    TemporaryFolder folder_;
    const std::string a_ = folder_.write("a.png", kA);
    const bool written_ = !folder_.write("empty.png", "").empty() && !folder_.write("res.png", "RES").empty();
    ScopedResourceFolder resources_{folder_.path()};
    LogCapture log_;
};

TEST_F(JPImageServerTest, ServesOnlyThePhoneOnOneConnectionUntilDropped) {
    RefPtr<JPImageServer> server = JPImageServer::imageServer({a_, "empty.png", "res.png"}, "127.0.0.1");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->imageList(), (std::vector<std::string>{"a.png", "empty.png", "res.png"}));
    const uint16_t port = server->listeningPort();
    int served = -1;
    phone([&] {
        const int stranger = connectFrom("127.0.0.2", port);
        EXPECT_EQ(reply(stranger), "closed");
        close(stranger);
        served = connectFrom("127.0.0.1", port);
        Peer::sendAll(served, "a.png\r\nempty.png\r\nres.png\r\n");  // pipelined
        for (const std::string& expected : {kA, std::string(), std::string("RES")}) EXPECT_EQ(reply(served), expected);
        EXPECT_EQ(connectFrom("127.0.0.1", port), -1);  // the listener closed
    });
    EXPECT_TRUE(log_.contains("Refused an image connection from 127.0.0.2"));
    server.reset();
    phone([&] { EXPECT_EQ(reply(served), "closed"), close(served); });
}

TEST_F(JPImageServerTest, BadRequestsCloseTheConnectionAfterEarlierReplies) {
    const std::pair<std::string, const char*> cases[] = {  // request, the one line logged
        {"unknown.png\r\n", "Padlink: File not found, unknown.png"},
        {"../a.png\r\n", "Padlink: File not found, ../a.png"},
        {"gone.png\r\n", "please make sure all images passed to -[JPManager setImageNames:] exist"},
        {std::string(1100, 'x'), "a request line reached 1024 bytes"},
    };
    for (const auto& [request, logged] : cases) {
        log_.clear();
        RefPtr<JPImageServer> server = JPImageServer::imageServer({a_, folder_.file("gone.png")}, "127.0.0.1");
        phone([&] {
            const int fd = connectFrom("127.0.0.1", server->listeningPort());
            Peer::sendAll(fd, "a.png\r\n" + request);
            EXPECT_EQ(reply(fd), kA) << logged;
            EXPECT_EQ(reply(fd), "closed") << logged;
            close(fd);
        });
        EXPECT_EQ(log_.lines().size(), 1u) << logged;
        EXPECT_TRUE(log_.contains(logged)) << logged;
    }
}

}  // namespace
