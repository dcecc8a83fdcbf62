#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"
#include "Vendor/TcpSocketFixture.h"

// A phone running the controller app, with blocking POSIX sockets on a thread of its own, on one
// address of this machine (the game runs here too): it listens for the game's command channel and,
// once the game connects, runs a script of calls, input words and image fetches. Waiting for the
// game's connection and reads give up after 10 s (a guard against hangs).
class SimulatedPhone {
public:
    // Takes a port free for both TCP (the command port) and UDP (the first input socket, where
    // echoes arrive until the phone names another input port) on `host` (host byte order).
    explicit SimulatedPhone(uint32_t host = INADDR_LOOPBACK) : host_(htonl(host)) {
        while (listener_ < 0) {
            port_ = bindData();
            listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in address{AF_INET, htons(port_), {host_}, {}};
            if (bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 && listen(listener_, 1) == 0) break;
            close(std::exchange(listener_, -1));
        }
    }
    ~SimulatedPhone() {
        if (thread_.joinable()) thread_.join();
        for (int fd : {listener_, command_, data_}) close(fd);
    }

    uint16_t port() const { return port_; }
    void start(std::function<void(SimulatedPhone&)> script) {
        thread_ = std::thread([this, script = std::move(script)] {
            // Bounded: when the game never connects (its test has gone wrong), the phone gives up
            // with that message and the test ends instead of waiting for this thread for ever.
            command_ = Peer::acceptNext(listener_);
            if (command_ < 0) return;
            guarded(command_);
            script(*this);
            done = true;
        });
    }
    void hangUp() { shutdown(command_, SHUT_RDWR); }

    // Calls a method of the game and returns its answer (nullopt when none came), noting the
    // game's calls that arrive meanwhile.
    std::optional<JPValue> answer(const std::string& method, std::vector<JPValue> params = {}) {
        const auto call = JPMethodCall::methodCallWithMethodName(method);
        call->setParams(std::move(params));
        send(call->body());
        for (std::string body; !(body = frame(command_)).empty();) {
            const auto mapper = JPXMLMapper::mapperWithData(body);
            const RefPtr<Object> message = mapper ? mapper->outputObject() : nullptr;
            if (auto reply = refCast<JPMethodReturn>(message)) return reply->retValue();
            if (auto gameCall = refCast<JPMethodCall>(message)) gameCalls.push_back(gameCall->methodName());
        }
        return std::nullopt;
    }
    // The answer, nil when none came.
    JPValue ask(const std::string& method, std::vector<JPValue> params = {}) {
        return answer(method, std::move(params)).value_or(JPValue());
    }
    void readToEnd() {
        while (!frame(command_).empty()) {
        }
    }
    void send(const std::string& body) { Peer::sendAll(command_, framed(body)); }
    // The body of the game's next message ("" once it hangs up).
    std::string nextCall() { return frame(command_); }
    // A message on the wire: the 8-byte little-endian body length, then the body.
    static std::string framed(const std::string& body) { return word(body.size()) + body; }
    static std::string word(uint64_t value) {
        std::string bytes(8, '\0');
        for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
        return bytes;
    }
    // The next body on a command channel; "" at the end of the stream.
    static std::string frame(int fd) {
        const std::string header = Peer::receive(fd, 8);
        uint64_t length = 0;
        for (size_t i = header.size(); i-- > 0;) length = length << 8 | static_cast<uint8_t>(header[i]);
        return header.size() < 8 ? std::string() : Peer::receive(fd, length);
    }

    // Replaces the input socket by one on a free port; returns the port.
    uint16_t bindData() {
        if (data_ >= 0) close(data_);
        data_ = guarded(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        const sockaddr_in address{AF_INET, 0, {host_}, {}};
        EXPECT_EQ(bind(data_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        uint16_t port = 0;
        SocketAddress::hostAndPort(SocketAddress::localAddress(data_), nullptr, &port, nullptr);
        return port;
    }
    void sendDatagram(uint16_t gamePort, const std::string& bytes) {
        const sockaddr_in game{AF_INET, htons(gamePort), {host_}, {}};
        sendto(data_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&game), sizeof game);
    }
    // The next datagram on the input socket ("" when none came).
    std::string echo() {
        char bytes[64];
        const ssize_t got = recv(data_, bytes, sizeof bytes, 0);
        return std::string(bytes, std::max<ssize_t>(got, 0));
    }
    // The image server's raw reply to one request for `name`, a file of `size` bytes.
    static std::string fetch(uint16_t port, const std::string& name, size_t size) {
        const int fd = guarded(Peer::connectTo(AF_INET, port));
        Peer::sendAll(fd, name + "\r\n");
        const std::string reply = Peer::receive(fd, 8 + size + 1);
        close(fd);
        return reply;
    }

    // Asks for the game's input port without naming its own (so echoes come to the command port),
    // says it is ready, checks the echo of one word, marks `reached` and stays until the game closes.
    static void readyScript(SimulatedPhone& phone) {
        const auto gamePort = static_cast<uint16_t>(phone.ask("dataPortNum").integerValue());
        phone.ask("ready");
        phone.sendDatagram(gamePort, word(0));
        EXPECT_EQ(phone.echo(), word(0));
        phone.reached = true;
        phone.readToEnd();
    }

    std::atomic<bool> done{false};
    std::atomic<bool> reached{false};  // set by a script at a point the test waits for
    std::vector<std::string> gameCalls;  // method names of the game's calls, in order

private:
    static int guarded(int fd) {
        const timeval limit{10, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        return fd;
    }

    const in_addr_t host_;  // network byte order
    uint16_t port_ = 0;
    int listener_ = -1, command_ = -1, data_ = -1;
    std::thread thread_;
};
