// A sound played on a channel of 25 sources (the game's general channel), once with every source
// free and once with every source busy so that the oldest sound is cut off, against the bare
// OpenAL calls the same work needs on one fixed source: the limit the pool's choice adds to.
// Runs on the null backend.
#include <AL/al.h>

#include <cstdlib>
#include <memory>

#include "BenchmarkPairs.h"
#include "audio/ALBuffer.h"
#include "audio/ALChannelSource.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/ALSource.h"
#include "audio/OpenALManager.h"

namespace {

constexpr int kSources = 25;

RefPtr<ALDevice> device;
RefPtr<ALContext> context;
RefPtr<ALBuffer> buffer;  // 10 s of 16-bit mono silence at 44.1 kHz: long enough to stay busy

void setUp() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    device = ALDevice::deviceWithDeviceSpecifier("");
    context = ALContext::contextOnDevice(device, {});
    OpenALManager::sharedInstance()->setCurrentContext(context.get());
    constexpr int kBytes = 441000 * 2;
    buffer = ALBuffer::bufferWithName("silence", std::make_unique<uint8_t[]>(kBytes), kBytes, AL_FORMAT_MONO16, 44100);
}

// Each sound is stopped again, so every play finds a free source at the head of the pool.
void playFreeOurs(benchmark::State& state) {
    RefPtr<ALChannelSource> channel = ALChannelSource::channelWithSources(kSources);
    for (auto _ : state) {
        if (const RefPtr<ALSource> source = channel->play(buffer)) source->stop();
    }
}

// Every source plays: each play asks all 25 for their state and cuts off the oldest sound.
void playBusyOurs(benchmark::State& state) {
    RefPtr<ALChannelSource> channel = ALChannelSource::channelWithSources(kSources);
    channel->setInterruptible(true);
    for (int i = 0; i < kSources; ++i) channel->play(buffer, true);
    for (auto _ : state) benchmark::DoNotOptimize(channel->play(buffer, true));
    channel->stop();
}

// Both cases in bare OpenAL: the sound before is stopped, the buffer attached and played.
void playPeer(benchmark::State& state) {
    ALuint source = 0;
    alGenSources(1, &source);
    for (auto _ : state) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, ALint(buffer->bufferId()));
        alSourcePlay(source);
    }
    alDeleteSources(1, &source);
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv,
                             {{"channel play, free sources", playFreeOurs, playPeer},
                              {"channel play, busy sources", playBusyOurs, playPeer}},
                             "OpenAL", benchmark::kMicrosecond, setUp);
}
