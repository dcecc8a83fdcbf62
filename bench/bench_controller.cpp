// A phone's input datagram to the controller event the game receives: our path (UDP socket on its
// queue, main queue, networker echo, device decoding, delegate), with the main queue drained by the
// bench thread, beside a plain blocking recv loop decoding the same word (the limit). Reports the
// median and 99th percentile latency of each as counters, in microseconds.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "PadlinkSDK/PadlinkRPCLib/JPHiddenDevice.h"
#include "PadlinkSDK/PadlinkRPCLib/JPXMLMapper.h"
#include "bench/BenchmarkPairs.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/SocketAddress.h"

namespace {

using Clock = std::chrono::steady_clock;

int udpSocket(uint16_t* port) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    SocketAddress::hostAndPort(SocketAddress::localAddress(fd), nullptr, port, nullptr);
    return fd;
}

void sendWord(int fd, uint16_t port, uint64_t word) {
    const sockaddr_in to{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    sendto(fd, &word, sizeof word, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

void report(benchmark::State& state, std::vector<double>& latencies) {
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] = latencies[latencies.size() * 99 / 100];
}

struct Pressed : JPDeviceDelegate, JPHiddenDeviceConnectionDelegate {
    bool delivered = false;
    uint16_t padlinkDelegations() const override { return kJPDelegationButtonDown | kJPDelegationButtonUp; }
    void padlinkDeviceButtonUp(JPDevice*, int) override { delivered = true; }
    void padlinkDeviceButtonDown(JPDevice*, int) override { delivered = true; }
    void deviceDidConnect(JPHiddenDevice*) override {}
    void deviceFailedToConnect(JPHiddenDevice*, const RefPtr<Error>&) override {}
    void deviceDidDisconnect(JPHiddenDevice*) override {}
    void deviceDidProduceEvent(JPHiddenDevice*, const JPDeviceEvent&) override {}
};

void pumpUntil(const bool& done) {
    while (!done) {
        RunLoop::main().waitForWork(1);
        RunLoop::main().runOnce();
    }
}

// The game's side: a device connected to a bench "phone" that names its input port, as a phone does.
void datagramToEventOurs(benchmark::State& state) {
    LogCapture quiet;
    uint16_t commandPort = 0, phonePort = 0;
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in any{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    bind(listener, reinterpret_cast<const sockaddr*>(&any), sizeof any);
    listen(listener, 1);
    SocketAddress::hostAndPort(SocketAddress::localAddress(listener), nullptr, &commandPort, nullptr);
    const int phone = udpSocket(&phonePort);

    Pressed pressed;
    const auto device = makeRef<JPHiddenDevice>(&pressed);
    device->setDelegate(&pressed);
    auto layout = JPControllerLayout::layout();
    layout->addButtonWithFrame(CGRectMake(0, 0, 10, 10), 6);
    device->updateLayout(layout);
    device->setIpAddress("127.0.0.1");
    device->setPort(commandPort);
    device->connect();
    const int command = accept(listener, nullptr, nullptr);
    auto call = JPMethodCall::methodCallWithMethodName("dataPortNum");
    call->setParams({JPValue(phonePort)});
    const std::string body = call->body();
    const uint64_t length = body.size();
    send(command, &length, sizeof length, 0);
    send(command, body.data(), body.size(), 0);
    uint64_t answerLength = 0;
    bool answered = false;
    while (!answered) {
        RunLoop::main().waitForWork(0.01);
        RunLoop::main().runOnce();
        answered = recv(command, &answerLength, sizeof answerLength, MSG_DONTWAIT) == sizeof answerLength;
    }
    std::string answer(answerLength, '\0');
    recv(command, answer.data(), answer.size(), MSG_WAITALL);
    const auto gamePort = static_cast<uint16_t>(
        refCast<JPMethodReturn>(JPXMLMapper::mapperWithData(answer)->outputObject())->retValue().integerValue());

    std::vector<double> latencies;
    uint64_t word = 0;
    char echo[16];
    for (auto _ : state) {
        word ^= 1;
        pressed.delivered = false;
        const auto start = Clock::now();
        sendWord(phone, gamePort, word);
        pumpUntil(pressed.delivered);
        latencies.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        state.PauseTiming();
        recv(phone, echo, sizeof echo, 0);
        state.ResumeTiming();
    }
    report(state, latencies);
    device->disconnect();
    close(command);
    close(phone);
    close(listener);
}

// The limit: a blocking recv on the same thread, decoding the word in place.
void datagramToEventRecv(benchmark::State& state) {
    uint16_t gamePort = 0, phonePort = 0;
    const int game = udpSocket(&gamePort);
    const int phone = udpSocket(&phonePort);
    std::vector<double> latencies;
    uint64_t word = 0, previous = 0, events = 0;
    for (auto _ : state) {
        word ^= 1;
        const auto start = Clock::now();
        sendWord(phone, gamePort, word);
        uint8_t bytes[16];
        recv(game, bytes, sizeof bytes, 0);
        uint64_t received = 0;
        for (int i = 7; i >= 0; --i) received = received << 8 | bytes[i];
        events += (received ^ previous) & 1;
        previous = received;
        latencies.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    benchmark::DoNotOptimize(events);
    report(state, latencies);
    close(game);
    close(phone);
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkGroups(argc, argv, {{"datagram_to_event", datagramToEventOurs, {{"blocking_recv", datagramToEventRecv}}}},
                              benchmark::kMicrosecond);
}
