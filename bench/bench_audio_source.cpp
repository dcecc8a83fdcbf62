// Starting and stopping a short sound on one source: the source's play and stop (interruption
// check, buffer, shadow state, locks) against the three bare OpenAL calls, on the null backend.
#include <AL/al.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "BenchmarkPairs.h"
#include "audio/ALBuffer.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALSource.h"
#include "audio/OpenALManager.h"

namespace {

RefPtr<ALDevice> device;
RefPtr<ALContext> context;
RefPtr<ALBuffer> buffer;  // 0.1 s of 16-bit mono at 44.1 kHz

void setUp() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    device = ALDevice::deviceWithDeviceSpecifier("");
    context = ALContext::contextOnDevice(device, {});
    OpenALManager::sharedInstance()->setCurrentContext(context.get());
    constexpr int kFrames = 4410;
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[kFrames * 2]);
    for (int i = 0; i < kFrames; ++i) {
        reinterpret_cast<int16_t*>(bytes.get())[i] = int16_t(16000 * std::sin(2 * M_PI * 440 * i / 44100.0));
    }
    buffer = ALBuffer::bufferWithName("tone", std::move(bytes), kFrames * 2, AL_FORMAT_MONO16, 44100);
}

void playStopOurs(benchmark::State& state) {
    RefPtr<ALSource> source = ALSource::source();
    for (auto _ : state) {
        benchmark::DoNotOptimize(source->play(buffer));
        source->stop();
    }
}

void playStopPeer(benchmark::State& state) {
    ALuint source = 0;
    alGenSources(1, &source);
    for (auto _ : state) {
        alSourcei(source, AL_BUFFER, ALint(buffer->bufferId()));
        alSourcePlay(source);
        alSourceStop(source);
    }
    alDeleteSources(1, &source);
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv, {{"play and stop", playStopOurs, playStopPeer}}, "OpenAL",
                             benchmark::kMicrosecond, setUp);
}
