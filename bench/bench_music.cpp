// Starting a 3-minute MP3 on a music track (opening the file, making the player's context, source
// and buffers and its pump thread, decoding and queueing the first buffers, starting the source),
// against the floor of that work: libsndfile alone opening the file and decoding one buffer.
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "BenchmarkPairs.h"
#include "audio/ALContext.h"
#include "audio/ALDevice.h"
#include "audio/OALAudioTrack.h"
#include "audio/OpenALManager.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 180;
constexpr sf_count_t kBufferFrames = 4096;  // the streaming player's buffer
std::string musicPath;
RefPtr<ALDevice> device;
RefPtr<ALContext> context;

// A 3-minute stereo MP3 of a slowly sweeping tone, made once and kept in the temporary folder.
void setUp() {
    setenv("ALSOFT_DRIVERS", "null", 1);
    musicPath = (std::filesystem::temp_directory_path() / "vantrel-bench-3min.mp3").string();
    if (!std::filesystem::exists(musicPath)) {
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 2;
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        SNDFILE* file = sf_open(musicPath.c_str(), SFM_WRITE, &info);
        std::vector<float> second(size_t(kRate) * 2);
        for (int s = 0; file && s < kSeconds; ++s) {
            for (int i = 0; i < kRate; ++i) {
                const float sample = 0.4f * float(std::sin(2 * M_PI * (220.0 + s) * i / kRate));
                second[size_t(i) * 2] = second[size_t(i) * 2 + 1] = sample;
            }
            sf_writef_float(file, second.data(), kRate);
        }
        if (file) sf_close(file);
    }
    device = ALDevice::deviceWithDeviceSpecifier("");
    context = ALContext::contextOnDevice(device, {});
    OpenALManager::sharedInstance()->setCurrentContext(context.get());
}

void startOurs(benchmark::State& state) {
    RefPtr<OALAudioTrack> track = OALAudioTrack::track();
    for (auto _ : state) {
        if (!track->playFile(musicPath)) state.SkipWithError("the track did not play");
        state.PauseTiming();
        track->clear();
        state.ResumeTiming();
    }
}

void startPeer(benchmark::State& state) {
    std::vector<float> samples(size_t(kBufferFrames) * 2);
    for (auto _ : state) {
        SF_INFO info{};
        SNDFILE* file = sf_open(musicPath.c_str(), SFM_READ, &info);
        benchmark::DoNotOptimize(sf_readf_float(file, samples.data(), kBufferFrames));
        sf_close(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarkPairs(argc, argv, {{"start a 3-minute MP3", startOurs, startPeer}}, "libsndfile open+1 buffer",
                             benchmark::kMicrosecond, setUp);
}
