// The command channel's framing over loopback, fed arbitrary bytes in chunks of 1-16 bytes (byte
// 0 picks the size): the stream is completed so that its last frame is whole and a "ping" call
// follows; every frame within the length cap must be read in order (its calls reaching the
// delegate), and a length past the cap must close the channel.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>

#include <cstdlib>

#include "PadlinkSDK/PadlinkRPCLib/JPRPCConnection.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/InputLimits.h"
#include "platform/foundation/Log.h"
#include "tests/PadlinkSDK/PadlinkRPCLib/DiscoveryRecorder.h"

namespace {

struct Recorder : JPRPCConnectionDelegate {
    std::vector<std::string> calls;
    bool closed = false;
    void rpcConnectionDidReceiveMethodCall(JPRPCConnection*, JPMethodCall* call) override { calls.push_back(call->methodName()); }
    void rpcConnectionDidDisconnect(JPRPCConnection*) override { closed = true; }
};

// The whole stream, with the calls the channel must report; *closes when it must close instead.
std::string complete(std::string stream, std::vector<std::string>* calls, bool* closes) {
    for (size_t at = 0, pinged = false;;) {
        if (at == stream.size()) {
            if (std::exchange(pinged, true)) return stream;
            const std::string ping = JPMethodCall::methodCallWithMethodName("ping")->body();  // under 256 bytes
            stream += std::string(1, static_cast<char>(ping.size())) + std::string(7, '\0') + ping;
        }
        if (stream.size() - at < 8) stream.resize(at + 8, '\0');
        uint64_t length = 0;
        for (int i = 7; i >= 0; --i) length = length << 8 | static_cast<uint8_t>(stream[at + i]);
        if ((*closes = length > InputLimits::kMessageBytes)) return stream.substr(0, at + 8);
        stream.resize(std::max(stream.size(), at + 8 + length), ' ');
        const auto mapper = JPXMLMapper::mapperWithData(std::string_view(stream).substr(at + 8, length));
        if (auto call = mapper ? refCast<JPMethodCall>(mapper->outputObject()) : nullptr) calls->push_back(call->methodName());
        at += 8 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const RefPtr<DispatchQueue> queue = makeRef<SerialQueue>("org.vantrel.fuzz.channel");
    static uint16_t port = 0;
    static const int listener = [] {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0) std::abort();
        SocketAddress::hostAndPort(SocketAddress::localAddress(fd), nullptr, &port, nullptr);
        return fd;
    }();
    if (size == 0) return 0;
    LogCapture quiet;
    std::vector<std::string> expected;
    bool closes = false;
    const std::string stream = complete(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), &expected, &closes);
    Recorder recorder;
    const auto connection = makeRef<JPRPCConnection>(makeRef<JPTcpSocket>(nullptr, nullptr, queue));
    connection->setDelegate(&recorder);
    if (!connection->connectToAddress(SocketAddress::loopback4(port))) std::abort();
    connection->prime();
    const int peer = accept(listener, nullptr, nullptr);
    const int noDelay = 1;
    setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    for (size_t at = 0, chunk = 1 + data[0] % 16; at < stream.size(); at += chunk) {
        send(peer, stream.data() + at, std::min(chunk, stream.size() - at), MSG_NOSIGNAL);
    }
    const bool ended = pumpMainUntil([&] { return closes ? recorder.closed : recorder.calls.size() >= expected.size(); });
    if (!ended || recorder.closed != closes || recorder.calls != expected) std::abort();
    connection->setDelegate(nullptr);
    close(peer);
    return 0;
}
